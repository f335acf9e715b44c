#pragma once
// A change-wave-window run: a factory run on the wave of a wave document and its selection,
// whose result replaces the wave. The wave document knows nothing of factories; the run reaches
// it through its public operations (its sound, positions, abort flag and change frame), so the
// document layer stays below the factory.

#include "factory/core/UnitSountory.h"

#include <string>

namespace kelvorn {

class TUnitWave;

/// The sound a document keeps of a run's result: the result itself when the run made it and
/// nobody else holds it (its run mark cleared), else a copy of the same kind, since the run
/// only passed it through. Null when the copy was stopped (stop set).
SoundPtr AdoptRunResult(SoundPtr made, AbortFlag* stop);

/// Runs factory on wave: the wave's sound goes to the input "Wave", its range and part to
/// "Select Begin", "Select End", "Replace Begin" and "Replace End" (those that exist), and the
/// sound at the output "Result" replaces the wave, the outputs "Position Begin" and "Position
/// End" (those that are filled) giving its selection. The wave's abort flag is the run's stop
/// flag. False with the reason in message; the wave then keeps its sound and its selection.
bool RunFactoryAtWave(TUnitSountory& factory, TUnitWave& wave, SntValuesAsker& asker,
                      std::string& message);

} // namespace kelvorn
