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
    QLineEdit* Field(QDialog* dialog) { return dialog->findChild<QLineEdit*>("field"); }

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

TEST_P(DialogBase, EnterInAFieldIsOk)
{
    auto dialog = Make();
    dialogs.When(
        GetParam().name,
        [this](ModalDialog& modal) {
            QDialog* d = DialogAs<QDialog>(modal);
            QLineEdit* field = Field(d);
            field->setFocus();
            QTest::keyClicks(field, "7");
            QTest::keyClick(field, Qt::Key_Return);
        },
        DialogResult::Rejected);
    EXPECT_EQ(RunDialog(*dialog), DialogResult::Accepted);
    EXPECT_EQ(Field(dialog.get())->text(), "7");
}

TEST_P(DialogBase, EnterOnTheCancelButtonIsStillOk)
{
    auto dialog = Make();
    dialogs.When(
        GetParam().name,
        [&](ModalDialog&) {
            dialog->CancelBtn->setFocus();
            QTest::keyClick(dialog->CancelBtn, Qt::Key_Enter);
        },
        DialogResult::Rejected);
    EXPECT_EQ(RunDialog(*dialog), DialogResult::Accepted);
}

TEST_P(DialogBase, EscapeIsCancel)
{
    auto dialog = Make();
    dialogs.When(
        GetParam().name,
        [this](ModalDialog& modal) {
            QLineEdit* field = Field(DialogAs<QDialog>(modal));
            field->setFocus();
            QTest::keyClick(field, Qt::Key_Escape);
        },
        DialogResult::Accepted);
    EXPECT_EQ(RunDialog(*dialog), DialogResult::Rejected);
}

TEST_P(DialogBase, ButtonsCloseWithTheirResult)
{
    for (bool ok : {true, false}) {
        auto dialog = Make();
        dialogs.When(
            GetParam().name,
            [&](ModalDialog&) {
                QTest::mouseClick(ok ? dialog->OKBtn : dialog->CancelBtn, Qt::LeftButton);
            },
            ok ? DialogResult::Rejected : DialogResult::Accepted);
        EXPECT_EQ(RunDialog(*dialog), ok ? DialogResult::Accepted : DialogResult::Rejected);
    }
}

TEST_P(DialogBase, HelpAsksForTheDialogsOwnContextAndStaysOpen)
{
    auto dialog = Make();
    if (GetParam().help.isEmpty()) {
        EXPECT_EQ(dialog->HelpBtn, nullptr);
        return;
    }
    dialog->SetHelpContext(49);
    bool openAfterHelp = false;
    dialogs.When(
        GetParam().name,
        [&](ModalDialog& modal) {
            QTest::mouseClick(dialog->HelpBtn, Qt::LeftButton);
            openAfterHelp = modal.IsOpen();
        },
        DialogResult::Rejected);
    RunDialog(*dialog);
    EXPECT_TRUE(openAfterHelp);
    EXPECT_EQ(help.Contexts(), std::vector<int>{49});
}

TEST_P(DialogBase, OpensCentredOnTheScreen)
{
    auto dialog = Make();
    QRect frame;
    dialogs.When(
        GetParam().name, [&](ModalDialog&) { frame = dialog->frameGeometry(); },
        DialogResult::Rejected);
    RunDialog(*dialog);
    EXPECT_NEAR(frame.center().x(), 512, 1);
    EXPECT_NEAR(frame.center().y(), 384, 1);
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
