#include "cli/Args.h"

#include <cerrno>
#include <cstdlib>

#include "cli/Cli.h"

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
            if (inlineValue) {
                values_[name] = *inlineValue;
            } else if (i + 1 < argv.size()) {
                values_[name] = argv[++i];
            } else {
                error = Say(language_, "option %1 needs a value", "选项 %1 需要一个值", {name});
                return false;
            }
        } else if (flags.count(name) && !inlineValue) {
            flags_.insert(name);
        } else {
            error = Say(language_, "unknown option %1", "未知选项 %1", {a});
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
        error = Say(language_, "option %1 needs an integer, not \"%2\"", "选项 %1 需要一个整数, 而不是 \"%2\"", {name, *v});
        return std::nullopt;
    }
    return n;
}

}  // namespace corv::cli
