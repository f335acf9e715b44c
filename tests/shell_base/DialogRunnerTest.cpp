#include "general/Services.h"
#include "platform/qt/QtDialogRunner.h"
#include "shell/base/QtModalDialog.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

using namespace kelvorn;

namespace {

} // namespace

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
