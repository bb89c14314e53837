#include <algorithm>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <tuple>

#include "base/AppHome.h"
#include "base/FileIO.h"
#include "base/FileUtil.h"
#include "base/ProfileFile.h"
#include "cli/Cli.h"
#include "cli/HomeFiles.h"
#include "cli/Json.h"
#include "controller/Catalogue.h"
#include "controller/LampTypes.h"
#include "controller/Parameters.h"
#include "lang/Language.h"
#include "lang/Localize.h"
#include "lang/messages/CliCommandMessages.h"
#include "lang/messages/CommonMessages.h"
#include "lang/messages/CliMessages.h"
#include "layout/DisplayModule.h"
#include "layout/Dxf.h"
#include "layout/LayoutImage.h"

#include <QImage>
#include "layout/LineFile.h"
#include "layout/Wiring.h"
#include "ops/Import.h"
#include "ops/Layout.h"
#include "workspace/Settings.h"
#include "workspace/Workspace.h"

namespace corv::cli {

namespace fs = std::filesystem;

namespace {



bool ParsePair(const std::string& text, long long& a, long long& b) {
    auto parts = Split(text, ',');
    return parts.size() == 2 && ParseInteger(parts[0], a) && ParseInteger(parts[1], b);
}

bool ParseDouble(const std::string& text, double& out) {
    try {
        std::size_t used = 0;
        out = std::stod(text, &used);
        return used == text.size();
    } catch (...) {
        return false;
    }
}

// "1-3,7" or "all" as 0-based slave numbers.
bool ParseSlaves(const std::string& text, int slaveCount, std::vector<int>& out) {
    if (text == "all") {
        for (int k = 0; k < slaveCount; ++k) out.push_back(k);
        return true;
    }
    for (const auto& part : Split(text, ',')) {
        long long a = 0, b = 0;
        const auto dash = part.find('-');
        if (dash == std::string::npos) {
            if (!ParseInteger(part, a)) return false;
            b = a;
        } else if (!ParseInteger(part.substr(0, dash), a) || !ParseInteger(part.substr(dash + 1), b)) {
            return false;
        }
        if (a < 1 || b < a || b > static_cast<long long>(LineSetting::kSlaves)) {
            return false;
        }
        for (long long k = a; k <= b; ++k) out.push_back(static_cast<int>(k - 1));
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return !out.empty();
}

// A workspace of the command line's language over the application home, for the layout
// operations: the command loads its line file into ws.layout and saves it from there.
void PrepareWorkspace(const Context& ctx, const HomeFiles& libs, Workspace& ws) {
    ws.app.language = ctx.language;
    ws.strings = ctx.strings;
    ws.home = libs.home;
}

int LayoutNew(Context& ctx, const Args& args) {
    const std::string cmd = "layout new";
    if (args.positionals().size() != 2) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsOneOutputFile));
    }
    std::string error;
    auto rows = args.Int("--rows", error);
    auto cols = args.Int("--cols", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (!rows || !cols) return Usage(ctx, cmd, Say(ctx, msg::cli::kRowsAndColsRequired));
    if (*rows < 1 || *rows > 0xFFFF) return OutOfRange(ctx, cmd, "--rows", 1, 0xFFFF);
    if (*cols < 1 || *cols > 0xFFFF) return OutOfRange(ctx, cmd, "--cols", 1, 0xFFFF);
    HomeFiles libs;
    Workspace ws;
    PrepareWorkspace(ctx, libs, ws);
    ops::NewLayoutRequest request{static_cast<int>(*rows), static_cast<int>(*cols), args.Has("--sphere"), libs.defaultChip};
    StreamPrompt prompt(ctx.err, Answer::No);
    if (const auto made = ops::NewLayout(ws, request, prompt, ProgressFn()); !made) {
        return Usage(ctx, cmd, GridLimit(ctx, *rows, *cols));  // kNewLayoutTooLarge
    }
    return SaveLayout(ctx, cmd, args.positionals()[1], libs, ws.layout);
}

int LayoutAdd(Context& ctx, const Args& args) {
    const std::string cmd = "layout add";
    if (args.positionals().size() != 2) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsOneLineFile));
    }
    Drag drag;
    long long a = 0, b = 0;
    auto from = args.Value("--from");
    auto to = args.Value("--to");
    if (!from || !to) return Usage(ctx, cmd, Say(ctx, msg::cli::kFromAndToRequired));
    if (!ParsePair(*from, a, b)) return Usage(ctx, cmd, Say(ctx, msg::cli::kFromTakesCell));
    drag.fromCol = static_cast<int>(a);
    drag.fromRow = static_cast<int>(b);
    if (!ParsePair(*to, a, b)) return Usage(ctx, cmd, Say(ctx, msg::cli::kToTakesCell));
    drag.toCol = static_cast<int>(a);
    drag.toRow = static_cast<int>(b);
    std::string error;
    auto line = args.Int("--line", error);
    auto limit = args.Int("--limit", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (line && (*line < 1 || *line > kLineCount)) return OutOfRange(ctx, cmd, "--line", 1, kLineCount);
    if (limit && *limit < 1) return Usage(ctx, cmd, Say(ctx, msg::cli::kLimitMustBePositive));
    AddOptions options;
    options.lineLimit = static_cast<int>(limit.value_or(kDefaultLineLimit));
    options.allowRepeat = args.Has("--repeat");
    static const std::vector<std::string> modes = {"z-h", "z-v", "s-h", "s-v", "shortest", "shortest-h"};
    if (auto m = args.Value("--mode")) {
        auto it = std::find(modes.begin(), modes.end(), *m);
        if (it == modes.end()) return Usage(ctx, cmd, Say(ctx, msg::cli::kWiringModeChoices));
        options.mode = static_cast<int>(it - modes.begin());
    }
    if (auto t = args.Value("--tiles")) {
        if (!ParsePair(*t, a, b) || a < 0 || b < 0) return Usage(ctx, cmd, Say(ctx, msg::cli::kTilesTakesCounts));
        options.tiles = std::make_pair(static_cast<int>(a), static_cast<int>(b));
    }
    HomeFiles libs;
    Workspace ws;
    PrepareWorkspace(ctx, libs, ws);
    ws.modules.Load(libs.home / kModuleFileName);
    int moduleIndex = 0;
    if (auto name = args.Value("--module")) {
        moduleIndex = ws.modules.Find(*name, ctx.language);
        if (moduleIndex < 0) return Fail(ctx, cmd, Say(ctx, msg::cli::kNoDisplayModuleNamed, {*name}));
    }
    Layout& layout = ws.layout;
    const fs::path file = args.positionals()[1];
    if (int rc = LoadLayout(ctx, cmd, file, libs, layout); rc != kExitOk) return rc;
    for (const auto& [name, col, row] : {std::tuple{"--from", drag.fromCol, drag.fromRow},
                                         std::tuple{"--to", drag.toCol, drag.toRow}}) {
        if (!layout.grid.Contains(row, col)) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kCellOutsideGrid,
                                       {name, std::to_string(layout.grid.cols - 1), std::to_string(layout.grid.rows - 1),
                                        std::to_string(layout.grid.cols), std::to_string(layout.grid.rows)}));
        }
    }
    // The command line has no background picture: every cell counts as lit for the modes
    // that follow the background.
    std::vector<std::uint8_t> everywhere(static_cast<std::size_t>(layout.grid.rows) * layout.grid.cols, 1);
    options.backgroundMask = &everywhere;
    const ops::AddLedsRequest request{drag, static_cast<int>(line.value_or(1)) - 1, moduleIndex, options};
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto added = ops::AddLeds(ws, request, prompt, ProgressFn());
    const int current = ops::NextLine(added, request.line);
    if (!added) {
        return Fail(ctx, cmd, Say(ctx,
                                  msg::cli::kPlacedNoLedInDrag,
                                  {std::to_string(current + 1), file.string()}));
    }
    if (int rc = SaveLayout(ctx, cmd, file, libs, layout); rc != kExitOk) return rc;
    ctx.out << Say(ctx, msg::cli::kAddedPoints,
                   {std::to_string(added->added), std::to_string(current + 1), std::to_string(layout.setting.lineCount)})
            << '\n';
    return kExitOk;
}

// layout set --clock MHZ and --gamma G as the divisor and the gamma x 10 the file keeps.
int ClockAndGamma(Context& ctx, const std::string& cmd, const Args& args, std::optional<int>& clock, std::optional<int>& gamma) {
    double d = 0;
    if (auto c = args.Value("--clock")) {
        if (!ParseDouble(*c, d) || !(d >= kMinClockMHz && d <= kMaxClockMHz)) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kClockRange));
        }
        clock = ClockDivisorFromMHz(d);
    }
    if (auto g = args.Value("--gamma")) {
        if (!ParseDouble(*g, d) || !(d >= 0.2 && d <= 10.0)) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kGammaRange));
        }
        gamma = GammaFromValue(d);
    }
    return kExitOk;
}

