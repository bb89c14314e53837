#include "app/shell/ManualViewer.h"

#include <QAction>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfSearchModel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/Prompt.h"
#include "lang/QtText.h"
#include "lang/messages/ShellMessages.h"
#include "lang/messages/CommonMessages.h"

namespace corv {

namespace {

// Pixels per PDF point at zoom 1: a page at 96 pixels per inch.
constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr double kZoomStep = 1.25;

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setAutoDefault(false);
    return b;
}

QString LoadProblem(std::uint8_t language, QPdfDocument::Error error) {
    switch (error) {
        case QPdfDocument::Error::FileNotFound:
            return RenderQt(msg::shell::kManualMissingFile, language);
        case QPdfDocument::Error::InvalidFileFormat:
            return RenderQt(msg::shell::kManualInvalidPdf, language);
        case QPdfDocument::Error::IncorrectPassword:
            return RenderQt(msg::shell::kManualPassword, language);
        case QPdfDocument::Error::UnsupportedSecurityScheme:
            return RenderQt(msg::shell::kManualUnsupportedSecurity, language);
        default:
            return RenderQt(msg::shell::kManualUnreadable, language);
    }
}

}  // namespace

ManualViewer::ManualViewer(Prompt& prompt, std::uint8_t language, FileOpener openExternally, QWidget* parent)
    : QWidget(parent, Qt::Window), prompt_(prompt), language_(language), openExternally_(std::move(openExternally)) {
    setObjectName(QStringLiteral("ManualViewer"));
    setWindowTitle(RenderQt(msg::shell::kManualTitle, language_));
    document_ = new QPdfDocument(this);
    search_ = new QPdfSearchModel(this);

    previous_ = Button(RenderQt(msg::shell::kPreviousPage, language_), "previousPage", this);
    next_ = Button(RenderQt(msg::shell::kNextPage, language_), "nextPage", this);
    pageNumber_ = new QSpinBox(this);
    pageNumber_->setObjectName(QStringLiteral("pageNumber"));
    pageNumber_->setRange(1, 1);
    pageNumber_->setKeyboardTracking(false);
    pageCount_ = new QLabel(this);
    pageCount_->setObjectName(QStringLiteral("pageCount"));
    QPushButton* zoomOut = Button(RenderQt(msg::common::kZoomOut, language_), "zoomOut", this);
    QPushButton* zoomIn = Button(RenderQt(msg::common::kZoomIn, language_), "zoomIn", this);
    QPushButton* fitWidth = Button(RenderQt(msg::shell::kFitWidth, language_), "fitWidth", this);
    zoomLevel_ = new QLabel(this);
    zoomLevel_->setObjectName(QStringLiteral("zoomLevel"));
    findText_ = new QLineEdit(this);
    findText_->setObjectName(QStringLiteral("findText"));
    findText_->setPlaceholderText(RenderQt(msg::shell::kFind, language_));
    findText_->setClearButtonEnabled(true);
    findPrevious_ = Button(RenderQt(msg::shell::kFindPrevious, language_), "findPrevious", this);
    findNext_ = Button(RenderQt(msg::shell::kFindNext, language_), "findNext", this);
    findStatus_ = new QLabel(this);
    findStatus_->setObjectName(QStringLiteral("findStatus"));
    QPushButton* external = Button(RenderQt(msg::shell::kOpenInDesktopViewer, language_), "openExternally", this);

    pageImage_ = new QLabel;
    pageImage_->setObjectName(QStringLiteral("pageImage"));
    pageImage_->setAlignment(Qt::AlignCenter);
    scroll_ = new QScrollArea(this);
    scroll_->setObjectName(QStringLiteral("pageArea"));
    scroll_->setWidget(pageImage_);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);

    auto* bar = new QHBoxLayout;
    bar->addWidget(previous_);
    bar->addWidget(next_);
    bar->addWidget(new QLabel(RenderQt(msg::shell::kPageLabel, language_), this));
    bar->addWidget(pageNumber_);
    bar->addWidget(pageCount_);
    bar->addSpacing(12);
    bar->addWidget(zoomOut);
    bar->addWidget(zoomLevel_);
    bar->addWidget(zoomIn);
    bar->addWidget(fitWidth);
    bar->addStretch(1);
    auto* findBar = new QHBoxLayout;
    findBar->addWidget(findText_, 1);
    findBar->addWidget(findPrevious_);
    findBar->addWidget(findNext_);
    findBar->addWidget(findStatus_, 1);
    findBar->addWidget(external);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addLayout(findBar);
    layout->addWidget(scroll_, 1);
    resize(900, 760);

    connect(previous_, &QPushButton::clicked, this, &ManualViewer::PreviousPage);
    connect(next_, &QPushButton::clicked, this, &ManualViewer::NextPage);
    connect(pageNumber_, &QSpinBox::valueChanged, this, [this](int number) { GoToPage(number - 1); });
    connect(zoomOut, &QPushButton::clicked, this, &ManualViewer::ZoomOut);
    connect(zoomIn, &QPushButton::clicked, this, &ManualViewer::ZoomIn);
    connect(fitWidth, &QPushButton::clicked, this, &ManualViewer::FitWidth);
    // Enter searches (again: the next hit), the buttons step through the hits.
    connect(findText_, &QLineEdit::returnPressed, this, [this] {
        if (findText_->text() == search_->searchString() && !hits_.empty()) {
            NextHit();
        } else {
            Find(findText_->text());
        }
    });
    connect(findNext_, &QPushButton::clicked, this, [this] {
        if (findText_->text() != search_->searchString()) {
            Find(findText_->text());
        } else {
            NextHit();
        }
    });
    connect(findPrevious_, &QPushButton::clicked, this, [this] {
        if (findText_->text() != search_->searchString()) {
            Find(findText_->text());
        } else {
            PreviousHit();
        }
    });
    connect(external, &QPushButton::clicked, this, &ManualViewer::OpenExternally);

    auto shortcut = [this](const QKeySequence& key, auto slot) {
        auto* a = new QAction(this);
        a->setShortcut(key);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
    };
    shortcut(QKeySequence(Qt::Key_PageDown), [this] { NextPage(); });
    shortcut(QKeySequence(Qt::Key_PageUp), [this] { PreviousPage(); });
    shortcut(QKeySequence::ZoomIn, [this] { ZoomIn(); });
    shortcut(QKeySequence::ZoomOut, [this] { ZoomOut(); });
    shortcut(QKeySequence::Find, [this] {
        findText_->setFocus();
        findText_->selectAll();
    });
    shortcut(QKeySequence::FindNext, [this] { NextHit(); });
    shortcut(QKeySequence::FindPrevious, [this] { PreviousHit(); });

    UpdateControls();
}

