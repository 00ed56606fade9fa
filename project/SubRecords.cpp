#include "project/SubRecords.h"

#include "platform/TimeText.h"

namespace quilvane {

std::string TimeValue::Text() const
{
    return isDuration_ ? FormatSpan(seconds_) : FormatMoment(seconds_);
}

TimeLogAddition TimeLog::AddEntry(const std::string& phase, std::int32_t start, std::int32_t end)
{
    if (start == 0) {
        return TimeLogAddition::NoStart;
    }
    if (start == end) {
        return TimeLogAddition::NoDuration;
    }
    if (start > end) {
        return TimeLogAddition::Backward;
    }
    entries.push_back({phase, Moment(start), Moment(end)});
    return TimeLogAddition::Appended;
}

void TimeLog::SumByPhase(PhaseSeconds& sums) const
{
    for (const auto& entry : entries) {
        // Wraps like the original 32-bit arithmetic instead of overflowing.
        auto& total = sums[entry.phase];
        total = static_cast<std::int32_t>(static_cast<std::uint32_t>(total) +
                                          static_cast<std::uint32_t>(entry.Duration()));
    }
}

} // namespace quilvane
