#include <QAction>
#include <QMenu>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <functional>

#include "platform/Cp932.h"
#include "project/DataCheck.h"
#include "project/ProjectFile.h"
#include "project/TimerLimit.h"
#include "registration/Registration.h"
#include "registration/RegistrationCommands.h"
#include "tests/GuiFixture.h"
#include "ui/ControlIds.h"
#include "ui/QtText.h"

using namespace quilvane;
namespace fs = std::filesystem;

namespace {

// A workbench on project Prob1 of user Taro, registering into the folder "reg".
class RegistrationCommandsTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        Start(MakeProject("Prob1", ThreePhases()));
        Doc().Data().overview.userName = "Taro";
        Doc().Data().overview.registrationFolder = dir_.Path("reg");
        Doc().SetModifiedFlag(false);
        // A project with its result line and a folder whose generator works: the plain case.
        Write("Prob1/result.txt", "Taro Prob1 100\r\n");
        Generator("#!/bin/sh\nexit 0\n");
    }

    void Generator(const std::string& script)
    {
        Write(std::string("reg/") + GeneratorName, script);
        fs::permissions(dir_.Path(std::string("reg/") + GeneratorName), fs::perms::owner_all);
    }

    void ClickRegister()
    {
        QPushButton* button = View().Button(ControlId::RegisterButton);
        ASSERT_NE(button, nullptr);
        ASSERT_TRUE(button->isEnabled());
        button->click();
    }

    std::string Target() const { return dir_.Path("reg/Taro/Prob1"); }
    QString CopiedText() const { return ToQ(Target()) + QStringLiteral("\nにコピーしました"); }

    void Write(const std::string& relative, const std::string& bytes) { dir_.Write(relative, bytes); }

    QAction* Progress() { return Frame().Action(CommandId::Progress); }

    // What opening the View menu does to its items.
    void ShowViewMenu()
    {
        for (QObject* owner : Progress()->associatedObjects()) {
            if (auto* menu = qobject_cast<QMenu*>(owner)) {
                emit menu->aboutToShow();
            }
        }
    }
};

} // namespace

TEST_F(RegistrationCommandsTest, RegistrationCopiesAndNamesTheTarget)
{
    ClickRegister();
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0], CopiedText());
    EXPECT_TRUE(fs::exists(Target() + "/work.psp"));
}

TEST_F(RegistrationCommandsTest, UnsavedChangesAreSavedOnYesBeforeCopying)
{
    Doc().Data().memo = "latest";
    Doc().SetModifiedFlag(true);
    prompt_.answers = {Prompt::Answer::Yes};
    ClickRegister();
    ASSERT_EQ(prompt_.shown.size(), 2u);
    EXPECT_EQ(prompt_.shown[0], QStringLiteral("保存しますか?"));
    EXPECT_EQ(prompt_.shown[1], CopiedText());
    ProjectRecord copy;
    ASSERT_TRUE(LoadProjectFile(Target() + "/work.psp", copy).Ok());
    EXPECT_EQ(copy.memo, "latest");
}

TEST_F(RegistrationCommandsTest, NoAtTheSaveQuestionCopiesTheLastSavedState)
{
    Doc().Data().memo = "unsaved";
    Doc().SetModifiedFlag(true);
    prompt_.answers = {Prompt::Answer::No};
    ClickRegister();
    EXPECT_EQ(prompt_.shown.back(), CopiedText());
    ProjectRecord copy;
    ASSERT_TRUE(LoadProjectFile(Target() + "/work.psp", copy).Ok());
    EXPECT_EQ(copy.memo, "");
    EXPECT_TRUE(Doc().IsModified());
}

TEST_F(RegistrationCommandsTest, CancelAtTheSaveQuestionLeavesThePreviousCopy)
{
    Write("reg/Taro/Prob1/previous.txt", "previous");
    Doc().SetModifiedFlag(true);
    prompt_.answers = {Prompt::Answer::Cancel};
    ClickRegister();
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0], QStringLiteral("保存しますか?"));
    EXPECT_TRUE(fs::exists(Target() + "/previous.txt"));
    EXPECT_FALSE(fs::exists(Target() + "/work.psp"));
}

