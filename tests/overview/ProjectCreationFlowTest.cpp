#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "overview/CNewProjectDlg.h"
#include "overview/COverviewDlg.h"
#include "platform/FileIo.h"
#include "platform/PathNames.h"
#include "statistics/CStatisticsDlg.h"
#include "tests/GuiFixture.h"
#include "ui/ControlIds.h"
#include "ui/QtText.h"

#include <csignal>
#include <sys/resource.h>

using namespace quilvane;

namespace {

class CreationTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        ASSERT_TRUE(SaveSettings(Settings{"Taro", "", {"A", "B", "C"}}).Ok());
        ProjectRecord templ;
        templ.estimate.totalMinutes = 100;
        ASSERT_TRUE(SaveProjectFile(dir_.Path("init/work.psp"), templ).Ok());
        Write("prob/htm/Prob1.htm", "<p><base>Prob0</base></p>\r\n");
        Write("prob/htm/Prob2.htm", "<p><base>Prob1</base></p>\r\n");
        Write("Prob0/Prob0.sln", "Project Prob0 by USERNAME, VERSION\r\n");
        Write("Prob0/Prob0.csproj", "<Name>Prob0</Name>\r\n");
        Write("Prob0/src/Program.cs", "class Prob0 {}\r\n");
        Write("Prob0/bin/old.exe", "x");
        Write("Prob0/result.txt", "Taro Prob0 100\r\n");
        Write("prob/Prob1/data.txt", "input");
        Write("prob/Prob1/SETUP.BAT", "echo");
        Write("prob/bat/Prob1.bat", "echo made > batch-ran.txt\n");
    }
    void Write(const std::string& relative, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(dir_.Path(relative)).parent_path());
        ASSERT_TRUE(WriteFileAtomically(dir_.Path(relative), text).Ok());
    }
    std::string Read(const std::string& relative) const { return dir_.Read(relative); }

    // Answers the new-project dialog with `exercise` (typed) and `base`, or cancels it.
    void WhenNewProjectOpens(const QString& exercise, const QString& base, QString* proposed = nullptr)
    {
        WhenOpen<CNewProjectDlg>([=](CNewProjectDlg& dlg) {
            if (proposed) {
                *proposed = dlg.ExerciseList()->currentText();
            }
            if (exercise.isEmpty()) {
                dlg.reject();
                return;
            }
            dlg.ExerciseList()->setEditText(exercise);
            dlg.BaseList()->setEditText(base);
            dlg.accept();
        });
    }
};

} // namespace

TEST_F(CreationTest, NewProjectFromABaseHoldsItsTreeTheTemplateAndTheExerciseFiles)
{
    QString proposed;
    WhenNewProjectOpens("Prob1", "Prob0", &proposed);
    clock_.Set(1796585780);
    Start();
    EXPECT_EQ(proposed, "Prob1");
    EXPECT_EQ(Doc().Data().projectName, "Prob1");
    EXPECT_EQ(Read("Prob1/Prob1.sln"), "Project Prob1 by Taro, 1.03\r\n");
    EXPECT_EQ(Read("Prob1/Prob1.csproj"), "<Name>Prob1</Name>\r\n");
    EXPECT_EQ(Read("Prob1/src/Program.cs"), "class Prob0 {}\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("Prob1/bin")));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("Prob1/result.txt")));
    EXPECT_EQ(Read("Prob1/data.txt"), "input");
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("Prob1/SETUP.BAT")));
    EXPECT_EQ(Read("batch-ran.txt"), "made\n");

    ProjectRecord saved;
    ASSERT_TRUE(LoadProjectFile(dir_.Path("Prob1/work.psp"), saved).Ok());
    EXPECT_EQ(saved.estimate.baseName, "Prob0");
    EXPECT_EQ(saved.overview.userName, "Taro");
    ASSERT_EQ(saved.phases.size(), 3u);
    EXPECT_EQ(saved.phases[0].plan + saved.phases[1].plan + saved.phases[2].plan, 100);
    std::string memo = saved.memo;
    EXPECT_EQ(memo.substr(0, 26), "Quilvane \x83\x6F\x81\x5B\x83\x57\x83\x87\x83\x93 1.03\r\n");
    EXPECT_NE(memo.find(" \x8D\xEC\x90\xAC\r\n"), std::string::npos);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(CreationTest, ExistingProjectYesOpensItUnchangedNoChangesNothing)
{
    ProjectRecord existing = ThreePhases();
    existing.memo = "mine";
    std::string path = MakeProject("Prob1", existing);
    std::string before = Read("Prob1/work.psp");
    prompt_.answers = {Prompt::Answer::Yes};
    WhenNewProjectOpens("Prob1", "Prob0");
    Start();
    EXPECT_EQ(Doc().Data().memo, "mine");
    EXPECT_EQ(Read("Prob1/work.psp"), before);
    EXPECT_EQ(prompt_.shown.back(), "既にプロジェクトが存在しています\n開きますか?");

    prompt_.answers = {Prompt::Answer::No};
    WhenNewProjectOpens("Prob1", "Prob0");
    EXPECT_TRUE(Frame().OnCommand(CommandId::FileNew));
    EXPECT_EQ(Doc().Data().memo, "mine");
    EXPECT_EQ(Doc().PathName(), path);
}

