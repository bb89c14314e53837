#include "app/CMainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QApplication>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>
#include <optional>

#include "app/DocumentDialogs.h"
#include "app/DocumentFingerprint.h"
#include "app/FrameCanvas.h"
#include "base/Prompt.h"
#include "lang/Language.h"
#include "lang/Localize.h"
#include "lang/UiStrings.h"
#include "workspace/DocumentOps.h"
#include "workspace/Startup.h"
#include "workspace/Workspace.h"

#ifndef CORVANTINE_VERSION
#define CORVANTINE_VERSION "0.0.0"
#endif

namespace corv {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

CMainFrame::CMainFrame(Workspace& ws, Prompt& prompt, QWidget* parent)
    : QMainWindow(parent),
      ws_(ws),
      prompt_(prompt),
      startProgram_([](const QString& program, const QStringList& arguments) {
          return QProcess::startDetached(program, arguments);
      }) {
    setObjectName(QStringLiteral("CMainFrame"));
    views_ = new QStackedWidget(this);
    canvas_ = new FrameCanvas(ws_.frames, views_);
    canvas_->setObjectName(QStringLiteral("frameView"));
    views_->addWidget(canvas_);
    setCentralWidget(views_);

    BuildMenus();
    BuildControlBar();

    progress_ = new QProgressBar(this);
    progress_->setRange(0, 100);
    progress_->setMaximumWidth(240);
    progress_->hide();
    frameCountPane_ = new QLabel(this);
    statusBar()->addPermanentWidget(progress_);
    statusBar()->addPermanentWidget(frameCountPane_);

    ws_.frames.SetListener(this);
    ClipEntriesChanged(ws_.frames.Count(), ws_.frames.current());
    UpdateFrameCount();
    UpdateTitle();
    MarkClean(Q(ws_.documentPath.string()));
    resize(1200, 800);
}

CMainFrame::~CMainFrame() {
    if (ws_.frames.listener() == this) {
        ws_.frames.SetListener(nullptr);
    }
}

void CMainFrame::SetDocumentName(const QString& name) {
    setWindowTitle(name + QStringLiteral(" - Corvantine"));
}

void CMainFrame::SetProgress(int percent) {
    if (percent <= 0) {
        progress_->hide();
        return;
    }
    progress_->setValue(std::min(percent, 100));
    progress_->show();
}

ProgressFn CMainFrame::Progress() {
    return [this, last = -1](int percent) mutable {
        if (percent == last) {
            return;
        }
        last = percent;
        SetProgress(percent);
        // Repaint the bar during the blocking operation without taking user input.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
}

void CMainFrame::UpdateTitle() {
    const auto& path = ws_.documentPath;
    SetDocumentName(path.empty() ? QStringLiteral("Untitled") : QString::fromStdString(path.filename().string()));
}

bool CMainFrame::FileNew() {
    bool made = ws_.frames.Count() == 0;  // the first document is made without asking
    OnNewDocument(ws_, [this, &made](SizeDialogModel& model) {
        std::optional<FrameSize> size = CSizeDialog::Ask(model, ws_.strings, this);
        made = size.has_value();
        return size;
    });
    if (made) {
        MarkClean({});
    }
    UpdateTitle();
    return made;
}

bool CMainFrame::FileOpen(const QString& given) {
    QString path = given;
    if (path.isEmpty()) {
        path = QFileDialog::getOpenFileName(this, QString(), QString(),
                                            QStringLiteral("Corvantine File (*.cvn *.rar);;All files (*)"));
    }
    if (path.isEmpty()) {
        return false;
    }
    const bool ok = OnOpenDocument(ws_, prompt_, path.toStdString(), Progress()).ok();
    if (ok) {
        MarkClean(path);
    }
    UpdateTitle();
    return ok;
}

bool CMainFrame::FileSave() {
    if (ws_.documentPath.empty()) {
        return FileSaveAs();
    }
    if (!OnSaveDocument(ws_, prompt_, ws_.documentPath, Progress()).ok()) {
        return false;
    }
    MarkClean(Q(ws_.documentPath.string()));
    return true;
}

bool CMainFrame::FileSaveAs(const QString& given) {
    QString path = given;
    if (path.isEmpty()) {
        QFileDialog dialog(this, QString(), QString(), QStringLiteral("Corvantine File (*.cvn)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QStringLiteral("cvn"));
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
            return false;
        }
        path = dialog.selectedFiles().front();
    }
    const bool ok = OnSaveDocument(ws_, prompt_, path.toStdString(), Progress()).ok();
    if (ok) {
        MarkClean(path);
    }
    UpdateTitle();
    return ok;
}

bool CMainFrame::Supplemental() {
    if (!ws_.frames.HasCurrent()) {
        return false;
    }
    const int count = static_cast<int>(ws_.frames.CurrentFrames().size());
    const FrameRange initial = InitialSupplementalRange(ws_.app.currentFrame, count);
    CFrameRangeDialog range(initial.start, initial.end, count, ws_.strings, this);
    if (range.exec() != QDialog::Accepted) {
        return false;
    }
    const QString target = QFileDialog::getOpenFileName(this, QString(), QString(), Q(ws_.strings.cvnFilter));
    if (target.isEmpty()) {
        return false;
    }
    return AppendFramesToFile(ws_, prompt_, target.toStdString(), range.start(), range.end(), Progress()).ok();
}

bool CMainFrame::UniteFile() {
    // The merge tool is a program of its own beside this one; it runs in our language.
    const QString tool = QCoreApplication::applicationDirPath() + QStringLiteral("/fusebind");
    const int language = UsesChinese(ws_.app.language) ? int{ws_.app.language} : int{kLanguageEnglish};
    if (!startProgram_(tool, {QStringLiteral("--lang"), QString::number(language)})) {
        prompt_.Inform(texts::kOpenFileFail + std::string(" ") + tool.toStdString(), PromptIcon::Warning);
        return false;
    }
    return true;
}

void CMainFrame::About() {
    QMessageBox box(QMessageBox::NoIcon, Q(ws_.strings.aboutTitle),
                    Q(Format(ws_.strings.aboutText.c_str(), CORVANTINE_VERSION)), QMessageBox::Ok, this);
    const QIcon icon = QApplication::windowIcon();
    if (icon.isNull()) {
        box.setIcon(QMessageBox::Information);
    } else {
        box.setIconPixmap(icon.pixmap(64, 64));
    }
    box.button(QMessageBox::Ok)->setText(Q(ws_.strings.buttonOk));
    box.exec();
}

void CMainFrame::MarkClean(const QString& path) {
    documentFile_ = path;
    cleanFingerprint_ = DocumentFingerprint(ws_);
}

void CMainFrame::SetDocumentFile(const QString& path) { documentFile_ = path; }

bool CMainFrame::IsModified() const { return DocumentFingerprint(ws_) != cleanFingerprint_; }

bool CMainFrame::SaveModified() {
    if (!IsModified()) {
        return true;
    }
    switch (prompt_.AskYesNoCancel(ws_.strings.askSave)) {
        case Answer::Yes:
            return FileSave();
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
}

QString CMainFrame::RestartDocumentNow() const {
    if (ws_.documentPath.empty()) {
        return {};  // a new document that was never saved starts empty again
    }
    const QString file = documentFile_.isEmpty() ? Q(ws_.documentPath.string()) : documentFile_;
    const QFileInfo info(file);
    // A file that has gone away cannot be opened: start with a new document instead of
    // failing start-up.
    return info.isFile() ? info.absoluteFilePath() : QString();
}

void CMainFrame::BuildMenus() {
    const bool zh = UsesChinese(ws_.app.language);
    auto text = [&](const char* chinese, const char* english) {
        return zh ? Q(LocalizeText(chinese, ws_.app.language)) : QString::fromUtf8(english);
    };
    QMenu* file = menuBar()->addMenu(text("文件(&F)", "&File"));
    auto add = [&](QMenu* menu, const char* zhText, const char* enText, int id, const QKeySequence& key,
                   auto handler) {
        QAction* a = menu->addAction(text(zhText, enText));
        a->setData(id);
        if (!key.isEmpty()) {
            a->setShortcut(key);
        }
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    add(file, "新建(&N)", "&New", cmd::kNew, QKeySequence(), [this] { FileNew(); });
    add(file, "打开(&O)...", "&Open ...", cmd::kOpen, QKeySequence(Qt::CTRL | Qt::Key_O), [this] { FileOpen(); });
    add(file, "保存(&S)", "&Save", cmd::kSave, QKeySequence(Qt::CTRL | Qt::Key_S), [this] { FileSave(); });
    add(file, "另存为(&A)...", "Save &As...", cmd::kSaveAs, QKeySequence(), [this] { FileSaveAs(); });
    file->addSeparator();
    add(file, "追加", "Supplemental", cmd::kSupplemental, QKeySequence(Qt::Key_A), [this] { Supplemental(); });
    add(file, "输出控制器文件(&C)", "Output &Controller File", cmd::kOutputControllerFile, QKeySequence(Qt::Key_O),
        [this] { OutputControllerFile(); });
    add(file, "导入控制器文件", "Import Controller file", cmd::kImportControllerFile, QKeySequence(),
        [this] { ImportControllerFile(); });
    add(file, "文件合并", "Unite File", cmd::kUniteFile, QKeySequence(), [this] { UniteFile(); });
    file->addSeparator();
    QAction* exit = file->addAction(text("退出(&X)", "E&xit"));
    exit->setData(cmd::kExit);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    BuildEditMenu();

    QMenu* language = menuBar()->addMenu(text("语言(&L)", "&Language"));
    auto* group = new QActionGroup(this);
    const struct {
        int code;
        int id;
        const char* label;
    } langs[] = {{kLanguageSimplified, cmd::kLanguageSimplified, "Simplified han(简体中文)"},
                 {kLanguageTraditional, cmd::kLanguageTraditional, "Traditional(繁體中文)"},
                 {kLanguageEnglish, cmd::kLanguageEnglish, "&English"}};
    for (int i = 0; i < 3; ++i) {
        QAction* a = language->addAction(QString::fromUtf8(langs[i].label));
        a->setCheckable(true);
        a->setChecked(ws_.app.language == langs[i].code);
        a->setData(langs[i].id);
        group->addAction(a);
        const int code = langs[i].code;
        connect(a, &QAction::triggered, this, [this, code] { OnLanguage(code); });
        langActions_[i] = a;
    }

    QMenu* help = menuBar()->addMenu(text("帮助(&H)", "&Help"));
    QAction* about = help->addAction(text("关于(&A)...", "&About..."));
    about->setData(cmd::kAbout);
    connect(about, &QAction::triggered, this, &CMainFrame::About);
}

QAction* CMainFrame::languageAction(int code) const {
    if (code < 1 || code > 3) {
        return nullptr;
    }
    return langActions_[code - 1];
}

void CMainFrame::BuildControlBar() {
    QToolBar* bar = addToolBar(QStringLiteral("Control"));
    bar->setObjectName(QStringLiteral("controlBar"));
    bar->setMovable(false);

    frameScroll_ = new QScrollBar(Qt::Horizontal, bar);
    frameScroll_->setObjectName(QStringLiteral("1012"));
    frameScroll_->setRange(1, 100);
    frameScroll_->setSingleStep(1);
    frameScroll_->setPageStep(10);
    frameScroll_->setMinimumWidth(240);
    bar->addWidget(frameScroll_);

    frameNumber_ = new QSpinBox(bar);
    frameNumber_->setObjectName(QStringLiteral("1013"));
    frameNumber_->setRange(1, 100000000);
    frameNumber_->setValue(1);
    bar->addWidget(frameNumber_);

    bar->addSeparator();
    speed_ = new QSpinBox(bar);
    speed_->setObjectName(QStringLiteral("1049"));
    speed_->setRange(1, 1000);
    speed_->setValue(30);
    speed_->setSuffix(QStringLiteral(" fps"));
    bar->addWidget(speed_);

    bar->addSeparator();
    clipSelector_ = new QComboBox(bar);
    clipSelector_->setObjectName(QStringLiteral("1236"));
    clipSelector_->setMinimumWidth(120);
    bar->addWidget(clipSelector_);

    connect(frameScroll_, &QScrollBar::valueChanged, this, [this](int v) {
        if (!updating_) {
            frameNumber_->setValue(v);
        }
    });
    connect(frameNumber_, &QSpinBox::valueChanged, this, &CMainFrame::OnFrameNumberChanged);
    connect(clipSelector_, &QComboBox::activated, this, [this](int index) { ws_.frames.Select(index); });
}

void CMainFrame::OnFrameNumberChanged(int number) {
    if (updating_ || !ws_.frames.HasCurrent()) {
        return;
    }
    const int count = static_cast<int>(ws_.frames.CurrentFrames().size());
    updating_ = true;
    frameScroll_->setRange(1, std::max(1, count));
    frameScroll_->setValue(number);
    updating_ = false;
    ws_.app.currentFrame = std::clamp(number - 1, 0, std::max(0, count - 1));
    UpdateFrameCount();
    canvas_->update();
}

void CMainFrame::UpdateFrameCount() {
    const int count = ws_.frames.HasCurrent() ? static_cast<int>(ws_.frames.CurrentFrames().size()) : 0;
    frameCountPane_->setText(Q(Format(ws_.strings.frameCount.c_str(), count)));
}

void CMainFrame::ClipEntriesChanged(int count, int selected) {
    clipSelector_->clear();
    for (int i = 1; i <= count; ++i) {
        clipSelector_->addItem(Q(Format(ws_.strings.sceneFormat.c_str(), i)));
    }
    clipSelector_->setCurrentIndex(selected);
}

void CMainFrame::FrameNumberShown(int number) {
    frameNumber_->setValue(number);
    OnFrameNumberChanged(number);
}

void CMainFrame::RedrawRequested() {
    UpdateFrameCount();
    canvas_->update();
}

void CMainFrame::CheckRunningLanguage() {
    for (int i = 0; i < 3; ++i) {
        langActions_[i]->setChecked(ws_.app.language == i + 1);
    }
}

void CMainFrame::OnLanguage(int code) {
    // The running language stays ticked: the new one shows once the program runs in it.
    CheckRunningLanguage();
    // The restart closes the document: changes are saved or dropped first, and Cancel keeps
    // both the document and the language.
    if (code != ws_.app.language && !SaveModified()) {
        return;
    }
    if (ChangeLanguage(ws_, code)) {
        saveAsked_ = true;
        close();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!saveAsked_ && !SaveModified()) {
        event->ignore();
        return;
    }
    restartRequested_ = LanguageRestartNeeded(ws_);
    restartDocument_ = restartRequested_ ? RestartDocumentNow() : QString();
    event->accept();
}

}  // namespace corv