// layout set --groups N,N,...: the slaves per master controller.
int ParseGroups(Context& ctx, const std::string& cmd, const Args& args, std::vector<std::uint16_t>& groups) {
    if (auto g = args.Value("--groups")) {
        for (const auto& part : Split(*g, ',')) {
            long long n = 0;
            if (!ParseInteger(part, n) || n < 0 || n > 0xFFFF) return Usage(ctx, cmd, Say(ctx, msg::cli::kGroupsFormat));
            groups.push_back(static_cast<std::uint16_t>(n));
        }
    }
    return kExitOk;
}

// The --groups counts: each at least 1, adding up to at most the layout's slaves.
int CheckGroups(Context& ctx, const std::string& cmd, const std::vector<std::uint16_t>& groups, int slaveCount) {
    long long total = 0;
    for (auto g : groups) total += g;
    if (total > slaveCount || std::find(groups.begin(), groups.end(), 0) != groups.end()) {
        return Usage(ctx, cmd, Say(ctx,
                                   msg::cli::kGroupsCounts,
                                   {std::to_string(slaveCount)}));
    }
    return kExitOk;
}

int LayoutSet(Context& ctx, const Args& args) {
    const std::string cmd = "layout set";
    if (args.positionals().size() != 2) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsOneLineFile));
    }
    HomeFiles libs;
    Workspace ws;
    PrepareWorkspace(ctx, libs, ws);
    Layout& layout = ws.layout;
    const fs::path file = args.positionals()[1];
    std::string error;
    auto intOpt = [&](const char* name) { return args.Int(name, error); };
    auto ports = intOpt("--ports-per-slave");
    auto brightness = intOpt("--brightness");
    auto gray = intOpt("--gray");
    auto slavePorts = intOpt("--ports");
    auto red = intOpt("--red");
    auto green = intOpt("--green");
    auto blue = intOpt("--blue");
    auto chip = intOpt("--chip");
    if (!error.empty()) return Usage(ctx, cmd, error);
    for (auto* v : {&brightness, &red, &green, &blue}) {
        if (*v && (**v < 0 || **v > 100)) return Usage(ctx, cmd, Say(ctx, msg::cli::kPercentRange));
    }
    if (ports && !IsPortsPerSlaveChoice(static_cast<int>(*ports))) return Usage(ctx, cmd, Say(ctx, msg::cli::kPortsPerSlaveChoices));
    if (slavePorts && !IsPortsPerSlaveChoice(static_cast<int>(*slavePorts))) return Usage(ctx, cmd, Say(ctx, msg::cli::kPortsChoices));
    if (chip && (*chip < 0 || *chip > 255)) return OutOfRange(ctx, cmd, "--chip", 0, 255);
    std::optional<int> grayIndex;
    if (gray) {
        grayIndex = GrayIndexFromLevels(*gray);
        if (!grayIndex) return Usage(ctx, cmd, Say(ctx, msg::cli::kGrayChoices));
    }
    std::optional<int> clock, gamma;
    if (int rc = ClockAndGamma(ctx, cmd, args, clock, gamma); rc != kExitOk) return rc;
    std::optional<bool> reverse;
    if (auto r = args.Value("--reverse")) {
        if (*r != "yes" && *r != "no") return Usage(ctx, cmd, Say(ctx, msg::cli::kReverseChoices));
        reverse = *r == "yes";
    }
    std::optional<int> family;
    if (auto f = args.Value("--family")) {
        static const std::vector<std::string> names = {"ms", "single", "simple"};
        auto it = std::find(names.begin(), names.end(), *f);
        if (it == names.end()) return Usage(ctx, cmd, Say(ctx, msg::cli::kFamilyChoices));
        family = static_cast<int>(it - names.begin());
    }
    std::vector<std::uint16_t> groups;
    if (int rc = ParseGroups(ctx, cmd, args, groups); rc != kExitOk) return rc;
    if (int rc = LoadLayout(ctx, cmd, file, libs, layout); rc != kExitOk) return rc;
    if (chip && !libs.Catalogue().HasCode(static_cast<int>(*chip))) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kUnknownChipCode,
                                   {std::to_string(*chip)}));
    }
    std::optional<int> lamp;
    if (auto name = args.Value("--lamp")) {
        auto it = std::find_if(libs.lamps.begin(), libs.lamps.end(),
                               [&](const LightTypeRecord& r) { return r.Name() == *name; });
        if (it == libs.lamps.end()) return Fail(ctx, cmd, Say(ctx, msg::cli::kNoLampTypeNamed, {*name}));
        lamp = static_cast<int>(it - libs.lamps.begin());
    }
    LineSetting& s = layout.setting;
    StreamPrompt prompt(ctx.err, Answer::No);
    ControllerTypeState state;
    if (family) {
        if (const auto set = ops::SetControllerType(ws, {*family, state}, prompt, ProgressFn())) state = set->state;
    }
    if (ports) {
        if (const auto set = ops::SetLinesPerSlave(ws, {static_cast<int>(*ports)}, prompt, ProgressFn()); !set) {
            return Fail(ctx, cmd, Say(ctx, msg::cli::kSimpleControllerFourLines));  // kPortsSimpleController
        }
    }
    if (s.controllerType == kSingleController && grayIndex && *grayIndex > 8) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kSingleControllerGrayLimit));
    }
    const bool anyValue = lamp || chip || clock || brightness || grayIndex || slavePorts || red || green || blue ||
                          reverse || gamma;
    const int slaveCount = s.SlaveCount();
    auto valuesFor = [&](ParameterValues v) {
        if (lamp) v.lightType = *lamp;
        if (chip) v.chipCode = static_cast<int>(*chip);
        if (clock) v.clockDivisor = *clock;
        if (brightness) v.brightness = static_cast<int>(*brightness);
        if (grayIndex) {
            v.grayIndex = *grayIndex;
        } else if (chip) {
            // A chip change selects the chip's own gray levels, as the parameter dialog does.
            v.grayIndex = GrayIndexForChip(libs.Catalogue(), static_cast<int>(*chip), v.grayIndex,
                                           s.controllerType == kSingleController ? 9 : kGrayLevels);
        }
        if (slavePorts) v.ports = static_cast<int>(*slavePorts);
        if (red) v.red = static_cast<int>(*red);
        if (green) v.green = static_cast<int>(*green);
        if (blue) v.blue = static_cast<int>(*blue);
        if (reverse) v.reverse = *reverse;
        if (gamma) v.gamma = *gamma;
        return v;
    };
    if (auto list = args.Value("--slaves")) {
        std::vector<int> slaves;
        if (slaveCount == 0) return Fail(ctx, cmd, Say(ctx, msg::cli::kLayoutHasNoSlave));
        if (!ParseSlaves(*list, slaveCount, slaves)) return Usage(ctx, cmd, Say(ctx, msg::cli::kSlavesFormat));
        if (slaves.back() >= slaveCount) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kSlavesRange, {std::to_string(slaveCount)}));
        }
        for (int k : slaves) {
            const auto i = static_cast<std::size_t>(k);
            ParameterValues current{s.lightType[i], s.icType[i], s.clock[i], s.brightness[i], s.red[i], s.green[i],
                                    s.blue[i], static_cast<std::int8_t>(s.linePorts[i]), s.grayReverse[i] & 0x0F,
                                    (s.grayReverse[i] & 0x80) != 0, s.gamma[i]};
            ops::SetSlaveParameters(ws, {valuesFor(current), {k}, slaveCount}, prompt, ProgressFn());
        }
    } else if (anyValue) {
        // No slave chosen: the values become the defaults of the slaves not shown yet.

        ParameterValues dialog;
        dialog.chipCode = libs.Catalogue().CodeAt(0);
        dialog.grayIndex = state.graySelection;
        ctx.err << ops::SetSlaveParameters(ws, {valuesFor(dialog), {}, slaveCount}, prompt, ProgressFn())->message << '\n';
        // The defaults are for slaves not shown yet, which a line file does not keep.
        Warn(ctx, cmd, Say(ctx, msg::cli::kNoSlaveChosen,
                           {std::to_string(slaveCount)}));
    }
    if (args.Value("--groups")) {
        if (int rc = CheckGroups(ctx, cmd, groups, s.SlaveCount()); rc != kExitOk) return rc;
        layout.slaveGroups = groups;
    }
    NormaliseSlaveGroups(layout.slaveGroups, s.SlaveCount());
    return SaveLayout(ctx, cmd, file, libs, layout);
}

}  // namespace

