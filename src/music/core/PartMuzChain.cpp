// The symbol chain of a single part: keeping it in order, reacting to staves and groups that
// come and go, filling gaps with rests and the editor's cursor walks.

#include "general/Assert.h"
#include "music/core/PartMuz.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

namespace kelvorn {

TSinglePartMuz::~TSinglePartMuz()
{
    while (TStaveSymbol* s = first) {
        Unlink(s);
        delete s;
    }
    KV_SOFT_ASSERT(MuzBar != nullptr);
    delete MuzBar;
}

TPartMuz** TSinglePartMuz::ChildLink(const TPartMuz*)
{
    KV_SOFT_ASSERT(false);
    return nullptr;
}

void TSinglePartMuz::SetMuzBar(TMuzBar* bar)
{
    if (KV_SOFT_ASSERT(MuzBar == nullptr) && KV_SOFT_ASSERT(bar->GetSinglePartMuz() == this))
        MuzBar = bar;
}

void TSinglePartMuz::Link(TStaveSymbol* symbol, TStaveSymbol* after)
{
    TStaveSymbol* next = after ? after->Next : first;
    symbol->Prev = after;
    symbol->SetNext(next);
    if (after)
        after->SetNext(symbol);
    else
        first = symbol;
    if (next)
        next->Prev = symbol;
    else
        last = symbol;
    if (GetDocument())
        GetDocument()->SymbolChanged(*symbol);
}

void TSinglePartMuz::Unlink(TStaveSymbol* symbol)
{
    if (GetDocument())
        GetDocument()->SymbolChanged(*symbol);
    if (symbol->Prev)
        symbol->Prev->SetNext(symbol->Next);
    else
        first = symbol->Next;
    if (symbol->Next)
        symbol->Next->Prev = symbol->Prev;
    else
        last = symbol->Prev;
    if (cursor == symbol)
        cursor = nullptr;
    symbol->Prev = nullptr;
    symbol->Next = nullptr;
}

void TSinglePartMuz::InsertSymbol(TStaveSymbol* symbol)
{
    if (!KV_SOFT_ASSERT(symbol != nullptr))
        return;
    symbol->Owner = this;
    // The chain is sorted, so the last symbol before the new one is found from the end.
    TStaveSymbol* after = last;
    while (after && !after->IsPrevOf(*symbol))
        after = after->Prev;
    Link(symbol, after);
}

void TSinglePartMuz::AppendSymbol(TStaveSymbol* symbol)
{
    if (!KV_SOFT_ASSERT(symbol != nullptr))
        return;
    symbol->Owner = this;
    Link(symbol, last);
}

namespace {

// Where a symbol stands in the chain's total order: IsPrevOf's keys, and the notes of a chord
// time before its rest.
struct TChainKey
{
    double position;
    int32_t rank;
    int32_t subOrder;
    int32_t rest;
    int32_t negPitch;

    bool operator<(const TChainKey& other) const
    {
        return std::tie(position, rank, subOrder, rest, negPitch) <
               std::tie(other.position, other.rank, other.subOrder, other.rest, other.negPitch);
    }
};

struct TKeyed
{
    TChainKey key;
    TStaveSymbol* symbol;

    bool operator<(const TKeyed& other) const { return key < other.key; }
};

// A stable sort that merges the ordered runs it finds (a strictly falling run is turned round
// first), so that a chain appended in a few ordered runs costs little more than one pass.
void MergeRuns(std::vector<TKeyed>& items)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < items.size();) {
        starts.push_back(i);
        size_t j = i + 1;
        if (j < items.size() && items[j] < items[i]) {
            while (j < items.size() && items[j] < items[j - 1])
                ++j;
            std::reverse(items.begin() + static_cast<std::ptrdiff_t>(i),
                         items.begin() + static_cast<std::ptrdiff_t>(j));
        } else {
            while (j < items.size() && !(items[j] < items[j - 1]))
                ++j;
        }
        i = j;
    }
    if (starts.size() < 2)
        return;
    std::vector<TKeyed> buffer(items.size());
    while (starts.size() > 1) {
        std::vector<size_t> merged;
        for (size_t r = 0; r < starts.size(); r += 2) {
            merged.push_back(starts[r]);
            const size_t mid = r + 1 < starts.size() ? starts[r + 1] : items.size();
            const size_t end = r + 2 < starts.size() ? starts[r + 2] : items.size();
            std::merge(items.begin() + static_cast<std::ptrdiff_t>(starts[r]),
                       items.begin() + static_cast<std::ptrdiff_t>(mid),
                       items.begin() + static_cast<std::ptrdiff_t>(mid),
                       items.begin() + static_cast<std::ptrdiff_t>(end),
                       buffer.begin() + static_cast<std::ptrdiff_t>(starts[r]));
        }
        items.swap(buffer);
        starts.swap(merged);
    }
}

} // namespace

