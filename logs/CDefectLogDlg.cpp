#include "logs/CDefectLogDlg.h"

#include "logs/CDefectEditDlg.h"
#include "ui/ControlIds.h"

namespace quilvane {

CDefectLogDlg::CDefectLogDlg(const DefectLog& log, QWidget* parent)
    : CLogListDlg({ControlId::DefectLogDialog, ControlId::DefectLogList, ControlId::DefectLogEdit,
                   ControlId::DefectLogDelete},
                  QStringLiteral("バグ管理"),
                  {{QStringLiteral("工程"), false},
                   {QStringLiteral("時刻"), true, QStringLiteral("0000/00/00  00:00:00")},
                   {QStringLiteral("コメント"), false}},
                  parent),
      log_(log)
{
    const auto& w = log_.columnWidths;
    OnInitDialog({log_.left, log_.top, log_.width, log_.height, {w[0], w[1], w[2]}});
}

std::string CDefectLogDlg::EntryCell(std::size_t row, int column) const
{
    return DefectLogCell(log_.entries[row], column);
}

bool CDefectLogDlg::EditEntry(std::size_t row)
{
    CDefectEditDlg edit(log_.entries[row], this);
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
    for (std::size_t i = 0; i < 3 && i < layout.columnWidths.size(); ++i) {
        log_.columnWidths[i] = layout.columnWidths[i];
    }
}

} // namespace quilvane
