#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "controller/Catalogue.h"
#include "layout/Layout.h"
#include "layout/LightType.h"

namespace corv::cli {

// What the commands take from the application home: its folder, the lamp types, the default
// chip code and (read when first asked for) the chip catalogue.
struct HomeFiles {
    HomeFiles();
    std::filesystem::path home;
    std::vector<LightTypeRecord> lamps;
    std::uint8_t defaultChip = 3;
    const ChipCatalogue& Catalogue();
    // The catalogue's name of a chip code in a language (empty when no entry has the code).
    std::string ChipName(int code, std::uint8_t language);

private:
    bool catalogueRead_ = false;
    ChipCatalogue catalogue_;
};

// Loads a line file (merging its lamp types into home.lamps); on failure prints the message
// and returns the exit status.
int LoadLayout(Context& ctx, const std::string& cmd, const std::filesystem::path& file, HomeFiles& home,
               Layout& layout);
int SaveLayout(Context& ctx, const std::string& cmd, const std::filesystem::path& file, const HomeFiles& home,
               Layout& layout);

}  // namespace corv::cli
