#pragma once
// What the wave document operations share: taking an envelope a record names, and installing
// an engine result with the positions and the repaint that follow. Internal to the operations.

#include "document/records/WaveReference.h"
#include "document/wave/UnitWave.h"
#include "document/wave/UnitWaveRecords.h"
#include "document/wave/WaveDocumentOps.h"
#include "sound/Sound.h"

#include <cstdint>
#include <string>

namespace kelvorn::waveops::detail {

/// Starts an operation and keeps its settings in the document's records, where the next dialog
/// finds them; the operation then reads the kept copy.
template <typename Props>
const Props& Remember(TUnitWave& unit, Props TUnitWaveRecords::*slot, const Props& props)
{
    unit.BeginOperation();
    TUnitWaveRecords& records = unit.Records();
    records.*slot = props;
    return records.*slot;
}

/// The sound of the document a record's reference names, kept alive for the operation. Without
/// a document (no dialog read the reference) nothing is read: false, and result says which
/// window is missing.
bool TakeEnvelope(const unitUnitWave& reference, SoundPtr& sound, WaveOpResult& result);

/// The engine gave nothing: stopped when the abort flag is set, else refused for error.
WaveOpResult Failure(const TUnitWave& unit, const std::string& error);

/// Installs result when the engine finished (a result and a clear flag); false otherwise.
bool Install(TUnitWave& unit, SoundUPtr result);

void RefreshWave(TUnitWave& unit);

/// The end of an operation that keeps the positions: install, then repaint.
WaveOpResult FinishKeep(TUnitWave& unit, SoundUPtr result, const std::string& error);

/// The end of an operation framed by BeginWaveChange: install, EndWaveChange with begin and end
/// as they now stand (the engine leaves them alone when it fails), then repaint.
WaveOpResult FinishChange(TUnitWave& unit, SoundUPtr result, const std::string& error,
                          int32_t begin, int32_t end);

} // namespace kelvorn::waveops::detail
