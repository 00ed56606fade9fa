#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>

#include "overview/COverviewDlg.h"
#include "overview/OverviewCommands.h"
#include "overview/ProblemPageBrowser.h"
#include "platform/PathNames.h"
#include "tests/GuiFixture.h"
#include "ui/ControlIds.h"

using namespace quilvane;

TEST_F(WorkbenchTest, OverviewOkRebuildsPhasesByNameAndEndsTheRunningPhase)
{
    ProjectRecord p = ThreePhases();
    p.phases[0].ratio = 7;
    Start(MakeProject("Prob1", p));
    At(10, 0, 0);
    View().SelectMode(1);
    At(10, 2, 0);
    WhenOpen<COverviewDlg>([](COverviewDlg& dlg) {
        EXPECT_EQ(dlg.PhasesEdit()->toPlainText(), "A\nB\nC\n");
        dlg.PhasesEdit()->setPlainText("C\nA\n\nD");
        dlg.FolderEdit()->setText("/srv/psp");
        dlg.Button(ControlId::Ok)->click();
    });
    View().Button(ControlId::OverviewButton)->click();
    const auto& phases = Doc().Data().phases;
    ASSERT_EQ(phases.size(), 4u);
    EXPECT_EQ(phases[1].name, "A");
    EXPECT_EQ(phases[2].name, "");
    EXPECT_EQ(phases[3].name, "D");
    EXPECT_EQ(Doc().Data().mode, NeutralMode);
    ASSERT_EQ(Doc().Data().timeLog.entries.size(), 1u);
    EXPECT_EQ(Doc().Data().timeLog.entries[0].Duration(), 120);
    EXPECT_EQ(Doc().Data().overview.registrationFolder, "/srv/psp");
    EXPECT_EQ(View().ModeList()->count(), 5);
    // The planned total is spread over the new phases.
    int planSum = 0;
    for (const auto& ph : phases) {
        planSum += ph.plan;
    }
    EXPECT_EQ(planSum, Doc().Data().estimate.totalMinutes);
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_NE(Doc().Data().overview.windowRect, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
}

TEST_F(WorkbenchTest, OverviewCancelChangesNothing)
{
    Start(MakeProject("Prob1", ThreePhases()));
    ProjectRecord before = Doc().Data();
    WhenOpen<COverviewDlg>([](COverviewDlg& dlg) {
        dlg.PhasesEdit()->setPlainText("X");
        dlg.NameEdit()->setText("someone");
        dlg.reject();
    });
    View().Button(ControlId::OverviewButton)->click();
    EXPECT_EQ(Doc().Data(), before);
    EXPECT_FALSE(Doc().IsModified());
}

TEST_F(WorkbenchTest, SaveAsDefaultsRefusesThePlaceholderName)
{
    std::vector<PhaseRecord> phases{{"A", 0, 0, 0}};
    std::string name = "Prob1";
    COverviewDlg dlg(false, name, phases);
    dlg.OnInitDialog();
    dlg.NameEdit()->setText("YOUR NAME");
    EXPECT_FALSE(dlg.SaveAsDefaults());
    EXPECT_EQ(prompt_.shown.back(), "名前を設定して下さい");
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("init/psp.txt")));
    // The placeholder compares case-sensitively; the lower-case words are refused only for
    // their blank, which no student name may hold.
    dlg.NameEdit()->setText("your name");
    EXPECT_FALSE(dlg.SaveAsDefaults());
    EXPECT_EQ(prompt_.shown.back(), "氏名に空白を含めることはできません");
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("init/psp.txt")));
    dlg.NameEdit()->setText("yourname");
    dlg.PhasesEdit()->setPlainText("P\nQ");
    EXPECT_TRUE(dlg.SaveAsDefaults());
    EXPECT_EQ(prompt_.shown.back(), "保存しました");
    Settings saved;
    ASSERT_TRUE(LoadSettings(saved).Ok());
    EXPECT_EQ(saved, (Settings{"yourname", "", {"P", "Q"}}));
}

TEST_F(WorkbenchTest, ResetReloadsFromTheSettingsFile)
{
    std::vector<PhaseRecord> phases{{"A", 0, 0, 0}};
    std::string name = "Prob1";
    COverviewDlg dlg(false, name, phases);
    dlg.OnInitDialog();
    dlg.Reset();
    EXPECT_EQ(prompt_.shown.back(), "データが見つかりません");
    EXPECT_EQ(dlg.PhasesEdit()->toPlainText(), "A\n");
    ASSERT_TRUE(SaveSettings(Settings{"N", "R", {"X", "Y"}}).Ok());
    dlg.Reset();
    EXPECT_EQ(dlg.NameEdit()->text(), "N");
    EXPECT_EQ(dlg.FolderEdit()->text(), "R");
    EXPECT_EQ(dlg.PhasesEdit()->toPlainText(), "X\nY\n");
    EXPECT_EQ(phases.size(), 1u);
}

