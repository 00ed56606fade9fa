#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "estimate/LineMatcher.h"
#include "estimate/LocCounter.h"
#include "tests/estimate/GreedyScan.h"

using namespace quilvane;
namespace fs = std::filesystem;

namespace {

// Two project folders Prob1 (base) and Prob2 (current) in a fresh temporary folder.
class LocCountProject : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "loc-test-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directory(root / "Prob1");
        fs::create_directory(root / "Prob2");
    }

    void TearDown() override { fs::remove_all(root); }

    // Every file gets its own modification time, so that no pair is taken as unchanged by
    // accident; tests that want an unchanged pair set the times with SetTime.
    void Write(const std::string& relative, const std::string& text)
    {
        fs::path path = root / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        SetTime(relative, nextTime_++);
    }

    void SetTime(const std::string& relative, time_t seconds)
    {
        timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, (root / relative).c_str(), times, 0), 0);
    }

    std::string Path(const std::string& relative) const { return (root / relative).string(); }

    LocCounts Count(const std::string& base = "Prob1", const std::string& current = "Prob2",
                    bool rename = true, bool recurse = true)
    {
        LocCounts counts{-1, -1, -1};
        std::string basePath = base.empty() ? "" : Path(base);
        std::string currentPath = current.empty() ? "" : Path(current);
        last = CountProjectLoc(basePath, currentPath, recurse, counts, rename);
        EXPECT_FALSE(last.cancelled);
        return counts;
    }

    fs::path root;
    LocOutcome last;

private:
    time_t nextTime_ = 1500000000;
};

// "reused/deleted/added", so a failing comparison shows all three counts.
std::string Text(const LocCounts& c)
{
    return std::to_string(c.reused) + "/" + std::to_string(c.deleted) + "/" + std::to_string(c.added);
}

} // namespace

TEST_F(LocCountProject, SameSizeAndTimeIsUnchangedOnlyWithTheSameBytes)
{
    struct Case {
        const char* base;
        const char* current;
        const char* expected;
    };
    const Case cases[] = {
        {"int a;\n", "int a;\n", "1/0/0"},
        {"int a;\n", "int b;\n", "0/1/1"},
        // Only the last byte differs, beyond the first block read for the comparison.
        {nullptr, nullptr, "2/1/1"},
    };
    const std::string longBase = std::string(70000, ' ') + "a;\nb;\nc;\n";
    const std::string longCurrent = std::string(70000, ' ') + "a;\nb;\nd;\n";
    for (const Case& c : cases) {
        Write("Prob1/A.cs", c.base ? c.base : longBase);
        Write("Prob2/A.cs", c.current ? c.current : longCurrent);
        SetTime("Prob1/A.cs", 1000000);
        SetTime("Prob2/A.cs", 1000000);
        EXPECT_EQ(Text(Count()), c.expected) << (c.current ? c.current : "long");
    }
}

TEST_F(LocCountProject, CopyWithNewTimeIsMatchedLineByLine)
{
    const std::string text = "class A {\n  int a;\n  int b;\n}\n";
    Write("Prob1/A.cs", text);
    Write("Prob2/A.cs", text);
    SetTime("Prob1/A.cs", 1000000);
    SetTime("Prob2/A.cs", 2000000);
    EXPECT_EQ(Text(Count()), "3/0/0");
}

TEST_F(LocCountProject, ChangedLineIsDeletedAndAdded)
{
    Write("Prob1/A.cs", "int a;\nint b;\n");
    Write("Prob2/A.cs", "int a;\nint c;\n");
    SetTime("Prob1/A.cs", 1000000);
    SetTime("Prob2/A.cs", 2000000);
    EXPECT_EQ(Text(Count()), "1/1/1");
}

TEST_F(LocCountProject, SameSizeButOtherTimeIsCompared)
{
    Write("Prob1/A.cs", "int a;\n");
    Write("Prob2/A.cs", "int b;\n");
    SetTime("Prob1/A.cs", 1000000);
    SetTime("Prob2/A.cs", 1000001);
    EXPECT_EQ(Text(Count()), "0/1/1");
}

