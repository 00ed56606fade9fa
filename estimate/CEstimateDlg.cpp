#include "estimate/CEstimateDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "estimate/EstimateDiagnostics.h"
#include "estimate/LocCountRunner.h"
#include "estimate/ProbeInputs.h"
#include "statistics/ProjectScan.h"
#include "ui/ControlIds.h"
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
    setObjectName(QString::number(ControlId::EstimateDialog));
    setWindowTitle(QStringLiteral("計画見積り"));
    loadHistory = [this] { return HistoryFromStore(LoadHistory(project_.projectName)); };

    baseName_ = new QLineEdit(this);
    baseName_->setObjectName(QString::number(ControlId::EstimateBaseName));
    newLocText_ = new QPlainTextEdit(this);
    newLocText_->setObjectName(QString::number(ControlId::EstimateNewLocText));
    newLocText_->setFixedHeight(80);
    rangeCaption_ = Label(this, ConfidenceCaption);
    rangeCaption_->setObjectName(QString::number(ControlId::EstimateRangeCaption));

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label(this, "ベース"), 0, 0);
    grid->addWidget(baseName_, 0, 1, 1, 3);
    auto* baseSize = MakeButton(this, ControlId::EstimateBaseSizeButton, "計算(&L)&&");
    grid->addWidget(baseSize, 0, 4);

    grid->addWidget(Label(this, "ベース"), 1, 0);
    auto* baseLoc = MakeEdit(this, ControlId::EstimateBaseLoc);
    grid->addWidget(baseLoc, 1, 1);
    grid->addWidget(Label(this, "LOC"), 1, 2);
    auto* percentRow = new QHBoxLayout;
    auto* percent = MakeEdit(this, ControlId::EstimateAvailablePercent);
    percentRow->addWidget(Label(this, "利用可"));
    percentRow->addWidget(percent);
    percentRow->addWidget(Label(this, "%"));
    grid->addLayout(percentRow, 1, 3);
    auto* split = MakeButton(this, ControlId::EstimateSplitButton, "計算(&C)");
    grid->addWidget(split, 1, 4);

    grid->addWidget(Label(this, "新規LOC (例: 読込 20)"), 2, 0, 1, 2);
    unreadableNote_ = MakeUnreadableNote(this); // under the base's count
    grid->addWidget(unreadableNote_, 2, 2, 1, 3);
    grid->addWidget(newLocText_, 3, 0, 1, 5);

    grid->addWidget(Label(this, "LOC"), 4, 1);
    grid->addWidget(Label(this, "係数"), 4, 3);
    // Created row by row, so that the focus runs along each row.
    auto* reuseLoc = MakeEdit(this, ControlId::EstimateReuseLoc);
    reuseCoef_ = MakeEdit(this, ControlId::EstimateReuseCoef, true);
    auto* deleteLoc = MakeEdit(this, ControlId::EstimateDeleteLoc);
    deleteCoef_ = MakeEdit(this, ControlId::EstimateDeleteCoef, true);
    auto* newLoc = MakeEdit(this, ControlId::EstimateNewLoc);
    newCoef_ = MakeEdit(this, ControlId::EstimateNewCoef, true);
    const struct {
        const char* caption;
        QLineEdit* loc;
        QLineEdit* coef;
    } rows[] = {
        {"再利用", reuseLoc, reuseCoef_}, {"削除", deleteLoc, deleteCoef_}, {"新規", newLoc, newCoef_}};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(Label(this, rows[i].caption), 5 + i, 0);
        grid->addWidget(rows[i].loc, 5 + i, 1);
        grid->addWidget(rows[i].coef, 5 + i, 3);
    }
    constant_ = MakeEdit(this, ControlId::EstimateConstant, true);
    grid->addWidget(Label(this, "定数"), 8, 2);
    grid->addWidget(constant_, 8, 3);
    auto* refit = MakeButton(this, ControlId::EstimateRefitButton, "係数更新(&E)&&");
    grid->addWidget(refit, 8, 4);

    auto* totalMinutes = MakeEdit(this, ControlId::EstimateTotalMinutes);
    grid->addWidget(Label(this, "合計時間"), 9, 0);
    grid->addWidget(totalMinutes, 9, 1);
    grid->addWidget(Label(this, "分"), 9, 2);
    auto* predict = MakeButton(this, ControlId::EstimatePredictButton, "計算(&T)&&");
    grid->addWidget(predict, 9, 4);
    rangeText_ = MakeEdit(this, ControlId::EstimateRangeText, true);
    grid->addWidget(Label(this, "±"), 10, 0, Qt::AlignRight);
    grid->addWidget(rangeText_, 10, 1);
    grid->addWidget(rangeCaption_, 10, 2, 1, 2);
    diagnostics_ = new QLabel(this);
    diagnostics_->setObjectName(QStringLiteral("diagnostics"));
    diagnostics_->setWordWrap(true);
    diagnostics_->setTextFormat(Qt::PlainText);
    grid->addWidget(diagnostics_, 11, 0, 1, 5);

    auto* fromActuals = MakeButton(this, ControlId::EstimateFromActualsButton, "実績で設定(&I)");
    grid->addWidget(fromActuals, 12, 0, 1, 2);
    auto* ok = MakeButton(this, ControlId::Ok, "OK&&");
    ok->setDefault(true);
    grid->addWidget(ok, 12, 3);
    auto* cancel = MakeButton(this, ControlId::Cancel, "ｷｬﾝｾﾙ");
    grid->addWidget(cancel, 12, 4);

    integers_.Bind(baseLoc, &estimate.baseLoc);
    integers_.Bind(percent, &estimate.availablePercent);
    integers_.Bind(reuseLoc, &estimate.reuseLoc);
    integers_.Bind(deleteLoc, &estimate.deleteLoc);
    integers_.Bind(newLoc, &estimate.newLoc);
    integers_.Bind(totalMinutes, &estimate.totalMinutes);

    connect(baseSize, &QPushButton::clicked, this, &CEstimateDlg::OnBaseSize);
    connect(split, &QPushButton::clicked, this, &CEstimateDlg::OnSplit);
    connect(refit, &QPushButton::clicked, this, &CEstimateDlg::OnRefit);
    connect(predict, &QPushButton::clicked, this, &CEstimateDlg::OnPredict);
    connect(fromActuals, &QPushButton::clicked, this, &CEstimateDlg::OnSetFromActuals);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (TakeFields()) {
            accept();
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
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
    // A first project is told at once why the coefficients are 0 and what can be typed instead.
    ShowDiagnostics(loadHistory());
    return QDialog::exec();
}

