#include <gtest/gtest.h>

#include <limits>

#include "logs/LogListLogic.h"
#include "platform/TimeText.h"

using namespace quilvane;

namespace {

constexpr std::int32_t Day = 86400;
constexpr std::int32_t Base = 1796601600; // 2026-12-07 00:00 UTC

TimeLogEntry Entry(const std::string& phase, std::int32_t start, std::int32_t span)
{
    return {phase, Moment(start), Moment(start + span)};
}

std::vector<std::string> Phases(const std::vector<TimeLogEntry>& entries)
{
    std::vector<std::string> phases;
    for (const auto& e : entries) {
        phases.push_back(e.phase);
    }
    return phases;
}

void Sort(std::vector<TimeLogEntry>& entries, int column, bool ascending)
{
    Reorder(entries, TimeLogSortOrder(entries, column, ascending));
}

} // namespace

TEST(LogListCells, TimeLogRowShowsPhaseSpanStartAndEnd)
{
    TimeLogEntry e = Entry("P", Base, 3 * 3600 + 62);
    EXPECT_EQ(TimeLogCell(e, 0), "P");
    EXPECT_EQ(TimeLogCell(e, 1), "00 03:01:02");
    EXPECT_EQ(TimeLogCell(e, 2), FormatMoment(Base));
    EXPECT_EQ(TimeLogCell(e, 3), FormatMoment(Base + 3 * 3600 + 62));
    EXPECT_EQ(TimeLogCell(e, 4), "");
    EXPECT_EQ(TimeLogCell(Entry("P", Base, 0), 1), "00 00:00:00");
    EXPECT_EQ(TimeLogCell(Entry("P", Base, 100 * Day), 1), "100 00:00:00");
    // An end before its start, and a span wider than 32 bits, from a damaged or edited file.
    EXPECT_EQ(TimeLogCell(Entry("P", Base, -3725), 1), "00 00:00:00");
    TimeLogEntry wide{"P", Moment(std::numeric_limits<std::int32_t>::min()),
                      Moment(std::numeric_limits<std::int32_t>::max())};
    EXPECT_EQ(TimeLogCell(wide, 1), "24855 03:14:07");
}

TEST(LogListSortDirections, EachColumnAlternatesOnItsOwnStartingAscending)
{
    SortDirections flags(4);
    EXPECT_TRUE(flags.Next(1));
    EXPECT_FALSE(flags.Next(1));
    EXPECT_TRUE(flags.Next(2)); // another column starts ascending too
    EXPECT_TRUE(flags.Next(1));
    EXPECT_FALSE(flags.Next(2));
    EXPECT_TRUE(flags.Next(9)); // no such column: ascending, nothing flipped
}

class LogListSortTest : public ::testing::Test {
protected:
    std::vector<TimeLogEntry> entries_{Entry("b", Base + 2 * Day, 600), Entry("A", Base, 60),
                                       Entry("C", Base + 40 * Day, 7200), Entry("a", Base + Day, 5)};
};

TEST_F(LogListSortTest, PhaseColumnIgnoresCaseAndKeepsEqualNamesInOrder)
{
    Sort(entries_, 0, true);
    EXPECT_EQ(Phases(entries_), (std::vector<std::string>{"A", "a", "b", "C"}));
    Sort(entries_, 0, false);
    // Descending keeps "A" before "a" as well: equal keys never swap.
    EXPECT_EQ(Phases(entries_), (std::vector<std::string>{"C", "b", "A", "a"}));
}

TEST_F(LogListSortTest, DoubleByteNamesSortAfterSingleByteOnes)
{
    entries_.push_back(Entry("\x8D\x48\x92\xF6", Base, 1)); // 工程
    entries_.push_back(Entry("z", Base, 1));
    Sort(entries_, 0, true);
    EXPECT_EQ(entries_.back().phase, "\x8D\x48\x92\xF6");
    EXPECT_EQ(entries_[entries_.size() - 2].phase, "z");
}

TEST_F(LogListSortTest, SpanColumnSortsNumericallyBelowHundredDays)
{
    Sort(entries_, 1, true);
    EXPECT_EQ(Phases(entries_), (std::vector<std::string>{"a", "A", "b", "C"}));
}

TEST_F(LogListSortTest, HundredDaysSortsBeforeNinetyNineByText)
{
    std::vector<TimeLogEntry> spans{Entry("99", Base, 99 * Day), Entry("100", Base, 100 * Day)};
    Sort(spans, 1, true);
    EXPECT_EQ(Phases(spans), (std::vector<std::string>{"100", "99"}));
}

TEST_F(LogListSortTest, StartAndEndColumnsSortInTimeOrder)
{
    Sort(entries_, 2, true);
    EXPECT_EQ(Phases(entries_), (std::vector<std::string>{"A", "a", "b", "C"}));
    Sort(entries_, 3, false);
    EXPECT_EQ(Phases(entries_), (std::vector<std::string>{"C", "b", "a", "A"}));
}

TEST(LogListDefectSort, MomentColumnSortsInTimeOrder)
{
    std::vector<DefectEntry> log{
        {"x", "", Moment(Base + 3600)}, {"y", "", Moment(Base - 300 * Day)}, {"z", "", Moment(Base)}};
    Reorder(log, DefectLogSortOrder(log, 1, true));
    EXPECT_EQ(log[0].phase, "y");
    EXPECT_EQ(log[2].phase, "x");
}

class LogListDeleteTest : public ::testing::Test {
protected:
    std::vector<int> rows_{0, 1, 2, 3, 4, 5};
};

TEST_F(LogListDeleteTest, DeletingTwoAndFourSelectsTheFormerThird)
{
    auto next = DeleteRows(rows_, {2, 4});
    EXPECT_EQ(rows_, (std::vector<int>{0, 1, 3, 5}));
    ASSERT_TRUE(next.has_value());
    EXPECT_EQ(*next, 2u);
    EXPECT_EQ(rows_[*next], 3);
}

TEST_F(LogListDeleteTest, DeletingTheLastRowsSelectsNothing)
{
    EXPECT_FALSE(DeleteRows(rows_, {5}).has_value());
    EXPECT_EQ(rows_.size(), 5u);
    EXPECT_FALSE(DeleteRows(rows_, {3, 4}).has_value());
    EXPECT_EQ(rows_, (std::vector<int>{0, 1, 2}));
}

TEST_F(LogListDeleteTest, DeletingEverythingLeavesAnEmptyLog)
{
    EXPECT_FALSE(DeleteRows(rows_, {0, 1, 2, 3, 4, 5}).has_value());
    EXPECT_TRUE(rows_.empty());
}

TEST_F(LogListDeleteTest, NoSelectionOrRowsBeyondTheEndChangeNothing)
{
    EXPECT_FALSE(DeleteRows(rows_, {}).has_value());
    EXPECT_FALSE(DeleteRows(rows_, {6, 7}).has_value());
    EXPECT_EQ(rows_.size(), 6u);
    // A row beyond the end beside real ones is ignored.
    EXPECT_EQ(DeleteRows(rows_, {0, 9}), std::optional<std::size_t>(0));
    EXPECT_EQ(rows_, (std::vector<int>{1, 2, 3, 4, 5}));
}
