#pragma once
// What the editing commands of a piece share: the groups of symbols they act on together (a
// tuplet, a chord, the notes and rests of a stave at one time) and the shift of what follows.

#include "music/core/MuzSymbols.h"
#include "music/core/PartMuz.h"

#include <functional>
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
/// Where the notes and rests of symbol's stave at its time end (the latest end), leaving out
/// those that leaves answers true for; the time itself when none is left (or for a clef).
double GroupEnd(TStaveSymbol* symbol, const std::function<bool(const TStaveSymbol*)>& leaves = {});
/// Moves every symbol of stave in part that stands after anchor (from the chain's start for
/// null) by delta, all by the same amount, re-sorting each as it moves. The first of them never
/// lands before floor: music after a group never moves into it, so no two groups ever come to
/// share a time (which would mix a tuplet with what is not its own).
void ShiftAfter(TSinglePartMuz& part, TStaveSymbol* anchor, const TNoteStave* stave, double delta,
                double floor);
/// Numbers the clefs of stave in part at position 1, 2, ... in their chain order.
void NumberKeys(TSinglePartMuz& part, const TNoteStave* stave, double position);
/// Adds by to the number of every clef of stave in part at position numbered from on, but
/// except, re-sorting each.
void RenumberKeys(TSinglePartMuz& part, const TNoteStave* stave, double position, int32_t from,
                  int32_t by, const TKey* except);

} // namespace kelvorn::muzedit