TEST_F(LocCountProject, EmptyBaseCountsEverythingAsAdded)
{
    Write("Prob2/A.cs", "int a; int b;\n");
    Write("Prob2/M.vb", "Module M\n' note\n\nEnd Module\n");
    EXPECT_EQ(Text(Count("")), "0/0/4");
}

TEST_F(LocCountProject, FileOnlyInBaseIsDeleted)
{
    Write("Prob1/Old.vb", "Dim a\nDim b\n");
    Write("Prob2/New.vb", "Dim a\n");
    EXPECT_EQ(Text(Count()), "0/2/1");
}

TEST_F(LocCountProject, ExtensionsIgnoreCaseButMustEndTheName)
{
    Write("Prob2/Upper.CS", "a;\n");
    Write("Prob2/Mixed.Vb", "Dim a\n");
    Write("Prob2/Backup.cs.bak", "b;\n");
    Write("Prob2/Notes.txt", "c;\n");
    Write("Prob2/cs", "d;\n");
    EXPECT_EQ(Text(Count("")), "0/0/2");
}

TEST_F(LocCountProject, DuplicateBaseLineLeavesOneDeleted)
{
    Write("Prob1/A.cs", "x;\nx;\n");
    Write("Prob2/A.cs", "x;\n");
    EXPECT_EQ(Text(Count()), "1/1/0");
}

TEST_F(LocCountProject, CrLfFilesEqualLfFiles)
{
    Write("Prob1/A.cs", "int a;\r\nint b;\r\n");
    Write("Prob2/A.cs", "int a;\nint b;\n");
    Write("Prob1/B.vb", "Dim a\r\nDim b\r\n");
    Write("Prob2/B.vb", "Dim a\nDim b\n");
    EXPECT_EQ(Text(Count()), "4/0/0");
}

TEST_F(LocCountProject, LargeCrLfFileIsReadWhole)
{
    // Larger than any read chunk, with CR LF pairs falling on every possible chunk boundary.
    std::string crlf;
    std::string lf;
    for (int i = 0; i < 30000; ++i) {
        std::string line = "x" + std::to_string(i) + ";";
        crlf += line + "\r\n";
        lf += line + "\n";
    }
    Write("Prob1/Big.cs", crlf);
    Write("Prob2/Big.cs", lf);
    EXPECT_EQ(Text(Count()), "30000/0/0");
}

TEST_F(LocCountProject, MissingFinalLineEndMattersOnlyForVb)
{
    Write("Prob1/A.cs", "int a;\n");
    Write("Prob2/A.cs", "int a;");
    Write("Prob1/B.vb", "Dim a\n");
    Write("Prob2/B.vb", "Dim a");
    EXPECT_EQ(Text(Count()), "1/1/1");
}

TEST_F(LocCountProject, SubfoldersAreWalkedOnlyWhenRecursing)
{
    Write("Prob1/sub/deep/U.cs", "a;\nb;\n");
    Write("Prob2/sub/deep/U.cs", "a;\nc;\n");
    Write("Prob2/Top.cs", "t;\n");
    EXPECT_EQ(Text(Count()), "1/1/2");
    EXPECT_EQ(Text(Count("Prob1", "Prob2", true, false)), "0/0/1");
}

TEST_F(LocCountProject, FoldersNamedLikeSourcesAreNotFiles)
{
    Write("Prob2/odd.cs/Inner.cs", "a;\n");
    EXPECT_EQ(Text(Count("")), "0/0/1");
}

TEST_F(LocCountProject, KeysIgnoreCaseAndEachSideKeepsItsOwnName)
{
    Write("Prob1/Form1.CS", "a;\nb;\n");
    Write("Prob2/form1.cs", "a;\nb;\n");
    Write("Prob1/Sub/Util.vb", "Dim x\n");
    Write("Prob2/SUB/util.VB", "Dim x\n");
    EXPECT_EQ(Text(Count()), "3/0/0");
}