int LayoutEdit(Context& ctx, const Args& args);

namespace {
// The options of each layout subcommand (line-op: of each operation too).
const OptionScopes kLayoutScopes = {
    {"layout new", {"--rows", "--cols", "--sphere"}},
    {"layout add", {"--from", "--to", "--line", "--mode", "--module", "--limit", "--repeat", "--tiles"}},
    {"layout set", {"--family", "--ports-per-slave", "--slaves", "--lamp", "--chip", "--clock", "--brightness", "--gray",
                    "--reverse", "--ports", "--gamma", "--red", "--green", "--blue", "--groups"}},
    {"layout delete", {"--from", "--to"}},
    {"layout copy", {"--from", "--to", "--clip"}},
    {"layout cut", {"--from", "--to", "--clip"}},
    {"layout paste", {"--clip", "--at", "--line", "--repeat"}},
    {"layout transfer", {"--at", "--line"}},
    {"layout reverse", {"--a", "--b"}},
    {"layout move-point", {"--from", "--to", "--repeat"}},
    {"layout repeat", {"--from", "--to", "--times"}},
    {"layout array-copy", {"--from", "--to", "--at", "--tiles", "--line"}},
    {"layout line-op", {"--a", "--and", "--to"}},
    {"layout line-op move", {"--offset"}},
    {"layout line-op copy", {"--clip"}},
};
}  // namespace

int RunLayout(Context& ctx, const Args& args) {
    if (args.positionals().empty()) {
        return Usage(ctx, "layout", Say(ctx, msg::cli::kLayoutNeedsSubcommand));
    }
    const std::string sub = args.positionals()[0];
    if (std::any_of(kLayoutScopes.begin(), kLayoutScopes.end(), [&](const OptionScope& row) { return row.kind == "layout " + sub; })) {
        std::vector<std::string> kinds = {"layout " + sub};
        if (sub == "line-op" && args.positionals().size() >= 3) kinds.push_back(kinds.front() + " " + args.positionals()[2]);
        std::string error;
        if (!args.CheckScopes(kLayoutScopes, kinds, error)) return Usage(ctx, kinds.front(), error);
    }
    if (sub == "new") return LayoutNew(ctx, args);
    if (sub == "add") return LayoutAdd(ctx, args);
    if (sub == "set") return LayoutSet(ctx, args);
    for (const char* edit : {"delete", "copy", "cut", "paste", "transfer", "reverse", "move-point", "repeat", "array-copy", "line-op"}) {
        if (sub == edit) return LayoutEdit(ctx, args);
    }
    return Usage(ctx, "layout", Say(ctx, msg::cli::kUnknownLayoutSubcommand, {sub}));
}

namespace {
// The options of each lamp and module subcommand.
const OptionScopes kLampScopes = {
    {"lamp add", {"--pins"}},
    {"lamp list", {"--json"}},
    {"lamp delete", {}},
};
const OptionScopes kModuleScopes = {
    {"module list", {"--json"}},
    {"module import", {}},
    {"module export", {}},
    {"module delete", {}},
};
}  // namespace

int RunLamp(Context& ctx, const Args& args) {
    if (args.positionals().empty()) {
        return Usage(ctx, "lamp", Say(ctx, msg::cli::kLampNeedsSubcommand));
    }
    const std::string sub = args.positionals()[0];
    if (std::string error; (sub == "add" || sub == "list" || sub == "delete") && !args.CheckScopes(kLampScopes, {"lamp " + sub}, error)) {
        return Usage(ctx, "lamp " + sub, error);
    }
    HomeFiles libs;
    const fs::path file = libs.home / kPinSetFileName;
    if (sub == "list") {
        if (args.Has("--json")) {
            Json j;
            j.BeginArray();
            for (const auto& r : libs.lamps) {
                j.BeginObject().Key("name").Value(r.Name()).Key("pinCount").Value(static_cast<int>(r.pinCount));
                j.Key("pins").BeginArray();
                for (int p = 0; p < r.pinCount; ++p) j.Value(static_cast<int>(r.pins[static_cast<std::size_t>(p)]));
                // The same pins as `lamp add --pins` takes them ("" for a pin not connected).
                j.EndArray().Key("pinTexts").BeginArray();
                for (int p = 0; p < r.pinCount; ++p) {
                    const std::string text = PinText(r.pins[static_cast<std::size_t>(p)]);
                    j.Value(text == " " ? std::string() : text);
                }
                j.EndArray().Key("builtIn").Value(&r - libs.lamps.data() < static_cast<std::ptrdiff_t>(kBuiltInLightTypes)).EndObject();
            }
            ctx.out << j.EndArray().str() << '\n';
            return kExitOk;
        }
        for (std::size_t i = 0; i < libs.lamps.size(); ++i) {
            const auto& r = libs.lamps[i];
            ctx.out << i << ": " << r.Name() << " (" << Say(ctx, msg::cli::kPinCount, {std::to_string(r.pinCount)}) << ") "
                    << ShortcutText(r) << (i < kBuiltInLightTypes ? Say(ctx, msg::cli::kBuiltInMark) : std::string()) << '\n';
        }
        return kExitOk;
    }
    if (args.positionals().size() != 2) {
        return Usage(ctx, "lamp " + sub, Say(ctx, msg::cli::kNeedsLampTypeName));
    }
    const std::string name = args.positionals()[1];
    if (sub == "add") {
        auto pins = args.Value("--pins");
        if (!pins) return Usage(ctx, "lamp add", Say(ctx, msg::cli::kPinsRequired));
        const auto items = Split(*pins, ',');
        std::string shortcut;
        for (const auto& item : items) shortcut += item.empty() ? " " : item;
        ChipPinResult r = SaveChipPins(libs.lamps, name, static_cast<int>(items.size()), items, shortcut, ctx.strings);
        switch (r.kind) {
            case ChipPinResult::Nothing:
                return Usage(ctx, "lamp add", Say(ctx, msg::cli::kLampPinRange));
            case ChipPinResult::PinError:
                return Usage(ctx, "lamp add", r.message);  // a pin the user typed wrong
            case ChipPinResult::BuiltInUnchanged:
                return Fail(ctx, "lamp add", Say(ctx, msg::cli::kBuiltInLampUnchangeable, {name}));
            default:
                break;
        }
        if (auto saved = SaveLampTypes(file, libs.lamps); !saved) return FailSave(ctx, "lamp add", saved.failure());
        ctx.out << r.message << '\n';
        return kExitOk;
    }
    if (sub == "delete") {
        auto it = std::find_if(libs.lamps.begin(), libs.lamps.end(),
                               [&](const LightTypeRecord& r) { return r.Name() == name; });
        if (it == libs.lamps.end()) return Fail(ctx, "lamp delete", Say(ctx, msg::cli::kNoLampTypeNamed, {name}));
        LineSetting unused;
        const std::string msg =
            DeleteLampType(libs.lamps, static_cast<std::size_t>(it - libs.lamps.begin()), unused, ctx.strings);
        if (msg.empty()) return Fail(ctx, "lamp delete", Say(ctx, msg::cli::kBuiltInLampUndeletable, {name}));
        if (!SaveLampTypes(file, libs.lamps)) return Fail(ctx, "lamp delete", Say(ctx, msg::common::kSaveFileFail));
        ctx.out << msg << '\n';
        return kExitOk;
    }
    return Usage(ctx, "lamp", Say(ctx, msg::cli::kUnknownLampSubcommand, {sub}));
}

int RunChip(Context& ctx, const Args& args) {
    if (args.positionals().size() != 1 || args.positionals()[0] != "list") {
        return Usage(ctx, "chip", Say(ctx, msg::cli::kChipNeedsList));
    }
    HomeFiles libs;
    const ChipCatalogue& catalogue = libs.Catalogue();
    if (args.Has("--json")) {
        Json j;
        j.BeginArray();
        for (std::size_t i = 0; i < catalogue.entries().size(); ++i) {
            const ChipEntry& e = catalogue.entries()[i];
            j.BeginObject().Key("position").Value(static_cast<int>(i)).Key("code").Value(e.code);
            j.Key("name").Value(e.english).Key("chineseName").Value(e.chinese).Key("delay").Value(catalogue.Delay(e.code));
            j.Key("default").Value(e.code == libs.defaultChip).EndObject();
        }
        ctx.out << j.EndArray().str() << '\n';
        return kExitOk;
    }
    for (std::size_t i = 0; i < catalogue.entries().size(); ++i) {
        const ChipEntry& e = catalogue.entries()[i];
        ctx.out << Say(ctx, msg::cli::kChipCodeLabel) << e.code << (e.code < 10 ? "    " : e.code < 100 ? "   " : "  ") << catalogue.Name(i, ctx.language)
                << (e.code == libs.defaultChip ? Say(ctx, msg::cli::kDefaultMark) : std::string()) << '\n';
    }
    return kExitOk;
}

