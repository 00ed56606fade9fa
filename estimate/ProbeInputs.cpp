#include "estimate/ProbeInputs.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace quilvane {
namespace {

constexpr std::int64_t Int32Max = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t Int32Min = std::numeric_limits<std::int32_t>::min();

std::int32_t ClampToInt32(std::int64_t v)
{
    return static_cast<std::int32_t>(std::clamp(v, Int32Min, Int32Max));
}

// The integer part of x + 0.5 (truncation toward zero, as the original's conversion does),
// saturated instead of overflowing.
std::int32_t RoundHalfUp(double x)
{
    double r = std::trunc(x + 0.5);
    if (std::isnan(r)) {
        return 0;
    }
    return static_cast<std::int32_t>(std::clamp(r, double(Int32Min), double(Int32Max)));
}

// The white space of scanf: blanks, tabs and line breaks. CP932 trail bytes are never among them.
bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void SkipSpace(std::string_view text, std::size_t& pos)
{
    while (pos < text.size() && IsSpace(text[pos])) {
        ++pos;
    }
}

} // namespace

std::int32_t NewLocFromText(std::string_view text)
{
    std::int64_t sum = 0;
    std::size_t pos = 0;
    for (;;) {
        SkipSpace(text, pos);
        if (pos >= text.size()) {
            break;
        }
        while (pos < text.size() && !IsSpace(text[pos])) {
            ++pos; // the word
        }
        SkipSpace(text, pos);
        bool negative = false;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            negative = text[pos] == '-';
            ++pos;
        }
        if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') {
            break;
        }
        std::int64_t value = 0;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            value = std::min<std::int64_t>(value * 10 + (text[pos] - '0'), Int32Max + 1);
            ++pos;
        }
        value = std::clamp<std::int64_t>(negative ? -value : value, Int32Min, Int32Max);
        sum = std::clamp<std::int64_t>(sum + value, Int32Min, Int32Max);
    }
    return static_cast<std::int32_t>(sum);
}

BaseSplit SplitBase(std::int32_t baseLoc, std::int32_t availablePercent)
{
    BaseSplit split;
    split.reuseLoc = RoundHalfUp(double(availablePercent) * double(baseLoc) * 0.01);
    split.deleteLoc = ClampToInt32(std::int64_t{baseLoc} - split.reuseLoc);
    return split;
}

std::int32_t TotalMinutesFromPrediction(double prediction)
{
    return RoundHalfUp(prediction);
}

std::string RangeText(double range)
{
    if (!(range >= 0.0)) {
        return "\x81\x87"; // ∞
    }
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.2f", range);
    return buffer;
}

double ConfidenceLevelFromCaption(std::string_view caption)
{
    std::size_t pos = 0;
    for (int word = 0; word < 2; ++word) {
        SkipSpace(caption, pos);
        while (pos < caption.size() && !IsSpace(caption[pos])) {
            ++pos;
        }
    }
    SkipSpace(caption, pos);
    std::string third(caption.substr(pos));
    char* end = nullptr;
    double percent = std::strtod(third.c_str(), &end);
    double level = percent * 0.01;
    // Only a level strictly between 0 and 1 gives a quantile that can be found.
    if (end == third.c_str() || !(level > 0.0 && level < 1.0)) {
        return DefaultConfidenceLevel;
    }
    return level;
}

ProbeCoefficients CoefficientsOf(const PlanEstimate& estimate)
{
    return {estimate.constant, estimate.reuseCoef, estimate.deleteCoef, estimate.newCoef};
}

void SetCoefficients(PlanEstimate& estimate, const ProbeCoefficients& coefficients)
{
    estimate.constant = coefficients.constant;
    estimate.reuseCoef = coefficients.reuseCoef;
    estimate.deleteCoef = coefficients.deleteCoef;
    estimate.newCoef = coefficients.newCoef;
}

ProbeSize PlannedSize(const PlanEstimate& estimate)
{
    return {double(estimate.reuseLoc), double(estimate.deleteLoc), double(estimate.newLoc)};
}

void SplitPlannedSize(PlanEstimate& estimate)
{
    BaseSplit split = SplitBase(estimate.baseLoc, estimate.availablePercent);
    estimate.reuseLoc = split.reuseLoc;
    estimate.deleteLoc = split.deleteLoc;
    estimate.newLoc = NewLocFromText(estimate.newLocText);
}

void SetFromActuals(PlanEstimate& estimate, const ProjectResult& result)
{
    estimate.reuseLoc = result.actualReuse;
    estimate.deleteLoc = result.actualDelete;
    estimate.newLoc = result.actualNew;
    estimate.totalMinutes = result.actualMinutes;
}

void RefitEstimate(PlanEstimate& estimate, const std::vector<HistoryPoint>& history, double level)
{
    ProbeCoefficients coefficients = CoefficientsOf(estimate);
    // The prediction is computed as part of the refit but not shown.
    (void)EstimateFromHistory(history, true, coefficients, PlannedSize(estimate), level);
    SetCoefficients(estimate, coefficients);
}

void PredictEstimate(PlanEstimate& estimate, const std::vector<HistoryPoint>& history, double level)
{
    ProbeCoefficients coefficients = CoefficientsOf(estimate);
    ProbePrediction p = EstimateFromHistory(history, false, coefficients, PlannedSize(estimate), level);
    estimate.totalMinutes = TotalMinutesFromPrediction(p.prediction);
    estimate.rangeText = RangeText(p.range);
}

} // namespace quilvane
