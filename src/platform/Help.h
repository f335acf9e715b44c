#pragma once
// The program's help: its own pages, one per dialog help context number and a contents page.
// Help buttons pass their dialog's context number; the Help menu asks for the contents, the
// topic list and the page on using help.

#include <string>

namespace kelvorn {

class Help
{
public:
    static constexpr const char* ServiceName = "Help";
    virtual ~Help() = default;

    /// Shows the page of a help context number (a Help button's dialog number). A number
    /// without a page of its own shows the contents.
    virtual void ShowContext(int context) = 0;
    virtual void ShowContents() = 0;
    /// The list of every topic, to search in.
    virtual void ShowTopicSearch() = 0;
    virtual void ShowHelpOnHelp() = 0;
    /// Closes the help window, when one shows: the program's main window takes it along.
    virtual void CloseWindow() = 0;
};

/// The help context numbers of the program's dialogs where no other part of the program
/// fixes them.
namespace HelpContexts {
/// The seed dialog "Reset die".
inline constexpr int ResetDie = 66;
/// The first number of the sound factory's builtin functions: their help is this plus the
/// function's kind.
inline constexpr int BuiltinFunctionBase = 1024;
} // namespace HelpContexts

/// The file name of the page that shows context: "context-<n>.html", every builtin function
/// on "context-1024.html". hasPage tells whether such a page exists; without one the
/// contents page "index.html" is answered.
template <class HasPage> std::string HelpPageFor(int context, HasPage hasPage)
{
    if (context >= HelpContexts::BuiltinFunctionBase)
        context = HelpContexts::BuiltinFunctionBase;
    std::string page = "context-" + std::to_string(context) + ".html";
    return context > 0 && hasPage(page) ? page : std::string("index.html");
}

} // namespace kelvorn
