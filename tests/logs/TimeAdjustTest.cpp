#include <gtest/gtest.h>
#include <limits>

#include "logs/TimeAdjust.h"
#include "platform/TimeText.h"
#include "project/DefectDetails.h"

using namespace quilvane;

namespace {

constexpr std::int32_t Base = 1796601600;
constexpr std::int32_t Max = std::numeric_limits<std::int32_t>::max();

TimeLogEntry Entry(std::int32_t start, std::int32_t end)
{
    return {"P", Moment(start), Moment(end)};
}

} // namespace

TEST(TimeLogAdjusters, StepsAreMinutesOrHoursWithCtrl)
{
    EXPECT_EQ(AdjusterStep(Adjuster::PlusPlus, false), 300);
    EXPECT_EQ(AdjusterStep(Adjuster::Plus, false), 60);
    EXPECT_EQ(AdjusterStep(Adjuster::Minus, false), -60);
    EXPECT_EQ(AdjusterStep(Adjuster::MinusMinus, false), -300);
    EXPECT_EQ(AdjusterStep(Adjuster::PlusPlus, true), 18000);
    EXPECT_EQ(AdjusterStep(Adjuster::Plus, true), 3600);
    EXPECT_EQ(AdjusterStep(Adjuster::Minus, true), -3600);
    EXPECT_EQ(AdjusterStep(Adjuster::MinusMinus, true), -18000);
}

TEST(TimeLogAdjusters, CtrlMinusMinusOnThreeHoursGivesZero)
{
    TimeValue span(3 * 3600, true);
    Adjust(span, Adjuster::MinusMinus, true);
    EXPECT_EQ(span.Seconds(), 0);
    EXPECT_EQ(span.Text(), "00 00:00:00");
}

TEST(TimeLogAdjusters, ResultsBelowZeroBecomeZero)
{
    EXPECT_EQ(AdjustedSeconds(30, -60), 0);
    EXPECT_EQ(AdjustedSeconds(60, -60), 0);
    EXPECT_EQ(AdjustedSeconds(-500, 60), 0); // a negative span of a damaged file
    EXPECT_EQ(AdjustedSeconds(61, -60), 1);
}

TEST(TimeLogAdjusters, LargestMomentDoesNotWrapIntoThePast)
{
    EXPECT_EQ(AdjustedSeconds(Max - 100, 18000), Max);
    TimeValue moment = Moment(Max);
    Adjust(moment, Adjuster::Plus, false);
    EXPECT_EQ(moment.Seconds(), Max);
}

class TimeLogEditTest : public ::testing::Test {
protected:
    TimeLogEntry entry_ = Entry(Base, Base + 3600);
    TimeEntryEdit edit_{entry_};
};

TEST_F(TimeLogEditTest, MovingTheStartMovesTheEnd)
{
    Adjust(edit_.start, Adjuster::Plus, true);
    edit_.ApplyTo(entry_);
    EXPECT_EQ(entry_.start.Seconds(), Base + 3600);
    EXPECT_EQ(entry_.end.Seconds(), Base + 7200);
    EXPECT_EQ(entry_.end.Text(), FormatMoment(Base + 7200));
}

TEST_F(TimeLogEditTest, ChangingTheSpanMovesOnlyTheEnd)
{
    Adjust(edit_.span, Adjuster::MinusMinus, false);
    edit_.phase = "Q";
    edit_.ApplyTo(entry_);
    EXPECT_EQ(entry_.phase, "Q");
    EXPECT_EQ(entry_.start.Seconds(), Base);
    EXPECT_EQ(entry_.end.Seconds(), Base + 3300);
}

TEST_F(TimeLogEditTest, ZeroSpanGivesAnEntryEndingAtItsStart)
{
    Adjust(edit_.span, Adjuster::MinusMinus, true);
    edit_.ApplyTo(entry_);
    EXPECT_EQ(entry_.Duration(), 0);
}

TEST(TimeLogEditLimits, EndOfALateStartStaysAtTheLargestMoment)
{
    TimeLogEntry entry = Entry(Max - 10, Max);
    TimeEntryEdit edit(entry);
    Adjust(edit.span, Adjuster::PlusPlus, true);
    edit.ApplyTo(entry);
    EXPECT_EQ(entry.end.Seconds(), Max);
    EXPECT_GE(entry.Duration(), 0);
}

TEST(TimeLogEditLimits, DamagedEntryConfirmedUnchangedKeepsItsEnd)
{
    TimeLogEntry entry = Entry(Base, Base - 600); // end before start
    TimeLogEntry original = entry;
    TimeEntryEdit(entry).ApplyTo(entry);
    EXPECT_EQ(entry, original);
}

TEST(DefectLogEdit, NewDefectHasThePhaseTheMomentAndNoComment)
{
    DefectEntry d = NewDefect("P", Base);
    EXPECT_EQ(d.phase, "P");
    EXPECT_EQ(d.comment, "");
    EXPECT_EQ(d.time, Moment(Base));
    EXPECT_EQ(NewDefect("P", -5).time.Seconds(), 0);
}

TEST(DefectLogEdit, InjectedPhaseDefaultsToThePhaseBeforeTheCurrentOne)
{
    const std::vector<std::string> phases = {"Plan", "Design", "Code", "Test"};
    struct Case {
        std::string current;
        std::optional<std::string> injected;
    };
    const Case cases[] = {
        {"Code", "Design"}, {"Test", "Code"}, {"Plan", "Plan"}, {"code", std::nullopt}, {"", std::nullopt}};
    for (const Case& c : cases) {
        EXPECT_EQ(DefaultInjectedPhase(phases, c.current), c.injected) << c.current;
    }
    EXPECT_EQ(DefaultInjectedPhase({}, "Code"), std::nullopt);
}

TEST(DefectLogEdit, UnchangedDetailsKeepTheStoredCommentByteForByte)
{
    // A hand-made header is no header: the edit keeps the text exactly as it was stored.
    DefectEntry entry{"A", "[PSP  x]\r\nkept", Moment(100)};
    DefectEntryEdit edit(entry);
    EXPECT_EQ(edit.comment, entry.comment);
    edit.ApplyTo(entry);
    EXPECT_EQ(entry.comment, "[PSP  x]\r\nkept");
    edit.type = 40;
    edit.ApplyTo(entry);
    EXPECT_EQ(DetailsOf(entry), (DefectDetails{40, std::nullopt, std::nullopt, "[PSP  x]\r\nkept"}));
}

TEST(DefectFixTimer, CountsRunsOnTopOfKnownMinutesRoundingHalfUp)
{
    struct Case {
        std::optional<std::int32_t> known;
        std::int64_t seconds;
        std::int32_t minutes;
    };
    const Case cases[] = {
        {std::nullopt, 0, 0}, {std::nullopt, 29, 0}, {std::nullopt, 30, 1}, {std::nullopt, 89, 1},
        {5, 90, 7},           {99998, 600, 99999}};
    for (const Case& c : cases) {
        FixTimer timer;
        EXPECT_FALSE(timer.Running());
        timer.Start(1000, c.known);
        EXPECT_TRUE(timer.Running());
        EXPECT_EQ(timer.Seconds(1000 + c.seconds), c.known.value_or(0) * 60 + c.seconds);
        EXPECT_EQ(timer.Stop(1000 + c.seconds), c.minutes) << c.seconds;
        EXPECT_FALSE(timer.Running());
    }
    FixTimer timer;
    EXPECT_EQ(timer.Stop(50), std::nullopt);
    // A clock set back while the timer runs counts as no time.
    timer.Start(1000, 2);
    EXPECT_EQ(timer.Stop(400), 2);
}
