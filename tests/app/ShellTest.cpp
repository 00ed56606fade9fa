#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>
#include <functional>

#include "mainwindow/CAboutDlg.h"
#include "mainwindow/CMemoDlg.h"
#include "tests/GuiFixture.h"
#include "ui/CHyperlinkLabel.h"
#include "ui/ControlIds.h"

using namespace quilvane;

TEST_F(WorkbenchTest, CaptionIsTheProjectFolderName)
{
    Start(MakeProject("Prob7", ThreePhases()));
    EXPECT_EQ(Frame().windowTitle(), "Prob7");
    EXPECT_EQ(Doc().Data().projectName, "Prob7");
}

TEST_F(WorkbenchTest, QtsOwnDialogsSpeakJapaneseWhileTheWorkbenchRuns)
{
    auto buttonTexts = [] {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Quilvane"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        return QStringList{box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
                           box.button(QMessageBox::Cancel)->text()};
    };
    const QStringList english = buttonTexts();
    Start(MakeProject("Prob1", ThreePhases()));
    const QStringList japanese = buttonTexts();
    EXPECT_TRUE(japanese[0].startsWith(QStringLiteral("はい"))) << japanese[0].toStdString();
    EXPECT_TRUE(japanese[1].startsWith(QStringLiteral("いいえ"))) << japanese[1].toStdString();
    EXPECT_TRUE(japanese[2].startsWith(QStringLiteral("キャンセル"))) << japanese[2].toStdString();

    // The folder chooser (Qt's own where the platform offers none) is translated too.
    QFileDialog chooser(nullptr, QString(), QString::fromStdString(dir_.Root()));
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setFileMode(QFileDialog::Directory);
    auto* buttons = chooser.findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    EXPECT_TRUE(buttons->button(QDialogButtonBox::Cancel)->text().startsWith(QStringLiteral("キャンセル")));

    // The catalogue belongs to the application object and leaves with it.
    app_.reset();
    EXPECT_EQ(buttonTexts(), english);
}

TEST_F(WorkbenchTest, StartWithoutFileReopensTheLastProject)
{
    MakeProject("Prob3", ThreePhases());
    ASSERT_TRUE(WriteLastProject("Prob3").Ok());
    Start();
    EXPECT_EQ(Doc().Data().projectName, "Prob3");
    EXPECT_TRUE(prompt_.shown.empty());
    // Only the first File > New of a run reopens it; later ones go to project creation (which
    // stops here for want of a template, leaving the open project as it was).
    ASSERT_TRUE(Frame().OnCommand(CommandId::FileNew));
    EXPECT_EQ(prompt_.shown.back(), "テンプレートドキュメント init/work.psp がありません");
    EXPECT_EQ(Doc().PathName(), dir_.Path("Prob3/work.psp"));
}

TEST_F(WorkbenchTest, StartWithNothingToOpenOrCreateEnds)
{
    ASSERT_TRUE(SaveSettings(Settings{"Name", "", {"P1", "P2"}}).Ok());
    app_ = std::make_unique<CQuilvaneApp>(clock_);
    EXPECT_FALSE(app_->InitInstance({}));
    EXPECT_EQ(prompt_.shown.back(), "テンプレートドキュメント init/work.psp がありません");
}

TEST_F(WorkbenchTest, RecentFilesKeepTenNewestFirst)
{
    Start(MakeProject("P0", ThreePhases()));
    for (int i = 1; i <= 11; ++i) {
        Frame().OpenProject(QString::fromStdString(MakeProject("P" + std::to_string(i), ThreePhases())));
    }
    QStringList recent = Frame().RecentFiles();
    ASSERT_EQ(recent.size(), 10);
    EXPECT_TRUE(recent.front().endsWith("P11/work.psp"));
    EXPECT_TRUE(recent.back().endsWith("P2/work.psp"));
    // The list reaches the settings even when the run ends before its event loop ever ran, as
    // printing from the desktop does.
    app_.reset();
    EXPECT_EQ(QSettings().value(QStringLiteral("Recent File List")).toStringList(), recent);
}

TEST_F(WorkbenchTest, SaveWritesTheFileAndClearsTheFlag)
{
    std::string path = MakeProject("Prob1", ThreePhases());
    Start(path);
    Doc().Data().memo = "x";
    Doc().SetModifiedFlag(true);
    ASSERT_TRUE(Frame().OnCommand(CommandId::FileSave));
    EXPECT_FALSE(Doc().IsModified());
    ProjectRecord saved;
    ASSERT_TRUE(LoadProjectFile(path, saved).Ok());
    EXPECT_EQ(saved.memo, "x");
}

