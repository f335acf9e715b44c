#include "shell/base/ResetDie.h"

#include "general/random/RuntimeRandom.h"
#include "platform/Help.h"
#include "platform/test/FakeClock.h"
#include "platform/test/FakeScreen.h"
#include "platform/test/RecordingHelp.h"
#include "platform/test/ScriptedDialogs.h"
#include "platform/test/ScriptedMessages.h"
#include "shell/base/QtModalDialog.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

using namespace kelvorn;

namespace {

TResetDieProps Props(uint8_t kind, int32_t seed)
{
    TResetDieProps props;
    props.kind = kind;
    props.seed.SetValue(seed);
    return props;
}

class ResetDieTest : public ::testing::Test
{
protected:
    FakeScreen screen;
    ScriptedDialogs dialogs;
    ScriptedMessages messages;
    RecordingHelp help;
};

struct OkCase
{
    const char* name;
    bool chooseTimer; // click "Seed Timer" after typing
    const char* typed;
    bool closes;
    uint8_t kind;
    int32_t seed;
};

class ResetDieOk : public ResetDieTest, public ::testing::WithParamInterface<OkCase>
{
};

} // namespace

TEST_F(ResetDieTest, LayoutAndGrowth)
{
    TDlgResetDie dialog(nullptr, TResetDieProps());
    EXPECT_EQ(dialog.windowTitle(), "Reset die");
    EXPECT_EQ(dialog.size(), QSize(274, 96));
    EXPECT_EQ(dialog.minimumSize(), QSize(240 - 8, 130 - 34));
    EXPECT_EQ(dialog.Bevel1->geometry(), QRect(8, 8, 172, 77));
    EXPECT_EQ(dialog.OKBtn->geometry(), QRect(191, 8, 75, 25));
    EXPECT_EQ(dialog.CancelBtn->geometry(), QRect(191, 38, 75, 25));
    EXPECT_EQ(dialog.HelpBtn->geometry(), QRect(191, 68, 75, 25));
    EXPECT_EQ(dialog.optSeedValue->text(), "Seed Value");
    EXPECT_EQ(dialog.optSeedTimer->text(), "Seed Timer");
    EXPECT_EQ(dialog.editSeedValue->geometry(), QRect(104, 24, 67, 21));
    dialog.show();
    dialog.resize(374, 146);
    EXPECT_EQ(dialog.Bevel1->geometry(), QRect(8, 8, 272, 127));
    EXPECT_EQ(dialog.OKBtn->geometry(), QRect(291, 8, 75, 25));
    EXPECT_EQ(dialog.HelpBtn->geometry(), QRect(291, 68, 75, 25));
    EXPECT_EQ(dialog.editSeedValue->geometry(), QRect(104, 24, 167, 21));
    EXPECT_EQ(dialog.optSeedTimer->geometry(), QRect(16, 48, 81, 17));
}

TEST_F(ResetDieTest, TypingChoosesSeedValue)
{
    TDlgResetDie dialog(nullptr, Props(TResetDieProps::SeedTimer, 1));
    bool before = true;
    bool after = false;
    dialogs.When(
        "TDlgResetDie",
        [&](ModalDialog&) {
            before = dialog.optSeedValue->isChecked();
            QTest::keyClick(dialog.editSeedValue, Qt::Key_Backspace);
            after = dialog.optSeedValue->isChecked();
        },
        DialogResult::Rejected);
    RunDialog(dialog);
    EXPECT_FALSE(before);
    EXPECT_TRUE(after);
    EXPECT_FALSE(dialog.optSeedTimer->isChecked());
}

