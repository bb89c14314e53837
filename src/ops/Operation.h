#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/Progress.h"
#include "base/Prompt.h"
#include "base/Result.h"

namespace corv {
class Workspace;
}

namespace corv::ops {

// Why an operation refused: which check refused (`code`, one of the operation's own refusal
// kinds; 0 when it has none), the message the user is shown, taken from the catalogue in the
// workspace's language, the engine's own reason it was built from (English), if any, and the
// values the message was made with (in the order of its placeholders).
struct Failure {
    int code = 0;
    std::string message;
    std::string reason;
    std::vector<std::string> args;
};

// The outcome of an operation: its reply, or the failure. Every operation has one shape:
//   Result<Reply> Operation(Workspace&, const Request&, Prompt&, const ProgressFn&)
// The request holds what a dialog's fields or the command line's flags give; the prompt
// takes the questions an operation asks on its way; the progress callback the percentage.
template <class T>
class Result {
public:
    Result(T value) : value_(std::move(value)) {}  // NOLINT: a reply is a success
    static Result Fail(Failure failure) { return Result(std::move(failure)); }
    static Result Fail(int code, std::string message, std::string reason = {}) {
        return Result(Failure{code, std::move(message), std::move(reason), {}});
    }

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }
    T& value() { return *value_; }
    const T& value() const { return *value_; }
    T* operator->() { return &*value_; }
    const T* operator->() const { return &*value_; }
    const Failure& failure() const { return failure_; }
    const std::string& message() const { return failure_.message; }
    // The same outcome as the base library's status.
    Status status() const { return ok() ? Status::Ok() : Status::Fail(failure_.message); }

private:
    explicit Result(Failure failure) : failure_(std::move(failure)) {}

    std::optional<T> value_;
    Failure failure_;
};

}  // namespace corv::ops
