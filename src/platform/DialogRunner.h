#pragma once
// Modal dialogs are started through the DialogRunner service rather than by calling the
// toolkit's modal loop directly. The program's runner runs that loop; a test's runner acts on
// the dialog from a script instead, so that no test ever waits on a modal box.
//
// This layer knows no toolkit: a dialog reaches the runner wrapped in a ModalDialog
// (window_base/QtModalDialog.h wraps a QDialog and has RunDialog for callers).

#include <string>

namespace kelvorn {

enum class DialogResult { Rejected, Accepted };

/// One modal dialog as the runner sees it.
class ModalDialog
{
public:
    virtual ~ModalDialog() = default;

    /// The dialog's class name without namespace, such as "TDlgResetDie".
    virtual std::string ClassName() const = 0;

    /// Shows the dialog and runs its own modal loop until it closes.
    virtual DialogResult Exec() = 0;

    /// Shows the dialog without a loop of its own, so that a script can act on it.
    virtual void Open() = 0;
    /// Whether the dialog is open: shown and not closed yet.
    virtual bool IsOpen() const = 0;

    /// Presses OK (or Cancel) as the user would: the dialog may refuse and stay open.
    virtual void Accept() = 0;
    virtual void Reject() = 0;
    /// Closes the dialog with result whatever the dialog thinks of it.
    virtual void Finish(DialogResult result) = 0;
    /// The result the dialog closed with; Rejected while it never closed.
    virtual DialogResult Result() const = 0;
};

class DialogRunner
{
public:
    static constexpr const char* ServiceName = "DialogRunner";
    virtual ~DialogRunner() = default;

    /// Runs dialog modally and answers the result it closed with.
    virtual DialogResult Run(ModalDialog& dialog) = 0;
};

} // namespace kelvorn
