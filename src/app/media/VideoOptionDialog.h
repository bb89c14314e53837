#pragma once

#include <QDialog>
#include <cstdint>
#include <filesystem>

#include "media/VideoSettings.h"

class QComboBox;
class QLabel;
class QSlider;
class QSpinBox;

namespace corv {

// "AVI Option": the play and capture speeds, the compressor, its quality and the key frame
// interval of a video export, kept in the configuration file's "AVIOption" section. OK writes
// them; Cancel leaves the file as it was.
class VideoOptionDialog : public QDialog {
    Q_OBJECT
public:
    VideoOptionDialog(std::uint8_t language, std::filesystem::path configPath, QWidget* parent = nullptr);

    // The values the controls show.
    VideoSettings settings() const;
    QComboBox* encoderBox() const { return encoders_; }

    // Writes the shown values, then closes.
    void accept() override;
    // The text of the About box for the chosen compressor.
    QString AboutText() const;

private:
    void ShowSettings(const VideoSettings& settings);
    void ShowAbout();

    std::uint8_t language_;
    std::filesystem::path configPath_;
    QSpinBox* framesPerSecond_ = nullptr;
    QSpinBox* gatherRate_ = nullptr;
    QComboBox* encoders_ = nullptr;
    QSlider* quality_ = nullptr;
    QLabel* qualityValue_ = nullptr;
    QSpinBox* keyFramesEvery_ = nullptr;
};

}  // namespace corv
