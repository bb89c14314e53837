#pragma once

#include <QFileDialog>
#include <QSize>
#include <QString>
#include <cstdint>
#include <filesystem>

#include "media/Movie.h"

class QCheckBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace corv {

// The file dialog of "Import": picks a movie, a Flash movie or a project document and shows,
// beside the file list, its first picture at the project's frame size, the frames it offers
// and how many of them to take, how pictures of another size fill the frame, and whether the
// controller data is written from it. The caller does the output after exec().
class ImportWindow : public QFileDialog {
    Q_OBJECT
public:
    // `frameSize`: the project's frame size the pictures are fitted to; `tempDir`: where a
    // compressed document is unpacked for its preview; `startFile`: the file selected at the
    // start (its folder is the one shown), or a folder to open.
    ImportWindow(std::uint8_t language, QSize frameSize, std::filesystem::path tempDir, const QString& startFile,
                 QWidget* parent = nullptr);

    bool outputControllerData() const;
    // Flash movies are stepped picture by picture instead of sampled while they play.
    bool highSpeed() const;
    Fit fit() const;
    // The number of frames to output (0 when the file offers none).
    int importFrames() const;
    // The frames the previewed file offers; 0 when it cannot be read.
    int frameNum() const;
    QString chosenFile() const;
    // Reads the file's first picture and frame count and shows them; a file that cannot be
    // read leaves an empty preview with the reason in it.
    void Preview(const QString& path);
    QLabel* previewLabel() const { return preview_; }

    // A name typed into the file box is previewed first, so the frame count belongs to the
    // file that is imported.
    void accept() override;

private:
    void BuildPanel(std::uint8_t language);
    void ShowFrameCount(int frames, bool resetImport);
    void ShowFailure(const QString& why);

    std::uint8_t language_;
    QSize frameSize_;
    std::filesystem::path tempDir_;
    QString previewed_;  // the file the panel describes

    QLabel* preview_ = nullptr;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    QSpinBox* frameNum_ = nullptr;
    QSpinBox* import_ = nullptr;
    QRadioButton* center_ = nullptr;
    QRadioButton* stretch_ = nullptr;
    QCheckBox* output_ = nullptr;
    QCheckBox* highSpeed_ = nullptr;
};

}  // namespace corv
