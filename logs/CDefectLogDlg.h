#pragma once
// The defect log dialog: the phase, moment, comment and PSP details of every defect, to review, sort,
// correct and delete. It edits its own copy of the log; the caller stores Log() on OK.
#include "logs/CLogListDlg.h"
#include "platform/TimeSource.h"
#include "project/SubRecords.h"

namespace quilvane {

class CDefectLogDlg : public CLogListDlg {
    Q_OBJECT
public:
    // `phases` are the project's phase names the edit dialog offers for the injected phase.
    CDefectLogDlg(const DefectLog& log, std::vector<std::string> phases, const TimeSource& clock,
                  QWidget* parent = nullptr);
    // Without the project's phases, on the system clock.
    explicit CDefectLogDlg(const DefectLog& log, QWidget* parent = nullptr);

    // The edited copy: entries in the displayed order and, after OK, the recorded layout.
    const DefectLog& Log() const { return log_; }

protected:
    std::size_t EntryCount() const override { return log_.entries.size(); }
    std::string EntryCell(std::size_t row, int column) const override;
    bool EditEntry(std::size_t row) override;
    std::optional<std::size_t> DeleteEntries(const std::set<std::size_t>& rows) override;
    std::vector<std::size_t> SortEntries(int column, bool ascending) override;
    void StoreLayout(const Layout& layout) override;

private:
    DefectLog log_;
    std::vector<std::string> phases_;
    const TimeSource& clock_;
};

} // namespace quilvane
