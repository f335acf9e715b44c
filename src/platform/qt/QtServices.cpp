#include "platform/qt/QtServices.h"

#include "platform/qt/QtMessages.h"

namespace kelvorn {

QtServices::QtServices() : messages(std::make_unique<QtMessages>())
{
    InstallMessages(messages.get());
}

QtServices::~QtServices()
{
    InstallMessages(nullptr);
}

} // namespace kelvorn
