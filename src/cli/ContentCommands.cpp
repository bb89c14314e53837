// The content commands: the colour library.
#include <algorithm>
#include <cstdio>
#include <iterator>

#include "cli/Cli.h"
#include "cli/HomeFiles.h"
#include "cli/Json.h"
#include "base/FileUtil.h"
#include "base/TerminalProgress.h"
#include "content/ColourList.h"
#include "content/TransitionRenderer.h"
#include "lang/messages/CliMessages.h"
#include "lang/messages/CommonMessages.h"
#include "project/Document.h"
#include "project/NewDocument.h"

#include <QGuiApplication>
#include <QImage>

namespace corv::cli {

namespace {

std::string Hex(ListColour c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06X", static_cast<unsigned>(c & 0xFFFFFFu));
    return text;
}

// A colour list from "#RRGGBB,#RRGGBB,..." in the given transition mode.
int ParseColourList(Context& ctx, const std::string& cmd, const Args& args, ColourList& out) {
    auto text = args.Value("--colors");
    if (!text) return Usage(ctx, cmd, Say(ctx, msg::cli::kColorsRequired));
    std::string error;
    const auto grade = args.Int("--grade", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    const auto steps = args.Int("--steps", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (grade && steps) return Usage(ctx, cmd, Say(ctx, msg::cli::kGradeOrSteps));
    ColourTransition mode = ColourTransition::Grade;
    int value = 8;
    if (grade) {
        if (std::find(std::begin(kGradeChoices), std::end(kGradeChoices), *grade) == std::end(kGradeChoices)) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kGradeTakes));
        }
        value = static_cast<int>(*grade);
    }
    if (steps) {
        if (std::find(std::begin(kFixedChoices), std::end(kFixedChoices), *steps) == std::end(kFixedChoices)) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kStepsTakes));
        }
        mode = ColourTransition::Fixed;
        value = static_cast<int>(*steps);
    }
    for (const std::string& item : Split(*text, ',')) {
        Bgr c{};
        if (!ParseColour(item, c)) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kNotAColour, {item}));
        }
        out.AddColour(MakeListColour(c.r, c.g, c.b), mode, value);
    }
    return kExitOk;
}

// The pictures of a transition's end: a document's frames (first clip) or one picture.
int ReadPictures(Context& ctx, const std::string& cmd, const std::string& file, std::vector<QImage>& out) {
    TempDir temp;
    LoadedDocument doc;
    ReadOptions options;
    options.tempDir = temp.path();
    if (ReadDocument(file, options, doc)) {
        if (doc.clips.empty() || doc.clips.front().frames.empty()) {
            return Fail(ctx, cmd, file + ": " + Say(ctx, msg::cli::kClipHasNoFrame));
        }
        for (const Frame& f : doc.clips.front().frames) out.push_back(FrameToImage32(f));
        return kExitOk;
    }
    if (auto readable = ReadFileBytes(file); !readable) return FailOpen(ctx, cmd, readable.failure());
    QImage image;
    if (!image.load(QString::fromStdString(file))) {
        return Fail(ctx, cmd, file + ": " + Say(ctx, msg::cli::kNeitherDocumentNorPicture));
    }
    out.push_back(image.convertToFormat(QImage::Format_RGB32));
    return kExitOk;
}

}  // namespace

