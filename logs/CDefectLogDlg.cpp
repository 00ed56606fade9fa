#include "logs/CDefectLogDlg.h"

#include "logs/CDefectEditDlg.h"
#include "ui/ControlIds.h"

namespace quilvane {
namespace {

const SystemTimeSource& SystemClock()
{
    static const SystemTimeSource clock;
    return clock;
}

} // namespace

CDefectLogDlg::CDefectLogDlg(const DefectLog& log, QWidget* parent)
    : CDefectLogDlg(log, {}, SystemClock(), parent)
{
}

CDefectLogDlg::CDefectLogDlg(const DefectLog& log, std::vector<std::string> phases, const TimeSource& clock,
                             QWidget* parent)
    : CLogListDlg({ControlId::DefectLogDialog, ControlId::DefectLogList, ControlId::DefectLogEdit,
                   ControlId::DefectLogDelete},
                  QStringLiteral("バグ管理"), ColumnsOf(DefectLogColumns()), parent),
      log_(log), phases_(std::move(phases)), clock_(clock)
{
    // The file stores the widths of some columns only; the others open at their defaults.
    OnInitDialog(
        {log_.left, log_.top, log_.width, log_.height, OpeningWidths(DefectLogColumns(), log_.columnWidths)});
}

std::string CDefectLogDlg::EntryCell(std::size_t row, int column) const
{
    return DefectLogCell(log_.entries[row], column);
}

bool CDefectLogDlg::EditEntry(std::size_t row)
{
    CDefectEditDlg edit(log_.entries[row], phases_, clock_, this);
    return edit.exec() == QDialog::Accepted;
}

std::optional<std::size_t> CDefectLogDlg::DeleteEntries(const std::set<std::size_t>& rows)
{
    return DeleteRows(log_.entries, rows);
}

std::vector<std::size_t> CDefectLogDlg::SortEntries(int column, bool ascending)
{
    std::vector<std::size_t> order = DefectLogSortOrder(log_.entries, column, ascending);
    Reorder(log_.entries, order);
    return order;
}

void CDefectLogDlg::StoreLayout(const Layout& layout)
{
    log_.left = layout.left;
    log_.top = layout.top;
    log_.width = layout.width;
    log_.height = layout.height;
    StoreWidths(DefectLogColumns(), layout.columnWidths, log_.columnWidths);
}

} // namespace quilvane
