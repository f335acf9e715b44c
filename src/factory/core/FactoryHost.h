#pragma once
// What only the application knows about the other open documents and the screen, asked by the
// factory model: the shell implements it, tests record it.

#include "sound/Sound.h"

#include <string>
#include <vector>

namespace kelvorn {

class TUnitSountory;
class TSountoryNode;
class TSountoryInput;

class FactoryHost
{
public:
    virtual ~FactoryHost() = default;
    /// The current sound of the open wave document of exactly that name; null when none is open.
    virtual SoundPtr FindWaveSound(const std::string& name) = 0;
    /// The open factory document of exactly that name; null when none is.
    virtual TUnitSountory* FindFactory(const std::string& name) = 0;
    /// The open factories other than except, in window order.
    virtual std::vector<TUnitSountory*> ListFactories(const TUnitSountory* except) = 0;
    /// True when the name is empty or no other open document bears it (else the shell says so).
    virtual bool CheckUniqueName(const std::string& name, const TUnitSountory* except) = 0;
    /// Shows the text in the status bar panel of the factory kind.
    virtual void ShowStatusText(const std::string& text) = 0;
    /// Asks OK or Cancel in a warning box; true for OK.
    virtual bool ConfirmWarning(const std::string& text, const std::string& caption) = 0;
    /// A node of a run changed its state (turn 0) or a repeat node starts turn turn. The host
    /// may show it and set the stop flag, which ends the run at the next poll.
    virtual void ShowRunProgress(const TSountoryNode& /*node*/, int32_t /*turn*/,
                                 AbortFlag* /*stop*/)
    {
    }
    /// The names of the open wave documents a value of a Wave pin may name, in window order:
    /// mode 0 every one, 2 the mono and 3 the stereo ones other than the active window. A host
    /// without wave windows offers none.
    virtual std::vector<std::string> ListWaves(int32_t /*mode*/) { return {}; }
    /// A factory was renamed in its properties: the Edit Name tool window shows the new name.
    virtual void SetEditName(const std::string& /*name*/) {}
};

/// The values dialog as the step before a top-level run uses it; false when it is cancelled.
class SntValuesAsker
{
public:
    virtual ~SntValuesAsker() = default;
    /// The user chooses a value type for each of these inputs.
    virtual bool AskTypes(const std::vector<TSountoryInput*>& inputs) = 0;
    /// The user gives each of these inputs its value.
    virtual bool AskValues(const std::vector<TSountoryInput*>& inputs) = 0;
};

} // namespace kelvorn