int ParseColourOption(Context& ctx, const std::string& cmd, const Args& args, ColourList& out) {
    const std::string text = args.Value("--colors").value_or("rainbow");
    if (text == "rainbow") {
        std::string error;
        const auto grade = args.Int("--grade", error);
        if (!error.empty()) return Usage(ctx, cmd, error);
        out = ColourList::Rainbow(static_cast<int>(grade.value_or(8)));
        return kExitOk;
    }
    // LIBRARY:K, a list of a colour library file; else colours.
    if (const auto colon = text.rfind(':'); colon != std::string::npos && colon + 1 < text.size() &&
                                            text.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
        ColourLibrary library(text.substr(0, colon));
        if (!std::filesystem::exists(library.file())) return Fail(ctx, cmd, library.file().string() + ": " + Say(ctx, msg::cli::kNoSuchLibraryFile));
        if (auto read = library.Load(); !read) return Fail(ctx, cmd, Reason(ctx, read.message()));
        const long k = std::strtol(text.c_str() + colon + 1, nullptr, 10);
        if (k < 1 || k > library.ListCount()) {
            return Fail(ctx, cmd, Say(ctx, msg::cli::kNoSuchList,
                                      {std::to_string(k), std::to_string(library.ListCount())}));
        }
        out = ColourList(library.List(static_cast<int>(k)));
        return kExitOk;
    }
    return ParseColourList(ctx, cmd, args, out);
}

int RunTransition(Context& ctx, const Args& args) {
    const std::string cmd = "transition";
    if (args.positionals().size() != 3) return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsOldNewOut));
    std::string error;
    auto steps = args.Int("--steps", error);
    auto seed = args.Int("--seed", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (!steps) return Usage(ctx, cmd, Say(ctx, msg::cli::kStepsRequired));
    if (*steps < 1 || *steps > 10000) return OutOfRange(ctx, cmd, "--steps", 1, 10000);
    const std::string kindText = args.Value("--kind").value_or("random");
    int kind = 0;
    if (kindText != "random") {
        char* end = nullptr;
        const long k = std::strtol(kindText.c_str(), &end, 10);
        if (kindText.empty() || *end != '\0' || k < 0 || k >= kTransitionKinds) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kKindTakes));
        }
        kind = static_cast<int>(k);
    }
    const OffscreenGui gui;
    std::vector<QImage> olds, news;
    if (int rc = ReadPictures(ctx, cmd, args.positionals()[0], olds); rc != kExitOk) return rc;
    if (int rc = ReadPictures(ctx, cmd, args.positionals()[1], news); rc != kExitOk) return rc;
    // The old picture sets the size; the new ones are scaled to it.
    const QImage old = olds.back();
    const int w = old.width(), h = old.height();
    if (w > kMaxFrameSide || h > kMaxFrameSide) {
        return Fail(ctx, cmd, Say(ctx, msg::cli::kPictureTooLarge, {std::to_string(kMaxFrameSide)}));
    }
    for (QImage& n : news) {
        if (n.size() != old.size()) n = n.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
    }
    std::mt19937 random(static_cast<std::uint32_t>(seed.value_or(1)));
    if (kind == 0) kind = RandomTransitionKind(random);
    TransitionRenderer renderer(w, h, static_cast<std::uint32_t>(seed.value_or(1)));
    renderer.kind = kind;
    renderer.steps = static_cast<int>(*steps);
    AppState state;
    FrameStore store(state);
    store.AddClip(w, h);
    auto& frames = store.CurrentFrames();
    frames.clear();
    Frame first(w, h);
    ImageToFrame(old, first);
    frames.push_back(std::move(first));
    QImage target = old;
    for (int k = 1; k <= *steps; ++k) {
        // A document as the new end moves on while it appears.
        const QImage& fresh = news[static_cast<std::size_t>(k - 1) % news.size()];
        renderer.SetPictures(&fresh, &old);
        renderer.RenderStep(target, k);
        Frame f(w, h);
        ImageToFrame(target, f);
        frames.push_back(std::move(f));
    }
    DocumentSource source;
    source.frames = &store;
    if (auto written = WriteDocument(args.positionals()[2], source, TerminalProgress()); !written) {
        return Fail(ctx, cmd, DocFailure(ctx, args.positionals()[2], written.failure()));
    }
    ctx.out << Say(ctx, msg::cli::kTransitionMade,
                   {std::to_string(kind), TransitionKindName(kind), std::to_string(frames.size())})
            << '\n';
    return kExitOk;
}

