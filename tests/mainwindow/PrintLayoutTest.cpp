#include <gtest/gtest.h>

#include <climits>

#include "mainwindow/PrintLayout.h"
#include "platform/Cp932.h"

using namespace quilvane;

namespace {

// Every line that a log page fills, as (block, row index) with -2 the title and -1 the
// heading row; the row that only closes a block is left out.
struct FilledLine {
    LogBlock block;
    std::int64_t row;
    bool operator==(const FilledLine&) const = default;
};

std::vector<std::optional<FilledLine>> FilledLines(std::size_t t, std::size_t d, int logPage)
{
    std::vector<std::optional<FilledLine>> lines(LogLinesPerPage);
    for (const auto& slice : LogPageSlices(t, d, logPage)) {
        auto place = PlaceLogSlice(slice);
        if (!place) {
            continue;
        }
        auto put = [&](int line, std::int64_t row) {
            EXPECT_GE(line, 0);
            EXPECT_LT(line, LogLinesPerPage);
            if (line >= 0 && line < LogLinesPerPage) {
                EXPECT_FALSE(lines[static_cast<std::size_t>(line)]) << "line " << line << " used twice";
                lines[static_cast<std::size_t>(line)] = FilledLine{slice.block, row};
            }
        };
        if (place->titleLine) {
            put(*place->titleLine, -2);
        }
        if (place->headingLine) {
            put(*place->headingLine, -1);
        }
        for (std::int64_t e = 0; e < place->entryCount; ++e) {
            put(place->firstEntryLine + static_cast<int>(e), place->firstEntry + e);
        }
    }
    return lines;
}

} // namespace

class PrintPageCountTest : public ::testing::TestWithParam<std::pair<std::size_t, int>> {};

TEST_P(PrintPageCountTest, IsTwoPlusLogLinesOverTwentyFive)
{
    auto [entries, pages] = GetParam();
    // The split between the logs does not matter, only their sum.
    EXPECT_EQ(PrintPageCount(entries, 0), pages);
    EXPECT_EQ(PrintPageCount(0, entries), pages);
    EXPECT_EQ(PrintPageCount(entries / 2, entries - entries / 2), pages);
}

INSTANTIATE_TEST_SUITE_P(
    PrintSums, PrintPageCountTest,
    ::testing::Values(std::pair<std::size_t, int>{0, 2}, std::pair<std::size_t, int>{21, 2},
                      std::pair<std::size_t, int>{22, 3}, std::pair<std::size_t, int>{23, 3},
                      std::pair<std::size_t, int>{24, 3}, std::pair<std::size_t, int>{47, 4},
                      std::pair<std::size_t, int>{100, 6}));

TEST(PrintPageCount, HugeLogsDoNotOverflow)
{
    EXPECT_EQ(PrintPageCount(SIZE_MAX / 4, SIZE_MAX / 4), INT_MAX);
}

class PrintLogPagesTest : public ::testing::Test {
protected:
    // Walks all log pages and checks that every row of both blocks appears exactly once, in
    // order, the defect block after the time block, and that nothing spills past the count.
    static void ExpectEveryRowOnceInOrder(std::size_t t, std::size_t d)
    {
        std::vector<FilledLine> sequence;
        int logPages = PrintPageCount(t, d) - 1;
        for (int k = 0; k < logPages; ++k) {
            for (const auto& line : FilledLines(t, d, k)) {
                if (line) {
                    sequence.push_back(*line);
                }
            }
        }
        std::vector<FilledLine> expected;
        for (std::int64_t r = -2; r < static_cast<std::int64_t>(t); ++r) {
            expected.push_back({LogBlock::Time, r});
        }
        for (std::int64_t r = -2; r < static_cast<std::int64_t>(d); ++r) {
            expected.push_back({LogBlock::Defect, r});
        }
        ASSERT_EQ(sequence.size(), expected.size()) << "T=" << t << " D=" << d;
        EXPECT_TRUE(sequence == expected) << "T=" << t << " D=" << d;
        // The page after the last one would hold nothing but the closing ruling again.
        for (const auto& line : FilledLines(t, d, logPages)) {
            EXPECT_FALSE(line) << "content after the last page, T=" << t << " D=" << d;
        }
        // The defect block's closing ruling is on a printed page.
        bool closed = false;
        for (int k = 0; k < logPages; ++k) {
            for (const auto& slice : LogPageSlices(t, d, k)) {
                closed |= slice.block == LogBlock::Defect && slice.lastRow == static_cast<std::int64_t>(d);
            }
        }
        EXPECT_TRUE(closed) << "T=" << t << " D=" << d;
    }
};

