#pragma once
// The ticks of the review checklists, kept in "work.psp.checklist" beside the project file so that
// the project file keeps its layout and the ticks travel with the project folder. CP932 text with
// CR LF line ends: a first line naming the format, then one line per ticked item,
//
//     <review phase> TAB <item key> TAB <moment ticked, as the logs show it> TAB <item title>
//
// The title is there for a person reading the file; only the phase and the key identify an item.
// A damaged file loses only its damaged lines: a line that does not hold the fields is skipped.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Status.h"
#include "statistics/ReviewChecklist.h"

namespace quilvane {

struct ChecklistTick {
    ReviewKind review = ReviewKind::Code;
    std::string key;   // the item's key (ChecklistItem::key)
    std::string time;  // when it was ticked, as FormatMoment writes it (CP932 digits)
    std::string title; // CP932

    bool operator==(const ChecklistTick&) const = default;
};

// "<project file>.checklist"
std::string ChecklistPathFor(const std::string& projectPath);

std::string FormatTicks(const std::vector<ChecklistTick>& ticks);
// The well-formed lines of `text`; a text without the first line holds no ticks.
std::vector<ChecklistTick> ParseTicks(std::string_view text);

// The ticks at `path`; none when the file is missing, is not a regular file (a FIFO never
// blocks the reader), is larger than any checklist could make it, or is not a checklist file.
std::vector<ChecklistTick> ReadTicks(const std::string& path);
// Replaces the file atomically.
[[nodiscard]] Status WriteTicks(const std::string& path, const std::vector<ChecklistTick>& ticks);

// Ticks or unticks item `key` of `review` at `now`: a tick is added at the end, an untick removes it.
void SetTick(std::vector<ChecklistTick>& ticks, ReviewKind review, const std::string& key,
             const std::string& title, bool ticked, std::int32_t now);
// The tick of `key` in `review`, when there is one.
const ChecklistTick* FindTick(const std::vector<ChecklistTick>& ticks, ReviewKind review,
                              const std::string& key);

} // namespace quilvane
