#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "controller/Budget.h"
#include "controller/Catalogue.h"
#include "controller/ChannelMap.h"
#include "controller/LedFile.h"
#include "ops/Operation.h"

namespace corv::ops {

// The power and timing budget of the workspace's layout (controller/Budget.h has the rules):
// frames first .. end - 1 (0-based, `end` exclusive; end 0: to the last) of a clip or of a
// frame source, through the layout, its lamp types and the chip catalogue.
struct BudgetRequest {
    int clip = -1;  // 0-based; -1: the current clip (unused with `frames`)
    std::size_t first = 0, end = 0;
    // The frames; none: the clip's.
    FrameSource* frames = nullptr;
    // The frames' size; none: the clip's first frame, or for a source the layout's grid.
    std::optional<FrameShape> shape;
    // None: the catalogue file of the application home (ws.home), else the built-in resets.
    const ChipCatalogue* catalogue = nullptr;
    BudgetOptions options;
    // Each lamp type's own current from the application home's side file (kLampCurrentFileName)
    // where the options have none for it; false: options.componentMilliamps for all but the
    // lamp types options.lampMilliamps names.
    bool lampCurrentsFromHome = true;
    // The line file whose ".power" file beside it gives the slaves' own supplies, where the
    // options give none (PowerFileOf); empty: none.
    std::filesystem::path lineFile;
};
struct BudgetReply {
    PowerBudget budget;
    std::vector<std::string> warnings;  // budget.warnings in the workspace's language
};
enum BudgetRefusal {
    kBudgetNoClip = 1,      // no such clip, or a clip without frames
    kBudgetOutOfRange,      // the range is not frames of the clip or the source
    kBudgetNoLayout,        // the layout has no line
    kBudgetBadValue,        // an option that is not a usable number (CheckBudgetOptions)
    kBudgetUnreadableFrame, // a frame of the source cannot be had
};

Result<BudgetReply> ComputeBudget(Workspace& ws, const BudgetRequest& request, Prompt& prompt,
                                  const ProgressFn& progress);

}  // namespace corv::ops
