#include "platform/test/ScriptedColorDialogs.h"

namespace kelvorn {

bool ScriptedColorDialogs::ChooseColor(int32_t& color)
{
    started.push_back(color);
    if (script.empty()) {
        ++unexpected;
        return false;
    }
    const std::optional<int32_t> answer = script.front();
    script.pop_front();
    if (!answer)
        return false;
    color = *answer & 0xFFFFFF;
    return true;
}

} // namespace kelvorn
