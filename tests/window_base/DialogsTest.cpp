// The dialog bases and the dialogs built on them: frames, buttons and keys, where they open,
// the modal runner, the About box and the Reset die dialog.
#include "general/Services.h"
#include "general/random/RuntimeRandom.h"
#include "general/view/PixelRect.h"
#include "platform/qt/QtDialogRunner.h"
#include "platform/test/FakeClock.h"
#include "platform/test/FakeScreen.h"
#include "platform/test/RecordingHelp.h"
#include "platform/test/ScriptedDialogs.h"
#include "platform/test/ScriptedMessages.h"
#include "window_base/AboutBox.h"
#include "window_base/OKDialogs.h"
#include "window_base/QtModalDialog.h"
#include "window_base/ResetDie.h"

#include <QApplication>
#include <QFrame>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace kelvorn;

namespace {

const auto CaseName = [](const auto& info) { return std::string(info.param.name); };

// ---- The dialog bases ------------------------------------------------------------------------

struct BaseCase
{
    const char* name;
    std::function<TOKDlg*()> make;
    QSize client;
    QRect bevel, ok, cancel;
    QRect help; // empty: no Help button
};

class DialogBase : public ::testing::TestWithParam<BaseCase>
{
protected:
    std::unique_ptr<TOKDlg> Make()
    {
        std::unique_ptr<TOKDlg> dialog(GetParam().make());
        dialog->SetHelpContext(37);
        // A derived dialog's own field, to type in.
        auto* field = new QLineEdit(dialog.get());
        field->setObjectName("field");
        dialog->Place(field, 16, 16, 100, 21);
        return dialog;
    }

