#include "cli/HomeFiles.h"

#include <algorithm>

#include "base/AppHome.h"
#include "base/FileUtil.h"
#include "base/ProfileFile.h"
#include "controller/LampTypes.h"
#include "layout/LineFile.h"
#include "workspace/Settings.h"

namespace corv::cli {

HomeFiles::HomeFiles()
    : home(ResolveAppHome(ProgramDir())),
      lamps(LoadLampTypes(home / kPinSetFileName)),
      defaultChip(static_cast<std::uint8_t>(
          std::clamp(ProfileFile(home / kConfigFileName, kMainSection).GetInt(keys::kDrICtype, 3), 0, 255))) {}

const ChipCatalogue& HomeFiles::Catalogue() {
    if (!catalogueRead_) {
        catalogue_ = ChipCatalogue::Load(home / kCatalogueFileName);
        catalogueRead_ = true;
    }
    return catalogue_;
}

int LoadLayout(Context& ctx, const std::string& cmd, const std::filesystem::path& file, HomeFiles& home,
               Layout& layout) {
    const LineFileError e = LoadLineFile(file, layout, home.lamps, home.defaultChip);
    if (e == LineFileError::OpenFailed) {
        return Fail(ctx, cmd, file.string() + ": " + texts::kOpenFileFail);
    }
    if (e == LineFileError::Unsupported) {
        return Fail(ctx, cmd, file.string() + ": " + ctx.strings.badFileVersion);
    }
    return kExitOk;
}

int SaveLayout(Context& ctx, const std::string& cmd, const std::filesystem::path& file, const HomeFiles& home,
               Layout& layout) {
    if (!SaveLineFile(file, layout, home.lamps)) {
        return Fail(ctx, cmd, file.string() + ": " + texts::kSaveFileFail);
    }
    return kExitOk;
}

}  // namespace corv::cli
