#pragma once
// A message sink that holds boxes back while work that may fail is under way, so that the work
// can undo what it made before the user reads why it failed (and perhaps ends the program while
// the box is open). Installed with ScopedService<MessageSink> over the sink it was made on, it
// keeps every box that only informs (one OK button, whose answer is known) and passes every box
// that asks a question straight on, since its answer is needed now. ShowHeld then shows the kept
// boxes through the sink below, as they came.

#include "general/Messages.h"

#include <mutex>
#include <string>
#include <vector>

namespace kelvorn {

class HeldMessages final : public MessageSink
{
public:
    /// Holds for the sink installed now (Messages()).
    HeldMessages();
    /// Shows what is still held.
    ~HeldMessages() override;
    HeldMessages(const HeldMessages&) = delete;
    HeldMessages& operator=(const HeldMessages&) = delete;

    /// Keeps a box with MsgButtons::Ok and answers MsgAnswer::Ok; passes any other on.
    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override;
    /// Shows the held boxes through the sink below, in the order they came. Boxes that reach
    /// this sink afterwards (a worker thread that found it still installed) pass straight on.
    void ShowHeld();

private:
    struct Box
    {
        std::string text;
        std::string caption;
        MsgIcon icon;
    };

    MessageSink& below;
    // A soft assertion on a worker thread reaches the sink installed at the time.
    std::mutex mutex;
    std::vector<Box> held;
    bool released = false;
};

} // namespace kelvorn
