#include <QImage>
#include <QPainter>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "platform/Cp932.h"
#include "project/DefectDetails.h"
#include "statistics/CReviewChecklistDlg.h"
#include "statistics/ChecklistPainter.h"
#include "statistics/ReviewChecklistCommands.h"
#include "tests/GuiFixture.h"
#include "ui/ControlIds.h"

namespace quilvane {
namespace {

// The mode list: 0 is neutral, then the phases in this order.
constexpr int CodingMode = 4;
constexpr int CodeReviewMode = 5;

class ChecklistWindowTest : public WorkbenchTest {
protected:
    static ProjectRecord Reviewed()
    {
        ProjectRecord p;
        p.projectName = Utf8ToCp932("課題1");
        for (const char* name :
             {"計画", "設計", "設計レビュー", "コーディング", "コードレビュー", "テスト"}) {
            p.phases.push_back({Utf8ToCp932(name), 10, 0, 0});
        }
        DefectDetails details{20, Utf8ToCp932("コーディング"), 7, Utf8ToCp932("セミコロン忘れ")};
        p.defectLog.entries.push_back(
            {Utf8ToCp932("テスト"), ComposeDefectComment(details), Moment(1796601000)});
        return p;
    }

    std::string StartOnProject()
    {
        std::string path = MakeProject(Folder, Reviewed());
        Start(path);
        return path;
    }
    // The project's folder on disk (UTF-8, as Linux names it).
    static constexpr const char* Folder = "課題1";

    CReviewChecklistDlg* Window() { return FindChecklistWindow(&Frame()); }
};

TEST_F(ChecklistWindowTest, EnteringCodeReviewOpensTheCodeChecklist)
{
    StartOnProject();
    View().SelectMode(CodingMode);
    EXPECT_EQ(Window(), nullptr); // coding is no review
    View().SelectMode(CodeReviewMode);
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_FALSE(Window()->isModal());
    EXPECT_EQ(Window()->CurrentReview(), ReviewKind::Code);
    const ReviewChecklist& list = Window()->Checklist(ReviewKind::Code);
    ASSERT_FALSE(list.starter);
    ASSERT_EQ(list.items.size(), 1u);
    QTreeWidget* tree = Window()->List(ReviewKind::Code);
    ASSERT_EQ(tree->topLevelItemCount(), 2); // the item and its reminder
    EXPECT_EQ(tree->topLevelItem(0)->text(0), QStringLiteral("1. 20 構文"));
    EXPECT_EQ(tree->topLevelItem(0)->text(1), QStringLiteral("1 件 (100.0%)  平均修正 7.0 分"));
    EXPECT_EQ(tree->topLevelItem(1)->text(0), QStringLiteral("    「セミコロン忘れ」"));
    // The design review has no defect of its own: the starter list.
    EXPECT_TRUE(Window()->Checklist(ReviewKind::Design).starter);
}

TEST_F(ChecklistWindowTest, TheSettingKeepsTheWindowClosedButTheMenuStillOpensIt)
{
    SetShowChecklistOnReview(false);
    StartOnProject();
    View().SelectMode(CodeReviewMode);
    EXPECT_EQ(Window(), nullptr);
    ASSERT_TRUE(Frame().Action(CommandId::ReviewChecklist)->isEnabled());
    Frame().Action(CommandId::ReviewChecklist)->trigger();
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_EQ(Window()->CurrentReview(), ReviewKind::Code); // the review being worked in
    SetShowChecklistOnReview(true);
}

// A tick is on disk the moment it is clicked, so a killed workbench loses none, and it comes back
// after a save and a restart.
TEST_F(ChecklistWindowTest, TicksAreWrittenAtOnceAndSurviveARestart)
{
    const std::string path = StartOnProject();
    View().SelectMode(CodeReviewMode);
    ASSERT_NE(Window(), nullptr);
    QTreeWidget* tree = Window()->List(ReviewKind::Code);
    tree->topLevelItem(0)->setCheckState(0, Qt::Checked);
    Window()->List(ReviewKind::Design)->topLevelItem(2)->setCheckState(0, Qt::Checked);

    // What a kill -9 now would leave: the file as written at the clicks, before any save.
    const std::string onDisk = dir_.Read(std::string(Folder) + "/work.psp.checklist");
    std::vector<ChecklistTick> ticks = ParseTicks(onDisk);
    ASSERT_EQ(ticks.size(), 2u);
    EXPECT_EQ(ticks[0].review, ReviewKind::Code);
    EXPECT_EQ(ticks[0].key, "20");
    EXPECT_EQ(ticks[1].review, ReviewKind::Design);
    EXPECT_EQ(ticks[1].key, "S3");
    EXPECT_NE(onDisk.find("\r\n"), std::string::npos);

    View().SelectMode(0);
    ASSERT_TRUE(Doc().DoFileSave());
    app_.reset();
    Start(path);
    Frame().Action(CommandId::ReviewChecklist)->trigger();
    ASSERT_NE(Window(), nullptr);
    EXPECT_EQ(Window()->List(ReviewKind::Code)->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(Window()->List(ReviewKind::Design)->topLevelItem(2)->checkState(0), Qt::Checked);
    EXPECT_EQ(Window()->List(ReviewKind::Design)->topLevelItem(0)->checkState(0), Qt::Unchecked);

    // Unticking is written at once too.
    Window()->List(ReviewKind::Code)->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    ticks = ReadTicks(ChecklistPathFor(path));
    ASSERT_EQ(ticks.size(), 1u);
    EXPECT_EQ(ticks[0].key, "S3");
    EXPECT_TRUE(Window()->StatusText().isEmpty());
}

// Opening another project while the window is open: it lists and ticks that project, and a tick
// never lands in the file of the project left behind.
TEST_F(ChecklistWindowTest, AnOpenWindowFollowsTheProjectOnTheForm)
{
    const std::string first = StartOnProject();
    View().SelectMode(CodeReviewMode);
    ASSERT_NE(Window(), nullptr);
    Window()->List(ReviewKind::Code)->topLevelItem(0)->setCheckState(0, Qt::Checked);
    View().SelectMode(0);
    ASSERT_TRUE(Doc().DoFileSave());

    const std::string second = MakeProject("課題2", Reviewed());
    Frame().OpenProject(QString::fromStdString(second));
    ASSERT_EQ(Doc().Data().projectName, Utf8ToCp932("課題2"));
    ASSERT_TRUE(Window()->isVisible());
    EXPECT_TRUE(Window()->Ticks().empty());
    EXPECT_EQ(Window()->List(ReviewKind::Code)->topLevelItem(0)->checkState(0), Qt::Unchecked);

    Window()->List(ReviewKind::Design)->topLevelItem(0)->setCheckState(0, Qt::Checked);
    ASSERT_EQ(ReadTicks(ChecklistPathFor(second)).size(), 1u);
    const std::vector<ChecklistTick> kept = ReadTicks(ChecklistPathFor(first));
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].key, "20");
}

TEST_F(ChecklistWindowTest, DamagedTicksFileOpensWithNoTicks)
{
    const std::string path = StartOnProject();
    ASSERT_TRUE(WriteFileAtomically(ChecklistPathFor(path), std::string("\x00\xFF garbage\r\n", 12)).Ok());
    View().SelectMode(CodeReviewMode);
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->Ticks().empty());
    EXPECT_EQ(Window()->List(ReviewKind::Code)->topLevelItem(0)->checkState(0), Qt::Unchecked);
}

