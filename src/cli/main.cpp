#include <iostream>
#include <string>
#include <vector>

#include "base/Signals.h"
#include "cli/Cli.h"

int main(int argc, char** argv) {
    // Documents are streamed from memory-mapped files.
    corv::CleanUpOnSignals("corvantine-cli: a file was cut short by another program while it was read\n");
    std::vector<std::string> args(argv + 1, argv + argc);
    return corv::cli::RunCli(args, std::cout, std::cerr);
}
