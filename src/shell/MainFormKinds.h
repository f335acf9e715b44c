#pragma once
// What the main window's action update and tool windows ask of the windows of each document
// kind beyond the document-window base. The wave, music and factory windows implement these as
// they arrive; a window that does not answers with the defaults the update documents. What a
// factory window answers is in window_base/SountoryListing.h, below the factory window's layer.

#include "window_base/SountoryListing.h"

#include <cstdint>
#include <string_view>

namespace kelvorn {

class TMDIChildKelvorn;
class TNoteStave;

/// A wave window's display state.
class WaveWindowState
{
public:
    virtual ~WaveWindowState() = default;
    /// Whether the window is in a zoomed mode (ZoomIn shows checked). A window that does not
    /// answer is not zoomed.
    virtual bool IsZoomed() const = 0;
};

/// A music window's answers to the music actions (their enabled and checked states) and its
/// status panels.
class MusicWindowState
{
public:
    virtual ~MusicWindowState() = default;
    /// Whether the music action called action (objectName, such as "MusicNote8" or
    /// "MusicModeAdd") may run now. Asked for every action of the music categories except
    /// MusicDialog and MusicParts.
    virtual bool CanExecute(std::string_view action) const = 0;
    /// Whether it shows checked (the edit modes, auto play, note stick, note and silence
    /// lengths, articulations, keys and note shifts).
    virtual bool IsChecked(std::string_view action) const = 0;
    /// Writes status panels 1 to 4 for the active music document.
    virtual void UpdateStatusPanels() = 0;
};

/// The Select and Zoom window, which follows the active wave window.
class SelZoomFollower
{
public:
    virtual ~SelZoomFollower() = default;
    /// Shows window's document (or none).
    virtual void SetChildWave(TMDIChildKelvorn* window) = 0;
    /// Re-reads the selection of window's document.
    virtual void SelectionChanged(TMDIChildKelvorn* window) = 0;
    /// Re-reads the zoom of pane (1 or 2).
    virtual void ZoomChanged(TMDIChildKelvorn* window, int pane) = 0;
};

/// The Music and Music Parts windows, which follow the active music window.
class MusicToolFollower
{
public:
    virtual ~MusicToolFollower() = default;
    /// Shows window's document (or none).
    virtual void SetChildMuz(TMDIChildKelvorn* window) = 0;
    /// The rooms of stave changed: refresh when it is the stave shown.
    virtual void StaveChanged(const TNoteStave& stave) = 0;
};

} // namespace kelvorn
