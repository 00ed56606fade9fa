#include <QEventLoop>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include "logs/CDefectEditDlg.h"
#include "platform/Cp932.h"
#include "statistics/CQualityView.h"
#include "tests/GuiFixture.h"
#include "ui/ControlIds.h"

using namespace quilvane;

namespace {

ProjectRecord Phases(std::int32_t designMinutes, std::int32_t codeMinutes, std::int32_t compileMinutes)
{
    ProjectRecord p;
    p.phases = {{Utf8ToCp932("設計"), 0, designMinutes, 0},
                {Utf8ToCp932("コード"), 0, codeMinutes, 0},
                {Utf8ToCp932("コンパイル"), 0, compileMinutes, 0},
                {Utf8ToCp932("テスト"), 0, 0, 0}};
    return p;
}

// Prob1 is open and has no time yet; Prob2 was finished before it with one defect injected in
// コード and found in コンパイル.
class QualityViewTest : public WorkbenchTest {
protected:
    void SetUp() override
    {
        WorkbenchTest::SetUp();
        ProjectRecord done = Phases(20, 40, 10);
        done.result.actualNew = 50;
        done.defectLog.entries.push_back(
            {Utf8ToCp932("コンパイル"),
             ComposeDefectComment({std::nullopt, Utf8ToCp932("コード"), std::nullopt, "c"}), Moment(1)});
        MakeProject("Prob2", done);
        ProjectRecord open = Phases(0, 0, 0);
        open.estimate.totalMinutes = 60;
        Start(MakeProject("Prob1", open));
    }

    CQualityView* Window()
    {
        return Frame().findChild<CQualityView*>(QString::number(ControlId::QualityWindow));
    }
    // The label showing `text` in the window, or null.
    QLabel* Shown(const QString& text)
    {
        for (QLabel* label : Window()->findChildren<QLabel*>()) {
            if (label->text() == text) {
                return label;
            }
        }
        return nullptr;
    }
    // The text of the measures' row `row` (0 the header), column `column`, as shown.
    QString MeasureText(std::size_t row, std::size_t column)
    {
        return QString::fromStdString(Window()->Sheet().measures[row][column].text);
    }
    // Lets the window's one-second beat run once.
    void NextBeat()
    {
        auto* timer = Window()->findChild<QTimer*>();
        ASSERT_NE(timer, nullptr);
        QEventLoop loop;
        QObject::connect(timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
    }
};

} // namespace

TEST_F(QualityViewTest, TheButtonAndTheMenuOpenOneWindowWithTheFiguresToDate)
{
    QPushButton* button = View().Button(ControlId::QualityButton);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), "品質...(&Q)");
    ASSERT_TRUE(button->isEnabled());
    button->click();
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(Window()->isVisible());
    EXPECT_FALSE(Window()->isModal());
    EXPECT_EQ(Window()->windowTitle(), "品質");

    // Nothing of Prob1 is finished yet: its figures are dashes with their reasons, and the
    // figures to date are Prob2's alone.
    EXPECT_EQ(MeasureText(0, 1), "— 欠陥の記録がありません");
    EXPECT_EQ(MeasureText(0, 2), "0.0");
    QLabel* yieldToDate = Shown(QStringLiteral("0.0"));
    ASSERT_NE(yieldToDate, nullptr);
    EXPECT_TRUE(yieldToDate->toolTip().startsWith(QStringLiteral("100 × コンパイル前に除去した欠陥")));
    QLabel* noPlanYet = Shown(QStringLiteral("— 割る数が 0 です"));
    ASSERT_NE(noPlanYet, nullptr);
    EXPECT_TRUE(noPlanYet->toolTip().contains(QStringLiteral("—: 割る数が 0 です")));
    EXPECT_NE(Shown(QStringLiteral("累計 (1 件)")), nullptr);

    // The menu command brings the same window back rather than a second one.
    QAction* command = Frame().Action(CommandId::Quality);
    ASSERT_NE(command, nullptr);
    EXPECT_TRUE(command->isEnabled());
    CQualityView* first = Window();
    command->trigger();
    EXPECT_EQ(Frame().findChildren<CQualityView*>().size(), 1);
    EXPECT_EQ(Window(), first);
}

TEST_F(QualityViewTest, TheWindowFollowsANewDefectOnTheNextBeat)
{
    View().Button(ControlId::QualityButton)->click();
    ASSERT_NE(Window(), nullptr);

    // Twenty minutes of コード, then コンパイル, where a defect injected in コード is found.
    View().SelectMode(2);
    clock_.Advance(20 * 60);
    View().SelectMode(3);
    clock_.Advance(5 * 60);
    WhenOpen<CDefectEditDlg>([](CDefectEditDlg& dlg) {
        dlg.Injected()->setCurrentText(QStringLiteral("コード"));
        dlg.accept();
    });
    View().Button(ControlId::AddDefectButton)->click();
    ASSERT_EQ(Doc().Data().defectLog.entries.size(), 1u);
    NextBeat();

    // Found after compile began: this project's yield is 0, and to date both projects count,
    // as sums: 0 found before compile of 2 injected before it.
    EXPECT_EQ(MeasureText(0, 1), "0.0");
    EXPECT_EQ(Window()->Sheet().measureHeader[2], "累計 (2 件)");
    const std::vector<QualityCell>& code = Window()->Sheet().phases[1];
    EXPECT_EQ(code[0].text, "コード");
    EXPECT_EQ(code[1].text, "20");
    EXPECT_EQ(code[2].text, "60");
    EXPECT_EQ(code[3].text, "1");
    EXPECT_EQ(code[4].text, "2");
    EXPECT_EQ(code[9].text, "3.00"); // injected per hour: 60 × 1 ÷ 20
    EXPECT_NE(Shown(QStringLiteral("3.00")), nullptr);

    // The time error follows the running clock once the phase is logged.
    View().SelectMode(0);
    NextBeat();
    EXPECT_EQ(MeasureText(static_cast<std::size_t>(QualityMeasure::TimeErrorPercent), 1), "-58.3");
}
