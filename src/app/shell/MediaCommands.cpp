// The main window's commands for content from outside: the import window, screen capture,
// paint edit, and the video export with its options.

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include "app/shell/CMainFrame.h"
#include "app/frame/CVorlaneView.h"
#include "app/media/CaptureDialog.h"
#include "app/common/FileDialogFolders.h"
#include "app/media/ImportWindow.h"
#include "app/media/PaintEditSession.h"
#include "app/media/VideoOptionDialog.h"
#include "base/Prompt.h"
#include "lang/Render.h"
#include "lang/QtText.h"
#include "lang/messages/ShellMessages.h"
#include "content/TransitionRenderer.h"
#include "controller/Card.h"
#include "controller/Catalogue.h"
#include "controller/LedFile.h"
#include "media/ImportSource.h"
#include "media/VideoSettings.h"
#include "ops/Output.h"
#include "workspace/Settings.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

std::filesystem::path ConfigPathOf(const Workspace& ws) { return ws.home / kConfigFileName; }

}  // namespace

bool CMainFrame::Import() {
    const QSize frameSize(ws_.app.frameWidth, ws_.app.frameHeight);
    const QString start = LastFolder(ws_, FileKind::Movie, QString::fromStdString((ws_.home / "Material" / "1.swf").string()));
    ImportWindow window(ws_.app.language, frameSize, ws_.temp().path(), start, this);
    if (window.exec() != QDialog::Accepted) return false;
    RememberFolder(ws_, FileKind::Movie, window.chosenFile());
    if (!window.outputControllerData()) return false;
    return ImportOutput(window.chosenFile(), window.fit(), window.importFrames(), {}, window.highSpeed());
}

bool CMainFrame::ImportOutput(const QString& source, Fit fit, int frames, const QString& given, bool highSpeed) {
    if (source.isEmpty() || !EnsureLayout()) return false;
    ops::ImportFramesRequest request;
    request.source = source.toStdString();
    request.fit = fit;
    request.highSpeed = highSpeed;
    request.frames = frames;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto imported = ops::ImportFrames(ws_, request, prompt_, Progress());
    QApplication::restoreOverrideCursor();
    if (!imported) {
        prompt_.Inform(imported.message(), PromptIcon::Warning);  // the file, then why
        return false;
    }
    const QString path = given.isEmpty() ? AskControllerFilePath() : given;
    if (path.isEmpty()) return false;
    return WriteControllerFiles(*imported->frames, 0, imported->end, imported->shape, path);
}

bool CMainFrame::VideoCapture() {
    if (!ws_.frames.HasCurrent()) return false;
    Stop();
    const std::optional<PixelRect> area = canvas_->editArea();
    const QSize start = area ? QSize(area->width(), area->height()) : QSize(ws_.app.frameWidth, ws_.app.frameHeight);
    CaptureDialog dialog(ws_.app.language, prompt_, start, nullptr);
    dialog.workspace = &ws_;
    // The main window steps aside so that what lies under it can be captured.
    const bool wasVisible = isVisible();
    hide();
    if (captureShown) {
        QTimer::singleShot(0, &dialog, [this, &dialog] { captureShown(dialog); });
    }
    const bool accepted = dialog.exec() == QDialog::Accepted;
    std::vector<Frame> frames;
    if (accepted) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        frames = dialog.TakeScaled(QSize(ws_.frames.CurrentClip().width, ws_.frames.CurrentClip().height));
        QApplication::restoreOverrideCursor();
    }
    if (wasVisible) show();
    const bool placed = accepted && PlaceCaptured(std::move(frames));
    FrameNumberShown(1);
    ws_.app.currentFrame = 0;
    canvas_->update();
    return placed;
}

bool CMainFrame::PlaceCaptured(std::vector<Frame> frames) {
    if (!ws_.frames.HasCurrent() || frames.empty()) return false;
    auto& clip = ws_.frames.CurrentFrames();
    const std::size_t current = static_cast<std::size_t>(std::max(0, ws_.app.currentFrame));
    const std::size_t last = PlaceAfter(clip, current, std::move(frames), ws_.app.coverMode, ws_.frameUndo);
    FramesChanged(last);
    return true;
}

bool CMainFrame::PaintEdit() {
    const Frame* frame = ws_.frames.CurrentFrame();
    if (!frame) return false;
    const std::uint8_t lang = ws_.app.language;
    if (paintSession_ && paintSession_->running()) {
        prompt_.Inform(Render(msg::shell::kPainterBusy, lang));
        return false;
    }
    const QString configured = ws_.config ? QString::fromStdString(ws_.config->GetString(keys::kPaintPath)) : QString();
    auto* session = new PaintEditSession(this);
    QString why;
    if (!session->Start(*frame, ws_.temp().path(), FindPainter(configured), &why, lang)) {
        delete session;
        prompt_.Inform(why.toStdString(), PromptIcon::Warning);
        return false;
    }
    delete paintSession_;
    paintSession_ = session;
    // The frame that went out takes every save; one undo step takes them all back.
    const int clip = ws_.frames.current();
    const std::size_t index = static_cast<std::size_t>(ws_.app.currentFrame);
    auto recorded = std::make_shared<bool>(false);
    connect(session, &PaintEditSession::changed, this, [this, clip, index, recorded](const Frame& picture) {
        if (ws_.frames.current() != clip) return;
        auto& frames = ws_.frames.CurrentFrames();
        if (index >= frames.size() || frames[index].width() != picture.width() || frames[index].height() != picture.height()) return;
        if (!*recorded) {
            ws_.frameUndo.RecordChange(frames, index, 1);
            *recorded = true;
        }
        frames[index] = picture;
        UpdateEditActions();
        canvas_->update();
    });
    connect(session, &PaintEditSession::finished, this, [this, session] {
        if (paintSession_ == session) paintSession_ = nullptr;
        session->deleteLater();
    });
    return true;
}

bool CMainFrame::ExportVideo(const QString& given) {
    if (!ws_.frames.HasCurrent() || ws_.frames.CurrentFrames().empty()) return false;
    QString path = given;
    if (path.isEmpty()) {
        QFileDialog dialog(this, QString(), LastFolder(ws_, FileKind::Movie, StartFolder()),
                           RenderQt(msg::shell::kVideoFileFilter, ws_.app.language));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("avi"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
        path = dialog.selectedFiles().front();
        RememberFolder(ws_, FileKind::Movie, path);
    }
    const corv::VideoOptions options = ToVideoOptions(ReadVideoSettings(ConfigPathOf(ws_)));
    const auto& frames = ws_.frames.CurrentFrames();
    MovieWriter writer;
    bool ok = writer.Open(path.toStdString(), frames.front().width(), frames.front().height(), options);
    const ProgressFn progress = Progress();
    for (std::size_t i = 0; ok && i < frames.size(); ++i) {
        ok = writer.Write(frames[i]);
        if (progress) progress(static_cast<int>((i + 1) * 100 / frames.size()));
    }
    ok = ok && writer.Close();
    if (progress) progress(0);
    if (!ok) {
        writer.Abandon();
        prompt_.Inform(path.toStdString() + "\n" + writer.error(), PromptIcon::Warning);
    }
    return ok;
}

bool CMainFrame::VideoOptions() {
    VideoOptionDialog dialog(ws_.app.language, ConfigPathOf(ws_), this);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace corv
