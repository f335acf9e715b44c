#include "platform/qt/QtServices.h"

#include "general/Services.h"
#include "platform/qt/QtClock.h"
#include "platform/qt/QtColorDialog.h"
#include "platform/qt/QtDialogRunner.h"
#include "platform/qt/QtFileDialogs.h"
#include "platform/qt/QtHelp.h"
#include "platform/qt/QtMessages.h"
#include "platform/qt/QtScreen.h"
#include "platform/qt/QtTempDir.h"
#include "platform/qt/QtWindowOwners.h"

namespace kelvorn {

QtServices::QtServices()
    : owners(std::make_unique<QtWindowOwners>()), messages(std::make_unique<QtMessages>()),
      clock(std::make_unique<QtClock>()), screen(std::make_unique<QtScreen>()),
      tempDir(std::make_unique<QtTempDir>()), dialogRunner(std::make_unique<QtDialogRunner>()),
      help(std::make_unique<QtHelp>()), fileDialogs(std::make_unique<QtFileDialogs>()),
      colorDialog(std::make_unique<QtColorDialog>())
{
    InstallService<MessageSink>(messages.get());
    InstallService<Clock>(clock.get());
    InstallService<Screen>(screen.get());
    InstallService<TempDir>(tempDir.get());
    InstallService<DialogRunner>(dialogRunner.get());
    InstallService<Help>(help.get());
    InstallService<FileDialogs>(fileDialogs.get());
    InstallService<ColorDialog>(colorDialog.get());
}

QtServices::~QtServices()
{
    InstallService<ColorDialog>(nullptr);
    InstallService<FileDialogs>(nullptr);
    InstallService<Help>(nullptr);
    InstallService<DialogRunner>(nullptr);
    InstallService<TempDir>(nullptr);
    InstallService<Screen>(nullptr);
    InstallService<Clock>(nullptr);
    InstallService<MessageSink>(nullptr);
}

} // namespace kelvorn