void TSinglePartMuz::SortChain(bool newestFirst)
{
    std::vector<TKeyed> items;
    for (TStaveSymbol* s = first; s; s = s->Next) {
        // A total order that IsPrevOf never contradicts, so that a chain read from a file comes
        // out the same however its symbols were spread over the file.
        const TMuzNote* note = s->AsNote();
        items.push_back(
            {{s->Position, s->Rank(), s->SubOrder(), note ? 0 : 1, note ? -note->GetPitch() : 0},
             s});
    }
    if (newestFirst)
        std::reverse(items.begin(), items.end());
    MergeRuns(items);
    if (GetDocument())
        GetDocument()->Changed({TMuzChange::WholePart, this, 0.0});
    first = items.empty() ? nullptr : items.front().symbol;
    last = items.empty() ? nullptr : items.back().symbol;
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].symbol->Prev = i > 0 ? items[i - 1].symbol : nullptr;
        items[i].symbol->SetNext(i + 1 < items.size() ? items[i + 1].symbol : nullptr);
    }
}

void TSinglePartMuz::DeleteSymbol(TStaveSymbol* symbol)
{
    if (!KV_SOFT_ASSERT(symbol != nullptr) || symbol->Owner != this)
        return;
    Unlink(symbol);
    delete symbol;
}

std::unique_ptr<TStaveSymbol> TSinglePartMuz::UnlinkSymbol(TStaveSymbol* symbol)
{
    if (!KV_SOFT_ASSERT(symbol != nullptr && symbol->Owner == this))
        return nullptr;
    Unlink(symbol);
    // The symbol leaves the document's reach: nothing may keep pointing at it.
    if (GetDocument())
        GetDocument()->ForgetSymbol(symbol);
    return std::unique_ptr<TStaveSymbol>(symbol);
}

void TSinglePartMuz::MoveSymbol(TStaveSymbol* symbol)
{
    if (!KV_SOFT_ASSERT(symbol != nullptr) || symbol->Owner != this)
        return;
    // A rest and a note of one chord time are not ordered, while two notes are: comparing the
    // neighbours alone could leave two notes reversed once the rest between them goes. The
    // symbol stays where nothing on either side must be on its other side.
    bool inPlace = true;
    for (TStaveSymbol* s = first; s != symbol && inPlace; s = s->Next)
        inPlace = !symbol->IsPrevOf(*s);
    for (TStaveSymbol* s = symbol->Next; s && inPlace; s = s->Next)
        inPlace = !s->IsPrevOf(*symbol);
    if (inPlace)
        return;
    Unlink(symbol);
    InsertSymbol(symbol);
}

int32_t TSinglePartMuz::CountSymbols() const
{
    int32_t n = 0;
    for (TStaveSymbol* s = first; s; s = s->Next)
        ++n;
    return n;
}

void TSinglePartMuz::StaveDeleting(const TNoteStave* stave)
{
    if (!KV_SOFT_ASSERT(stave != nullptr))
        return;
    for (TStaveSymbol* s = first; s;) {
        TStaveSymbol* next = s->Next;
        if (s->Stave == stave)
            DeleteSymbol(s);
        s = next;
    }
}

void TSinglePartMuz::GroupDeleting(const TNoteGroup* group)
{
    if (!KV_SOFT_ASSERT(group != nullptr))
        return;
    for (TStaveSymbol* s = first; s;) {
        TStaveSymbol* next = s->Next;
        if (TMuzNote* note = s->AsNote(); note && note->GetNoteGroup() == group)
            DeleteSymbol(s);
        s = next;
    }
}

