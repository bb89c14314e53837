#pragma once

#include <QImage>
#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>

#include "project/Frame.h"

class QTimer;

namespace corv {

class MovieReader;

// Plays a movie file in a widget, one picture per tick at the movie's own rate, each decoded
// at the widget's size with its proportions kept; starts again at the end. Black when nothing
// plays. Only the picture on screen is held, never the movie.
class MoviePreview : public QWidget {
    Q_OBJECT
public:
    explicit MoviePreview(QWidget* parent = nullptr);
    ~MoviePreview() override;

    // Starts playing `path` in place of what played before. False, with the reader's reason
    // in `why` when given, for a file that cannot be played.
    bool Open(const QString& path, QString* why);
    // Ends playing and turns the widget black.
    void Stop();
    bool playing() const;
    // Pictures painted since the last Open.
    int picturesShown() const { return shown_; }
    // Where the movie's pictures lie inside the widget (the whole widget when nothing plays).
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void ShowNext();

    std::unique_ptr<MovieReader> reader_;
    QTimer* timer_;
    Frame frame_;
    QImage picture_;
    int shown_ = 0;
};

}  // namespace corv
