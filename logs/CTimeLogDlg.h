#pragma once
// The time log dialog: the phase, span, start and end of every interval, to review, sort,
// correct and delete. It edits its own copy of the log; the caller stores Log() on OK.
#include "logs/CLogListDlg.h"
#include "project/SubRecords.h"

namespace quilvane {

class CTimeLogDlg : public CLogListDlg {
    Q_OBJECT
public:
    explicit CTimeLogDlg(const TimeLog& log, QWidget* parent = nullptr);

    // The edited copy: entries in the displayed order and, after OK, the recorded layout.
    const TimeLog& Log() const { return log_; }

protected:
    std::size_t EntryCount() const override { return log_.entries.size(); }
    std::string EntryCell(std::size_t row, int column) const override;
    bool EditEntry(std::size_t row) override;
    std::optional<std::size_t> DeleteEntries(const std::set<std::size_t>& rows) override;
    std::vector<std::size_t> SortEntries(int column, bool ascending) override;
    void StoreLayout(const Layout& layout) override;

private:
    TimeLog log_;
};

} // namespace quilvane
