#include "cli/HomeFiles.h"

#include <algorithm>

#include "base/AppHome.h"
#include "base/FileUtil.h"
#include "base/ProfileFile.h"
#include "controller/LampTypes.h"
#include "lang/messages/CliMessages.h"
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

std::string HomeFiles::ChipName(int code, std::uint8_t language) {
    const ChipCatalogue& catalogue = Catalogue();
    for (std::size_t i = 0; i < catalogue.entries().size(); ++i) {
        if (catalogue.entries()[i].code == code) return catalogue.Name(i, language);
    }
    return {};
}

int LoadLayout(Context& ctx, const std::string& cmd, const std::filesystem::path& file, HomeFiles& home,
               Layout& layout) {
    const Result<Done> loaded = LoadLineFile(file, layout, home.lamps, home.defaultChip);
    const LineFileError e = LineFileErrorOf(loaded);
    if (e == LineFileError::OpenFailed) {
        return FailOpen(ctx, cmd, loaded.failure());
    }
    if (e == LineFileError::Unsupported) {
        return Fail(ctx, cmd, file.string() + ": " + ctx.strings.badFileVersion);
    }
    if (e == LineFileError::GridTooLarge) {
        return Fail(ctx, cmd, Reason(ctx, loaded.failure().reason));
    }
    if (const std::size_t outside = PointsOutsideGrid(layout.grid, layout.lines); outside > 0) {
        Warn(ctx, cmd, Say(ctx, msg::cli::kLedsLeftOutOfGrid,
                           {std::to_string(outside), file.string(), std::to_string(layout.grid.rows),
                            std::to_string(layout.grid.cols)}));
    }
    return kExitOk;
}

int SaveLayout(Context& ctx, const std::string& cmd, const std::filesystem::path& file, const HomeFiles& home,
               Layout& layout) {
    if (auto saved = SaveLineFile(file, layout, home.lamps); !saved) {
        return FailSave(ctx, cmd, saved.failure());
    }
    return kExitOk;
}

}  // namespace corv::cli
