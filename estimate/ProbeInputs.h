#pragma once
// The pieces of the plan estimate's buttons that need no window: reading the new-LOC text,
// splitting the base, the prediction's display, and the refit and predict steps over a
// PlanEstimate. The estimate dialog and the command-line tool share them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "estimate/ProbeFit.h"
#include "project/SubRecords.h"

namespace quilvane {

// The caption beside the range (UTF-8); its third word gives the confidence level.
inline const char* const ConfidenceCaption = "分 ( 95%信頼区間 )";
inline constexpr double DefaultConfidenceLevel = 0.95;

// The sum of the numbers in a text of pairs "word number" ("読込 20\r\n計算 30" gives 50).
// Reading stops at the first pair whose second item does not begin with a signed integer; the
// rest is ignored. Values beyond 32 bits saturate.
std::int32_t NewLocFromText(std::string_view text);

struct BaseSplit {
    std::int32_t reuseLoc = 0;
    std::int32_t deleteLoc = 0;
};

// reuse = integer part of (percent * base * 0.01 + 0.5), delete = base - reuse.
BaseSplit SplitBase(std::int32_t baseLoc, std::int32_t availablePercent);

// The integer part of prediction + 0.5, saturated to 32 bits (0 for a prediction that is not a
// number).
std::int32_t TotalMinutesFromPrediction(double prediction);

// "%.2f" of a range >= 0, else "∞" (in CP932, as every data-model string).
std::string RangeText(double range);

// The third blank-separated word of the caption read as a number, times 0.01. A caption without
// a number there gives the default level: a level of 0 would ask for the 0.5 quantile, for which
// the search never ends.
double ConfidenceLevelFromCaption(std::string_view caption);

// The plan figures of an estimate as the regression wants them.
ProbeCoefficients CoefficientsOf(const PlanEstimate& estimate);
void SetCoefficients(PlanEstimate& estimate, const ProbeCoefficients& coefficients);
ProbeSize PlannedSize(const PlanEstimate& estimate);

// "計算(&C)": reuse and delete from the base and the available percentage, new from the text.
void SplitPlannedSize(PlanEstimate& estimate);

// "実績で設定(&I)": the planned sizes and time from the measured results.
void SetFromActuals(PlanEstimate& estimate, const ProjectResult& result);

// "係数更新(&E)": refits the four coefficients over `history`; nothing else changes on screen.
void RefitEstimate(PlanEstimate& estimate, const std::vector<HistoryPoint>& history, double level);

// "計算(&T)": predicts `totalMinutes` and `rangeText` with the coefficients as they stand.
void PredictEstimate(PlanEstimate& estimate, const std::vector<HistoryPoint>& history, double level);

} // namespace quilvane