TEST_F(CreationTest, FirstRunCancelledCreatesNothing)
{
    ASSERT_TRUE(SaveSettings(Settings{"YOUR NAME", "", {"A"}}).Ok());
    WhenOpen<COverviewDlg>([](COverviewDlg& dlg) {
        EXPECT_TRUE(dlg.SettingsOnly());
        dlg.reject();
    });
    app_ = std::make_unique<CQuilvaneApp>(clock_);
    EXPECT_FALSE(app_->InitInstance({}));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("Prob1")));
}

TEST_F(CreationTest, FirstRunSavesTheNameThenCreates)
{
    ASSERT_TRUE(SaveSettings(Settings{"YOUR NAME", "", {"A"}}).Ok());
    WhenOpen<COverviewDlg>([this](COverviewDlg& dlg) {
        dlg.NameEdit()->setText("Hanako");
        WhenNewProjectOpens("Prob1", "");
        dlg.accept();
    });
    Start();
    Settings saved;
    ASSERT_TRUE(LoadSettings(saved).Ok());
    EXPECT_EQ(saved.userName, "Hanako");
    EXPECT_EQ(Doc().Data().overview.userName, "Hanako");
    EXPECT_TRUE(std::filesystem::exists(dir_.Path("Prob1/work.psp")));
}

TEST_F(CreationTest, MissingTemplateAndUnsafeNamesStopBeforeAnythingIsMade)
{
    MakeProject("Prob0", ThreePhases());
    Start(dir_.Path("Prob0/work.psp"));
    WhenNewProjectOpens("../outside", "Prob0");
    EXPECT_TRUE(Frame().OnCommand(CommandId::FileNew));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("../outside")));
    EXPECT_TRUE(prompt_.shown.back().contains("フォルダ名に使えません"));
    EXPECT_EQ(Doc().PathName(), dir_.Path("Prob0/work.psp"));

    std::filesystem::remove(dir_.Path("init/work.psp"));
    EXPECT_TRUE(Frame().OnCommand(CommandId::FileNew));
    EXPECT_EQ(prompt_.shown.back(), "テンプレートドキュメント init/work.psp がありません");
    EXPECT_EQ(Doc().Data().projectName, "Prob0");
}

TEST_F(CreationTest, CancelledDialogKeepsTheOpenProject)
{
    std::string path = MakeProject("Prob0", ThreePhases());
    Start(path);
    Doc().SetModifiedFlag(false);
    WhenNewProjectOpens("", "");
    EXPECT_TRUE(Frame().OnCommand(CommandId::FileNew));
    EXPECT_EQ(Doc().PathName(), path);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("Prob1")));
}

TEST_F(CreationTest, FailedFirstSaveKeepsTheNewProjectOpenAndUnsaved)
{
    // A file-size limit makes the first save of the new project fail while the small files
    // written before it still fit: a long name makes the project file larger than the template.
    ASSERT_TRUE(SaveSettings(Settings{std::string(4000, 'x'), "", {"A", "B", "C"}}).Ok());
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = 2048;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    WhenNewProjectOpens("Prob1", "");
    app_ = std::make_unique<CQuilvaneApp>(clock_);
    bool started = app_->InitInstance({});
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    ASSERT_TRUE(started);
    ASSERT_FALSE(prompt_.shown.empty());
    EXPECT_TRUE(prompt_.shown.back().startsWith("保存できませんでした。"))
        << prompt_.shown.back().toStdString();
    EXPECT_EQ(Doc().Data().projectName, "Prob1");
    EXPECT_EQ(Doc().PathName(), dir_.Path("Prob1/work.psp"));
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_TRUE(Frame().isVisible());

    // Closing remembers the project and offers the save again, which now succeeds.
    prompt_.answers = {Prompt::Answer::Yes};
    EXPECT_TRUE(Frame().close());
    std::string last;
    ASSERT_TRUE(ReadLastProject(last).Ok());
    EXPECT_EQ(last, "Prob1");
    ProjectRecord written;
    ASSERT_TRUE(LoadProjectFile(dir_.Path("Prob1/work.psp"), written).Ok());
    EXPECT_EQ(written.overview.userName, std::string(4000, 'x'));
    EXPECT_EQ(written.memo, Doc().Data().memo);
}

// 山田, 課題1 and 課題2 as stored (CP932) text.
const std::string Yamada = "\x8E\x52\x93\x63";
const std::string Kadai1 = "\x89\xDB\x91\xE8\x31";
const std::string Kadai2 = "\x89\xDB\x91\xE8\x32";

