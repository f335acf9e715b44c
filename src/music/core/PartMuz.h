#pragma once
// The part tree of a music piece. Single parts hold the music (one chain of symbols of every
// stave and a time signature); concatenations play one part after another, loops repeat their
// part, select parts play theirs only in chosen turns of the nearest loop, transposed per turn.
// The root is a start part. Every part owns its children.
//
// Walks take the caller: the parent when a part is entered from above, a child when the walk
// comes back up from it.

#include "general/values/ValueUnits.h"
#include "music/core/MuzSymbols.h"
#include "music/core/NotePlayer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelvorn {

class Sound;

/// Item of the "Music Parts" tree: a part or a turn item of a select part.
class TMusTreeItem
{
public:
    explicit TMusTreeItem(TUnitMuz* document) : document(document) {}
    virtual ~TMusTreeItem();
    TMusTreeItem(const TMusTreeItem&) = delete;
    TMusTreeItem& operator=(const TMusTreeItem&) = delete;

    virtual bool IsSelectItem() const = 0;
    /// The label, or the kind's default label when it is empty.
    virtual std::string GetShowLabel() const = 0;
    const std::string& GetLabel() const { return label; }
    void SetLabel(const char* text) { label = text ? text : ""; }
    TUnitMuz* GetDocument() const { return document; }

protected:
    std::string label;
    TUnitMuz* document;
};

enum PartMuzKind : uint8_t {
    partSingle = 0,
    partConcat = 1,
    partLoop = 2,
    partSelect = 3,
    partStart = 4
};

/// What a render or measure walk hands down unchanged. Every note event and every turn visit
/// counts against the budget, so that nested loops of thousands of turns end in a message
/// instead of a hang.
struct TRenderContext
{
    AbortFlag* abort = nullptr;
    std::string* message = nullptr;
    const TNoteStave* staveFilter = nullptr;
    const TNoteGroup* groupFilter = nullptr;
    double tempo = 1.0;
    int64_t events = 0;
    int64_t eventLimit = 10000000;

    /// Counts one event; false (with the message) past the limit.
    bool Spend();
    /// Whether the note sounds under the filters.
    bool Sounds(const TMuzNote& note) const;
    /// Starts the sound of note, transposed by transpose semitones, to be mixed into target at
    /// its time after runningTime. Sounds are made several notes at a time and mixed in the
    /// order the notes came: whenever the batch is full, and at the end by MixNotes.
    bool AddNote(const TMuzNote& note, Sound& target, double runningTime, double transpose);
    /// Finishes and mixes in every note started and not mixed yet; a render's last step.
    bool MixNotes();

private:
    /// Where a started note goes.
    struct Placed
    {
        const TMuzNote* note;
        Sound* target;
        double runningTime;
    };
    TNoteSoundBatch notes;
    std::vector<Placed> placed;
};

class TSinglePartMuz;
class TLoopPartMuz;

class TPartMuz : public TMusTreeItem
{
public:
    explicit TPartMuz(TUnitMuz* owner) : TMusTreeItem(owner) {}

    bool IsSelectItem() const override { return false; }
    virtual PartMuzKind GetKind() const = 0;

    TPartMuz* GetParent() const { return Parent; }
    void SetParent(TPartMuz* parent) { Parent = parent; }
    bool IsEnabled() const { return enabled != 0; }
    void SetEnabled(bool on);
    /// Every ancestor is enabled.
    bool IsEnabledAbove() const;

    /// Takes the part out of its parent: clears both links and answers the parent and the
    /// parent's link field that held it.
    struct TDetached
    {
        TPartMuz* parent = nullptr;
        TPartMuz** link = nullptr;
    };
    TDetached Detach();
    /// The field of this part that holds child.
    virtual TPartMuz** ChildLink(const TPartMuz* child) = 0;
    /// The children in play order (null where a link is empty).
    virtual int32_t ChildCount() const { return 0; }
    virtual TPartMuz* Child(int32_t) const { return nullptr; }

    // Stave and group notices and chain operations: inner parts forward them to their
    // children, single parts act (on symbols they own).
    virtual void StaveDeleting(const TNoteStave* stave);
    virtual void GroupDeleting(const TNoteGroup* group);
    virtual void FillRests(TNoteStave* stave);
    virtual void StaveAdded(TNoteStave* stave);
    virtual TStaveSymbol* FirstSymbol();
    virtual void InsertSymbol(TStaveSymbol* symbol);
    virtual void DeleteSymbol(TStaveSymbol* symbol);
    virtual void MoveSymbol(TStaveSymbol* symbol);

