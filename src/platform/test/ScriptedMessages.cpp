#include "platform/test/ScriptedMessages.h"

#include "general/Services.h"

namespace kelvorn {

ScriptedMessages::ScriptedMessages() : previous(InstallService<MessageSink>(this)) {}

ScriptedMessages::~ScriptedMessages()
{
    InstallService<MessageSink>(previous);
}

MsgAnswer ScriptedMessages::Show(const std::string& text, const std::string& caption, MsgIcon icon,
                                 MsgButtons buttons)
{
    ShownMessage message{text, caption, icon, buttons};
    shown.push_back(message);
    if (script.empty()) {
        unexpected.push_back(message);
        return MsgAnswer::Cancel;
    }
    MsgAnswer answer = script.front();
    script.pop_front();
    return answer;
}

void ScriptedMessages::Clear()
{
    script.clear();
    shown.clear();
    unexpected.clear();
}

} // namespace kelvorn
