#include "general/GuiMessages.h"

#include "general/Messages.h"

namespace kelvorn {

namespace {

void ShowOk(const std::string& text, const char* caption, MsgIcon icon)
{
    Messages().Show(text, caption, icon, MsgButtons::Ok);
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

// Every reason that takes play and record away ends alike.
void ShowPlayRecordDisabled(const std::string& reason)
{
    ShowOk(reason + ". Play and Record disabled", "Error", MsgIcon::Warning);
}

} // namespace

void TGuiMessages::ShowMemoryError()
{
    // Kept as written: "memmory".
    ShowOk("There is not enough memmory for this operation.", "System Error", MsgIcon::Information);
}

void TGuiMessages::ShowSinusError()
{
    ShowOk("Could not create sinus.", "System Error", MsgIcon::Stop);
}

void TGuiMessages::ShowCreateDirError(const std::string& dir)
{
    ShowPlayRecordDisabled("Could not create directory " + Quoted(dir));
}

void TGuiMessages::ShowAudioUnavailableError(const std::string& reason)
{
    ShowPlayRecordDisabled(reason);
}

void TGuiMessages::ShowWindowExistsError(const std::string& name)
{
    ShowOk("A window with name " + Quoted(name) + " already exists.", "Error",
           MsgIcon::Information);
}

void TGuiMessages::ShowProjectWindowExistsError(const std::string& file, const std::string& name)
{
    ShowOk("When opening file " + Quoted(file) + " from project, a window with name " +
               Quoted(name) + " already exists",
           "Error", MsgIcon::Information);
}

void TGuiMessages::ShowFileError(const std::string& text)
{
    ShowOk(text, "File Error", MsgIcon::Stop);
}

void TGuiMessages::ShowFieldInputError(const std::string& field, const std::string& text)
{
    ShowOk("In " + field + ": " + text, "Input Error", MsgIcon::Information);
}

void TGuiMessages::ShowInputError(const std::string& text)
{
    ShowOk(text, "Input Error", MsgIcon::Information);
}

void TGuiMessages::ShowFieldEmptyError(const std::string& field)
{
    ShowOk("In " + field + ": Field should not be empty.", "Input Error", MsgIcon::Information);
}

void TGuiMessages::ShowAssertFailed(const std::string& condition, const std::string& file, int line)
{
    // No blank before "failed!": the box has always read this way.
    ShowOk("In " + file + " line " + std::to_string(line) + ": Condition " + Quoted(condition) +
               "failed!",
           "Assertion failed", MsgIcon::Information);
}

} // namespace kelvorn