    /// Whether every parent link below matches.
    virtual bool CheckParents(const TPartMuz* caller) const;

    // Play-order walks (caller: the parent from above, a child from below).
    virtual TSinglePartMuz* NextSinglePart(const TPartMuz* caller);
    virtual TSinglePartMuz* PrevSinglePart(const TPartMuz* caller);
    virtual TSinglePartMuz* FirstSinglePart();
    virtual TSinglePartMuz* LastSinglePart();
    /// As Next/PrevSinglePart, but a loop or select part entered from above answers itself.
    virtual TPartMuz* NextPlayPart(const TPartMuz* caller);
    virtual TPartMuz* PrevPlayPart(const TPartMuz* caller);

    /// Cursor walks of one stave across part borders: the next (previous) cursor symbol.
    virtual TXTouchMuzSymbol* NextStaveSymbol(const TNoteStave* stave, const TPartMuz* caller);
    virtual TXTouchMuzSymbol* PrevStaveSymbol(const TNoteStave* stave, const TPartMuz* caller);

    /// The loop around this part (a loop answers itself), or null.
    virtual TLoopPartMuz* EnclosingLoop();
    virtual int32_t GetCurrentTurn() const;
    /// The nearest loop or select part above, or null.
    TPartMuz* EnclosingLoopOrSelect() const;

    /// Length in whole notes; a select part plays when it has an item for turn (0: the current
    /// turn of its loop).
    virtual double GetLength(int32_t turn) const = 0;
    /// Mixes every sounding note into target at runningTime + its time; runningTime advances.
    virtual bool Render(TRenderContext& context, Sound& target, double& runningTime,
                        double transpose);
    /// Raises preRoll and end to what the notes need; runningTime advances as in Render.
    virtual bool Measure(TRenderContext& context, double& preRoll, double& end, double& runningTime,
                         double transpose);
    /// Every loop of the subtree back at its first turn.
    virtual void ResetTurns();

protected:
    /// Tells the document that the tree changed; every link and flag of the tree calls it.
    void TreeChanged() const;

    TPartMuz* Parent = nullptr;
    uint8_t enabled = 1;
};

class TSinglePartMuz : public TPartMuz
{
public:
    explicit TSinglePartMuz(TUnitMuz* owner) : TPartMuz(owner) {}
    ~TSinglePartMuz() override;

    PartMuzKind GetKind() const override { return partSingle; }
    std::string GetShowLabel() const override { return label.empty() ? "part" : label; }
    TPartMuz** ChildLink(const TPartMuz* child) override;

    TMuzBar* GetMuzBar() const { return MuzBar; }
    /// Called once by the bar's constructor; the part owns it from then on.
    void SetMuzBar(TMuzBar* bar);

    void StaveDeleting(const TNoteStave* stave) override;
    void GroupDeleting(const TNoteGroup* group) override;
    void FillRests(TNoteStave* stave) override;
    void StaveAdded(TNoteStave* stave) override;
    TStaveSymbol* FirstSymbol() override { return first; }
    TStaveSymbol* LastSymbol() const { return last; }
    /// Links symbol after the last symbol that comes before it; takes it over.
    void InsertSymbol(TStaveSymbol* symbol) override;
    void DeleteSymbol(TStaveSymbol* symbol) override;
    /// Re-sorts symbol after its Position changed.
    void MoveSymbol(TStaveSymbol* symbol) override;
    /// Gives symbol a new Position and re-sorts it: it can only have to pass the symbols
    /// between its old and its new time, so only those are looked at (MuzEdit.cpp).
    void ShiftSymbol(TStaveSymbol* symbol, double position);
    /// Links symbol at the end of the chain without sorting and takes it over: a reader
    /// appends a whole file's symbols and sorts once (SortChain).
    void AppendSymbol(TStaveSymbol* symbol);
    /// Puts the chain in IsPrevOf order; symbols it leaves unordered stand in one fixed order
    /// (the notes of a chord time before its rest) and otherwise keep theirs, or with
    /// newestFirst take the reverse of theirs, as inserting them one by one would have left them.
    /// Linear in the symbols when they come in a few ordered runs, as a reader appends them.
    void SortChain(bool newestFirst = false);
    /// Unlinks symbol and hands it to the caller.
    std::unique_ptr<TStaveSymbol> UnlinkSymbol(TStaveSymbol* symbol);
    int32_t CountSymbols() const;

