#pragma once
// Message boxes on QMessageBox.

#include "general/Messages.h"

namespace kelvorn {

class QtMessages final : public MessageSink
{
public:
    MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon icon,
                   MsgButtons buttons) override;
};

} // namespace kelvorn