TEST_P(ResetDieOk, OkReadsTheChosenWay)
{
    const OkCase& c = GetParam();
    TDlgResetDie dialog(nullptr, Props(TResetDieProps::SeedTimer, 77));
    bool stayedOpen = false;
    QString textAfter;
    if (!c.closes)
        messages.Expect();
    dialogs.When(
        "TDlgResetDie",
        [&](ModalDialog& modal) {
            dialog.editSeedValue->clear();
            QTest::keyClicks(dialog.editSeedValue, c.typed);
            if (c.chooseTimer)
                QTest::mouseClick(dialog.optSeedTimer, Qt::LeftButton, {}, QPoint(5, 8));
            QTest::keyClick(dialog.editSeedValue, Qt::Key_Return);
            stayedOpen = modal.IsOpen();
            textAfter = dialog.editSeedValue->text();
        },
        DialogResult::Rejected);
    DialogResult result = RunDialog(dialog);
    EXPECT_EQ(result, c.closes ? DialogResult::Accepted : DialogResult::Rejected);
    EXPECT_EQ(stayedOpen, !c.closes);
    EXPECT_EQ(textAfter, c.typed);
    EXPECT_TRUE(messages.Unexpected().empty());
    if (c.closes) {
        EXPECT_TRUE(messages.Shown().empty());
    } else {
        ASSERT_EQ(messages.Shown().size(), 1u);
        EXPECT_EQ(messages.Shown()[0].caption, "Input Error");
        EXPECT_EQ(messages.Shown()[0].text.rfind("In Seed Value: ", 0), 0u)
            << messages.Shown()[0].text;
    }
    TResetDieProps props = dialog.GetResetDieProps();
    EXPECT_EQ(props.kind, c.kind);
    EXPECT_EQ(props.seed.GetValue(), c.seed);
}

INSTANTIATE_TEST_SUITE_P(
    Seeds, ResetDieOk,
    ::testing::Values(OkCase{"Five", false, "5", true, TResetDieProps::SeedValue, 5},
                      OkCase{"Zero", false, "0", true, TResetDieProps::SeedValue, 0},
                      OkCase{"Negative", false, "-1", true, TResetDieProps::SeedValue, -1},
                      OkCase{"Largest", false, "2147483647", true, TResetDieProps::SeedValue,
                             2147483647},
                      OkCase{"NotANumber", false, "abc", false, TResetDieProps::SeedValue, 77},
                      OkCase{"Fraction", false, "1.5", false, TResetDieProps::SeedValue, 77},
                      OkCase{"TooLarge", false, "4294967296", false, TResetDieProps::SeedValue, 77},
                      OkCase{"Empty", false, "", false, TResetDieProps::SeedValue, 77},
                      // With the timer chosen the field is not read at all.
                      OkCase{"TimerIgnoresText", true, "abc", true, TResetDieProps::SeedTimer, 77}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ApplyResetDieProps, SeedsTheRuntimeGenerator)
{
    FakeClock clock;
    // Seed 0 gives 1 / 2^32; seed 5 gives state 5 * 134775813 + 1 = 673879066, and again.
    ApplyResetDieProps(Props(TResetDieProps::SeedValue, 0), clock);
    EXPECT_EQ(NextRuntimeRandom(), 1.0 / 4294967296.0);
    for (int round = 0; round < 2; ++round) {
        ApplyResetDieProps(Props(TResetDieProps::SeedValue, 5), clock);
        EXPECT_EQ(NextRuntimeRandom(), 673879066.0 / 4294967296.0);
    }
    // A negative seed keeps its 32 bits.
    ApplyResetDieProps(Props(TResetDieProps::SeedValue, -1), clock);
    EXPECT_EQ(RuntimeRandomState(), 0xFFFFFFFFu);
    // The timer seeds with the UTC millisecond of the day.
    clock.SetUtc(2024, 2, 29, 23, 59, 58, 999);
    ApplyResetDieProps(Props(TResetDieProps::SeedTimer, 5), clock);
    EXPECT_EQ(RuntimeRandomState(), ((23u * 60 + 59) * 60 + 58) * 1000 + 999);
    // Any other kind changes nothing.
    SetRuntimeRandomState(1234);
    ApplyResetDieProps(Props(2, 5), clock);
    ApplyResetDieProps(Props(255, 5), clock);
    EXPECT_EQ(RuntimeRandomState(), 1234u);
}
