#pragma once

#include "base/Prompt.h"

class QWidget;

namespace corv {

// Message boxes for the prompts of engine operations.
class QtPrompt : public Prompt {
public:
    explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }

    void Inform(const std::string& text, PromptIcon icon) override;
    Answer AskYesNo(const std::string& text) override;
    Answer AskYesNoCancel(const std::string& text) override;

private:
    QWidget* parent_;
};

}  // namespace corv
