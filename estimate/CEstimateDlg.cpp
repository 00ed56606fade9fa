#include "estimate/CEstimateDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "estimate/LocCountRunner.h"
#include "estimate/ProbeInputs.h"
#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

namespace quilvane {
namespace {

QLabel* Label(QWidget* parent, const char* text)
{
    return new QLabel(QString::fromUtf8(text), parent);
}

// Coefficients in general format with up to 15 significant digits.
QString Coefficient(double value)
{
    return QString::asprintf("%.15g", value);
}

} // namespace

CEstimateDlg::CEstimateDlg(const ProjectRecord& project, QWidget* parent)
    : QDialog(parent), estimate(project.estimate), project_(project)
{
    setObjectName(QStringLiteral("130"));
    setWindowTitle(QStringLiteral("計画見積り"));
    loadHistory = [this] { return CollectHistory(project_.projectName); };

    baseName_ = new QLineEdit(this);
    baseName_->setObjectName(QStringLiteral("1035"));
    newLocText_ = new QPlainTextEdit(this);
    newLocText_->setObjectName(QStringLiteral("1044"));
    newLocText_->setFixedHeight(80);
    rangeCaption_ = Label(this, ConfidenceCaption);
    rangeCaption_->setObjectName(QStringLiteral("1046"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label(this, "ベース"), 0, 0);
    grid->addWidget(baseName_, 0, 1, 1, 3);
    grid->addWidget(MakeButton(this, 1038, "計算(&L)&&"), 0, 4);

    grid->addWidget(Label(this, "ベース"), 1, 0);
    auto* baseLoc = MakeEdit(this, 1034);
    grid->addWidget(baseLoc, 1, 1);
    grid->addWidget(Label(this, "LOC"), 1, 2);
    auto* percentRow = new QHBoxLayout;
    auto* percent = MakeEdit(this, 1033);
    percentRow->addWidget(Label(this, "利用可"));
    percentRow->addWidget(percent);
    percentRow->addWidget(Label(this, "%"));
    grid->addLayout(percentRow, 1, 3);
    grid->addWidget(MakeButton(this, 1036, "計算(&C)"), 1, 4);

    grid->addWidget(Label(this, "新規LOC (例: 読込 20)"), 2, 0, 1, 2);
    grid->addWidget(newLocText_, 3, 0, 1, 5);

    grid->addWidget(Label(this, "LOC"), 4, 1);
    grid->addWidget(Label(this, "係数"), 4, 3);
    const struct {
        const char* caption;
        int locId;
        int coefId;
    } rows[] = {{"再利用", 1048, 1047}, {"削除", 1042, 1041}, {"新規", 1045, 1043}};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(Label(this, rows[i].caption), 5 + i, 0);
        grid->addWidget(MakeEdit(this, rows[i].locId), 5 + i, 1);
        grid->addWidget(MakeEdit(this, rows[i].coefId, true), 5 + i, 3);
    }
    grid->addWidget(Label(this, "定数"), 8, 2);
    grid->addWidget(MakeEdit(this, 1040, true), 8, 3);
    grid->addWidget(MakeButton(this, 1037, "係数更新(&E)&&"), 8, 4);

    grid->addWidget(Label(this, "合計時間"), 9, 0);
    grid->addWidget(MakeEdit(this, 1050), 9, 1);
    grid->addWidget(Label(this, "分"), 9, 2);
    grid->addWidget(MakeButton(this, 1039, "計算(&T)&&"), 9, 4);
    grid->addWidget(Label(this, "±"), 10, 0, Qt::AlignRight);
    grid->addWidget(MakeEdit(this, 1049, true), 10, 1);
    grid->addWidget(rangeCaption_, 10, 2, 1, 2);

    grid->addWidget(MakeButton(this, 1104, "実績で設定(&I)"), 11, 0, 1, 2);
    auto* ok = MakeButton(this, 1, "OK&&");
    ok->setDefault(true);
    grid->addWidget(ok, 11, 3);
    grid->addWidget(MakeButton(this, 2, "ｷｬﾝｾﾙ"), 11, 4);

    integers_.Bind(Edit(1034), &estimate.baseLoc);
    integers_.Bind(Edit(1033), &estimate.availablePercent);
    integers_.Bind(Edit(1048), &estimate.reuseLoc);
    integers_.Bind(Edit(1042), &estimate.deleteLoc);
    integers_.Bind(Edit(1045), &estimate.newLoc);
    integers_.Bind(Edit(1050), &estimate.totalMinutes);

    connect(Button(1038), &QPushButton::clicked, this, &CEstimateDlg::OnBaseSize);
    connect(Button(1036), &QPushButton::clicked, this, &CEstimateDlg::OnSplit);
    connect(Button(1037), &QPushButton::clicked, this, &CEstimateDlg::OnRefit);
    connect(Button(1039), &QPushButton::clicked, this, &CEstimateDlg::OnPredict);
    connect(Button(1104), &QPushButton::clicked, this, &CEstimateDlg::OnSetFromActuals);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (TakeFields()) {
            accept();
        }
    });
    connect(Button(2), &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* CEstimateDlg::Edit(int id) const
{
    return findChild<QLineEdit*>(QString::number(id));
}

QPushButton* CEstimateDlg::Button(int id) const
{
    return findChild<QPushButton*>(QString::number(id));
}

int CEstimateDlg::exec()
{
    ShowFields();
    return QDialog::exec();
}

void CEstimateDlg::ShowFields()
{
    integers_.Show();
    baseName_->setText(ToQ(estimate.baseName));
    newLocText_->setPlainText(ToQLines(estimate.newLocText));
    Edit(1040)->setText(Coefficient(estimate.constant));
    Edit(1047)->setText(Coefficient(estimate.reuseCoef));
    Edit(1041)->setText(Coefficient(estimate.deleteCoef));
    Edit(1043)->setText(Coefficient(estimate.newCoef));
    Edit(1049)->setText(ToQ(estimate.rangeText));
}

bool CEstimateDlg::TakeFields()
{
    if (!integers_.Take(this)) {
        return false;
    }
    estimate.baseName = FieldText(baseName_->text(), estimate.baseName);
    estimate.newLocText = FieldLines(newLocText_->toPlainText(), estimate.newLocText);
    return true;
}

double CEstimateDlg::ConfidenceLevel() const
{
    return ConfidenceLevelFromCaption(rangeCaption_->text().toStdString());
}

void CEstimateDlg::OnBaseSize()
{
    if (!TakeFields()) {
        return;
    }
    // The whole base project counts as new code against nothing.
    if (auto counts = CountLocInteractively(this, std::string(), estimate.baseName)) {
        estimate.baseLoc = counts->added;
    }
    ShowFields();
}

void CEstimateDlg::OnSplit()
{
    if (!TakeFields()) {
        return;
    }
    SplitPlannedSize(estimate);
    ShowFields();
}

void CEstimateDlg::OnRefit()
{
    if (!TakeFields()) {
        return;
    }
    RefitEstimate(estimate, loadHistory(), ConfidenceLevel());
    ShowFields();
}

void CEstimateDlg::OnPredict()
{
    if (!TakeFields()) {
        return;
    }
    PredictEstimate(estimate, loadHistory(), ConfidenceLevel());
    ShowFields();
}

void CEstimateDlg::OnSetFromActuals()
{
    if (!TakeFields()) {
        return;
    }
    SetFromActuals(estimate, project_.result);
    ShowFields();
}

} // namespace quilvane