void TSinglePartMuz::FillRests(TNoteStave* stave)
{
    if (!KV_SOFT_ASSERT(stave != nullptr) || !MuzBar)
        return;
    double t = 0.0;
    for (TStaveSymbol* s = first; s; s = s->Next) {
        if (s->Stave != stave)
            continue;
        while (t < s->Position) {
            const double gapEnd = std::min(s->Position, MuzBar->GetNextBarLine(t));
            while (t < gapEnd) {
                const double left = gapEnd - t;
                int32_t c = 1;
                while (1.0 / c > left && c < 64)
                    c *= 2;
                // No rest is shorter than 1/32: a smaller remainder stays unfilled.
                if (c == 64) {
                    t = gapEnd;
                    break;
                }
                InsertSymbol(new TSilence(static_cast<uint8_t>(c), 0, t, stave, sool, 0, this));
                t += 1.0 / c;
            }
        }
        if (s->IsTimeSymbol()) {
            const double end = s->Position + static_cast<TStaveTimeSymbol*>(s)->GetLengthValue();
            if (end > t)
                t = end;
        }
    }
}

void TSinglePartMuz::StaveAdded(TNoteStave* stave)
{
    if (KV_SOFT_ASSERT(stave != nullptr))
        InsertSymbol(new TKey(GetDocument(), keyKindG, 0, 0.0, stave, 1, this));
}

void TSinglePartMuz::CreateKeys()
{
    for (TNoteStave* st = GetDocument()->GetFirstStave(); st; st = st->GetNext())
        StaveAdded(st);
}

bool TSinglePartMuz::CheckParents(const TPartMuz* caller) const
{
    return Parent == caller;
}

// ---- Walks -----------------------------------------------------------------------------------

TSinglePartMuz* TSinglePartMuz::NextSinglePart(const TPartMuz* caller)
{
    return caller == Parent ? this : nullptr;
}

TSinglePartMuz* TSinglePartMuz::PrevSinglePart(const TPartMuz* caller)
{
    return caller == Parent ? this : nullptr;
}

TPartMuz* TSinglePartMuz::NextPlayPart(const TPartMuz* caller)
{
    return caller == Parent ? this : nullptr;
}

TPartMuz* TSinglePartMuz::PrevPlayPart(const TPartMuz* caller)
{
    return caller == Parent ? this : nullptr;
}

int32_t TSinglePartMuz::GetCurrentTurn() const
{
    // A single part has no turn of its own: the loop above it decides.
    return Parent ? Parent->GetCurrentTurn() : 1;
}

TStaveSymbol* TSinglePartMuz::FirstSymbolOfStave(const TNoteStave* stave) const
{
    for (TStaveSymbol* s = first; s; s = s->Next)
        if (s->Stave == stave)
            return s;
    return nullptr;
}

TStaveSymbol* TSinglePartMuz::NextSymbolOfStave(const TStaveSymbol* symbol) const
{
    for (TStaveSymbol* s = symbol->Next; s; s = s->Next)
        if (s->Stave == symbol->Stave)
            return s;
    return nullptr;
}

TStaveSymbol* TSinglePartMuz::PrevSymbolOfStave(const TStaveSymbol* symbol) const
{
    for (TStaveSymbol* s = symbol->Prev; s; s = s->Prev)
        if (s->Stave == symbol->Stave)
            return s;
    return nullptr;
}

TKey* TSinglePartMuz::GetOpeningKey(const TNoteStave* stave) const
{
    TStaveSymbol* s = FirstSymbolOfStave(stave);
    return s && s->Position == 0.0 ? s->AsKey() : nullptr;
}

int32_t TSinglePartMuz::CountKeysAtZero(const TNoteStave* stave) const
{
    int32_t n = 0;
    for (TStaveSymbol* s = first; s && s->Position == 0.0; s = s->Next)
        if (s->Stave == stave && s->GetStaveSymbolKind() == staveSymbolKey)
            ++n;
    return n;
}

TKey* TSinglePartMuz::FindKeyAt(const TNoteStave* stave, double time) const
{
    TKey* found = nullptr;
    for (TStaveSymbol* s = first; s && s->Position <= time; s = s->Next)
        if (s->Stave == stave && s->GetStaveSymbolKind() == staveSymbolKey)
            found = static_cast<TKey*>(s);
    return found;
}

