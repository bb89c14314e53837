#include "cli/Json.h"

#include <cmath>
#include <cstdio>

namespace corv::cli {

std::string Json::Escape(const std::string& s) {
    std::string o = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"': o += "\\\""; break;
            case '\\': o += "\\\\"; break;
            case '\n': o += "\\n"; break;
            case '\r': o += "\\r"; break;
            case '\t': o += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    o += buf;
                } else {
                    o += static_cast<char>(c);
                }
        }
    }
    o += '"';
    return o;
}

void Json::Separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back()) {
            out_ += ',';
        }
        first_.back() = false;
    }
}

Json& Json::BeginObject() {
    Separate();
    out_ += '{';
    first_.push_back(true);
    return *this;
}

Json& Json::EndObject() {
    out_ += '}';
    first_.pop_back();
    return *this;
}

Json& Json::BeginArray() {
    Separate();
    out_ += '[';
    first_.push_back(true);
    return *this;
}

Json& Json::EndArray() {
    out_ += ']';
    first_.pop_back();
    return *this;
}

Json& Json::Key(const std::string& key) {
    Separate();
    out_ += Escape(key);
    out_ += ':';
    afterKey_ = true;
    return *this;
}

Json& Json::Value(const std::string& v) {
    Separate();
    out_ += Escape(v);
    return *this;
}

Json& Json::Value(std::int64_t v) {
    Separate();
    out_ += std::to_string(v);
    return *this;
}

Json& Json::Value(std::uint64_t v) {
    Separate();
    out_ += std::to_string(v);
    return *this;
}

Json& Json::Value(double v) {
    Separate();
    if (!std::isfinite(v)) {
        out_ += "null";
        return *this;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    out_ += buf;
    return *this;
}

Json& Json::Value(bool v) {
    Separate();
    out_ += v ? "true" : "false";
    return *this;
}

Json& Json::Null() {
    Separate();
    out_ += "null";
    return *this;
}

}  // namespace corv::cli