TEST_F(RegistrationCommandsTest, CancelAtTheSaveQuestionResumesTheRunningPhase)
{
    At(10, 0, 0);
    View().SelectMode(1);
    At(10, 1, 30);
    prompt_.answers = {Prompt::Answer::Cancel};
    ClickRegister();
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_FALSE(fs::exists(Target()));
    // The interval up to the question is logged, and the phase runs on from there.
    EXPECT_EQ(Doc().ModeIndex(), 1);
    ASSERT_EQ(Doc().Data().timeLog.entries.size(), 1u);
    EXPECT_EQ(Doc().Data().timeLog.entries[0].Duration(), 90);
    At(10, 3, 0);
    View().SelectMode(0);
    ASSERT_EQ(Doc().Data().timeLog.entries.size(), 2u);
    EXPECT_EQ(Doc().Data().timeLog.entries[1].Duration(), 90);
}

TEST_F(RegistrationCommandsTest, UserNameWithABlankIsRefusedAsTheOverviewRefusesIt)
{
    // A settings file can hold what the overview would not take; result.txt could never name it.
    for (const char* name : {"Taro Yamada", "Taro\tY", "Taro\x81\x40Y"}) {
        prompt_.shown.clear();
        Doc().Data().overview.userName = name;
        ClickRegister();
        ASSERT_EQ(prompt_.shown.size(), 1u);
        EXPECT_EQ(prompt_.shown[0], QStringLiteral("氏名に空白を含めることはできません"));
        EXPECT_FALSE(fs::exists(dir_.Path("reg/Taro Yamada")));
    }
}

TEST_F(RegistrationCommandsTest, EmptyUserNameAsksForTheName)
{
    fs::remove_all(dir_.Path("reg")); // nothing may make it
    Doc().Data().overview.userName.clear();
    ClickRegister();
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0], QStringLiteral("名前を設定して下さい"));
    EXPECT_FALSE(fs::exists(dir_.Path("reg")));
}

TEST_F(RegistrationCommandsTest, DottedUserNameIsRefusedWithItsName)
{
    Write("reg/keep.txt", "keep");
    Doc().Data().overview.userName = "..";
    ClickRegister();
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_TRUE(prompt_.shown[0].contains(QStringLiteral("「..」")));
    EXPECT_TRUE(fs::exists(dir_.Path("reg/keep.txt")));
}

TEST_F(RegistrationCommandsTest, MissingRegistrationFolderOffersTheSettings)
{
    Doc().Data().overview.registrationFolder.clear();
    int overviews = 0;
    View().SetCommand(ControlId::OverviewButton, [&overviews] { ++overviews; });
    prompt_.answers = {Prompt::Answer::No, Prompt::Answer::Yes};
    ClickRegister();
    EXPECT_EQ(overviews, 0);
    ClickRegister();
    EXPECT_EQ(overviews, 1);
    ASSERT_EQ(prompt_.shown.size(), 2u);
    EXPECT_EQ(prompt_.shown[1], QStringLiteral("データの登録先を設定して下さい\n設定画面を開きますか?"));
}

TEST_F(RegistrationCommandsTest, FinalMessageListsWhatWasNotCopied)
{
    fs::create_directory_symlink("..", dir_.Path("Prob1/up"));
    ClickRegister();
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_TRUE(prompt_.shown[0].startsWith(CopiedText()));
    EXPECT_TRUE(prompt_.shown[0].endsWith(QStringLiteral("\nup")));
}

TEST_F(RegistrationCommandsTest, TargetThatCannotBeMadeIsNamed)
{
    Write("reg/Taro", "a file");
    ClickRegister();
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0], ToQ(Target()) + QStringLiteral("\nを作成できません"));
}

TEST_F(RegistrationCommandsTest, ProgressIsDisabledUntilThePageExists)
{
    ShowViewMenu();
    EXPECT_FALSE(Progress()->isEnabled());
    Write("reg/result.htm", "<html></html>");
    ShowViewMenu();
    EXPECT_TRUE(Progress()->isEnabled());
    Doc().Data().overview.registrationFolder = dir_.Path("elsewhere");
    ShowViewMenu();
    EXPECT_FALSE(Progress()->isEnabled());
}

TEST_F(RegistrationCommandsTest, RegistrationRefreshesTheProgressCommand)
{
    Write("reg/result.htm", "<html></html>");
    Progress()->setEnabled(false);
    ClickRegister();
    EXPECT_TRUE(Progress()->isEnabled());
}

TEST_F(RegistrationCommandsTest, ProgressOpensThePageWithTheDesktopHandler)
{
    Doc().SetLauncher(launcher_);
    const std::vector<std::string>& opened = launcher_.opened;
    ASSERT_TRUE(Frame().OnCommand(CommandId::Progress));
    EXPECT_TRUE(opened.empty());
    Write("reg/result.htm", "<html></html>");
    ASSERT_TRUE(Frame().OnCommand(CommandId::Progress));
    EXPECT_EQ(opened, std::vector<std::string>{dir_.Path("reg/result.htm")});
    EXPECT_TRUE(prompt_.shown.empty());

    // No browser could be started: the student is told which page could not be opened.
    launcher_.canOpen = false;
    ASSERT_TRUE(Frame().OnCommand(CommandId::Progress));
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0], QString::fromStdString(dir_.Path("reg/result.htm")) + "\nを開けません");
}

