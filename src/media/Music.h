#pragma once

// Background music of a design: one file played in a loop while the design plays. Qt
// Multimedia decodes it through its FFmpeg backend, which needs no further plugins.

#include <QObject>
#include <QString>

class QAudioOutput;
class QMediaPlayer;

namespace corv {

// Chooses the FFmpeg backend of Qt Multimedia unless the user asked for another one. Call
// before the application object is made.
void PreferFfmpegMediaBackend();

// True when `path` holds a sound stream FFmpeg can decode; otherwise false with the reason in
// `why` (when given).
bool IsPlayableSound(const QString& path, QString* why = nullptr);

class MusicPlayer : public QObject {
    Q_OBJECT
public:
    explicit MusicPlayer(QObject* parent = nullptr);
    ~MusicPlayer() override;

    // Plays `path` from its start, looping; an empty path stops. Returns false (with
    // error() telling why, and failed() emitted) when the file does not exist or the machine
    // has no sound output.
    bool Play(const QString& path);
    void Stop();
    bool playing() const { return playing_; }
    QString source() const { return source_; }
    // The last decoding or output error, empty when none.
    QString error() const { return error_; }

signals:
    // The file could not be decoded or played; the design plays on without sound.
    void failed(const QString& message);

private:
    QMediaPlayer* player_ = nullptr;
    QAudioOutput* output_ = nullptr;
    QString source_;
    QString error_;
    bool playing_ = false;
};

}  // namespace corv
