#include "platform/qt/QtServices.h"

#include "platform/Services.h"
#include "platform/qt/QtClock.h"
#include "platform/qt/QtMessages.h"
#include "platform/qt/QtScreen.h"
#include "platform/qt/QtTempDir.h"

namespace kelvorn {

QtServices::QtServices()
    : messages(std::make_unique<QtMessages>()), clock(std::make_unique<QtClock>()),
      screen(std::make_unique<QtScreen>()), tempDir(std::make_unique<QtTempDir>())
{
    InstallMessages(messages.get());
    InstallService<Clock>(clock.get());
    InstallService<Screen>(screen.get());
    InstallService<TempDir>(tempDir.get());
}

QtServices::~QtServices()
{
    InstallService<TempDir>(nullptr);
    InstallService<Screen>(nullptr);
    InstallService<Clock>(nullptr);
    InstallMessages(nullptr);
}

} // namespace kelvorn
