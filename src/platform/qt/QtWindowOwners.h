#pragma once
// Who owns the program's top-level windows, as the window manager sees it. A dialog or message
// box belongs to the window the user works in when it opens (a tool window, another dialog, the
// main window), so that the window manager keeps it above that window, and with it above every
// tool window, which belongs to the main window (window_base/ToolWindow.h). No window of the
// program stays on top of other programs.
//
// One QtWindowOwners watches every window of the application while it lives (QtServices holds
// one), so every dialog and box gets its owner without code of its own, whichever way it is
// opened: through RunDialog, the message and file dialog services, or a toolkit dialog.

#include <QObject>

class QWidget;

namespace kelvorn {

/// The window a dialog that opens now belongs to: the active window, else the modal dialog on
/// top; null when the program has neither.
QWidget* DialogOwner();

class QtWindowOwners final : public QObject
{
public:
    QtWindowOwners();
    ~QtWindowOwners() override;
    QtWindowOwners(const QtWindowOwners&) = delete;
    QtWindowOwners& operator=(const QtWindowOwners&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kelvorn
