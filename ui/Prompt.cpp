#include "ui/Prompt.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <utility>

#include "ui/QtText.h"

namespace quilvane {
namespace {

Prompt*& Installed()
{
    static Prompt* prompt = nullptr;
    return prompt;
}

const QString Caption = QStringLiteral("Quilvane");

ScriptedPrompt::UnscriptedHandler& Unscripted()
{
    static ScriptedPrompt::UnscriptedHandler handler;
    return handler;
}

} // namespace

Prompt& CurrentPrompt()
{
    static QtPrompt qtPrompt;
    return Installed() ? *Installed() : qtPrompt;
}

void SetPrompt(Prompt* prompt)
{
    Installed() = prompt;
}

void ScriptedPrompt::SetUnscriptedHandler(UnscriptedHandler handler)
{
    Unscripted() = std::move(handler);
}

void ScriptedPrompt::ReportUnscripted(const QString& question)
{
    if (Unscripted()) {
        Unscripted()(question);
    }
}

void InformCannotOpen(QWidget* owner, const std::string& diskPath)
{
    CurrentPrompt().Inform(owner, DiskPathToQ(diskPath) + QStringLiteral("\nを開けません"));
}

void QtPrompt::Inform(QWidget* owner, const QString& text)
{
    QMessageBox::information(owner, Caption, text);
}

Prompt::Answer QtPrompt::Ask(QWidget* owner, const QString& text, bool withCancel)
{
    auto buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) {
        buttons |= QMessageBox::Cancel;
    }
    auto result = QMessageBox::question(owner, Caption, text, buttons, QMessageBox::Yes);
    return result == QMessageBox::Yes ? Answer::Yes : result == QMessageBox::No ? Answer::No : Answer::Cancel;
}

std::optional<QString> QtPrompt::ChooseFolder(QWidget* owner, const QString& title, const QString& start)
{
    QString chosen = QFileDialog::getExistingDirectory(
        owner, title.isNull() ? QStringLiteral("Select Folder") : title, start, QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

std::optional<QString> QtPrompt::ChooseFile(QWidget* owner, const QString& title, const QString& start,
                                            const QString& filter, bool save)
{
    QString chosen = save ? QFileDialog::getSaveFileName(owner, title, start, filter)
                          : QFileDialog::getOpenFileName(owner, title, start, filter);
    if (chosen.isEmpty()) {
        return std::nullopt;
    }
    return chosen;
}

std::optional<QString> Prompt::AskText(QWidget*, const QString&, const QString&)
{
    return std::nullopt;
}

std::optional<QString> QtPrompt::AskText(QWidget* owner, const QString& text, const QString& initial)
{
    bool ok = false;
    QString answer = QInputDialog::getText(owner, Caption, text, QLineEdit::Normal, initial, &ok);
    if (!ok) {
        return std::nullopt;
    }
    return answer;
}

} // namespace quilvane
