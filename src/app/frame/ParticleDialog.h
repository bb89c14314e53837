#pragma once

#include <QDialog>
#include <QImage>
#include <array>
#include <cstdint>

#include "content/Particles.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSpinBox;

namespace corv {

class Prompt;
class Workspace;

// "Particle" of the pattern panel's Other styles: where particles start, their speed, the
// ranges of the random speeds, the acceleration, the wind, how many are sent, the particle
// picture and the named templates of "ParticleLib.ptb".
class ParticleDialog : public QDialog {
    Q_OBJECT
public:
    ParticleDialog(Workspace& ws, Prompt& prompt, const ParticleOptions& initial, const QImage& picture,
                   QWidget* parent = nullptr);

    ParticleOptions options() const;
    void SetOptions(const ParticleOptions& options);
    QImage picture() const { return picture_; }
    // Browse's work after its file dialog; false (with a message) when the picture cannot be read.
    bool LoadPicture(const QString& path);
    // The template buttons; false when nothing was saved or removed.
    bool SaveTemplate();
    bool DeleteTemplate();
    bool SelectTemplate(const QString& name);

    QComboBox* combo(int which) const { return combos_[static_cast<std::size_t>(which)]; }
    QComboBox* templateBox() const { return templates_; }
    QSpinBox* range(int i) const { return ranges_[static_cast<std::size_t>(i)]; }
    QSpinBox* accel(int i) const { return accel_[static_cast<std::size_t>(i)]; }
    QSpinBox* sendSpeed() const { return send_; }
    QCheckBox* throwAbout() const { return throw_; }

    // The picture a run starts with: particle.bmp of the application home, else a soft dot.
    static QImage HomePicture(const Workspace& ws);

private:
    void ShowPicture();
    std::filesystem::path Library() const;

    Workspace& ws_;
    Prompt& prompt_;
    std::array<QComboBox*, ParticleOptions::kCombos> combos_{};
    std::array<QSpinBox*, 6> ranges_{};
    std::array<QSpinBox*, 3> accel_{};
    QSpinBox* send_;
    QCheckBox* throw_;
    QLabel* preview_;
    QComboBox* templates_;
    QImage picture_;
};

}  // namespace corv