TEST_F(RegistrationCommandsTest, RunningPhaseIsLoggedBeforeTheCopyIsMade)
{
    At(10, 0, 0);
    View().SelectMode(1);
    Doc().SetModifiedFlag(false);
    At(10, 1, 30);
    prompt_.answers = {Prompt::Answer::Yes};
    ClickRegister();
    ASSERT_EQ(prompt_.shown.size(), 2u);
    EXPECT_EQ(prompt_.shown[0], QStringLiteral("保存しますか?"));
    EXPECT_EQ(prompt_.shown[1], CopiedText());
    EXPECT_EQ(Doc().Data().mode, NeutralMode);
    ProjectRecord copy;
    ASSERT_TRUE(LoadProjectFile(Target() + "/work.psp", copy).Ok());
    ASSERT_EQ(copy.timeLog.entries.size(), 1u);
    EXPECT_EQ(copy.timeLog.entries[0].phase, "A");
    EXPECT_EQ(copy.timeLog.entries[0].Duration(), 90);
}

// What would keep the page or the teacher from seeing the project as meant is asked about before
// anything is copied: No leaves the registration folder as it was, Yes copies.
TEST_F(RegistrationCommandsTest, DoubtsAreQuestionedBeforeCopying)
{
    struct Case {
        const char* what;
        std::function<QString()> prepare; // gives the question
    };
    const Case cases[] = {
        {"result.txt names another user",
         [this] {
             Write("Prob1/result.txt", "Jiro Prob1 5\r\n");
             return QStringLiteral("result.txt の氏名「Jiro」が、登録する氏名「Taro」と違います\n"
                                   "このままでは、進捗表に思ったとおりには載りません\n登録しますか?");
         }},
        {"the data check finds something",
         [this] {
             // Two intervals of one phase over the same minute, saved as the copy will hold them.
             Doc().Data().timeLog.entries = {{"A", Moment(1000), Moment(1060)},
                                             {"A", Moment(1030), Moment(1090)}};
             EXPECT_TRUE(SaveProjectFile(dir_.Path("Prob1/work.psp"), Doc().Data()).Ok());
             const std::size_t findings = CheckProjectData(Doc().Data(), DefaultTimerLimitMinutes).size();
             EXPECT_GE(findings, 1u);
             return QStringLiteral("確認事項が %1 件あります。登録しますか?").arg(findings);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(Target());
        prompt_.shown.clear();
        const QString question = c.prepare();
        prompt_.answers = {Prompt::Answer::No, Prompt::Answer::Yes};
        ClickRegister();
        ASSERT_EQ(prompt_.shown.size(), 1u);
        EXPECT_EQ(prompt_.shown[0], question);
        EXPECT_FALSE(fs::exists(Target()));
        ClickRegister();
        ASSERT_EQ(prompt_.shown.size(), 3u);
        EXPECT_EQ(prompt_.shown[1], question);
        EXPECT_EQ(prompt_.shown[2], CopiedText());
        EXPECT_TRUE(fs::exists(Target() + "/work.psp"));
        Write("Prob1/result.txt", "Taro Prob1 100\r\n");
    }
}

TEST_F(RegistrationCommandsTest, FinalMessageTellsWhenThePageWasNotRebuilt)
{
    const std::string generator = dir_.Path("reg/") + GeneratorName;
    struct Case {
        const char* script; // nullptr: no generator
        bool withResult;
        QString notes;
    };
    const Case cases[] = {
        {"#!/bin/sh\nexit 2\n", true,
         QStringLiteral(
             "\n\n進捗表を作るプログラムが終了コード 2 で終わったため、進捗表は更新されていません\n(") +
             QString::fromStdString(dir_.Path("reg/result.htm")) + QStringLiteral(" に書き込めません)")},
        {nullptr, true,
         QStringLiteral("\n\n登録先に進捗表を作るプログラム ") + QString::fromStdString(generator) +
             QStringLiteral(" がないため、進捗表は更新されていません")},
        {"#!/bin/sh\nexit 0\n", false,
         QStringLiteral("\n\nプロジェクトに result.txt がないため、進捗表にこのプロジェクトは載りません")},
    };
    for (const auto& c : cases) {
        fs::remove(generator);
        if (c.script) {
            Generator(c.script);
        }
        fs::remove(dir_.Path("Prob1/result.txt"));
        if (c.withResult) {
            Write("Prob1/result.txt", "Taro Prob1 100\r\n");
        }
        prompt_.shown.clear();
        ClickRegister();
        ASSERT_EQ(prompt_.shown.size(), 1u);
        EXPECT_EQ(prompt_.shown[0], CopiedText() + c.notes);
    }
}

TEST_F(RegistrationCommandsTest, SlowGeneratorIsWaitedForBehindAProgressWindow)
{
    // Without a window manager the busy window would hide the final message.
    struct BusyWatchingPrompt : Prompt {
        explicit BusyWatchingPrompt(ScriptedPrompt& scripted) : inner(scripted) {}
        ScriptedPrompt& inner;
        bool busyOverMessage = false;
        void Inform(QWidget* owner, const QString& text) override
        {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                busyOverMessage = busyOverMessage || (qobject_cast<QProgressDialog*>(w) && w->isVisible());
            }
            inner.Inform(owner, text);
        }
        Answer Ask(QWidget* owner, const QString& text, bool cancel) override
        {
            return inner.Ask(owner, text, cancel);
        }
        std::optional<QString> ChooseFolder(QWidget* o, const QString& t, const QString& s) override
        {
            return inner.ChooseFolder(o, t, s);
        }
        std::optional<QString> ChooseFile(QWidget* o, const QString& t, const QString& s, const QString& f,
                                          bool save) override
        {
            return inner.ChooseFile(o, t, s, f, save);
        }
        std::optional<QString> AskText(QWidget* o, const QString& t, const QString& s) override
        {
            return inner.AskText(o, t, s);
        }
    } watching(prompt_);
    SetPrompt(&watching);
    Generator("#!/bin/sh\nsleep 1.5\necho done > waited.txt\n");
    bool progressShown = false;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&progressShown] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (qobject_cast<QProgressDialog*>(w) && w->isVisible()) {
                progressShown = true;
            }
        }
    });
    probe.start(50);
    ClickRegister();
    probe.stop();
    SetPrompt(&prompt_);
    EXPECT_TRUE(progressShown);
    EXPECT_FALSE(watching.busyOverMessage);
    EXPECT_TRUE(fs::exists(dir_.Path("reg/waited.txt")));
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0], CopiedText());
}

