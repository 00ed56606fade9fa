#include <gtest/gtest.h>

#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "statistics/StatTable.h"
#include "tests/statistics/StatTestFolder.h"

using namespace quilvane;

namespace {

StatStore TwoRows()
{
    StatStore store;
    store.records["P2"] = {false, "P1", 1, 2, 3, 4, 5, 6, 7, 8, 9};
    store.records["P1"] = {true, "", 10, 20, 30, 40, 50, 60, 70, 80, 90};
    return store;
}

} // namespace

TEST(StatCsv, HasHeaderRecordLinesAndTotals)
{
    EXPECT_EQ(Cp932ToUtf8(FormatStatCsv(TwoRows())),
              ",名前,ベース,再(計),削(計),新(計),時(計),再(実),削(実),新(実),時(実),バグ(実)\r\n"
              ",P1,,10,20,30,40,50,60,70,80,90\r\n"
              "*,P2,P1,1,2,3,4,5,6,7,8,9\r\n"
              "計,,,11,22,33,44,55,66,77,88,99\r\n");
}

TEST(StatCsv, IsCodePage932WithATotalLineStartingWithKei)
{
    std::string csv = FormatStatCsv(StatStore());
    auto lines = SplitLines(csv);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].substr(0, 3), ",\x96\xBC"); // ",名"
    EXPECT_EQ(lines[1], "\x8C\x76,,,0,0,0,0,0,0,0,0,0");
}

TEST(StatCsv, TotalsDoNotWrapAroundThirtyTwoBits)
{
    StatStore store;
    store.records["a"].bugs = 2147483647;
    store.records["b"].bugs = 2147483647;
    auto lines = SplitLines(FormatStatCsv(store));
    EXPECT_EQ(lines.back().substr(lines.back().rfind(',') + 1), "4294967294");
}

TEST(StatCsv, NamesThatWouldBreakColumnsOrRunAsFormulasAreQuotedOrGuarded)
{
    const std::pair<std::string, std::string> cases[] = {
        {"Prob,9", "\"Prob,9\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"two\r\nlines", "\"two\r\nlines\""},
        {"=HYPERLINK(1)", "'=HYPERLINK(1)"},
        {"+1", "'+1"},
        {"-1", "'-1"},
        {"@SUM(A1)", "'@SUM(A1)"},
        {"=1,2", "\"'=1,2\""},
        // A spreadsheet skips a leading TAB or CR on its way to a formula.
        {"\t=1", "'\t=1"},
        {"\r=1", "\"'\r=1\""},
        // Plain names keep their bytes, CP932 and inner signs included.
        {"Prob-1", "Prob-1"},
        {"a=b", "a=b"},
        {"\x83\x5C\x95\x5C", "\x83\x5C\x95\x5C"},
        {"'quoted'", "'quoted'"},
    };
    for (const auto& [name, field] : cases) {
        SCOPED_TRACE(name);
        StatStore store;
        store.records[name] = {true, name, 1, 2, 3, 4, 5, 6, 7, 8, 9};
        std::string csv = FormatStatCsv(store);
        std::string row = csv.substr(csv.find("\r\n") + 2);
        row = row.substr(0, row.rfind("\r\n", row.size() - 3) + 2);
        EXPECT_EQ(row, "," + field + "," + field + ",1,2,3,4,5,6,7,8,9\r\n");
    }
}

TEST(StatRowTexts, ShowMarkNameBaseAndNumbersWithTheDerivedTotal)
{
    auto texts = StatRowTexts("P2", TwoRows().records["P2"]);
    std::array<std::string, 13> expected{"*", "P2", "P1", "1", "2", "3", "4", "5", "6", "7", "12", "8", "9"};
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(StatRowTexts("P1", TwoRows().records["P1"])[0], "");
}

class StatCsvFile : public StatFolderTest {};

TEST_F(StatCsvFile, IsWrittenIntoInit)
{
    ASSERT_TRUE(SaveStatCsv(TwoRows()).Ok());
    EXPECT_EQ(ReadWholeFile(dir_.Path("init/stat.csv")), FormatStatCsv(TwoRows()));
}
