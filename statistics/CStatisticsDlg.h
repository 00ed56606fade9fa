#pragma once
// The statistics dialog: one row per project of the history, scanned afresh when it opens. The
// list is the editing buffer: sorting and deleting change only the rows, and 保存終了 writes the
// statistics file from the rows as they stand; 閉じる discards every change. Choosing another
// project ends the dialog with its file in ResultPath, for the caller to open.
#include <QDialog>
#include <cstddef>
#include <string>
#include <vector>

#include "logs/LogListLogic.h"
#include "statistics/StatListLogic.h"
#include "ui/ControlLayout.h"

class QTreeWidget;

namespace quilvane {

class CommandContext;

class CStatisticsDlg : public QDialog {
    Q_OBJECT
public:
    explicit CStatisticsDlg(CommandContext& context, QWidget* parent = nullptr);

    // The chosen project's file relative to the program folder; empty unless one was chosen.
    const std::string& ResultPath() const { return resultPath_; }

    QTreeWidget* List() const { return list_; }
    const std::vector<StatRow>& Rows() const { return rows_; }
    // The selected rows, ascending.
    std::vector<std::size_t> SelectedRows() const;
    // Makes exactly `rows` the selection.
    void SelectRows(const std::vector<std::size_t>& rows);

    // Sorts by the texts of `column`, ascending and descending in turn.
    void OnSort(int column);
    // Deletes the selected rows marked "*"; rows of existing projects cannot be deleted.
    void OnDelete();
    // Asks to open the first selected project that is neither marked nor the open one.
    void OnOpen();
    // Charts the first ten rows in a workbook and opens it with the desktop's spreadsheet.
    void OnGraph();
    // Saves the rows (and with Ctrl held the CSV export), then closes.
    void accept() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog();
    // Shows `rows_` whole; leaves no row selected.
    void Fill();

    CommandContext& doc_;
    std::string resultPath_;
    QTreeWidget* list_ = nullptr;
    std::vector<StatRow> rows_;
    SortDirections directions_;
    ControlLayout layout_;
};

} // namespace quilvane
