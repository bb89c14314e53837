#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Text.h"

namespace corv {

// Why something refused: which check refused (`code`, one of the refusing function's own
// kinds; 0 when it has none), the catalogue message (`text`, with its values `args` in the
// order of its placeholders), the message already rendered in the user's language where the
// refusing code knew the language (`message`), and the underlying reason in English (a
// system error, a reader's detail), if any.
struct Failure {
    int code = 0;
    std::string message;
    std::string reason;
    std::vector<std::string> args;
    const Text* text = nullptr;
};

// The reply of a successful step without a value of its own.
struct Done {};

// A value, or the failure that stopped it (in the manner of std::expected). Every operation
// and every reader that can refuse returns one.
template <class T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT: a value is a success
    Result(Failure failure) : failure_(std::move(failure)) {}  // NOLINT: so is a failure
    static Result Fail(Failure failure) { return Result(std::move(failure)); }
    static Result Fail(int code, std::string message, std::string reason = {}) {
        return Result(Failure{code, std::move(message), std::move(reason), {}, nullptr});
    }
    // A catalogue message with its values, rendered later in the language of whoever shows it.
    static Result Fail(const Text& text, std::vector<std::string> args = {}, std::string reason = {}) {
        return Result(Failure{0, {}, std::move(reason), std::move(args), &text});
    }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    T& operator*() { return *value_; }
    const T& operator*() const { return *value_; }
    const Failure& failure() const { return failure_; }
    const std::string& message() const { return failure_.message; }

private:
    std::optional<T> value_;
    Failure failure_;
};

}  // namespace corv
