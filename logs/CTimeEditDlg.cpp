#include "logs/CTimeEditDlg.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/ControlIds.h"
#include "ui/DialogRows.h"
#include "ui/KeyState.h"
#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

namespace quilvane {
namespace {

constexpr const char* AdjusterTexts[] = {"++", "+", "-", "--"};
constexpr int SpanAdjusterIds[] = {ControlId::TimeEditSpanUpFive, ControlId::TimeEditSpanUpOne,
                                   ControlId::TimeEditSpanDownOne, ControlId::TimeEditSpanDownFive};
constexpr int StartAdjusterIds[] = {ControlId::TimeEditStartUpFive, ControlId::TimeEditStartUpOne,
                                    ControlId::TimeEditStartDownOne, ControlId::TimeEditStartDownFive};

QLineEdit* AddField(QWidget* parent, int id, bool readOnly)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    edit->setReadOnly(readOnly);
    // Wide enough for a whole moment ("2026/12/07  04:36:20") in the dialog font.
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("0000/00/00  00:00:00")) + 16);
    return edit;
}

} // namespace

CTimeEditDlg::CTimeEditDlg(TimeLogEntry& entry, QWidget* parent)
    : QDialog(parent), entry_(entry), values_(entry)
{
    setObjectName(QString::number(ControlId::TimeEditDialog));
    setWindowTitle(QStringLiteral("時間管理設定"));

    phase_ = AddField(this, ControlId::TimeEditPhase, false);
    span_ = AddField(this, ControlId::TimeEditSpan, true);
    start_ = AddField(this, ControlId::TimeEditStart, true);
    auto* spanButtons = AddAdjusters(SpanAdjusterIds, &CTimeEditDlg::OnAdjustSpan);
    auto* startButtons = AddAdjusters(StartAdjusterIds, &CTimeEditDlg::OnAdjustStart);
    auto* grid = new QGridLayout;
    GridRows rows(grid);
    rows.Add({MakeLabel(this, "工程"), phase_});
    rows.Add({MakeLabel(this, "時間"), span_, spanButtons});
    rows.Add({MakeLabel(this, "開始"), start_, startButtons});

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::number(ControlId::Ok));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QString::number(ControlId::Cancel));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &CTimeEditDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CTimeEditDlg::reject);
    auto* side = new QVBoxLayout;
    side->addWidget(ok);
    side->addWidget(cancel);
    side->addStretch();

    auto* outer = new QHBoxLayout(this);
    outer->addLayout(grid);
    outer->addSpacing(8);
    outer->addLayout(side);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    phase_->setText(ToQ(values_.phase));
    ShowFields();
}

QHBoxLayout* CTimeEditDlg::AddAdjusters(const int (&ids)[4], void (CTimeEditDlg::*onAdjust)(Adjuster))
{
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    for (int i = 0; i < 4; ++i) {
        auto* b = MakeButton(this, ids[i], QString::fromLatin1(AdjusterTexts[i]));
        b->setFixedWidth(28);
        auto button = static_cast<Adjuster>(i);
        connect(b, &QPushButton::clicked, this, [this, onAdjust, button] { (this->*onAdjust)(button); });
        buttons->addWidget(b);
    }
    return buttons;
}

void CTimeEditDlg::TakeFields()
{
    values_.phase = FieldText(phase_->text(), values_.phase);
}

void CTimeEditDlg::ShowFields()
{
    // The phase field keeps what was typed; only the read-only times are rewritten.
    span_->setText(ToQ(values_.span.Text()));
    start_->setText(ToQ(values_.start.Text()));
}

void CTimeEditDlg::OnAdjustSpan(Adjuster button)
{
    TakeFields();
    Adjust(values_.span, button, IsCtrlHeld());
    ShowFields();
}

void CTimeEditDlg::OnAdjustStart(Adjuster button)
{
    TakeFields();
    Adjust(values_.start, button, IsCtrlHeld());
    ShowFields();
}

void CTimeEditDlg::accept()
{
    TakeFields();
    values_.ApplyTo(entry_);
    QDialog::accept();
}

} // namespace quilvane