// However long the list, it prints as one page: the drawing shrinks and stays inside the page.
TEST(ChecklistPainterTest, ALongListStaysOnOnePage)
{
    ReviewChecklist list;
    list.kind = ReviewKind::Code;
    for (int i = 0; i < 80; ++i) {
        ChecklistItem item;
        item.key = std::to_string(i);
        item.title = Utf8ToCp932("とても長い項目の名前") + std::string(40, 'x');
        item.count = 1;
        item.share = 1.25;
        item.comments = {std::string(200, 'c'), Utf8ToCp932("二行の\r\nコメント")};
        list.items.push_back(item);
    }
    QImage image(900, 1200, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QRect page(100, 100, 700, 1000);
    double scale = 1.0;
    {
        QPainter painter(&image);
        scale = PaintChecklist(painter, page, list, {{ReviewKind::Code, "3", "t", "x"}}, "Prob1");
    }
    EXPECT_LT(scale, 1.0);
    bool inside = false;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool ink = image.pixel(x, y) != qRgb(255, 255, 255);
            // The boxes sit left of the item text, inside the page's left margin of one indent.
            if (ink && !page.adjusted(-1, -1, 1, 1).contains(x, y)) {
                ADD_FAILURE() << "ink outside the page at " << x << "," << y;
                return;
            }
            inside = inside || ink;
        }
    }
    EXPECT_TRUE(inside);
}

TEST(ChecklistPainterTest, AShortListIsDrawnAtItsNormalSize)
{
    ReviewChecklist list = BuildReviewChecklist(ReviewKind::Code, {}, ProjectRecord{});
    QImage image(2480, 3508, QImage::Format_RGB32); // A4 at 300 dpi
    image.setDotsPerMeterX(11811);
    image.setDotsPerMeterY(11811);
    image.fill(Qt::white);
    QPainter painter(&image);
    EXPECT_DOUBLE_EQ(PaintChecklist(painter, image.rect().adjusted(200, 200, -200, -200), list, {}, "Prob1"),
                     1.0);
}

} // namespace
} // namespace quilvane
