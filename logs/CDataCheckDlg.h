#pragma once
// The data check's list (データ確認): one line per finding with its hint beside it. A double
// click on a finding that concerns a log entry closes the list and names that entry, so the
// command can open the log at it.
#include <QDialog>
#include <optional>
#include <vector>

#include "project/DataCheck.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace quilvane {

class CDataCheckDlg : public QDialog {
    Q_OBJECT
public:
    CDataCheckDlg(std::vector<Finding> findings, QWidget* parent = nullptr);

    // The entry of the finding chosen by a double click; nothing when the list was closed.
    const std::optional<CheckedEntry>& Chosen() const { return chosen_; }
    QTreeWidget* List() const { return list_; }

private:
    void OnActivated(QTreeWidgetItem* item);

    std::vector<Finding> findings_;
    QTreeWidget* list_ = nullptr;
    std::optional<CheckedEntry> chosen_;
};

} // namespace quilvane
