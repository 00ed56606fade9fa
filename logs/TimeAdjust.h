#pragma once
// The adjuster buttons of the log edit dialogs and the working values those dialogs edit. A
// time is changed only by whole steps through these functions; its text is never parsed back.
#include <cstdint>
#include <string>

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

// The working values of the defect edit dialog.
struct DefectEntryEdit {
    explicit DefectEntryEdit(const DefectEntry& entry)
        : phase(entry.phase), comment(entry.comment), time(entry.time)
    {
    }

    void ApplyTo(DefectEntry& entry) const;

    std::string phase;
    std::string comment;
    TimeValue time;
};

// A new defect recorded in `phase` at `now`, with an empty comment.
DefectEntry NewDefect(const std::string& phase, std::int64_t now);

} // namespace quilvane