TEST_F(WorkbenchTest, DroppingOneItemSetsTheFolderSeveralChangeNothing)
{
    std::vector<PhaseRecord> phases;
    std::string name = "Prob1";
    COverviewDlg dlg(false, name, phases);
    dlg.OnInitDialog();
    dlg.DropPaths({"/a", "/b"});
    EXPECT_EQ(dlg.FolderEdit()->text(), "");
    dlg.DropPaths({"/srv/file.txt"});
    EXPECT_EQ(dlg.FolderEdit()->text(), "/srv/file.txt");
    prompt_.choices = {std::nullopt, QStringLiteral("/chosen")};
    dlg.Browse();
    EXPECT_EQ(dlg.FolderEdit()->text(), "/srv/file.txt");
    dlg.Browse();
    EXPECT_EQ(dlg.FolderEdit()->text(), "/chosen");
    // The chooser's title is empty, not missing (which would show the chooser's default).
    ASSERT_EQ(prompt_.shown.size(), 2u);
    for (const auto& title : prompt_.shown) {
        EXPECT_TRUE(title.isEmpty() && !title.isNull());
    }

    // Japanese folders arrive as stored CP932 text; one CP932 cannot hold is refused.
    const std::string shared = "/home/s/\x8B\xA4\x97\x4C/\x93\x6F\x98\x5E"; // 共有/登録
    dlg.DropPaths({QStringLiteral("/home/s/共有/登録")});
    prompt_.choices = {QStringLiteral("/home/s/絵😀")};
    dlg.Browse();
    dlg.DropPaths({QStringLiteral("/home/s/絵😀")});
    ASSERT_EQ(prompt_.shown.size(), 5u);
    EXPECT_EQ(prompt_.shown[3], QString::fromStdString(UnstorableNameMessage("/home/s/絵😀")));
    EXPECT_EQ(prompt_.shown[4], prompt_.shown[3]);
    EXPECT_EQ(dlg.FolderEdit()->text(), QStringLiteral("/home/s/共有/登録"));
    dlg.accept();
    EXPECT_EQ(dlg.fields.registrationFolder, shared);
}

TEST_F(WorkbenchTest, OneItemDroppedOnAnyEditFieldLandsInTheFolderField)
{
    std::vector<PhaseRecord> phases{{"A", 0, 0, 0}};
    std::string name = "Prob1";
    COverviewDlg dlg(false, name, phases);
    dlg.OnInitDialog();
    dlg.NameEdit()->setText("Taro");
    const QList<QWidget*> fields{dlg.NameEdit(), dlg.FolderEdit(), dlg.PhasesEdit()->viewport(),
                                 dlg.findChild<QLineEdit*>(QString::number(ControlId::OverviewExercise))};
    int n = 0;
    for (QWidget* field : fields) {
        QString path = QStringLiteral("/srv/登録%1").arg(++n);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        // Desktops send the address as text too; an edit field would insert it at the cursor.
        data.setText(QUrl::fromLocalFile(path).toString());
        QPoint middle = field->rect().center();
        QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(field, &enter);
        EXPECT_TRUE(enter.isAccepted()) << n;
        QDropEvent drop(QPointF(middle), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(field, &drop);
        EXPECT_EQ(dlg.FolderEdit()->text(), path) << n;
        EXPECT_EQ(dlg.NameEdit()->text(), "Taro") << n;
        EXPECT_EQ(dlg.PhasesEdit()->toPlainText(), "A\n") << n;
    }
}

TEST_F(WorkbenchTest, OverviewReopensAtTheRectangleItWasClosedAt)
{
    ProjectRecord p = ThreePhases();
    // A rectangle as older project files hold it: the whole window, frame included.
    p.overview.windowRect = {100, 120, 700, 620};
    Start(MakeProject("Prob1", p));
    for (int i = 0; i < 3; ++i) {
        QRect shown;
        WhenOpen<COverviewDlg>([&shown](COverviewDlg& dlg) {
            shown = dlg.frameGeometry();
            dlg.Button(ControlId::Ok)->click();
        });
        View().Button(ControlId::OverviewButton)->click();
        EXPECT_EQ(shown, QRect(100, 120, 600, 500)) << i;
        EXPECT_EQ(Doc().Data().overview.windowRect, (std::array<std::int32_t, 4>{100, 120, 700, 620})) << i;
    }
}

TEST_F(WorkbenchTest, NameWithWhiteSpaceIsRefusedOnSaveAndOk)
{
    std::vector<PhaseRecord> phases{{"A", 0, 0, 0}};
    std::string name = "Prob1";
    COverviewDlg dlg(false, name, phases);
    dlg.OnInitDialog();
    const QString refused = QStringLiteral("氏名に空白を含めることはできません");
    for (const QString& blank :
         {QStringLiteral("山田 太郎"), QStringLiteral("山田　太郎"), QStringLiteral("山田\t")}) {
        dlg.NameEdit()->setText(blank);
        EXPECT_FALSE(dlg.SaveAsDefaults());
        EXPECT_EQ(prompt_.shown.back(), refused);
        dlg.accept();
        EXPECT_EQ(prompt_.shown.back(), refused);
        EXPECT_NE(dlg.result(), QDialog::Accepted);
    }
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("init/psp.txt")));
    EXPECT_EQ(phases.size(), 1u);
    // A name CP932 cannot hold is refused rather than saved with '?'.
    dlg.NameEdit()->setText(QStringLiteral("山田😀"));
    EXPECT_FALSE(dlg.SaveAsDefaults());
    EXPECT_EQ(prompt_.shown.back(), QString::fromStdString(UnstorableNameMessage("山田😀")));
    EXPECT_FALSE(std::filesystem::exists(dir_.Path("init/psp.txt")));
    dlg.NameEdit()->setText(QStringLiteral("山田"));
    EXPECT_TRUE(dlg.SaveAsDefaults());
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.fields.userName, "\x8E\x52\x93\x63");
}

