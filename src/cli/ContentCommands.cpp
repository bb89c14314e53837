// The content commands: the colour library.
#include <algorithm>
#include <cstdio>
#include <iterator>

#include "cli/Cli.h"
#include "cli/HomeFiles.h"
#include "cli/Json.h"
#include "content/ColourList.h"

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
    if (!text) return Usage(ctx, cmd, Say(ctx, "--colors #RRGGBB,... is required", "必须给出 --colors #RRGGBB,..."));
    std::string error;
    const auto grade = args.Int("--grade", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    const auto steps = args.Int("--steps", error);
    if (!error.empty()) return Usage(ctx, cmd, error);
    if (grade && steps) return Usage(ctx, cmd, Say(ctx, "give --grade or --steps, not both", "--grade 与 --steps 只能给出一个"));
    ColourTransition mode = ColourTransition::Grade;
    int value = 8;
    if (grade) {
        if (std::find(std::begin(kGradeChoices), std::end(kGradeChoices), *grade) == std::end(kGradeChoices)) {
            return Usage(ctx, cmd, Say(ctx, "--grade takes 1, 2, 3, 4, 5, 8, 12, 16, 24 or 32", "--grade 取 1、2、3、4、5、8、12、16、24 或 32"));
        }
        value = static_cast<int>(*grade);
    }
    if (steps) {
        if (std::find(std::begin(kFixedChoices), std::end(kFixedChoices), *steps) == std::end(kFixedChoices)) {
            return Usage(ctx, cmd, Say(ctx, "--steps takes 16, 32, 64, 128 or 256", "--steps 取 16、32、64、128 或 256"));
        }
        mode = ColourTransition::Fixed;
        value = static_cast<int>(*steps);
    }
    for (const std::string& item : Split(*text, ',')) {
        Bgr c{};
        if (!ParseColour(item, c)) {
            return Usage(ctx, cmd, Say(ctx, "\"%1\" is not a colour (RRGGBB)", "\"%1\" 不是颜色 (RRGGBB)", {item}));
        }
        out.AddColour(MakeListColour(c.r, c.g, c.b), mode, value);
    }
    return kExitOk;
}

}  // namespace

int RunColors(Context& ctx, const Args& args) {
    if (args.positionals().empty()) {
        return Usage(ctx, "colors", Say(ctx, "needs a subcommand: list, add or remove", "需要一个子命令: list、add 或 remove"));
    }
    const std::string sub = args.positionals()[0];
    const std::string cmd = "colors " + sub;
    if (sub != "list" && sub != "add" && sub != "remove") {
        return Usage(ctx, "colors", Say(ctx, "unknown subcommand \"%1\" (list, add, remove)", "未知子命令 \"%1\" (list、add、remove)", {sub}));
    }
    const std::size_t positionals = sub == "remove" ? 2 : 1;
    if (args.positionals().size() != positionals) {
        return Usage(ctx, cmd, sub == "remove" ? Say(ctx, "needs the number of the list to remove", "需要要删除的列表编号")
                                               : Say(ctx, "takes no further arguments", "不接受其他参数"));
    }
    const auto given = args.Value("--library");
    const std::filesystem::path file = given ? std::filesystem::path(*given) : HomeFiles().home / ColourLibrary::kFileName;
    ColourLibrary library(file);
    std::string error;
    if (!library.Load(&error)) return Fail(ctx, cmd, Reason(ctx, error));

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
            ctx.out << number << ": " << colours.size() << "Color  " << Hex(colours.front()) << " .. " << Hex(colours.back())
                    << note << '\n';
        };
        line(0, rainbow.colours(), Say(ctx, "  [built-in rainbow]", "  [内置彩虹]"));
        for (int k = 1; k <= library.ListCount(); ++k) line(k, library.List(k), "");
        return kExitOk;
    }
    if (sub == "add") {
        ColourList list;
        if (int rc = ParseColourList(ctx, cmd, args, list); rc != kExitOk) return rc;
        if (!library.Append(list.colours(), &error)) return Fail(ctx, cmd, Reason(ctx, error));
        ctx.out << Say(ctx, "list %1 added: %2 colours", "已添加列表 %1: %2 种颜色",
                       {std::to_string(library.ListCount()), std::to_string(list.count())})
                << '\n';
        return kExitOk;
    }
    // remove
    const std::string& number = args.positionals()[1];
    char* end = nullptr;
    const long k = std::strtol(number.c_str(), &end, 10);
    if (number.empty() || *end != '\0' || k < 1) {
        return Usage(ctx, cmd, Say(ctx, "\"%1\" is not a list number (1..)", "\"%1\" 不是列表编号 (1..)", {number}));
    }
    if (k > library.ListCount()) {
        return Fail(ctx, cmd, Say(ctx, "there is no list %1 (the library holds %2)", "没有列表 %1 (颜色库中有 %2 个)",
                                  {number, std::to_string(library.ListCount())}));
    }
    if (!library.Remove(static_cast<int>(k), &error)) return Fail(ctx, cmd, Reason(ctx, error));
    ctx.out << Say(ctx, "list %1 removed", "已删除列表 %1", {number}) << '\n';
    return kExitOk;
}

}  // namespace corv::cli
