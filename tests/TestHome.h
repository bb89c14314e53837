#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "base/TempDir.h"

namespace corv::test {

// A private temporary folder for one test (application home, files to read and write).
class TestFolder {
public:
    TestFolder() : dir_("corvantine-test-") {}
    const std::filesystem::path& path() const { return dir_.path(); }
    std::filesystem::path operator/(const std::string& name) const { return dir_.path() / name; }

    std::filesystem::path Write(const std::string& name, const std::string& content) const {
        auto p = dir_.path() / name;
        std::ofstream(p, std::ios::binary) << content;
        return p;
    }
    std::string Read(const std::string& name) const {
        std::ifstream in(dir_.path() / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    TempDir dir_;
};

}  // namespace corv::test
