#pragma once
// A message sink for tests: records every box and answers from a script. A box that the test
// did not announce with Expect() is an error that the test sees through Unexpected().

#include "general/Messages.h"

#include <deque>
#include <string>
#include <vector>

namespace kelvorn {

struct ShownMessage
{
    std::string text;
    std::string caption;
    MsgIcon icon;
    MsgButtons buttons;
};

class ScriptedMessages final : public MessageSink
{
public:
    /// Installs itself for its lifetime and restores the previous sink afterwards.
    ScriptedMessages();
    ~ScriptedMessages() override;

    /// Announces one more box; it will be answered with answer.
    void Expect(MsgAnswer answer = MsgAnswer::Ok) { script.push_back(answer); }

    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override;

    const std::vector<ShownMessage>& Shown() const { return shown; }
    /// Boxes that came without an Expect().
    const std::vector<ShownMessage>& Unexpected() const { return unexpected; }
    /// Answers announced but not used yet.
    size_t Pending() const { return script.size(); }
    void Clear();

private:
    MessageSink* previous;
    std::deque<MsgAnswer> script;
    std::vector<ShownMessage> shown;
    std::vector<ShownMessage> unexpected;
};

} // namespace kelvorn
