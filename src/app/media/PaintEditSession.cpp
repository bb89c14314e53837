#include "app/media/PaintEditSession.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QImage>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTimer>

#include <fstream>

#include "base/Binary.h"
#include "base/FileUtil.h"
#include "content/TransitionRenderer.h"
#include "lang/QtText.h"
#include "lang/messages/MediaMessages.h"

namespace corv {

QStringList KnownPainters() {
    return {QStringLiteral("pinta"), QStringLiteral("kolourpaint"), QStringLiteral("gimp"), QStringLiteral("mtpaint"),
            QStringLiteral("krita"), QStringLiteral("drawing")};
}

QString FindPainter(const QString& configured) {
    if (!configured.isEmpty()) {
        const QFileInfo info(configured);
        if (info.isFile() && info.isExecutable()) return info.absoluteFilePath();
        const QString onPath = QStandardPaths::findExecutable(configured);
        if (!onPath.isEmpty()) return onPath;
    }
    for (const QString& name : KnownPainters()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty()) return path;
    }
    return {};
}

Result<Done> WriteFrameBitmap(const std::filesystem::path& path, const Frame& frame) {
    ByteWriter w;
    const auto pixels = static_cast<std::uint32_t>(frame.size());
    w.U8('B');
    w.U8('M');
    w.U32(14 + 40 + pixels);
    w.U32(0);
    w.U32(14 + 40);
    w.U32(40);
    w.I32(frame.width());
    w.I32(frame.height());  // positive: rows bottom-up, as frames keep them
    w.U16(1);
    w.U16(24);
    w.U32(0);
    w.U32(pixels);
    w.U32(2835);  // 72 dots per inch
    w.U32(2835);
    w.U32(0);
    w.U32(0);
    w.Bytes(frame.data(), frame.size());
    return WriteFileAtomic(path, std::span<const std::uint8_t>(w.bytes().data(), w.size()));
}

PaintEditSession::PaintEditSession(QObject* parent) : QObject(parent) {
    settle_ = new QTimer(this);
    settle_->setSingleShot(true);
    // Painters write in several steps (or through a new file renamed over the old one): read
    // once the file has been quiet for a moment.
    settle_->setInterval(150);
    connect(settle_, &QTimer::timeout, this, &PaintEditSession::Reload);
}

PaintEditSession::~PaintEditSession() {
    if (process_) {
        process_->disconnect(this);
        if (process_->state() != QProcess::NotRunning) {
            process_->terminate();
            if (!process_->waitForFinished(2000)) process_->kill();
            process_->waitForFinished(1000);
        }
    }
    CleanUp();
}

bool PaintEditSession::running() const { return process_ && process_->state() != QProcess::NotRunning; }

bool PaintEditSession::Start(const Frame& frame, const std::filesystem::path& tempDir, const QString& painter, QString* why,
                             std::uint8_t language) {
    auto fail = [&](const QString& text) {
        if (why) *why = text;
        CleanUp();
        return false;
    };
    if (frame.width() <= 0 || frame.height() <= 0) return fail(RenderQt(msg::media::kNoFrameToPaint, language));
    if (painter.isEmpty()) {
        return fail(RenderQt(msg::media::kNoPainterFound, language) +
                    KnownPainters().join(QStringLiteral(", ")) + RenderQt(msg::media::kSentenceEnd, language));
    }
    const QString base = QString::fromStdString(tempDir.string());
    for (int attempt = 0; attempt < 100 && folder_.isEmpty(); ++attempt) {
        const QString candidate = base + QStringLiteral("/Watch%1").arg(QRandomGenerator::global()->bounded(1000000));
        if (QDir().mkdir(candidate)) folder_ = candidate;
    }
    if (folder_.isEmpty()) return fail(RenderQt(msg::media::kPictureFolderNotMade, language) + base);
    bitmap_ = folder_ + QStringLiteral("/f.bmp");
    if (auto written = WriteFrameBitmap(bitmap_.toStdString(), frame); !written) {
        return fail(QStringLiteral("Save file fail! ") + QString::fromStdString(written.failure().reason));
    }
    width_ = frame.width();
    height_ = frame.height();

    watcher_ = new QFileSystemWatcher(this);
    watcher_->addPath(folder_);
    watcher_->addPath(bitmap_);
    connect(watcher_, &QFileSystemWatcher::fileChanged, this, [this] { settle_->start(); });
    connect(watcher_, &QFileSystemWatcher::directoryChanged, this, [this] {
        // A save through a new file drops the file from the watch: watch it again.
        if (!watcher_->files().contains(bitmap_) && QFileInfo::exists(bitmap_)) watcher_->addPath(bitmap_);
        settle_->start();
    });

    process_ = new QProcess(this);
    connect(process_, &QProcess::finished, this, [this] {
        // A last save just before the program ended still counts.
        Reload();
        CleanUp();
        emit finished();
    });
    process_->start(painter, {bitmap_});
    if (!process_->waitForStarted(5000)) {
        const QString reason = process_->errorString();
        process_->disconnect(this);
        return fail(RenderQt(msg::media::kPainterNotStarted, language) + painter + QStringLiteral(" (") + reason +
                    QStringLiteral(")"));
    }
    return true;
}

void PaintEditSession::Reload() {
    if (bitmap_.isEmpty() || !QFileInfo::exists(bitmap_)) return;
    QImage picture(bitmap_);
    if (picture.isNull()) return;  // half written: the next change reads it again
    if (picture.width() != width_ || picture.height() != height_) {
        picture = picture.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    Frame f(width_, height_);
    ImageToFrame(picture.convertToFormat(QImage::Format_RGB32), f);
    emit changed(f);
}

void PaintEditSession::CleanUp() {
    settle_->stop();
    if (watcher_) {
        delete watcher_;
        watcher_ = nullptr;
    }
    if (!folder_.isEmpty()) {
        QDir(folder_).removeRecursively();
        folder_.clear();
    }
}

}  // namespace corv
