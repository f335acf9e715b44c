#pragma once
// Installs the Qt implementations of the platform services for the lifetime of this object:
// the message boxes, the clock, the screen, the temporary directory, the dialog runner, the
// help window, the file dialogs and the colour dialog; and gives every dialog and box its owner
// (QtWindowOwners.h). Create it after the QApplication; its
// end removes the temporary directory.

#include <memory>

namespace kelvorn {

class QtMessages;
class QtClock;
class QtScreen;
class QtTempDir;
class QtDialogRunner;
class QtHelp;
class QtFileDialogs;
class QtColorDialog;
class QtWindowOwners;

class QtServices
{
public:
    QtServices();
    ~QtServices();
    QtServices(const QtServices&) = delete;
    QtServices& operator=(const QtServices&) = delete;

private:
    std::unique_ptr<QtWindowOwners> owners;
    std::unique_ptr<QtMessages> messages;
    std::unique_ptr<QtClock> clock;
    std::unique_ptr<QtScreen> screen;
    std::unique_ptr<QtTempDir> tempDir;
    std::unique_ptr<QtDialogRunner> dialogRunner;
    std::unique_ptr<QtHelp> help;
    std::unique_ptr<QtFileDialogs> fileDialogs;
    std::unique_ptr<QtColorDialog> colorDialog;
};

} // namespace kelvorn
