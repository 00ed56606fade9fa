#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "platform/Cp932.h"
#include "platform/FileIo.h"
#include "platform/PathNames.h"
#include "registration/Registration.h"
#include "registration/RegistrationMessages.h"
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

    void Write(const std::string& relative, const std::string& bytes) { dir_.Write(relative, bytes); }

    std::string Read(const std::string& relative) const { return dir_.Read(relative); }

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
    // The folder carries the system's own spelling of the name, never the stored bytes.
    EXPECT_TRUE(Exists("reg/ソフト/Prob1/work.psp"));
    EXPECT_FALSE(Exists("reg/\x83\x5C\x83\x74\x83\x67"));
    EXPECT_EQ(result.target, Path("reg/ソフト/Prob1"));
}

TEST_F(RegistrationTest, KanjiUserProjectAndRegistrationFolderAreFoldersWithTheirOwnNames)
{
    // 共有\登録 as the settings store it, under the test's folder; 山田 and 演習1 likewise.
    const std::string user = Utf8ToCp932("山田");
    const std::string project = Utf8ToCp932("演習1");
    Write("prog/演習1/work.psp", "psp");
    Write("prog/演習1/演習1.sln", "sln");
    Write("prog/演習1/result.txt", user + " " + project + " 80\r\n");
    Write("共有/登録/" + std::string(GeneratorName), "#!/bin/sh\npwd > ran.txt\n");
    chmod(Path("共有/登録/" + std::string(GeneratorName)).c_str(), 0755);
    request_ = {Utf8ToCp932(Path("共有")) + "\\" + Utf8ToCp932("登録") + "\\", user, project, Path("prog")};

    RegistrationResult result = Register();

    EXPECT_EQ(result.outcome, RegistrationOutcome::Copied);
    EXPECT_EQ(result.target, Path("共有/登録/山田/演習1"));
    EXPECT_EQ(Read("共有/登録/山田/演習1/演習1.sln"), "sln");
    EXPECT_EQ(result.resultLine.state, ResultLineState::Matches);
    EXPECT_EQ(result.generator.outcome, GeneratorOutcome::Finished);
    EXPECT_EQ(Read("共有/登録/ran.txt"), fs::canonical(Path("共有/登録")).string() + "\n");
    EXPECT_EQ(CopiedMessage(result), Path("共有/登録/山田/演習1") + "\nにコピーしました");
    EXPECT_EQ(ProgressReportPath(request_.registrationFolder, Path("prog")), Path("共有/登録/result.htm"));
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
        {"Ta\x81\x20ro", "Prob1", RegistrationOutcome::UndecodableName},
        {"Taro", "Prob\xFF", RegistrationOutcome::UndecodableName},
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
    EXPECT_EQ(Register().outcome, RegistrationOutcome::ProjectMissing);
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

// A copy that fails halfway, once through a file nobody may read (passed over when this user
// reads everything) and once through a file larger than the process may write.
TEST_F(RegistrationTest, FailedCopyLeavesThePreviousRegistrationIntact)
{
    Write(std::string("reg/") + GeneratorName, "#!/bin/sh\necho run >> runs.txt\n");
    chmod(Path(std::string("reg/") + GeneratorName).c_str(), 0755);
    ASSERT_EQ(Register().outcome, RegistrationOutcome::Copied);
    Write("prog/Prob1/work.psp", "psp, newer");
    const rlim_t fileSizeLimit = 64 * 1024;

    for (bool unreadable : {true, false}) {
        fs::remove(Path("prog/Prob1/secret.cs"));
        Write("prog/Prob1/secret.cs", std::string(unreadable ? 10 : 2 * fileSizeLimit, 'x'));
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        if (unreadable) {
            chmod(Path("prog/Prob1/secret.cs").c_str(), 0);
            if (access(Path("prog/Prob1/secret.cs").c_str(), R_OK) == 0) {
                continue;
            }
        } else {
            // Writes beyond the limit fail with EFBIG instead of ending the process.
            signal(SIGXFSZ, SIG_IGN);
            rlimit limited{fileSizeLimit, saved.rlim_max};
            ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
        }

        RegistrationResult result = Register();
        setrlimit(RLIMIT_FSIZE, &saved);

        SCOPED_TRACE(unreadable ? "unreadable" : "too large");
        EXPECT_EQ(result.outcome, RegistrationOutcome::CopyFailed);
        EXPECT_EQ(result.failures, std::vector<std::string>{"secret.cs"});
        EXPECT_EQ(result.generator.outcome, GeneratorOutcome::NotRun);
        EXPECT_EQ(Read("reg/Taro/Prob1/work.psp"), "psp");
        EXPECT_FALSE(Exists("reg/Taro/Prob1/secret.cs"));
        EXPECT_EQ(Read("reg/runs.txt"), "run\n");
        // The unfinished copy is gone; only the registered one remains.
        std::vector<std::string> userFolder;
        for (const auto& entry : fs::directory_iterator(Path("reg/Taro"))) {
            userFolder.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(userFolder, std::vector<std::string>{"Prob1"});
        EXPECT_EQ(RegistrationStopMessage(result, request_),
                  "次のファイルをコピーできないため、登録を中止しました。前回の登録はそのまま残っています:"
                  "\nsecret.cs");
    }
}

TEST_F(RegistrationTest, CopiesLeftByAnInterruptedRegistrationAreCleared)
{
    Write("reg/Taro/.Prob1.registering-abc123/work.psp", "half");
    Write("reg/Taro/.Prob1.replaced-abc123/work.psp", "old");
    Write("reg/Taro/.Prob2.registering-abc123/work.psp", "another project's");
    Write("reg/Taro/Prob1/stale.txt", "stale");
    ASSERT_EQ(Register().outcome, RegistrationOutcome::Copied);
    EXPECT_FALSE(Exists("reg/Taro/.Prob1.registering-abc123"));
    EXPECT_FALSE(Exists("reg/Taro/.Prob1.replaced-abc123"));
    EXPECT_TRUE(Exists("reg/Taro/.Prob2.registering-abc123/work.psp"));
    EXPECT_FALSE(Exists("reg/Taro/Prob1/stale.txt"));
    EXPECT_EQ(Read("reg/Taro/Prob1/work.psp"), "psp");
}

TEST_F(RegistrationTest, ResultLineIsCheckedAgainstTheNamesBeforeCopying)
{
    struct Case {
        std::optional<std::string> line; // nullopt: no result.txt
        ResultLineState state;
        bool answer; // to the warning
        RegistrationOutcome outcome;
    };
    const Case cases[] = {
        {"Taro Prob1 100\r\n", ResultLineState::Matches, false, RegistrationOutcome::Copied},
        {std::nullopt, ResultLineState::Missing, false, RegistrationOutcome::Copied},
        {"Taro Prob1\r\n", ResultLineState::Malformed, false, RegistrationOutcome::Copied},
        {"Jiro Prob1 5\r\n", ResultLineState::OtherNames, false, RegistrationOutcome::Cancelled},
        {"taro Prob1 5\r\n", ResultLineState::OtherNames, true, RegistrationOutcome::Copied},
        {"Taro Prob9 5\r\n", ResultLineState::OtherNames, true, RegistrationOutcome::Copied},
    };
    for (const auto& c : cases) {
        fs::remove(Path("prog/Prob1/result.txt"));
        if (c.line) {
            Write("prog/Prob1/result.txt", *c.line);
        }
        Write("reg/Taro/Prob1/previous.txt", "previous");
        int warnings = 0;
        RegistrationHooks hooks;
        hooks.confirmResultLine = [&](const ResultLineCheck&) {
            ++warnings;
            return c.answer;
        };
        RegistrationResult result = RegisterProjectFiles(request_, hooks);
        std::string label = c.line.value_or("(none)");
        EXPECT_EQ(result.resultLine.state, c.state) << label;
        EXPECT_EQ(result.outcome, c.outcome) << label;
        EXPECT_EQ(warnings, c.state == ResultLineState::OtherNames ? 1 : 0) << label;
        EXPECT_EQ(Exists("reg/Taro/Prob1/previous.txt"), c.outcome == RegistrationOutcome::Cancelled)
            << label;
    }
}

TEST_F(RegistrationTest, ResultTxtThatIsAFifoCountsAsMissingWithoutWaiting)
{
    fs::remove(Path("prog/Prob1/result.txt"));
    ASSERT_EQ(mkfifo(Path("prog/Prob1/result.txt").c_str(), 0644), 0);
    ResultLineCheck check = CheckResultLine(Path("prog/Prob1"), "Taro", "Prob1");
    EXPECT_EQ(check.state, ResultLineState::Missing);
}

TEST_F(RegistrationTest, WarningNamesWhatResultTxtSaysAndWhatIsRegistered)
{
    request_.userName = Utf8ToCp932("山田");
    ResultLineCheck check;
    check.state = ResultLineState::OtherNames;
    check.line = {"yamada", "Prob2", 5};
    EXPECT_EQ(ResultLineWarning(check, request_),
              "result.txt の氏名「yamada」が、登録する氏名「山田」と違います\n"
              "result.txt のプロジェクト名「Prob2」が、プロジェクト「Prob1」と違います\n"
              "このままでは、進捗表に思ったとおりには載りません");
    check.line = {Utf8ToCp932("山田"), "Prob2", 5};
    EXPECT_EQ(ResultLineWarning(check, request_),
              "result.txt のプロジェクト名「Prob2」が、プロジェクト「Prob1」と違います\n"
              "このままでは、進捗表に思ったとおりには載りません");
}

TEST_F(RegistrationTest, ResultLineIsReadAsThreeBlankSeparatedFieldsOfTheFirstLine)
{
    struct Case {
        std::string text;
        std::optional<std::int32_t> percent;
    };
    const Case cases[] = {
        {"Taro Prob1 100", 100},
        {"  Taro\tProb1   -5 and more", -5},
        {"Taro Prob1 +7\r\nnext", 7},
        {"Taro Prob1 42%", 42},
        {"Taro Prob1 x", std::nullopt},
        {"Taro Prob1", std::nullopt},
        {"Taro\nProb1 5", std::nullopt},
        {"Taro Prob1 99999999999", std::nullopt},
        {"Taro Prob1 +-3", std::nullopt},
        {std::string(250, ' ') + "a b 1", 1},
        {std::string(251, ' ') + "a b 1", std::nullopt}, // beyond the 255 bytes read
    };
    for (const auto& c : cases) {
        auto line = ParseResultLine(c.text);
        ASSERT_EQ(line.has_value(), c.percent.has_value()) << c.text;
        if (line) {
            EXPECT_EQ(line->percent, *c.percent) << c.text;
        }
    }
    auto line = ParseResultLine("  Taro\tProb1 1");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->userName, "Taro");
    EXPECT_EQ(line->projectName, "Prob1");
}

TEST_F(RegistrationTest, GeneratorIsWaitedForAndItsEndReported)
{
    struct Case {
        const char* script; // nullptr: no generator in R
        unsigned mode;
        GeneratorOutcome outcome;
        int exitCode;
    };
    const Case cases[] = {
        {nullptr, 0, GeneratorOutcome::Missing, 0},
        {"#!/bin/sh\nsleep 0.3\nexit 0\n", 0755, GeneratorOutcome::Finished, 0},
        {"#!/bin/sh\nexit 2\n", 0755, GeneratorOutcome::Failed, 2},
        {"#!/bin/sh\nkill -9 $$\n", 0755, GeneratorOutcome::Failed, -1},
        {"#!/bin/sh\nexit 0\n", 0644, GeneratorOutcome::CouldNotStart, 0},
        {"#!/bin/sh\nexec sleep 3\n", 0755, GeneratorOutcome::TimedOut, 0},
    };
    request_.generatorLimit = std::chrono::milliseconds(1500);
    const std::string generator = Path(std::string("reg/") + GeneratorName);
    for (const auto& c : cases) {
        fs::remove(generator);
        if (c.script) {
            Write(std::string("reg/") + GeneratorName, c.script);
            chmod(generator.c_str(), c.mode);
        }
        int ticks = 0;
        RegistrationHooks hooks;
        hooks.whileWaiting = [&ticks] { ++ticks; };
        auto started = std::chrono::steady_clock::now();
        RegistrationResult result = RegisterProjectFiles(request_, hooks);
        auto took = std::chrono::steady_clock::now() - started;
        std::string label = c.script ? c.script : "(none)";
        EXPECT_EQ(result.outcome, RegistrationOutcome::Copied) << label;
        EXPECT_EQ(result.generator.outcome, c.outcome) << label;
        EXPECT_EQ(result.generator.exitCode, c.exitCode) << label;
        if (c.outcome == GeneratorOutcome::Finished || c.outcome == GeneratorOutcome::TimedOut) {
            // The window is kept alive while the generator runs, and the limit holds.
            EXPECT_GT(ticks, 3) << label;
            EXPECT_LT(took, std::chrono::milliseconds(2900)) << label;
        }
    }
}

TEST_F(RegistrationTest, FinalMessageTellsWhyThePageWillNotShowTheProject)
{
    RegistrationResult result;
    result.outcome = RegistrationOutcome::Copied;
    result.registrationFolder = "/srv/登録";
    result.target = "/srv/登録/山田/Prob1";
    result.resultLine.state = ResultLineState::Matches;
    struct Ended {
        GeneratorOutcome outcome;
        int exitCode;
    };
    struct Case {
        ResultLineState line;
        Ended generator;
        std::string notes; // after "にコピーしました"
    };
    const Case cases[] = {
        {ResultLineState::Matches, {GeneratorOutcome::Finished, 0}, ""},
        {ResultLineState::OtherNames, {GeneratorOutcome::Finished, 0}, ""},
        {ResultLineState::Missing,
         {GeneratorOutcome::Finished, 0},
         "\n\nプロジェクトに result.txt がないため、進捗表にこのプロジェクトは載りません"},
        {ResultLineState::Malformed,
         {GeneratorOutcome::Finished, 0},
         "\n\nresult.txt の1行目が「氏名 プロジェクト名 "
         "数値」の形でないため、進捗表にこのプロジェクトは載りません"},
        {ResultLineState::Matches,
         {GeneratorOutcome::Missing, 0},
         std::string("\n\n登録先に進捗表を作るプログラム /srv/登録/") + GeneratorName +
             " がないため、進捗表は更新されていません"},
        {ResultLineState::Matches,
         {GeneratorOutcome::CouldNotStart, 0},
         std::string("\n\n進捗表を作るプログラム /srv/登録/") + GeneratorName +
             " を起動できないため、進捗表は更新されていません"},
        {ResultLineState::Matches,
         {GeneratorOutcome::Failed, 1},
         "\n\n進捗表を作るプログラムが終了コード 1 で終わったため、進捗表は更新されていません\n"
         "(登録先フォルダの中を読めません)"},
        {ResultLineState::Matches,
         {GeneratorOutcome::Failed, 2},
         "\n\n進捗表を作るプログラムが終了コード 2 で終わったため、進捗表は更新されていません\n"
         "(/srv/登録/result.htm に書き込めません)"},
        {ResultLineState::Matches,
         {GeneratorOutcome::Failed, 7},
         "\n\n進捗表を作るプログラムが終了コード 7 で終わったため、進捗表は更新されていません"},
        {ResultLineState::Matches,
         {GeneratorOutcome::Failed, -1},
         "\n\n進捗表を作るプログラムが異常終了したため、進捗表は更新されていません"},
        {ResultLineState::Matches,
         {GeneratorOutcome::TimedOut, 0},
         "\n\n進捗表を作るプログラムが時間内に終わりませんでした。進捗表はまだ更新されていないかもしれませ"
         "ん"},
        {ResultLineState::Missing,
         {GeneratorOutcome::Failed, 9},
         "\n\nプロジェクトに result.txt がないため、進捗表にこのプロジェクトは載りません"
         "\n\n進捗表を作るプログラムが終了コード 9 で終わったため、進捗表は更新されていません"},
    };
    for (const auto& c : cases) {
        result.resultLine.state = c.line;
        result.generator.outcome = c.generator.outcome;
        result.generator.exitCode = c.generator.exitCode;
        EXPECT_EQ(CopiedMessage(result), "/srv/登録/山田/Prob1\nにコピーしました" + c.notes);
        EXPECT_EQ(GeneratorFailed(result), c.generator.outcome != GeneratorOutcome::Finished);
    }
}

TEST_F(RegistrationTest, UndecodableNamesAreRefusedNamingTheField)
{
    struct Case {
        std::string folder;
        std::string user;
        std::string project;
        std::string label;
    };
    const Case cases[] = {
        {Path("reg\x81"), "Taro", "Prob1", "データ登録先"},
        {Path("reg"), "Ta\x81\x20", "Prob1", "氏名"},
        {Path("reg"), "Taro", "Prob\xFF", "プロジェクト名"},
    };
    for (const auto& c : cases) {
        request_ = {c.folder, c.user, c.project, Path("prog")};
        RegistrationResult result = Register();
        EXPECT_EQ(result.outcome, RegistrationOutcome::UndecodableName) << c.label;
        EXPECT_EQ(RegistrationStopMessage(result, request_), c.label + ": " + UndecodableNameMessage());
    }
    EXPECT_EQ(confirmations_, 0);
    EXPECT_EQ(ProgressReportPath(Path("reg\x81"), Path("prog")), "");
}
