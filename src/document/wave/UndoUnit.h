#pragma once
// The one-level undo of wave documents. Before a wave command changes a document the main
// window replaces its single record with a snapshot of it; the command then swaps a new sound
// into the document, so the record keeps the previous one. Undo swaps the two back; a second
// Undo swaps them again, and so redoes. No samples are copied: the record shares the sound.

#include "sound/Sound.h"

#include <cstdint>

namespace kelvorn {

class TUnitWave;

class TUndoUnit
{
public:
    /// A snapshot of unit: its sound and its two positions.
    explicit TUndoUnit(TUnitWave& unit);
    TUndoUnit(const TUndoUnit&) = delete;
    TUndoUnit& operator=(const TUndoUnit&) = delete;

    /// Exchanges sound and positions with the document's, marks it modified and refreshes its
    /// window.
    void Undo();

    TUnitWave* GetUnitWave() const { return unitWave; }
    const SoundPtr& GetSound() const { return sound; }
    int32_t GetPos1() const { return wavePos1; }
    int32_t GetPos2() const { return wavePos2; }

private:
    friend class TUnitWave; // SwapUndo exchanges the three fields

    TUnitWave* unitWave;
    SoundPtr sound;
    int32_t wavePos1;
    int32_t wavePos2;
};

} // namespace kelvorn
