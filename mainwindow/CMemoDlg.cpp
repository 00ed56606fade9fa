#include "mainwindow/CMemoDlg.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/QtText.h"

namespace quilvane {

CMemoDlg::CMemoDlg(const std::string& memo, QWidget* parent) : QDialog(parent), memo_(memo)
{
    setObjectName(QStringLiteral("132"));
    setWindowTitle(QStringLiteral("メモ"));
    edit_ = new QPlainTextEdit(ToQLines(memo), this);
    edit_->setObjectName(QStringLiteral("1053"));
    auto* buttons = new QDialogButtonBox(this);
    auto* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("1"));
    auto* cancel = buttons->addButton(QStringLiteral("ｷｬﾝｾﾙ"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("2"));
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
