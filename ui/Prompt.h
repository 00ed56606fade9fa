#pragma once
// Every message box, question and chooser of the workbench goes through the current Prompt, so
// tests can script the answers instead of a person.
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QWidget;

namespace quilvane {

class Prompt {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~Prompt() = default;
    // An information or error message with an OK button.
    virtual void Inform(QWidget* owner, const QString& text) = 0;
    // A question with Yes and No, and Cancel when `withCancel`.
    virtual Answer Ask(QWidget* owner, const QString& text, bool withCancel = false) = 0;
    // A folder chooser preselecting `start`; nullopt when cancelled.
    virtual std::optional<QString> ChooseFolder(QWidget* owner, const QString& title,
                                                const QString& start) = 0;
    // A file chooser for opening (`save` false) or saving; nullopt when cancelled.
    virtual std::optional<QString> ChooseFile(QWidget* owner, const QString& title, const QString& start,
                                              const QString& filter, bool save) = 0;
    // A question answered by one line of text, offered as `initial`; nullopt when cancelled.
    // Prompts that cannot ask for text cancel.
    virtual std::optional<QString> AskText(QWidget* owner, const QString& text, const QString& initial);
};

// Tells that no program could be started on the file or page at `diskPath`: the path, then
// "を開けません".
void InformCannotOpen(QWidget* owner, const std::string& diskPath);

// The prompt in use; a QtPrompt unless a test installed another.
Prompt& CurrentPrompt();
// Installs `prompt` (not owned); nullptr restores the Qt prompt.
void SetPrompt(Prompt* prompt);

class QtPrompt final : public Prompt {
public:
    void Inform(QWidget* owner, const QString& text) override;
    Answer Ask(QWidget* owner, const QString& text, bool withCancel) override;
    std::optional<QString> ChooseFolder(QWidget* owner, const QString& title, const QString& start) override;
    std::optional<QString> ChooseFile(QWidget* owner, const QString& title, const QString& start,
                                      const QString& filter, bool save) override;
    std::optional<QString> AskText(QWidget* owner, const QString& text, const QString& initial) override;
};

// A prompt for tests: records every text shown and answers from scripted queues (defaults:
// cancelled choosers and text questions). Choosers and text questions share the `choices` queue.
// A question asked when no answer is left is a mistake of the test: it goes to the handler the
// test program installs (which fails the running test) and is then answered No.
class ScriptedPrompt final : public Prompt {
public:
    using UnscriptedHandler = std::function<void(const QString& question)>;
    static void SetUnscriptedHandler(UnscriptedHandler handler);

    std::vector<QString> shown;
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> choices;

    void Inform(QWidget*, const QString& text) override { shown.push_back(text); }
    Answer Ask(QWidget*, const QString& text, bool) override
    {
        shown.push_back(text);
        if (answers.empty()) {
            ReportUnscripted(text);
            return Answer::No;
        }
        Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<QString> ChooseFolder(QWidget*, const QString& title, const QString&) override
    {
        return Next(title);
    }
    std::optional<QString> ChooseFile(QWidget*, const QString& title, const QString&, const QString&,
                                      bool) override
    {
        return Next(title);
    }
    std::optional<QString> AskText(QWidget*, const QString& text, const QString&) override
    {
        return Next(text);
    }

private:
    static void ReportUnscripted(const QString& question);

    std::optional<QString> Next(const QString& title)
    {
        shown.push_back(title);
        if (choices.empty()) {
            return std::nullopt;
        }
        auto c = choices.front();
        choices.pop_front();
        return c;
    }
};

} // namespace quilvane
