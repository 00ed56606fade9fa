#include "logs/CDefectEditDlg.h"

#include <QComboBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <algorithm>

#include "project/DefectDetails.h"
#include "ui/ControlIds.h"
#include "ui/DialogRows.h"
#include "ui/KeyState.h"
#include "ui/QtText.h"
#include "ui/WidgetHelpers.h"

namespace quilvane {
namespace {

// Where every control sits, in design units, as the dialog was designed: label + field rows
// down the left, OK and Cancel at the right edge (they keep their distance to it), and the
// comment below the rows, growing with the dialog.
constexpr struct {
    int width = 400;
    int height = 300;
    FixedRowGrid rows{8, 60, 64, 8, 28, 22};
    int phaseWidth = 180;
    int timeWidth = 140;
    int adjusterLeft = 208;
    int adjusterWidth = 26;
    int choiceWidth = 180;
    int minutesWidth = 60;
    int fixTimerLeft = 130;
    int fixTimerWidth = 80;
    int elapsedLeft = 216;
    int elapsedWidth = 90;
    int commentWidth = 304;
    QPoint buttons{400 - 80, 8};
    QSize buttonSize{72, 24};
    int buttonPitch = 30;
} Design;

const SystemTimeSource& SystemClock()
{
    static const SystemTimeSource clock;
    return clock;
}

QString UnknownItem()
{
    return QStringLiteral("(不明)");
}

} // namespace

CDefectEditDlg::CDefectEditDlg(DefectEntry& entry, QWidget* parent)
    : CDefectEditDlg(entry, {}, SystemClock(), parent)
{
}

CDefectEditDlg::CDefectEditDlg(DefectEntry& entry, std::vector<std::string> phases, const TimeSource& clock,
                               QWidget* parent)
    : QDialog(parent), entry_(entry), values_(entry), clock_(clock)
{
    setObjectName(QString::number(ControlId::DefectEditDialog));
    setWindowTitle(QStringLiteral("バグ管理設定"));
    resize(Design.width, Design.height);

    FixedRows rows(this, Design.rows);
    rows.Next("工程");
    phase_ = new QLineEdit(this);
    phase_->setObjectName(QString::number(ControlId::DefectEditPhase));
    phase_->setGeometry(rows.Field(Design.phaseWidth));
    rows.Next("開始");
    AddTimeRow(rows);
    rows.Next("種別");
    AddTypeField(rows);
    rows.Next("混入工程");
    AddInjectedField(rows, std::move(phases));
    rows.Next("修正(分)");
    AddFixRow(rows);
    rows.Next("コメント");
    comment_ = new QPlainTextEdit(this);
    comment_->setObjectName(QString::number(ControlId::DefectEditComment));
    const int commentTop = rows.Top() + Design.rows.height;
    comment_->setGeometry(Design.rows.labelLeft, commentTop, Design.commentWidth,
                          Design.height - Design.rows.labelLeft - commentTop);
    comment_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    comment_->setTabChangesFocus(true);

    ButtonColumn buttons(this, Design.buttons, Design.buttonSize, Design.buttonPitch);
    auto* ok = buttons.Add(ControlId::Ok, QStringLiteral("OK"));
    ok->setDefault(true);
    auto* cancel = buttons.Add(ControlId::Cancel, QStringLiteral("ｷｬﾝｾﾙ"));
    connect(ok, &QPushButton::clicked, this, &CDefectEditDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CDefectEditDlg::reject);

    layout_.Register(ok, ControlLayout::Move, ControlLayout::Keep);
    layout_.Register(cancel, ControlLayout::Move, ControlLayout::Keep);
    layout_.Register(comment_, ControlLayout::Stretch, ControlLayout::Stretch);
    layout_.RecordMargins();

    phase_->setText(ToQ(values_.phase));
    comment_->setPlainText(ToQLines(values_.comment));
    ShowFields();
}

void CDefectEditDlg::AddTimeRow(const FixedRows& rows)
{
    time_ = new QLineEdit(this);
    time_->setObjectName(QString::number(ControlId::DefectEditTime));
    time_->setReadOnly(true);
    time_->setGeometry(rows.Field(Design.timeWidth));
    const char* const texts[] = {"++", "+", "-", "--"};
    const int ids[] = {ControlId::DefectEditTimeUpFive, ControlId::DefectEditTimeUpOne,
                       ControlId::DefectEditTimeDownOne, ControlId::DefectEditTimeDownFive};
    for (int i = 0; i < 4; ++i) {
        auto* b = MakeButton(this, ids[i], QString::fromLatin1(texts[i]),
                             rows.At(Design.adjusterLeft + Design.adjusterWidth * i, Design.adjusterWidth));
        auto button = static_cast<Adjuster>(i);
        connect(b, &QPushButton::clicked, this, [this, button] { OnAdjustTime(button); });
    }
}

void CDefectEditDlg::AddTypeField(const FixedRows& rows)
{
    type_ = new QComboBox(this);
    type_->setObjectName(QString::number(ControlId::DefectEditType));
    type_->setGeometry(rows.Field(Design.choiceWidth));
    type_->addItem(UnknownItem());
    for (const DefectType& t : DefectTypeStandard()) {
        type_->addItem(ToQ(DefectTypeText(t.code)), t.code);
    }
    if (values_.type) {
        type_->setCurrentIndex(std::max(type_->findData(*values_.type), 0));
    }
}

void CDefectEditDlg::AddInjectedField(const FixedRows& rows, std::vector<std::string> phases)
{
    injected_ = new QComboBox(this);
    injected_->setObjectName(QString::number(ControlId::DefectEditInjected));
    injected_->setGeometry(rows.Field(Design.choiceWidth));
    injected_->addItem(UnknownItem());
    // A phase renamed or removed since the defect was recorded stays offered, so OK keeps it.
    if (values_.injected && std::find(phases.begin(), phases.end(), *values_.injected) == phases.end()) {
        phases.push_back(*values_.injected);
    }
    for (std::size_t i = 0; i < phases.size(); ++i) {
        injected_->addItem(ToQ(phases[i]), static_cast<int>(i));
        if (values_.injected && phases[i] == *values_.injected) {
            injected_->setCurrentIndex(injected_->count() - 1);
        }
    }
    // The combo's data is an index into this list, so a name comes back byte for byte.
    injectedNames_ = std::move(phases);
}

void CDefectEditDlg::AddFixRow(const FixedRows& rows)
{
    fixMinutes_ = new QLineEdit(this);
    fixMinutes_->setObjectName(QString::number(ControlId::DefectEditFixMinutes));
    fixMinutes_->setGeometry(rows.Field(Design.minutesWidth));
    fixMinutes_->setValidator(new QIntValidator(0, MaxFixMinutes, fixMinutes_));
    fixMinutes_->setText(QString::fromStdString(FixMinutesText(values_.fixMinutes)));
    fixTimer_ = MakeButton(this, ControlId::DefectEditFixTimer, QStringLiteral("修正開始"),
                           rows.At(Design.fixTimerLeft, Design.fixTimerWidth));
    connect(fixTimer_, &QPushButton::clicked, this, &CDefectEditDlg::OnFixTimer);
    fixElapsed_ = new QLabel(this);
    fixElapsed_->setObjectName(QString::number(ControlId::DefectEditFixElapsed));
    fixElapsed_->setGeometry(rows.At(Design.elapsedLeft, Design.elapsedWidth));
    tick_ = new QTimer(this);
    tick_->setInterval(1000);
    connect(tick_, &QTimer::timeout, this, &CDefectEditDlg::ShowElapsed);
}

void CDefectEditDlg::TakeFields()
{
    values_.phase = FieldText(phase_->text(), values_.phase);
    // The editor holds LF line ends; the log keeps CR LF.
    values_.comment = FieldLines(comment_->toPlainText(), values_.comment);
    const QVariant code = type_->currentData();
    values_.type = code.isValid() ? std::optional<int>(code.toInt()) : std::nullopt;
    const QVariant phase = injected_->currentData();
    values_.injected =
        phase.isValid() ? std::optional<std::string>(injectedNames_[phase.toUInt()]) : std::nullopt;
    bool number = false;
    const int minutes = fixMinutes_->text().trimmed().toInt(&number);
    values_.fixMinutes = number && minutes >= 0 && minutes <= MaxFixMinutes
                             ? std::optional<std::int32_t>(minutes)
                             : std::nullopt;
}

void CDefectEditDlg::ShowFields()
{
    time_->setText(ToQ(values_.time.Text()));
}

void CDefectEditDlg::ShowElapsed()
{
    const std::int64_t seconds = timer_.Seconds(clock_.Now());
    fixElapsed_->setText(QStringLiteral("%1:%2")
                             .arg(seconds / 60, 2, 10, QLatin1Char('0'))
                             .arg(seconds % 60, 2, 10, QLatin1Char('0')));
}

void CDefectEditDlg::OnAdjustTime(Adjuster button)
{
    TakeFields();
    Adjust(values_.time, button, IsCtrlHeld());
    ShowFields();
}

void CDefectEditDlg::OnFixTimer()
{
    TakeFields();
    if (!timer_.Running()) {
        timer_.Start(clock_.Now(), values_.fixMinutes);
        fixTimer_->setText(QStringLiteral("修正終了"));
        fixMinutes_->setReadOnly(true);
        tick_->start();
        ShowElapsed();
        return;
    }
    values_.fixMinutes = timer_.Stop(clock_.Now());
    tick_->stop();
    fixTimer_->setText(QStringLiteral("修正開始"));
    fixMinutes_->setReadOnly(false);
    fixMinutes_->setText(QString::fromStdString(FixMinutesText(values_.fixMinutes)));
    fixElapsed_->clear();
}

void CDefectEditDlg::accept()
{
    // A timer still running at OK ends there: the fix is done when the student confirms it.
    if (timer_.Running()) {
        OnFixTimer();
    }
    TakeFields();
    values_.ApplyTo(entry_);
    QDialog::accept();
}

void CDefectEditDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    layout_.OnSize(this);
}

} // namespace quilvane
