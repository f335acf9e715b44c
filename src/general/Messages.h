#pragma once
// The one road by which model code reports to the user. Model layers know nothing of windows:
// they call the installed sink, which the program backs with real message boxes
// (platform/qt) and tests back with a scripted recorder (platform/test).

#include <string>

namespace kelvorn {

enum class MsgIcon { Information, Warning, Stop, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class MessageSink
{
public:
    virtual ~MessageSink() = default;
    /// Shows one modal box and answers the button the user chose.
    virtual MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon icon,
                           MsgButtons buttons) = 0;
};

/// The installed sink; without one, boxes go to standard error and answer the first button.
MessageSink& Messages();

/// Installs a sink (not owned); nullptr restores the standard-error fallback. Returns the
/// previous one so a test can put it back.
MessageSink* InstallMessages(MessageSink* sink);

} // namespace kelvorn