int RunModule(Context& ctx, const Args& args) {
    if (args.positionals().empty()) {
        return Usage(ctx, "module", Say(ctx, msg::cli::kModuleNeedsSubcommand));
    }
    const std::string sub = args.positionals()[0];
    if (std::string error; sub == "import" || sub == "export" || sub == "delete") {
        if (!args.CheckScopes(kModuleScopes, {"module " + sub}, error)) return Usage(ctx, "module " + sub, error);
    }
    HomeFiles libs;
    const fs::path file = libs.home / kModuleFileName;
    Workspace ws;
    PrepareWorkspace(ctx, libs, ws);
    ModuleList& modules = ws.modules;
    modules.Load(file);
    StreamPrompt prompt(ctx.err, Answer::No);
    if (sub == "list") {
        if (args.Has("--json")) {
            Json j;
            j.BeginArray();
            for (std::size_t i = 0; i < modules.size(); ++i) {
                const auto& m = modules.modules()[i];
                j.BeginObject().Key("index").Value(static_cast<int>(i)).Key("name").Value(modules.DisplayName(i, ctx.language));
                j.Key("width").Value(static_cast<int>(m.width)).Key("height").Value(static_cast<int>(m.height));
                j.Key("builtIn").Value(i == 0).Key("points").BeginArray();
                for (auto o : m.offsets) j.BeginArray().Value(static_cast<int>(o & 0xFFFF)).Value(static_cast<int>(o >> 16)).EndArray();
                j.EndArray().EndObject();
            }
            ctx.out << j.EndArray().str() << '\n';
            return kExitOk;
        }
        for (std::size_t i = 0; i < modules.size(); ++i) {
            const auto& m = modules.modules()[i];
            ctx.out << i << ": " << modules.DisplayName(i, ctx.language) << " (" << m.width << " x " << m.height
                    << ", " << Say(ctx, msg::cli::kPointCount, {std::to_string(m.offsets.size())}) << ")\n";
        }
        return kExitOk;
    }
    if (args.positionals().size() != 2) {
        return Usage(ctx, "module " + sub, Say(ctx, msg::cli::kNeedsOneArgument));
    }
    const std::string arg = args.positionals()[1];
    if (sub == "import") {
        // Only a module file in every record is taken, and the home's module file keeps it.
        const auto imported = ops::ImportModules(ws, {arg, true, true}, prompt, ProgressFn());
        if (!imported) {
            const Failure& why = imported.failure();
            if (why.code == ops::kModulesCannotRead) return FailOpen(ctx, "module import", why);
            if (why.code == ops::kModulesNotModuleFile) {
                return Fail(ctx, "module import", Say(ctx, msg::cli::kNothingImported,
                                                     {arg, Reason(ctx, why.reason)}));
            }
            return FailSave(ctx, "module import", why);  // kModulesNotKept
        }
        ctx.out << Say(ctx, msg::cli::kImportedModules, {std::to_string(imported->added)}) << '\n';
        return kExitOk;
    }
    if (sub == "export") {
        if (auto saved = ops::ExportModules(ws, {arg}, prompt, ProgressFn()); !saved) {
            return FailSave(ctx, "module export", saved.failure());
        }
        return kExitOk;
    }
    if (sub == "delete") {
        const int index = modules.Find(arg, ctx.language);
        if (!ops::DeleteModule(ws, {index}, prompt, ProgressFn())) {
            return Fail(ctx, "module delete", Say(ctx, msg::cli::kNoUserModuleNamed, {arg}));  // kModuleNotUsers
        }
        ctx.out << ctx.strings.deleteOk << '\n';
        return kExitOk;
    }
    return Usage(ctx, "module", Say(ctx, msg::cli::kUnknownModuleSubcommand, {sub}));
}

int InfoLineFile(Context& ctx, const fs::path& path, bool json) {
    auto bytes = ReadFileBytes(path);
    LineFileContent c;
    if (!bytes) return FailOpen(ctx, "info", bytes.failure());
    if (const LineFileError e = ParseLineFile(*bytes, c); e == LineFileError::GridTooLarge) {
        return Fail(ctx, "info", path.string() + ": " + GridLimit(ctx, c.grid.rows, c.grid.cols));
    } else if (e != LineFileError::None) {
        return Fail(ctx, "info", path.string() + ": " + ctx.strings.badFileVersion);
    }
    if (const std::size_t outside = PointsOutsideGrid(c.grid, c.lines); outside > 0) {
        Warn(ctx, "info", Say(ctx, msg::cli::kLedsBeyondGrid,
                              {std::to_string(outside), path.string(), std::to_string(c.grid.rows),
                               std::to_string(c.grid.cols)}));
    }
    const LineSetting& s = c.setting;
    const int slaves = std::min<int>(s.SlaveCount(), s.lineCount);
    // The slaves' lamp types are numbers into the file's own list (the built-in ones when the
    // file holds none); their chips, codes of the home's catalogue.
    const std::vector<LightTypeRecord> builtIn = BuiltInLightTypes();
    auto lampName = [&](std::size_t type) {
        if (type < c.lightTypes.size()) return c.lightTypes[type].Name();
        return type < builtIn.size() ? builtIn[type].Name() : std::string();
    };
    HomeFiles home;
    auto named = [](long long number, const std::string& name) {
        return std::to_string(number) + (name.empty() ? std::string() : " (" + name + ")");
    };
    if (json) {
        Json j;
        j.BeginObject().Key("file").Value(path.string()).Key("type").Value("line file");
        j.Key("version").Value(static_cast<int>(c.version));
        j.Key("rows").Value(static_cast<int>(c.grid.rows)).Key("cols").Value(static_cast<int>(c.grid.cols));
        j.Key("sphereMode").Value(static_cast<int>(c.grid.sphereMode)).Key("rowWidths").BeginArray();
        for (auto w : c.grid.rowWidths) j.Value(static_cast<int>(w));
        j.EndArray();
        j.Key("controllerType").Value(static_cast<int>(s.controllerType));
        j.Key("portsPerSlave").Value(static_cast<int>(s.portsPerSlave));
        j.Key("lineCount").Value(static_cast<int>(s.lineCount)).Key("lines").BeginArray();
        for (int i = 0; i < s.lineCount; ++i) {
            j.BeginArray();
            for (LinePoint p : c.lines[static_cast<std::size_t>(i)]) {
                j.BeginArray().Value(PointRow(p)).Value(PointCol(p)).EndArray();
            }
            j.EndArray();
        }
        j.EndArray().Key("slaves").BeginArray();
        for (int k = 0; k < slaves; ++k) {
            const auto i = static_cast<std::size_t>(k);
            j.BeginObject();
            const char* names[] = {"lightType", "icType", "clock", "brightness", "grayReverse", "red",
                                   "green",     "blue",   "linePorts", "gamma"};
            auto tables = s.Tables();
            for (int t = 0; t < 10; ++t) j.Key(names[t]).Value(static_cast<int>((*tables[static_cast<std::size_t>(t)])[i]));
            // The same values in the units the dialogs and `layout set` take.
            j.Key("clockMHz").Value(ClockText(s.clock[i])).Key("gammaValue").Value(GammaText(s.gamma[i]));
            j.Key("grayLevels").Value(GrayLevelText(s.grayReverse[i] & 0x0F)).Key("colourReverse").Value((s.grayReverse[i] & 0x80) != 0);
            j.Key("brightnessPercent").Value(static_cast<int>(s.brightness[i]));
            // The names of the lamp type and the chip (English, as `chip list --json` gives them).
            j.Key("lightTypeName").Value(lampName(s.lightType[i])).Key("icTypeName").Value(home.ChipName(s.icType[i], kLanguageEnglish));
            j.EndObject();
        }
        j.EndArray().Key("lampTypes").BeginArray();
        for (const auto& r : c.lightTypes) {
            j.BeginObject().Key("name").Value(r.Name()).Key("pinCount").Value(static_cast<int>(r.pinCount));
            j.Key("pins").BeginArray();
            for (int p = 0; p < r.pinCount && p < 192; ++p) j.Value(static_cast<int>(r.pins[static_cast<std::size_t>(p)]));
            j.EndArray().EndObject();
        }
        j.EndArray().Key("slaveGroups").BeginArray();
        for (auto g : c.slaveGroups) j.Value(static_cast<int>(g));
        ctx.out << j.EndArray().EndObject().str() << '\n';
        return kExitOk;
    }
    ctx.out << Label(ctx, msg::cli::kFileLabel, 13) << path.string() << '\n' << Label(ctx, msg::cli::kTypeLabel, 13)
            << Say(ctx, msg::cli::kLineFileVersion, {std::to_string(c.version)}) << '\n'
            << Label(ctx, msg::cli::kGridLabel, 13)
            << Say(ctx, msg::cli::kRowsByCols, {std::to_string(c.grid.rows), std::to_string(c.grid.cols)})
            << (c.grid.IsSphere() ? Say(ctx, msg::cli::kSphereMark) : std::string()) << '\n' << Label(ctx, msg::cli::kControllerLabel, 13)
            << LocalizeText(ControllerTypeName(s.controllerType, ctx.language), ctx.language) << ", "
            << Say(ctx, msg::cli::kLinesPerSlave, {std::to_string(s.portsPerSlave)}) << '\n'
            << Label(ctx, msg::cli::kLinesLabel, 13) << Say(ctx, msg::cli::kLinesInUse, {std::to_string(s.lineCount)}) << '\n';
    for (int i = 0; i < s.lineCount; ++i) {
        ctx.out << "  " << Format(ctx.strings.linePixel.c_str(), i + 1,
                                   static_cast<int>(c.lines[static_cast<std::size_t>(i)].size()))
                << '\n';
    }
    ctx.out << Label(ctx, msg::cli::kSlavesLabel, 13) << slaves << '\n';
    for (int k = 0; k < slaves; ++k) {
        const auto i = static_cast<std::size_t>(k);
        ctx.out << "  " << k + 1 << ": "
                << Say(ctx, msg::cli::kSlaveSettings,
                       {named(s.lightType[i], lampName(s.lightType[i])), named(s.icType[i], home.ChipName(s.icType[i], ctx.language)),
                        ClockText(s.clock[i]), std::to_string(s.brightness[i]), GrayLevelText(s.grayReverse[i] & 0x0F)})
                << ((s.grayReverse[i] & 0x80) ? Say(ctx, msg::cli::kGrayReversedMark) : std::string())
                << Say(ctx, msg::cli::kPortsAndGamma,
                       {std::to_string(static_cast<std::int8_t>(s.linePorts[i])), GammaText(s.gamma[i])})
                << '\n';
    }
    ctx.out << Label(ctx, msg::cli::kLampTypesLabel, 13) << c.lightTypes.size() << '\n' << Say(ctx, msg::cli::kSlaveGroupsLabel);
    for (auto g : c.slaveGroups) ctx.out << ' ' << g;
    ctx.out << '\n';
    return kExitOk;
}