    FakeScreen screen;
    ScriptedDialogs dialogs;
    RecordingHelp help;
};

// clang-format off
const BaseCase Bases[] = {
    {"TOKRightDlg", [] { return new TOKRightDlg; }, {384, 179}, {8, 8, 281, 161}, {300, 8, 75, 25}, {300, 38, 75, 25}, {}},
    {"TOKHelpRightDlg", [] { return new TOKHelpRightDlg; }, {384, 179}, {8, 8, 281, 161}, {300, 8, 75, 25}, {300, 38, 75, 25}, {300, 68, 75, 25}},
    {"TOKBottomDlg", [] { return new TOKBottomDlg; }, {313, 214}, {8, 8, 297, 161}, {79, 180, 75, 25}, {159, 180, 75, 25}, {}},
    {"TOKHelpBottomDlg", [] { return new TOKHelpBottomDlg; }, {313, 214}, {8, 8, 297, 161}, {70, 180, 75, 25}, {150, 180, 75, 25}, {230, 180, 75, 25}},
};
// clang-format on

TEST_P(DialogBase, FrameCaptionAndButtons)
{
    const BaseCase& c = GetParam();
    auto dialog = Make();
    EXPECT_EQ(dialog->windowTitle(), "Dialog");
    EXPECT_EQ(dialog->size(), c.client);
    EXPECT_EQ(dialog->minimumSize(), c.client);
    EXPECT_EQ(dialog->maximumSize(), c.client);
    EXPECT_EQ(dialog->Bevel1->geometry(), c.bevel);
    EXPECT_EQ(dialog->OKBtn->geometry(), c.ok);
    EXPECT_EQ(dialog->CancelBtn->geometry(), c.cancel);
    EXPECT_EQ(dialog->OKBtn->text(), "OK");
    EXPECT_EQ(dialog->CancelBtn->text(), "Cancel");
    EXPECT_TRUE(dialog->OKBtn->isDefault());
    EXPECT_EQ(dialog->OKBtn->nextInFocusChain(), dialog->CancelBtn);
    if (c.help.isEmpty()) {
        EXPECT_EQ(dialog->HelpBtn, nullptr);
    } else {
        ASSERT_NE(dialog->HelpBtn, nullptr);
        EXPECT_EQ(dialog->HelpBtn->geometry(), c.help);
        EXPECT_EQ(dialog->HelpBtn->text(), "&Help");
        EXPECT_EQ(dialog->CancelBtn->nextInFocusChain(), dialog->HelpBtn);
    }
    EXPECT_EQ(QtModalDialog(*dialog).ClassName(), c.name);
}

TEST_P(DialogBase, KeysAndButtonsCloseWithTheirResultAndHelpStaysOpen)
{
    const char* name = GetParam().name;
    using Act = std::function<void(TOKDlg&)>;
    auto key = [](Qt::Key k, bool onCancel) -> Act {
        return [k, onCancel](TOKDlg& d) {
            QWidget* target =
                onCancel ? static_cast<QWidget*>(d.CancelBtn) : d.findChild<QLineEdit*>("field");
            target->setFocus();
            QTest::keyClicks(target, onCancel ? "" : "7");
            QTest::keyClick(target, k);
        };
    };
    const std::pair<Act, DialogResult> steps[] = {
        {key(Qt::Key_Return, false), DialogResult::Accepted},
        {key(Qt::Key_Enter, true), DialogResult::Accepted}, // Enter on Cancel is still OK
        {key(Qt::Key_Escape, false), DialogResult::Rejected},
        {[](TOKDlg& d) { QTest::mouseClick(d.OKBtn, Qt::LeftButton); }, DialogResult::Accepted},
        {[](TOKDlg& d) { QTest::mouseClick(d.CancelBtn, Qt::LeftButton); },
         DialogResult::Rejected}};
    for (const auto& [act, expected] : steps) {
        auto dialog = Make();
        QRect frame;
        dialogs.When(
            name,
            [&, act = act](ModalDialog&) {
                frame = dialog->frameGeometry();
                act(*dialog);
            },
            expected == DialogResult::Accepted ? DialogResult::Rejected : DialogResult::Accepted);
        EXPECT_EQ(RunDialog(*dialog), expected);
        // Opened centred on the screen.
        EXPECT_NEAR(frame.center().x(), 512, 1);
        EXPECT_NEAR(frame.center().y(), 384, 1);
    }
    if (GetParam().help.isEmpty())
        return;
    auto dialog = Make();
    dialog->SetHelpContext(49);
    bool openAfterHelp = false;
    dialogs.When(
        name,
        [&](ModalDialog& modal) {
            QTest::mouseClick(dialog->HelpBtn, Qt::LeftButton);
            openAfterHelp = modal.IsOpen();
        },
        DialogResult::Rejected);
    RunDialog(*dialog);
    EXPECT_TRUE(openAfterHelp);
    EXPECT_EQ(help.Contexts(), std::vector<int>{49});
}

INSTANTIATE_TEST_SUITE_P(Bases, DialogBase, ::testing::ValuesIn(Bases), CaseName);

TEST(DialogBase, PlacedControlsFollowTheirAnchors)
{
    TOKRightDlg dialog;
    dialog.SetClientSize(200, 100);
    dialog.SetSizeable(100, 80);
    auto* grows = new QLineEdit(&dialog);
    auto* moves = new QLineEdit(&dialog);
    auto* stays = new QLineEdit(&dialog);
    auto* sinks = new QLineEdit(&dialog);
    dialog.Place(grows, 10, 10, 50, 20, Anchors(Anchor::Left) | Anchor::Top | Anchor::Right);
    dialog.Place(moves, 150, 10, 40, 20, Anchors(Anchor::Top) | Anchor::Right);
    dialog.Place(stays, 10, 40, 40, 20);
    dialog.Place(sinks, 10, 70, 40, 20, Anchors(Anchor::Left) | Anchor::Bottom);
    EXPECT_EQ(dialog.minimumSize(), QSize(100 - 8, 80 - 34));
    dialog.show();
    dialog.resize(260, 130);
    EXPECT_EQ(grows->geometry(), QRect(10, 10, 110, 20));
    EXPECT_EQ(moves->geometry(), QRect(210, 10, 40, 20));
    EXPECT_EQ(stays->geometry(), QRect(10, 40, 40, 20));
    EXPECT_EQ(sinks->geometry(), QRect(10, 100, 40, 20));
}

// ---- The modal runner ------------------------------------------------------------------------

TEST(QtModalDialog, FindsOnlyTheClassAskedAndADeletedDialogAnswersRejected)
{
    QDialog dialog;
    QtModalDialog modal(dialog);
    EXPECT_EQ(DialogAs<QDialog>(modal), &dialog);
    EXPECT_EQ(DialogAs<QMessageBox>(modal), nullptr);
    EXPECT_EQ(modal.ClassName(), "QDialog");
    auto* gone = new QDialog;
    QtModalDialog deleted(*gone);
    delete gone;
    EXPECT_EQ(deleted.Dialog(), nullptr);
    EXPECT_FALSE(deleted.IsOpen());
    EXPECT_EQ(deleted.Exec(), DialogResult::Rejected);
    EXPECT_EQ(deleted.ClassName(), "");
}

TEST(QtDialogRunner, RunsTheDialogsOwnModalLoop)
{
    QtDialogRunner program;
    ScopedService<DialogRunner> installed(&program);
    for (DialogResult wanted : {DialogResult::Accepted, DialogResult::Rejected}) {
        QDialog dialog;
        bool wasModal = false;
        QTimer::singleShot(0, &dialog, [&] {
            wasModal = QApplication::activeModalWidget() == &dialog;
            wanted == DialogResult::Accepted ? dialog.accept() : dialog.reject();
        });
        // Should the loop not end, this ends it and the check below fails.
        QTimer::singleShot(10000, &dialog, [&] { dialog.done(42); });
        EXPECT_EQ(RunDialog(dialog), wanted);
        EXPECT_TRUE(wasModal);
        EXPECT_NE(dialog.result(), 42);
    }
}

// ---- The About box ---------------------------------------------------------------------------

struct PlacementCase
{
    const char* name;
    QSize screen;
    PixelRect available;
    QPoint expected; // of a box of 361 × 275
};

class AboutPlacement : public ::testing::TestWithParam<PlacementCase>
{
};

TEST_P(AboutPlacement, FormulaThenKeptOnTheScreen)
{
    const PlacementCase& c = GetParam();
    EXPECT_EQ(AboutBoxPlacement(c.screen, QSize(361, 275), c.available), c.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Screens, AboutPlacement, ::testing::Values(
    // 512 - 137 = 375; 384 - 200.55... = 183.44... truncated.
    PlacementCase{"Screen1024x768", {1024, 768}, {0, 0, 1024, 768}, {183, 375}},
    // A top of 960 - 137 = 823 would hide the bottom 30 pixels: the box moves up.
    PlacementCase{"Wide1920x1080", {1920, 1080}, {0, 0, 1920, 1080}, {339, 805}},
    PlacementCase{"Wide3840x1080", {3840, 1080}, {0, 0, 3840, 1080}, {339, 805}},
    // A panel along the bottom takes 40 pixels.
    PlacementCase{"PanelBelow", {1920, 1080}, {0, 0, 1920, 1040}, {339, 765}},
    // On a portrait screen the left grows too large.
    PlacementCase{"Portrait", {768, 1366}, {0, 0, 768, 1366}, {407, 247}},
    // A box larger than the screen shows its top-left corner.
    PlacementCase{"Tiny", {300, 200}, {0, 0, 300, 200}, {0, 0}},
    PlacementCase{"OffsetScreen", {1024, 768}, {100, 50, 1124, 818}, {183, 375}}), CaseName);
// clang-format on

TEST(AboutBox, CaptionButtonSizeAndKeys)
{
    FakeScreen screen;
    ScriptedDialogs dialogs;
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), "About Kelvorn 9.0");
    EXPECT_EQ(box.size(), QSize(355, 249));
    EXPECT_EQ(box.OKButton->geometry(), QRect(128, 202, 97, 33));
    EXPECT_EQ(box.OKButton->text(), "OK");
    EXPECT_TRUE(box.OKButton->isDefault());
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    // Escape does not close it, Enter does.
    bool openAfterEscape = false;
    dialogs.When(
        "TAboutBox",
        [&](ModalDialog& modal) {
            QTest::keyClick(&box, Qt::Key_Escape);
            QTest::keyClick(box.OKButton, Qt::Key_Escape);
            openAfterEscape = modal.IsOpen();
            QTest::keyClick(box.OKButton, Qt::Key_Return);
        },
        DialogResult::Rejected);
    EXPECT_EQ(RunDialog(box), DialogResult::Accepted);
    EXPECT_TRUE(openAfterEscape);
}