TEST_F(LocCountProject, CaseVariantsOnOneSideCountOnceInNameOrder)
{
    // A case-sensitive file system can hold both; the original one could not. The first name in
    // byte order ("A.cs" before "a.cs") stands for the key.
    Write("Prob2/A.cs", "a;\n");
    Write("Prob2/a.cs", "a; b;\n");
    EXPECT_EQ(Text(Count("")), "0/0/1");
}

TEST_F(LocCountProject, MainFileNamedAfterProjectPairsWithCurrentOne)
{
    Write("Prob1/Prob1.cs", "a;\nb;\n");
    Write("Prob2/Prob2.cs", "a;\nc;\n");
    EXPECT_EQ(Text(Count()), "1/1/1");
    // Without the rule the two files are strangers.
    EXPECT_EQ(Text(Count("Prob1", "Prob2", false)), "0/2/2");
}

TEST_F(LocCountProject, ProjectNameRuleIgnoresCaseAndTrailingSlash)
{
    Write("Prob1/PROB1.Cs", "a;\n");
    Write("Prob2/Prob2.cs", "a;\n");
    EXPECT_EQ(Text(Count("Prob1/", "Prob2/")), "1/0/0");
}

TEST_F(LocCountProject, ProjectNameRuleAppliesOnlyInTheProjectFolder)
{
    // sub/sub.cs is named after its folder, not after the project: it pairs by its own name.
    Write("Prob1/sub/sub.cs", "a;\n");
    Write("Prob2/sub/sub.cs", "a;\n");
    EXPECT_EQ(Text(Count()), "1/0/0");
}

TEST_F(LocCountProject, RenamedMainFileWinsOverBaseFileWithCurrentName)
{
    Write("Prob1/Prob1.cs", "a;\n");
    Write("Prob1/Prob2.cs", "x; y; z;\n");
    Write("Prob2/Prob2.cs", "a;\n");
    EXPECT_EQ(Text(Count()), "1/0/0");
    // The same when the renamed file comes second in name order.
    Write("Zed/Prob2.cs", "x; y; z;\n");
    Write("Zed/Zed.cs", "a;\n");
    EXPECT_EQ(Text(Count("Zed")), "1/0/0");
}

TEST_F(LocCountProject, BaseMainFileIsNotComparedTwice)
{
    // The base's Prob1.cs is filed under Prob2.cs; the current project's own Prob1.cs has no
    // partner, so the base lines are not counted a second time.
    Write("Prob1/Prob1.cs", "a;\n");
    Write("Prob2/Prob2.cs", "a;\n");
    Write("Prob2/Prob1.cs", "a;\n");
    EXPECT_EQ(Text(Count()), "1/0/1");
}

TEST_F(LocCountProject, MissingFoldersContributeNothingAndAreReported)
{
    Write("Prob2/A.cs", "a;\n");
    EXPECT_EQ(Text(Count("NoSuch", "Prob2")), "0/0/1");
    EXPECT_TRUE(last.baseMissing);
    EXPECT_FALSE(last.currentMissing);
    EXPECT_EQ(Text(Count("NoSuch", "NoSuchEither")), "0/0/0");
    EXPECT_TRUE(last.currentMissing);
}

TEST_F(LocCountProject, RelativePathsResolveWithoutChangingDirectory)
{
    Write("Prob1/A.cs", "a;\n");
    Write("Prob2/A.cs", "a;\nb;\n");
    fs::path before = fs::current_path();
    fs::current_path(root);
    LocCounts counts;
    LocOutcome outcome = CountProjectLoc("Prob1", "Prob2", true, counts, true);
    fs::path during = fs::current_path();
    fs::current_path(before);
    EXPECT_EQ(during, root);
    EXPECT_FALSE(outcome.baseMissing);
    EXPECT_EQ(Text(counts), "1/0/1");
}