TStaveSymbol* TSinglePartMuz::FindStaveSymbolAt(const TNoteStave* stave, double time) const
{
    TStaveSymbol* best = nullptr;
    double bestDistance = 0.0;
    for (TStaveSymbol* s = first; s; s = s->Next) {
        if (s->Stave != stave)
            continue;
        const double d = std::fabs(s->Position - time);
        if (!best || d < bestDistance) {
            best = s;
            bestDistance = d;
        }
    }
    return best;
}

TStaveSymbol* TSinglePartMuz::ChordRepresentative(TStaveSymbol* symbol) const
{
    if (!symbol || symbol->GetStaveSymbolKind() != staveSymbolNote)
        return symbol;
    TStaveSymbol* firstOfChord = symbol->FindFirstInOolAtPosition();
    int32_t count = 0;
    for (TStaveSymbol* s = firstOfChord; s; s = s->FindNextInOolAtPosition())
        if (s->AsNote())
            ++count;
    int32_t wanted = (count + 1) / 2;
    for (TStaveSymbol* s = firstOfChord; s; s = s->FindNextInOolAtPosition())
        if (s->AsNote() && --wanted == 0)
            return s;
    return symbol;
}

TStaveSymbol* TSinglePartMuz::LastCursorOfStave(const TNoteStave* stave) const
{
    TStaveSymbol* lastOne = nullptr;
    for (TStaveSymbol* s = last; s; s = s->Prev)
        if (s->Stave == stave) {
            lastOne = s;
            break;
        }
    if (!lastOne || lastOne == GetOpeningKey(stave))
        return nullptr;
    return ChordRepresentative(lastOne);
}

TXTouchMuzSymbol* TSinglePartMuz::NextStaveSymbol(const TNoteStave* stave, const TPartMuz* caller)
{
    if (caller != Parent)
        return nullptr;
    if (TKey* key = GetOpeningKey(stave))
        return key;
    return MuzBar;
}

TXTouchMuzSymbol* TSinglePartMuz::PrevStaveSymbol(const TNoteStave* stave, const TPartMuz* caller)
{
    if (caller != Parent)
        return nullptr;
    if (TStaveSymbol* s = LastCursorOfStave(stave))
        return s;
    return MuzBar;
}

TXTouchMuzSymbol* TSinglePartMuz::NextCursorSymbol(const TNoteStave* stave, TXTouchMuzSymbol* from)
{
    TKey* opening = GetOpeningKey(stave);
    if (from == opening && opening)
        return MuzBar;
    TStaveSymbol* s = nullptr;
    if (from == MuzBar) {
        s = FirstSymbolOfStave(stave);
        if (s && s == opening)
            s = NextSymbolOfStave(s);
    } else if (from && from->GetMuzSymbolKind() == muzSymbolStave) {
        auto* symbol = static_cast<TStaveSymbol*>(from);
        if (!KV_SOFT_ASSERT(symbol->Stave == stave))
            return nullptr;
        // Past the other notes of the same chord.
        TStaveSymbol* lastOfChord = symbol;
        if (symbol->AsNote())
            while (TStaveSymbol* n = lastOfChord->FindNextInOolAtPosition())
                lastOfChord = n;
        s = NextSymbolOfStave(lastOfChord);
    }
    if (s)
        return ChordRepresentative(s);
    return Parent ? Parent->NextStaveSymbol(stave, this) : nullptr;
}

TXTouchMuzSymbol* TSinglePartMuz::PrevCursorSymbol(const TNoteStave* stave, TXTouchMuzSymbol* from)
{
    TKey* opening = GetOpeningKey(stave);
    if (from == MuzBar) {
        if (opening)
            return opening;
        return Parent ? Parent->PrevStaveSymbol(stave, this) : nullptr;
    }
    if (from == opening && opening)
        return Parent ? Parent->PrevStaveSymbol(stave, this) : nullptr;
    if (!from || from->GetMuzSymbolKind() != muzSymbolStave)
        return nullptr;
    auto* symbol = static_cast<TStaveSymbol*>(from);
    if (!KV_SOFT_ASSERT(symbol->Stave == stave))
        return nullptr;
    TStaveSymbol* firstOfChord = symbol->AsNote() ? symbol->FindFirstInOolAtPosition() : symbol;
    TStaveSymbol* s = PrevSymbolOfStave(firstOfChord);
    if (!s || s == opening)
        return MuzBar;
    return ChordRepresentative(s);
}

} // namespace kelvorn
