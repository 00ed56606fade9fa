#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

#include "platform/FileIo.h"
#include "registration/Registration.h"
#include "tests/TempFolder.h"

using namespace quilvane;
namespace fs = std::filesystem;

namespace {

// A program folder "prog" holding project "Prob1" and a registration folder "reg".
class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Write("prog/Prob1/work.psp", "psp");
        Write("prog/Prob1/Prob1.cs", "class Prob1 {}");
        Write("prog/Prob1/result.txt", "Taro Prob1 100\n");
        fs::create_directory(Path("reg"));
        request_ = {Path("reg"), "Taro", "Prob1", Path("prog")};
    }

    std::string Path(const std::string& relative) const { return dir_.Path(relative); }

    void Write(const std::string& relative, const std::string& bytes)
    {
        fs::path path = Path(relative);
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::string Read(const std::string& relative) const
    {
        return ReadWholeFile(Path(relative)).value_or("<missing>");
    }

    bool Exists(const std::string& relative) const { return fs::exists(Path(relative)); }

    RegistrationResult Register(bool confirm = true)
    {
        return RegisterProjectFiles(request_, [this, confirm] {
            ++confirmations_;
            return confirm;
        });
    }

    TempFolder dir_;
    RegistrationRequest request_;
    int confirmations_ = 0;
};

} // namespace

TEST_F(RegistrationTest, CopiesTheProjectToUserAndProjectFolders)
{
    Write("prog/Prob1/bin/Debug/Prob1.exe", "x");
    Write("prog/Prob1/Prob1.suo", "x");
    RegistrationResult result = Register();
    EXPECT_EQ(result.outcome, RegistrationOutcome::Copied);
    EXPECT_EQ(result.target, Path("reg/Taro/Prob1"));
    EXPECT_TRUE(result.failures.empty());
    EXPECT_EQ(confirmations_, 1);
    EXPECT_EQ(Read("reg/Taro/Prob1/work.psp"), "psp");
    EXPECT_EQ(Read("reg/Taro/Prob1/result.txt"), "Taro Prob1 100\n");
    EXPECT_TRUE(Exists("reg/Taro/Prob1/Prob1.cs"));
    EXPECT_FALSE(Exists("reg/Taro/Prob1/bin"));
    EXPECT_FALSE(Exists("reg/Taro/Prob1/Prob1.suo"));
}

TEST_F(RegistrationTest, SecondRegistrationReplacesTheFirstCompletely)
{
    Write("prog/Prob1/Old.cs", "old");
    ASSERT_EQ(Register().outcome, RegistrationOutcome::Copied);
    fs::remove(Path("prog/Prob1/Old.cs"));
    chmod(Path("reg/Taro/Prob1/Prob1.cs").c_str(), 0444);
    Write("reg/Taro/Prob1/sub/stale.txt", "stale");
    chmod(Path("reg/Taro/Prob1/sub").c_str(), 0555);
    Write("prog/Prob1/Prob1.cs", "class Prob1 { int x; }");

    ASSERT_EQ(Register().outcome, RegistrationOutcome::Copied);
    EXPECT_FALSE(Exists("reg/Taro/Prob1/Old.cs"));
    EXPECT_FALSE(Exists("reg/Taro/Prob1/sub"));
    EXPECT_EQ(Read("reg/Taro/Prob1/Prob1.cs"), "class Prob1 { int x; }");
}

TEST_F(RegistrationTest, RelativeFolderWithBackslashesLiesInTheProgramFolder)
{
    request_.registrationFolder = "share\\psp\\";
    RegistrationResult result = Register();
    EXPECT_EQ(result.outcome, RegistrationOutcome::Copied);
    EXPECT_EQ(result.target, Path("prog/share/psp/Taro/Prob1"));
    EXPECT_TRUE(Exists("prog/share/psp/Taro/Prob1/work.psp"));
}

TEST_F(RegistrationTest, ShiftJisNamesWithBackslashTrailBytesAreAccepted)
{
    request_.userName = "\x83\x5C\x83\x74\x83\x67"; // ソフト: the first trail byte is '\'
    RegistrationResult result = Register();
    EXPECT_EQ(result.outcome, RegistrationOutcome::Copied);
    EXPECT_TRUE(Exists("reg/\x83\x5C\x83\x74\x83\x67/Prob1/work.psp"));
}

