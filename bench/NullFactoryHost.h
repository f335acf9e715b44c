#pragma once
// A factory host for benchmarks that never look up waves or other factories and show nothing.
#include "factory/core/FactoryHost.h"

namespace kelvorn::bench {

class NullFactoryHost : public FactoryHost
{
public:
    SoundPtr FindWaveSound(const std::string&) override { return nullptr; }
    TUnitSountory* FindFactory(const std::string&) override { return nullptr; }
    std::vector<TUnitSountory*> ListFactories(const TUnitSountory*) override { return {}; }
    bool CheckUniqueName(const std::string&, const TUnitSountory*) override { return true; }
    void ShowStatusText(const std::string&) override {}
    bool ConfirmWarning(const std::string&, const std::string&) override { return true; }
};

} // namespace kelvorn::bench
