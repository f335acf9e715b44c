#include "general/Messages.h"

#include <cstdio>

namespace kelvorn {

namespace {

class StderrSink final : public MessageSink
{
public:
    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon,
                   MsgButtons buttons) override
    {
        std::fprintf(stderr, "[%s] %s\n", caption.c_str(), text.c_str());
        switch (buttons) {
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return MsgAnswer::Yes;
        default:
            return MsgAnswer::Ok;
        }
    }
};

StderrSink fallbackSink;
MessageSink* installedSink = nullptr;

} // namespace

MessageSink& Messages()
{
    return installedSink ? *installedSink : fallbackSink;
}

MessageSink* InstallMessages(MessageSink* sink)
{
    MessageSink* previous = installedSink;
    installedSink = sink;
    return previous;
}

} // namespace kelvorn
