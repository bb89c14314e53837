#pragma once

#include <deque>
#include <iosfwd>
#include <string>
#include <vector>

namespace corv {

enum class PromptIcon { Information, Warning, Error, Question };
enum class Answer { Yes, No, Cancel };

// The questions and messages an operation puts to the user. The GUI shows message boxes,
// the command line prints and answers from its options, tests script the answers.
class Prompt {
public:
    virtual ~Prompt() = default;
    virtual void Inform(const std::string& text, PromptIcon icon = PromptIcon::Information) = 0;
    virtual Answer AskYesNo(const std::string& text) = 0;
    virtual Answer AskYesNoCancel(const std::string& text) = 0;
    // A question with OK (Yes) and Cancel (No) buttons; the same as AskYesNo where there are no buttons.
    virtual Answer AskOkCancel(const std::string& text) { return AskYesNo(text); }
    // A message with detail lines (a message box's informative text); where there is no
    // box the detail follows the text.
    virtual void InformDetailed(const std::string& text, const std::string& detail,
                                PromptIcon icon = PromptIcon::Information) {
        Inform(detail.empty() ? text : text + "\n" + detail, icon);
    }
};

// Prints every message to a stream and answers every question with a fixed answer.
class StreamPrompt : public Prompt {
public:
    StreamPrompt(std::ostream& out, Answer answer) : out_(out), answer_(answer) {}
    void Inform(const std::string& text, PromptIcon icon) override;
    Answer AskYesNo(const std::string& text) override;
    Answer AskYesNoCancel(const std::string& text) override;

private:
    std::ostream& out_;
    Answer answer_;
};

// Records every message and answers from a script (then with the fallback answer).
class RecordingPrompt : public Prompt {
public:
    explicit RecordingPrompt(Answer fallback = Answer::Yes) : fallback_(fallback) {}
    void Inform(const std::string& text, PromptIcon icon) override;
    Answer AskYesNo(const std::string& text) override;
    Answer AskYesNoCancel(const std::string& text) override;
    // Records the text among the messages and the detail among the details.
    void InformDetailed(const std::string& text, const std::string& detail, PromptIcon icon) override {
        Inform(text, icon);
        details_.push_back(detail);
    }

    void Script(Answer answer) { script_.push_back(answer); }
    const std::vector<std::string>& details() const { return details_; }
    const std::vector<std::string>& messages() const { return messages_; }
    const std::vector<std::string>& questions() const { return questions_; }
    const std::vector<PromptIcon>& icons() const { return icons_; }

private:
    Answer Next();

    Answer fallback_;
    std::deque<Answer> script_;
    std::vector<std::string> messages_;
    std::vector<std::string> questions_;
    std::vector<PromptIcon> icons_;
    std::vector<std::string> details_;
};

}  // namespace corv
