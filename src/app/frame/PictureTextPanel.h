#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <functional>

#include "content/PictureText.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace corv {

struct UiStrings;
class Workspace;

// The "PictureAndText" sub-panel of the pattern panel: the list of text files and pictures,
// the typed text with its font and colour, the built text picture, "Stunt:", "Romance:",
// "Make frame number:" and "Text direction:".
class PictureTextPanel : public QWidget {
    Q_OBJECT
public:
    PictureTextPanel(std::uint8_t language, const UiStrings& strings, QWidget* parent = nullptr);

    // Browse's work after its file dialog.
    void AddFiles(const QStringList& paths);
    // Delete: the selected entries go; an empty list opens the list controls again and forgets
    // the text picture.
    void DeleteSelected();
    // Build picture: the typed text as the text picture of `size` on `background`.
    void BuildPicture(QSize size, QColor background);
    void SetFont(const QFont& font, QColor colour);
    // The values a run takes.
    PictureTextOptions options() const;
    int steps() const;
    int render() const;
    void SetSteps(int n);

    QListWidget* list() const { return list_; }
    QStringList paths() const { return paths_; }
    QLineEdit* textEdit() const { return text_; }
    QComboBox* stuntBox() const { return stunt_; }
    QComboBox* directionBox() const { return direction_; }
    QPushButton* buildButton() const { return build_; }
    QPushButton* browseButton() const { return browse_; }
    bool hasTextPicture() const { return !textPicture_.isNull(); }

    // Set by the main window: the working rectangle's size and the background colour, and how an
    // entry is opened for editing (text files in the default editor, pictures in the painter).
    std::function<QSize()> workingSize;
    std::function<QColor()> background;
    std::function<void(const QString& path, bool text)> openEntry;
    // Set by the main window: Browse opens in the folder last used for pictures.
    Workspace* workspace = nullptr;
    // The font and colour of the typed text.
    QFont textFont() const { return font_; }
    QColor textColour() const { return colour_; }

private:
    void UpdateEnabled();
    void ChooseFont();

    std::uint8_t language_;
    QListWidget* list_;
    QStringList paths_;
    QPushButton* browse_;
    QPushButton* delete_;
    QPushButton* edit_;
    QLineEdit* text_;
    QPushButton* fontButton_;
    QPushButton* build_;
    QComboBox* stunt_;
    QComboBox* romance_;
    QSpinBox* frames_;
    QComboBox* direction_;
    QFont font_;
    QColor colour_ = Qt::red;
    QImage textPicture_;
    bool vertical_ = false;
};

}  // namespace corv
