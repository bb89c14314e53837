#pragma once

#include <QMainWindow>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "content/DesignHistory.h"
#include "project/Frame.h"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QDockWidget;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTimer;

namespace corv {


class CEffectView;
class MusicPlayer;
class Prompt;
class Workspace;

// The design editor: the design canvas with its menus and the tool panel (layers, tools and
// the values of the selected items). It lives inside the main window, which shows it in place
// of the frame view (Shift+E); Return (Esc) goes back.
class CDesignFrame : public QMainWindow {
    Q_OBJECT
public:
    CDesignFrame(Workspace& ws, Prompt& prompt, QWidget* parent = nullptr);
    ~CDesignFrame() override;

    // Shown: the canvas gets 800 x 600 when it has no size yet, a design gets one layer.
    void Enter();
    CEffectView* view() const { return view_; }
    QAction* action(int id) const;
    QListWidget* layerList() const { return layers_; }
    DesignHistory& history() { return *history_; }
    // The design has edits since the document was last saved (undone edits are none); the
    // title's "[*]" follows it.
    bool IsModified() const { return !history_->AtSaved(); }
    // The document was saved or opened: the design as it is now is the saved one.
    void MarkSaved();

    // Commands (the menus call them; tests too). Each records a snapshot when it changed something.
    void NewLayer();
    bool DeleteLayer();
    bool MoveLayer(bool up);
    bool Group();
    bool Ungroup();
    bool MakeMask();
    bool ClearMask();
    bool Copy();
    bool Cut();
    bool Paste();
    bool DeleteSelected();
    bool Undo();
    bool Redo();
    bool AddPictureArea();
    bool AddPicture(const QString& path, QRectF box);
    bool AddText(const QString& text, QRectF box);
    bool SetMusic(const QString& path = {});
    void ClearMusic();
    bool ExportEffect(const QString& path = {});
    // Appends `frames` frames of the played design to the current clip (asks when 0).
    int RenderFrames(int frames = 0);
    void Play();
    void Stop();
    bool playing() const;
    MusicPlayer& music() { return *music_; }
    // The value edits of the tool panel.
    void ApplyColour(std::uint32_t rgb);
    // The face and pixel height of new text items, and of the selected ones.
    void ApplyFont(const QString& face, int pixelHeight);
    QString textFace() const { return textFace_; }
    // Every edit: a snapshot, the panel refreshed.
    void Edited();

    // The play interval in milliseconds (the main window's speed); 40 when not set.
    std::function<int()> playInterval;
    // While playing, each frame of the design as the current clip's frames would show it, for
    // live output; asked for only while `wantsPlayedFrames` says so.
    std::function<bool()> wantsPlayedFrames;
    std::function<void(const Frame&)> playedFrame;

signals:
    void returned();
    // Frames were appended to the current clip.
    void framesAdded();
    // The design's modified state may have changed.
    void modifiedChanged();

private:
    // The design at play time `tick` as a frame of the given size, and as a frame of the
    // current clip's size (nothing without a clip).
    Frame DesignFrame(std::size_t tick, int width, int height) const;
    std::optional<Frame> RenderedFrame(std::size_t tick) const;
    void BuildMenus();
    void BuildPanel();
    void RefreshLayers();
    void RefreshValues();
    void UpdateModified();
    void SetCurrentLayer(int index);
    // After undo or redo restored a snapshot (nothing when it could not).
    bool Restored(std::optional<int> layer);

    Workspace& ws_;
    Prompt& prompt_;
    std::unique_ptr<DesignHistory> history_;
    CEffectView* view_;
    QDockWidget* dock_ = nullptr;
    QListWidget* layers_ = nullptr;
    QPushButton* colourButton_ = nullptr;
    QComboBox* lineWidth_ = nullptr;
    QCheckBox* fill_ = nullptr;
    QSpinBox* angle_ = nullptr;
    QSpinBox* posX_ = nullptr;
    QSpinBox* posY_ = nullptr;
    QDoubleSpinBox* sizeW_ = nullptr;
    QDoubleSpinBox* sizeH_ = nullptr;
    QSpinBox* parameter_ = nullptr;
    QActionGroup* tools_ = nullptr;
    std::map<int, QAction*> actions_;
    QTimer* timer_ = nullptr;
    MusicPlayer* music_ = nullptr;
    int layerCounter_ = 0;
    QString textFace_ = QStringLiteral("DejaVu Sans");
    int textHeight_ = 0;  // 0: from the text's box
    bool updating_ = false;
};

}  // namespace corv