ManualViewer::~ManualViewer() = default;

QString ManualViewer::Open(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    auto* loaded = new QPdfDocument(this);
    const QPdfDocument::Error error = loaded->load(path);
    QString problem;
    if (error != QPdfDocument::Error::None || loaded->status() != QPdfDocument::Status::Ready) {
        problem = LoadProblem(language_, error == QPdfDocument::Error::None ? QPdfDocument::Error::Unknown : error);
    } else if (loaded->pageCount() < 1) {
        problem = RenderQt(msg::shell::kManualNoPages, language_);
    }
    if (!problem.isEmpty()) {
        delete loaded;
        return RenderQt(msg::shell::kManualNotShown, language_)
            .arg(path, problem);
    }
    search_->setDocument(loaded);
    delete document_;
    document_ = loaded;
    path_ = path;
    page_ = 0;
    hits_.clear();
    hit_ = -1;
    findStatus_->clear();
    setWindowTitle(RenderQt(msg::shell::kManualTitleWithName, language_).arg(name));
    {
        const QSignalBlocker blocker(pageNumber_);
        pageNumber_->setRange(1, pageCount());
        pageNumber_->setValue(1);
    }
    pageCount_->setText(RenderQt(msg::shell::kPageCount, language_).arg(pageCount()));
    ShowPage();
    // A search still typed in looks in the new manual.
    if (!findText_->text().isEmpty()) Find(findText_->text());
    return {};
}

int ManualViewer::pageCount() const { return path_.isEmpty() ? 0 : document_->pageCount(); }

void ManualViewer::GoToPage(int page) {
    if (pageCount() == 0) return;
    page = std::clamp(page, 0, pageCount() - 1);
    if (page == page_) {
        UpdateControls();
        return;
    }
    page_ = page;
    ShowPage();
    scroll_->verticalScrollBar()->setValue(0);
}

void ManualViewer::SetZoom(double zoom) {
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == zoom_) return;
    zoom_ = zoom;
    ShowPage();
}

void ManualViewer::ZoomIn() { SetZoom(zoom_ * kZoomStep); }

void ManualViewer::ZoomOut() { SetZoom(zoom_ / kZoomStep); }

void ManualViewer::FitWidth() {
    if (pageCount() == 0) return;
    const double points = document_->pagePointSize(page_).width();
    // The viewport less a small margin, and room for the vertical scroll bar.
    const int width = scroll_->viewport()->width() - scroll_->verticalScrollBar()->sizeHint().width() - 8;
    if (points > 0 && width > 0) SetZoom(width / (points * kPixelsPerPoint));
}

int ManualViewer::Find(const QString& text) {
    hits_.clear();
    hit_ = -1;
    search_->setSearchString(text);
    if (!text.isEmpty() && pageCount() > 0) {
        // Page by page at once (the model would otherwise search in the background on a timer).
        for (int page = 0; page < pageCount(); ++page) {
            for (const QPdfLink& link : search_->resultsOnPage(page)) hits_.push_back(link);
        }
        if (!hits_.empty()) {
            const auto from = std::find_if(hits_.begin(), hits_.end(), [this](const QPdfLink& l) { return l.page() >= page_; });
            hit_ = from == hits_.end() ? 0 : static_cast<int>(from - hits_.begin());
        }
    }
    if (findText_->text() != text) {
        const QSignalBlocker blocker(findText_);
        findText_->setText(text);
    }
    ShowHit();
    return hitCount();
}

