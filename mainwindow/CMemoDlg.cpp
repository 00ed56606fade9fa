#include "mainwindow/CMemoDlg.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/ControlIds.h"
#include "ui/QtText.h"

namespace quilvane {

CMemoDlg::CMemoDlg(const std::string& memo, QWidget* parent) : QDialog(parent), memo_(memo)
{
    setObjectName(QString::number(ControlId::MemoDialog));
    setWindowTitle(QStringLiteral("メモ"));
    edit_ = new QPlainTextEdit(ToQLines(memo), this);
    edit_->setObjectName(QString::number(ControlId::MemoText));
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QString::number(ControlId::Ok));
    auto* cancel = buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QString::number(ControlId::Cancel));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(edit_);
    layout->addWidget(buttons);
    resize(360, 240);
}

std::string CMemoDlg::Memo() const
{
    return FieldLines(edit_->toPlainText(), memo_);
}

} // namespace quilvane
