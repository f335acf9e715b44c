#pragma once
// A wave reference shown in and read from a dialog's combo box. The box lists the open wave
// documents by name, each item carrying its document as item data, so that reading the choice
// needs no second look-up by name (two documents may briefly share a name while one is renamed).

#include "document/records/WaveReference.h"

#include <string>
#include <vector>

class QComboBox;

namespace kelvorn {

/// Replaces the items of combo by the entries of list (as TMainFormLink::FillWaveList gives
/// them), each carrying its document; selects selected (-1: no selection).
void FillWaveComboItems(QComboBox& combo, const std::vector<WaveChoice>& list, int selected);

/// The document that item index of combo carries; nullptr for an item without one or an index
/// outside the box.
TUnitWave* WaveComboItemDocument(const QComboBox& combo, int index);

/// Reads the choice of combo into wave. Does nothing when ok is already false. Without a
/// selected item: the box "In <label>: You have to select a Wave" under "Input Error", wave
/// emptied and ok cleared, so the dialog stays open. Otherwise wave takes the item's text as its
/// caption and the item's document.
void ReadWaveCombo(unitUnitWave& wave, bool& ok, const QComboBox& combo, const std::string& label);

/// Selects the item of an already filled combo whose text equals wave's caption exactly. An
/// empty caption, or one the box does not list, leaves the selection as it was.
void FillWaveCombo(const unitUnitWave& wave, QComboBox& combo);

} // namespace kelvorn