// ---- Reset die -------------------------------------------------------------------------------

TResetDieProps Props(uint8_t kind, int32_t seed)
{
    TResetDieProps props;
    props.kind = kind;
    props.seed.SetValue(seed);
    return props;
}

struct OkCase
{
    const char* name;
    bool chooseTimer; // click "Seed Timer" after typing
    const char* typed;
    bool closes;
    uint8_t kind;
    int32_t seed;
};

class ResetDieTest : public ::testing::TestWithParam<OkCase>
{
protected:
    FakeScreen screen;
    ScriptedDialogs dialogs;
    ScriptedMessages messages;
    RecordingHelp help;
};

TEST_F(ResetDieTest, LayoutGrowthAndTypingChoosesSeedValue)
{
    TDlgResetDie dialog(nullptr, Props(TResetDieProps::SeedTimer, 1));
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
    bool before = true, after = false;
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
    dialog.show();
    dialog.resize(374, 146);
    EXPECT_EQ(dialog.Bevel1->geometry(), QRect(8, 8, 272, 127));
    EXPECT_EQ(dialog.OKBtn->geometry(), QRect(291, 8, 75, 25));
    EXPECT_EQ(dialog.HelpBtn->geometry(), QRect(291, 68, 75, 25));
    EXPECT_EQ(dialog.editSeedValue->geometry(), QRect(104, 24, 167, 21));
    EXPECT_EQ(dialog.optSeedTimer->geometry(), QRect(16, 48, 81, 17));
}