TEST_F(CreationTest, JapaneseNamesAreUtf8FoldersAndReopenThroughEveryRoute)
{
    // A program folder whose own path holds Japanese, with a base 課題1 and an exercise 課題2.
    const std::string root = dir_.Path("演習 フォルダ");
    std::filesystem::create_directories(root + "/init");
    SetProgramFolder(root);
    ASSERT_TRUE(SaveSettings(Settings{Yamada, "", {"A", "B"}}).Ok());
    ProjectRecord templ;
    templ.estimate.totalMinutes = 60;
    ASSERT_TRUE(SaveProjectFile(root + "/init/work.psp", templ).Ok());
    Write("演習 フォルダ/prob/htm/課題2.htm", "<base>" + Kadai1 + "</base>\r\n");
    Write("演習 フォルダ/課題1/課題1.sln", "Project " + Kadai1 + " by USERNAME\r\n");
    Write("演習 フォルダ/prob/課題2/問題.txt", "input");
    MakeProject("演習 フォルダ/Other", ThreePhases());

    QString proposed;
    WhenNewProjectOpens(QStringLiteral("課題2"), QStringLiteral("課題1"), &proposed);
    Start();
    EXPECT_EQ(proposed, QStringLiteral("課題2"));
    const std::string file = root + "/課題2/work.psp";
    EXPECT_EQ(Doc().PathName(), file);
    EXPECT_EQ(Doc().Data().projectName, Kadai2);
    EXPECT_EQ(Read("演習 フォルダ/課題2/課題2.sln"), "Project " + Kadai2 + " by " + Yamada + "\r\n");
    EXPECT_EQ(Read("演習 フォルダ/課題2/問題.txt"), "input");
    // Every name in the program folder is the UTF-8 form of a stored name, none raw CP932.
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        EXPECT_TRUE(DiskToStoredName(entry.path().filename().string()).has_value()) << entry.path();
    }
    ProjectRecord saved;
    ASSERT_TRUE(LoadProjectFile(file, saved).Ok());
    EXPECT_EQ(saved.estimate.baseName, Kadai1);
    EXPECT_EQ(saved.overview.userName, Yamada);

    // Closing remembers the stored name; the recent list holds the path on disk.
    ASSERT_TRUE(Doc().CanCloseFrame());
    EXPECT_EQ(Read("演習 フォルダ/init/lastProj.txt"), "100\r\n" + Kadai2 + "\r\n");
    EXPECT_EQ(Frame().RecentFiles().value(0), QString::fromStdString(file));

    // A new run reopens it through lastProj.txt without any dialog.
    app_.reset();
    Start();
    EXPECT_EQ(Doc().PathName(), file);
    EXPECT_EQ(Doc().Data().projectName, Kadai2);

    // Another project, then back through the recent list.
    Frame().OpenProject(QString::fromStdString(root + "/Other/work.psp"));
    ASSERT_EQ(Doc().Data().projectName, "Other");
    Frame().OpenProject(Frame().RecentFiles().value(1));
    EXPECT_EQ(Doc().PathName(), file);

    // And from the statistics dialog, whose rows hold the stored names.
    Frame().OpenProject(QString::fromStdString(root + "/Other/work.psp"));
    bool ran = false;
    WhenOpen<CStatisticsDlg>([&ran](CStatisticsDlg& dlg) {
        ran = true;
        for (std::size_t i = 0; i < dlg.Rows().size(); ++i) {
            if (dlg.Rows()[i][1] == Kadai2) {
                dlg.SelectRows({i});
            }
        }
        Child<QPushButton>(&dlg, ControlId::StatisticsOpen)->click();
    });
    prompt_.answers = {Prompt::Answer::Yes};
    View().Button(ControlId::StatisticsButton)->click();
    EXPECT_TRUE(ran);
    EXPECT_EQ(prompt_.shown.back(), QStringLiteral("課題2を開きますか?"));
    EXPECT_EQ(Doc().PathName(), file);
    EXPECT_EQ(Doc().Data().projectName, Kadai2);
}

TEST_F(CreationTest, NamesCp932CannotHoldAreRefusedNotMangled)
{
    Start(MakeProject("Prob0", ThreePhases()));
    // The dialog stays open after the refusal; the driver closes it.
    WhenNewProjectOpens(QStringLiteral("絵😀"), "Prob0");
    EXPECT_TRUE(Frame().OnCommand(CommandId::FileNew));
    EXPECT_EQ(prompt_.shown.back(), QString::fromStdString(UnstorableNameMessage("絵😀")));
    EXPECT_EQ(Doc().Data().projectName, "Prob0");
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("絵😀")));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("\x8A\x47?")));

    // A project file in a folder whose name CP932 cannot hold is not opened under another name.
    std::string odd = MakeProject("絵😀", ThreePhases());
    Frame().OpenProject(QString::fromStdString(odd));
    EXPECT_EQ(prompt_.shown.back(), QString::fromStdString(UnstorableNameMessage("絵😀")));
    EXPECT_EQ(Doc().Data().projectName, "Prob0");
    EXPECT_EQ(Doc().PathName(), dir_.Path("Prob0/work.psp"));
}
