#include "logs/CTimeLogDlg.h"

#include "logs/CTimeEditDlg.h"
#include "ui/ControlIds.h"

namespace quilvane {

CTimeLogDlg::CTimeLogDlg(const TimeLog& log, QWidget* parent)
    : CLogListDlg({ControlId::TimeLogDialog, ControlId::TimeLogList, ControlId::TimeLogEdit,
                   ControlId::TimeLogDelete},
                  QStringLiteral("時間管理"), ColumnsOf(TimeLogColumns()), parent),
      log_(log)
{
    OnInitDialog(
        {log_.left, log_.top, log_.width, log_.height, OpeningWidths(TimeLogColumns(), log_.columnWidths)});
}

std::string CTimeLogDlg::EntryCell(std::size_t row, int column) const
{
    return TimeLogCell(log_.entries[row], column);
}

bool CTimeLogDlg::EditEntry(std::size_t row)
{
    CTimeEditDlg edit(log_.entries[row], this);
    return edit.exec() == QDialog::Accepted;
}

std::optional<std::size_t> CTimeLogDlg::DeleteEntries(const std::set<std::size_t>& rows)
{
    return DeleteRows(log_.entries, rows);
}

std::vector<std::size_t> CTimeLogDlg::SortEntries(int column, bool ascending)
{
    std::vector<std::size_t> order = TimeLogSortOrder(log_.entries, column, ascending);
    Reorder(log_.entries, order);
    return order;
}

void CTimeLogDlg::StoreLayout(const Layout& layout)
{
    log_.left = layout.left;
    log_.top = layout.top;
    log_.width = layout.width;
    log_.height = layout.height;
    StoreWidths(TimeLogColumns(), layout.columnWidths, log_.columnWidths);
}

} // namespace quilvane
