#pragma once
// The music commands of the main window, one row per action: what the action runs on the piece,
// whether it may run now and whether it shows checked. The main window's actions, menus and
// shortcuts are built from this table, and so is everything that drives a piece the way a user
// would (the tests run random rows).

#include <functional>
#include <string_view>
#include <vector>

namespace kelvorn {

class TUnitMuz;

struct TMuzCommand
{
    /// The action's name ("MusicNote8", "MusicModeAdd", ...).
    const char* name;
    std::function<void(TUnitMuz&)> run;
    std::function<bool(const TUnitMuz&)> can;
    /// Empty for an action that never shows checked.
    std::function<bool(const TUnitMuz&)> checked;
};

/// Every row, in the order of the main window's music menus.
const std::vector<TMuzCommand>& MuzCommands();
/// The row of an action, or null for a name that is no music command.
const TMuzCommand* FindMuzCommand(std::string_view name);

} // namespace kelvorn
