#pragma once
// Modal dialogs in the program: RunDialog(dialog) hands a QDialog to the installed
// DialogRunner, which runs QDialog::exec in the program (platform/qt/QtDialogRunner.h) and a
// script in tests.
// A dialog class that tests name must carry Q_OBJECT, so that its class name is its own.

#include "platform/DialogRunner.h"

#include <QDialog>
#include <QPointer>

namespace kelvorn {

/// A QDialog as the runner sees it.
class QtModalDialog final : public ModalDialog
{
public:
    explicit QtModalDialog(QDialog& dialog) : dialog(&dialog) {}

    std::string ClassName() const override;
    DialogResult Exec() override;
    void Open() override;
    bool IsOpen() const override;
    void Accept() override;
    void Reject() override;
    void Finish(DialogResult result) override;
    DialogResult Result() const override;

    /// The dialog; nullptr once it was deleted.
    QDialog* Dialog() const { return dialog.data(); }

private:
    QPointer<QDialog> dialog;
};

/// Runs dialog modally through the installed DialogRunner.
DialogResult RunDialog(QDialog& dialog);

/// The dialog of a ModalDialog that wraps a QDialog of class D, or nullptr.
template <class D> D* DialogAs(ModalDialog& dialog)
{
    auto* qt = dynamic_cast<QtModalDialog*>(&dialog);
    return qt ? qobject_cast<D*>(qt->Dialog()) : nullptr;
}

} // namespace kelvorn
