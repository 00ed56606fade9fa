#pragma once
// The 品質 view's figures as text: this project beside the figures to date, the measures first and
// then phase by phase. Each cell carries the tooltip that says how it was computed, and a null
// figure shows "—" with its reason. The view and the printed page only lay these cells out, so
// what they show is decided (and tested) here.
#include <cstddef>
#include <string>
#include <vector>

#include "statistics/QualityMeasures.h"

namespace quilvane {

// What a null figure shows.
inline constexpr const char* QualityNullText = "—";

struct QualityCell {
    std::string text; // UTF-8
    std::string tip;  // UTF-8: how the figure is computed, and why it is null when it is
    bool numeric = false;

    bool operator==(const QualityCell&) const = default;
};

struct QualitySheet {
    // The measures: caption, this project, to date.
    std::vector<std::string> measureHeader;
    std::vector<std::vector<QualityCell>> measures;
    // The phases: the group captions (each over two columns after 工程), then "今回" and "累計"
    // under each, then a row per phase: the project's phases in their order, then the phases
    // only the history has.
    std::vector<std::string> phaseGroups;
    std::vector<std::string> phaseSubHeader;
    std::vector<std::vector<QualityCell>> phases;
    // Sentences under the tables (defects left out of the yield, an empty history); may be empty.
    std::vector<std::string> notes;

    bool operator==(const QualitySheet&) const = default;
};

// One figure: `decimals` decimals, or "—" when null.
std::string QualityFigureText(const QualityValue& value, int decimals);

// The sheet of `project` beside `toDate` (the finished projects, with the open one once it is
// finished).
QualitySheet MakeQualitySheet(const QualityMeasures& project, const QualityMeasures& toDate);

// The project's own figures alone, for the printed page: each measure's row is caption, figure
// ("—" alone when null) and formula (with the reason of a null figure on a line of its own); each
// phase's row is the phase and its "今回" figures under `phaseGroups`.
struct ProjectQualityPage {
    std::vector<std::vector<QualityCell>> measures;
    std::vector<std::string> phaseGroups;
    std::vector<std::vector<QualityCell>> phases;
    std::vector<std::string> notes;
};
ProjectQualityPage MakeProjectQualityPage(const QualityMeasures& project);

} // namespace quilvane
