// The test helpers themselves: a mistake in a dialog test must fail fast and loudly.
#include <QDialog>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <vector>

#include "tests/ModalDriver.h"
#include "ui/Prompt.h"

using namespace quilvane;

TEST(ModalDriver, ClosesTheDialogItsActionLeftOpenAndTakesDialogsInOrder)
{
    QDialog dialog;
    std::vector<int> ran;
    WhenOpen<QDialog>([&ran](QDialog&) { ran.push_back(1); });
    WhenOpen<QDialog>([&ran](QDialog& d) {
        ran.push_back(2);
        d.accept();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
}

TEST(ModalDriver, ADialogThatNeverOpenedFailsOnlyWhenItHadTo)
{
    EXPECT_NONFATAL_FAILURE(
        {
            WhenOpen<QDialog>([](QDialog&) {});
            FinishModalDrivers();
        },
        "QDialog never opened");
    IfOpen<QDialog>([](QDialog&) {});
    FinishModalDrivers();
}

TEST(ModalDriver, AQuestionNobodyScriptedFailsTheTest)
{
    ScriptedPrompt prompt;
    prompt.answers = {Prompt::Answer::Yes};
    EXPECT_EQ(prompt.Ask(nullptr, QStringLiteral("first"), false), Prompt::Answer::Yes);
    EXPECT_NONFATAL_FAILURE(prompt.Ask(nullptr, QStringLiteral("second"), false),
                            "a question nobody scripted: second");
    EXPECT_EQ(prompt.shown, (std::vector<QString>{"first", "second"}));
}
