#pragma once

#include <QStringList>

class QColor;
class QFont;
class QWidget;

namespace corv {

class Workspace;
struct LinePanelState;

// The panels' last choices across restarts, in the configuration file's section
// "Panel choices". Every named input widget below `panel` (combo box, spin box, check box,
// radio button, line edit, list) is kept under "<panel name>.<widget name>"; widgets named in
// `skip` are left to their own start-up rules. Restoring sets the combo boxes first (they
// switch what the other fields mean), then the fields, then the lists' rows; a value that no
// longer fits a widget is left out.
inline constexpr const char* kPanelChoicesSection = "Panel choices";
void SavePanelChoices(const Workspace& ws, const QWidget* panel, const QStringList& skip = {});
void RestorePanelChoices(const Workspace& ws, QWidget* panel, const QStringList& skip = {});

// The font and colour of the picture-and-text panel's typed text.
void SaveTextFont(const Workspace& ws, const QFont& font, const QColor& colour, const QFont& asMade);
bool RestoreTextFont(const Workspace& ws, QFont& font, QColor& colour);

// The line panel's line limit and connection mode.
void SaveLinePanelState(const Workspace& ws, const LinePanelState& state);
void RestoreLinePanelState(const Workspace& ws, LinePanelState& state);

}  // namespace corv
