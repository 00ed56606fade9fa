#include <gtest/gtest.h>

#include "platform/FileIo.h"
#include "project/ProjectFile.h"
#include "statistics/ProjectScan.h"
#include "tests/statistics/StatTestFolder.h"

using namespace quilvane;

namespace {

ProjectRecord Logged(const std::string& phase, std::int32_t seconds)
{
    ProjectRecord p = FinishedProject(1, 2, 3, 4);
    p.timeLog.entries.push_back({phase, Moment(1000), Moment(1000 + seconds)});
    return p;
}

class StatScan : public StatFolderTest {
protected:
    StatStore Scan(const std::string& excluded = "", PhaseSeconds* seconds = nullptr)
    {
        StatStore store;
        ScanProjects(excluded, store, seconds);
        return store;
    }
};

} // namespace

TEST_F(StatScan, ProjectFolderGivesAPresentRowOfItsPlanAndResults)
{
    ProjectRecord p = FinishedProject(48, 3, 70, 91);
    p.estimate.baseName = "Prob0";
    p.estimate.reuseLoc = 51;
    p.estimate.deleteLoc = 50;
    p.estimate.newLoc = 60;
    p.estimate.totalMinutes = 95;
    p.defectLog.entries.resize(3);
    Project("Prob1", p);

    StatStore store = Scan();
    ASSERT_EQ(store.records.size(), 1u);
    StatRecord expected{true, "Prob0", 51, 50, 60, 95, 48, 3, 70, 91, 3};
    EXPECT_EQ(store.records["Prob1"], expected);
}

TEST_F(StatScan, InitFolderIsNeverScanned)
{
    Project("init", FinishedProject(1, 1, 1, 1));
    Project("Init2", FinishedProject(1, 1, 1, 1));
    StatStore store = Scan();
    EXPECT_EQ(store.records.count("init"), 0u);
    EXPECT_EQ(store.records.count("Init2"), 1u);
}

TEST_F(StatScan, ExcludedFolderKeepsTheRowItHadAndIsNotRefreshed)
{
    Project("Mine", FinishedProject(100, 100, 100, 100));
    Project("Other", FinishedProject(1, 1, 1, 1));
    StatStore store;
    StatRecord fromFile;
    fromFile.baseName = "old";
    fromFile.actNew = 7;
    store.records["Mine"] = fromFile;

    ScanProjects("Mine", store, nullptr);
    EXPECT_EQ(store.records["Mine"], fromFile);
    EXPECT_TRUE(store.records["Other"].present);
}

TEST_F(StatScan, JapaneseFolderNamesAreRowsUnderTheirStoredNames)
{
    // On disk the folders have UTF-8 names; rows and the excluded name are CP932 text.
    Project("課題1", FinishedProject(1, 1, 1, 1));
    Project("山田", FinishedProject(2, 2, 2, 2));
    Project("絵😀", FinishedProject(3, 3, 3, 3)); // no CP932 form: not a project of ours
    StatStore store = Scan("\x8E\x52\x93\x63");  // 山田
    ASSERT_EQ(store.records.size(), 1u);
    EXPECT_EQ(store.records.begin()->first, "\x89\xDB\x91\xE8\x31"); // 課題1
    EXPECT_EQ(store.records.begin()->second.actReuse, 1);
}

TEST_F(StatScan, FoldersWithoutProjectFileAndPlainFilesAreSkipped)
{
    std::filesystem::create_directories(dir_.Path("Empty"));
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("Empty/readme.txt"), "x").Ok());
    std::string bytes = SerializeToBytes(FinishedProject(1, 1, 1, 1));
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("loose.psp"), bytes).Ok());
    std::filesystem::create_directories(dir_.Path("Dir/sub.psp"));
    StatStore store = Scan();
    EXPECT_TRUE(store.records.empty());
}

TEST_F(StatScan, LinksToProjectFoldersAndFilesAreFollowed)
{
    // The listing's own entry types say "link" for these; the scan still looks through them.
    Project("Real", FinishedProject(5, 0, 0, 0));
    std::filesystem::create_directory_symlink(dir_.Path("Real"), dir_.Path("Linked"));
    std::filesystem::create_directories(dir_.Path("FileLink"));
    std::filesystem::create_symlink(dir_.Path("Real/work.psp"), dir_.Path("FileLink/work.psp"));
    std::filesystem::create_directory_symlink(dir_.Path("Nowhere"), dir_.Path("Dangling"));
    StatStore store = Scan();
    EXPECT_EQ(store.records["Linked"].actReuse, 5);
    EXPECT_EQ(store.records["FileLink"].actReuse, 5);
    EXPECT_EQ(store.records.count("Dangling"), 0U);
}