int InfoModules(Context& ctx, const fs::path& path, bool json) {
    auto bytes = ReadFileBytes(path);
    if (!bytes) return FailOpen(ctx, "info", bytes.failure());
    if (const std::string why = CheckModuleFile(*bytes); !why.empty()) return Fail(ctx, "info", path.string() + ": " + Reason(ctx, why));
    const auto modules = ReadModuleRecords(std::span<const std::uint8_t>(*bytes).subspan(1));
    if (json) {
        Json j;
        j.BeginObject().Key("file").Value(path.string()).Key("type").Value("display modules").Key("modules").BeginArray();
        for (const auto& m : modules) {
            j.BeginObject().Key("name").Value(m.name).Key("width").Value(static_cast<int>(m.width));
            j.Key("height").Value(static_cast<int>(m.height)).Key("offsets").BeginArray();
            for (auto o : m.offsets) j.BeginArray().Value(static_cast<int>(o & 0xFFFF)).Value(static_cast<int>(o >> 16)).EndArray();
            j.EndArray().EndObject();
        }
        ctx.out << j.EndArray().EndObject().str() << '\n';
        return kExitOk;
    }
    ctx.out << Label(ctx, msg::cli::kFileLabel, 13) << path.string() << '\n' << Label(ctx, msg::cli::kTypeLabel, 13)
            << Say(ctx, msg::cli::kDisplayModulesKind) << '\n' << Label(ctx, msg::cli::kModulesLabel, 13) << modules.size() << '\n';
    for (const auto& m : modules) {
        ctx.out << "  " << m.name << ": " << m.width << " x " << m.height << ", "
                << Say(ctx, msg::cli::kPointCount, {std::to_string(m.offsets.size())}) << '\n';
    }
    return kExitOk;
}

int InfoPinSet(Context& ctx, const fs::path& path, bool json) {
    auto bytes = ReadFileBytes(path);
    if (!bytes) return FailOpen(ctx, "info", bytes.failure());
    if (const std::string why = CheckPinSetFile(*bytes); !why.empty()) return Fail(ctx, "info", path.string() + ": " + Reason(ctx, why));
    std::vector<LightTypeRecord> records;
    ReadPinSet(*bytes, records);
    if (json) {
        Json j;
        j.BeginObject().Key("file").Value(path.string()).Key("type").Value("lamp types").Key("lampTypes").BeginArray();
        for (const auto& r : records) {
            j.BeginObject().Key("name").Value(r.Name()).Key("pinCount").Value(static_cast<int>(r.pinCount));
            j.Key("pins").BeginArray();
            for (int p = 0; p < r.pinCount; ++p) j.Value(static_cast<int>(r.pins[static_cast<std::size_t>(p)]));
            j.EndArray().EndObject();
        }
        ctx.out << j.EndArray().EndObject().str() << '\n';
        return kExitOk;
    }
    ctx.out << Label(ctx, msg::cli::kFileLabel, 13) << path.string() << '\n' << Label(ctx, msg::cli::kTypeLabel, 13)
            << Say(ctx, msg::cli::kLampTypesKind) << '\n' << Label(ctx, msg::cli::kLampTypesLabel, 13) << records.size() << '\n';
    for (const auto& r : records) {
        ctx.out << "  " << r.Name() << " (" << Say(ctx, msg::cli::kPinCount, {std::to_string(r.pinCount)}) << "): " << ShortcutText(r)
                << '\n';
    }
    return kExitOk;
}

}  // namespace corv::cli

