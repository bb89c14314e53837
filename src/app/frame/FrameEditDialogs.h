#pragma once

#include <QDialog>
#include <cstdint>

#include "project/FrameRange.h"

class QCheckBox;
class QComboBox;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace corv {

struct UiStrings;

// The frame range dialogs of the frame view. Each checks its range when confirmed ("Parameter
// mistake!" and the dialog stays open) and hands its values to the engine's range operations.

// "Frame operate": Start and End frame with "First frame" / "Last frame", and in copy mode
// "Copy to clipboard." or "Repeat time of every frame:", in delete mode "Delete appoint range
// of all frame." or "Space frame numbers:".
class CRangeOperateDialog : public QDialog {
    Q_OBJECT
public:
    enum class Mode { Copy, Delete };
    CRangeOperateDialog(Mode mode, int current, int frameCount, std::uint8_t language, const UiStrings& strings,
                        QWidget* parent = nullptr);
    int start() const;  // 1-based
    int end() const;
    bool second() const;  // "Repeat time ..." / "Space frame numbers:" chosen
    int number() const;   // the repeat count or the spacing
    QSpinBox* startEdit() const { return start_; }
    QSpinBox* endEdit() const { return end_; }
    QRadioButton* secondChoice() const { return second_; }
    QSpinBox* numberEdit() const { return number_; }
    void accept() override;

private:
    int frameCount_;
    const UiStrings& strings_;
    QSpinBox* start_;
    QSpinBox* end_;
    QRadioButton* second_;
    QSpinBox* number_;
};

// "Paste": Place, Times, Insert or Overlay, the direction, "Reverse order" and the combination
// (each entry's tooltip gives its rule).
class CPasteDialog : public QDialog {
    Q_OBJECT
public:
    CPasteDialog(int current, int frameCount, std::uint8_t language, const UiStrings& strings, QWidget* parent = nullptr);
    PasteOptions options() const;  // place is 0-based
    QSpinBox* placeEdit() const { return place_; }
    QSpinBox* timesEdit() const { return times_; }
    QComboBox* modeBox() const { return mode_; }
    QComboBox* directionBox() const { return direction_; }
    QComboBox* combineBox() const { return combine_; }
    QCheckBox* reverseBox() const { return reverse_; }

private:
    QSpinBox* place_;
    QSpinBox* times_;
    QComboBox* mode_;
    QComboBox* direction_;
    QCheckBox* reverse_;
    QComboBox* combine_;
};

// "Steps paste": the direction, "Start Frame:" and "Frame interval:".
class CStepsPasteDialog : public QDialog {
    Q_OBJECT
public:
    CStepsPasteDialog(int current, int frameCount, std::uint8_t language, const UiStrings& strings,
                      QWidget* parent = nullptr);
    int startFrame() const;
    int interval() const;
    bool backwards() const;
    QSpinBox* startEdit() const { return start_; }
    QSpinBox* intervalEdit() const { return interval_; }
    QRadioButton* backwardsChoice() const { return backwards_; }

private:
    QSpinBox* start_;
    QSpinBox* interval_;
    QRadioButton* backwards_;
};

// "Frame processing" with its "Frame move" page ("Design switch" comes with the transitions
// and is shown disabled).
class CFrameProcessDialog : public QDialog {
    Q_OBJECT
public:
    CFrameProcessDialog(int frameCount, std::uint8_t language, const UiStrings& strings, QWidget* parent = nullptr);
    int start() const;
    int end() const;
    MoveDirection direction() const;
    int ranks() const;
    bool increments() const;
    QSpinBox* startEdit() const { return start_; }
    QSpinBox* endEdit() const { return end_; }
    QSpinBox* ranksEdit() const { return ranks_; }
    QRadioButton* directionChoice(MoveDirection d) const { return directions_[static_cast<int>(d)]; }
    QCheckBox* incrementsBox() const { return increments_; }
    // The "Design switch" page is the one shown, and its transition kind (0..57).
    bool designSwitch() const;
    int transitionKind() const;
    QTabWidget* pages() const { return tabs_; }
    QComboBox* kindBox() const { return kind_; }
    void accept() override;

private:
    int frameCount_;
    const UiStrings& strings_;
    QSpinBox* start_;
    QSpinBox* end_;
    QTabWidget* tabs_ = nullptr;
    QComboBox* kind_ = nullptr;
    QRadioButton* directions_[4];
    QSpinBox* ranks_;
    QCheckBox* increments_;
};

// "Row Col Delete": the range and "Reserve N row,Delete M row" / "Reserve N col,Delete M col".
class CRowColDeleteDialog : public QDialog {
    Q_OBJECT
public:
    CRowColDeleteDialog(int frameCount, std::uint8_t language, const UiStrings& strings, QWidget* parent = nullptr);
    int start() const;
    int end() const;
    int keepRows() const;
    int deleteRows() const;
    int keepCols() const;
    int deleteCols() const;
    QSpinBox* startEdit() const { return start_; }
    QSpinBox* endEdit() const { return end_; }
    void accept() override;

private:
    int frameCount_;
    const UiStrings& strings_;
    QSpinBox* start_;
    QSpinBox* end_;
    QSpinBox* values_[4];
};

}  // namespace corv
