// The main window's sequence file (.fseq) commands: export of the current clip through the
// layout in use, import of a sequence file's frames into the current clip.

#include <QFileDialog>
#include <QSpinBox>
#include <QStatusBar>

#include "app/common/FileDialogFolders.h"
#include "app/net/NetworkFilePath.h"
#include "app/shell/CMainFrame.h"
#include "app/shell/SequenceExportDialog.h"
#include "app/frame/CVorlaneView.h"
#include "base/Prompt.h"
#include "lang/QtText.h"
#include "lang/Render.h"
#include "lang/messages/SequenceDialogMessages.h"
#include "ops/Sequence.h"
#include "workspace/Workspace.h"

namespace corv {

namespace {

namespace dm = msg::seqdlg;

// The file the dialog suggests: the document's name with ".fseq", in the folder last used.
QString SuggestedSequencePath(const Workspace& ws, const QString& folder) {
    const std::string stem = ws.documentPath.empty() ? std::string("show") : ws.documentPath.stem().string();
    const QString name = QString::fromStdString(stem) + QStringLiteral(".fseq");
    return folder.isEmpty() ? name : folder + QStringLiteral("/") + name;
}

}  // namespace

bool CMainFrame::ExportSequence(const std::optional<ops::SequenceExportRequest>& given) {
    if (!ws_.frames.HasCurrent() || ws_.frames.CurrentFrames().empty()) return false;
    if (!EnsureLayout()) return false;
    ops::SequenceExportRequest request;
    if (given) {
        request = *given;
    } else {
        const QString folder = LastFolder(ws_, FileKind::Sequence, StartFolder());
        SequenceExportDialog dialog(static_cast<int>(ws_.frames.CurrentFrames().size()), speed_ ? speed_->value() : 20,
                                    NetworkFileInUse(ws_), SuggestedSequencePath(ws_, folder), ws_.app.language, this);
        if (dialog.exec() != QDialog::Accepted) return false;
        request = dialog.request();
        RememberFolder(ws_, FileKind::Sequence, QString::fromStdString(request.path.string()));
    }
    const auto written = ops::ExportSequence(ws_, request, prompt_, Progress());
    SetProgress(-1);
    if (!written) {
        prompt_.Inform(written.message(), PromptIcon::Warning);
        return false;
    }
    statusBar()->showMessage(RenderQt(dm::kExportDone, ws_.app.language,
                                      {QString::number(written->files.size()), QString::number(written->frames)}),
                             5000);
    return true;
}

bool CMainFrame::ImportSequence(const QString& given) {
    if (!EnsureLayout()) return false;
    QString path = given;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, RenderQt(dm::kImportTitle, ws_.app.language),
                                            LastFolder(ws_, FileKind::Sequence, StartFolder()),
                                            RenderQt(dm::kFileFilter, ws_.app.language));
        if (path.isEmpty()) return false;
        RememberFolder(ws_, FileKind::Sequence, path);
    }
    ops::SequenceImportRequest request;
    request.path = path.toStdString();
    // Without a clip the frames make one of the layout's size.
    request.newDocument = !ws_.frames.HasCurrent();
    // The file's warnings (a channel count that does not fit the layout) reach the prompt.
    const auto imported = ops::ImportSequence(ws_, request, prompt_, Progress());
    SetProgress(-1);
    if (!imported) {
        prompt_.Inform(imported.message(), PromptIcon::Warning);
        return false;
    }
    canvas_->ResetEditBuffers();
    if (request.newDocument) {
        UpdateFrameCount();
        UpdateTitle();
    }
    FramesChanged(ws_.frames.CurrentFrames().size() - imported->frames);
    statusBar()->showMessage(RenderQt(dm::kImportDone, ws_.app.language, {QString::number(imported->frames)}), 5000);
    return true;
}

}  // namespace corv