TEST_F(RegistrationCommandsTest, KanjiNamesAndFolderAreRegisteredAndShownAsTyped)
{
    const std::string user = Utf8ToCp932("山田");
    Doc().Data().overview.userName = user;
    Doc().Data().overview.registrationFolder = Utf8ToCp932(dir_.Path("共有")) + "\\" + Utf8ToCp932("登録");
    Doc().SetModifiedFlag(false);
    Write("Prob1/result.txt", user + " Prob1 100\r\n");
    Write(std::string("共有/登録/") + GeneratorName, "#!/bin/sh\nexit 0\n");
    fs::permissions(dir_.Path(std::string("共有/登録/") + GeneratorName), fs::perms::owner_all);
    ClickRegister();
    ASSERT_EQ(prompt_.shown.size(), 1u);
    EXPECT_EQ(prompt_.shown[0], QString::fromStdString(dir_.Path("共有/登録/山田/Prob1")) +
                                    QStringLiteral("\nにコピーしました"));
    EXPECT_TRUE(fs::exists(dir_.Path("共有/登録/山田/Prob1/work.psp")));
}

TEST_F(RegistrationCommandsTest, ClassReportShowsOnceAProjectIsRegisteredAndOpensItsPage)
{
    Doc().SetLauncher(launcher_);
    QAction* report = Frame().Action(CommandId::ClassReport);
    ASSERT_NE(report, nullptr);
    ShowViewMenu();
    EXPECT_FALSE(report->isVisible());
    ClickRegister();
    ShowViewMenu();
    EXPECT_TRUE(report->isVisible());
    launcher_.opened.clear();
    prompt_.shown.clear();
    ASSERT_TRUE(Frame().OnCommand(CommandId::ClassReport));
    EXPECT_TRUE(prompt_.shown.empty()) << (prompt_.shown.empty() ? "" : prompt_.shown[0].toStdString());
    ASSERT_EQ(launcher_.opened.size(), 1u);
    const std::string page = ReadWholeFile(launcher_.opened[0]).value_or("");
    EXPECT_NE(page.find("Taro"), std::string::npos);
    EXPECT_NE(page.find("Content-Security-Policy"), std::string::npos);
    fs::remove_all(fs::path(launcher_.opened[0]).parent_path());
}
