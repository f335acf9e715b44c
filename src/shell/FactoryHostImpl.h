#pragma once
// The main window as the factories and their windows see it: the open waves and factories found
// by name, the factory lists, unique names, the status panel, the warning before a connection
// whose values never match, the Edit Name window, a click into a factory window, a new factory
// made for a node, and the progress of a run (its node redrawn at once, the Stop box of a long
// run). Every factory document is made with this host, which must outlive them; it installs
// itself as the FactoryWindowHost for its lifetime.

#include "factory/core/FactoryHost.h"
#include "factory/ui/FactoryWindowHost.h"
#include "factory/ui/RunStopBox.h"

#include <chrono>
#include <functional>
#include <memory>

namespace kelvorn {

class TMainForm;

class TMainFactoryHost final : public FactoryHost, public FactoryWindowHost
{
public:
    /// form: not owned, must outlive the host. newFactoryForNode makes the factory for "Create
    /// Factory for Node".
    TMainFactoryHost(TMainForm& form, std::function<void(const TSountoryNode&)> newFactoryForNode);
    ~TMainFactoryHost() override;
    TMainFactoryHost(const TMainFactoryHost&) = delete;
    TMainFactoryHost& operator=(const TMainFactoryHost&) = delete;

    // ---- FactoryHost ----
    SoundPtr FindWaveSound(const std::string& name) override;
    TUnitSountory* FindFactory(const std::string& name) override;
    std::vector<TUnitSountory*> ListFactories(const TUnitSountory* except) override;
    bool CheckUniqueName(const std::string& name, const TUnitSountory* except) override;
    /// Status panel 1.
    void ShowStatusText(const std::string& text) override;
    /// A warning box with OK and Cancel.
    bool ConfirmWarning(const std::string& text, const std::string& caption) override;
    /// Redraws the node in its factory's window at once; during a run started with BeginRun,
    /// the Stop box.
    void ShowRunProgress(const TSountoryNode& node, int32_t turn, AbortFlag* stop) override;
    std::vector<std::string> ListWaves(int32_t mode) override;
    void SetEditName(const std::string& name) override;

    // ---- FactoryWindowHost ----
    void FactChildActivated(TMDIChildFact& window) override;
    void NewFactoryForNode(const TSountoryNode& node) override;

    // ---- Runs ----

    /// A run of the factory called name begins: a run longer than the delay gets its Stop box.
    void BeginRun(const std::string& name);
    /// The run ended: the box goes, and the factory windows show the final run states.
    void EndRun();
    /// How long a run goes before its Stop box shows (half a second).
    void SetStopBoxDelay(std::chrono::milliseconds delay) { stopBoxDelay = delay; }
    /// The watch of the run under way; null between runs.
    TFactoryRunWatch* RunWatch() const { return watch.get(); }

private:
    TMainForm& form;
    std::function<void(const TSountoryNode&)> newFactoryForNode;
    FactoryWindowHost* previous;
    std::chrono::milliseconds stopBoxDelay = TFactoryRunWatch::DefaultDelay;
    std::unique_ptr<TFactoryRunWatch> watch;
};

} // namespace kelvorn
