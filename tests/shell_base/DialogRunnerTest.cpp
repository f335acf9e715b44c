#include "platform/qt/QtDialogRunner.h"
#include "platform/test/ScriptedDialogs.h"
#include "shell/base/QtModalDialog.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kelvorn;

namespace {

// Counts the times a widget was shown.
class ShowCounter : public QObject
{
public:
    int shows = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return false;
    }
};

// A dialog whose OK refuses to close, as a dialog with a bad field does.
class RefusingDialog : public QDialog
{
public:
    int accepts = 0;
    void accept() override { ++accepts; }
};

struct AnswerCase
{
    const char* name;
    bool actionCloses; // the action itself rejects the dialog
    DialogResult answer;
    DialogResult expected;
};

class ScriptedAnswer : public ::testing::TestWithParam<AnswerCase>
{
};

} // namespace

TEST_P(ScriptedAnswer, ActsOnTheOpenDialogThenAnswers)
{
    const AnswerCase& c = GetParam();
    ScriptedDialogs dialogs;
    QDialog dialog;
    auto* field = new QLineEdit(&dialog);
    bool sawOpen = false;
    dialogs.When(
        "QDialog",
        [&](ModalDialog& modal) {
            sawOpen = modal.IsOpen() && dialog.isVisible();
            ASSERT_EQ(DialogAs<QDialog>(modal), &dialog);
            field->setText("typed");
            if (c.actionCloses)
                dialog.reject();
        },
        c.answer);

    EXPECT_EQ(RunDialog(dialog), c.expected);
    EXPECT_TRUE(sawOpen);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(field->text(), "typed");
    EXPECT_EQ(dialogs.Opened(), std::vector<std::string>{"QDialog"});
    EXPECT_EQ(dialogs.Results(), std::vector<DialogResult>{c.expected});
    EXPECT_TRUE(dialogs.Unexpected().empty());
    EXPECT_TRUE(dialogs.Refused().empty());
    EXPECT_EQ(dialogs.Pending(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ScriptedAnswer,
    ::testing::Values(AnswerCase{"Ok", false, DialogResult::Accepted, DialogResult::Accepted},
                      AnswerCase{"Cancel", false, DialogResult::Rejected, DialogResult::Rejected},
                      // The dialog's own close wins over the scripted answer.
                      AnswerCase{"ClosedByAction", true, DialogResult::Accepted,
                                 DialogResult::Rejected}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ScriptedDialogs, AnUnannouncedDialogIsNeverShown)
{
    ScriptedDialogs dialogs;
    QDialog dialog;
    ShowCounter counter;
    dialog.installEventFilter(&counter);
    EXPECT_EQ(RunDialog(dialog), DialogResult::Rejected);
    EXPECT_EQ(counter.shows, 0);
    EXPECT_EQ(dialogs.Unexpected(), std::vector<std::string>{"QDialog"});
}

TEST(ScriptedDialogs, ADialogOfAnotherClassKeepsTheStepForTheRightOne)
{
    ScriptedDialogs dialogs;
    dialogs.When("QMessageBox", DialogResult::Accepted);
    QDialog dialog;
    EXPECT_EQ(RunDialog(dialog), DialogResult::Rejected);
    EXPECT_EQ(dialogs.Unexpected(), std::vector<std::string>{"QDialog instead of QMessageBox"});
    EXPECT_EQ(dialogs.Pending(), 1u);

    QMessageBox box;
    EXPECT_EQ(RunDialog(box), DialogResult::Accepted);
    EXPECT_EQ(dialogs.Pending(), 0u);
    EXPECT_EQ(dialogs.Opened(), (std::vector<std::string>{"QDialog", "QMessageBox"}));
}

TEST(ScriptedDialogs, StepsAreUsedInOrder)
{
    ScriptedDialogs dialogs;
    dialogs.When("QDialog", DialogResult::Accepted);
    dialogs.When("QDialog", DialogResult::Rejected);
    dialogs.When("QDialog", DialogResult::Accepted);
    QDialog dialog;
    EXPECT_EQ(RunDialog(dialog), DialogResult::Accepted);
    EXPECT_EQ(RunDialog(dialog), DialogResult::Rejected);
    EXPECT_EQ(RunDialog(dialog), DialogResult::Accepted);
    EXPECT_EQ(RunDialog(dialog), DialogResult::Rejected);
    EXPECT_EQ(dialogs.Unexpected().size(), 1u);
}

TEST(ScriptedDialogs, ADialogThatRefusesItsAnswerIsClosedAndReported)
{
    ScriptedDialogs dialogs;
    RefusingDialog dialog;
    dialogs.When("QDialog", DialogResult::Accepted);
    EXPECT_EQ(RunDialog(dialog), DialogResult::Rejected);
    EXPECT_EQ(dialog.accepts, 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialogs.Refused(), std::vector<std::string>{"QDialog"});
}

TEST(ScriptedDialogs, PutsThePreviousRunnerBack)
{
    QtDialogRunner program;
    ScopedService<DialogRunner> installed(&program);
    {
        ScriptedDialogs dialogs;
        EXPECT_EQ(FindService<DialogRunner>(), &dialogs);
    }
    EXPECT_EQ(FindService<DialogRunner>(), &program);
}

TEST(DialogAs, FindsOnlyTheClassAsked)
{
    QDialog dialog;
    QtModalDialog modal(dialog);
    EXPECT_EQ(DialogAs<QDialog>(modal), &dialog);
    EXPECT_EQ(DialogAs<QMessageBox>(modal), nullptr);
    EXPECT_EQ(modal.ClassName(), "QDialog");
}

TEST(QtModalDialog, ADeletedDialogAnswersRejected)
{
    auto* dialog = new QDialog;
    QtModalDialog modal(*dialog);
    delete dialog;
    EXPECT_EQ(modal.Dialog(), nullptr);
    EXPECT_FALSE(modal.IsOpen());
    EXPECT_EQ(modal.Exec(), DialogResult::Rejected);
    EXPECT_EQ(modal.ClassName(), "");
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
