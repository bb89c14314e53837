#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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

// Runs `body` in a child process whose address space is limited to `bytes`, so that an
// allocation that follows a size a file merely claims fails there instead of succeeding
// quietly. Returns the child's exit code (what `body` returned), or -1 when it did not exit
// normally (a crash, std::bad_alloc not caught). Sanitizer builds reserve far more address
// space than any limit allows: there the body runs without one (the sanitizer still reports
// what it finds).
template <typename Body>
int WithAddressLimit(std::size_t bytes, Body body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
#if !defined(__SANITIZE_ADDRESS__)
        const rlimit limit{bytes, bytes};
        ::setrlimit(RLIMIT_AS, &limit);
#else
        (void)bytes;
#endif
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace corv::test
