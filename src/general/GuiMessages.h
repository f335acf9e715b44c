#pragma once
// The fixed message boxes of the library and the shell. Each shows one modal box with one OK
// button through the message sink (Messages.h); the texts are the program's own, odd spelling
// included. The class holds nothing: call TGuiMessages::ShowMemoryError() and the like.

#include <string>

namespace kelvorn {

class TGuiMessages
{
public:
    /// "There is not enough memmory for this operation." under "System Error".
    static void ShowMemoryError();
    /// "Could not create sinus." under "System Error", stop icon.
    static void ShowSinusError();
    /// The temporary directory could not be made: play and record stay off (warning icon).
    static void ShowCreateDirError(const std::string& dir);
    /// The audio device can neither play nor record: reason (without a full stop), then the
    /// same ". Play and Record disabled" (warning icon).
    static void ShowAudioUnavailableError(const std::string& reason);
    /// A new window's name is taken.
    static void ShowWindowExistsError(const std::string& name);
    /// A window named in a project file is taken (the text has no full stop).
    static void ShowProjectWindowExistsError(const std::string& file, const std::string& name);
    /// text under "File Error", stop icon.
    static void ShowFileError(const std::string& text);
    /// "In <field>: <text>" under "Input Error".
    static void ShowFieldInputError(const std::string& field, const std::string& text);
    /// text under "Input Error".
    static void ShowInputError(const std::string& text);
    /// "In <field>: Field should not be empty." under "Input Error".
    static void ShowFieldEmptyError(const std::string& field);
    /// The soft assertion: "In <file> line <line>: Condition "<condition>"failed!" under
    /// "Assertion failed"; the caller goes on.
    static void ShowAssertFailed(const std::string& condition, const std::string& file, int line);
};

} // namespace kelvorn
