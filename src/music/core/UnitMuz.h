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
    /// Lays the score out as the next paint will, so that the symbols' touch ranges and the
    /// staves' rows are those shown, and answers the client x of score column 0.
    virtual int32_t LayOutNow() = 0;
};

/// Which way SearchForSwitch looks from the selected group.
enum SwitchSide : uint8_t { side2Left = 1, side2Right = 2 };

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
    /// Repaints the window and rewrites the status bar after a change.
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

    // ==== Writing music ==========================================================================
    // Every command below is guarded by its predicate (the Can... and Is... answers): the main
    // window enables its actions from them and the window's keys and clicks ask them first. A
    // command called against its predicate is an internal error (soft assertion) and changes
    // nothing. A command that edits the piece refreshes the window and the status bar and marks
    // the piece modified; one that only changes the insert tool does neither.

    /// The most dots a written value may carry: 3, but 2 for 16ths, 1 for 32nds, 0 for 64ths.
    static int32_t MaxPoints(int32_t noteLengthKind);

    // ---- Modes and the insert tool (MuzSelection.cpp) ----
    /// Insert mode; a selected note, rest or clef becomes the insert tool.
    void ModeAddExecute();
    void ModeEditExecute();
    /// Delete mode; the selection goes.
    void ModeDeleteExecute();
    bool IsModeAddChecked() const { return mode == unitMuzNew; }
    bool IsModeEditChecked() const { return mode == unitMuzSel; }
    bool IsModeDeleteChecked() const { return mode == unitMuzDel; }
    UnitMuzMode GetUnitMuzMode() const { return mode; }
    void SetInsertLength(uint8_t length) { insertTool.NoteLengthKind = length; }
    void SetInsertArt(NoteArtKind art) { insertTool.Art = art; }
    void SetInsertModeKind(InsertModeKind kind) { insertTool.Kind = kind; }
    uint8_t GetInsertLength() const { return insertTool.NoteLengthKind; }
    NoteArtKind GetInsertArt() const { return insertTool.Art; }
    NoteShiftKind GetInsertNoteShift() const { return insertTool.NoteShift; }
    InsertModeKind GetInsertModeKind() const { return insertTool.Kind; }
    /// What a length command makes of its target: insertModeNote or insertModeSilence, from the
    /// insert tool (insert mode) or the selected note or rest (select mode).
    bool GetLengthTarget(InsertModeKind& kind) const;
    /// The written value the length keys start from: the insert tool's, a selected bar's beat
    /// value, a selected note's or rest's written value.
    bool GetCurrentLength(uint8_t& length) const;
    bool GetCurrentArt(NoteArtKind& art) const;

    // ---- The selection (MuzSelection.cpp) ----
    /// The stave the selection belongs to: a selected stave symbol's own, the last one while a
    /// bar or loop mark is selected, none without a selection. (Not the stave the "Music" window
    /// shows, which GetCurrentStave answers.)
    TNoteStave* GetSelectionStave() const;
    /// Selects symbol (or nothing), scrolls the window to it and auditions a note; no refresh.
    void SelectSymbol(TXTouchMuzSymbol* symbol);
    /// Selects the symbol of stave in part nearest to position, then refreshes.
    void SelectOnStave(TNoteStave* stave, double position, TSinglePartMuz* part);
    void SelectStaveUp();
    void SelectStaveDown();
    void SelectFirstStave();
    void SelectLastStave();
    /// Select mode: the first (last) symbol of the selection's stave in the whole piece: the
    /// opening (closing) loop mark when the piece starts (ends) with a loop.
    void SelectStaveStart();
    void SelectStaveEnd();
    /// Select mode: the symbol before (after) the selection on its stave, across part borders.
    bool FindSymbolLeft(TXTouchMuzSymbol*& symbol) const { return FindSymbolBeside(false, symbol); }
    bool FindSymbolRight(TXTouchMuzSymbol*& symbol) const { return FindSymbolBeside(true, symbol); }
    void SelectPrevExecute();
    void SelectNextExecute();
    /// The next higher (lower) note of the selected note's chord.
    void SelectUpExecute();
    void SelectDownExecute();
    /// The text of status panel 1 to 4 for the selection: its kind, "pos: ", "len: " and the
    /// note's name.
    std::string StatusText(int panel) const;
    /// Writes panels 1 to 4 of the main window; while a bar or loop mark is selected only 1.
    void UpdateStatusBar() const;

    // ---- Clicks, deleting, lengths, dots and tuplets (MuzEdit.cpp) ----
    /// A click in insert mode on stave at step: the insert tool's symbol goes into the chord of
    /// note, in place of rest, or between left and right. Whether anything was inserted.
    bool InsertAt(TNoteStave* stave, TMuzNote* note, TSilence* rest, TXTouchMuzSymbol* left,
                  TXTouchMuzSymbol* right, int32_t step);
    /// A click with the accidental tool: a note takes it, a clef's signature at step.
    bool ApplyNoteShift(TXTouchMuzSymbol* symbol, int32_t step);
    void DeleteExecute();
    /// Deletes symbol as a delete-mode click does; false when CanDeleteSymbol refuses.
    bool DeleteStaveSymbol(TStaveSymbol* symbol);
    /// False for the only clef at 0 of its stave in its part and for a rest in a tuplet.
    bool CanDeleteSymbol(const TXTouchMuzSymbol* symbol) const;
    /// Removes the tuplet of symbol when it holds no note and closes its gap; clears the
    /// selection then.
    void RemoveEmptyTuplet(TStaveTimeSymbol* symbol);
    /// Moves every symbol of stave (symbol's own for null) after symbol's chord or tuplet by
    /// delta, keeping the chain sorted.
    void ShiftFollowing(TStaveSymbol* symbol, double delta, const TNoteStave* stave = nullptr);
    void NoteExecute(int32_t length);
    void SilenceExecute(int32_t length);
    void ToNoteExecute();
    void ToSilenceExecute();
    void LongerExecute();
    void ShorterExecute();
    void PointAddExecute();
    void PointDeleteExecute();
    void TupletExecute(int32_t multiOol);

    // ---- Articulation, accidentals, clefs, pitches, moves, stems (MuzEditMove.cpp) ----
    void ArtExecute(NoteArtKind art);
    void ArtLongerExecute();
    void ArtShorterExecute();
    void NoteShiftExecute(NoteShiftKind shift);
    void KeyExecute(KeyKind kind);
    void ClefUpExecute();
    void ClefDownExecute();
    void MoveUpExecute();
    void MoveDownExecute();
    void MoveOctUpExecute();
    void MoveOctDownExecute();
    /// The next free pitch above (below) note past the other notes of its chord.
    bool UpperPosition(const TMuzNote* note, int32_t& pitch) const;
    bool LowerPosition(const TMuzNote* note, int32_t& pitch) const;
    bool UpperOctPosition(const TMuzNote* note, int32_t& pitch) const;
    bool LowerOctPosition(const TMuzNote* note, int32_t& pitch) const;
    void MovePrevExecute();
    void MoveNextExecute();
    /// The group of symbol (a clef, or a stave's notes and rests at one time) and its
    /// neighbour group on side.
    bool SearchForSwitch(TStaveSymbol* symbol, SwitchSide side, TStaveSymbol*& firstStart,
                         TStaveSymbol*& lastStart, TStaveSymbol*& firstFound,
                         TStaveSymbol*& lastFound) const;
    /// Exchanges two neighbouring groups of one stave in time: the later one takes the earlier
    /// one's place and the earlier one follows it.
    void SwitchSymbols(TStaveSymbol* firstPrev, TStaveSymbol* lastPrev, TStaveSymbol* firstNext,
                       TStaveSymbol* lastNext);
    void PlayNoteExecute();
    void NoteGroupPrevExecute();
    void NoteGroupNextExecute();
    /// The stem of the note tool (insert mode) or of the selected note (select mode).
    bool GetCurrentStick(DrawStickKind& stick) const;
    /// Toggles that stem between stick and automatic.
    void SetStick(DrawStickKind stick);
    void NoteStickUpExecute() { SetStick(drawStickUp); }
    void NoteStickDownExecute() { SetStick(drawStickDown); }

    // ---- Predicates (MuzPredicates.cpp) ----
    bool CanNoteExecute(int32_t length) const;
    bool CanSilenceExecute(int32_t length) const;
    bool CanArtExecute(NoteArtKind art) const;
    bool CanKeyExecute(KeyKind kind) const;
    bool CanNoteShiftExecute(NoteShiftKind shift) const;
    bool CanPointAddExecute() const;
    bool CanPointDeleteExecute() const;
    bool CanDeleteExecute() const;
    bool CanTupletExecute(int32_t multiOol) const;
    bool CanSelectUpExecute() const;
    bool CanSelectDownExecute() const;
    bool CanSelectPrevExecute() const;
    bool CanSelectNextExecute() const;
    bool CanMoveUpExecute() const;
    bool CanMoveDownExecute() const;
    bool CanMoveOctUpExecute() const;
    bool CanMoveOctDownExecute() const;
    bool CanMovePrevExecute() const;
    bool CanMoveNextExecute() const;
    bool CanPlayNoteExecute() const;
    bool CanNoteGroupPrevExecute() const;
    bool CanNoteGroupNextExecute() const;
    bool CanNoteStickUpExecute() const;
    bool CanNoteStickDownExecute() const;
    bool IsNoteChecked(int32_t length) const;
    bool IsSilenceChecked(int32_t length) const;
    bool IsArtChecked(NoteArtKind art) const;
    bool IsKeyChecked(KeyKind kind) const;
    bool IsNoteShiftChecked(NoteShiftKind shift) const;
    bool IsNoteStickUpChecked() const;
    bool IsNoteStickDownChecked() const;

    /// The selected stave symbol, note, rest, clef or bar (null for anything else).
    TStaveSymbol* SelectedStaveSymbol() const;
    TMuzNote* SelectedNote() const;
    TSilence* SelectedSilence() const;
    TKey* SelectedKey() const;
    TMuzBar* SelectedBar() const;

private:
    /// Writes what an edit changed to the window and the status bar, and marks the piece.
    void Edited();
    /// Changes symbol's (and its tuplet's) written value to length; false when it cannot.
    bool ChangeLength(TStaveTimeSymbol* symbol, int32_t length);
    /// The note that takes rest's place (the pitch of the middle line), selected and heard.
    TMuzNote* ReplaceByNote(TSilence* rest);
    /// The rest that takes note's place, selected.
    TSilence* ReplaceByRest(TMuzNote* note);
    void ChangePoints(int32_t by);
    void ChangeBarCount(int32_t count);
    bool FindSymbolBeside(bool right, TXTouchMuzSymbol*& symbol) const;
    void SelectStaveEdge(bool end);
    /// In insert mode the insert tool becomes a note or rest of length without dots (true); in
    /// the other modes nothing changes (false).
    bool TakeLengthTool(InsertModeKind kind, int32_t length);

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
