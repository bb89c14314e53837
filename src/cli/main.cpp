#include <csignal>
#include <exception>
#include <iostream>
#include <new>
#include <string>
#include <vector>

#include "base/FileIO.h"
#include "base/Signals.h"
#include "cli/Cli.h"

int main(int argc, char** argv) {
    corv::CleanUpOnSignals();
    // Past a file size limit a write fails with its reason, told like any other failure.
    std::signal(SIGXFSZ, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    // A job larger than the memory there is ends as a failure with its reason (exit 1), not
    // with an abort; the temporary file of an unfinished write is removed.
    try {
        return corv::cli::RunCli(args, std::cout, std::cerr);
    } catch (const std::bad_alloc&) {
        corv::RemovePendingTemporaryFiles();
        std::cerr << "corvantine-cli: not enough memory for this job\n";
    } catch (const std::exception& e) {
        corv::RemovePendingTemporaryFiles();
        std::cerr << "corvantine-cli: " << e.what() << '\n';
    }
    return corv::cli::kExitFailed;
}
