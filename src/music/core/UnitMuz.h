#pragma once
// The music document: the part tree under one root, the staves with their note groups and
// players, the tempo, the format of the rendered sound and the editing state of its window.
// The document owns its staves and its root part; the selection, the last stave, the current
// stave, the stave cursor and the selected tree item are references, and every removal in the
// model clears those that point into what it removes.

#include "document/SoundUnit.h"
#include "document/records/WaveReference.h"
#include "general/values/ValueUnits.h"
#include "music/core/MuzSymbols.h"
#include "music/core/PartMuz.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kelvorn {

class TNoteStave;
class TXMLComplexElement;
class TXMLItem;
class TMuzReader;
class TNoteGroup;
class TPartTreeView;

enum UnitMuzMode : uint8_t { unitMuzNew = 0, unitMuzSel = 1, unitMuzDel = 2 };
enum InsertModeKind : uint8_t {
    insertModeKey = 0,
    insertModeNote = 1,
    insertModeNoteShift = 2,
    insertModeSilence = 3
};

/// The symbol a click in insert mode creates.
struct TInsertTool
{
    uint8_t NoteLengthKind = 4;
    NoteArtKind Art = noteArtNormal;
    int32_t Points = 0;
    InsertModeKind Kind = insertModeNote;
    NoteShiftKind NoteShift = noteShiftNormal;
    KeyKind Key = keyKindG;
    DrawStickKind Stick = drawStickAuto;
};

/// What an edit touched, for whatever is kept with the piece and derived from it (the score's
/// layout). A change of symbols names the single part whose chain changed and the earliest time
/// in it that the change reaches; everything before that time in that part, and every part drawn
/// before it, is untouched.
struct TMuzChange
{
    enum Kind : uint8_t {
        Symbols,   ///< symbols of part's chain from position on
        WholePart, ///< part as a whole (its time signature, its chain re-sorted)
        Staves,    ///< the staves, their note groups or their look: everything
        Parts,     ///< the part tree: everything
        Tempo      ///< the tempo: the sound, not the score
    };
    Kind kind = Parts;
    const TSinglePartMuz* part = nullptr;
    double position = 0.0;
};

/// Kept with a piece (the document owns it) and told of every change before the next paint.
class TMuzKeeper
{
public:
    virtual ~TMuzKeeper() = default;
    virtual void PieceChanged(const TMuzChange& change) = 0;
    /// A symbol, stave or tree item is being destroyed: no reference to it may stay.
    virtual void Forget(const void* item) = 0;
};

/// What the document asks of the window that shows it.
class MusicWindowLink : public DocumentWindowLink
{
public:
    /// Repaints the whole score.
    virtual void Redraw() = 0;
    /// Scrolls so that the client columns [left, right] (rows [top, bottom]) of a symbol lie
    /// inside the margins of the client area.
    virtual void AutoScrollHorz(int32_t left, int32_t right) = 0;
    virtual void AutoScrollVert(int32_t top, int32_t bottom) = 0;
};

/// The result of a render: the sound (null after a failure) and, on failure, the text that the
/// caller shows as "Cannot create music: " + message under "Error".
struct TMusicRender
{
    std::unique_ptr<Sound> sound;
    std::string message;
    bool ok = false;
};

class TUnitMuz : public TSoundUnit
{
public:
    TUnitMuz(const std::string& name, const std::string& fileName);
    ~TUnitMuz() override;

    // ---- TSoundUnit and TFileUnit answers ----
    int32_t GetSampleFreq() const override { return sampleFreq; }
    int16_t GetMonoStereo() const override { return monoStereo; }
    int16_t GetBytesPSample() const override { return bytesPSample; }
    bool SetWaveFileProps(const TWaveFileProps& oldProps, const TWaveFileProps& newProps) override;
    /// The flag, or untitled.
    bool IsModified() const override { return modified != 0 || IsUntitled(); }
    void ClearModified() override { modified = 0; }
    void SetModified() { modified = 1; }
    bool Save() override;
    bool SaveAs(const std::string& fileName) override;
    bool Revert(std::string& message, std::string& failedFile) override;