TEST_F(PrintLogPagesTest, EmptyLogsPrintBothEmptyBlocksOnOnePage)
{
    auto slices = LogPageSlices(0, 0, 0);
    ASSERT_EQ(slices.size(), 2u);
    auto time = PlaceLogSlice(slices[0]);
    auto defect = PlaceLogSlice(slices[1]);
    ASSERT_TRUE(time && defect);
    EXPECT_EQ(time->titleLine, 0);
    EXPECT_EQ(time->headingLine, 1);
    EXPECT_EQ(time->firstRuledLine, 1);
    EXPECT_EQ(time->lastRuledLine, 2); // the closing ruling under the heading row
    EXPECT_EQ(time->entryCount, 0);
    EXPECT_EQ(defect->titleLine, 2);
    EXPECT_EQ(defect->headingLine, 3);
    EXPECT_EQ(defect->lastRuledLine, 4);
    EXPECT_EQ(defect->entryCount, 0);
}

TEST_F(PrintLogPagesTest, TwentyThreeTimeEntriesFillTheFirstLogPage)
{
    auto first = LogPageSlices(23, 5, 0);
    ASSERT_EQ(first.size(), 1u);
    auto time = PlaceLogSlice(first[0]);
    ASSERT_TRUE(time);
    EXPECT_EQ(time->firstEntryLine, 2);
    EXPECT_EQ(time->entryCount, 23);
    EXPECT_EQ(time->lastRuledLine, 25); // the block's closing ruling at the foot of the page
    EXPECT_EQ(LogRuleY(25), 3900);

    auto next = LogPageSlices(23, 5, 1);
    ASSERT_EQ(next.size(), 1u);
    EXPECT_EQ(next[0].block, LogBlock::Defect);
    auto defect = PlaceLogSlice(next[0]);
    ASSERT_TRUE(defect);
    EXPECT_EQ(defect->titleLine, 0);
    EXPECT_EQ(defect->headingLine, 1);
    EXPECT_EQ(defect->firstEntryLine, 2);
    EXPECT_EQ(defect->entryCount, 5);
    EXPECT_EQ(PrintPageCount(23, 5), 2 + (26 + 5) / 25);
}

TEST_F(PrintLogPagesTest, DefectBlockFollowsOnTheSameLineAsTheTimeBlocksClosingRuling)
{
    auto slices = LogPageSlices(10, 3, 0);
    ASSERT_EQ(slices.size(), 2u);
    auto time = PlaceLogSlice(slices[0]);
    auto defect = PlaceLogSlice(slices[1]);
    ASSERT_TRUE(time && defect);
    EXPECT_EQ(time->lastRuledLine, 12);
    EXPECT_EQ(defect->titleLine, 12);
    EXPECT_EQ(defect->headingLine, 13);
    EXPECT_EQ(defect->firstEntryLine, 14);
}

TEST_F(PrintLogPagesTest, TitleOnTheLastLineMovesTheHeadingToTheNextPage)
{
    // T = 22: the defect title takes line 24; its heading row opens the next page.
    auto first = FilledLines(22, 2, 0);
    ASSERT_TRUE(first[24]);
    EXPECT_EQ(*first[24], (FilledLine{LogBlock::Defect, -2}));
    auto next = FilledLines(22, 2, 1);
    ASSERT_TRUE(next[0]);
    EXPECT_EQ(*next[0], (FilledLine{LogBlock::Defect, -1}));
    EXPECT_EQ(*next[1], (FilledLine{LogBlock::Defect, 0}));
}

TEST_F(PrintLogPagesTest, EveryRowAppearsOnceInOrderForManySizes)
{
    for (std::size_t t : {0, 1, 21, 22, 23, 24, 25, 47, 48, 49, 100}) {
        for (std::size_t d : {0, 1, 2, 22, 23, 24, 25, 26, 60}) {
            ExpectEveryRowOnceInOrder(t, d);
        }
    }
}

