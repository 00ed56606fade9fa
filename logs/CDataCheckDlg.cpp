#include "logs/CDataCheckDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ui/ControlIds.h"
#include "ui/DialogFont.h"

namespace quilvane {

CDataCheckDlg::CDataCheckDlg(std::vector<Finding> findings, QWidget* parent)
    : QDialog(parent), findings_(std::move(findings))
{
    setWindowTitle(QStringLiteral("データ確認"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(
        QStringLiteral("確認事項が %1 件あります。記録の行はダブルクリックで開きます").arg(findings_.size()),
        this));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QString::number(ControlId::DataCheckList));
    list_->setHeaderLabels({QStringLiteral("内容"), QStringLiteral("確かめること")});
    list_->setRootIsDecorated(false);
    list_->setWordWrap(true);
    for (std::size_t i = 0; i < findings_.size(); ++i) {
        auto* item = new QTreeWidgetItem(
            list_, {QString::fromStdString(findings_[i].message), QString::fromStdString(findings_[i].hint)});
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
        item->setToolTip(0, QString::fromStdString(findings_[i].code));
    }
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setStretchLastSection(false);
    list_->resizeColumnToContents(1);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) { OnActivated(item); });
    resize(720, 360);
}

void CDataCheckDlg::OnActivated(QTreeWidgetItem* item)
{
    const auto index = item->data(0, Qt::UserRole).toULongLong();
    if (index >= findings_.size() || findings_[index].entry.log == CheckedLog::None) {
        return;
    }
    chosen_ = findings_[index].entry;
    accept();
}

} // namespace quilvane
