#pragma once

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <iosfwd>
#include <set>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "lang/Render.h"
#include "lang/UiStrings.h"
#include "project/Document.h"
#include "project/Frame.h"
#include "project/FrameStore.h"
#include "base/Prompt.h"
#include "base/TempDir.h"

namespace corv {
class ColourList;
class Workspace;
}

namespace corv::cli {

enum ExitCode { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

struct Context {
    std::ostream& out;
    std::ostream& err;
    std::uint8_t language = 3;
    UiStrings strings;
};

struct Command {
    std::string name;
    std::string summary;
    std::string usage;  // after "corvantine-cli NAME "
    std::string details;
    std::set<std::string> valued;
    std::set<std::string> flags;
    std::function<int(Context&, const Args&)> run;
};

// A message of the command line in the running language: `english` for language 3, `chinese`
// for 1 and, in Traditional characters, for 2. In texts with values, %1, %2, ... stand for
// values[0], values[1], ... wherever each language's sentence wants them (the values are put in
// as they are, never converted); %% is a percent sign.
std::string Say(std::uint8_t language, const char* english, const char* chinese);
std::string Say(std::uint8_t language, const char* english, const char* chinese,
                std::initializer_list<std::string> values);
inline std::string Say(const Context& ctx, const char* english, const char* chinese) {
    return Say(ctx.language, english, chinese);
}
inline std::string Say(const Context& ctx, const char* english, const char* chinese,
                       std::initializer_list<std::string> values) {
    return Say(ctx.language, english, chinese, values);
}
// A catalogue message (`lang/messages`) in the running language, with values as above.
inline std::string Say(std::uint8_t language, const Text& text) { return Render(text, language); }
inline std::string Say(std::uint8_t language, const Text& text, std::initializer_list<std::string> values) {
    return Render(text, language, values);
}
inline std::string Say(const Context& ctx, const Text& text) { return Render(text, ctx.language); }
inline std::string Say(const Context& ctx, const Text& text, std::initializer_list<std::string> values) {
    return Render(text, ctx.language, values);
}
// A reason handed up by the engine libraries (a damaged module, lamp-type or controller data
// file, a grid too large, a write that failed) in the running language. Texts it does not know,
// such as the system's reasons for a failed file operation, come back unchanged.
std::string Reason(const Context& ctx, const std::string& text);
// "a grid of R rows x C cols has N cells; the program takes at most ..." in the running language.
std::string GridLimit(const Context& ctx, long long rows, long long cols);

// A label of a report ("File:", "Type:") in the running language, followed by spaces up to
// `width` columns (a Chinese character takes two; at least one space follows).
std::string Label(const Context& ctx, const char* english, const char* chinese, std::size_t width);
std::string Label(const Context& ctx, const Text& text, std::size_t width);
// The columns a UTF-8 text takes on a terminal (a Chinese character takes two).
std::size_t Columns(const std::string& text);

// The name of a kind of design item in the running language ("rectangle" in English).
std::string ItemKindText(const Context& ctx, int kind);

// Prints "corvantine-cli COMMAND: MESSAGE" and returns the failure / bad-usage status.
int Fail(Context& ctx, const std::string& command, const std::string& message);
int Usage(Context& ctx, const std::string& command, const std::string& message);
// Prints "corvantine-cli COMMAND: warning: MESSAGE".
void Warn(Context& ctx, const std::string& command, const std::string& message);
// "Save file fail!" / "Open file fail!" followed by the failure's reason: the path and the
// system's reason of the file operation that failed.
int FailSave(Context& ctx, const std::string& command, const Failure& why);
int FailOpen(Context& ctx, const std::string& command, const Failure& why);
// A document operation's failure (its code a DocError): the program's text, then the path and
// the system's reason for files that could not be opened or written, the path first for files
// of the wrong kind.
std::string DocFailure(const Context& ctx, const std::string& path, const Failure& failure);
// "Parameter mistake! (frames 1..N)": a frame range outside the clip.
std::string FrameRangeText(const Context& ctx, std::size_t frameCount);
// Writes a document read whole back to `path`: the clips of `store` with the document's grid
// scale, design and music. A compressed document is packed again (the archive is replaced only
// when everything went well); a document without a design stays without one.
int WriteBack(Context& ctx, const std::string& command, const std::filesystem::path& path, const FrameStore& store,
              LoadedDocument& doc, const TempDir& temp);
// Warns on stderr when a document's header copy of the first clip's size disagrees with the
// clip (readers ignore the copy; a file made elsewhere may carry a stale one).
void WarnHeaderCopy(Context& ctx, const std::string& command, const std::string& path, const LoadedDocument& doc);
// What an operation warns of, on the terminal as the command's warnings.
class TerminalWarnings : public StreamPrompt {
public:
    TerminalWarnings(Context& ctx, const std::string& command)
        : StreamPrompt(ctx.err, Answer::No), ctx_(ctx), command_(command) {}
    void Inform(const std::string& text, PromptIcon /*icon*/) override { Warn(ctx_, command_, text); }

private:
    Context& ctx_;
    const std::string& command_;
};
// A failure's message with the system's reason after it (when the message does not hold it).
std::string WithReason(const Failure& failure);
// Reads the whole document into the workspace with clip `clipNo` (1-based) the current one;
// with `musicName` the workspace's music is what it would be once the document is open (the
// music itself is not read). kExitOk, or the exit code after the message.
int LoadDocumentClip(Context& ctx, const std::string& command, const std::filesystem::path& path, long long clipNo,
                     const TempDir& temp, Workspace& ws, bool musicName = false);
// Clips whose line file is not where the document says take the one of that name beside the
// document (said on stderr as "corvantine-cli COMMAND: ..."); a document written back keeps
// the new paths.
void TakeLineFilesBeside(Context& ctx, const std::string& command, const std::filesystem::path& path, LoadedDocument& doc);
// Bad usage: "OPTION takes LO..HI" (the valid range).
int OutOfRange(Context& ctx, const std::string& command, const std::string& option, long long lo, long long hi);

// The items of a list separated by `sep` (a trailing separator gives an empty last item).
std::vector<std::string> Split(const std::string& text, char sep);
// "RRGGBB" (with or without "#") as a colour in stored order.
bool ParseColour(const std::string& text, Bgr& out);

// --colors rainbow (the default; --grade G) | RRGGBB,... (--grade G | --steps K) | LIBRARY:K.
int ParseColourOption(Context& ctx, const std::string& cmd, const Args& args, ColourList& out);

// Every command of the command line, in the order of the help text.
const std::vector<Command>& Commands();

// Runs the command line; returns the exit status.
int RunCli(const std::vector<std::string>& argv, std::ostream& out, std::ostream& err);

// Command implementations (one file each).
int RunInfo(Context& ctx, const Args& args);
int InfoDocument(Context& ctx, const std::filesystem::path& path, bool json);
int RunNewProject(Context& ctx, const Args& args);
int RunAppendFrames(Context& ctx, const Args& args);
int RunPack(Context& ctx, const Args& args);
int RunUnpack(Context& ctx, const Args& args);
int RunLayout(Context& ctx, const Args& args);
int RunLamp(Context& ctx, const Args& args);
int RunModule(Context& ctx, const Args& args);
int RunChip(Context& ctx, const Args& args);
int RunFrames(Context& ctx, const Args& args);
// Keeps Qt's start-up talk (the runtime folder it falls back to) from the user's terminal.
void QuietQtStartup();
// A GUI application object off screen, as fonts and the picture plug-ins need; it does nothing
// when the program has one already.
class OffscreenGui {
public:
    OffscreenGui();
    ~OffscreenGui();
    OffscreenGui(const OffscreenGui&) = delete;
    OffscreenGui& operator=(const OffscreenGui&) = delete;

private:
    struct App;
    App* app_ = nullptr;
};
int RunOutput(Context& ctx, const Args& args);
int RunDesign(Context& ctx, const Args& args);
int RunDxf(Context& ctx, const Args& args);
int RunExportMap(Context& ctx, const Args& args);
int RunExportHmc(Context& ctx, const Args& args);
int RunRenderLayout(Context& ctx, const Args& args);
int RunImportLed(Context& ctx, const Args& args);
int RunExportFseq(Context& ctx, const Args& args);
int RunImportFseq(Context& ctx, const Args& args);
int RunCard(Context& ctx, const Args& args);
int RunColors(Context& ctx, const Args& args);
int RunColorProcess(Context& ctx, const Args& args);
int RunTransition(Context& ctx, const Args& args);
int RunGenerate(Context& ctx, const Args& args);
int RunIdentify(Context& ctx, const Args& args);
int RunImportVideo(Context& ctx, const Args& args);
int RunOutputFrom(Context& ctx, const Args& args);
int RunPlay(Context& ctx, const Args& args);
int RunTestPattern(Context& ctx, const Args& args);
int RunBudget(Context& ctx, const Args& args);
int RunExportVideo(Context& ctx, const Args& args);
int RunCapture(Context& ctx, const Args& args);
int RunRenderSphere(Context& ctx, const Args& args);
int RunRenderPreview(Context& ctx, const Args& args);
int InfoLed(Context& ctx, const std::filesystem::path& path, bool json, bool strict);
int InfoLineFile(Context& ctx, const std::filesystem::path& path, bool json);
int InfoModules(Context& ctx, const std::filesystem::path& path, bool json);
int InfoPinSet(Context& ctx, const std::filesystem::path& path, bool json);
int InfoSequence(Context& ctx, const std::filesystem::path& path, bool json);

}  // namespace corv::cli
