#pragma once
// A message sink for tests that let boxes happen and check them afterwards: it records every
// box, as a whole and as "caption: text", and answers OK (or passes it on, see passOn). Use
// ScriptedMessages where each box must be announced and answered.

#include "general/Messages.h"
#include "general/Services.h"
#include "platform/test/ScriptedMessages.h"

#include <functional>
#include <string>
#include <vector>

namespace kelvorn {

class RecordingMessages final : public MessageSink
{
public:
    /// Installs itself for its lifetime and restores the previous sink afterwards.
    RecordingMessages() : previous(InstallService<MessageSink>(this)) {}
    ~RecordingMessages() override { InstallService<MessageSink>(previous); }
    RecordingMessages(const RecordingMessages&) = delete;
    RecordingMessages& operator=(const RecordingMessages&) = delete;

    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override
    {
        boxes.push_back({text, caption, icon, buttons});
        texts.push_back(caption + ": " + text);
        if (whileShown)
            whileShown();
        return passOn && previous ? previous->Show(text, caption, icon, buttons) : MsgAnswer::Ok;
    }

    /// True when a box reported the failed condition cond.
    bool Saw(const std::string& cond) const
    {
        for (const auto& t : texts)
            if (t.find("Condition \"" + cond + "\"failed!") != std::string::npos)
                return true;
        return false;
    }

    std::vector<ShownMessage> boxes;
    std::vector<std::string> texts;
    /// Runs while each box is open: what the user, or a program ended then, would find.
    std::function<void()> whileShown;
    /// When set, each box goes on, after whileShown, to the sink this one replaced, and is
    /// answered there: a scripted sink below goes on announcing and answering the boxes.
    bool passOn = false;

private:
    MessageSink* previous;
};

} // namespace kelvorn