TEST_P(ResetDieTest, OkReadsTheChosenWay)
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
    EXPECT_EQ(RunDialog(dialog), c.closes ? DialogResult::Accepted : DialogResult::Rejected);
    EXPECT_EQ(stayedOpen, !c.closes);
    EXPECT_EQ(textAfter, c.typed);
    EXPECT_TRUE(messages.Unexpected().empty());
    ASSERT_EQ(messages.Shown().size(), c.closes ? 0u : 1u);
    if (!c.closes) {
        EXPECT_EQ(messages.Shown()[0].caption, "Input Error");
        EXPECT_EQ(messages.Shown()[0].text.rfind("In Seed Value: ", 0), 0u)
            << messages.Shown()[0].text;
    }
    EXPECT_EQ(dialog.GetResetDieProps().kind, c.kind);
    EXPECT_EQ(dialog.GetResetDieProps().seed.GetValue(), c.seed);
}

constexpr uint8_t SeedValue = TResetDieProps::SeedValue;
// clang-format off
INSTANTIATE_TEST_SUITE_P(Seeds, ResetDieTest, ::testing::Values(
    OkCase{"Five", false, "5", true, SeedValue, 5},
    OkCase{"Zero", false, "0", true, SeedValue, 0},
    OkCase{"Negative", false, "-1", true, SeedValue, -1},
    OkCase{"Largest", false, "2147483647", true, SeedValue, 2147483647},
    OkCase{"NotANumber", false, "abc", false, SeedValue, 77},
    OkCase{"Fraction", false, "1.5", false, SeedValue, 77},
    OkCase{"TooLarge", false, "4294967296", false, SeedValue, 77},
    OkCase{"Empty", false, "", false, SeedValue, 77},
    // With the timer chosen the field is not read at all.
    OkCase{"TimerIgnoresText", true, "abc", true, TResetDieProps::SeedTimer, 77}), CaseName);
// clang-format on

TEST(ApplyResetDieProps, SeedsTheRuntimeGenerator)
{
    FakeClock clock;
    // Seed 0 gives 1 / 2^32; seed 5 gives state 5 * 134775813 + 1 = 673879066, and again.
    ApplyResetDieProps(Props(SeedValue, 0), clock);
    EXPECT_EQ(NextRuntimeRandom(), 1.0 / 4294967296.0);
    for (int round = 0; round < 2; ++round) {
        ApplyResetDieProps(Props(SeedValue, 5), clock);
        EXPECT_EQ(NextRuntimeRandom(), 673879066.0 / 4294967296.0);
    }
    // A negative seed keeps its 32 bits.
    ApplyResetDieProps(Props(SeedValue, -1), clock);
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

} // namespace
