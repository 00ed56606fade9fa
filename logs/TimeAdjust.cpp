#include "logs/TimeAdjust.h"

#include <algorithm>
#include <limits>

#include "project/DefectDetails.h"

namespace quilvane {
namespace {

constexpr std::int64_t Int32Max = std::numeric_limits<std::int32_t>::max();

std::int32_t ClampToRange(std::int64_t seconds)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(seconds, 0, Int32Max));
}

} // namespace

std::int32_t AdjusterStep(Adjuster button, bool ctrlHeld)
{
    static constexpr std::int32_t Minutes[] = {5, 1, -1, -5};
    std::int32_t minutes = Minutes[static_cast<int>(button) & 3];
    return minutes * (ctrlHeld ? 3600 : 60);
}

std::int32_t AdjustedSeconds(std::int32_t seconds, std::int32_t step)
{
    return ClampToRange(static_cast<std::int64_t>(seconds) + step);
}

void Adjust(TimeValue& value, Adjuster button, bool ctrlHeld)
{
    value.Set(AdjustedSeconds(value.Seconds(), AdjusterStep(button, ctrlHeld)));
}

TimeEntryEdit::TimeEntryEdit(const TimeLogEntry& entry)
    : phase(entry.phase), start(entry.start.Seconds(), false), span(entry.Duration(), true)
{
}

void TimeEntryEdit::ApplyTo(TimeLogEntry& entry) const
{
    entry.phase = phase;
    entry.start.Set(start.Seconds());
    // A late start plus a long span must not wrap the end to before 1970. Otherwise the sum
    // wraps as Duration does, so an entry of a damaged file (end before start) that is
    // confirmed unchanged keeps its end.
    std::int64_t end = static_cast<std::int64_t>(start.Seconds()) + span.Seconds();
    if (end > Int32Max && span.Seconds() >= 0) {
        entry.end.Set(static_cast<std::int32_t>(Int32Max));
        return;
    }
    entry.end.Set(static_cast<std::int32_t>(static_cast<std::uint32_t>(start.Seconds()) +
                                            static_cast<std::uint32_t>(span.Seconds())));
}

DefectEntryEdit::DefectEntryEdit(const DefectEntry& entry)
    : DefectDetails(DetailsOf(entry)), phase(entry.phase), time(entry.time)
{
}

void DefectEntryEdit::ApplyTo(DefectEntry& entry) const
{
    entry.phase = phase;
    const DefectDetails& details = *this;
    if (DetailsOf(entry) != details) {
        entry.comment = ComposeDefectComment(details);
    }
    entry.time.Set(time.Seconds());
}

std::optional<std::string> DefaultInjectedPhase(const std::vector<std::string>& phases,
                                                const std::string& current)
{
    for (std::size_t i = 0; i < phases.size(); ++i) {
        if (phases[i] == current) {
            return phases[i == 0 ? 0 : i - 1];
        }
    }
    return std::nullopt;
}

void FixTimer::Start(std::int64_t now, std::optional<std::int32_t> knownMinutes)
{
    if (started_) {
        return;
    }
    baseSeconds_ = static_cast<std::int64_t>(knownMinutes.value_or(0)) * 60;
    started_ = now;
}

std::optional<std::int32_t> FixTimer::Stop(std::int64_t now)
{
    if (!started_) {
        return std::nullopt;
    }
    std::int64_t seconds = Seconds(now);
    started_.reset();
    baseSeconds_ = 0;
    std::int64_t minutes = (seconds + 30) / 60;
    return static_cast<std::int32_t>(std::min<std::int64_t>(minutes, MaxFixMinutes));
}

std::int64_t FixTimer::Seconds(std::int64_t now) const
{
    // A clock set back while the timer runs counts as no time, never as negative time.
    return baseSeconds_ + (started_ ? std::max<std::int64_t>(now - *started_, 0) : 0);
}

DefectEntry NewDefect(const std::string& phase, std::int64_t now)
{
    DefectEntry entry;
    entry.phase = phase;
    entry.time = Moment(ClampToRange(now));
    return entry;
}

} // namespace quilvane