void ManualViewer::NextHit() {
    if (hits_.empty()) return;
    hit_ = (hit_ + 1) % hitCount();
    ShowHit();
}

void ManualViewer::PreviousHit() {
    if (hits_.empty()) return;
    hit_ = (hit_ + hitCount() - 1) % hitCount();
    ShowHit();
}

bool ManualViewer::OpenExternally() {
    if (path_.isEmpty()) return false;
    if (openExternally_ && openExternally_(path_)) return true;
    prompt_.Inform(NoDesktopViewerText(language_, path_).toStdString(), PromptIcon::Warning);
    return false;
}

QString ManualViewer::MissingText(std::uint8_t language, const QString& fileName,
                                  const std::vector<std::filesystem::path>& folders) {
    QStringList places;
    for (const auto& folder : folders) {
        if (!folder.empty() && !places.contains(QString::fromStdString(folder.string()))) {
            places << QString::fromStdString(folder.string());
        }
    }
    const QString english = QStringLiteral("Help_e.pdf");
    const QString names = fileName == english ? fileName : RenderQt(msg::shell::kEitherManual, language).arg(fileName, english);
    return RenderQt(msg::shell::kManualNotThere, language)
        .arg(names, places.join(QStringLiteral(", ")));
}

QString ManualViewer::AskExternalText(std::uint8_t language) {
    return RenderQt(msg::shell::kAskDesktopViewer, language);
}

QString ManualViewer::NoDesktopViewerText(std::uint8_t language, const QString& path) {
    return RenderQt(msg::shell::kNoDesktopViewer, language)
        .arg(path);
}

void ManualViewer::ShowPage() {
    if (pageCount() == 0) {
        pageImage_->clear();
        UpdateControls();
        return;
    }
    const double scale = zoom_ * kPixelsPerPoint;
    const QSizeF points = document_->pagePointSize(page_);
    const QSize size(std::max(1, static_cast<int>(std::lround(points.width() * scale))),
                     std::max(1, static_cast<int>(std::lround(points.height() * scale))));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.drawImage(0, 0, document_->render(page_, size));
        // Every hit on this page in yellow, the current one stronger and framed.
        for (int i = 0; i < hitCount(); ++i) {
            const QPdfLink& link = hits_[static_cast<std::size_t>(i)];
            if (link.page() != page_) continue;
            const bool current = i == hit_;
            QRectF frame;
            for (const QRectF& r : link.rectangles()) {
                const QRectF onPage(r.x() * scale, r.y() * scale, r.width() * scale, r.height() * scale);
                painter.fillRect(onPage, current ? QColor(255, 140, 0, 110) : QColor(255, 230, 0, 100));
                frame = frame.isNull() ? onPage : frame.united(onPage);
            }
            if (current && !frame.isNull()) {
                painter.setPen(QPen(QColor(230, 90, 0), 1.5));
                painter.setBrush(Qt::NoBrush);
                painter.drawRect(frame.adjusted(-1.5, -1.5, 1.5, 1.5));
            }
        }
    }
    pageImage_->setPixmap(QPixmap::fromImage(image));
    pageImage_->resize(size);
    UpdateControls();
}

void ManualViewer::ShowHit() {
    if (hit_ < 0) {
        findStatus_->setText(search_->searchString().isEmpty()
                                 ? QString()
                                 : RenderQt(msg::shell::kNotFound, language_).arg(search_->searchString()));
        ShowPage();  // takes the old marks away
        return;
    }
    findStatus_->setText(QStringLiteral("%1 / %2").arg(hit_ + 1).arg(hitCount()));
    const QPdfLink& link = hits_[static_cast<std::size_t>(hit_)];
    page_ = std::clamp(link.page(), 0, pageCount() - 1);
    ShowPage();
    if (!link.rectangles().isEmpty()) {
        const double scale = zoom_ * kPixelsPerPoint;
        const QRectF r = link.rectangles().front();
        scroll_->ensureVisible(static_cast<int>(r.center().x() * scale), static_cast<int>(r.center().y() * scale),
                               60, 80);
    }
}

void ManualViewer::UpdateControls() {
    const int pages = pageCount();
    previous_->setEnabled(pages > 0 && page_ > 0);
    next_->setEnabled(pages > 0 && page_ < pages - 1);
    pageNumber_->setEnabled(pages > 0);
    if (pages > 0 && pageNumber_->value() != page_ + 1) {
        const QSignalBlocker blocker(pageNumber_);
        pageNumber_->setValue(page_ + 1);
    }
    zoomLevel_->setText(QStringLiteral("%1%").arg(std::lround(zoom_ * 100)));
    findPrevious_->setEnabled(pages > 0);
    findNext_->setEnabled(pages > 0);
    findText_->setEnabled(pages > 0);
}

}  // namespace corv
