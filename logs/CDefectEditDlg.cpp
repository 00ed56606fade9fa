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
#include "ui/KeyState.h"
#include "ui/QtText.h"

namespace quilvane {
namespace {

// The designed size; OK and Cancel keep their distance to the right edge, the comment grows.
constexpr int DesignWidth = 400;
constexpr int DesignHeight = 300;

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
    resize(DesignWidth, DesignHeight);

    auto label = [this](const char* text, int x, int y) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setGeometry(x, y, 60, 22);
        return l;
    };
    label("工程", 8, 8);
    phase_ = new QLineEdit(this);
    phase_->setObjectName(QString::number(ControlId::DefectEditPhase));
    phase_->setGeometry(64, 8, 180, 22);
    label("開始", 8, 36);
    time_ = new QLineEdit(this);
    time_->setObjectName(QString::number(ControlId::DefectEditTime));
    time_->setReadOnly(true);
    time_->setGeometry(64, 36, 140, 22);
    const char* const texts[] = {"++", "+", "-", "--"};
    const int ids[] = {ControlId::DefectEditTimeUpFive, ControlId::DefectEditTimeUpOne,
                       ControlId::DefectEditTimeDownOne, ControlId::DefectEditTimeDownFive};
    for (int i = 0; i < 4; ++i) {
        auto* b = new QPushButton(QString::fromLatin1(texts[i]), this);
        b->setObjectName(QString::number(ids[i]));
        b->setAutoDefault(false);
        b->setGeometry(208 + 26 * i, 36, 26, 22);
        auto button = static_cast<Adjuster>(i);
        connect(b, &QPushButton::clicked, this, [this, button] { OnAdjustTime(button); });
    }

    label("種別", 8, 64);
    type_ = new QComboBox(this);
    type_->setObjectName(QString::number(ControlId::DefectEditType));
    type_->setGeometry(64, 64, 180, 22);
    type_->addItem(UnknownItem());
    for (const DefectType& t : DefectTypeStandard()) {
        type_->addItem(ToQ(DefectTypeText(t.code)), t.code);
    }
    if (values_.type) {
        type_->setCurrentIndex(std::max(type_->findData(*values_.type), 0));
    }

    label("混入工程", 8, 92);
    injected_ = new QComboBox(this);
    injected_->setObjectName(QString::number(ControlId::DefectEditInjected));
    injected_->setGeometry(64, 92, 180, 22);
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

    label("修正(分)", 8, 120);
    fixMinutes_ = new QLineEdit(this);
    fixMinutes_->setObjectName(QString::number(ControlId::DefectEditFixMinutes));
    fixMinutes_->setGeometry(64, 120, 60, 22);
    fixMinutes_->setValidator(new QIntValidator(0, MaxFixMinutes, fixMinutes_));
    fixMinutes_->setText(QString::fromStdString(FixMinutesText(values_.fixMinutes)));
    fixTimer_ = new QPushButton(QStringLiteral("修正開始"), this);
    fixTimer_->setObjectName(QString::number(ControlId::DefectEditFixTimer));
    fixTimer_->setAutoDefault(false);
    fixTimer_->setGeometry(130, 120, 80, 22);
    connect(fixTimer_, &QPushButton::clicked, this, &CDefectEditDlg::OnFixTimer);
    fixElapsed_ = new QLabel(this);
    fixElapsed_->setObjectName(QString::number(ControlId::DefectEditFixElapsed));
    fixElapsed_->setGeometry(216, 120, 90, 22);
    tick_ = new QTimer(this);
    tick_->setInterval(1000);
    connect(tick_, &QTimer::timeout, this, &CDefectEditDlg::ShowElapsed);

    label("コメント", 8, 148);
    comment_ = new QPlainTextEdit(this);
    comment_->setObjectName(QString::number(ControlId::DefectEditComment));
    comment_->setGeometry(8, 170, 304, DesignHeight - 178);
    comment_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    comment_->setTabChangesFocus(true);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::number(ControlId::Ok));
    ok->setGeometry(DesignWidth - 80, 8, 72, 24);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QString::number(ControlId::Cancel));
    cancel->setGeometry(DesignWidth - 80, 38, 72, 24);
    cancel->setAutoDefault(false);
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