    bool CheckParents(const TPartMuz* caller) const override;
    TSinglePartMuz* NextSinglePart(const TPartMuz* caller) override;
    TSinglePartMuz* PrevSinglePart(const TPartMuz* caller) override;
    TSinglePartMuz* FirstSinglePart() override { return this; }
    TSinglePartMuz* LastSinglePart() override { return this; }
    TPartMuz* NextPlayPart(const TPartMuz* caller) override;
    TPartMuz* PrevPlayPart(const TPartMuz* caller) override;
    TXTouchMuzSymbol* NextStaveSymbol(const TNoteStave* stave, const TPartMuz* caller) override;
    TXTouchMuzSymbol* PrevStaveSymbol(const TNoteStave* stave, const TPartMuz* caller) override;
    int32_t GetCurrentTurn() const override;

    // Searches of one stave on the chain.
    TStaveSymbol* FirstSymbolOfStave(const TNoteStave* stave) const;
    TStaveSymbol* NextSymbolOfStave(const TStaveSymbol* symbol) const;
    TStaveSymbol* PrevSymbolOfStave(const TStaveSymbol* symbol) const;
    /// The clef the stave opens with (its first key at time 0), or null.
    TKey* GetOpeningKey(const TNoteStave* stave) const;
    int32_t CountKeysAtZero(const TNoteStave* stave) const;
    /// The last clef of the stave not later than time.
    TKey* FindKeyAt(const TNoteStave* stave, double time) const;
    /// The symbol of the stave whose Position is nearest to time (the first of equals).
    TStaveSymbol* FindStaveSymbolAt(const TNoteStave* stave, double time) const;
    /// The editor's cursor order on a stave: opening clef, bar, then the stave's symbols, a chord
    /// standing for itself by its middle note; past either end the walk goes on in the tree.
    TXTouchMuzSymbol* NextCursorSymbol(const TNoteStave* stave, TXTouchMuzSymbol* from);
    TXTouchMuzSymbol* PrevCursorSymbol(const TNoteStave* stave, TXTouchMuzSymbol* from);
    /// One G clef per stave of the document at time 0.
    void CreateKeys();

    double GetLength(int32_t turn) const override;
    bool Render(TRenderContext& context, Sound& target, double& runningTime,
                double transpose) override;
    bool Measure(TRenderContext& context, double& preRoll, double& end, double& runningTime,
                 double transpose) override;
    void ResetTurns() override {}

    // The chain cursor of iterations over the part.
    TStaveSymbol* FirstCursor() { return cursor = first; }
    TStaveSymbol* NextCursor() { return cursor = cursor ? cursor->GetNext() : nullptr; }
    TStaveSymbol* CurCursor() const { return cursor; }

private:
    void Link(TStaveSymbol* symbol, TStaveSymbol* after);
    void Unlink(TStaveSymbol* symbol);
    /// The middle note of the chord that symbol belongs to (symbol itself for others).
    TStaveSymbol* ChordRepresentative(TStaveSymbol* symbol) const;
    TStaveSymbol* LastCursorOfStave(const TNoteStave* stave) const;

    TMuzBar* MuzBar = nullptr;
    TStaveSymbol* first = nullptr;
    TStaveSymbol* last = nullptr;
    TStaveSymbol* cursor = nullptr;
};

class TConcatPartMuz : public TPartMuz
{
public:
    TConcatPartMuz(TUnitMuz* owner, TPartMuz* firstPart, TPartMuz* secondPart);
    ~TConcatPartMuz() override;

    PartMuzKind GetKind() const override { return partConcat; }
    std::string GetShowLabel() const override { return label.empty() ? "<concat>" : label; }
    TPartMuz** ChildLink(const TPartMuz* child) override;
    int32_t ChildCount() const override { return 2; }
    TPartMuz* Child(int32_t i) const override { return i == 0 ? FirstPart : SecondPart; }
    TPartMuz* GetFirstPart() const { return FirstPart; }
    TPartMuz* GetSecondPart() const { return SecondPart; }

    /// When one of the two parts is gone, puts the other in concat's place in its parent and
    /// destroys concat; answers the part that took its place.
    static TPartMuz* Collapse(TConcatPartMuz* concat);

