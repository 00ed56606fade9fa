#pragma once
// What the time log and defect log dialogs share: a multi-selection list of the log's entries,
// OK, Cancel, Edit and Delete buttons anchored to the right edge, header clicks that sort, and
// the window rectangle and column widths that OK records. A subclass owns the copy of the log
// and answers for its entries; the logic itself lives in LogListLogic.
#include <QDialog>
#include <QRect>
#include <QSize>
#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "logs/LogColumns.h"
#include "logs/LogListLogic.h"
#include "ui/ControlLayout.h"

class QPushButton;
class QTreeView;

namespace quilvane {

class LogListModel;

class CLogListDlg : public QDialog {
    Q_OBJECT
public:
    QTreeView* List() const { return list_; }
    // The selected rows, ascending.
    std::vector<int> SelectedRows() const;
    // Makes exactly `rows` the selection, without scrolling.
    void SelectRows(const std::vector<int>& rows);
    int RowCount() const;
    QString CellText(int row, int column) const;

    // Edits the first selected row; asks for a selection when there is none.
    void OnEdit();
    // Deletes every selected row without asking and selects the row that moved up into the
    // place of the first of them.
    void OnDelete();
    // Sorts by the texts of `column`, alternating ascending and descending per column.
    void OnSort(int column);
    // Records the window rectangle and the column widths, then closes with OK.
    void accept() override;

protected:
    struct ControlIds {
        int dialog;
        int list;
        int edit;
        int remove;
    };
    struct Column {
        QString heading;
        bool rightAligned;
        // A fixed-format text the column must always show whole ('0' standing for any digit),
        // or empty for free text.
        QString fitPattern = {};
    };
    struct Layout {
        int left;
        int top;
        int width;
        int height;
        std::vector<int> columnWidths;
    };

    CLogListDlg(const ControlIds& ids, const QString& caption, std::vector<Column> columns, QWidget* parent);

    // The list's columns as a log's column table describes them.
    template <class Entry> static std::vector<Column> ColumnsOf(std::span<const LogColumn<Entry>> table)
    {
        std::vector<Column> columns;
        for (const auto& column : table) {
            columns.push_back(
                {QString::fromUtf8(column.title), column.rightAligned, QString::fromUtf8(column.fitPattern)});
        }
        return columns;
    }
    ~CLogListDlg() override;

    // Anchors the controls, places the dialog by `layout`, sets the columns and fills the list
    // with the last row selected. Subclasses call it once their copy of the log is in place.
    void OnInitDialog(const Layout& layout);
    // Rebuilds every row from the entries; leaves no row selected.
    void Fill();

    virtual std::size_t EntryCount() const = 0;
    virtual std::string EntryCell(std::size_t row, int column) const = 0;
    // Opens the edit dialog on entry `row`; true when it was confirmed.
    virtual bool EditEntry(std::size_t row) = 0;
    virtual std::optional<std::size_t> DeleteEntries(const std::set<std::size_t>& rows) = 0;
    // Sorts the entries by `column` and returns the order applied (entry order[i] is now i).
    virtual std::vector<std::size_t> SortEntries(int column, bool ascending) = 0;
    virtual void StoreLayout(const Layout& layout) = 0;

    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    friend class LogListModel;

    void SetUpList(int id, std::vector<Column> columns);
    void AddButtons(const ControlIds& ids);

    // The width (in pixels on this screen) a column needs so that its fixed-format texts are
    // never cut; 0 for free text.
    int FitWidth(int column) const;

    QTreeView* list_ = nullptr;
    LogListModel* model_ = nullptr;
    SortDirections directions_;
    ControlLayout layout_;
    std::vector<Column> columns_;
    // The column widths as read from the log and as first shown, so that a width nobody
    // changed is stored back unchanged.
    std::vector<int> storedWidths_;
    std::vector<int> shownWidths_;
    // Likewise the dialog's size, which opening may widen so that every column shows.
    QSize storedSize_;
    QSize shownSize_;
};

} // namespace quilvane
