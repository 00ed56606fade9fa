#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "platform/FileIo.h"
#include "statistics/StatStore.h"
#include "tests/statistics/StatTestFolder.h"

using namespace quilvane;

namespace {

const std::string Kaisou = "\x89\xFC\x91\x50"; // 改善, a double-byte name
const std::string Hyou = "\x95\x5C";           // 表: its trail byte is '\'

StatRecord Row(std::string base, std::int32_t first)
{
    StatRecord r;
    r.present = true;
    r.baseName = std::move(base);
    r.planReuse = first;
    r.planDelete = first + 1;
    r.planNew = first + 2;
    r.planMinutes = first + 3;
    r.actReuse = first + 4;
    r.actDelete = -5;
    r.actNew = first + 6;
    r.actMinutes = 2147483647;
    r.bugs = first + 8;
    return r;
}

class StatStoreFile : public StatFolderTest {
protected:
    std::string FileText() { return ReadWholeFile(dir_.Path("init/statInfo.txt")).value_or("<none>"); }
    void WriteText(const std::string& text)
    {
        ASSERT_TRUE(WriteFileAtomically(dir_.Path("init/statInfo.txt"), text).Ok());
    }
};

} // namespace

TEST_F(StatStoreFile, WrittenStoreReadsBackWithEverythingButPresence)
{
    StatStore saved;
    saved.x = -12;
    saved.y = 34;
    saved.width = 900;
    saved.height = 512;
    for (std::size_t i = 0; i < StatColumnCount; ++i) {
        saved.columnWidths[i] = static_cast<std::int32_t>(40 + i);
    }
    saved.records["Prob1"] = Row("", 1);
    saved.records[Kaisou] = Row("Prob1", 10);
    saved.records[Hyou + "x"] = Row(Kaisou + " base", 100);
    ASSERT_TRUE(SaveStatInfo(saved).Ok());

    StatStore loaded;
    loaded.records["stale"] = Row("gone", 7);
    ASSERT_TRUE(LoadStatInfo(loaded).Ok());

    StatStore expected = saved;
    for (auto& entry : expected.records) {
        entry.second.present = false;
    }
    EXPECT_EQ(loaded, expected);
}

TEST_F(StatStoreFile, FileHasTheExactLayoutWithBlankEndedWidthLine)
{
    StatStore store;
    store.x = 1;
    store.y = 2;
    store.width = 3;
    store.height = 4;
    store.columnWidths.fill(30);
    store.records["b"] = Row("a", 1);
    store.records["B"] = Row("", 0);
    ASSERT_TRUE(SaveStatInfo(store).Ok());
    EXPECT_EQ(FileText(), "100\r\n"
                          "1 2 3 4\r\n"
                          "30 30 30 30 30 30 30 30 30 30 30 30 30 \r\n"
                          "2\r\n"
                          "B\r\n"
                          "\r\n"
                          "0 1 2 3 4 -5 6 2147483647 8\r\n"
                          "b\r\n"
                          "a\r\n"
                          "1 2 3 4 5 -5 7 2147483647 9\r\n");
}

TEST_F(StatStoreFile, MissingFileReturnsOneAndLeavesTheStoreAlone)
{
    StatStore store;
    store.records["keep"] = Row("x", 3);
    store.x = 77;
    StatStore before = store;
    EXPECT_FALSE(LoadStatInfo(store).Ok());
    EXPECT_EQ(store, before);
    // So does a folder or a FIFO of that name, at once rather than after a writer comes.
    std::filesystem::create_directory(dir_.Path("init/statInfo.txt"));
    EXPECT_FALSE(LoadStatInfo(store).Ok());
    EXPECT_EQ(store, before);
    std::filesystem::remove(dir_.Path("init/statInfo.txt"));
    ASSERT_EQ(mkfifo(dir_.Path("init/statInfo.txt").c_str(), 0600), 0);
    EXPECT_FALSE(LoadStatInfo(store).Ok());
    EXPECT_EQ(store, before);
    EXPECT_FALSE(SaveStatInfo(store).Ok());
    EXPECT_TRUE(std::filesystem::is_fifo(dir_.Path("init/statInfo.txt")));
}

