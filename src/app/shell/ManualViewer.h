#pragma once

#include <QList>
#include <QPdfLink>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPdfDocument;
class QPdfSearchModel;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace corv {

class Prompt;

// The user manual inside the program: one page at a time with previous / next and a page
// number, zoom, and a search whose hits are marked on the page. The desktop's own PDF viewer
// is used only when asked for ("Open in the desktop's viewer").
class ManualViewer : public QWidget {
    Q_OBJECT
public:
    using FileOpener = std::function<bool(const QString& path)>;

    ManualViewer(Prompt& prompt, std::uint8_t language, FileOpener openExternally, QWidget* parent = nullptr);
    ~ManualViewer() override;

    // Loads a manual and shows its first page. Empty on success, else why it cannot be shown,
    // in the program's language (the viewer then stays as it was).
    QString Open(const QString& path);
    QString path() const { return path_; }

    int pageCount() const;
    int currentPage() const { return page_; }  // 0-based
    void GoToPage(int page);                   // kept to the pages there are
    void NextPage() { GoToPage(page_ + 1); }
    void PreviousPage() { GoToPage(page_ - 1); }

    // Zoom factor, 1 = the page at 96 pixels per inch.
    double zoom() const { return zoom_; }
    void SetZoom(double zoom);  // kept to kMinZoom..kMaxZoom
    void ZoomIn();
    void ZoomOut();
    void FitWidth();
    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 4.0;

    // Searches the whole manual (letter case ignored) and goes to the first hit on or after
    // the current page. Returns the number of hits.
    int Find(const QString& text);
    int hitCount() const { return static_cast<int>(hits_.size()); }
    int currentHit() const { return hit_; }  // 0-based, -1 without hits
    const QPdfLink& hit(int index) const { return hits_[static_cast<std::size_t>(index)]; }
    void NextHit();
    void PreviousHit();

    // Hands the manual to the desktop's PDF viewer; says why when that is not possible.
    bool OpenExternally();

    // The messages of Help, in the program's language.
    static QString MissingText(std::uint8_t language, const QString& fileName,
                               const std::vector<std::filesystem::path>& folders);
    static QString AskExternalText(std::uint8_t language);
    static QString NoDesktopViewerText(std::uint8_t language, const QString& path);

private:
    void ShowPage();
    void ShowHit();
    void UpdateControls();

    Prompt& prompt_;
    std::uint8_t language_;
    FileOpener openExternally_;
    QPdfDocument* document_ = nullptr;
    QPdfSearchModel* search_ = nullptr;
    QString path_;
    int page_ = 0;
    double zoom_ = 1.0;
    std::vector<QPdfLink> hits_;
    int hit_ = -1;

    QPushButton* previous_ = nullptr;
    QPushButton* next_ = nullptr;
    QSpinBox* pageNumber_ = nullptr;
    QLabel* pageCount_ = nullptr;
    QLabel* zoomLevel_ = nullptr;
    QLineEdit* findText_ = nullptr;
    QPushButton* findPrevious_ = nullptr;
    QPushButton* findNext_ = nullptr;
    QLabel* findStatus_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QLabel* pageImage_ = nullptr;
};

}  // namespace corv
