#include "document/wave/UndoUnit.h"

#include "document/wave/UnitWave.h"

namespace kelvorn {

TUndoUnit::TUndoUnit(TUnitWave& unit)
    : unitWave(&unit), sound(unit.GetSound()), wavePos1(unit.GetPos1()), wavePos2(unit.GetPos2())
{
}

void TUndoUnit::Undo()
{
    unitWave->SwapUndo(*this);
    unitWave->SetModified();
    if (WaveWindowLink* window = unitWave->GetChildWave())
        window->RefreshWave();
}

} // namespace kelvorn
