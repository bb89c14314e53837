#pragma once

#include <QDialog>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

#include "project/Frame.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;
class QTimer;

namespace corv {

class CaptureWindow;
class GlobalHotKeys;
class MoviePreview;
class Prompt;
class Workspace;

// "Video capture transform": reads a region of the screen a number of times a second into
// pictures that become frames of the clip. The region is marked by a see-through window on
// the desktop and mirrored in the left/top/width/height fields; a movie can be played inside
// the dialog to be captured from. OK hands the pictures over (TakeScaled), Cancel drops them.
class CaptureDialog : public QDialog {
    Q_OBJECT
public:
    // `start`: the size the region starts with (the edit area, or the frame size).
    CaptureDialog(std::uint8_t language, Prompt& prompt, QSize start, QWidget* parent = nullptr);
    ~CaptureDialog() override;

    const std::vector<Frame>& captured() const { return captured_; }
    // The check boxes, for the caller to keep between runs. Hardware acceleration has no effect
    // here; it is only remembered.
    bool smoothZoom() const;
    bool hardwareAcceleration() const;
    void SetSmoothZoom(bool on);
    void SetHardwareAcceleration(bool on);
    // The captured pictures made frameSize where they differ from it; the dialog keeps none.
    // Pictures are released one by one as they are converted (they may fill most of memory).
    std::vector<Frame> TakeScaled(QSize frameSize);

    bool capturing() const { return capturing_; }
    bool previewing() const { return previewing_; }
    CaptureWindow* captureWindow() const { return window_; }
    MoviePreview* movie() const { return movie_; }

    // The buttons' work.
    void StartCapture();
    void StopCapture();
    void Play();
    void DeleteAll();
    bool OpenMovie(const QString& path);

    // Set by the main window: its file dialogs open in the folders last used for movies and
    // documents (none set: the system's default folder).
    Workspace* workspace = nullptr;
    bool SaveDocument(const QString& path);

    // The region in global screen coordinates. Setting another size while pictures exist asks
    // first, as editing the fields does.
    QRect region() const;
    void SetRegion(QRect region);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void SetUpHotKeys();  // system-wide keys, or the same keys while the dialog has the focus
    // Ends a capture run and the preview, and gives the buttons and the size back.
    void HaltTimers();
    void CaptureTick();
    void PreviewTick();
    void ShowPicture(int position);
    void UpdateSlider();
    void PositionEdited();
    void SizeEdited();
    void WindowMoved(QRect region);
    // True when the region may take `size`: asks (and drops the pictures) when pictures exist.
    bool AcceptSize(QSize size);
    void WriteFields(const QRect& region);
    void CoverMovie();
    int Interval() const;
    void FitSliderToPictures();

    std::uint8_t language_;
    Prompt& prompt_;
    std::vector<Frame> captured_;
    std::size_t target_ = 0;  // the count a capture run stops short of
    bool capturing_ = false;
    bool previewing_ = false;
    bool syncing_ = false;  // fields or window being set from the other side
    bool asking_ = false;   // the size question is open
    QSize acceptedSize_;    // the region size the pictures were taken at

    QSpinBox* left_;
    QSpinBox* top_;
    QSpinBox* width_;
    QSpinBox* height_;
    QSpinBox* rate_;
    QSpinBox* frames_;
    QCheckBox* smooth_;
    QCheckBox* hardware_;
    QPushButton* capture_;
    QPushButton* play_;
    QPushButton* stop_;
    QLabel* preview_;
    QSlider* slider_;
    MoviePreview* movie_;
    QTimer* captureTimer_;
    QTimer* previewTimer_;
    CaptureWindow* window_;
    GlobalHotKeys* hotKeys_;
};

}  // namespace corv