TEST_F(WorkbenchTest, MemoStoresCrLfOnOkAndNothingOnCancel)
{
    Start(MakeProject("Prob1", ThreePhases()));
    WhenOpen<CMemoDlg>([](CMemoDlg& dlg) {
        dlg.Edit()->setPlainText(QStringLiteral("一行目\n二行目"));
        dlg.accept();
    });
    ASSERT_TRUE(Frame().OnCommand(CommandId::Memo));
    EXPECT_EQ(Doc().Data().memo, "\x88\xEA\x8D\x73\x96\xDA\r\n\x93\xF1\x8D\x73\x96\xDA");
    EXPECT_TRUE(Doc().IsModified());

    Doc().SetModifiedFlag(false);
    WhenOpen<CMemoDlg>([](CMemoDlg& dlg) {
        dlg.Edit()->setPlainText(QStringLiteral("changed"));
        dlg.reject();
    });
    Frame().OnCommand(CommandId::Memo);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().Data().memo.substr(0, 2), "\x88\xEA");
}

TEST_F(WorkbenchTest, StatusBarShowsTheRunningPhase)
{
    Start(MakeProject("Prob1", ThreePhases()));
    View().SelectMode(1);
    clock_.Advance(65);
    Frame().OnTimer();
    EXPECT_TRUE(Frame().statusBar()->currentMessage().endsWith("経過 00:01:05"));
    View().SelectMode(0);
    EXPECT_TRUE(Frame().statusBar()->currentMessage().isEmpty());
}

TEST_F(WorkbenchTest, LeavingForAnotherProjectLogsTheRunningPhaseBeforeSaving)
{
    const std::string other = MakeProject("Prob2", ThreePhases());
    struct Case {
        const char* name;
        std::function<void(CMainFrame&)> leave;
    };
    const Case cases[] = {
        {"open", [&](CMainFrame& frame) { frame.OpenProject(QString::fromStdString(other)); }},
        // With no template the new project is refused after the question to save.
        {"new", [](CMainFrame& frame) { ASSERT_TRUE(frame.OnCommand(CommandId::FileNew)); }},
    };
    for (const Case& c : cases) {
        const std::string path = MakeProject("Prob1", ThreePhases());
        Start(path);
        View().SelectMode(1);
        clock_.Advance(600);
        prompt_.answers = {Prompt::Answer::Yes};
        c.leave(Frame());
        ProjectRecord saved;
        ASSERT_TRUE(LoadProjectFile(path, saved).Ok()) << c.name;
        ASSERT_EQ(saved.timeLog.entries.size(), 1u) << c.name;
        EXPECT_EQ(saved.timeLog.entries[0].Duration(), 600) << c.name;
        EXPECT_TRUE(prompt_.answers.empty()) << c.name;
    }
    // Cancelling the question stays in the project, the phase running on from then.
    View().SelectMode(2);
    clock_.Advance(60);
    prompt_.answers = {Prompt::Answer::Cancel};
    Frame().OpenProject(QString::fromStdString(other));
    EXPECT_EQ(Doc().Data().projectName, "Prob1");
    EXPECT_EQ(View().ModeList()->currentIndex(), 2);
    EXPECT_TRUE(Doc().ClockRunning());
    EXPECT_EQ(Doc().Data().timeLog.entries.back().Duration(), 60);
}

TEST_F(WorkbenchTest, IdeLaunchOpensTheSolutionOnlyWhenItExists)
{
    Start(MakeProject("Prob1", ThreePhases()));
    Doc().SetLauncher(launcher_);
    const std::vector<std::string>& opened = launcher_.opened;
    bool& canOpen = launcher_.canOpen;
    const QString solution = QString::fromStdString(dir_.Path("Prob1/PSP.sln"));
    View().Button(ControlId::LaunchIdeButton)->click();
    EXPECT_TRUE(opened.empty());
    EXPECT_EQ(prompt_.shown, std::vector<QString>{solution + "\nが見つかりません"});
    ASSERT_TRUE(WriteFileAtomically(dir_.Path("Prob1/PSP.sln"), "").Ok());
    View().Button(ControlId::LaunchIdeButton)->click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], dir_.Path("Prob1/PSP.sln"));
    EXPECT_EQ(prompt_.shown.size(), 1u);

    // No program takes the solution: the student is told which file could not be opened.
    canOpen = false;
    View().Button(ControlId::LaunchIdeButton)->click();
    EXPECT_EQ(prompt_.shown.back(), solution + "\nを開けません");
}

TEST_F(WorkbenchTest, AboutBoxShowsTheVersionAndLinksTheGuide)
{
    CAboutDlg about;
    EXPECT_EQ(about.VersionLine()->text(), "Quilvane.NET Version 1.03");
    EXPECT_EQ(about.Link()->Target(),
              QUrl::fromLocalFile(QString::fromStdString(dir_.Path("prob/htm/PSP.htm"))).toString());
    EXPECT_EQ(about.Link()->toolTip(), about.Link()->Target());
}

