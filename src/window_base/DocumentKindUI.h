#pragma once
// One kind of document as the main window sees it. Each kind (waves, music pieces, sound
// factories) brings one of these and registers it at start; the main window's generic file and
// project commands, its action update and its status bar go through it, so that the shell
// never decides by the kind itself. A kind's window layer implements it; the stored-file facts
// of the kind (project element, extension, words) live with the documents (DocumentKind.h).

#include "document/DocumentKind.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kelvorn {

class Sound;
class TFileUnit;
class TMDIChildKelvorn;

/// What Play plays of a window: the values [begin, end) of sound.
struct TPlaySource
{
    std::shared_ptr<Sound> sound;
    int32_t begin = 0;
    int32_t end = 0;
};

class TDocumentKindUI
{
public:
    virtual ~TDocumentKindUI() = default;

    virtual DocumentKind GetKind() const = 0;

    /// Installs the kind's own commands (its New, Open and Duplicate actions).
    virtual void InstallCommands() = 0;

    /// Opens path in a new window, for the command line and for a project: from copy (a
    /// project's saved copy, may be empty), else from path; keepClean leaves change tracking
    /// off. A kind decides what a missing copy means (a piece's fails the open; a wave's copy
    /// may hold its side file alone). Null when it could not be read: the kind showed its box,
    /// message may add the reason.
    virtual TFileUnit* OpenFile(const std::string& path, const std::string& copy, bool keepClean,
                                std::string& message) = 0;
    /// Saves the window's document (Save As when it has no file); whether it was saved.
    virtual bool Save(TMDIChildKelvorn& window) = 0;
    /// The kind's save dialog, then the document under the chosen name; whether it was saved.
    virtual bool SaveAs(TMDIChildKelvorn& window) = 0;
    /// Reads the window's document from its file again.
    virtual void Revert(TMDIChildKelvorn& window) = 0;
    /// The file properties of the window's document.
    virtual void EditProperties(TMDIChildKelvorn& window) = 0;
    /// What Play plays of the window's document; false for nothing (a kind without sound, an
    /// empty wave, a piece that renders to nothing or fails, which has said why).
    virtual bool GetPlaySource(TMDIChildKelvorn& /*window*/, TPlaySource& /*source*/)
    {
        return false;
    }
    /// Runs what a key that several kinds share (L, B, Alt+N, Ctrl+Del, ...; the actions named
    /// "key..." in the main window) means for the kind's active window; false when it means
    /// nothing to the kind.
    virtual bool RunSharedKey(TMDIChildKelvorn& /*window*/, std::string_view /*key*/)
    {
        return false;
    }

    /// Shows the kind's menus and toolbars, hides the others': run when the active window's
    /// kind changed.
    virtual void ArrangeActions() = 0;
    /// The kind's rule of the action update, for its active window.
    virtual void UpdateActions(TMDIChildKelvorn& window) = 0;
    /// Writes status panels 2 to 7 for the active window.
    virtual void UpdateStatusPanels(TMDIChildKelvorn& window) = 0;
};

} // namespace kelvorn
