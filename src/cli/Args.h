#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace corv::cli {

// Parsed arguments of one command: positionals, flags and options with values.
class Args {
public:
    // `language` is the one of --lang (1, 2 or 3): the errors below are written in it.
    explicit Args(std::uint8_t language = 3) : language_(language) {}

    // `valued` names the options that take a value ("--width"); `flags` the ones that don't.
    // Returns false with `error` set on an unknown option or a missing value.
    bool Parse(const std::vector<std::string>& argv, const std::set<std::string>& valued,
               const std::set<std::string>& flags, std::string& error);

    const std::vector<std::string>& positionals() const { return positionals_; }
    bool Has(const std::string& name) const { return flags_.count(name) || values_.count(name); }
    std::optional<std::string> Value(const std::string& name) const;
    // Integer option: nullopt when absent; `error` set when present but not an integer.
    std::optional<long long> Int(const std::string& name, std::string& error) const;

private:
    std::uint8_t language_ = 3;
    std::vector<std::string> positionals_;
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
};

bool ParseInteger(const std::string& text, long long& out);

}  // namespace corv::cli
