#pragma once
// The review checklist: what the student should look for in a design or code review, drawn from
// their own defects. A defect counts when its type is known and it was found in コンパイル or テスト,
// where defects cost most; it belongs to the design review when it was injected in 設計 and to the
// code review when it was injected in コーディング. Each defect type becomes one item, with how
// often it was found, its share of the review's defects, its average fix minutes and the student's
// latest two comments of that type as reminders.
//
// Items are ranked by count (most first); equal counts by total fix minutes (most first, the type
// that cost more is checked earlier), and then by type code (smallest first), so the order never
// depends on the order of the projects or of their logs. The comments are the latest by the
// defect's time; of equal times the one later in the history (then later in its log) is latest.
//
// When a review has no such defect yet (no history, or none of its defects typed), the checklist
// is a starter list of the PSP's standard review items, written for C# and Visual Basic, and says
// that it will adapt as typed defects are recorded.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "project/ProjectRecord.h"

namespace quilvane {

enum class ReviewKind { Design, Code };

// The review a phase name stands for: 設計レビュー or コードレビュー (CP932, byte-exact).
std::optional<ReviewKind> ReviewKindOfPhase(const std::string& phase);
// The phase name of a review (CP932).
const std::string& ReviewPhaseName(ReviewKind kind);

struct ChecklistItem {
    std::string key;   // the type code ("20") or, for a starter item, "S1", "S2", ...
    std::string title; // CP932: "20 構文", or the starter item's name
    std::string hint;  // CP932: what to look for (starter items only)
    std::int32_t count = 0;
    double share = 0.0;                      // percent of the review's counted defects
    std::optional<double> averageFixMinutes; // over the defects whose fix time is known
    std::vector<std::string> comments;       // CP932, latest first, at most two, never empty texts

    bool operator==(const ChecklistItem&) const = default;
};

struct ReviewChecklist {
    ReviewKind kind = ReviewKind::Code;
    bool starter = false;      // no counted defect yet: the standard items
    std::int32_t defects = 0;  // defects counted for this review
    std::int32_t projects = 0; // finished projects of the history that were read, plus the current one
    std::vector<ChecklistItem> items;
};

// The checklist over `history` (finished projects; others are skipped) and `current` (always
// counted, finished or not).
ReviewChecklist BuildReviewChecklist(ReviewKind kind, const std::vector<ProjectRecord>& history,
                                     const ProjectRecord& current);

// The same over the projects the statistics scan finds beside the program, skipping the folder
// `excludedName` (the current project, whose record may be newer than its file).
ReviewChecklist LoadReviewChecklist(ReviewKind kind, const ProjectRecord& current,
                                    const std::string& excludedName);

// The note shown above a starter list (UTF-8).
const char* StarterNote();

} // namespace quilvane
