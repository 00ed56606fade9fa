#pragma once
// The statistics dialog: one row per project of the history, scanned afresh when it opens. The
// list is the editing buffer: sorting and deleting change only the rows, and 保存終了 writes the
// statistics file from the rows as they stand; 閉じる discards every change. Choosing another
// project ends the dialog with its file in ResultPath, for the caller to open.
#include <QDialog>
#include <QPointer>
#include <cstddef>
#include <string>
#include <vector>

#include "logs/LogListLogic.h"
#include "project/SubRecords.h"
#include "statistics/CChartView.h"
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
    // Shows the rows as charts in a window of the workbench that follows the list's changes.
    void OnChartView();
    // The chart window, once opened.
    CChartView* ChartView() const { return chartView_; }
    // Saves the rows (and with Ctrl held the CSV export), then closes.
    void accept() override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddButtons();
    void OnInitDialog();
    // Shows `rows_` whole; leaves no row selected.
    void Fill();

    CommandContext& doc_;
    std::string resultPath_;
    QTreeWidget* list_ = nullptr;
    std::vector<StatRow> rows_;
    // Time logged per phase by the scanned projects, for the chart of phase shares.
    PhaseSeconds phaseSeconds_;
    // The scanned projects' defect logs, for the defect charts.
    ProjectDefectLogs defectLogs_;
    QPointer<CChartView> chartView_;
    SortDirections directions_;
    ControlLayout layout_;
};

} // namespace quilvane
