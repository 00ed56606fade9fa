#include "overview/CNewProjectDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/PathNames.h"
#include "platform/ProgramFolder.h"
#include "ui/ControlIds.h"
#include "ui/Prompt.h"
#include "ui/QtText.h"

namespace quilvane {
namespace {

QComboBox* MakeCombo(QWidget* parent, int id)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::number(id));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMinimumWidth(200);
    return combo;
}

std::vector<std::string> Entries(const QComboBox* combo)
{
    std::vector<std::string> entries;
    entries.reserve(static_cast<std::size_t>(combo->count()));
    for (int i = 0; i < combo->count(); ++i) {
        entries.push_back(FromQ(combo->itemText(i)));
    }
    return entries;
}

} // namespace

CNewProjectDlg::CNewProjectDlg(const std::string& currentExercise, std::string& exercise, std::string& base,
                               QWidget* parent)
    : QDialog(parent), current_(currentExercise), exercise_(exercise), base_(base)
{
    setObjectName(QString::number(ControlId::NewProjectDialog));
    setWindowTitle(QStringLiteral("新規プロジェクト"));
    exerciseList_ = MakeCombo(this, ControlId::NewProjectExercise);
    baseList_ = MakeCombo(this, ControlId::NewProjectBase);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("プロジェクト"), exerciseList_);
    form->addRow(QStringLiteral("ベース"), baseList_);
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QString::number(ControlId::Ok));
    ok->setDefault(true);
    auto* cancel = buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QString::number(ControlId::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &CNewProjectDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNewProjectDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(exerciseList_, &QComboBox::activated, this, [this] { OnExerciseChange(); });
}

void CNewProjectDlg::OnInitDialog()
{
    NewProjectChoices choices = BuildNewProjectChoices(ListProblemPages(ProgramFolder()), current_);
    exerciseList_->clear();
    baseList_->clear();
    for (const auto& e : choices.exercises) {
        exerciseList_->addItem(ToQ(e));
    }
    for (const auto& b : choices.bases) {
        baseList_->addItem(ToQ(b));
    }
    exerciseList_->setCurrentIndex(choices.proposed ? static_cast<int>(*choices.proposed) : -1);
    baseList_->setCurrentIndex(-1);
    OnExerciseChange();
}

int CNewProjectDlg::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void CNewProjectDlg::OnExerciseChange()
{
    int index = exerciseList_->currentIndex();
    if (index < 0) {
        return;
    }
    exercise_ = FromQ(exerciseList_->itemText(index));
    base_ = ReadBaseTag(ProblemPagePath(ProgramFolder(), exercise_).value_or(std::string()));
    if (auto found = FindPrefix(Entries(baseList_), base_)) {
        baseList_->setCurrentIndex(static_cast<int>(*found));
    }
}

void CNewProjectDlg::accept()
{
    if (exerciseList_->currentText().isEmpty()) {
        return;
    }
    // Both names become folder names: a character CP932 cannot hold is refused, not made '?'.
    auto typed = DiskToStoredName(exerciseList_->currentText().toStdString());
    auto base = DiskToStoredName(baseList_->currentText().toStdString());
    if (!typed || !base) {
        QString refused = !typed ? exerciseList_->currentText() : baseList_->currentText();
        CurrentPrompt().Inform(this, QString::fromStdString(UnstorableNameMessage(refused.toStdString())));
        return;
    }
    exercise_ = *typed;
    base_ = *base;
    QDialog::accept();
}

} // namespace quilvane
