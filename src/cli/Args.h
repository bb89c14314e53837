#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace corv::cli {

// The options that belong to some kinds of a command only (a mode, a style, a subcommand): each
// row names one kind as the user writes it ("--mode jalousie", "layout add") and the options it
// takes of its own. An option no row names is common: every kind takes it.
struct OptionScope {
    std::string kind;
    std::vector<std::string> options;
};
using OptionScopes = std::vector<OptionScope>;

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
    // Refuses an option given that only other kinds take: `kinds` are the rows of `table` that
    // apply to this run (the mode, then the mode with its style, ...), the last of them naming
    // the choice. Returns false with `error` naming the option, the kinds it belongs to and the
    // options that do apply (the kinds' own, then the common ones).
    bool CheckScopes(const OptionScopes& table, const std::vector<std::string>& kinds, std::string& error) const;

private:
    std::uint8_t language_ = 3;
    std::vector<std::string> given_;  // the options in the order given
    std::set<std::string> known_;     // every option the command takes
    std::vector<std::string> positionals_;
    std::set<std::string> flags_;
    std::map<std::string, std::string> values_;
};

bool ParseInteger(const std::string& text, long long& out);

}  // namespace corv::cli
