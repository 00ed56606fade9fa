#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "platform/FileIo.h"
#include "project/ProjectFile.h"
#include "project/WorkJournal.h"
#include "tests/TempFolder.h"

using namespace quilvane;
namespace fs = std::filesystem;

namespace {

constexpr std::int32_t T0 = 1796601600;

class WorkJournalFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(dir_.Path("Prob1"));
        project_.phases = {{"A", 30, 0, 0}, {"B", 3, 0, 0}};
        project_.mode = NeutralMode;
        ASSERT_TRUE(SaveProjectFile(path_, project_).Ok());
    }

    bool Exists(const std::string& path) { return fs::exists(path); }
    std::optional<JournalRecord> Journal() { return ReadJournal(JournalPathFor(path_)); }
    ProjectRecord Saved()
    {
        ProjectRecord p;
        EXPECT_TRUE(LoadProjectFile(path_, p).Ok());
        return p;
    }
    // The state a crash leaves: phase A running since T0, last journal at T0 + 600, the memo
    // changed but not saved.
    void LeaveCrashedWork()
    {
        ProjectRecord running = project_;
        running.mode = "A";
        running.memo = "unsaved";
        ASSERT_TRUE(journal_.Keep(path_, running, T0, true, T0, true).Ok());
        ASSERT_TRUE(journal_.Keep(path_, running, T0, true, T0 + 600, false).Ok());
    }

    TempFolder dir_;
    std::string path_ = dir_.Path("Prob1/work.psp");
    ProjectRecord project_;
    WorkJournal journal_;
};

} // namespace

TEST(JournalText, RoundTripsAndRefusesDamagedText)
{
    JournalRecord record{"/p/Prob1/work.psp", "\x83\x76\x83\x89\x83\x93", T0, T0 + 61, true};
    std::string text = FormatJournal(record);
    EXPECT_EQ(text, "QuilvaneJournal 1\r\nproject=/p/Prob1/work.psp\r\nphase=\x83\x76\x83\x89\x83\x93\r\n"
                    "start=1796601600\r\nmoment=1796601661\r\nautosave=1\r\n");
    EXPECT_EQ(ParseJournal(text), record);

    const char* damaged[] = {
        "",
        "QuilvaneJournal 1\r\nproject=/p\r\nphase=A\r\nstart=1\r\nmoment=2\r\n",               // torn
        "QuilvaneJournal 2\r\nproject=/p\r\nphase=A\r\nstart=1\r\nmoment=2\r\nautosave=0\r\n", // foreign
        "QuilvaneJournal 1\r\nproject=\r\nphase=A\r\nstart=1\r\nmoment=2\r\nautosave=0\r\n",
        "QuilvaneJournal 1\r\nproject=/p\r\nphase=A\r\nstart=1x\r\nmoment=2\r\nautosave=0\r\n",
        "QuilvaneJournal 1\r\nproject=/p\r\nphase=A\r\nstart=1\r\nmoment=99999999999\r\nautosave=0\r\n",
        "QuilvaneJournal 1\r\nproject=/p\r\nphase=A\r\nstart=1\r\nmoment=2\r\nautosave=yes\r\n",
        "QuilvaneJournal 1\r\nproject=/p\r\nphase=A\r\nstart=1\r\nstart=2\r\nautosave=0\r\n",
    };
    for (const char* bad : damaged) {
        EXPECT_FALSE(ParseJournal(bad).has_value()) << bad;
    }
}

TEST_F(WorkJournalFiles, RunningPhaseIsJournalledAtMostOnceAMinuteAndOnForce)
{
    ProjectRecord running = project_;
    running.mode = "B";
    ASSERT_TRUE(journal_.Keep(path_, running, T0, false, T0, true).Ok());
    EXPECT_EQ(Journal(), (JournalRecord{path_, "B", T0, T0, false}));
    EXPECT_FALSE(Exists(AutosavePathFor(path_)));

    ASSERT_TRUE(journal_.Keep(path_, running, T0, false, T0 + 59, false).Ok());
    EXPECT_EQ(Journal()->moment, T0);
    ASSERT_TRUE(journal_.Keep(path_, running, T0, false, T0 + 60, false).Ok());
    EXPECT_EQ(Journal()->moment, T0 + 60);
    ASSERT_TRUE(journal_.Keep(path_, running, T0, false, T0 + 61, true).Ok());
    EXPECT_EQ(Journal()->moment, T0 + 61);
}

TEST_F(WorkJournalFiles, UnsavedChangesGoToTheAutosaveNotTheProject)
{
    LeaveCrashedWork();
    ProjectRecord autosaved;
    ASSERT_TRUE(LoadProjectFile(AutosavePathFor(path_), autosaved).Ok());
    EXPECT_EQ(autosaved.memo, "unsaved");
    EXPECT_EQ(Saved().memo, "");
    EXPECT_EQ(Journal(), (JournalRecord{path_, "A", T0, T0 + 600, true}));

    // Saved while the phase still runs: the autosave goes, the journal stays.
    ProjectRecord running = project_;
    running.mode = "A";
    ASSERT_TRUE(journal_.Keep(path_, running, T0, false, T0 + 601, true).Ok());
    EXPECT_FALSE(Exists(AutosavePathFor(path_)));
    EXPECT_EQ(Journal(), (JournalRecord{path_, "A", T0, T0 + 601, false}));

    // Neutral and saved: nothing left to recover.
    ASSERT_TRUE(journal_.Keep(path_, project_, T0 + 700, false, T0 + 700, true).Ok());
    EXPECT_FALSE(Exists(JournalPathFor(path_)));
}