namespace corv::cli {

namespace {
// The picture's size belongs to the picture.
const OptionScopes kDxfScopes = {
    {"dxf --picture", {"--picture", "--width", "--height"}},
};
}  // namespace

int RunDxf(Context& ctx, const Args& args) {
    const std::string cmd = "dxf";
    if (args.positionals().size() != 2) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kDxfNeedsFiles));
    }
    std::string error;
    if (!args.CheckScopes(kDxfScopes, {args.Has("--picture") ? "dxf --picture" : "dxf"}, error)) return Usage(ctx, cmd, error);
    auto sx = args.Int("--space-x", error);
    auto sy = args.Int("--space-y", error);
    auto pw = args.Int("--width", error);
    auto ph = args.Int("--height", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (args.Value("--picture") && (!pw || !ph)) return Usage(ctx, cmd, Say(ctx, msg::cli::kPictureNeedsSize));
    constexpr long long kMaxSpacing = static_cast<long long>(kMaxDxfSpacing);
    if (sx && (*sx < 1 || *sx > kMaxSpacing)) return OutOfRange(ctx, cmd, "--space-x", 1, kMaxSpacing);
    if (sy && (*sy < 1 || *sy > kMaxSpacing)) return OutOfRange(ctx, cmd, "--space-y", 1, kMaxSpacing);
    if (pw && (*pw < 1 || *pw > 32767)) return OutOfRange(ctx, cmd, "--width", 1, 32767);
    if (ph && (*ph < 1 || *ph > 32767)) return OutOfRange(ctx, cmd, "--height", 1, 32767);
    const std::filesystem::path drawingPath = args.positionals()[0];
    if (auto readable = ReadFileBytes(drawingPath); !readable) return FailOpen(ctx, cmd, readable.failure());
    const bool vertexMode = args.Has("--vertex-mode");
    const DxfDrawing drawing = ReadDxf(drawingPath);
    auto warn = [&](const std::string& text) { Warn(ctx, cmd, text); };
    Workspace ws;
    ws.app.language = ctx.language;
    ws.strings = ctx.strings;
    ops::DxfImportRequest request;
    request.drawing = &drawing;
    if (sx) request.spaceX = static_cast<int>(*sx);
    if (sy) request.spaceY = static_cast<int>(*sy);
    request.vertexMode = vertexMode;
    request.keepWithoutLeds = true;  // the line file is written whatever came of it
    // The drawing's own refusals come before its warnings, the grid's after them.
    const auto drawingRefusal = ops::DxfRefusalOf(ws, request);
    const int refusal = drawingRefusal ? drawingRefusal->code : 0;
    if (refusal == ops::kDxfNotDrawing) {
        return Fail(ctx, cmd, drawingPath.string() + ": " +
                                  Say(ctx, msg::cli::kNotDxfDrawing));
    }
    if (refusal == ops::kDxfNoLines || refusal == ops::kDxfNoCircles) {
        return Fail(ctx, cmd, drawingPath.string() + ": " +
                                  (vertexMode ? Say(ctx, msg::cli::kDrawingHasNoLine)
                                              : Say(ctx, msg::cli::kDrawingHasNoLed)));
    }
    if (!drawing.complete) {
        warn(Say(ctx, msg::cli::kDrawingEndsEarly, {drawingPath.string()}));
    }
    if (drawing.absurd > 0) {
        warn(Say(ctx, msg::cli::kEntitiesLeftOut,
                 {std::to_string(drawing.absurd), std::to_string(static_cast<long long>(kMaxDxfCoordinate))}));
    }
    HomeFiles libs;
    request.defaultChip = libs.defaultChip;
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto imported = ops::ImportDrawing(ws, request, prompt, ProgressFn());
    if (!imported && imported.failure().code == ops::kDxfTooLarge) {
        const auto& v = imported.failure().args;
        return Fail(ctx, cmd, Say(ctx, msg::cli::kGridTooLargeAtSpacing,
                                  {v[0], v[1], GridLimit(ctx, std::stoll(v[2]), std::stoll(v[3]))}));
    }
    if (!imported) return Fail(ctx, cmd, imported.message());
    const auto suggested = imported->suggested;
    const int spaceX = imported->spaceX, spaceY = imported->spaceY;
    const DxfImportResult& r = imported->result;
    Layout& layout = ws.layout;
    if (r.sharedCells > 0) {
        warn(Say(ctx, msg::cli::kLedsShareCells,
                 {std::to_string(r.sharedCells), std::to_string(r.leds), std::to_string(spaceX), std::to_string(spaceY)}));
    }
    // The picture is made and its file opened before the line file is written, and kept only
    // when the line file was: the two are written together or not at all.
    std::optional<ReplacingFile> pictureFile;
    if (auto picturePath = args.Value("--picture")) {
        // One marked pixel per LED, for the background tools.
        const int w = static_cast<int>(*pw), h = static_cast<int>(*ph);
        const QImage image = ops::DxfMarksImage(drawing, w, h);
        if (image.isNull()) return Fail(ctx, cmd, Say(ctx, msg::cli::kWidthOrHeightTooSmall));
        const auto bytes = EncodeLayoutImage(image, QString::fromStdString(*picturePath));
        if (!bytes) return Fail(ctx, cmd, Say(ctx, msg::cli::kCannotEncodePicture, {*picturePath}));
        pictureFile.emplace(*picturePath);
        pictureFile->writer.Bytes(bytes->constData(), static_cast<std::size_t>(bytes->size()));
        if (!pictureFile->ok()) return FailSave(ctx, cmd, pictureFile->failure());  // recorded when it was opened
    }
    // Both files are written out in full before either takes its place: a write that fails
    // (a full disk) leaves both as they were.
    layout.RecomputeLineCount();
    ReplacingFile lineFile(args.positionals()[1]);
    lineFile.writer.Bytes(LineFileBytes(layout, libs.lamps));
    if (auto prepared = lineFile.Prepare(); !prepared) return FailSave(ctx, cmd, prepared.failure());
    if (pictureFile) {
        if (auto prepared = pictureFile->Prepare(); !prepared) return FailSave(ctx, cmd, prepared.failure());
        if (auto committed = pictureFile->Commit(); !committed) return FailSave(ctx, cmd, committed.failure());
    }
    if (auto committed = lineFile.Commit(); !committed) return FailSave(ctx, cmd, committed.failure());
    if (args.Has("--json")) {
        Json j;
        j.BeginObject().Key("suggestedSpacing").BeginArray().Value(suggested.first).Value(suggested.second).EndArray();
        j.Key("spacing").BeginArray().Value(spaceX).Value(spaceY).EndArray();
        j.Key("rows").Value(r.rows).Key("cols").Value(r.cols).Key("circles").Value(static_cast<int>(drawing.circles.size()));
        j.Key("chains").Value(r.chains).Key("linesMade").Value(r.linesUsed).Key("leds").Value(r.leds);
        j.Key("sharedCells").Value(r.sharedCells).Key("complete").Value(drawing.complete).EndObject();
        ctx.out << j.str() << '\n';
        return kExitOk;
    }
    ctx.out << Label(ctx, msg::cli::kSuggestedSpacingLabel, 19) << suggested.first << " x " << suggested.second << '\n'
            << Label(ctx, msg::cli::kSpacingUsedLabel, 19) << spaceX << " x " << spaceY << '\n' << Label(ctx, msg::cli::kGridLabel, 19)
            << Say(ctx, msg::cli::kRowsByCols, {std::to_string(r.rows), std::to_string(r.cols)}) << '\n'
            << Label(ctx, msg::cli::kCirclesLabel, 19) << drawing.circles.size() << '\n' << Label(ctx, msg::cli::kChainsLabel, 19) << r.chains << '\n'
            << Label(ctx, msg::cli::kLinesMadeLabel, 19) << r.linesUsed << " ("
            << Say(ctx, msg::cli::kLedCount, {std::to_string(r.leds)}) << ")\n";
    return kExitOk;
}

}  // namespace corv::cli

namespace corv::cli {

int RunExportMap(Context& ctx, const Args& args) {
    const std::string cmd = "export-map";
    if (args.positionals().size() != 2) return Usage(ctx, cmd, Say(ctx, msg::cli::kMapNeedsFiles));
    HomeFiles libs;
    Workspace ws;
    PrepareWorkspace(ctx, libs, ws);
    if (int rc = LoadLayout(ctx, cmd, args.positionals()[0], libs, ws.layout); rc != kExitOk) return rc;
    ws.lampTypes = libs.lamps;  // with the line file's own
    StreamPrompt prompt(ctx.err, Answer::No);
    if (auto written = ops::ExportMap(ws, {args.positionals()[1]}, prompt, ProgressFn()); !written) {
        return FailSave(ctx, cmd, written.failure());
    }
    return kExitOk;
}

int RunExportHmc(Context& ctx, const Args& args) {
    const std::string cmd = "export-hmc";
    if (args.positionals().size() != 2) return Usage(ctx, cmd, Say(ctx, msg::cli::kHmcNeedsFiles));
    std::vector<Bgr> colours;
    for (const auto& text : Split(args.Value("--colors").value_or("FF0000,00FF00,0000FF,FFFF00,00FFFF,FF00FF,FFFFFF"), ',')) {
        Bgr c;
        if (!ParseColour(text, c)) return Usage(ctx, cmd, Say(ctx, msg::cli::kColorsTakesList));
        colours.push_back(c);
    }
    Bgr selected{255, 255, 255};
    if (auto s = args.Value("--selected"); s && !ParseColour(*s, selected)) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kSelectedTakesColour));
    }
    HomeFiles libs;
    Workspace ws;
    PrepareWorkspace(ctx, libs, ws);
    const Layout& layout = ws.layout;
    if (int rc = LoadLayout(ctx, cmd, args.positionals()[0], libs, ws.layout); rc != kExitOk) return rc;
    ws.lampTypes = libs.lamps;  // with the line file's own
    const Line& first = layout.lines[0];
    if (std::any_of(first.begin(), first.end(), [&](LinePoint p) { return !layout.grid.Contains(PointRow(p), PointCol(p)); })) {
        return Fail(ctx, cmd, ctx.strings.paramError + Say(ctx, msg::cli::kLineOneOutsideGrid));
    }
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto written = ops::ExportHmc(ws, {args.positionals()[1], colours, selected}, prompt, ProgressFn());
    if (!written && written.failure().code == ops::kHmcOutsideLimits) {
        return Fail(ctx, cmd, ctx.strings.paramError + " " +
                                  Say(ctx, msg::cli::kHmcLimits));
    }
    if (!written) return FailSave(ctx, cmd, written.failure());  // kHmcNotWritten
    return kExitOk;
}

}  // namespace corv::cli

#include <QGuiApplication>

#include <cstdio>

#include "layout/LayoutImage.h"

namespace corv::cli {

namespace {

// Qt's start-up talk that says nothing to a command-line user (the runtime folder it falls back
// to when XDG_RUNTIME_DIR is unset) is dropped; every other message goes to stderr as usual.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (message.contains(QLatin1String("XDG_RUNTIME_DIR"))) {
        return;
    }
    if (type != QtDebugMsg && type != QtInfoMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}

}  // namespace

void QuietQtStartup() { qInstallMessageHandler(QuietQtMessages); }

struct OffscreenGui::App {
    int argc = 1;
    char name[16] = "corvantine-cli";
    char* argv[2] = {name, nullptr};
    QGuiApplication app{argc, argv};
};

OffscreenGui::OffscreenGui() {
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QuietQtStartup();
    app_ = new App;
}

