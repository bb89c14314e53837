#pragma once

#include <QDialog>
#include <cstdint>
#include <filesystem>

#include "ops/Sequence.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace corv {

// "Export sequence": the file, the frame range, the frame rate, the file version, the
// compression and its level, and which channels (the whole layout, every controller of the
// network description in a file of its own, or one of them, optionally as sparse ranges).
class SequenceExportDialog : public QDialog {
    Q_OBJECT
public:
    // `frames` the clip's frames; `netFile` the network description of the layout in use
    // (empty or missing: only the whole layout can be chosen); `fps` the play speed.
    SequenceExportDialog(int frames, int fps, const std::filesystem::path& netFile, const QString& path,
                         std::uint8_t language, QWidget* parent = nullptr);

    // The request the dialog's values make (the path as typed).
    ops::SequenceExportRequest request() const;

    QLineEdit* pathEdit() const { return path_; }
    QSpinBox* firstBox() const { return first_; }
    QSpinBox* lastBox() const { return last_; }
    QSpinBox* fpsBox() const { return fps_; }
    QComboBox* versionBox() const { return version_; }
    QComboBox* compressionBox() const { return compression_; }
    QSpinBox* levelBox() const { return level_; }
    QComboBox* scopeBox() const { return scope_; }
    QSpinBox* controllerBox() const { return controller_; }
    QCheckBox* sparseBox() const { return sparse_; }

    void accept() override;

private:
    // The choices that make sense together: version 1 is uncompressed, a level needs a
    // compression, a controller and sparse ranges need the network description.
    void UpdateEnabled();

    std::uint8_t language_;
    std::filesystem::path netFile_;
    QLineEdit* path_;
    QSpinBox* first_;
    QSpinBox* last_;
    QSpinBox* fps_;
    QComboBox* version_;
    QComboBox* compression_;
    QSpinBox* level_;
    QComboBox* scope_;
    QSpinBox* controller_;
    QCheckBox* sparse_;
};

}  // namespace corv