TEST_F(LocCountProject, BackslashSeparatesPathComponents)
{
    Write("Old/Prob1/Prob1.cs", "a;\n");
    Write("Prob2/Prob2.cs", "a;\n");
    EXPECT_EQ(Text(Count("Old\\Prob1", "Prob2")), "1/0/0");
}

TEST_F(LocCountProject, SymbolicLinkLoopIsWalkedOnce)
{
    Write("Prob2/sub/A.cs", "a;\n");
    fs::create_directory_symlink("..", root / "Prob2/sub/up");
    EXPECT_EQ(Text(Count("")), "0/0/1");
}

TEST_F(LocCountProject, UnreadableFileIsAbsent)
{
    if (geteuid() == 0) {
        GTEST_SKIP() << "root reads every file";
    }
    Write("Prob1/A.cs", "a;\n");
    Write("Prob2/A.cs", "a;\n");
    chmod(Path("Prob1/A.cs").c_str(), 0);
    EXPECT_EQ(Text(Count()), "0/0/1");
}

TEST_F(LocCountProject, DanglingLinkIsNoFile)
{
    Write("Prob2/A.cs", "a;\n");
    fs::create_symlink("nowhere.cs", root / "Prob1/A.cs");
    EXPECT_EQ(Text(Count()), "0/0/1");
}

TEST_F(LocCountProject, FileReplacedByAFifoAfterTheWalkIsAbsentWithoutWaiting)
{
    Write("Prob1/A.cs", "a;\n");
    Write("Prob2/A.cs", "a;\n");
    LocCounts counts;
    // Progress is first reported once both folders are walked, before any file is opened.
    auto swap = [&](std::size_t done, std::size_t) {
        if (done == 0) {
            fs::remove(root / "Prob2/A.cs");
            EXPECT_EQ(mkfifo(Path("Prob2/A.cs").c_str(), 0600), 0);
        }
        return true;
    };
    LocOutcome outcome = CountProjectLoc(Path("Prob1"), Path("Prob2"), true, counts, true, swap);
    EXPECT_TRUE(outcome.failure.empty());
    EXPECT_EQ(Text(counts), "0/1/0");
}

TEST_F(LocCountProject, ProgressReportsEveryPairAndCancelKeepsCounts)
{
    Write("Prob2/A.cs", "a;\n");
    Write("Prob2/B.cs", "b;\n");
    Write("Prob2/C.cs", "c;\n");
    // Whatever the number of threads, progress comes in table order on the calling thread.
    for (std::size_t workers : {0U, 1U, 2U, 3U, 8U}) {
        std::vector<std::pair<std::size_t, std::size_t>> calls;
        LocCounts counts{7, 8, 9};
        const auto caller = std::this_thread::get_id();
        auto record = [&](std::size_t d, std::size_t t) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            calls.emplace_back(d, t);
            return true;
        };
        LocOutcome outcome = CountProjectLoc("", Path("Prob2"), true, counts, true, record, workers);
        EXPECT_FALSE(outcome.cancelled);
        EXPECT_EQ(Text(counts), "0/0/3");
        ASSERT_EQ(calls.size(), 4U) << workers;
        for (std::size_t i = 0; i < calls.size(); ++i) {
            EXPECT_EQ(calls[i], (std::pair<std::size_t, std::size_t>{i, 3})) << workers;
        }

        counts = {7, 8, 9};
        calls.clear();
        outcome = CountProjectLoc(
            "", Path("Prob2"), true, counts, true,
            [&](std::size_t d, std::size_t t) {
                calls.emplace_back(d, t);
                return d < 2;
            },
            workers);
        EXPECT_TRUE(outcome.cancelled);
        EXPECT_EQ(Text(counts), "7/8/9");
        EXPECT_EQ(calls.size(), 3U) << workers;
    }
}

