#include <gtest/gtest.h>

#include <limits>

#include "estimate/ProbeInputs.h"
#include "platform/Cp932.h"

using namespace quilvane;

namespace {

std::string Sjis(const char* utf8)
{
    return Utf8ToCp932(utf8);
}

} // namespace

TEST(ProbeNewLocText, SumsTheNumbersOfWordNumberPairs)
{
    EXPECT_EQ(NewLocFromText(Sjis("読込 20\r\n計算 30")), 50);
    EXPECT_EQ(NewLocFromText(Sjis("読込\t20\n計算   -5\r\n")), 15);
    EXPECT_EQ(NewLocFromText(Sjis("読込 +7")), 7);
    EXPECT_EQ(NewLocFromText(""), 0);
    EXPECT_EQ(NewLocFromText(" \r\n\t"), 0);
}

TEST(ProbeNewLocText, FirstPairWithoutANumberEndsTheReading)
{
    EXPECT_EQ(NewLocFromText(Sjis("読込 20\r\n表示 x\r\n計算 30")), 20);
    // A lone number is taken as the word, and the next word is no number.
    EXPECT_EQ(NewLocFromText(Sjis("20\r\n計算 30")), 0);
    // Digits glued to letters end the number; the letters become the next word.
    EXPECT_EQ(NewLocFromText(Sjis("読込 20abc 計算 30")), 20);
    EXPECT_EQ(NewLocFromText(Sjis("読込 - 5")), 0);
    EXPECT_EQ(NewLocFromText(Sjis("読込 12 末尾")), 12);
}

TEST(ProbeNewLocText, HugeNumbersSaturate)
{
    EXPECT_EQ(NewLocFromText("a 99999999999"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(NewLocFromText("a 2147483647 b 2147483647"), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(NewLocFromText("a -99999999999 b 1"), std::numeric_limits<std::int32_t>::min() + 1);
}

TEST(ProbeBaseSplit, HalfOfAnOddBaseRoundsTheReusedPartUp)
{
    BaseSplit s = SplitBase(101, 50);
    EXPECT_EQ(s.reuseLoc, 51);
    EXPECT_EQ(s.deleteLoc, 50);
    EXPECT_EQ(SplitBase(200, 100).reuseLoc, 200);
    EXPECT_EQ(SplitBase(200, 0).deleteLoc, 200);
}

TEST(ProbeBaseSplit, ExtremeInputsSaturate)
{
    BaseSplit s = SplitBase(std::numeric_limits<std::int32_t>::max(), 1000);
    EXPECT_EQ(s.reuseLoc, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(s.deleteLoc, 0);
}

TEST(ProbeDisplay, TotalMinutesRoundHalfUp)
{
    EXPECT_EQ(TotalMinutesFromPrediction(12.5), 13);
    EXPECT_EQ(TotalMinutesFromPrediction(12.49), 12);
    EXPECT_EQ(TotalMinutesFromPrediction(0.0), 0);
    EXPECT_EQ(TotalMinutesFromPrediction(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(TotalMinutesFromPrediction(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST(ProbeDisplay, RangeTextIsTwoDecimalsOrInfinity)
{
    EXPECT_EQ(RangeText(3.14159), "3.14");
    EXPECT_EQ(RangeText(0.0), "0.00");
    EXPECT_EQ(Cp932ToUtf8(RangeText(-1.0)), "∞");
    EXPECT_EQ(Cp932ToUtf8(RangeText(std::numeric_limits<double>::quiet_NaN())), "∞");
}

TEST(ProbeDisplay, ConfidenceLevelComesFromTheCaptionsThirdWord)
{
    EXPECT_DOUBLE_EQ(ConfidenceLevelFromCaption(ConfidenceCaption), 0.95);
    EXPECT_DOUBLE_EQ(ConfidenceLevelFromCaption(Sjis("分 ( 90%信頼区間 )")), 0.9);
    EXPECT_DOUBLE_EQ(ConfidenceLevelFromCaption("too short"), DefaultConfidenceLevel);
    EXPECT_DOUBLE_EQ(ConfidenceLevelFromCaption("a b 100%"), DefaultConfidenceLevel);
}

class ProbeButtons : public ::testing::Test {
protected:
    PlanEstimate estimate_;
};

TEST_F(ProbeButtons, NoHistoryGivesZeroCoefficientsZeroMinutesAndInfinity)
{
    estimate_.constant = 5;
    estimate_.newCoef = 2;
    estimate_.newLoc = 40;
    RefitEstimate(estimate_, {}, 0.95);
    EXPECT_EQ(CoefficientsOf(estimate_), ProbeCoefficients());
    EXPECT_EQ(estimate_.totalMinutes, 0);

    PredictEstimate(estimate_, {}, 0.95);
    EXPECT_EQ(estimate_.totalMinutes, 0);
    EXPECT_EQ(Cp932ToUtf8(estimate_.rangeText), "∞");
}

TEST_F(ProbeButtons, SplitFillsReusedDeletedAndNewFromTheInputs)
{
    estimate_.baseLoc = 101;
    estimate_.availablePercent = 50;
    estimate_.newLocText = Sjis("読込 20\r\n計算 30");
    SplitPlannedSize(estimate_);
    EXPECT_EQ(estimate_.reuseLoc, 51);
    EXPECT_EQ(estimate_.deleteLoc, 50);
    EXPECT_EQ(estimate_.newLoc, 50);
}

TEST_F(ProbeButtons, ActualsThenPredictGiveTheModelsTimeForTheActualSize)
{
    ProjectResult result;
    result.actualReuse = 10;
    result.actualDelete = 2;
    result.actualNew = 30;
    result.actualMinutes = 77;
    SetFromActuals(estimate_, result);
    EXPECT_EQ(estimate_.reuseLoc, 10);
    EXPECT_EQ(estimate_.deleteLoc, 2);
    EXPECT_EQ(estimate_.newLoc, 30);
    EXPECT_EQ(estimate_.totalMinutes, 77);

    SetCoefficients(estimate_, {5.5, 0.5, 1, 2});
    std::vector<HistoryPoint> five(5, HistoryPoint{0, 0, 0, 5.5});
    PredictEstimate(estimate_, five, 0.95);
    EXPECT_EQ(estimate_.totalMinutes, 73);  // 5.5 + 5 + 2 + 60 = 72.5 rounds up
    EXPECT_EQ(estimate_.rangeText, "0.00"); // the model fits every point exactly
}
