#include "general/Assert.h"

#include "general/Messages.h"

#include <string>

namespace kelvorn {

void ReportAssertFailed(const char* condition, const char* file, int line)
{
    std::string name = file;
    auto slash = name.find_last_of('/');
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    // No blank before "failed!": the box has always read this way.
    Messages().Show("In " + name + " line " + std::to_string(line) + ": Condition \"" + condition +
                        "\"failed!",
                    "Assertion failed", MsgIcon::Information, MsgButtons::Ok);
}

} // namespace kelvorn
