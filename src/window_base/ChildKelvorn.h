#pragma once
// The base of every document window (wave, music piece, factory): a child window of the main
// window's frame that owns exactly one document, shows its name and file in the caption, asks
// before an unsaved document goes, and writes and reads its own place in a project file.
//
// Closing: once the close is granted the window counts as gone at once (IsClosing, and the
// Closing signal), although the toolkit deletes it only when the event loop next gets round to
// it. The main window's lists skip closing windows, so a name check made in between does not
// see a document that is on its way out.
//
// Uses only the model layers and the platform services, so that the wave, music and factory
// windows of the layers below the shell derive from it.

#include "document/FileUnit.h"
#include "general/Messages.h"

#include <QMdiSubWindow>

class QScrollBar;

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kelvorn {

class TXMLComplexElement;
class TXMLItem;

/// A scroll bar of a document window's client, page pixels wide, over range pixels of content:
/// it scrolls through range - page positions by steps of increment and stands at position.
void SetScrollBar(QScrollBar& bar, int increment, int32_t position, int32_t range, int page);

class TMDIChildKelvorn : public QMdiSubWindow, public DocumentWindowLink
{
    Q_OBJECT

public:
    /// The caption of the close question.
    static constexpr const char* SaveQuestionCaption = "You have unsaved changes";

    /// A window without document, captioned "MDI Child"; deleted by the toolkit when closed.
    explicit TMDIChildKelvorn(QWidget* parent = nullptr);
    /// Deletes the document (a wave document first drops the undo record that belongs to it).
    ~TMDIChildKelvorn() override;

    /// Takes the document (once; a second call keeps the first document and asserts) and links
    /// window and document both ways. Returns this window.
    TMDIChildKelvorn* SetUnit(std::unique_ptr<TFileUnit> unit);
    /// The document; null only before SetUnit.
    TFileUnit* GetUnit() const { return fileUnit.get(); }
    /// The document's kind; None before SetUnit.
    DocumentKind GetKind() const;

    // ---- Caption -----------------------------------------------------------------------

    /// name + " - " + file name when both are set; the one that is set alone; "" when none.
    std::string CaptionText() const;
    /// Sets the caption (with the toolkit's modified mark "[*]") and the modified mark.
    void UpdateCaption() override;
    /// Called after the document's name changed (from oldName): rebuilds the caption. The wave
    /// window also repaints the windows that used the wave under either name as envelope.
    void RefreshCaption(const std::string& oldName) override;
    /// Shows the mark when the document has unsaved changes; the main window calls it after
    /// every command, since documents mark themselves without telling their window.
    void UpdateModifiedMark();
    /// Whether the document has unsaved changes; false without a document.
    bool IsDocumentModified() const;

    // ---- Cursors -----------------------------------------------------------------------

    /// Shows cursor number index (0 arrow, 1 "DRAW", ... 7 "ZOOMOUT") from the cursor table
    /// over the window; the wave window hands it to its panes instead.
    virtual void SetMouseCursor(int index);
    void SetDrawCursor() override { SetMouseCursor(1); }
    void SetDefaultCursor() { SetMouseCursor(0); }
    void SetZoomCursor() { SetMouseCursor(6); }
    void SetZoomOutCursor() { SetMouseCursor(7); }

    // ---- Closing -----------------------------------------------------------------------

    /// The close question: "Do you want to save the Wave with name \"Wave 1\" to a new file?".
    std::string GetSaveQuestion() const;
    /// Asks before an unsaved document goes: the close question with Yes, No and Cancel.
    /// Yes closes when the save handler saved, No closes without saving, Cancel keeps the
    /// window. A document without changes closes without a question.
    bool QueryClose();
    /// Saves the document for the close question's Yes (the main window's Save, or Save As
    /// when untitled). Without a handler nothing is saved and the window stays.
    void SetSaveHandler(std::function<bool(TMDIChildKelvorn&)> handler)
    {
        saveHandler = std::move(handler);
    }
    /// Closes the window without the question (the project's own closing, split and merge).
    void Release();
    /// True from the moment the close was granted until the toolkit deletes the window.
    bool IsClosing() const { return closing; }

    // ---- What the main window asks of a window for its lists and envelope repaints --------

    /// Whether one of this window's panes draws the wave called waveName as its envelope (the
    /// wave window answers from its view properties; others never do).
    virtual bool DrawsEnvelopeOf(const std::string& waveName) const;
    /// Repaints the panes that draw an envelope.
    virtual void RepaintEnvelopeViews();
    /// The volume diagram of the envelope's wave computed the columns [first, last): the panes
    /// paint just those.
    virtual void EnvelopeColumnsDrawn(int32_t first, int32_t last);

    // ---- Project file ------------------------------------------------------------------

    /// The window's place in the frame; for a minimised window the place it comes back to,
    /// which is what a project keeps of it (its icon's place would bring back a bare title bar).
    QRect PlaceToKeep() const;
    /// Appends "Name" (only when the name is not empty), "Left", "Top", "Width", "Height" and
    /// one empty "Normal", "Minimized" or "Maximized" to the project's "Window" element.
    void WriteWindowXML(TXMLComplexElement& window) const;
    /// Sets the document's name, then reads the bounds from left on ("Left", "Top", "Width",
    /// "Height", then the state element). False with the value's message and the element's
    /// line and column; what was read before the failure stays set.
    bool ReadWindowXML(const TXMLItem* left, const std::string& name, std::string& message,
                       int32_t& line, int32_t& column);

signals:
    /// The close was granted: the window is no longer one of the main window's documents.
    void Closing(kelvorn::TMDIChildKelvorn* window);

protected:
    void closeEvent(QCloseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void changeEvent(QEvent* event) override;
    /// Gives the window unit in place of its document (a revert that read a fresh one) and
    /// hands the old document back, unlinked from the window; the caption follows.
    std::unique_ptr<TFileUnit> ExchangeUnit(std::unique_ptr<TFileUnit> unit);

private:
    std::unique_ptr<TFileUnit> fileUnit;
    std::function<bool(TMDIChildKelvorn&)> saveHandler;
    bool closing = false;
    bool releasing = false;
    /// The place the window had when it last left its normal state, the one the toolkit gives
    /// back; the toolkit keeps its own copy to itself.
    QRect restorePlace;
};

} // namespace kelvorn
