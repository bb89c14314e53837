#include "app/common/PanelChoices.h"

#include <QAbstractButton>
#include <QColor>
#include <QFont>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSpinBox>
#include <QWidget>
#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "app/common/LinePanelState.h"
#include "base/ProfileFile.h"
#include "layout/PanelLists.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

// The widgets kept: named by us (Qt names its own inner parts "qt_..."), not inside another
// input widget (a spin box's or combo box's own line edit).
bool Kept(const QWidget* w, const QStringList& skip) {
    const QString name = w->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || skip.contains(name)) return false;
    const QWidget* parent = w->parentWidget();
    return !(qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent));
}

std::string Key(const QWidget* panel, const QWidget* w) {
    return (panel->objectName() + QLatin1Char('.') + w->objectName()).toStdString();
}

ProfileFile Section(const Workspace& ws) { return ProfileFile(ws.ConfigPath(), kPanelChoicesSection); }

std::string Folded(std::string key) {
    std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return key;
}

// Every write of a profile rewrites its file: only the values that changed are written.
class ChangedValues {
public:
    explicit ChangedValues(const Workspace& ws) : section_(Section(ws)), old_(section_.Values()) {}
    void Put(const std::string& key, const std::string& value) {
        const auto it = old_.find(Folded(key));
        if (it == old_.end() || it->second != value) section_.WriteString(key, value);
    }
    void Put(const std::string& key, int value) { Put(key, std::to_string(value)); }

private:
    ProfileFile section_;
    std::map<std::string, std::string> old_;
};

constexpr const char* kTextFont = "pictureTextPanel.Font";
constexpr const char* kTextColour = "pictureTextPanel.FontColour";
constexpr const char* kLineLimit = "linePanel.LineLimit";
constexpr const char* kConnectionMode = "linePanel.ConnectionMode";
// The widget property that holds a line edit's text as the panel made it.
constexpr const char* kStartText = "corvStartText";
// Profile strings are read back through a buffer of 500 bytes.
constexpr std::size_t kLongestKeptText = 500;

}  // namespace

void SavePanelChoices(const Workspace& ws, const QWidget* panel, const QStringList& skip) {
    if (ws.home.empty() || !panel) return;
    ChangedValues section(ws);
    for (const QWidget* w : panel->findChildren<QWidget*>()) {
        if (!Kept(w, skip)) continue;
        const std::string key = Key(panel, w);
        if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
            if (combo->isEditable()) {
                section.Put(key, combo->currentText().toStdString());
            } else {
                section.Put(key, combo->currentIndex());
            }
        } else if (const auto* spin = qobject_cast<const QSpinBox*>(w)) {
            section.Put(key, spin->value());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(w); button && button->isCheckable()) {
            section.Put(key, button->isChecked() ? 1 : 0);
        } else if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
            // A text as the panel made it (the language's own default) is kept as no text, so
            // that the program in another language shows its own; a text the profile cannot
            // read back whole is not kept either.
            const std::string text = edit->text().toStdString();
            const bool asMade = edit->property(kStartText).isValid() && edit->text() == edit->property(kStartText).toString();
            section.Put(key, asMade || text.size() >= kLongestKeptText ? std::string() : text);
        } else if (const auto* list = qobject_cast<const QListWidget*>(w)) {
            section.Put(key, list->currentRow());
        }
    }
}

void RestorePanelChoices(const Workspace& ws, QWidget* panel, const QStringList& skip) {
    if (ws.home.empty() || !panel) return;
    const ProfileFile section = Section(ws);
    const auto values = section.Values();
    auto find = [&](const QWidget* w) -> const std::string* {
        const auto it = values.find(Folded(Key(panel, w)));
        return it == values.end() ? nullptr : &it->second;
    };
    QList<QWidget*> widgets;
    for (QWidget* w : panel->findChildren<QWidget*>()) {
        if (!Kept(w, skip)) continue;
        widgets << w;
        if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setProperty(kStartText, edit->text());
    }
    // Combo boxes first: a mode choice may reset the fields that follow.
    for (QWidget* w : widgets) {
        auto* combo = qobject_cast<QComboBox*>(w);
        const std::string* value = combo ? find(w) : nullptr;
        if (!value) continue;
        if (combo->isEditable()) {
            combo->setEditText(QString::fromStdString(*value));
        } else if (const int index = ProfileFile::ParseInt(*value); index >= 0 && index < combo->count()) {
            combo->setCurrentIndex(index);
        }
    }
    for (QWidget* w : widgets) {
        const std::string* value = find(w);
        if (!value) continue;
        if (auto* spin = qobject_cast<QSpinBox*>(w)) {
            const int v = ProfileFile::ParseInt(*value);
            if (v >= spin->minimum() && v <= spin->maximum()) spin->setValue(v);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w); button && button->isCheckable()) {
            const bool on = ProfileFile::ParseInt(*value) != 0;
            // A radio button is chosen; the others of its group follow.
            if (on || !button->autoExclusive()) button->setChecked(on);
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            if (!value->empty()) edit->setText(QString::fromStdString(*value));
        }
    }
    for (QWidget* w : widgets) {
        auto* list = qobject_cast<QListWidget*>(w);
        const std::string* value = list ? find(w) : nullptr;
        if (!value) continue;
        const int row = ProfileFile::ParseInt(*value);
        if (row >= 0 && row < list->count()) list->setCurrentRow(row);
    }
}

void SaveTextFont(const Workspace& ws, const QFont& font, const QColor& colour, const QFont& asMade) {
    if (ws.home.empty()) return;
    ChangedValues section(ws);
    // The font the panel started with (the language's own) is kept as none, as the text is.
    section.Put(kTextFont, font == asMade ? std::string() : font.toString().toStdString());
    section.Put(kTextColour, colour.name().toStdString());
}

bool RestoreTextFont(const Workspace& ws, QFont& font, QColor& colour) {
    if (ws.home.empty()) return false;
    const ProfileFile section = Section(ws);
    const QColor c(QString::fromStdString(section.GetString(kTextColour)));
    if (!c.isValid()) return false;
    colour = c;
    QFont f;
    const std::string kept = section.GetString(kTextFont);
    if (!kept.empty() && f.fromString(QString::fromStdString(kept))) font = f;
    return true;
}

void SaveLinePanelState(const Workspace& ws, const LinePanelState& state) {
    if (ws.home.empty()) return;
    ChangedValues section(ws);
    section.Put(kLineLimit, state.lineLimit);
    section.Put(kConnectionMode, state.connectionMode);
}

void RestoreLinePanelState(const Workspace& ws, LinePanelState& state) {
    if (ws.home.empty()) return;
    const ProfileFile section = Section(ws);
    if (section.HasKey(kLineLimit)) state.lineLimit = AcceptLineLimit(section.GetInt(kLineLimit, 0), state.lineLimit);
    const int modes = static_cast<int>(ConnectionModeNames(ws.app.language).size());
    if (const int mode = section.GetInt(kConnectionMode, -1); mode >= 0 && mode < modes) state.connectionMode = mode;
}

}  // namespace corv