TEST(HyperlinkLabel, EmptyTargetOpensItsOwnTextAndHoverChangesColour)
{
    CHyperlinkLabel label(QStringLiteral("https://example.invalid/guide"));
    EXPECT_EQ(label.Target(), "https://example.invalid/guide");
    EXPECT_TRUE(label.font().underline());
    QString opened;
    label.SetOpener([&](const QString& t) {
        opened = t;
        return true;
    });
    EXPECT_TRUE(label.OpenLink());
    EXPECT_EQ(opened, label.Target());

    QColor normal = label.CurrentColour();
    EXPECT_EQ(normal, QColor(0, 0, 0xE0));
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&label, &enter);
    EXPECT_TRUE(label.IsHovering());
    EXPECT_EQ(label.palette().color(QPalette::WindowText), label.CurrentColour());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&label, &leave);
    EXPECT_FALSE(label.IsHovering());
    EXPECT_EQ(label.palette().color(QPalette::WindowText), normal);
}

TEST_F(WorkbenchTest, DroppedProjectFileIsOpened)
{
    Start(MakeProject("Prob1", ThreePhases()));
    std::string other = MakeProject("Prob2", ThreePhases());
    EXPECT_FALSE(Frame().OpenDroppedFiles({QUrl::fromLocalFile(QStringLiteral("/tmp/notes.txt"))}));
    EXPECT_TRUE(Frame().OpenDroppedFiles({QUrl::fromLocalFile(QStringLiteral("/tmp/notes.txt")),
                                          QUrl::fromLocalFile(QString::fromStdString(other))}));
    EXPECT_EQ(Doc().Data().projectName, "Prob2");
    EXPECT_EQ(Frame().windowTitle(), "Prob2");
    // A project in a Japanese folder is opened from its UTF-8 path under its stored name.
    std::string japanese = MakeProject("課題1", ThreePhases());
    EXPECT_TRUE(Frame().OpenDroppedFiles({QUrl::fromLocalFile(QString::fromStdString(japanese))}));
    EXPECT_EQ(Doc().PathName(), japanese);
    EXPECT_EQ(Doc().Data().projectName, "\x89\xDB\x91\xE8\x31");
    EXPECT_EQ(Frame().windowTitle(), "課題1");
}

TEST_F(WorkbenchTest, CommandsShowTheirPromptInTheStatusBarAndTheirNameAsToolTip)
{
    Start(MakeProject("Prob1", ThreePhases()));
    struct Case {
        int id;
        const char* prompt;
        const char* tip;
    };
    const Case cases[] = {
        {CommandId::FileNew, "新規にﾌｧｲﾙを作成", "新規ﾌｧｲﾙ"},
        {CommandId::FileOpen, "既存のﾌｧｲﾙを開く", "開く"},
        {CommandId::FileSave, "作業中のﾌｧｲﾙを上書きして保存", "上書き保存"},
        {CommandId::FileSaveAs, "作業中のﾌｧｲﾙを新しい名前で保存", "名前を付けて保存"},
        {CommandId::Print, "作業中のﾌｧｲﾙを印刷", "印刷"},
        {CommandId::PrintPreview, "ﾌﾙ ﾍﾟｰｼﾞ表示", "印刷ﾌﾟﾚﾋﾞｭｰ"},
        {CommandId::PrintSetup, "ﾌﾟﾘﾝﾀおよびﾌﾟﾘﾝﾀ ｵﾌﾟｼｮﾝの変更", "印刷設定"},
        {CommandId::Exit, "ｱﾌﾟﾘｹｰｼｮﾝを終了し、ﾌｧｲﾙの保存を指示", "終了"},
        {CommandId::ToolBar, "ﾂｰﾙ ﾊﾞｰの表示/非表示", "ﾂｰﾙ ﾊﾞｰの表示切り替え"},
        {CommandId::StatusBar, "ｽﾃｰﾀｽ ﾊﾞｰの表示/非表示", "ｽﾃｰﾀｽ ﾊﾞｰの表示切り替え"},
        {CommandId::About, "ﾌﾟﾛｸﾞﾗﾑの情報、ﾊﾞｰｼﾞｮﾝそして著作権を表示", "ﾊﾞｰｼﾞｮﾝ情報"},
        {CommandId::Memo, "メモ", "メモ"},
        {CommandId::Progress, "進捗", "進捗"},
    };
    for (const auto& c : cases) {
        QAction* action = Frame().Action(c.id);
        ASSERT_NE(action, nullptr) << c.id;
        EXPECT_EQ(action->statusTip(), QString::fromUtf8(c.prompt)) << c.id;
        EXPECT_EQ(action->toolTip(), QString::fromUtf8(c.tip)) << c.id;
        // Hovering an item shows its prompt where the clock and "ﾚﾃﾞｨ" show.
        action->showStatusText(&Frame());
        EXPECT_EQ(Frame().statusBar()->currentMessage(), QString::fromUtf8(c.prompt)) << c.id;
    }
}

