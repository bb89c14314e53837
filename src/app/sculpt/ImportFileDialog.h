#pragma once

#include <QDialog>
#include <QImage>
#include <optional>

#include "layout/Dxf.h"
#include "layout/Identify.h"

class QCheckBox;
class QLabel;
class QSpinBox;

namespace corv {

class Prompt;
class Workspace;

// "Import File" of the sculpt window: a DXF drawing becomes the layout's lines (or, when no
// chain of it gives LEDs, a picture with one marked pixel per circle), a photograph of an
// installation becomes a picture with one marked pixel per LED dot found by Fast Identify.
class ImportFileDialog : public QDialog {
    Q_OBJECT
public:
    enum class Outcome { None, LinesImported, Picture };

    // `pictureFirst`: Browse offers the picture filter before the DXF one.
    ImportFileDialog(Workspace& ws, Prompt& prompt, bool pictureFirst, QWidget* parent = nullptr);

    // Loads a drawing (".dxf") or a picture; false with a message when it cannot be read, and
    // then nothing changes.
    bool LoadFile(const QString& path);
    // Finds the LED dots of the loaded picture; false with a message when no picture is loaded
    // or no dot is found.
    bool RunFastIdentify();

    Outcome outcome() const { return outcome_; }
    QImage picture() const { return picture_; }  // white where an LED is, black elsewhere
    int pointCount() const;

    // Imports the drawing into the layout or makes the picture; the dialog stays open with a
    // message when neither is possible.
    void accept() override;

private:
    void Browse();
    bool AcceptDrawing();
    bool AcceptPicture();
    void SuggestSpacing();
    void UpdateGridSize();
    void ShowPreview();

    Workspace& ws_;
    Prompt& prompt_;
    bool pictureFirst_;
    std::optional<DxfDrawing> drawing_;
    QImage photo_;
    std::optional<IdentifiedLeds> identified_;
    Outcome outcome_ = Outcome::None;
    QImage picture_;

    QLabel* preview_ = nullptr;
    QSpinBox* spaceX_ = nullptr;
    QSpinBox* spaceY_ = nullptr;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    QLabel* pointNum_ = nullptr;
    QCheckBox* vertexMode_ = nullptr;
};

}  // namespace corv