OffscreenGui::~OffscreenGui() { delete app_; }

int RunRenderLayout(Context& ctx, const Args& args) {
    const std::string cmd = "render-layout";
    if (args.positionals().size() != 2) return Usage(ctx, cmd, Say(ctx, msg::cli::kRenderLayoutNeedsFiles));
    std::string error;
    auto cell = args.Int("--cell", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (cell && (*cell < 2 || *cell > 64)) return OutOfRange(ctx, cmd, "--cell", 2, 64);
    HomeFiles libs;
    Layout layout;
    if (int rc = LoadLayout(ctx, cmd, args.positionals()[0], libs, layout); rc != kExitOk) return rc;
    const int wanted = static_cast<int>(cell.value_or(12));
    const int used = LayoutPictureCell(layout.grid, wanted);
    if (used == 0) {
        return Fail(ctx, cmd, Say(ctx, msg::cli::kGridTooLargeForPicture,
                                  {std::to_string(layout.grid.cols), std::to_string(layout.grid.rows),
                                   std::to_string(kMaxLayoutPictureSide), std::to_string(kMaxLayoutPicturePixels)}));
    }
    if (used < wanted) {
        ctx.err << "corvantine-cli " << cmd << ": "
                << Say(ctx, msg::cli::kPictureCellSizeReduced,
                       {std::to_string(used), std::to_string(wanted), std::to_string(kMaxLayoutPicturePixels)})
                << '\n';
    }
    // Text needs a GUI application object; without a display it draws off screen.
    const OffscreenGui gui;
    const QImage image = RenderLayout(layout, used);
    if (auto saved = SaveLayoutImage(image, QString::fromStdString(args.positionals()[1])); !saved) {
        return FailSave(ctx, cmd, saved.failure());
    }
    ctx.out << image.width() << " x " << image.height() << '\n';
    return kExitOk;
}

}  // namespace corv::cli

#include <QBuffer>
#include <QGuiApplication>

#include "layout/Identify.h"
#include "layout/Wiring.h"

namespace corv::cli {

int RunIdentify(Context& ctx, const Args& args) {
    const std::string cmd = "identify";
    if (args.positionals().size() != 2) return Usage(ctx, cmd, Say(ctx, msg::cli::kIdentifyNeedsFiles));
    const std::string mode = args.Value("--mode").value_or("shortest-h");
    int connection = kShortestH;
    if (mode == "shortest") connection = kShortest;
    else if (mode != "shortest-h") return Usage(ctx, cmd, Say(ctx, msg::cli::kIdentifyModeChoices));
    const OffscreenGui gui;
    const std::string& file = args.positionals()[0];
    if (auto readable = ReadFileBytes(file); !readable) return FailOpen(ctx, cmd, readable.failure());
    QImage photo;
    if (!photo.load(QString::fromStdString(file))) {
        return Fail(ctx, cmd, file + ": " + Say(ctx, msg::cli::kNotReadablePicture));
    }
    // The dots become the background; Add by background wires them all, line after line.
    HomeFiles libs;
    Workspace ws;
    PrepareWorkspace(ctx, libs, ws);
    StreamPrompt prompt(ctx.err, Answer::No);
    const auto identified = ops::IdentifyLeds(ws, {photo, connection, libs.defaultChip}, prompt, ProgressFn());
    if (!identified) {
        const Failure& why = identified.failure();
        if (why.code == ops::kIdentifyGridTooLarge) {
            return Fail(ctx, cmd, GridLimit(ctx, std::stoll(why.args[0]), std::stoll(why.args[1])));
        }
        return Fail(ctx, cmd, file + ": " + Say(ctx, msg::cli::kNoLedDotsFound));  // kIdentifyNoDots
    }
    const IdentifiedLeds& found = identified->found;
    if (auto picture = args.Value("--picture")) {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        found.leds.save(&buffer, "PNG");
        if (auto written = WriteFileAtomic(*picture, std::span(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                                               static_cast<std::size_t>(bytes.size())));
            !written) {
            return FailSave(ctx, cmd, written.failure());
        }
    }
    if (int rc = SaveLayout(ctx, cmd, args.positionals()[1], libs, ws.layout); rc != kExitOk) return rc;
    ctx.out << Say(ctx, msg::cli::kLedDotsFound,
                   {std::to_string(found.centres.size()), std::to_string(static_cast<int>(std::lround(found.pitch))),
                    std::to_string(found.cols), std::to_string(found.rows), std::to_string(identified->wired)})
            << '\n';
    return kExitOk;
}

}  // namespace corv::cli

#include "layout/SculptTools.h"

namespace corv::cli {

namespace {

// A cell option "COL,ROW" inside the grid.
int CellOption(Context& ctx, const std::string& cmd, const Args& args, const char* name, const Layout& layout, int& col, int& row) {
    const auto text = args.Value(name);
    if (!text) return Usage(ctx, cmd, Say(ctx, msg::cli::kCellOptionRequired, {name}));
    long long a = 0, b = 0;
    if (!ParsePair(*text, a, b) || !layout.grid.Contains(static_cast<int>(b), static_cast<int>(a))) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kCellOptionRange,
                                   {name, std::to_string(layout.grid.cols - 1), std::to_string(layout.grid.rows - 1)}));
    }
    col = static_cast<int>(a);
    row = static_cast<int>(b);
    return kExitOk;
}

// A 1-based line option as a 0-based line; `required` false leaves `line` as it is when absent.
int LineOption(Context& ctx, const std::string& cmd, const Args& args, const char* name, bool required, int& line) {
    std::string error;
    const auto v = args.Int(name, error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (!v) return required ? Usage(ctx, cmd, Say(ctx, msg::cli::kLineOptionRequired, {name})) : kExitOk;
    if (*v < 1 || *v > kLineCount) return OutOfRange(ctx, cmd, name, 1, kLineCount);
    line = static_cast<int>(*v - 1);
    return kExitOk;
}

// layout line-op FILE OP: the operations on whole lines. `save` turns false for copy, which
// writes the clip file only.
int LineOperation(Context& ctx, const std::string& cmd, const Args& args, Workspace& ws, bool& save) {
    if (args.positionals().size() != 3) {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kLineOpNeedsOperation));
    }
    const std::string op = args.positionals()[2];
    int a = -1, b = -1;
    if (int rc = LineOption(ctx, cmd, args, "--a", true, a); rc != kExitOk) return rc;
    const bool to = args.Value("--to").has_value();
    if (int rc = LineOption(ctx, cmd, args, to ? "--to" : "--and", false, b); rc != kExitOk) return rc;
    using K = ops::LineOperationKind;
    ops::LineOperationRequest request{K::Exchange, a, b, to, 0, 0};
    StreamPrompt prompt(ctx.err, Answer::No);
    // The lines' own refusals (nothing to exchange, delete or move) leave the file as it was.
    auto operate = [&] { return ops::OperateLines(ws, request, prompt, ProgressFn()); };
    if (op == "exchange" || op == "unite") {
        request.kind = op == "exchange" ? K::Exchange : K::Unite;
        if (const auto done = operate(); !done && done.failure().code == ops::kLinesNotTwo) {
            return Usage(ctx, cmd, ctx.strings.paramError + " " + Say(ctx, msg::cli::kTwoDifferentLines));
        }
    } else if (op == "delete") {
        request.kind = K::Delete;
        operate();
    } else if (op == "move") {
        long long dx = 0, dy = 0;
        const auto offset = args.Value("--offset");
        if (!offset || !ParsePair(*offset, dx, dy)) return Usage(ctx, cmd, Say(ctx, msg::cli::kOffsetRequired));
        request.kind = K::Move;
        request.dx = static_cast<int>(dx);
        request.dy = static_cast<int>(dy);
        operate();
    } else if (op == "copy") {
        const auto out = args.Value("--clip");
        if (!out) return Usage(ctx, cmd, Say(ctx, msg::cli::kClipOutRequired));
        request.kind = K::Copy;
        request.b = to ? b : std::max(a, b);
        const auto copied = operate();
        if (auto written = WriteFileAtomic(*out, copied->data); !written) {
            return FailSave(ctx, cmd, written.failure());
        }
        ctx.out << Say(ctx, msg::cli::kLinesCopied) << '\n';
        save = false;  // the line file is not changed
        return kExitOk;
    } else {
        return Usage(ctx, cmd, Say(ctx, msg::cli::kUnknownLineOperation, {op}));
    }
    return kExitOk;
}

}  // namespace

