#pragma once

#include <QWidget>

#include "content/Generators.h"
#include "ops/Generate.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QSpinBox;
class QRadioButton;

namespace corv {
class PictureTextPanel;
class StylePreview;
}

namespace corv {

struct UiStrings;

// The pattern panel of the side panel's design tab: the change mode, its sub-styles (clicking
// one runs it), the frame count, step, render mode and recycle flag.
class PatternPanel : public QWidget {
    Q_OBJECT
public:
    PatternPanel(std::uint8_t language, const UiStrings& strings, QWidget* parent = nullptr);

    GeneratorMode mode() const;
    void SetMode(GeneratorMode mode);
    bool recycle() const;
    int count() const;
    int step() const;
    void SetStep(int step);
    int render() const;
    // The toy-bricks sub-panel's values.
    ToyBricksOptions bricks() const;
    QWidget* bricksPanel() const { return bricksPanel_; }
    QSpinBox* bricksBox(int i) const { return bricks_[i]; }  // width, height, space, frequency, overpass, rebound
    VShapeOptions vshape() const;
    QWidget* vshapePanel() const { return vshapePanel_; }
    PictureTextPanel* pictureTextPanel() const { return pictureText_; }
    // The panel's values (and the picture-and-text sub-panel's for that mode) as a run of
    // `mode`'s entry `style`.
    ops::GenerateRequest request(GeneratorMode mode, int style) const;
    // The moving picture of the selected style under the style list.
    StylePreview* preview() const { return preview_; }
    // Runs entry `style` of the current mode's list (the number keys: key 1 is entry 0).
    void RunEntry(int style);

    QComboBox* modeBox() const { return mode_; }
    QListWidget* styleList() const { return styles_; }
    QCheckBox* recycleBox() const { return recycle_; }
    QSpinBox* countBox() const { return count_; }
    QSpinBox* stepBox() const { return step_; }
    QComboBox* renderBox() const { return render_; }
    QLabel* countLabel() const { return countLabel_; }

signals:
    void runRequested(GeneratorMode mode, int style);

private:
    void ModeChanged();
    void PreviewSelected();
    std::vector<std::string> StyleNames(GeneratorMode mode) const;

    std::uint8_t language_;
    const UiStrings& strings_;
    QCheckBox* recycle_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QSpinBox* count_ = nullptr;
    QComboBox* render_ = nullptr;
    QLabel* renderLabel_ = nullptr;
    QListWidget* styles_ = nullptr;
    QComboBox* mode_ = nullptr;
    QLabel* stepLabel_ = nullptr;
    QSpinBox* step_ = nullptr;
    PictureTextPanel* pictureText_ = nullptr;
    StylePreview* preview_ = nullptr;
    QWidget* bricksPanel_ = nullptr;
    QSpinBox* bricks_[6] = {};
    QWidget* vshapePanel_ = nullptr;
    QSpinBox* vInterval_ = nullptr;
    QSpinBox* vCycles_ = nullptr;
    QRadioButton* vKinds_[3] = {};
};

}  // namespace corv
