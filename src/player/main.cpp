// corvantine-player: plays the design appended to its own file (an exported effect file) full
// screen, or in a window with --window; Esc quits. --dump prints what the file holds.
// `corvantine-player [--dump] [--window] [FILE]` reads FILE instead of itself.

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "base/TempDir.h"
#include "content/DesignRender.h"
#include "media/Music.h"
#include "project/EffectExport.h"

using namespace corv;

namespace {

// What makes this program the player for the exporter (IsEffectPlayer): the marker in a section
// of its own, kept by the linker.
[[gnu::used, gnu::retain, gnu::section(".corvantine_player")]] constexpr char kPlayerMark[] =
    "corvantine-player: effect block 1";
static_assert(std::string_view(kPlayerMark) == kEffectPlayerMarker);

class PlayerWindow : public QWidget {
public:
    PlayerWindow(const EffectList& effects, const FrameStore& frames, QSize canvas)
        : effects_(effects), frames_(frames), canvas_(canvas) {
        setWindowTitle(QStringLiteral("Corvantine effect"));
        setAttribute(Qt::WA_OpaquePaintEvent);
        connect(&timer_, &QTimer::timeout, this, [this] {
            ++tick_;
            update();
        });
        timer_.start(40);  // 25 frames a second
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        const QImage picture = RenderDesign(effects_, canvas_, DesignTime{&frames_, tick_});
        const QSize shown = canvas_.scaled(size(), Qt::KeepAspectRatio);
        p.drawImage(QRect(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown), picture);
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape) close();
    }

private:
    const EffectList& effects_;
    const FrameStore& frames_;
    QSize canvas_;
    QTimer timer_;
    std::size_t tick_ = 0;
};

int Count(const EffectItem& item) {
    int n = 1;
    if (item.kind() == kItemGroup) {
        for (const auto& c : static_cast<const GroupItem&>(item).children) n += Count(*c);
    }
    return n;
}

}  // namespace

int main(int argc, char** argv) {
    bool dump = false, window = false;
    std::string file;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dump") == 0) dump = true;
        else if (std::strcmp(argv[i], "--window") == 0) window = true;
        else file = argv[i];
    }
    if (dump && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    PreferFfmpegMediaBackend();
    QApplication app(argc, argv);
    if (file.empty()) file = QCoreApplication::applicationFilePath().toStdString();
    TempDir temp;
    LoadedDocument doc;
    const std::uint64_t templateLength = EffectTemplateLength(file);
    if (!ReadEffectFile(file, temp.path(), doc)) {
        std::fprintf(stderr, "corvantine-player: %s holds no design to play (export one with \"Output effect file\").\n", file.c_str());
        return 1;
    }
    AppState state;
    FrameStore frames(state);
    frames.ReplaceAll(std::move(doc.clips));
    EffectList effects;
    for (auto& layer : doc.layers) effects.Append(std::move(layer));
    const QSize canvas(doc.canvasWidth ? doc.canvasWidth : 800, doc.canvasHeight ? doc.canvasHeight : 600);
    if (dump) {
        std::printf("template %llu bytes\ncanvas %d x %d\nclips %d\n", static_cast<unsigned long long>(templateLength), canvas.width(),
                    canvas.height(), frames.Count());
        for (int c = 0; c < frames.Count(); ++c) {
            std::printf("clip %d: %u x %u, %zu frames\n", c + 1, frames.clip(c).width, frames.clip(c).height, frames.clip(c).frames.size());
        }
        std::printf("layers %zu\n", effects.Count());
        int l = 0;
        for (const auto& layer : effects) {
            int items = 0;
            for (const auto& item : layer->items) items += Count(*item);
            std::printf("layer %d: %s, %d items%s\n", ++l, layer->name.c_str(), items, layer->mask ? ", masked" : "");
        }
        std::printf("music %u bytes\n", doc.musicLength);
        return 0;
    }
    PlayerWindow player(effects, frames, canvas);
    MusicPlayer music;
    QObject::connect(&music, &MusicPlayer::failed, [](const QString& message) {
        std::fprintf(stderr, "corvantine-player: %s (playing without sound)\n", message.toLocal8Bit().constData());
    });
    if (!doc.musicPath.empty()) music.Play(QString::fromStdString(doc.musicPath.string()));
    if (window) {
        player.resize(canvas);
        player.show();
    } else {
        player.showFullScreen();
    }
    return app.exec();
}