    // ---- The music file ----
    /// The "UnitMuz" element tree of the piece (the caller owns it).
    std::unique_ptr<TXMLComplexElement> CreateXml() const;
    /// Builds the piece of a just constructed document from a "UnitMuz" tree that passed its
    /// version's grammar; false with the reason and the line and column of the element at fault.
    bool ReadXml(const TXMLItem* xmlUnitMuz, std::string& message, int32_t& line, int32_t& column);
    /// Reads the file named by the document's file name into this just constructed document.
    bool OpenFile(std::string& message);
    /// Makes this just constructed document a copy of what other's file would hold.
    bool Duplicate(const TUnitMuz& other, std::string& message);

    /// Fills a new document: one single part with a 4/4 bar and one default stave.
    void NewMusic();
    /// Inserts a default stave after previous (at the front for null) and answers it.
    TNoteStave* AddStave(TNoteStave* previous);
    /// Creates a stave with these properties (no groups yet) linked after afterStave.
    TNoteStave* CreateStave(TNoteStave* afterStave, int32_t roomUp, int32_t roomDown,
                            uint8_t drawFlagKind, uint8_t mute, uint8_t extraLines,
                            uint32_t foregroundColor, uint32_t backgroundColor);
    void LinkStaveAfter(TNoteStave* afterStave, TNoteStave* stave);
    void UnlinkStave(TNoteStave* stave);
    void FillStaveRests(TNoteStave* stave);
    void DeleteStaveSymbolsInParts(TNoteStave* stave);
    void DeleteGroupNotesInParts(TNoteGroup* group);
    /// Removes the stave's symbols from every part, unlinks the stave and destroys it.
    void DeleteStave(TNoteStave* stave);
    /// Removes the group's notes from every part, unlinks it and destroys it (not the last
    /// group of its stave).
    bool DeleteNoteGroup(TNoteGroup* group);
    /// Takes a part of a concatenation out of the tree and destroys it; the concatenation
    /// collapses into the other part. Any other part (the root's child, the only part of a
    /// repeat or turns part) cannot go: false.
    bool DeletePart(TPartMuz* part);

    /// The window that shows the piece (null while none does).
    void SetChildMuz(MusicWindowLink* window) { childMuz = window; }
    MusicWindowLink* GetChildMuz() const { return childMuz; }
    /// Repaints the window after a change.
    void Refresh();

    TNoteStave* GetFirstStave() const { return firstStave; }
    int32_t CountStaves() const;
    TStartPartMuz* GetRootPart() const { return rootPart.get(); }
    TNoteStave* GetCurrentStave() const { return currentStave; }
    /// The stave the "Music" window shows; null or a stave of this piece.
    void SetCurrentStave(TNoteStave* stave) { currentStave = stave; }

    // ---- Stave iteration ----
    bool FirstStave();
    bool NextStave();
    TNoteStave* CurStave() const { return staveCursor; }

    // ---- Selection ----
    TXTouchMuzSymbol* GetSelectedSymbol() const { return SelectedSymbol; }
    /// A stave symbol selected before stays the last stave.
    void SetSelectedSymbol(TXTouchMuzSymbol* symbol);
    uint8_t GetSelMuzSymbolKind() const;
    TNoteStave* GetSelectedInStave() const { return SelectedInStave; }
    TMusTreeItem* GetSelectedTreeItem() const { return selectedTreeItem; }
    void SetSelectedTreeItem(TMusTreeItem* item) { selectedTreeItem = item; }

    // ---- The part tree in the "Music Parts" window (MuzTree.cpp) ----
    /// Marks item (null, or a part or turn item of this piece's tree) as the selected tree item.
    void SetSelMusTreeItem(TMusTreeItem* item);
    /// The selected tree item becomes the item of node, a node view filled.
    void SetSelMusTreeItemFromNode(const TPartTreeView& view, void* node);
    /// Empties view and adds a node for every single, loop and select part and turn item, the
    /// selected tree item's node selected; turn items come in the order of their counts.
    void FillPartTree(TPartTreeView& view);
    /// Whether every part's parent link names the part that holds it.
    bool CheckPartTree() const;

