#include "base/Prompt.h"

#include <ostream>

namespace corv {

void StreamPrompt::Inform(const std::string& text, PromptIcon) {
    out_ << text << '\n';
}

Answer StreamPrompt::AskYesNo(const std::string& text) {
    out_ << text << '\n';
    return answer_ == Answer::Cancel ? Answer::No : answer_;
}

Answer StreamPrompt::AskYesNoCancel(const std::string& text) {
    out_ << text << '\n';
    return answer_;
}

Answer RecordingPrompt::Next() {
    if (script_.empty()) {
        return fallback_;
    }
    Answer a = script_.front();
    script_.pop_front();
    return a;
}

void RecordingPrompt::Inform(const std::string& text, PromptIcon icon) {
    messages_.push_back(text);
    icons_.push_back(icon);
}

Answer RecordingPrompt::AskYesNo(const std::string& text) {
    questions_.push_back(text);
    Answer a = Next();
    return a == Answer::Cancel ? Answer::No : a;
}

Answer RecordingPrompt::AskYesNoCancel(const std::string& text) {
    questions_.push_back(text);
    return Next();
}

}  // namespace corv
