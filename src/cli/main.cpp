#include <iostream>
#include <string>
#include <vector>

#include "base/Signals.h"
#include "cli/Cli.h"

int main(int argc, char** argv) {
    corv::CleanUpOnSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    return corv::cli::RunCli(args, std::cout, std::cerr);
}