namespace {

// The lines of a generated file: one unit each in either language, so the greedy scan over the
// lines gives the file's counts.
std::vector<std::string> GeneratedLines(std::mt19937& rng, std::size_t count, bool isVb)
{
    std::uniform_int_distribution<int> pick(0, 30);
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        lines.push_back("x" + std::to_string(pick(rng)) + (isVb ? " = 1" : " = 1;"));
    }
    return lines;
}

std::string Joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}

std::vector<std::string_view> Views(const std::vector<std::string>& lines)
{
    return {lines.begin(), lines.end()};
}

} // namespace

TEST_F(LocCountProject, AnyNumberOfThreadsAgreesWithGreedyScanOnLargeTree)
{
    // Many pairs in nested folders, C# and VB mixed: edited, unchanged, only in the base, only
    // in the current project. The expected counts come from the plain greedy scan of each pair.
    std::mt19937 rng(20261208);
    std::uniform_int_distribution<int> kind(0, 9);
    std::uniform_int_distribution<std::size_t> length(0, 60);
    std::uniform_int_distribution<int> edit(0, 9);
    LocCounts expected;
    std::int64_t reused = 0;
    std::int64_t deleted = 0;
    std::int64_t added = 0;
    for (int i = 0; i < 400; ++i) {
        const bool isVb = i % 3 == 0;
        const std::string name = "d" + std::to_string(i % 7) + "/e" + std::to_string(i % 5) + "/F" +
                                 std::to_string(i) + (isVb ? ".vb" : ".cs");
        auto base = GeneratedLines(rng, length(rng), isVb);
        std::vector<std::string> current;
        for (const auto& line : base) {
            int e = edit(rng);
            if (e != 0) {
                current.push_back(e == 1 ? "y" + line : line);
            }
        }
        const int k = kind(rng);
        if (k == 0) {
            Write("Prob1/" + name, Joined(base));
            deleted += static_cast<std::int64_t>(base.size());
            continue;
        }
        if (k == 1) {
            Write("Prob2/" + name, Joined(current));
            added += static_cast<std::int64_t>(current.size());
            continue;
        }
        if (k == 2) {
            current = base;
        }
        Write("Prob1/" + name, Joined(base));
        Write("Prob2/" + name, Joined(current));
        if (k == 2) {
            SetTime("Prob2/" + name, 1400000000 + i);
            SetTime("Prob1/" + name, 1400000000 + i);
        }
        MatchFlags baseFlags;
        MatchFlags currentFlags;
        GreedyMatch(Views(base), Views(current), baseFlags, currentFlags);
        for (char flag : baseFlags) {
            ++(flag != 0 ? reused : deleted);
        }
        for (char flag : currentFlags) {
            added += flag != 0 ? 0 : 1;
        }
    }
    expected.reused = static_cast<std::int32_t>(reused);
    expected.deleted = static_cast<std::int32_t>(deleted);
    expected.added = static_cast<std::int32_t>(added);
    // Sources that open but cannot be read add nothing and are named in table order, however
    // many threads compare the pairs.
    const std::vector<std::string> unreadable{Path("Prob1") + "/d0/Z1.cs", Path("Prob2") + "/d3/A0.cs",
                                              Path("Prob1") + "/d6/Z9.vb", Path("Prob2") + "/d6/Z9.vb"};
    for (const std::string& path : unreadable) {
        fs::create_directories(fs::path(path).parent_path());
        fs::create_symlink("/proc/self/mem", path);
    }
    for (std::size_t workers : {1U, 0U, 2U, 3U, 16U}) {
        LocCounts counts{-1, -1, -1};
        std::size_t calls = 0;
        LocOutcome outcome = CountProjectLoc(
            Path("Prob1"), Path("Prob2"), true, counts, true,
            [&](std::size_t d, std::size_t) { return d == calls++; }, workers);
        EXPECT_FALSE(outcome.cancelled) << workers;
        EXPECT_EQ(outcome.failure, "") << workers;
        EXPECT_EQ(Text(counts), Text(expected)) << workers;
        EXPECT_EQ(outcome.unreadable, unreadable) << workers;
    }
}

