#include "media/Music.h"

#include <QAudioOutput>
#include <QFile>
#include <QFileInfo>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <QUrl>

#include "media/FfmpegBackend.h"

namespace corv {

bool IsPlayableSound(const QString& path, QString* why) {
    auto fail = [why](const QString& text) {
        if (why) *why = text;
        return false;
    };
    std::string reason;
    const ffmpeg::Backend* backend = ffmpeg::Load(&reason);
    if (!backend) return fail(QString::fromStdString(reason));
    switch (backend->probeSound(QFile::encodeName(path).constData())) {
    case ffmpeg::SoundProbe::Playable: return true;
    case ffmpeg::SoundProbe::Unreadable: return fail(QStringLiteral("not a sound file FFmpeg can read"));
    case ffmpeg::SoundProbe::NoSound: return fail(QStringLiteral("the file holds no sound"));
    case ffmpeg::SoundProbe::NoDecoder: break;
    }
    return fail(QStringLiteral("no decoder for the sound's format"));
}

void PreferFfmpegMediaBackend() {
    if (qEnvironmentVariableIsEmpty("QT_MEDIA_BACKEND")) qputenv("QT_MEDIA_BACKEND", "ffmpeg");
}

MusicPlayer::MusicPlayer(QObject* parent) : QObject(parent) {}

MusicPlayer::~MusicPlayer() { Stop(); }

bool MusicPlayer::Play(const QString& path) {
    Stop();
    error_.clear();
    if (path.isEmpty()) return true;
    if (!QFileInfo(path).isFile()) {
        error_ = QStringLiteral("The music file does not exist: ") + path;
        emit failed(error_);
        return false;
    }
    if (QMediaDevices::audioOutputs().isEmpty()) {
        // The media backend of Qt 6.4 crashes when it starts a sound with no output device.
        error_ = QStringLiteral("This machine has no sound output device");
        emit failed(error_);
        return false;
    }
    if (!player_) {
        // Made on first use, so that designs without music never open the sound system. The
        // GStreamer backend crashes when its decoder plugins are missing, so FFmpeg it is.
        PreferFfmpegMediaBackend();
        player_ = new QMediaPlayer(this);
        output_ = new QAudioOutput(this);
        player_->setAudioOutput(output_);
        player_->setLoops(QMediaPlayer::Infinite);
        connect(player_, &QMediaPlayer::errorOccurred, this, [this](QMediaPlayer::Error e, const QString& text) {
            if (e == QMediaPlayer::NoError) return;
            error_ = text.isEmpty() ? QStringLiteral("The music cannot be played: ") + source_ : text;
            emit failed(error_);
        });
    }
    source_ = path;
    player_->setSource(QUrl::fromLocalFile(path));
    player_->play();
    playing_ = true;
    return true;
}

void MusicPlayer::Stop() {
    if (player_ && playing_) player_->stop();
    playing_ = false;
}

}  // namespace corv