TEST_F(StatStoreFile, UncreatableFileReportsOne)
{
    std::filesystem::remove_all(dir_.Path("init"));
    EXPECT_FALSE(SaveStatInfo(StatStore()).Ok());
}

TEST_F(StatStoreFile, ShortWidthLineLeavesTheMissingWidthsAtThirty)
{
    WriteText("100\r\n5 6 7 8\r\n11 12 13\r\n0\r\n");
    StatStore store;
    store.columnWidths.fill(99);
    ASSERT_TRUE(LoadStatInfo(store).Ok());
    EXPECT_EQ(store.columnWidths[0], 11);
    EXPECT_EQ(store.columnWidths[2], 13);
    for (std::size_t i = 3; i < StatColumnCount; ++i) {
        EXPECT_EQ(store.columnWidths[i], 30) << i;
    }
    EXPECT_EQ(store.height, 8);
}

TEST_F(StatStoreFile, NameGivenTwiceUpdatesOneEntry)
{
    WriteText("100\n0 0 0 0\n\n2\nP\nfirst\n1 1 1 1 1 1 1 1 1\nP\nsecond\n2 2 2 2 2 2 2 2 2\n");
    StatStore store;
    ASSERT_TRUE(LoadStatInfo(store).Ok());
    ASSERT_EQ(store.records.size(), 1u);
    EXPECT_EQ(store.records["P"].baseName, "second");
    EXPECT_EQ(store.records["P"].bugs, 2);
}

TEST_F(StatStoreFile, ShortOrMissingLinesGiveZerosAndNoInventedRecords)
{
    // Count 5 but two records, the second with a short values line; the geometry line is short.
    WriteText("100\r\n9 8\r\n\r\n5\r\nA\r\nbase\r\n1 2 3\r\nB\r\nb\r\n4 5 x 7\r\n");
    StatStore store;
    ASSERT_TRUE(LoadStatInfo(store).Ok());
    EXPECT_EQ(store.x, 9);
    EXPECT_EQ(store.y, 8);
    EXPECT_EQ(store.width, StatStore().width);
    ASSERT_EQ(store.records.size(), 2u);
    const StatRecord& a = store.records["A"];
    EXPECT_EQ(a.planNew, 3);
    EXPECT_EQ(a.planMinutes, 0);
    EXPECT_EQ(a.bugs, 0);
    const StatRecord& b = store.records["B"];
    EXPECT_EQ(b.planDelete, 5);
    EXPECT_EQ(b.planNew, 0);
    EXPECT_EQ(b.planMinutes, 0);
}

TEST_F(StatStoreFile, LineBreakInBaseNameDoesNotShiftLaterRecords)
{
    StatStore store;
    store.records["A"] = Row("two\nlines", 1);
    store.records["B"] = Row("plain", 2);
    ASSERT_TRUE(SaveStatInfo(store).Ok());
    StatStore loaded;
    ASSERT_TRUE(LoadStatInfo(loaded).Ok());
    ASSERT_EQ(loaded.records.size(), 2u);
    EXPECT_EQ(loaded.records["A"].baseName, "two lines");
    EXPECT_EQ(loaded.records["A"].bugs, 9);
    EXPECT_EQ(loaded.records["B"].baseName, "plain");
    EXPECT_EQ(loaded.records["B"].planReuse, 2);
}

TEST_F(StatStoreFile, HugeCountOnEmptyFileDoesNotHang)
{
    WriteText("100\n1 2 3 4\n\n2147483647\n");
    StatStore store;
    store.records["old"] = StatRecord();
    ASSERT_TRUE(LoadStatInfo(store).Ok());
    EXPECT_TRUE(store.records.empty());
}

TEST(StatStoreParse, NumbersBeyondThirtyTwoBitsSaturate)
{
    StatStore store;
    ParseStatInfoText("100\n99999999999 -99999999999 0 0\n\n0\n", store);
    EXPECT_EQ(store.x, 2147483647);
    EXPECT_EQ(store.y, -2147483647 - 1);
}
