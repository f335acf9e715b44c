#include "shell/base/OKDialogs.h"

#include "platform/test/FakeScreen.h"
#include "platform/test/RecordingHelp.h"
#include "platform/test/ScriptedDialogs.h"
#include "shell/base/QtModalDialog.h"

#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace kelvorn;

namespace {

struct BaseCase
{
    const char* name;
    std::function<TOKDlg*()> make;
    QSize client;
    QRect bevel;
    QRect ok;
    QRect cancel;
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

const BaseCase Bases[] = {
    {"TOKRightDlg",
     [] { return new TOKRightDlg; },
     {384, 179},
     {8, 8, 281, 161},
     {300, 8, 75, 25},
     {300, 38, 75, 25},
     {}},
    {"TOKHelpRightDlg",
     [] { return new TOKHelpRightDlg; },
     {384, 179},
     {8, 8, 281, 161},
     {300, 8, 75, 25},
     {300, 38, 75, 25},
     {300, 68, 75, 25}},
    {"TOKBottomDlg",
     [] { return new TOKBottomDlg; },
     {313, 214},
     {8, 8, 297, 161},
     {79, 180, 75, 25},
     {159, 180, 75, 25},
     {}},
    {"TOKHelpBottomDlg",
     [] { return new TOKHelpBottomDlg; },
     {313, 214},
     {8, 8, 297, 161},
     {70, 180, 75, 25},
     {150, 180, 75, 25},
     {230, 180, 75, 25}},
};

} // namespace

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
    QtModalDialog modal(*dialog);
    EXPECT_EQ(modal.ClassName(), c.name);
}

TEST_P(DialogBase, KeysAndButtonsCloseWithTheirResultAndHelpStaysOpen)
{
    const char* name = GetParam().name;
    struct Step
    {
        std::function<void(TOKDlg&)> act;
        DialogResult expected;
    };
    auto key = [](Qt::Key k, bool onCancel) {
        return [k, onCancel](TOKDlg& d) {
            QWidget* target =
                onCancel ? static_cast<QWidget*>(d.CancelBtn) : d.findChild<QLineEdit*>("field");
            target->setFocus();
            QTest::keyClick(target, k);
        };
    };
    for (const Step& step :
         {Step{[](TOKDlg& d) {
                   d.findChild<QLineEdit*>("field")->setFocus();
                   QTest::keyClicks(d.findChild<QLineEdit*>("field"), "7");
                   QTest::keyClick(d.findChild<QLineEdit*>("field"), Qt::Key_Return);
               },
               DialogResult::Accepted},
          Step{key(Qt::Key_Enter, true), DialogResult::Accepted}, // Enter on Cancel is still OK
          Step{key(Qt::Key_Escape, false), DialogResult::Rejected},
          Step{[](TOKDlg& d) { QTest::mouseClick(d.OKBtn, Qt::LeftButton); },
               DialogResult::Accepted},
          Step{[](TOKDlg& d) { QTest::mouseClick(d.CancelBtn, Qt::LeftButton); },
               DialogResult::Rejected}}) {
        auto dialog = Make();
        QRect frame;
        dialogs.When(
            name,
            [&](ModalDialog&) {
                frame = dialog->frameGeometry();
                step.act(*dialog);
            },
            step.expected == DialogResult::Accepted ? DialogResult::Rejected
                                                    : DialogResult::Accepted);
        EXPECT_EQ(RunDialog(*dialog), step.expected);
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

INSTANTIATE_TEST_SUITE_P(Bases, DialogBase, ::testing::ValuesIn(Bases),
                         [](const auto& info) { return std::string(info.param.name); });

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