    TSinglePartMuz* NextSinglePart(const TPartMuz* caller) override;
    TSinglePartMuz* PrevSinglePart(const TPartMuz* caller) override;
    TSinglePartMuz* FirstSinglePart() override { return FirstPart->FirstSinglePart(); }
    TSinglePartMuz* LastSinglePart() override { return SecondPart->LastSinglePart(); }
    TPartMuz* NextPlayPart(const TPartMuz* caller) override;
    TPartMuz* PrevPlayPart(const TPartMuz* caller) override;
    TXTouchMuzSymbol* NextStaveSymbol(const TNoteStave* stave, const TPartMuz* caller) override;
    TXTouchMuzSymbol* PrevStaveSymbol(const TNoteStave* stave, const TPartMuz* caller) override;
    double GetLength(int32_t turn) const override;

private:
    TPartMuz* FirstPart;
    TPartMuz* SecondPart;
};

class TLoopPartMuz : public TPartMuz
{
public:
    TLoopPartMuz(TUnitMuz* owner, TPartMuz* loopPart, int32_t count);
    ~TLoopPartMuz() override;

    PartMuzKind GetKind() const override { return partLoop; }
    std::string GetShowLabel() const override;
    TPartMuz** ChildLink(const TPartMuz* child) override;
    int32_t ChildCount() const override { return 1; }
    TPartMuz* Child(int32_t) const override { return LoopPart; }
    TPartMuz* GetLoopPart() const { return LoopPart; }
    /// Puts part in as the child and answers the previous one (handed to the caller).
    TPartMuz* SetLoopPart(TPartMuz* part);

    TLoopPartSymbol* GetLeftLoopSymbol() const { return LeftLoopSymbol.get(); }
    TLoopPartSymbol* GetRightLoopSymbol() const { return RightLoopSymbol.get(); }
    /// The cursor neighbours of a loop mark on a stave.
    TXTouchMuzSymbol* NextOfLoopSymbol(const TNoteStave* stave, const TLoopPartSymbol* mark);
    TXTouchMuzSymbol* PrevOfLoopSymbol(const TNoteStave* stave, const TLoopPartSymbol* mark);

    TSinglePartMuz* NextSinglePart(const TPartMuz* caller) override;
    TSinglePartMuz* PrevSinglePart(const TPartMuz* caller) override;
    TSinglePartMuz* FirstSinglePart() override { return LoopPart->FirstSinglePart(); }
    TSinglePartMuz* LastSinglePart() override { return LoopPart->LastSinglePart(); }
    TPartMuz* NextPlayPart(const TPartMuz* caller) override;
    TPartMuz* PrevPlayPart(const TPartMuz* caller) override;
    TXTouchMuzSymbol* NextStaveSymbol(const TNoteStave* stave, const TPartMuz* caller) override;
    TXTouchMuzSymbol* PrevStaveSymbol(const TNoteStave* stave, const TPartMuz* caller) override;
    TLoopPartMuz* EnclosingLoop() override { return this; }
    int32_t GetCurrentTurn() const override { return CurrentTurn; }
    void SetCurrentTurn(int32_t turn) { CurrentTurn = turn; }

    double GetLength(int32_t turn) const override;
    bool Render(TRenderContext& context, Sound& target, double& runningTime,
                double transpose) override;
    bool Measure(TRenderContext& context, double& preRoll, double& end, double& runningTime,
                 double transpose) override;
    void ResetTurns() override;

    unitIntegerPosMore Count;
    uint8_t expanded = 1;

private:
    TPartMuz* LoopPart;
    std::unique_ptr<TLoopPartSymbol> LeftLoopSymbol;
    std::unique_ptr<TLoopPartSymbol> RightLoopSymbol;
    int32_t CurrentTurn = 1;
};

class TSelectPartMuz;

class TSelectPartItem : public TMusTreeItem
{
public:
    explicit TSelectPartItem(TSelectPartMuz* owner);
    bool IsSelectItem() const override { return true; }
    TSelectPartItem* GetNext() const { return next; }
    void SetNext(TSelectPartItem* item) { next = item; }
    TSelectPartMuz* GetSelectPart() const { return owner; }

private:
    TSelectPartItem* next = nullptr;
    TSelectPartMuz* owner;
};

class TStartSelectPartItem : public TSelectPartItem
{
public:
    using TSelectPartItem::TSelectPartItem;
    std::string GetShowLabel() const override { return label.empty() ? "root turn" : label; }
};

