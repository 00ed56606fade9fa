#pragma once
// The adjuster buttons of the log edit dialogs and the working values those dialogs edit. A
// time is changed only by whole steps through these functions; its text is never parsed back.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "project/DefectDetails.h"
#include "project/SubRecords.h"

namespace quilvane {

// The four adjuster buttons, in the order the dialogs show them.
enum class Adjuster { PlusPlus = 0, Plus = 1, Minus = 2, MinusMinus = 3 };

// Seconds a press adds: +5, +1, -1, -5 minutes, or as many hours while Ctrl is held.
std::int32_t AdjusterStep(Adjuster button, bool ctrlHeld);

// `seconds` + `step`; a result of 0 or less becomes 0, and one beyond the 32-bit range stays at
// its largest value instead of wrapping into the past.
std::int32_t AdjustedSeconds(std::int32_t seconds, std::int32_t step);

// Moves `value` by one press of `button`, rebuilding its text.
void Adjust(TimeValue& value, Adjuster button, bool ctrlHeld);

// The working values of the time entry edit dialog: the phase, the start moment and the span.
struct TimeEntryEdit {
    explicit TimeEntryEdit(const TimeLogEntry& entry);

    // Writes the values into `entry`: its end becomes start + span, so moving the start moves
    // the end with it and changing the span moves only the end.
    void ApplyTo(TimeLogEntry& entry) const;

    std::string phase;
    TimeValue start;
    TimeValue span;
};

// The working values of the defect edit dialog: the comment is the student's text, the PSP
// details (every field of DefectDetails) are edited beside it and written back into the stored
// comment's header.
struct DefectEntryEdit : DefectDetails {
    explicit DefectEntryEdit(const DefectEntry& entry);

    // A stored comment whose text and details nobody changed is kept byte for byte, even one
    // with a damaged header.
    void ApplyTo(DefectEntry& entry) const;

    std::string phase;
    TimeValue time;
};

// The phase a defect found in `current` was most likely injected in: the phase before it in
// `phases`, the first phase itself, or none when `current` is not among them.
std::optional<std::string> DefaultInjectedPhase(const std::vector<std::string>& phases,
                                                const std::string& current);

// The fix timer of the defect edit dialog: runs from Start to Stop on the injected clock, adding
// each run to the minutes already known, so a student can type a time and measure more on top.
class FixTimer {
public:
    bool Running() const { return started_.has_value(); }
    // Starts a run at `now`, counting on from `knownMinutes` (unknown counts as 0).
    void Start(std::int64_t now, std::optional<std::int32_t> knownMinutes);
    // Ends the run and returns the minutes in all, the seconds rounded half up; nullopt when
    // no run was going.
    std::optional<std::int32_t> Stop(std::int64_t now);
    // The seconds counted so far, the running run included.
    std::int64_t Seconds(std::int64_t now) const;

private:
    std::optional<std::int64_t> started_;
    std::int64_t baseSeconds_ = 0;
};

// A new defect recorded in `phase` at `now`, with an empty comment.
DefectEntry NewDefect(const std::string& phase, std::int64_t now);

} // namespace quilvane
