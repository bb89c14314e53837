#pragma once

// Paint edit: a frame handed to an outside painting program and read back whenever the
// program saves it. The frame goes out as a 24-bit bitmap in a private folder; a watcher on
// the GUI thread picks up each save, and the folder goes away when the program ends.

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <filesystem>

#include "base/Result.h"
#include "lang/Language.h"
#include "project/Frame.h"

class QFileSystemWatcher;
class QProcess;
class QTimer;

namespace corv {

// The painting program to use: `configured` when it names a program that runs, else the
// first of the usual painting programs found on the PATH; empty when there is none.
QString FindPainter(const QString& configured);
// The programs looked for when none is configured, in order.
QStringList KnownPainters();

// Writes a frame as a 24-bit bottom-up bitmap file (14-byte file header, 40-byte info header,
// the rows as stored). The failure names the file and the reason it cannot be written.
Result<Done> WriteFrameBitmap(const std::filesystem::path& path, const Frame& frame);

class PaintEditSession : public QObject {
    Q_OBJECT
public:
    explicit PaintEditSession(QObject* parent = nullptr);
    ~PaintEditSession() override;

    // Writes `frame` into a new folder "Watch<n>" under `tempDir`, starts `painter` on it and
    // watches it. False with the reason in `why`, in the program's language.
    bool Start(const Frame& frame, const std::filesystem::path& tempDir, const QString& painter, QString* why,
               std::uint8_t language = kLanguageEnglish);
    QString bitmapPath() const { return bitmap_; }
    QString folder() const { return folder_; }
    bool running() const;

signals:
    // The program saved the picture: here it is, made the size of the frame that went out.
    void changed(const corv::Frame& picture);
    // The program ended; the folder is gone.
    void finished();

private:
    void Reload();
    void CleanUp();

    QProcess* process_ = nullptr;
    QFileSystemWatcher* watcher_ = nullptr;
    QTimer* settle_ = nullptr;
    QString folder_;
    QString bitmap_;
    int width_ = 0, height_ = 0;
};

}  // namespace corv