TEST(PrintTexts, EntryNumbersWrapToDoubleZeroAfterNinetyNine)
{
    EXPECT_EQ(LogEntryNumber(0), "01");
    EXPECT_EQ(LogEntryNumber(8), "09");
    EXPECT_EQ(LogEntryNumber(98), "99");
    EXPECT_EQ(LogEntryNumber(99), "00");
    EXPECT_EQ(LogEntryNumber(100), "01");
}

TEST(PrintTexts, BaseNameKeepsOnlyWhatFollowsTheFirstSlash)
{
    EXPECT_EQ(PrintedBaseName("abc/def"), "def");
    EXPECT_EQ(PrintedBaseName("Prob0"), "Prob0");
    EXPECT_EQ(PrintedBaseName(""), "");
    EXPECT_EQ(PrintedBaseName("a/b/c"), "b/c");
    EXPECT_EQ(PrintedBaseName("abc/"), "");
}

TEST(PrintTexts, CommentOfSeveralLinesBecomesOneLine)
{
    EXPECT_EQ(OneLineComment("line one\r\nline two\r\nthree"), "line one line two three");
    EXPECT_EQ(OneLineComment("lf\nonly"), "lf only");
    EXPECT_EQ(OneLineComment("cr\ronly\r"), "cr only ");
    // A double-byte character's second byte is kept as it is.
    EXPECT_EQ(OneLineComment("\x83\x5C\r\n\x83\x6F"), "\x83\x5C \x83\x6F");
}

TEST(PrintTexts, SizesAreRightAlignedInFiveAndTotalsDoNotOverflow)
{
    PlanEstimate plan;
    plan.reuseLoc = 51;
    plan.deleteLoc = 50;
    plan.newLoc = 60;
    ProjectResult result;
    result.actualReuse = INT32_MAX;
    result.actualNew = 1;
    auto v = SizeTableValues(plan, result);
    EXPECT_EQ(v[0][0], "   51");
    EXPECT_EQ(v[1][0], "   50");
    EXPECT_EQ(v[2][0], "   60");
    EXPECT_EQ(v[3][0], "  111"); // new + reused; deleted lines count in neither total
    EXPECT_EQ(v[3][1], "2147483648");
}

TEST(PrintPhaseTable, BottomLineStaysAt2080AndTheTableGrowsUpward)
{
    for (std::size_t p : {0u, 3u, 8u}) {
        EXPECT_EQ(PhaseTableLineY(p, p + 2), 2080) << p;
        EXPECT_EQ(PhaseTableLineY(p, p + 1), 1900) << p; // top of the totals row
        EXPECT_EQ(PhaseTableLineY(p, 0), 1720 - 180 * static_cast<std::int64_t>(p)) << p;
    }
}

TEST(PrintPhaseTable, CellsSitInTheirBands)
{
    // Row 0 of three phases lies below line 1 (1360); the totals row below line 4 (1900).
    EXPECT_EQ(PhaseTableCell(3, 0, 0), (PrintRect{1340, 1400, 1850, 1500}));
    EXPECT_EQ(PhaseTableCell(3, 0, 1), (PrintRect{1890, 1400, 2050, 1500}));
    EXPECT_EQ(PhaseTableCell(3, 3, 3), (PrintRect{2390, 1940, 2550, 2040}));
}

TEST(PrintPhaseTable, TextsOfTheProjectEndWithTheTotalsRow)
{
    ProjectRecord p;
    p.phases = {{"A", 30, 0, 40}, {"B", 3, 0, 60}};
    ASSERT_EQ(p.timeLog.AddEntry("A", 1000, 1090), TimeLogAddition::Appended);
    ASSERT_EQ(p.timeLog.AddEntry("B", 2000, 2150), TimeLogAddition::Appended);
    auto rows = PhaseTableTextsOf(p);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::array<std::string, 4>{"A", "30", "2", "40"}));
    EXPECT_EQ(rows[1], (std::array<std::string, 4>{"B", "3", "3", "60"}));
    EXPECT_EQ(rows[2], (std::array<std::string, 4>{Utf8ToCp932("  - 合計 -"), "33", "5", "100"}));
}