TEST_F(WorkbenchTest, SettingsOnlyFormHidesTheProblemAndClosesOnlyAfterSaving)
{
    std::vector<PhaseRecord> phases;
    std::string name;
    COverviewDlg dlg(true, name, phases);
    dlg.fields.windowRect = {1, 2, 3, 4};
    dlg.OnInitDialog();
    EXPECT_TRUE(dlg.Browser()->isHidden());
    EXPECT_TRUE(dlg.Button(ControlId::OverviewSave)->isHidden());
    EXPECT_EQ(dlg.fields.windowRect, (std::array<std::int32_t, 4>{0, 0, 0, 0}));
    dlg.NameEdit()->setText("YOUR NAME");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    dlg.NameEdit()->setText("山田");
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    Settings saved;
    ASSERT_TRUE(LoadSettings(saved).Ok());
    EXPECT_EQ(saved.userName, "\x8E\x52\x93\x63");
}

TEST_F(WorkbenchTest, ProblemPageIsDecodedFromCp932)
{
    std::filesystem::create_directories(dir_.Path("prob/htm"));
    ASSERT_TRUE(
        WriteFileAtomically(dir_.Path("prob/htm/Prob1.htm"),
                            "<html><body><h1>\x96\xE2\x91\xE8</h1><a href=\"next.htm\">n</a></body></html>")
            .Ok());
    std::vector<PhaseRecord> phases;
    std::string name = "Prob1";
    COverviewDlg dlg(false, name, phases);
    dlg.OnInitDialog();
    EXPECT_TRUE(dlg.Browser()->toPlainText().contains("問題"));
    EXPECT_TRUE(dlg.Browser()->source().toLocalFile().endsWith("prob/htm/Prob1.htm"));

    // A Japanese exercise's page is found under its UTF-8 name in a folder with a blank.
    std::filesystem::create_directories(dir_.Path("演習 フォルダ/prob/htm"));
    ASSERT_TRUE(
        WriteFileAtomically(dir_.Path("演習 フォルダ/prob/htm/課題1.htm"), "<p>\x96\xE2\x91\xE8</p>").Ok());
    SetProgramFolder(dir_.Path("演習 フォルダ"));
    std::string kadai = "\x89\xDB\x91\xE8\x31";
    COverviewDlg japanese(false, kadai, phases);
    japanese.OnInitDialog();
    EXPECT_TRUE(japanese.Browser()->toPlainText().contains("問題"))
        << japanese.Browser()->toPlainText().toStdString();
    EXPECT_EQ(japanese.Browser()->source().toLocalFile(),
              QString::fromStdString(dir_.Path("演習 フォルダ/prob/htm/課題1.htm")));
}