// The editing tools of the sculpt window on a line file; the file is saved only when the edit
// did something.
int LayoutEdit(Context& ctx, const Args& args) {
    const std::string sub = args.positionals()[0];
    const std::string cmd = "layout " + sub;
    if (args.positionals().size() < 2) return Usage(ctx, cmd, Say(ctx, msg::cli::kNeedsLineFile));
    HomeFiles libs;
    Workspace ws;
    PrepareWorkspace(ctx, libs, ws);
    Layout& layout = ws.layout;
    const fs::path file = args.positionals()[1];
    if (int rc = LoadLayout(ctx, cmd, file, libs, layout); rc != kExitOk) return rc;
    StreamPrompt prompt(ctx.err, Answer::No);
    auto nothing = [&](const std::string& why) { return Fail(ctx, cmd, why + "; " + Say(ctx, msg::cli::kFileUnchanged, {file.string()})); };
    auto rect = [&](CellRect& r) -> int {
        int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
        if (int rc = CellOption(ctx, cmd, args, "--from", layout, c0, r0); rc != kExitOk) return rc;
        if (int rc = CellOption(ctx, cmd, args, "--to", layout, c1, r1); rc != kExitOk) return rc;
        r = CellRect{std::min(c0, c1), std::min(r0, r1), std::max(c0, c1) + 1, std::max(r0, r1) + 1};
        return kExitOk;
    };
    std::string message;
    if (sub == "delete" || sub == "copy" || sub == "cut") {
        CellRect r;
        if (int rc = rect(r); rc != kExitOk) return rc;
        if (sub != "delete") {
            const auto out = args.Value("--clip");
            if (!out) return Usage(ctx, cmd, Say(ctx, msg::cli::kClipOutRequired));
            const auto copied = ops::CopyZoneLeds(ws, {r}, prompt, ProgressFn());
            if (!copied) return nothing(Say(ctx, msg::cli::kNoLedInZone));
            const LineClipboard& clip = copied->clip;
            // The fragments with the zone's corner as their origin.
            std::vector<Line> withCorner = clip.fragments;
            auto data = EncodeLayoutData(withCorner);
            for (int b = 0; b < 4; ++b) data[4 + static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(MakePoint(r.y0, r.x0) >> (8 * b));
            if (auto written = WriteFileAtomic(*out, data); !written) return FailSave(ctx, cmd, written.failure());
            message = Say(ctx, msg::cli::kFragmentsCopied, {std::to_string(clip.fragments.size())});
            if (sub == "copy") {
                ctx.out << message << '\n';
                return kExitOk;  // the line file is not changed
            }
        }
        const auto deleted = ops::DeleteZoneLeds(ws, {r}, prompt, ProgressFn());
        if (!deleted) return nothing(Say(ctx, msg::cli::kNoLedInZone));
        message = Say(ctx, msg::cli::kLedsDeleted, {std::to_string(deleted->removed)});
    } else if (sub == "paste") {
        const auto in = args.Value("--clip");
        if (!in) return Usage(ctx, cmd, Say(ctx, msg::cli::kClipInRequired));
        const auto bytes = ReadFileBytes(*in);
        if (!bytes) return FailOpen(ctx, cmd, bytes.failure());
        const auto fragments = DecodeLayoutData(*bytes);
        if (!fragments) return Fail(ctx, cmd, *in + ": " + Say(ctx, msg::cli::kNotLayoutData));
        int col = 0, row = 0, line = 0;
        if (int rc = CellOption(ctx, cmd, args, "--at", layout, col, row); rc != kExitOk) return rc;
        if (int rc = LineOption(ctx, cmd, args, "--line", false, line); rc != kExitOk) return rc;
        LineClipboard clip;
        clip.fragments = *fragments;
        const LinePoint origin = (*bytes)[4] | ((*bytes)[5] << 8) | ((*bytes)[6] << 16) | (static_cast<std::uint32_t>((*bytes)[7]) << 24);
        clip.source = CellRect{PointCol(origin), PointRow(origin), PointCol(origin) + 1, PointRow(origin) + 1};
        const auto placed = ops::PasteLeds(ws, {&clip, col, row, line, kDefaultLineLimit, args.Has("--repeat"), nullptr},
                                           prompt, ProgressFn());
        if (!placed) return nothing(Say(ctx, msg::cli::kPlacedNoLedCellsTaken));
        message = Say(ctx, msg::cli::kLedsPasted, {std::to_string(placed->placed)});
    } else if (sub == "transfer") {
        int col = 0, row = 0, line = 0;
        if (int rc = CellOption(ctx, cmd, args, "--at", layout, col, row); rc != kExitOk) return rc;
        if (int rc = LineOption(ctx, cmd, args, "--line", true, line); rc != kExitOk) return rc;
        if (!ops::TransferLeds(ws, {col, row, line}, prompt, ProgressFn())) return nothing(Say(ctx, msg::cli::kNoOtherLineThere));
        message = Say(ctx, msg::cli::kTransferredToLine, {std::to_string(line + 1)});
    } else if (sub == "reverse") {
        int ca = 0, ra = 0, cb = 0, rb = 0;
        if (int rc = CellOption(ctx, cmd, args, "--a", layout, ca, ra); rc != kExitOk) return rc;
        if (int rc = CellOption(ctx, cmd, args, "--b", layout, cb, rb); rc != kExitOk) return rc;
        if (!ops::ReverseRun(ws, {ca, ra, cb, rb}, prompt, ProgressFn())) return nothing(Say(ctx, msg::cli::kNoLineConnectsCells));
        message = Say(ctx, msg::cli::kLineReversed);
    } else if (sub == "move-point") {
        int c0 = 0, r0 = 0, c1 = 0, r1 = 0;
        if (int rc = CellOption(ctx, cmd, args, "--from", layout, c0, r0); rc != kExitOk) return rc;
        if (int rc = CellOption(ctx, cmd, args, "--to", layout, c1, r1); rc != kExitOk) return rc;
        if (!ops::MoveLed(ws, {c0, r0, c1, r1, args.Has("--repeat"), nullptr}, prompt, ProgressFn())) {
            return nothing(Say(ctx, msg::cli::kNoLedToMove));
        }
        message = Say(ctx, msg::cli::kPointMoved);
    } else if (sub == "repeat") {
        CellRect r;
        if (int rc = rect(r); rc != kExitOk) return rc;
        std::string error;
        const auto times = args.Int("--times", error);
        if (!error.empty()) return Usage(ctx, cmd, error);
        if (!times || *times < 1 || *times > 1000) return OutOfRange(ctx, cmd, "--times", 1, 1000);
        const auto added = ops::RepeatLeds(ws, {r, static_cast<int>(*times)}, prompt, ProgressFn());
        if (!added) return nothing(Say(ctx, msg::cli::kNoLedInZone));
        message = Say(ctx, msg::cli::kLedsAdded, {std::to_string(added->added)});
    } else if (sub == "array-copy") {
        // The first line with LEDs in the zone becomes a module, laid as tiles from --at rightwards
        // and downwards.
        CellRect r;
        if (int rc = rect(r); rc != kExitOk) return rc;
        int col = 0, row = 0, line = 0;
        if (int rc = CellOption(ctx, cmd, args, "--at", layout, col, row); rc != kExitOk) return rc;
        if (int rc = LineOption(ctx, cmd, args, "--line", false, line); rc != kExitOk) return rc;
        long long ax = 0, ay = 0;
        const auto tiles = args.Value("--tiles");
        if (!tiles || !ParsePair(*tiles, ax, ay) || ax < 1 || ay < 1 || ax > 1000 || ay > 1000) {
            return Usage(ctx, cmd, Say(ctx, msg::cli::kTilesRequired));
        }
        ops::ArrayCopyRequest request;
        request.zone = r;
        // A drag that ends on --at from the lower right lays the tiles rightwards and downwards.
        request.drag = Drag{row + 1, col + 1, row, col};
        request.line = line;
        request.options.mode = kSTypeH;
        request.options.tiles = std::pair<int, int>{static_cast<int>(ax), static_cast<int>(ay)};
        const auto added = ops::ArrayCopyLeds(ws, request, prompt, ProgressFn());
        if (!added && added.failure().code == ops::kArrayPixelRange) {
            return nothing(Say(ctx, msg::cli::kPixelPointsRange,
                               {std::to_string(kDefaultLineLimit)}));
        }
        if (!added) return nothing(Say(ctx, msg::cli::kPlacedNoLedLinesFull));
        message = Say(ctx, msg::cli::kLedsLaid, {std::to_string(added->added)});
    } else {  // line-op
        bool save = true;
        if (int rc = LineOperation(ctx, cmd, args, ws, save); rc != kExitOk || !save) return rc;
        message = Say(ctx, msg::cli::kEditDone);
    }
    if (int rc = SaveLayout(ctx, cmd, file, libs, layout); rc != kExitOk) return rc;
    ctx.out << message << '\n';
    return kExitOk;
}

}  // namespace corv::cli