TEST_F(WorkJournalFiles, AnotherProjectOrADiscardRemovesTheFiles)
{
    LeaveCrashedWork();
    fs::create_directories(dir_.Path("Prob2"));
    std::string other = dir_.Path("Prob2/work.psp");
    ProjectRecord running = project_;
    running.mode = "A";
    ASSERT_TRUE(journal_.Keep(other, running, T0, true, T0 + 700, true).Ok());
    EXPECT_FALSE(Exists(JournalPathFor(path_)));
    EXPECT_FALSE(Exists(AutosavePathFor(path_)));
    EXPECT_TRUE(Exists(JournalPathFor(other)));
    journal_.Discard();
    EXPECT_FALSE(Exists(JournalPathFor(other)));
    EXPECT_FALSE(Exists(AutosavePathFor(other)));
}

TEST_F(WorkJournalFiles, FoundBesideProjectsAndRefusedWhenCopiedFromElsewhere)
{
    LeaveCrashedWork();
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("notes.psp.journal"), "x").Ok());
    EXPECT_EQ(FindJournals(dir_.Root()), std::vector<std::string>{JournalPathFor(path_)});

    // A project folder copied with its journal: the journal names the original, not the copy.
    fs::copy(dir_.Path("Prob1"), dir_.Path("Copy"));
    EXPECT_FALSE(ReadJournal(dir_.Path("Copy/work.psp.journal")).has_value());
    EXPECT_TRUE(ReadJournal(JournalPathFor(path_)).has_value());
    // A folder or a FIFO under the journal's name is not read.
    fs::create_directories(dir_.Path("Dir/work.psp.journal"));
    EXPECT_FALSE(ReadJournal(dir_.Path("Dir/work.psp.journal")).has_value());
    fs::create_directories(dir_.Path("Fifo"));
    ASSERT_EQ(mkfifo(dir_.Path("Fifo/work.psp.journal").c_str(), 0600), 0);
    EXPECT_FALSE(ReadJournal(dir_.Path("Fifo/work.psp.journal")).has_value());
}

TEST_F(WorkJournalFiles, ProjectOpenedByARelativePathIsJournalledAbsolutely)
{
    const fs::path before = fs::current_path();
    fs::current_path(dir_.Root());
    ProjectRecord running = project_;
    running.mode = "A";
    Status kept = journal_.Keep("./Prob1/work.psp", running, T0, false, T0 + 60, true);
    fs::current_path(before);
    ASSERT_TRUE(kept.Ok());
    auto text = ReadWholeFile(JournalPathFor(path_));
    EXPECT_NE(text.value_or("").find("project=" + path_ + "\r\n"), std::string::npos) << text.value_or("");
    auto record = Journal();
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->projectPath, path_);
}

TEST_F(WorkJournalFiles, RecoveryFollowsTheAnswers)
{
    struct Case {
        bool logInterval;
        bool restore;
        std::size_t entries;
        const char* memo;
    } cases[] = {
        {true, true, 1, "unsaved"},
        {true, false, 1, ""},
        {false, true, 0, "unsaved"},
        {false, false, 0, ""},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SaveProjectFile(path_, project_).Ok());
        LeaveCrashedWork();
        auto record = Journal();
        ASSERT_TRUE(record.has_value());
        ASSERT_TRUE(Recover(*record, c.logInterval, c.restore).Ok());
        ProjectRecord saved = Saved();
        ASSERT_EQ(saved.timeLog.entries.size(), c.entries) << c.logInterval << c.restore;
        if (c.entries == 1) {
            EXPECT_EQ(saved.timeLog.entries[0].phase, "A");
            EXPECT_EQ(saved.timeLog.entries[0].start.Seconds(), T0);
            EXPECT_EQ(saved.timeLog.entries[0].Duration(), 600);
        }
        EXPECT_EQ(saved.memo, c.memo);
        EXPECT_FALSE(Exists(JournalPathFor(path_)));
        EXPECT_FALSE(Exists(AutosavePathFor(path_)));
    }
}

TEST_F(WorkJournalFiles, FailedRecoveryKeepsEverything)
{
    LeaveCrashedWork();
    ASSERT_TRUE(WriteFileAtomically(AutosavePathFor(path_), "\x67").Ok());
    auto record = Journal();
    ASSERT_TRUE(record.has_value());
    EXPECT_FALSE(Recover(*record, true, true).Ok());
    EXPECT_TRUE(Saved().timeLog.entries.empty());
    EXPECT_TRUE(Exists(JournalPathFor(path_)));
    EXPECT_TRUE(Exists(AutosavePathFor(path_)));
}
