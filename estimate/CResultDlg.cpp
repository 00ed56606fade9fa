#include "estimate/CResultDlg.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "estimate/LocCountRunner.h"
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
    setObjectName(QStringLiteral("131"));
    setWindowTitle(QStringLiteral("結果"));
    baseEdit_ = new QLineEdit(this);
    baseEdit_->setObjectName(QStringLiteral("1065"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(Label(this, "ベース"), 0, 0);
    grid->addWidget(baseEdit_, 0, 1, 1, 2);
    auto* measure = new QPushButton(QStringLiteral("計算(&C)&&"), this);
    measure->setObjectName(QStringLiteral("1067"));
    measure->setAutoDefault(false);
    grid->addWidget(measure, 0, 3);
    grid->addWidget(Label(this, "計画"), 1, 1, Qt::AlignHCenter);
    grid->addWidget(Label(this, "実績"), 1, 2, Qt::AlignHCenter);
    const struct {
        const char* caption;
        int planId;
        int actualId;
        bool actualEditable;
        const char* unit;
    } rows[] = {{"再利用", 1073, 1075, true, "LOC"}, {"削除", 1071, 1069, true, "LOC"},
                {"新規", 1072, 1070, true, "LOC"},    {"計", 1094, 1095, false, "LOC"},
                {"時間", 1074, 1076, false, "分"},    {"バグ", 0, 1068, false, ""}};
    int row = 2;
    for (const auto& r : rows) {
        grid->addWidget(Label(this, r.caption), row, 0);
        if (r.planId != 0) {
            grid->addWidget(MakeEdit(this, r.planId, true), row, 1);
        }
        grid->addWidget(MakeEdit(this, r.actualId, !r.actualEditable), row, 2);
        grid->addWidget(Label(this, r.unit), row, 3);
        ++row;
    }
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("2"));
    grid->addWidget(ok, row, 2);
    grid->addWidget(cancel, row, 3);

    integers_.Bind(Edit(1075), &result.actualReuse);
    integers_.Bind(Edit(1069), &result.actualDelete);
    integers_.Bind(Edit(1070), &result.actualNew);

    connect(measure, &QPushButton::clicked, this, &CResultDlg::OnMeasure);
    connect(ok, &QPushButton::clicked, this, [this] {
        if (TakeFields()) {
            accept();
        }
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
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
    Edit(1073)->setText(QString::number(plan_.reuseLoc));
    Edit(1071)->setText(QString::number(plan_.deleteLoc));
    Edit(1072)->setText(QString::number(plan_.newLoc));
    Edit(1074)->setText(QString::number(plan_.totalMinutes));
    // Deleted lines belong to neither total.
    Edit(1094)->setText(QString::number(plan_.PlanTotal()));
    Edit(1095)->setText(QString::number(result.ActualTotal()));
    Edit(1076)->setText(QString::number(result.actualMinutes));
    Edit(1068)->setText(QString::number(result.bugCount));
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
    if (auto counts = CountLocInteractively(this, baseName, projectName_)) {
        result.actualReuse = counts->reused;
        result.actualDelete = counts->deleted;
        result.actualNew = counts->added;
    }
    ShowFields();
}

} // namespace quilvane
