#include "general/HeldMessages.h"

#include <utility>

namespace kelvorn {

HeldMessages::HeldMessages() : below(Messages()) {}

HeldMessages::~HeldMessages()
{
    ShowHeld();
}

MsgAnswer HeldMessages::Show(const std::string& text, const std::string& caption, MsgIcon icon,
                             MsgButtons buttons)
{
    if (buttons == MsgButtons::Ok) {
        const std::lock_guard<std::mutex> lock(mutex);
        if (!released) {
            held.push_back({text, caption, icon});
            return MsgAnswer::Ok;
        }
    }
    return below.Show(text, caption, icon, buttons);
}

void HeldMessages::ShowHeld()
{
    std::vector<Box> boxes;
    {
        // Not held while the boxes are open: a worker's box must not wait for the user.
        const std::lock_guard<std::mutex> lock(mutex);
        released = true;
        boxes = std::move(held);
        held.clear();
    }
    for (const Box& box : boxes)
        below.Show(box.text, box.caption, box.icon, MsgButtons::Ok);
}

} // namespace kelvorn