TEST_F(StatScan, OnlyTheFirstProjectFileInNameOrderIsRead)
{
    // Name order disregards case, as the original platform's listing did: "a.PSP" < "B.psp" < "c.psp".
    Project("P", FinishedProject(3, 0, 0, 0), "c.psp");
    Project("P", FinishedProject(2, 0, 0, 0), "B.psp");
    Project("P", FinishedProject(1, 0, 0, 0), "a.PSP");
    EXPECT_EQ(FirstProjectFile(dir_.Path("P")), "a.PSP");
    EXPECT_EQ(Scan().records["P"].actReuse, 1);
}

TEST_F(StatScan, DamagedProjectFileIsSkippedWithoutStoppingTheScan)
{
    ProjectRecord logged = Logged("code", 600);
    std::string bytes = SerializeToBytes(logged);
    Project("A", Logged("code", 60));
    std::filesystem::create_directories(dir_.Path("B"));
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("B/work.psp"), bytes.substr(0, bytes.size() - 3)).Ok());
    std::filesystem::create_directories(dir_.Path("C"));
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("C/work.psp"), "\xFF\xFF\xFF\x7F garbage").Ok());
    Project("D", Logged("code", 6));

    StatStore store;
    StatRecord old;
    old.actNew = 5;
    store.records["B"] = old;
    PhaseSeconds seconds;
    ProjectDefectLogs defects;
    ScanProjects("", store, &seconds, &defects);

    EXPECT_TRUE(store.records["A"].present);
    EXPECT_TRUE(store.records["D"].present);
    EXPECT_EQ(store.records.count("C"), 0u);
    // A damaged project keeps the row the file gave it, still marked as not found.
    EXPECT_EQ(store.records["B"], old);
    EXPECT_EQ(seconds["code"], 66);
    // Only the projects read whole give defect logs.
    EXPECT_EQ(defects.size(), 2u);
    EXPECT_EQ(defects.count("A") + defects.count("D"), 2u);
}

TEST_F(StatScan, PhaseSecondsAddUpTheLogsOfAllScannedProjects)
{
    ProjectRecord a = Logged("plan", 30);
    a.timeLog.entries.push_back({"code", Moment(5000), Moment(5100)});
    Project("A", a);
    Project("B", Logged("plan", 12));
    ProjectRecord me = Logged("plan", 1000);
    me.defectLog.entries.push_back({"plan", "mine", {}});
    Project("Me", me);
    ProjectRecord c = Logged("plan", 0);
    c.defectLog.entries.push_back({"code", "typo", {}});
    c.defectLog.entries.push_back({"test", "off by one", {}});
    Project("C", c);

    PhaseSeconds seconds{{"plan", 1}};
    Scan("Me", &seconds);
    EXPECT_EQ(seconds, (PhaseSeconds{{"code", 100}, {"plan", 43}}));

    // The defect logs come from the same scan, each under its row's name; the excluded folder
    // gives none.
    StatStore store;
    ProjectDefectLogs defects;
    ScanProjects("Me", store, nullptr, &defects);
    ASSERT_EQ(defects.size(), 3u);
    EXPECT_EQ(defects.count("Me"), 0u);
    EXPECT_EQ(defects["C"].entries, c.defectLog.entries);
    EXPECT_TRUE(defects["A"].entries.empty());
}

TEST_F(StatScan, ZeroVersionFileCountsAsAnEmptyProject)
{
    std::filesystem::create_directories(dir_.Path("New"));
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("New/work.psp"), std::string(4, '\0')).Ok());
    StatRecord expected;
    expected.present = true;
    EXPECT_EQ(Scan().records["New"], expected);
}

TEST_F(StatScan, HistoryMergesFileRowsWithScannedRows)
{
    StatStore file;
    file.x = 123;
    file.records["Gone"].actNew = 9;
    file.records["Here"].actNew = 8;
    ASSERT_TRUE(SaveStatInfo(file).Ok());
    Project("Here", FinishedProject(0, 0, 20, 30));
    Project("New", FinishedProject(0, 0, 40, 50));

    StatStore history = LoadHistory("");
    EXPECT_EQ(history.x, 123);
    ASSERT_EQ(history.records.size(), 3u);
    EXPECT_FALSE(history.records["Gone"].present);
    EXPECT_EQ(history.records["Gone"].actNew, 9);
    EXPECT_TRUE(history.records["Here"].present);
    EXPECT_EQ(history.records["Here"].actNew, 20);
    EXPECT_TRUE(history.records["New"].present);

    // Excluding a folder leaves its file row as the file had it.
    EXPECT_FALSE(LoadHistory("Here").records["Here"].present);
    EXPECT_EQ(LoadHistory("Here").records["Here"].actNew, 8);
}

TEST_F(StatScan, MissingProgramFolderScansNothing)
{
    SetProgramFolder(dir_.Path("nowhere"));
    EXPECT_TRUE(Scan().records.empty());
}
