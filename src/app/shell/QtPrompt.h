#pragma once

#include "base/Prompt.h"

class QWidget;

namespace corv {

struct UiStrings;

// Message boxes for the prompts of engine operations.
class QtPrompt : public Prompt {
public:
    explicit QtPrompt(QWidget* parent = nullptr) : parent_(parent) {}
    void SetParent(QWidget* parent) { parent_ = parent; }
    // The texts of the running language for the buttons; Qt's own when not set.
    void SetStrings(const UiStrings* strings) { strings_ = strings; }

    void Inform(const std::string& text, PromptIcon icon) override;
    Answer AskYesNo(const std::string& text) override;
    Answer AskYesNoCancel(const std::string& text) override;
    Answer AskOkCancel(const std::string& text) override;
    void InformDetailed(const std::string& text, const std::string& detail, PromptIcon icon) override;

private:
    Answer Ask(const std::string& text, bool withCancel);

    QWidget* parent_;
    const UiStrings* strings_ = nullptr;
};

}  // namespace corv