class TCountSelectPartItem : public TSelectPartItem
{
public:
    TCountSelectPartItem(TSelectPartMuz* owner, int32_t count, int32_t pitch)
        : TSelectPartItem(owner), Count(count, EHNone), Pitch(pitch, EHNone)
    {
    }
    std::string GetShowLabel() const override;

    unitIntegerPosMore Count;
    unitInteger Pitch;
};

class TSelectPartMuz : public TPartMuz
{
public:
    TSelectPartMuz(TUnitMuz* owner, TPartMuz* selectPart);
    ~TSelectPartMuz() override;

    PartMuzKind GetKind() const override { return partSelect; }
    std::string GetShowLabel() const override { return label.empty() ? "turns" : label; }
    TPartMuz** ChildLink(const TPartMuz* child) override;
    int32_t ChildCount() const override { return 1; }
    TPartMuz* Child(int32_t) const override { return SelectPart; }
    TPartMuz* GetSelectPart() const { return SelectPart; }
    TPartMuz* SetSelectPart(TPartMuz* part);

    TStartSelectPartItem* GetSelectPartItems() const { return items.get(); }
    /// Appends an item for turn count with pitch semitones; the part owns it.
    TCountSelectPartItem* AddCountSelectPartItem(int32_t count, int32_t pitch);
    /// Unlinks and destroys the first item of turn; false when there is none.
    bool DeleteTurnItem(int32_t turn);
    /// The Count of the last item, 0 with only the start item.
    int32_t GetLastCount() const;
    /// The pitch of the first item of turn; false when there is none.
    bool FindTurn(int32_t turn, int32_t& pitch) const;
    int32_t CountTurnItems(int32_t turn) const;

    TSinglePartMuz* NextSinglePart(const TPartMuz* caller) override;
    TSinglePartMuz* PrevSinglePart(const TPartMuz* caller) override;
    TSinglePartMuz* FirstSinglePart() override { return SelectPart->FirstSinglePart(); }
    TSinglePartMuz* LastSinglePart() override { return SelectPart->LastSinglePart(); }
    TPartMuz* NextPlayPart(const TPartMuz* caller) override;
    TPartMuz* PrevPlayPart(const TPartMuz* caller) override;
    TXTouchMuzSymbol* NextStaveSymbol(const TNoteStave* stave, const TPartMuz* caller) override;
    TXTouchMuzSymbol* PrevStaveSymbol(const TNoteStave* stave, const TPartMuz* caller) override;

    double GetLength(int32_t turn) const override;
    bool Render(TRenderContext& context, Sound& target, double& runningTime,
                double transpose) override;
    bool Measure(TRenderContext& context, double& preRoll, double& end, double& runningTime,
                 double transpose) override;

    uint8_t expanded = 1;

private:
    TPartMuz* SelectPart;
    std::unique_ptr<TStartSelectPartItem> items;
};

class TStartPartMuz : public TPartMuz
{
public:
    explicit TStartPartMuz(TUnitMuz* owner) : TPartMuz(owner) {}
    ~TStartPartMuz() override;

    PartMuzKind GetKind() const override { return partStart; }
    std::string GetShowLabel() const override { return label.empty() ? "root" : label; }
    TPartMuz** ChildLink(const TPartMuz* child) override;
    int32_t ChildCount() const override { return 1; }
    TPartMuz* Child(int32_t) const override { return PartMuz; }
    TPartMuz* GetChild() const { return PartMuz; }
    TPartMuz* SetChild(TPartMuz* part);

    TSinglePartMuz* NextSinglePart(const TPartMuz* caller) override;
    TSinglePartMuz* PrevSinglePart(const TPartMuz* caller) override;
    TSinglePartMuz* FirstSinglePart() override;
    TSinglePartMuz* LastSinglePart() override;
    TPartMuz* NextPlayPart(const TPartMuz* caller) override;
    TPartMuz* PrevPlayPart(const TPartMuz* caller) override;
    TXTouchMuzSymbol* NextStaveSymbol(const TNoteStave* stave, const TPartMuz* caller) override;
    TXTouchMuzSymbol* PrevStaveSymbol(const TNoteStave* stave, const TPartMuz* caller) override;
    TLoopPartMuz* EnclosingLoop() override { return nullptr; }
    int32_t GetCurrentTurn() const override { return 1; }
    double GetLength(int32_t turn) const override;

private:
    TPartMuz* PartMuz = nullptr;
};

} // namespace kelvorn
