#pragma once
// The program's dialog runner: every modal dialog runs its own modal loop. Dialogs reach it
// wrapped in a ModalDialog (window_base/QtModalDialog.h wraps a QDialog), so the runner needs no
// widget of its own.

#include "platform/DialogRunner.h"

namespace kelvorn {

class QtDialogRunner final : public DialogRunner
{
public:
    DialogResult Run(ModalDialog& dialog) override { return dialog.Exec(); }
};

} // namespace kelvorn