namespace {
// The options of each colors subcommand; --library every one takes.
const OptionScopes kColorsScopes = {
    {"colors list", {"--json"}},
    {"colors add", {"--colors", "--grade", "--steps"}},
    {"colors remove", {}},
};
}  // namespace

int RunColors(Context& ctx, const Args& args) {
    if (args.positionals().empty()) {
        return Usage(ctx, "colors", Say(ctx, msg::cli::kColorsNeedsSubcommand));
    }
    const std::string sub = args.positionals()[0];
    const std::string cmd = "colors " + sub;
    if (sub != "list" && sub != "add" && sub != "remove") {
        return Usage(ctx, "colors", Say(ctx, msg::cli::kColorsUnknownSubcommand, {sub}));
    }
    if (std::string error; !args.CheckScopes(kColorsScopes, {cmd}, error)) return Usage(ctx, cmd, error);
    const std::size_t positionals = sub == "remove" ? 2 : 1;
    if (args.positionals().size() != positionals) {
        return Usage(ctx, cmd, sub == "remove" ? Say(ctx, msg::cli::kNeedsListNumber)
                                               : Say(ctx, msg::cli::kNoFurtherArguments));
    }
    const auto given = args.Value("--library");
    const std::filesystem::path file = given ? std::filesystem::path(*given) : HomeFiles().home / ColourLibrary::kFileName;
    ColourLibrary library(file);
    if (auto read = library.Load(); !read) return Fail(ctx, cmd, Reason(ctx, read.message()));

    if (sub == "list") {
        const ColourList rainbow = ColourList::Rainbow();
        if (args.Has("--json")) {
            Json j;
            j.BeginArray();
            auto list = [&](int number, const std::vector<ListColour>& colours, bool builtIn) {
                j.BeginObject().Key("number").Value(number).Key("builtIn").Value(builtIn ? "yes" : "no");
                j.Key("colors").BeginArray();
                for (ListColour c : colours) j.Value(Hex(c));
                j.EndArray().EndObject();
            };
            list(0, rainbow.colours(), true);
            for (int k = 1; k <= library.ListCount(); ++k) list(k, library.List(k), false);
            ctx.out << j.EndArray().str() << '\n';
            return kExitOk;
        }
        auto line = [&](int number, const std::vector<ListColour>& colours, const std::string& note) {
            ctx.out << number << ": " << Say(ctx, msg::common::kColourCount, {std::to_string(colours.size())}) << "  " << Hex(colours.front())
                    << " .. " << Hex(colours.back())
                    << note << '\n';
        };
        line(0, rainbow.colours(), Say(ctx, msg::cli::kBuiltInRainbow));
        for (int k = 1; k <= library.ListCount(); ++k) line(k, library.List(k), "");
        return kExitOk;
    }
    if (sub == "add") {
        ColourList list;
        if (int rc = ParseColourList(ctx, cmd, args, list); rc != kExitOk) return rc;
        if (auto added = library.Append(list.colours()); !added) return Fail(ctx, cmd, Reason(ctx, added.message()));
        ctx.out << Say(ctx, msg::cli::kListAdded, {std::to_string(library.ListCount()), std::to_string(list.count())})
                << '\n';
        return kExitOk;
    }
    // remove
    const std::string& number = args.positionals()[1];
    char* end = nullptr;
    const long k = std::strtol(number.c_str(), &end, 10);
    if (number.empty() || *end != '\0' || k < 1) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNotAListNumber, {number}));
    }
    if (k > library.ListCount()) {
        return Fail(ctx, cmd, Say(ctx, msg::cli::kNoSuchList, {number, std::to_string(library.ListCount())}));
    }
    if (auto removed = library.Remove(static_cast<int>(k)); !removed) return Fail(ctx, cmd, Reason(ctx, removed.message()));
    ctx.out << Say(ctx, msg::cli::kListRemoved, {number}) << '\n';
    return kExitOk;
}

}  // namespace corv::cli
