#include "logs/CDefectEditDlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/ControlIds.h"
#include "ui/KeyState.h"
#include "ui/QtText.h"

namespace quilvane {
namespace {

// The designed size; OK and Cancel keep their distance to the right edge, the comment grows.
constexpr int DesignWidth = 400;
constexpr int DesignHeight = 220;

} // namespace

CDefectEditDlg::CDefectEditDlg(DefectEntry& entry, QWidget* parent)
    : QDialog(parent), entry_(entry), values_(entry)
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
    label("コメント", 8, 64);
    comment_ = new QPlainTextEdit(this);
    comment_->setObjectName(QString::number(ControlId::DefectEditComment));
    comment_->setGeometry(8, 86, 304, DesignHeight - 94);
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
}

void CDefectEditDlg::ShowFields()
{
    time_->setText(ToQ(values_.time.Text()));
}

void CDefectEditDlg::OnAdjustTime(Adjuster button)
{
    TakeFields();
    Adjust(values_.time, button, IsCtrlHeld());
    ShowFields();
}

void CDefectEditDlg::accept()
{
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
