#include "estimate/CResultDlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "estimate/LocCountRunner.h"
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

} // namespace

CResultDlg::CResultDlg(const std::string& projectName, const PlanEstimate& plan, QWidget* parent)
    : QDialog(parent), projectName_(projectName), plan_(plan)
{
    setObjectName(QString::number(ControlId::ResultDialog));
    setWindowTitle(QStringLiteral("結果"));
    baseEdit_ = new QLineEdit(this);
    baseEdit_->setObjectName(QString::number(ControlId::ResultBaseName));

    // One line per row of the dialog, top to bottom; the rows after a new one follow it.
    GridRows rows(new QGridLayout(this));
    auto* measure = MakeButton(this, ControlId::ResultMeasureButton, "計算(&C)&&");
    rows.Add({Label(this, "ベース"), {baseEdit_, 2}, measure});
    rows.Add({{}, {Label(this, "計画"), 1, Qt::AlignHCenter}, {Label(this, "実績"), 1, Qt::AlignHCenter}});
    AddFigureRows(rows);
    unreadableNote_ = MakeUnreadableNote(this);
    rows.Add({{unreadableNote_, 4}});
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::number(ControlId::Ok));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QString::number(ControlId::Cancel));
    rows.Add({{}, {}, ok, cancel});

    integers_.Bind(actualReuse_, &result.actualReuse);
    integers_.Bind(actualDelete_, &result.actualDelete);
    integers_.Bind(actualNew_, &result.actualNew);

    connect(measure, &QPushButton::clicked, this, &CResultDlg::OnMeasure);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (TakeFields()) {
            accept();
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

// A row per figure: its caption, the planned value, the actual one and the unit.
void CResultDlg::AddFigureRows(GridRows& rows)
{
    const struct {
        const char* caption;
        int planId;
        QLineEdit** plan;
        int actualId;
        QLineEdit** actual;
        bool actualEditable;
        const char* unit;
    } figures[] = {
        {"再利用", ControlId::ResultPlanReuse, &planReuse_, ControlId::ResultActualReuse, &actualReuse_, true,
         "LOC"},
        {"削除", ControlId::ResultPlanDelete, &planDelete_, ControlId::ResultActualDelete, &actualDelete_,
         true, "LOC"},
        {"新規", ControlId::ResultPlanNew, &planNew_, ControlId::ResultActualNew, &actualNew_, true, "LOC"},
        {"計", ControlId::ResultPlanTotal, &planTotal_, ControlId::ResultActualTotal, &actualTotal_, false,
         "LOC"},
        {"時間", ControlId::ResultPlanMinutes, &planMinutes_, ControlId::ResultActualMinutes, &actualMinutes_,
         false, "分"},
        {"バグ", 0, nullptr, ControlId::ResultBugCount, &bugCount_, false, ""}};
    for (const auto& r : figures) {
        QLabel* caption = Label(this, r.caption);
        if (r.plan != nullptr) {
            *r.plan = MakeEdit(this, r.planId, true);
        }
        *r.actual = MakeEdit(this, r.actualId, !r.actualEditable);
        rows.Add({caption, r.plan != nullptr ? GridRows::Cell(*r.plan) : GridRows::Cell(), *r.actual,
                  Label(this, r.unit)});
    }
}

QLineEdit* CResultDlg::Edit(int id) const
{
    return findChild<QLineEdit*>(QString::number(id));
}

QPushButton* CResultDlg::Button(int id) const
{
    return findChild<QPushButton*>(QString::number(id));
}

int CResultDlg::exec()
{
    ShowFields();
    return QDialog::exec();
}

void CResultDlg::ShowFields()
{
    integers_.Show();
    baseEdit_->setText(ToQ(baseName));
    planReuse_->setText(QString::number(plan_.reuseLoc));
    planDelete_->setText(QString::number(plan_.deleteLoc));
    planNew_->setText(QString::number(plan_.newLoc));
    planMinutes_->setText(QString::number(plan_.totalMinutes));
    // Deleted lines belong to neither total.
    planTotal_->setText(QString::number(plan_.PlanTotal()));
    actualTotal_->setText(QString::number(result.ActualTotal()));
    actualMinutes_->setText(QString::number(result.actualMinutes));
    bugCount_->setText(QString::number(result.bugCount));
}

bool CResultDlg::TakeFields()
{
    if (!integers_.Take(this)) {
        return false;
    }
    baseName = FieldText(baseEdit_->text(), baseName);
    return true;
}

void CResultDlg::OnMeasure()
{
    if (!TakeFields()) {
        return;
    }
    if (auto counts = CountLocInteractively(this, baseName, projectName_, unreadableNote_)) {
        result.actualReuse = counts->reused;
        result.actualDelete = counts->deleted;
        result.actualNew = counts->added;
    }
    ShowFields();
}

} // namespace quilvane