TEST_F(RegistrationTest, UnsafeNamesStopBeforeAnythingIsRemoved)
{
    Write("reg/keep.txt", "keep");
    Write("reg/Taro/keep.txt", "keep");
    Write("reg/Taro/Prob1/keep.txt", "keep");
    struct Case {
        std::string user;
        std::string project;
        RegistrationOutcome expected;
    };
    const Case cases[] = {
        {"", "Prob1", RegistrationOutcome::EmptyUserName},
        {".", "Prob1", RegistrationOutcome::UnsafeUserName},
        {"..", "Prob1", RegistrationOutcome::UnsafeUserName},
        {"Taro/Prob1", "Prob1", RegistrationOutcome::UnsafeUserName},
        {"..\\reg", "Prob1", RegistrationOutcome::UnsafeUserName},
        {std::string("Ta\0ro", 5), "Prob1", RegistrationOutcome::UnsafeUserName},
        {"Taro", "", RegistrationOutcome::UnsafeProjectName},
        {"Taro", ".", RegistrationOutcome::UnsafeProjectName},
        {"Taro", "..", RegistrationOutcome::UnsafeProjectName},
        {"Taro", "Prob1/..", RegistrationOutcome::UnsafeProjectName},
    };
    for (const auto& c : cases) {
        request_.userName = c.user;
        request_.projectName = c.project;
        EXPECT_EQ(Register().outcome, c.expected) << c.user << " " << c.project;
    }
    EXPECT_EQ(confirmations_, 0);
    EXPECT_EQ(Read("reg/keep.txt"), "keep");
    EXPECT_EQ(Read("reg/Taro/keep.txt"), "keep");
    EXPECT_EQ(Read("reg/Taro/Prob1/keep.txt"), "keep");
}

TEST_F(RegistrationTest, EmptyRegistrationFolderCopiesNothing)
{
    request_.registrationFolder.clear();
    EXPECT_EQ(Register().outcome, RegistrationOutcome::NoRegistrationFolder);
    EXPECT_EQ(confirmations_, 0);
}

TEST_F(RegistrationTest, CancelledConfirmationLeavesThePreviousCopy)
{
    Write("reg/Taro/Prob1/previous.txt", "previous");
    RegistrationResult result = Register(false);
    EXPECT_EQ(result.outcome, RegistrationOutcome::Cancelled);
    EXPECT_EQ(Read("reg/Taro/Prob1/previous.txt"), "previous");
    EXPECT_FALSE(Exists("reg/Taro/Prob1/work.psp"));
}

TEST_F(RegistrationTest, MissingProjectFolderLeavesThePreviousCopyWithoutAsking)
{
    Write("reg/Taro/Prob2/previous.txt", "previous");
    request_.projectName = "Prob2";
    EXPECT_EQ(Register().outcome, RegistrationOutcome::CannotEnterProject);
    EXPECT_EQ(confirmations_, 0);
    EXPECT_EQ(Read("reg/Taro/Prob2/previous.txt"), "previous");
}

TEST_F(RegistrationTest, TargetUnderAFileCannotBeCreated)
{
    Write("reg/Taro", "a file where the user folder should be");
    RegistrationResult result = Register();
    EXPECT_EQ(result.outcome, RegistrationOutcome::CannotCreateTarget);
    EXPECT_EQ(result.target, Path("reg/Taro/Prob1"));
    EXPECT_EQ(Read("reg/Taro"), "a file where the user folder should be");
}

TEST_F(RegistrationTest, TargetThatIsTheProjectItselfIsRefused)
{
    // R/U/P names the project folder: removing the old copy would remove the project.
    request_.registrationFolder = Path("");
    request_.userName = "prog";
    EXPECT_EQ(Register().outcome, RegistrationOutcome::OverlapsProject);
    EXPECT_EQ(Read("prog/Prob1/work.psp"), "psp");
    EXPECT_EQ(confirmations_, 0);
}

TEST_F(RegistrationTest, TargetInsideTheProjectIsRefused)
{
    request_.registrationFolder = ".";
    request_.userName = "Prob1";
    EXPECT_EQ(Register().outcome, RegistrationOutcome::OverlapsProject);
    EXPECT_FALSE(Exists("prog/Prob1/Prob1"));
}

TEST_F(RegistrationTest, EntriesThatCannotBeCopiedAreListed)
{
    fs::create_directory_symlink("..", Path("prog/Prob1/up"));
    RegistrationResult result = Register();
    EXPECT_EQ(result.outcome, RegistrationOutcome::Copied);
    EXPECT_EQ(result.failures, std::vector<std::string>{"up"});
    EXPECT_TRUE(Exists("reg/Taro/Prob1/work.psp"));
}

TEST_F(RegistrationTest, GeneratorIsStartedInTheRegistrationFolder)
{
    Write(std::string("reg/") + GeneratorName, "#!/bin/sh\npwd > started.tmp\nmv started.tmp started.txt\n");
    chmod(Path(std::string("reg/") + GeneratorName).c_str(), 0755);
    ASSERT_EQ(Register().outcome, RegistrationOutcome::Copied);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!Exists("reg/started.txt") && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_EQ(Read("reg/started.txt"), fs::canonical(Path("reg")).string() + "\n");
}

TEST_F(RegistrationTest, ProgressReportPathFollowsTheRegistrationFolder)
{
    EXPECT_EQ(ProgressReportPath("", "/p"), "");
    EXPECT_EQ(ProgressReportPath("share\\psp", "/p"), "/p/share/psp/result.htm");
    EXPECT_EQ(ProgressReportPath("/srv/psp/", "/p"), "/srv/psp/result.htm");
}
