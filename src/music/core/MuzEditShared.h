#pragma once
// What the editing commands of a piece share: the groups of symbols they act on together (a
// tuplet, a chord, the notes and rests of a stave at one time) and the shift of what follows.

#include "music/core/MuzSymbols.h"
#include "music/core/PartMuz.h"

#include <vector>

namespace kelvorn::muzedit {

/// The members of symbol's tuplet on its stave (its chords included), in chain order; the
/// symbol alone outside a tuplet.
std::vector<TStaveTimeSymbol*> TupletOf(TStaveTimeSymbol* symbol);
/// The notes of symbol's chord: its stave's notes at its time and place in a tuplet.
std::vector<TMuzNote*> ChordOf(TStaveSymbol* symbol);
/// Whether one of symbols is a note.
bool HoldsNote(const std::vector<TStaveTimeSymbol*>& symbols);
/// The notes and rests of symbol's stave at its time, a clef alone: what moves in time with it.
std::vector<TStaveSymbol*> TimeGroupOf(TStaveSymbol* symbol);
/// The last symbol of symbol's time group in chain order.
TStaveSymbol* LastOfGroup(TStaveSymbol* symbol);
/// Moves every symbol of stave in part that stands after anchor (from the chain's start for
/// null) by delta, never before floor, re-sorting each as it moves.
void ShiftAfter(TSinglePartMuz& part, TStaveSymbol* anchor, const TNoteStave* stave, double delta,
                double floor);
/// Adds by to the number of every clef of stave in part at position numbered from on, but
/// except, re-sorting each.
void RenumberKeys(TSinglePartMuz& part, const TNoteStave* stave, double position, int32_t from,
                  int32_t by, const TKey* except);

} // namespace kelvorn::muzedit