TEST_F(WorkbenchTest, ToolBarAndStatusBarCommandsToggleUnderTheirIds)
{
    Start(MakeProject("Prob1", ThreePhases()));
    auto* toolBar = Frame().findChild<QToolBar*>(QStringLiteral("toolbar"));
    ASSERT_NE(toolBar, nullptr);
    // The icons come once the event loop runs: every toolbar button then shows a picture.
    QCoreApplication::processEvents();
    for (QAction* button : toolBar->actions()) {
        if (button->isSeparator()) {
            continue;
        }
        const QImage picture = button->icon().pixmap(toolBar->iconSize()).toImage();
        bool drawn = false;
        for (int y = 0; y < picture.height() && !drawn; ++y) {
            for (int x = 0; x < picture.width() && !drawn; ++x) {
                drawn = picture.pixelColor(x, y).alpha() != 0;
            }
        }
        EXPECT_TRUE(drawn) << button->objectName().toStdString();
    }
    struct Case {
        int id;
        QWidget* bar;
    };
    for (const Case& c :
         {Case{CommandId::ToolBar, toolBar}, Case{CommandId::StatusBar, Frame().statusBar()}}) {
        QAction* item = Frame().Action(c.id);
        ASSERT_NE(item, nullptr) << c.id;
        EXPECT_TRUE(c.bar->isVisible() && item->isChecked()) << c.id;
        ASSERT_TRUE(Frame().OnCommand(c.id));
        EXPECT_FALSE(c.bar->isVisible()) << c.id;
        EXPECT_FALSE(item->isChecked()) << c.id;
        item->trigger(); // the menu item runs the same command
        EXPECT_TRUE(c.bar->isVisible()) << c.id;
        EXPECT_TRUE(item->isChecked()) << c.id;
    }
}

TEST_F(WorkbenchTest, FrameShrinksToTheFormOnEachOpenButNeverGrows)
{
    Start(MakeProject("Prob1", ThreePhases()));
    std::string other = MakeProject("Prob2", ThreePhases());
    const QSize fit = Frame().sizeHint();
    Frame().resize(fit + QSize(300, 200));
    QApplication::processEvents();
    Frame().OpenProject(QString::fromStdString(other));
    QApplication::processEvents();
    EXPECT_EQ(Frame().size(), fit);

    // Narrower than the form: the width stays, only the height shrinks.
    const int narrow = (Frame().minimumSizeHint().width() + fit.width()) / 2;
    ASSERT_LT(narrow, fit.width());
    Frame().resize(narrow, fit.height() + 150);
    QApplication::processEvents();
    Frame().OpenProject(QString::fromStdString(dir_.Path("Prob1/work.psp")));
    QApplication::processEvents();
    EXPECT_EQ(Frame().size(), QSize(narrow, fit.height()));
}

TEST_F(WorkbenchTest, SaveAsWritesTheChosenFileAndReportsAFailure)
{
    Start(MakeProject("Prob1", ThreePhases()));
    Doc().Data().memo = "copy";
    Doc().SetModifiedFlag(true);
    std::string copy = dir_.Path("Copy/work.psp");
    std::filesystem::create_directories(dir_.Path("Copy"));
    prompt_.choices = {QString::fromStdString(copy)};
    ASSERT_TRUE(Frame().OnCommand(CommandId::FileSaveAs));
    EXPECT_EQ(prompt_.shown.back(), "名前を付けて保存");
    ProjectRecord saved;
    ASSERT_TRUE(LoadProjectFile(copy, saved).Ok());
    EXPECT_EQ(saved.memo, "copy");
    EXPECT_EQ(Doc().PathName(), copy);
    EXPECT_FALSE(Doc().IsModified());

    Doc().SetModifiedFlag(true);
    prompt_.choices = {QString::fromStdString(dir_.Path("no such folder/work.psp"))};
    Frame().OnCommand(CommandId::FileSaveAs);
    EXPECT_TRUE(prompt_.shown.back().startsWith("保存できませんでした。"))
        << prompt_.shown.back().toStdString();
    EXPECT_EQ(Doc().PathName(), copy);
    EXPECT_TRUE(Doc().IsModified());
}
