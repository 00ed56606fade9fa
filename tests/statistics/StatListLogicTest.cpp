#include <gtest/gtest.h>

#include "statistics/StatListLogic.h"

using namespace quilvane;

namespace {

StatRow Row(const std::string& mark, const std::string& name, const std::string& number = "0")
{
    StatRow row;
    row.fill(number);
    row[0] = mark;
    row[1] = name;
    row[2] = "base";
    return row;
}

std::vector<std::string> Names(const std::vector<StatRow>& rows)
{
    std::vector<std::string> names;
    for (const auto& row : rows) {
        names.push_back(row[1]);
    }
    return names;
}

class StatListTest : public ::testing::Test {
protected:
    std::vector<StatRow> rows_{Row("", "P0"), Row("*", "P1"), Row("", "P2"), Row("*", "P3"), Row("*", "P4")};
};

} // namespace

TEST(StatRowsTest, RowsFollowKeyOrderAndMarkOnlyVanishedProjects)
{
    StatStore store;
    store.records["b"].present = true;
    store.records["a"].actNew = 7;
    store.records["a"].actReuse = 3;
    auto rows = StatRowsOf(store);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "*");
    EXPECT_EQ(rows[0][1], "a");
    EXPECT_EQ(rows[0][10], "10");
    EXPECT_EQ(rows[1][0], "");
}

TEST(StatSortTest, NumbersSortAsTextAndLettersIgnoreCase)
{
    std::vector<StatRow> rows{Row("", "x", "20"), Row("", "Y", "100"), Row("", "a", "3")};
    EXPECT_EQ(StatSortOrder(rows, 3, true), (std::vector<std::size_t>{1, 0, 2}));
    EXPECT_EQ(StatSortOrder(rows, 3, false), (std::vector<std::size_t>{2, 0, 1}));
    EXPECT_EQ(StatSortOrder(rows, 1, true), (std::vector<std::size_t>{2, 0, 1}));
}

TEST_F(StatListTest, DeleteRemovesOnlyMarkedRowsAndSelectsTheRowInTheLowestPlace)
{
    auto result = DeleteMarkedRows(rows_, {0, 1, 3});
    ASSERT_TRUE(result.deleted);
    EXPECT_EQ(Names(rows_), (std::vector<std::string>{"P0", "P2", "P4"}));
    ASSERT_TRUE(result.select.has_value());
    EXPECT_EQ(*result.select, 1u);
    EXPECT_EQ(result.kept, (std::vector<std::size_t>{0}));
}

TEST_F(StatListTest, UnmarkedRowsBelowDeletedOnesMoveUp)
{
    auto result = DeleteMarkedRows(rows_, {2, 1});
    EXPECT_EQ(Names(rows_), (std::vector<std::string>{"P0", "P2", "P3", "P4"}));
    EXPECT_EQ(result.kept, (std::vector<std::size_t>{1}));
    EXPECT_EQ(result.select, std::optional<std::size_t>(1));
}

TEST_F(StatListTest, DeleteWithoutMarkedSelectionChangesNothing)
{
    auto before = rows_;
    EXPECT_FALSE(DeleteMarkedRows(rows_, {0, 2}).deleted);
    EXPECT_FALSE(DeleteMarkedRows(rows_, {}).deleted);
    EXPECT_FALSE(DeleteMarkedRows(rows_, {99}).deleted);
    EXPECT_EQ(rows_, before);
}

TEST_F(StatListTest, DeletingTheLastRowsLeavesNothingToSelect)
{
    auto result = DeleteMarkedRows(rows_, {3, 4});
    EXPECT_TRUE(result.deleted);
    EXPECT_EQ(rows_.size(), 3u);
    EXPECT_FALSE(result.select.has_value());
}

TEST_F(StatListTest, OpenSkipsMarkedRowsAndTheOpenProjectInListOrder)
{
    EXPECT_EQ(ChooseOpenRow(rows_, {4, 2, 1, 0}, "P0"), std::optional<std::size_t>(2));
    EXPECT_EQ(ChooseOpenRow(rows_, {0, 2}, "P2"), std::optional<std::size_t>(0));
    EXPECT_FALSE(ChooseOpenRow(rows_, {0, 1, 3}, "P0").has_value());
    EXPECT_FALSE(ChooseOpenRow(rows_, {}, "P0").has_value());
    // The comparison is exact: another case is another folder.
    EXPECT_EQ(ChooseOpenRow(rows_, {0}, "p0"), std::optional<std::size_t>(0));
}

TEST(StatOpenTest, ProjectFileHasTheTemplatesFileName)
{
    EXPECT_EQ(StatProjectFile("Prob2"), "Prob2/work.psp");
}

TEST(StatRebuildTest, StoreComesFromTheRowTextsAsAtoiReadsThem)
{
    StatRow row = Row("*", "P1");
    row[2] = "P0";
    const char* texts[] = {"1", "2", "3", "4", "5", "6", "7", "999", "9", "10"};
    for (std::size_t i = 0; i < 10; ++i) {
        row[3 + i] = texts[i];
    }
    row[4] = " -12x";
    row[12] = "abc";
    StatStore store = StoreFromRows({Row("", "P9"), row});
    ASSERT_EQ(store.records.size(), 2u);
    const StatRecord& r = store.records.at("P1");
    EXPECT_FALSE(r.present);
    EXPECT_TRUE(store.records.at("P9").present);
    EXPECT_EQ(r.baseName, "P0");
    EXPECT_EQ(r.planReuse, 1);
    EXPECT_EQ(r.planDelete, -12);
    EXPECT_EQ(r.actNew, 7);
    // Column 10 (999) is derived and not read back.
    EXPECT_EQ(r.actMinutes, 9);
    EXPECT_EQ(r.bugs, 0);
}

TEST(StatRebuildTest, RepeatedNameKeepsTheLaterRow)
{
    StatStore store = StoreFromRows({Row("*", "P", "1"), Row("", "P", "2")});
    ASSERT_EQ(store.records.size(), 1u);
    EXPECT_TRUE(store.records.at("P").present);
    EXPECT_EQ(store.records.at("P").bugs, 2);
}
