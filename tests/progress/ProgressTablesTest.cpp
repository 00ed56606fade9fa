// Numbering and keying of users, projects and cells.
#include <gtest/gtest.h>

#include "progress/ProgressTables.h"

namespace tessaline {
namespace {

TEST(TessalineTables, NumbersFollowFirstAppearanceWhileNamesSortByByte)
{
    ProgressTables tables;
    tables.AddResult("zoe", "P2", 1, 0);
    tables.AddResult("adam", "P1", 2, 0);
    tables.AddResult("zoe", "P1", 3, 0);
    EXPECT_EQ(tables.Users(), (NameTable{{"adam", 2}, {"zoe", 1}}));
    EXPECT_EQ(tables.Projects(), (NameTable{{"P1", 2}, {"P2", 1}}));
    ASSERT_NE(tables.FindCell(1, 2), nullptr);
    EXPECT_EQ(tables.FindCell(1, 2)->percentage, 3);
    EXPECT_EQ(tables.FindCell(2, 1), nullptr);
}

TEST(TessalineTables, LaterResultForTheSameCellReplacesTheEarlier)
{
    ProgressTables tables;
    tables.AddResult("u", "p", 10, 100);
    tables.AddResult("u", "p", 20, 50);
    const ProgressCell* cell = tables.FindCell(1, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->percentage, 20);
    EXPECT_EQ(cell->stamp, 50);
}

TEST(TessalineTables, ThousandsOfProjectsKeepCellsApart)
{
    // With a key of user x 1000 + project, user 1's project 1001 and user 2's project 1 would share a cell.
    ProgressTables tables;
    for (int project = 1; project <= 1001; ++project) {
        tables.AddResult("first", "p" + std::to_string(project), project, 0);
    }
    tables.AddResult("second", "p1", -7, 0);
    ASSERT_NE(tables.FindCell(1, 1001), nullptr);
    EXPECT_EQ(tables.FindCell(1, 1001)->percentage, 1001);
    ASSERT_NE(tables.FindCell(2, 1), nullptr);
    EXPECT_EQ(tables.FindCell(2, 1)->percentage, -7);
    EXPECT_EQ(tables.FindCell(2, 2), nullptr);
}

} // namespace
} // namespace tessaline
