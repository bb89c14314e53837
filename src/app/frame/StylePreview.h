#pragma once

// The small moving picture under the pattern panel's style list: a few frames of the selected
// style, made by the generators on a blank frame of the current frame's size in a worker
// thread, shown one after another. A run that would take more than 64 MB of frames is made on
// a smaller frame of the same shape.

#include <QImage>
#include <QLabel>
#include <QSize>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

#include "content/Generators.h"

class QThread;

namespace corv {

// What the preview draws on: the current frame's size, the colour list and the background.
struct PreviewScene {
    QSize size;  // empty: there is no current frame
    ColourList colours;
    Bgr background{};
    std::shared_ptr<const Layout> layout;  // the wiring, for the port styles (may be null)
};

// What a mode of the mode list and a style of its style list do, in the language; empty for
// a style the mode does not have.
QString ModeToolTip(GeneratorMode mode, std::uint8_t language);
QString StyleToolTip(GeneratorMode mode, int style, std::uint8_t language);

class StylePreview : public QLabel {
    Q_OBJECT
public:
    static constexpr int kFrames = 12;  // frames made for one style
    static constexpr int kInterval = 120;  // milliseconds a frame is shown

    StylePreview(std::uint8_t language, QWidget* parent = nullptr);
    ~StylePreview() override;

    // Asked at every request; unset, the preview draws the built-in rainbow on 32 x 16.
    std::function<PreviewScene()> scene;

    // Makes the frames of `style` with the panel's `settings` (step, render, sub-panels) in a
    // worker thread. A request made while another one renders replaces it: the older frames
    // are dropped when they come, and only the newest request is rendered next.
    void Request(GeneratorMode mode, int style, const GeneratorRun& settings);
    // No style selected: nothing shown.
    void Clear();

    // The frames of the newest finished request (empty while it renders or when the style
    // could not run) and the one on show.
    const std::vector<QImage>& frames() const { return frames_; }
    int shownFrame() const { return shown_; }
    bool busy() const { return worker_ != nullptr; }

signals:
    void framesReady(int count);

protected:
    // The frames take turns only while the preview is on screen.
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Job {
        int id = 0;
        GeneratorMode mode = GeneratorMode::Moving;
        int style = 0;
        GeneratorRun settings;
        PreviewScene scene;
    };
    struct Result {
        int id = 0;
        std::vector<QImage> frames;
    };

    void Start(std::unique_ptr<Job> job);
    void Finished(const std::shared_ptr<Result>& result);
    void ShowFrame();

    std::uint8_t language_;
    int newest_ = 0;  // the id of the newest request
    QThread* worker_ = nullptr;
    std::unique_ptr<Job> pending_;  // waits for the running job to end
    std::vector<QImage> frames_;
    int shown_ = 0;
    QTimer timer_;
};

}  // namespace corv