    // ---- Notices of removal: each clears every reference into what goes ----
    void ForgetSymbol(const TXTouchMuzSymbol* symbol);
    void ForgetStave(const TNoteStave* stave);
    void ForgetTreeItem(const TMusTreeItem* item);

    // ---- Change notices ----
    // Every edit of the piece ends here: the chain operations of the single parts, the setters
    // of the symbols, the part tree's links and the stave list call it themselves, so an edit
    // made of those calls needs nothing more. An edit that writes a public field (a stave's
    // colours or rooms, a group's colour, a loop's count) calls Changed itself; the score also
    // compares those fields at every paint, so a forgotten notice costs a layout, not a stale
    // picture.
    void Changed(const TMuzChange& change);
    void SymbolChanged(const TStaveSymbol& symbol);
    void StavesChanged() { Changed({TMuzChange::Staves, nullptr, 0.0}); }
    void PartsChanged() { Changed({TMuzChange::Parts, nullptr, 0.0}); }
    /// Counts the notices: whatever is derived from the piece is stale when it differs.
    uint64_t GetGeneration() const { return generation; }
    /// The tempo in seconds per whole note, with its notice.
    void SetTempo(double secondsPerWholeNote);
    /// What is kept with the piece (the score's layout); the document owns it.
    TMuzKeeper* GetKeeper() const { return keeper.get(); }
    void SetKeeper(std::unique_ptr<TMuzKeeper> newKeeper) { keeper = std::move(newKeeper); }
    std::unique_ptr<TMuzKeeper> TakeKeeper() { return std::move(keeper); }

    // ---- Rendering ----
    TMusicRender CreateSound();
    TMusicRender CreateStaveSound(const TNoteStave* stave);
    TMusicRender CreateNoteGroupSound(const TNoteGroup* group);
    /// Resets the turns of the whole tree first.
    TMusicRender CreatePartSound(TPartMuz* part);
    TMusicRender RenderMono(int32_t freq, int16_t bytes, const TNoteStave* stave,
                            const TNoteGroup* group, TPartMuz* part);
    TMusicRender RenderStereo(int32_t freq, int16_t bytes, const TNoteStave* stave,
                              const TNoteGroup* group, TPartMuz* part);
    /// Note events and turn visits one render may take (10 million unless a test says less).
    void SetRenderEventLimit(int64_t limit) { renderEventLimit = limit; }

    /// Where the players find their sample windows; null finds none.
    void SetWaveFinder(WaveDocumentFinder* finder) { waveFinder = finder; }
    WaveDocumentFinder* GetWaveFinder() const { return waveFinder; }

    unitTimePosMore tempo{1.0, EHS};
    TInsertTool insertTool;
    UnitMuzMode mode = unitMuzNew;
    uint8_t autoPlay = 1;

private:
    friend class TMuzReader;
    /// Back to a just constructed document (no parts, no staves, no selection).
    void Clear();

    TMusicRender Render(bool stereo, int32_t freq, int16_t bytes, const TNoteStave* stave,
                        const TNoteGroup* group, TPartMuz* part);

    int16_t monoStereo = 1;
    int32_t sampleFreq = 22050;
    int16_t bytesPSample = 2;
    uint8_t modified = 0;
    TNoteStave* firstStave = nullptr;
    TXTouchMuzSymbol* SelectedSymbol = nullptr;
    TNoteStave* SelectedInStave = nullptr;
    std::unique_ptr<TStartPartMuz> rootPart;
    TMusTreeItem* selectedTreeItem = nullptr;
    TNoteStave* currentStave = nullptr;
    TNoteStave* staveCursor = nullptr;
    WaveDocumentFinder* waveFinder = nullptr;
    MusicWindowLink* childMuz = nullptr;
    int64_t renderEventLimit = 10000000;
    uint64_t generation = 0;
    std::unique_ptr<TMuzKeeper> keeper;
};

} // namespace kelvorn
