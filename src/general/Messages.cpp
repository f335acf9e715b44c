#include "general/Messages.h"

#include "general/Services.h"

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
        return FirstButtonAnswer(buttons);
    }
};

StderrSink fallbackSink;

} // namespace

MessageSink& Messages()
{
    MessageSink* sink = FindService<MessageSink>();
    return sink ? *sink : fallbackSink;
}

MsgAnswer FirstButtonAnswer(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::YesNo:
    case MsgButtons::YesNoCancel:
        return MsgAnswer::Yes;
    case MsgButtons::Ok:
    case MsgButtons::OkCancel:
        break;
    }
    return MsgAnswer::Ok;
}

} // namespace kelvorn
