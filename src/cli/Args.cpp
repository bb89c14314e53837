#include "cli/Args.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "cli/Cli.h"
#include "lang/messages/CliMessages.h"
#include "lang/messages/CommonMessages.h"

namespace corv::cli {

bool ParseInteger(const std::string& text, long long& out) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == text.c_str() || *end != '\0') {
        return false;
    }
    out = v;
    return true;
}

bool Args::Parse(const std::vector<std::string>& argv, const std::set<std::string>& valued,
                 const std::set<std::string>& flags, std::string& error) {
    known_ = valued;
    known_.insert(flags.begin(), flags.end());
    bool onlyPositionals = false;
    for (std::size_t i = 0; i < argv.size(); ++i) {
        const std::string& a = argv[i];
        if (onlyPositionals || a.size() < 2 || a[0] != '-' || a == "-") {
            positionals_.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyPositionals = true;
            continue;
        }
        std::string name = a;
        std::optional<std::string> inlineValue;
        if (auto eq = a.find('='); eq != std::string::npos && a.rfind("--", 0) == 0) {
            name = a.substr(0, eq);
            inlineValue = a.substr(eq + 1);
        }
        if (valued.count(name)) {
            given_.push_back(name);
            if (inlineValue) {
                values_[name] = *inlineValue;
            } else if (i + 1 < argv.size()) {
                values_[name] = argv[++i];
            } else {
                error = Say(language_, msg::cli::kOptionNeedsValue, {name});
                return false;
            }
        } else if (flags.count(name) && !inlineValue) {
            given_.push_back(name);
            flags_.insert(name);
        } else {
            error = Say(language_, msg::common::kNoSuchOption, {a});
            return false;
        }
    }
    return true;
}

std::optional<std::string> Args::Value(const std::string& name) const {
    auto it = values_.find(name);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<long long> Args::Int(const std::string& name, std::string& error) const {
    auto v = Value(name);
    if (!v) {
        return std::nullopt;
    }
    long long n = 0;
    if (!ParseInteger(*v, n)) {
        error = Say(language_, msg::cli::kOptionNeedsInteger, {name, *v});
        return std::nullopt;
    }
    return n;
}

bool Args::CheckScopes(const OptionScopes& table, const std::vector<std::string>& kinds, std::string& error) const {
    auto applies = [&](const OptionScope& row) { return std::find(kinds.begin(), kinds.end(), row.kind) != kinds.end(); };
    auto names = [](const OptionScope& row, const std::string& option) {
        return std::find(row.options.begin(), row.options.end(), option) != row.options.end();
    };
    for (const std::string& option : given_) {
        std::vector<std::string> owners;
        bool allowed = false;
        for (const OptionScope& row : table) {
            if (!names(row, option)) continue;
            if (applies(row)) allowed = true;
            if (std::find(owners.begin(), owners.end(), row.kind) == owners.end()) owners.push_back(row.kind);
        }
        if (allowed || owners.empty()) continue;  // the kind's own option, or a common one
        // The options that do apply: the kind's own in the table's order, then the common ones.
        std::vector<std::string> own, common;
        for (const OptionScope& row : table) {
            if (!applies(row)) continue;
            for (const std::string& o : row.options) {
                if (std::find(own.begin(), own.end(), o) == own.end()) own.push_back(o);
            }
        }
        for (const std::string& o : known_) {
            if (std::none_of(table.begin(), table.end(), [&](const OptionScope& row) { return names(row, o); })) common.push_back(o);
        }
        const std::string separator = Say(language_, msg::cli::kListSeparator);
        auto join = [&](const std::vector<std::string>& items) {
            std::string text;
            for (const std::string& item : items) text += (text.empty() ? "" : separator) + item;
            return text;
        };
        const std::string chosen = kinds.empty() ? std::string() : kinds.back();
        error = Say(language_, msg::cli::kOptionNotForKind, {option, chosen, join(owners)});
        if (own.empty()) {
            error += common.empty() ? Say(language_, msg::cli::kKindTakesNoOptions, {chosen})
                                    : Say(language_, msg::cli::kKindTakesOnlyCommon, {chosen, join(common)});
        } else if (common.empty()) {
            error += Say(language_, msg::cli::kKindTakesOwn, {chosen, join(own)});
        } else {
            error += Say(language_, msg::cli::kKindTakesOwnAndCommon, {chosen, join(own), join(common)});
        }
        return false;
    }
    return true;
}

}  // namespace corv::cli