void CEstimateDlg::ShowDiagnostics(const std::vector<HistoryPoint>& history)
{
    lastHistory_ = history;
    EstimateDiagnostics d =
        DiagnoseEstimate(history, CoefficientsOf(estimate), PlannedSize(estimate), project_.projectName);
    diagnostics_->setText(QString::fromStdString(DiagnosticsText(d)));
}

void CEstimateDlg::ShowFields()
{
    integers_.Show();
    baseName_->setText(ToQ(estimate.baseName));
    newLocText_->setPlainText(ToQLines(estimate.newLocText));
    constant_->setText(Coefficient(estimate.constant));
    reuseCoef_->setText(Coefficient(estimate.reuseCoef));
    deleteCoef_->setText(Coefficient(estimate.deleteCoef));
    newCoef_->setText(Coefficient(estimate.newCoef));
    rangeText_->setText(ToQ(estimate.rangeText));
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
    if (auto counts = CountLocInteractively(this, std::string(), estimate.baseName, unreadableNote_)) {
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
    ShowDiagnostics(lastHistory_);
}

void CEstimateDlg::OnRefit()
{
    if (!TakeFields()) {
        return;
    }
    const std::vector<HistoryPoint> history = loadHistory();
    RefitEstimate(estimate, history, ConfidenceLevel());
    ShowFields();
    ShowDiagnostics(history);
}

void CEstimateDlg::OnPredict()
{
    if (!TakeFields()) {
        return;
    }
    const std::vector<HistoryPoint> history = loadHistory();
    PredictEstimate(estimate, history, ConfidenceLevel());
    ShowFields();
    ShowDiagnostics(history);
}

void CEstimateDlg::OnSetFromActuals()
{
    if (!TakeFields()) {
        return;
    }
    SetFromActuals(estimate, project_.result);
    ShowFields();
    ShowDiagnostics(lastHistory_);
}

} // namespace quilvane
