#include "general/Assert.h"

#include "general/GuiMessages.h"

#include <string>

namespace kelvorn {

void ReportAssertFailed(const char* condition, const char* file, int line)
{
    std::string name = file;
    auto slash = name.find_last_of('/');
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    TGuiMessages::ShowAssertFailed(condition, name, line);
}

} // namespace kelvorn
