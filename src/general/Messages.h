#pragma once
// The one road by which model code reports to the user. Model layers know nothing of windows:
// they call the sink installed in the service registry (general/Services.h), which the program
// backs with real message boxes (platform/qt) and tests back with a scripted recorder
// (platform/test).

#include <string>

namespace kelvorn {

enum class MsgIcon { Information, Warning, Stop, Error, Question };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgAnswer { Ok, Cancel, Yes, No };

class MessageSink
{
public:
    static constexpr const char* ServiceName = "MessageSink";
    virtual ~MessageSink() = default;
    /// Shows one modal box and answers the button the user chose.
    virtual MsgAnswer Show(const std::string& text, const std::string& caption, MsgIcon icon,
                           MsgButtons buttons) = 0;
};

/// The sink installed with InstallService<MessageSink>; without one, boxes go to standard
/// error and answer the first button.
MessageSink& Messages();

/// The answer of a box's first button (OK or Yes): what a box answers that nobody can see.
MsgAnswer FirstButtonAnswer(MsgButtons buttons);

} // namespace kelvorn
