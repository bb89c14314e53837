#pragma once

#include <string>
#include <utility>

namespace corv {

// Outcome of an operation that can fail. A failure carries the text the user is shown.
class Status {
public:
    static Status Ok() { return Status(); }
    static Status Fail(std::string message) { return Status(std::move(message)); }

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const std::string& message() const { return message_; }

private:
    Status() = default;
    explicit Status(std::string message) : ok_(false), message_(std::move(message)) {}

    bool ok_ = true;
    std::string message_;
};

}  // namespace corv
