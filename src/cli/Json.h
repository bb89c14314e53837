#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corv::cli {

// Minimal streaming JSON writer for the --json outputs.
class Json {
public:
    Json& BeginObject();
    Json& EndObject();
    Json& BeginArray();
    Json& EndArray();
    Json& Key(const std::string& key);
    Json& Value(const std::string& v);
    Json& Value(const char* v) { return Value(std::string(v)); }
    Json& Value(std::int64_t v);
    Json& Value(int v) { return Value(static_cast<std::int64_t>(v)); }
    Json& Value(unsigned v) { return Value(static_cast<std::int64_t>(v)); }
    Json& Value(std::uint64_t v);
    Json& Value(double v);
    Json& Value(bool v);
    Json& Null();

    const std::string& str() const { return out_; }
    static std::string Escape(const std::string& s);

private:
    void Separate();

    std::string out_;
    std::vector<bool> first_;  // per open container: nothing written yet
    bool afterKey_ = false;
};

}  // namespace corv::cli
