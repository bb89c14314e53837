#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "controller/Parameters.h"
#include "project/Frame.h"
#include "layout/DisplayModule.h"
#include "layout/SculptTools.h"
#include "layout/Wiring.h"
#include "ops/Operation.h"

namespace corv::ops {

// The sculpt tools on the workspace's layout: what the tools and dialogs of the sculpt window
// and `corvantine-cli layout` do. Cells are (column, row), lines 0-based. The window redraws
// from the layout and the reply; the command line writes the line file and prints the reply.
// A refusal's message is in the workspace's language; where the two sides word it differently
// each keeps its own words and tells the refusal by its code.

// ---- New ----

// "New": an empty layout of rows x cols (below 1 counts as 1), sphere or plain; the lines and
// the slave groups are cleared. A project of one clip of one frame takes the new size.
struct NewLayoutRequest {
    int rows = 1, cols = 1;
    bool sphere = false;
    // The chip of the new layout's slaves; none: the configured default chip.
    std::optional<std::uint8_t> defaultChip;
};
struct NewLayoutReply {
    int rows = 0, cols = 0;  // the grid made
};
enum NewLayoutRefusal {
    kNewLayoutTooLarge = 1,  // the grid passes the cell limit (values: rows, cols)
};
Result<NewLayoutReply> NewLayout(Workspace& ws, const NewLayoutRequest& request, Prompt& prompt,
                                 const ProgressFn& progress);

// ---- Add ----

// "Add": the LEDs of a drag laid into the lines from `line` on, as copies of a display module
// in the connection order of the options (the Ctrl form: as tiles from the release cell). One
// undo step; a step that added nothing is taken back.
struct AddLedsRequest {
    Drag drag;
    int line = 0;
    // The display module (an index into the workspace's modules): 0, or one the list does not
    // have, lays single pixels.
    int module = 0;
    AddOptions options;  // the connection mode, line limit, repeats, background and tiles
};
struct AddLedsReply {
    int added = 0;
    int line = 0;  // the line the next LEDs go to (the add moves on past full lines)
};
enum AddLedsRefusal {
    kAddNothingPlaced = 1,  // no LED was placed (value: the line reached, 1-based)
    kAddLinesFull,          // none was, and no line from the one reached has room for the module
                            // (values: the line reached, 1-based; the line limit)
};
// The module an add with `index` lays.
DisplayModule ModuleToAdd(const Workspace& ws, int index);
Result<AddLedsReply> AddLeds(Workspace& ws, const AddLedsRequest& request, Prompt& prompt, const ProgressFn& progress);

// The line the next LEDs go to after AddLeds or ArrayCopyLeds: the reply's, or the refusal's
// first value; `line` when it has neither.
int NextLine(const Result<AddLedsReply>& result, int line);

// ---- The zone tools: Delete, Copy, Cut ----

struct ZoneRequest {
    CellRect zone;
};
enum ZoneRefusal {
    kZoneEmpty = 1,  // no LED inside the zone
};
// "Delete": every LED inside leaves its line (one undo step, kept even when none did).
struct DeleteZoneReply {
    int removed = 0;
};
Result<DeleteZoneReply> DeleteZoneLeds(Workspace& ws, const ZoneRequest& request, Prompt& prompt,
                                       const ProgressFn& progress);
// "Copy": the LEDs inside, line by line, as the view clipboard takes them. The layout does
// not change. On a refusal the clipboard would hold nothing but the zone.
struct CopyZoneReply {
    LineClipboard clip;
};
Result<CopyZoneReply> CopyZoneLeds(Workspace& ws, const ZoneRequest& request, Prompt& prompt,
                                   const ProgressFn& progress);

// ---- Paste ----

// "Paste" of the view clipboard at a cell: its fragments into consecutive lines from `line`,
// moved by the offset from the clipboard's zone, lines that would pass the limit skipped; LEDs
// off the grid or on cells that refuse them are left out. One undo step.
struct PasteLedsRequest {
    const LineClipboard* clip = nullptr;  // none: nothing is pasted (kPasteNothingPlaced)
    int col = 0, row = 0;
    int line = 0;
    int lineLimit = kDefaultLineLimit;
    bool allowRepeat = false;
    const std::vector<std::uint8_t>* mask = nullptr;  // the background's cells, when it decides
};
struct PasteLedsReply {
    int placed = 0;
};
enum PasteLedsRefusal {
    kPasteNothingPlaced = 1,  // every cell was taken or off the grid (the paste's undo step stays)
};
Result<PasteLedsReply> PasteLeds(Workspace& ws, const PasteLedsRequest& request, Prompt& prompt,
                                 const ProgressFn& progress);

// ---- Transfer, Reverse, Move ----

// "Transfer": the first LED on the cell in another line than `line` moves, with every LED
// after it, to the end of `line`.
struct TransferLedsRequest {
    int col = 0, row = 0;
    int line = 0;
};
enum TransferLedsRefusal {
    kTransferOutsideGrid = 1,
    kTransferNothing,  // no other line has an LED there
};
Result<Done> TransferLeds(Workspace& ws, const TransferLedsRequest& request, Prompt& prompt,
                          const ProgressFn& progress);

// "Reverse": the run between an LED on cell A and a later one on cell B of the same line turns
// round.
struct ReverseRunRequest {
    int colA = 0, rowA = 0, colB = 0, rowB = 0;
};
enum ReverseRunRefusal {
    kReverseNoRun = 1,  // no line connects the two cells
};
Result<Done> ReverseRun(Workspace& ws, const ReverseRunRequest& request, Prompt& prompt, const ProgressFn& progress);

// "Move": the first LED on one cell goes to another that takes it. No undo step.
struct MoveLedRequest {
    int fromCol = 0, fromRow = 0, toCol = 0, toRow = 0;
    bool allowRepeat = false;
    const std::vector<std::uint8_t>* mask = nullptr;  // the background's cells, when it decides
};
enum MoveLedRefusal {
    kMoveOutsideGrid = 1,      // the target cell is off the grid
    kMoveRefusedByBackground,  // the background does not allow the target cell
    kMoveNothing,              // no LED on the cell, or the target cell is taken
};
Result<Done> MoveLed(Workspace& ws, const MoveLedRequest& request, Prompt& prompt, const ProgressFn& progress);

// ---- Pixels repeat, Array copy ----

// "Pixels repeat": every LED inside the zone gets `times` copies after it. The history is
// emptied (it cannot be undone).
struct RepeatLedsRequest {
    CellRect zone;
    int times = 1;
};
struct RepeatLedsReply {
    int added = 0;
};
enum RepeatLedsRefusal {
    kRepeatNoTimes = 1,  // times below 1: nothing is done
    kRepeatNothing,      // no LED inside the zone (the history is emptied all the same)
};
Result<RepeatLedsReply> RepeatLeds(Workspace& ws, const RepeatLedsRequest& request, Prompt& prompt,
                                   const ProgressFn& progress);

// "Array copy": the LEDs of the first line with LEDs inside the zone become a module of the
// zone's size, laid as tiles from the release cell of the drag (options.tiles: across, down)
// into the lines from `line` on. One undo step; a step that added nothing is taken back.
struct ArrayCopyRequest {
    CellRect zone;
    Drag drag;
    int line = 0;
    AddOptions options;  // with the tile counts; its line limit bounds the module's LEDs too
};
enum ArrayCopyRefusal {
    kArrayPixelRange = 1,  // no LED inside, or more than the line limit (the message gives it)
    kArrayNothingPlaced,   // no tile placed an LED (value: the line reached, 1-based)
};
// The module Array copy lays for a zone, or the refusal when the zone has no LED or more than
// `lineLimit`. The window asks before its tile dialog opens.
Result<DisplayModule> ArrayCopyModule(const Workspace& ws, const CellRect& zone, int lineLimit);
Result<AddLedsReply> ArrayCopyLeds(Workspace& ws, const ArrayCopyRequest& request, Prompt& prompt,
                                   const ProgressFn& progress);

// ---- Line operate ----

// "Line operate" on whole lines (0-based). Exchange: lines a and b change places; Unite: a is
// appended to b; Delete: lines a and b, or a + 1 .. b with `to` (b out of range: a alone);
// Move: the LEDs of the same lines by (dx, dy), kept on the grid (no undo step); Copy: lines
// a .. b as layout data (the layout does not change).
enum class LineOperationKind { Exchange, Unite, Delete, Move, Copy };
struct LineOperationRequest {
    LineOperationKind kind = LineOperationKind::Exchange;
    int a = 0, b = -1;
    bool to = false;
    int dx = 0, dy = 0;
};
struct LineOperationReply {
    int count = 0;                   // Delete, Move: the engine's count
    std::vector<std::uint8_t> data;  // Copy: the lines as layout data
};
enum LineOperationRefusal {
    kLinesNotTwo = 1,  // Exchange, Unite: no second line, or the same line twice
    kLinesUnchanged,   // the lines did not allow it: nothing changed
};
Result<LineOperationReply> OperateLines(Workspace& ws, const LineOperationRequest& request, Prompt& prompt,
                                        const ProgressFn& progress);

// ---- The wiring record ----

// The controller family (kMasterSlave, kSingleController, kSimpleController) with its rules:
// the single family keeps fewer gray levels, the simple one four lines per slave.
struct ControllerTypeRequest {
    int type = kMasterSlave;
    ControllerTypeState state;  // what the parameter dialog showed before
};
struct ControllerTypeReply {
    ControllerTypeState state;  // what it shows now
};
enum ControllerTypeRefusal { kControllerTypeUnknown = 1 };
Result<ControllerTypeReply> SetControllerType(Workspace& ws, const ControllerTypeRequest& request, Prompt& prompt,
                                              const ProgressFn& progress);

// The lines per slave (one of kPortsChoices): every slave's port count follows and the slave
// groups are cut to the slaves there are.
struct LinesPerSlaveRequest {
    int ports = 1;
};
enum LinesPerSlaveRefusal {
    kPortsNotAChoice = 1,     // not one of kPortsChoices
    kPortsSimpleController,   // the simple family takes four lines per slave only
};
Result<Done> SetLinesPerSlave(Workspace& ws, const LinesPerSlaveRequest& request, Prompt& prompt,
                              const ProgressFn& progress);

// The parameter dialog's values into the chosen slaves (0-based), or with none chosen into
// the slaves not shown yet (from `rowCount` on), with the message the dialog shows then.
struct SlaveParametersRequest {
    ParameterValues values;
    std::vector<int> slaves;
    int rowCount = 0;  // the slaves shown
};
struct SlaveParametersReply {
    std::string message;  // empty when slaves were chosen
};
Result<SlaveParametersReply> SetSlaveParameters(Workspace& ws, const SlaveParametersRequest& request, Prompt& prompt,
                                                const ProgressFn& progress);

// ---- Display modules ----

// The user modules written to a file in the module file form.
struct ExportModulesRequest {
    std::filesystem::path path;
};
enum ExportModulesRefusal {
    kModulesNotExported = 1,  // the file could not be written (the reason names it)
};
Result<Done> ExportModules(Workspace& ws, const ExportModulesRequest& request, Prompt& prompt,
                           const ProgressFn& progress);

// The modules of another module file that differ in shape from every one there before join
// the list.
struct ImportModulesRequest {
    std::filesystem::path path;
    // The file is read first and refused unless it is a module file in every record.
    bool checked = false;
    // The application home's module file is written afterwards.
    bool keep = false;
};
struct ImportModulesReply {
    int added = 0;
};
enum ImportModulesRefusal {
    kModulesCannotRead = 1,  // checked: the file could not be read (the reason names it)
    kModulesNotModuleFile,   // checked: not a module file (the reason says why)
    kModulesNotKept,         // keep: the module file could not be written (the reason names it)
};
Result<ImportModulesReply> ImportModules(Workspace& ws, const ImportModulesRequest& request, Prompt& prompt,
                                         const ProgressFn& progress);

// A user module leaves the list, and the application home's module file is written.
struct DeleteModuleRequest {
    int index = 0;  // into the workspace's modules
};
enum DeleteModuleRefusal {
    kModuleNotUsers = 1,  // the built-in single pixel, or no module of the list
};
Result<Done> DeleteModule(Workspace& ws, const DeleteModuleRequest& request, Prompt& prompt,
                          const ProgressFn& progress);

// ---- The controller exports of the layout ----

// "Output map file" and `corvantine-cli export-map`: the channel map of every slave for a
// frame of the grid's size.
struct ExportMapRequest {
    std::filesystem::path path;
};
enum ExportMapRefusal {
    kMapNotWritten = 1,  // the file could not be written (the reason names it)
};
Result<Done> ExportMap(Workspace& ws, const ExportMapRequest& request, Prompt& prompt, const ProgressFn& progress);

// "Output hmc file" and `corvantine-cli export-hmc`: the first line with a colour table and the
// selected colour.
struct ExportHmcRequest {
    std::filesystem::path path;
    std::vector<Bgr> colours;
    Bgr selected{255, 255, 255};
};
enum ExportHmcRefusal {
    kHmcOutsideLimits = 1,  // the grid, the line's box or its LEDs pass the limits of the form
    kHmcNotWritten,         // the file could not be written (the reason names it)
};
// Why the layout makes no HMC file with these colours; none when it does. The window asks
// before its file dialog opens.
std::optional<Failure> HmcRefusalOf(const Workspace& ws, const ExportHmcRequest& request);
Result<Done> ExportHmc(Workspace& ws, const ExportHmcRequest& request, Prompt& prompt, const ProgressFn& progress);

}  // namespace corv::ops