namespace {

// Caps the counter's large blocks for the life of the guard.
class MemoryLimit {
public:
    explicit MemoryLimit(std::size_t bytes) : previous_(SetBulkMemoryLimit(bytes)) {}
    ~MemoryLimit() { (void)SetBulkMemoryLimit(previous_); }
    MemoryLimit(const MemoryLimit&) = delete;
    MemoryLimit& operator=(const MemoryLimit&) = delete;

private:
    std::size_t previous_;
};

} // namespace

TEST_F(LocCountProject, PairTooLargeForTheMemoryFailsAndKeepsCounts)
{
    std::string big;
    for (int i = 0; i < 20000; ++i) {
        big += "x = " + std::to_string(i) + ";\n";
    }
    Write("Prob1/A.cs", big);
    Write("Prob2/A.cs", big + "y;\n");
    Write("Prob2/B.vb", "Dim b\n");
    struct Case {
        std::size_t limit;
        const char* base;
        const char* expected; // counts, or the file named by the failure
    };
    const Case cases[] = {
        {NoBulkMemoryLimit, "Prob1", "20000/0/2"},
        {16 << 10, "Prob1", "Prob2/A.cs"},
        // A file on one side only is read whole as well.
        {16 << 10, "", "Prob2/A.cs"},
        // Enough for the bytes of the pair, not for its line tables.
        {600 << 10, "Prob1", "Prob2/A.cs"},
    };
    for (const Case& c : cases) {
        for (std::size_t workers : {1U, 2U}) {
            LocCounts counts{7, 8, 9};
            LocOutcome outcome;
            {
                MemoryLimit limit(c.limit);
                outcome = CountProjectLoc(c.base[0] ? Path(c.base) : "", Path("Prob2"), true, counts, true,
                                          {}, workers);
            }
            if (c.limit == NoBulkMemoryLimit) {
                EXPECT_EQ(outcome.failure, "");
                EXPECT_EQ(Text(counts), c.expected);
                continue;
            }
            EXPECT_FALSE(outcome.cancelled);
            EXPECT_NE(outcome.failure.find(Path(c.expected) + ": "), std::string::npos) << outcome.failure;
            EXPECT_NE(outcome.failure.find("メモリが足りない"), std::string::npos) << outcome.failure;
            EXPECT_EQ(Text(counts), "7/8/9") << c.limit;
        }
    }
    // Every block was given back: the same count succeeds under a cap it fits in.
    LocCounts counts;
    MemoryLimit limit(8 << 20);
    EXPECT_EQ(CountProjectLoc(Path("Prob1"), Path("Prob2"), true, counts, true).failure, "");
    EXPECT_EQ(Text(counts), "20000/0/2");
}

TEST_F(LocCountProject, PairBeyondTheLineTableFailsBeforeItIsRead)
{
    // Sparse files: nothing of them is on the disk, and the count must not read them. Either
    // side being too large is enough, for C# and for VB.
    for (const char* name : {"Big.cs", "Big.vb"}) {
        for (const char* large : {"Prob1/", "Prob2/"}) {
            fs::remove_all(root / "Prob1");
            fs::remove_all(root / "Prob2");
            Write(std::string("Prob1/") + name, "a;\n");
            Write(std::string("Prob2/") + name, "a;\nb;\n");
            ASSERT_EQ(truncate(Path(large + std::string(name)).c_str(), off_t{1} << 32), 0);
            SetTime(std::string("Prob1/") + name, 1000000);
            SetTime(std::string("Prob2/") + name, 2000000);
            LocCounts counts{7, 8, 9};
            LocOutcome outcome = CountProjectLoc(Path("Prob1"), Path("Prob2"), true, counts, true);
            EXPECT_EQ(outcome.failure.rfind(Path(std::string("Prob2/") + name) + ": ", 0), 0U)
                << large << name << ": " << outcome.failure;
            EXPECT_EQ(Text(counts), "7/8/9");
        }
    }
}
