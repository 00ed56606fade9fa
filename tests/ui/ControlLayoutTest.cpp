#include <QApplication>
#include <QPushButton>
#include <QWidget>
#include <gtest/gtest.h>

#include "ui/ColumnScale.h"
#include "ui/ControlLayout.h"
#include "ui/Prompt.h"

using namespace quilvane;

namespace {

class ControlLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog_.resize(300, 200);
        keep_ = Place(10, 10);
        move_ = Place(200, 150);
        stretch_ = Place(10, 50);
    }
    QWidget* Place(int x, int y)
    {
        auto* w = new QPushButton(&dialog_);
        w->setGeometry(x, y, 80, 30);
        return w;
    }

    QWidget dialog_;
    QWidget* keep_ = nullptr;
    QWidget* move_ = nullptr;
    QWidget* stretch_ = nullptr;
    ControlLayout layout_;
};

} // namespace

TEST_F(ControlLayoutTest, KeepMoveAndStretch)
{
    layout_.Register(keep_, ControlLayout::Keep, ControlLayout::Keep);
    layout_.Register(move_, ControlLayout::Move, ControlLayout::Move);
    layout_.Register(stretch_, ControlLayout::Stretch, ControlLayout::Stretch);
    layout_.RecordMargins();
    dialog_.resize(400, 260);
    layout_.Relayout();
    EXPECT_EQ(keep_->geometry(), QRect(10, 10, 80, 30));
    EXPECT_EQ(move_->geometry(), QRect(300, 210, 80, 30));
    EXPECT_EQ(stretch_->geometry(), QRect(10, 50, 180, 90));
    // Shrinking below the designed size never gives a negative size.
    dialog_.resize(50, 40);
    layout_.Relayout();
    EXPECT_GE(stretch_->width(), 0);
    EXPECT_GE(stretch_->height(), 0);
}

TEST_F(ControlLayoutTest, MixedModesAnchorEachEdgeOnItsOwn)
{
    layout_.Register(move_, ControlLayout::Move, ControlLayout::Keep);
    layout_.Register(stretch_, ControlLayout::Keep, ControlLayout::Stretch);
    layout_.RecordMargins();
    dialog_.resize(320, 230);
    layout_.Relayout();
    EXPECT_EQ(move_->geometry(), QRect(220, 150, 80, 30));
    EXPECT_EQ(stretch_->geometry(), QRect(10, 50, 80, 60));
}

TEST_F(ControlLayoutTest, RegisteringAgainKeepsOneEntryWithTheLastModes)
{
    layout_.Register(move_, ControlLayout::Stretch, ControlLayout::Stretch);
    layout_.Register(move_, ControlLayout::Move, ControlLayout::Keep);
    EXPECT_EQ(layout_.Size(), 1u);
    layout_.RecordMargins();
    dialog_.resize(310, 300);
    layout_.Relayout();
    EXPECT_EQ(move_->geometry(), QRect(210, 150, 80, 30));
}

TEST_F(ControlLayoutTest, MinimizedDialogIsNotRelaidOut)
{
    layout_.Register(move_, ControlLayout::Move, ControlLayout::Move);
    layout_.RecordMargins();
    dialog_.setWindowState(Qt::WindowMinimized);
    dialog_.resize(400, 300);
    layout_.OnSize(&dialog_);
    EXPECT_EQ(move_->geometry(), QRect(200, 150, 80, 30));
    dialog_.setWindowState(Qt::WindowNoState);
    layout_.OnSize(&dialog_);
    EXPECT_EQ(move_->geometry(), QRect(300, 250, 80, 30));
}

TEST(ChooseFolderTest, CancelKeepsThePathAndChoiceReplacesIt)
{
    ScriptedPrompt prompt;
    SetPrompt(&prompt);
    std::string path = "/start";
    EXPECT_EQ(ChooseFolder(nullptr, nullptr, path), std::nullopt);
    EXPECT_EQ(path, "/start");
    EXPECT_EQ(prompt.shown.back(), "");
    prompt.choices = {QStringLiteral("/chosen/フォルダ")};
    EXPECT_EQ(ChooseFolder(nullptr, "登録先", path), "/chosen/\x83\x74\x83\x48\x83\x8B\x83\x5F");
    SetPrompt(nullptr);
}

TEST(ColumnScaleTest, StoredWidthsScaleByTheDigitWidthBothWays)
{
    struct Case {
        double factor;
        int stored;
        int screen;
    };
    const Case cases[] = {{4.0 / 3.0, 150, 200}, {4.0 / 3.0, 70, 93}, {1.5, 130, 195},
                          {1.0, 42, 42},         {4.0 / 3.0, 0, 0},   {4.0 / 3.0, -1, -1}};
    for (const auto& c : cases) {
        ColumnScale scale(c.factor);
        EXPECT_EQ(scale.ToScreen(c.stored), c.screen) << c.factor << " " << c.stored;
        EXPECT_EQ(scale.ToStored(c.screen), c.stored) << c.factor << " " << c.screen;
    }
    // The factor of a real face is its digit width against the stored face's 6 pixels.
    QFont font = QApplication::font();
    font.setPixelSize(16);
    QFontMetrics metrics(font);
    EXPECT_DOUBLE_EQ(ColumnScale(metrics).Factor(), metrics.horizontalAdvance(QLatin1Char('0')) / 6.0);
    // The widest digit stands in for every '0'; other characters stay.
    const QString widest = WidestDigits(QStringLiteral("00:00"), metrics);
    ASSERT_EQ(widest.size(), 5);
    EXPECT_EQ(widest[2], QLatin1Char(':'));
    for (char d = '0'; d <= '9'; ++d) {
        const QString digits(2, QLatin1Char(d));
        EXPECT_GE(metrics.horizontalAdvance(widest), metrics.horizontalAdvance(digits + ":" + digits)) << d;
    }
}
