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
#include "ui/DialogRows.h"
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

    // One line per row of the dialog, top to bottom; the rows after a new one follow it.
    GridRows rows(new QGridLayout(this));
    AddSizeRows(rows);
    AddCoefficientRows(rows);
    AddTimeRows(rows);
    AddButtonRow(rows);
}

void CEstimateDlg::AddSizeRows(GridRows& rows)
{
    auto* baseSize = MakeButton(this, ControlId::EstimateBaseSizeButton, "計算(&L)&&");
    rows.Add({Label(this, "ベース"), {baseName_, 3}, baseSize});
    auto* baseLoc = MakeEdit(this, ControlId::EstimateBaseLoc);
    auto* percentRow = new QHBoxLayout;
    auto* percent = MakeEdit(this, ControlId::EstimateAvailablePercent);
    percentRow->addWidget(Label(this, "利用可"));
    percentRow->addWidget(percent);
    percentRow->addWidget(Label(this, "%"));
    auto* split = MakeButton(this, ControlId::EstimateSplitButton, "計算(&C)");
    rows.Add({Label(this, "ベース"), baseLoc, Label(this, "LOC"), percentRow, split});
    unreadableNote_ = MakeUnreadableNote(this); // under the base's count
    rows.Add({{Label(this, "新規LOC (例: 読込 20)"), 2}, {unreadableNote_, 3}});
    rows.Add({{newLocText_, 5}});
    integers_.Bind(baseLoc, &estimate.baseLoc);
    integers_.Bind(percent, &estimate.availablePercent);
    connect(baseSize, &QPushButton::clicked, this, &CEstimateDlg::OnBaseSize);
    connect(split, &QPushButton::clicked, this, &CEstimateDlg::OnSplit);
}

void CEstimateDlg::AddCoefficientRows(GridRows& rows)
{
    rows.Add({{}, Label(this, "LOC"), {}, Label(this, "係数")});
    // Created row by row, so that the focus runs along each row.
    auto* reuseLoc = MakeEdit(this, ControlId::EstimateReuseLoc);
    reuseCoef_ = MakeEdit(this, ControlId::EstimateReuseCoef, true);
    auto* deleteLoc = MakeEdit(this, ControlId::EstimateDeleteLoc);
    deleteCoef_ = MakeEdit(this, ControlId::EstimateDeleteCoef, true);
    auto* newLoc = MakeEdit(this, ControlId::EstimateNewLoc);
    newCoef_ = MakeEdit(this, ControlId::EstimateNewCoef, true);
    rows.Add({Label(this, "再利用"), reuseLoc, {}, reuseCoef_});
    rows.Add({Label(this, "削除"), deleteLoc, {}, deleteCoef_});
    rows.Add({Label(this, "新規"), newLoc, {}, newCoef_});
    constant_ = MakeEdit(this, ControlId::EstimateConstant, true);
    auto* refit = MakeButton(this, ControlId::EstimateRefitButton, "係数更新(&E)&&");
    rows.Add({{}, {}, Label(this, "定数"), constant_, refit});
    integers_.Bind(reuseLoc, &estimate.reuseLoc);
    integers_.Bind(deleteLoc, &estimate.deleteLoc);
    integers_.Bind(newLoc, &estimate.newLoc);
    connect(refit, &QPushButton::clicked, this, &CEstimateDlg::OnRefit);
}

void CEstimateDlg::AddTimeRows(GridRows& rows)
{
    auto* totalMinutes = MakeEdit(this, ControlId::EstimateTotalMinutes);
    auto* predict = MakeButton(this, ControlId::EstimatePredictButton, "計算(&T)&&");
    rows.Add({Label(this, "合計時間"), totalMinutes, Label(this, "分"), {}, predict});
    rangeText_ = MakeEdit(this, ControlId::EstimateRangeText, true);
    rows.Add({{Label(this, "±"), 1, Qt::AlignRight}, rangeText_, {rangeCaption_, 2}});
    // The explanation changes its number of lines with every calculation: its row takes the
    // height the dialog has to spare and the text starts at its top, so the fields above never
    // move under the student's mouse.
    diagnostics_ = new QLabel(this);
    diagnostics_->setObjectName(QStringLiteral("diagnostics"));
    diagnostics_->setWordWrap(true);
    diagnostics_->setTextFormat(Qt::PlainText);
    diagnostics_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    rows.AddGrowing({{diagnostics_, 5}});
    integers_.Bind(totalMinutes, &estimate.totalMinutes);
    connect(predict, &QPushButton::clicked, this, &CEstimateDlg::OnPredict);
}

void CEstimateDlg::AddButtonRow(GridRows& rows)
{
    auto* fromActuals = MakeButton(this, ControlId::EstimateFromActualsButton, "実績で設定(&I)");
    auto* ok = MakeButton(this, ControlId::Ok, "OK&&");
    ok->setDefault(true);
    auto* cancel = MakeButton(this, ControlId::Cancel, "ｷｬﾝｾﾙ");
    rows.Add({{fromActuals, 2}, {}, ok, cancel});
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
