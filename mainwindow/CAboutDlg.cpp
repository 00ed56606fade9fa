#include "mainwindow/CAboutDlg.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QUrl>

#include "platform/ProgramFolder.h"
#include "project/ProjectRecord.h"
#include "ui/CHyperlinkLabel.h"
#include "ui/ControlIds.h"

namespace quilvane {

QString CAboutDlg::VersionText()
{
    return QString::asprintf("Quilvane.NET Version %.2f", ProgramVersion * 0.01);
}

QString CAboutDlg::GuideAddress()
{
    return QUrl::fromLocalFile(QString::fromStdString(ProgramPath("prob/htm/PSP.htm"))).toString();
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QString::number(ControlId::AboutDialog));
    setWindowTitle(QStringLiteral("Quilvaneのﾊﾞｰｼﾞｮﾝ情報"));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(32, 32));
    version_ = new QLabel(VersionText(), this);
    version_->setObjectName(QString::number(ControlId::AboutVersion));
    auto* second = new QLabel(QStringLiteral("PSP演習のためのワークベンチ"), this);
    link_ = new CHyperlinkLabel(QStringLiteral("PSP演習ガイド"), this, GuideAddress());
    link_->setObjectName(QString::number(ControlId::AboutLink));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::number(ControlId::Ok));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(version_, 0, 1);
    layout->addWidget(second, 1, 1);
    layout->addWidget(link_, 2, 1);
    layout->addWidget(ok, 0, 2);
    setFixedSize(sizeHint());
}

} // namespace quilvane
