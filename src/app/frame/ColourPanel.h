#pragma once

#include <QWidget>

#include "app/frame/ColourStrip.h"
#include "content/ColourList.h"
#include "project/FrameDraw.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace corv {

class Workspace;
class Prompt;

// The colour tab of the side panel: the colour list and how colours are added to it, the
// library of saved lists, the background colour, the drawing tools of the frame view and the
// line width and fill of the design editor's items.
class ColourPanel : public QWidget {
    Q_OBJECT
public:
    ColourPanel(Workspace& ws, Prompt& prompt, QWidget* parent = nullptr);

    // "Color:" clicked: with Ctrl the colour is added to the list, without it the picker opens.
    void ColourButton(Qt::KeyboardModifiers modifiers);
    void SetCurrentColour(ListColour colour);
    void AddCurrentColour();
    void SetBackground(Bgr colour);
    // "Delete" with the modifiers held: Ctrl keeps up to the selected entry, Shift removes it,
    // otherwise the last entry goes.
    void Delete(Qt::KeyboardModifiers modifiers);
    void Clear();
    // The library: entry 0 the rainbow, 1.. the stored lists.
    void LoadLibraryEntry(int index);
    bool SaveToLibrary();
    bool RemoveLibraryEntry();
    void SetTool(DrawTool tool);
    void RefreshLibrary();

    QComboBox* libraryBox() const { return library_; }
    QLabel* countLabel() const { return count_; }
    QRadioButton* gradeChoice() const { return gradeRadio_; }
    QRadioButton* fixedChoice() const { return fixedRadio_; }
    QComboBox* gradeBox() const { return grade_; }
    QComboBox* fixedBox() const { return fixed_; }
    ColourStrip* strip() const { return strip_; }
    QSpinBox* lineWidthBox() const { return lineWidth_; }
    QCheckBox* fillBox() const { return fill_; }
    QPushButton* toolButton(DrawTool tool) const;

signals:
    // The drawing tool or its colour changed.
    void toolChanged(DrawTool tool, Bgr colour);
    // The list changed (the generators paint with it).
    void listChanged();

private:
    void ListChanged();
    void UpdateButtons();
    void TakeMode();

    Workspace& ws_;
    Prompt& prompt_;
    ColourLibrary libraryFile_;
    bool libraryRead_ = false;
    DrawTool tool_ = DrawTool::None;
    QPushButton* colourButton_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QLabel* count_ = nullptr;
    ColourStrip* strip_ = nullptr;
    QComboBox* library_ = nullptr;
    QRadioButton* gradeRadio_ = nullptr;
    QRadioButton* fixedRadio_ = nullptr;
    QComboBox* grade_ = nullptr;
    QComboBox* fixed_ = nullptr;
    QButtonGroup* tools_ = nullptr;
    QSpinBox* lineWidth_ = nullptr;
    QCheckBox* fill_ = nullptr;
};

// A swatch picture for a colour button.
QIcon SwatchIcon(ListColour colour);

}  // namespace corv
