#include <gtest/gtest.h>

#include "platform/FileIo.h"
#include "platform/ProgramFolder.h"
#include "project/Settings.h"
#include "tests/TempFolder.h"

#include <filesystem>
#include <sys/stat.h>

using namespace quilvane;

namespace {

class SettingsFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = ProgramFolder();
        SetProgramFolder(dir_.Root());
        std::filesystem::create_directory(dir_.Path("init"));
    }
    void TearDown() override { SetProgramFolder(saved_); }

    void WriteInit(const std::string& name, const std::string& text)
    {
        ASSERT_TRUE(WriteFileAtomically(dir_.Path("init/" + name), text).Ok());
    }
    std::string ReadInit(const std::string& name)
    {
        return ReadWholeFile(dir_.Path("init/" + name)).value_or("?");
    }

    TempFolder dir_;
    std::string saved_;
};

} // namespace

TEST_F(SettingsFiles, WrittenAsSevenCrLfLinesAndReadBack)
{
    Settings s{"S", "", {"A", "B", "C"}};
    ASSERT_TRUE(SaveSettings(s).Ok());
    EXPECT_EQ(ReadInit("psp.txt"), "100\r\nS\r\n\r\n3\r\nA\r\nB\r\nC\r\n");
    Settings back;
    ASSERT_TRUE(LoadSettings(back).Ok());
    EXPECT_EQ(back, s);
}

TEST_F(SettingsFiles, CountLineReadLikeAtoi)
{
    WriteInit("psp.txt", "100\nN\nR\n3abc\nA\nB\nC\nD\n");
    Settings s;
    ASSERT_TRUE(LoadSettings(s).Ok());
    EXPECT_EQ(s.phaseNames, (std::vector<std::string>{"A", "B", "C"}));

    WriteInit("psp.txt", "100\rN\rR\r\rA\rB\r");
    ASSERT_TRUE(LoadSettings(s).Ok());
    EXPECT_TRUE(s.phaseNames.empty());
    EXPECT_EQ(s.userName, "N");

    WriteInit("psp.txt", "100\r\nN\r\nR\r\n  5\r\nA\r\nB");
    ASSERT_TRUE(LoadSettings(s).Ok());
    EXPECT_EQ(s.phaseNames, (std::vector<std::string>{"A", "B", "", "", ""}));

    // A count the file cannot hold is damage: refused by its number, the settings untouched.
    for (const char* count : {"2147483647", "100000"}) {
        WriteInit("psp.txt", std::string("100\r\nN\r\nR\r\n") + count + "\r\nA\r\n");
        Settings kept{"keep", "", {"x"}};
        Status refused = LoadSettings(kept);
        EXPECT_FALSE(refused.Ok()) << count;
        EXPECT_NE(refused.Message().find(std::string("init/psp.txt を読めません: 工程の数 ") + count),
                  std::string::npos)
            << refused.Message();
        EXPECT_EQ(kept, (Settings{"keep", "", {"x"}}));
    }
}

TEST_F(SettingsFiles, ShortFileAndLongNames)
{
    WriteInit("psp.txt", "100\r\n");
    Settings s{"old", "old", {"old"}};
    ASSERT_TRUE(LoadSettings(s).Ok());
    EXPECT_EQ(s, Settings{});
    std::string longName(300, 'x');
    WriteInit("psp.txt", "100\r\nN\r\n\r\n1\r\n" + longName + "\r\n");
    ASSERT_TRUE(LoadSettings(s).Ok());
    EXPECT_EQ(s.phaseNames.at(0), longName);
}

TEST_F(SettingsFiles, MissingFilesLeaveValuesAlone)
{
    Settings s{"keep", "", {}};
    std::filesystem::remove_all(dir_.Path("init"));
    EXPECT_FALSE(LoadSettings(s).Ok());
    EXPECT_EQ(s.userName, "keep");
    std::string name = "keep";
    EXPECT_FALSE(ReadLastProject(name).Ok());
    EXPECT_EQ(name, "keep");
    EXPECT_FALSE(WriteLastProject("x").Ok());
    EXPECT_FALSE(SaveSettings(s).Ok());

    // A FIFO or a folder in a file's place reads as missing at once, and is not written over.
    std::filesystem::create_directory(dir_.Path("init"));
    ASSERT_EQ(mkfifo(dir_.Path("init/psp.txt").c_str(), 0600), 0);
    std::filesystem::create_directory(dir_.Path("init/lastProj.txt"));
    EXPECT_FALSE(LoadSettings(s).Ok());
    EXPECT_EQ(s.userName, "keep");
    EXPECT_FALSE(ReadLastProject(name).Ok());
    EXPECT_EQ(name, "keep");
    EXPECT_FALSE(SaveSettings(s).Ok());
    EXPECT_FALSE(WriteLastProject("x").Ok());
    EXPECT_TRUE(std::filesystem::is_fifo(dir_.Path("init/psp.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(dir_.Path("init/lastProj.txt")));
}

TEST_F(SettingsFiles, LastProjectRemembered)
{
    RememberLastProject("Prob3");
    EXPECT_EQ(ReadInit("lastProj.txt"), "100\r\nProb3\r\n");
    std::string name;
    ASSERT_TRUE(ReadLastProject(name).Ok());
    EXPECT_EQ(name, "Prob3");
    WriteInit("lastProj.txt", "100");
    ASSERT_TRUE(ReadLastProject(name).Ok());
    EXPECT_EQ(name, "");
}

TEST(ApplySettings, ResizesPhasesAndKeepsFigures)
{
    OverviewFields o;
    std::vector<PhaseRecord> phases{{"x", 10, 20, 30}, {"y", 1, 2, 3}, {"z", 4, 5, 6}};
    ApplySettings(o, phases, Settings{"N", "R", {"A", "B"}});
    EXPECT_EQ(o.userName, "N");
    EXPECT_EQ(o.registrationFolder, "R");
    EXPECT_EQ(phases, (std::vector<PhaseRecord>{{"A", 10, 20, 30}, {"B", 1, 2, 3}}));
    ApplySettings(o, phases, Settings{"N", "R", {"A", "B", "C"}});
    EXPECT_EQ(phases.back(), (PhaseRecord{"C", 0, 0, 0}));
}
