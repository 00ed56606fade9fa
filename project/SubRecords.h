#pragma once
// The sub-records of a project: the time type of both logs, the time log, the defect log, the
// plan estimate and the measured result.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/MbString.h"

namespace quilvane {

// A moment (seconds since 1970, as time() gives them) or a span of seconds. The display text
// is made when it is shown: a project holds thousands of moments that are read, summed and
// saved without ever being looked at, and the statistics scan loads whole folders of them.
class TimeValue {
public:
    TimeValue() : TimeValue(0, false) {}
    TimeValue(std::int32_t seconds, bool isDuration) : isDuration_(isDuration), seconds_(seconds) {}

    void Set(std::int32_t seconds) { seconds_ = seconds; }

    std::int32_t Seconds() const { return seconds_; }
    bool IsDuration() const { return isDuration_; }
    // "2026/12/07  04:36:20" in local time for a moment, "DD HH:MM:SS" for a span.
    std::string Text() const;

    bool operator==(const TimeValue& other) const = default;

private:
    bool isDuration_;
    std::int32_t seconds_ = 0;
};

inline TimeValue Moment(std::int32_t seconds)
{
    return TimeValue(seconds, false);
}

struct TimeLogEntry {
    std::string phase;
    TimeValue start;
    TimeValue end;

    // Wraps like the original 32-bit arithmetic, so a damaged file cannot overflow it.
    std::int32_t Duration() const
    {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(end.Seconds()) -
                                         static_cast<std::uint32_t>(start.Seconds()));
    }
    bool operator==(const TimeLogEntry&) const = default;
};

// Seconds per phase name; names match only when byte for byte equal.
using PhaseSeconds = std::map<std::string, std::int32_t, MbsLess>;

// What TimeLog::AddEntry did with an interval.
enum class TimeLogAddition {
    Appended,
    NoStart,    // the start is 0: the phase was never entered
    NoDuration, // the start equals the end
    Backward,   // the start is after the end
};

struct TimeLog {
    std::int32_t left = 10;
    std::int32_t top = 10;
    std::int32_t width = 500;
    std::int32_t height = 300;
    std::int32_t columnWidths[4] = {70, 70, 130, 130};
    std::vector<TimeLogEntry> entries;

    // Appends {phase, start, end} when start is known and before end; nothing is appended otherwise.
    [[nodiscard]] TimeLogAddition AddEntry(const std::string& phase, std::int32_t start, std::int32_t end);
    // Adds every entry's duration to the value under its phase, creating keys at 0.
    void SumByPhase(PhaseSeconds& sums) const;

    bool operator==(const TimeLog&) const = default;
};

struct DefectEntry {
    std::string phase;
    std::string comment; // lines separated by CR LF
    TimeValue time;

    bool operator==(const DefectEntry&) const = default;
};

struct DefectLog {
    std::int32_t left = 10;
    std::int32_t top = 10;
    std::int32_t width = 500;
    std::int32_t height = 300;
    std::int32_t columnWidths[3] = {70, 130, 200};
    std::vector<DefectEntry> entries;

    bool operator==(const DefectLog&) const = default;
};

struct PlanEstimate {
    double constant = 0.0;
    double reuseCoef = 0.0;
    double deleteCoef = 0.0;
    double newCoef = 0.0;
    std::int32_t baseLoc = 0;
    std::int32_t availablePercent = 50;
    std::string newLocText;
    std::int32_t reuseLoc = 0;
    std::int32_t newLoc = 0;
    std::int32_t deleteLoc = 0;
    std::int32_t totalMinutes = 0;
    std::string baseName;
    std::string rangeText;

    // The planned total size: new plus reused lines (deleted lines count in neither total).
    std::int32_t PlanTotal() const { return newLoc + reuseLoc; }
    bool operator==(const PlanEstimate&) const = default;
};

struct ProjectResult {
    std::int32_t actualReuse = 0;
    std::int32_t actualDelete = 0;
    std::int32_t actualNew = 0;
    std::int32_t actualMinutes = 0; // not stored: recomputed on load
    std::int32_t bugCount = 0;      // not stored: set by the results command

    std::int32_t ActualTotal() const { return actualNew + actualReuse; }
    bool operator==(const ProjectResult&) const = default;
};

} // namespace quilvane
