// The editing state of a piece: the edit modes with the insert tool, the selection and the
// walks that move it, and what the status bar says of it.

#include "document/wave/WaveDocumentLinks.h"
#include "general/Assert.h"
#include "general/Services.h"
#include "general/numeric/NumericHelpers.h"
#include "music/core/MuzTree.h"
#include "music/core/PartMuz.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"

#include <cmath>
#include <cstdio>

namespace kelvorn {

namespace {

/// x as a mixed fraction ("2 1/2", "3/8"); a whole x as wholeText gives it.
std::string MixedFraction(double x, const std::string& wholeText)
{
    int32_t whole = 0, numerator = 0, denominator = 1;
    SplitFraction(x, whole, numerator, denominator);
    if (denominator == 1)
        return wholeText;
    const std::string fraction = std::to_string(numerator) + "/" + std::to_string(denominator);
    return whole == 0 ? fraction : std::to_string(whole) + " " + fraction;
}

std::string DecimalText(double x)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", x);
    return text;
}

/// The Dutch name of a pitch: letter, accidental syllables, octave ("bis4", "ases3").
std::string NoteName(int32_t pitch, NoteShiftKind shift)
{
    const int32_t step = static_cast<int32_t>(std::trunc(WrapRange(pitch, -2, 5)));
    const char letter = static_cast<char>('c' + step);
    // Flats on a and e drop the e of "es": "as", "es", "ases".
    const bool vowel = step == -2 || step == 2;
    std::string accidental;
    switch (shift) {
    case noteShiftDoubleKruis:
        accidental = "isis";
        break;
    case noteShiftKruis:
        accidental = "is";
        break;
    case noteShiftMol:
        accidental = vowel ? "s" : "es";
        break;
    case noteShiftDoubleMol:
        accidental = vowel ? "ses" : "eses";
        break;
    default:
        break;
    }
    // Integer division of a positive number: the octave of C4 is 4, of B3 3.
    const int32_t octave = (pitch + 700) / 7 - 96;
    return std::string(1, letter) + accidental + std::to_string(octave);
}

} // namespace

int32_t TUnitMuz::MaxPoints(int32_t noteLengthKind)
{
    switch (noteLengthKind) {
    case 16:
        return 2;
    case 32:
        return 1;
    case 64:
        return 0;
    default:
        return 3;
    }
}

// ---- What is selected --------------------------------------------------------------------------

TStaveSymbol* TUnitMuz::SelectedStaveSymbol() const
{
    return SelectedSymbol && SelectedSymbol->GetMuzSymbolKind() == muzSymbolStave
               ? static_cast<TStaveSymbol*>(SelectedSymbol)
               : nullptr;
}

TMuzNote* TUnitMuz::SelectedNote() const
{
    TStaveSymbol* symbol = SelectedStaveSymbol();
    return symbol ? symbol->AsNote() : nullptr;
}

TSilence* TUnitMuz::SelectedSilence() const
{
    TStaveSymbol* symbol = SelectedStaveSymbol();
    return symbol && symbol->GetStaveSymbolKind() == staveSymbolSilence
               ? static_cast<TSilence*>(symbol)
               : nullptr;
}

TKey* TUnitMuz::SelectedKey() const
{
    TStaveSymbol* symbol = SelectedStaveSymbol();
    return symbol ? symbol->AsKey() : nullptr;
}

TMuzBar* TUnitMuz::SelectedBar() const
{
    return SelectedSymbol && SelectedSymbol->GetMuzSymbolKind() == muzSymbolBar
               ? static_cast<TMuzBar*>(SelectedSymbol)
               : nullptr;
}

TNoteStave* TUnitMuz::GetSelectionStave() const
{
    if (TStaveSymbol* symbol = SelectedStaveSymbol())
        return symbol->GetNoteStave();
    return SelectedSymbol ? SelectedInStave : nullptr;
}

// ---- Modes and the insert tool -------------------------------------------------------------

void TUnitMuz::ModeAddExecute()
{
    mode = unitMuzNew;
    if (TMuzNote* note = SelectedNote()) {
        insertTool.Kind = insertModeNote;
        insertTool.NoteLengthKind = note->GetNoteLengthKind();
        insertTool.Points = note->GetPoints();
        insertTool.Art = note->GetNoteArtKind();
        insertTool.Stick = note->GetDrawStickKind();
    } else if (TKey* key = SelectedKey()) {
        insertTool.Kind = insertModeKey;
        insertTool.Key = key->GetKeyKind();
    } else if (TSilence* rest = SelectedSilence()) {
        insertTool.Kind = insertModeSilence;
        insertTool.NoteLengthKind = rest->GetNoteLengthKind();
        insertTool.Points = rest->GetPoints();
    }
}

void TUnitMuz::ModeEditExecute()
{
    mode = unitMuzSel;
}

void TUnitMuz::ModeDeleteExecute()
{
    mode = unitMuzDel;
    SetSelectedSymbol(nullptr);
    // The selection's mark leaves the score; the piece itself is unchanged.
    Refresh();
}

bool TUnitMuz::GetLengthTarget(InsertModeKind& kind) const
{
    if (mode == unitMuzNew) {
        kind = insertTool.Kind;
        return kind == insertModeNote || kind == insertModeSilence;
    }
    if (mode != unitMuzSel)
        return false;
    if (SelectedNote()) {
        kind = insertModeNote;
        return true;
    }
    if (SelectedSilence()) {
        kind = insertModeSilence;
        return true;
    }
    return false;
}

bool TUnitMuz::GetCurrentLength(uint8_t& length) const
{
    if (mode == unitMuzNew) {
        length = insertTool.NoteLengthKind;
        return true;
    }
    if (mode != unitMuzSel)
        return false;
    if (TMuzBar* bar = SelectedBar()) {
        length = bar->GetLength();
        return true;
    }
    TStaveSymbol* symbol = SelectedStaveSymbol();
    if (!symbol || !symbol->IsTimeSymbol())
        return false;
    // The written value, which the length commands take: a tuplet member's whole length is
    // a value longer than what it shows.
    length = static_cast<uint8_t>(static_cast<TStaveTimeSymbol*>(symbol)->GetFlagLength());
    return true;
}

bool TUnitMuz::GetCurrentArt(NoteArtKind& art) const
{
    if (mode == unitMuzNew) {
        art = insertTool.Art;
        return true;
    }
    TMuzNote* note = mode == unitMuzSel ? SelectedNote() : nullptr;
    if (note)
        art = note->GetNoteArtKind();
    return note != nullptr;
}

// ---- Selecting ------------------------------------------------------------------------------

void TUnitMuz::SelectSymbol(TXTouchMuzSymbol* symbol)
{
    SetSelectedSymbol(symbol);
    if (!symbol)
        return;
    if (childMuz) {
        const int32_t origin = childMuz->LayOutNow();
        if (symbol->XValid)
            childMuz->AutoScrollHorz(symbol->XLeft + origin, symbol->XRight + origin);
        if (TStaveSymbol* staveSymbol = SelectedStaveSymbol(); staveSymbol && symbol->XValid) {
            const int32_t middle = staveSymbol->GetNoteStave()->GetMiddleY();
            if (TMuzNote* note = staveSymbol->AsNote())
                childMuz->AutoScrollVert(middle - 5 * note->GetHeight() - 10,
                                         middle - 5 * note->GetHeight() + 10);
            else
                childMuz->AutoScrollVert(middle - 25, middle + 25);
        }
    }
    if (TMuzNote* note = SelectedNote())
        note->PlayNoteSound(tempo.GetValue());
}

void TUnitMuz::SelectOnStave(TNoteStave* stave, double position, TSinglePartMuz* part)
{
    if (!stave || !part)
        return;
    if (TStaveSymbol* found = part->FindStaveSymbolAt(stave, position)) {
        SelectSymbol(found);
        Refresh();
    }
}

void TUnitMuz::SelectStaveUp()
{
    if (TStaveSymbol* symbol = SelectedStaveSymbol())
        SelectOnStave(symbol->GetNoteStave()->GetPrev(), symbol->GetPosition(), symbol->GetOwner());
}

void TUnitMuz::SelectStaveDown()
{
    if (TStaveSymbol* symbol = SelectedStaveSymbol())
        SelectOnStave(symbol->GetNoteStave()->GetNext(), symbol->GetPosition(), symbol->GetOwner());
}

void TUnitMuz::SelectFirstStave()
{
    if (TStaveSymbol* symbol = SelectedStaveSymbol())
        SelectOnStave(firstStave, symbol->GetPosition(), symbol->GetOwner());
}

void TUnitMuz::SelectLastStave()
{
    TNoteStave* lastStave = firstStave;
    while (lastStave && lastStave->GetNext())
        lastStave = lastStave->GetNext();
    if (TStaveSymbol* symbol = SelectedStaveSymbol())
        SelectOnStave(lastStave, symbol->GetPosition(), symbol->GetOwner());
}

void TUnitMuz::SelectStaveStart()
{
    SelectStaveEdge(false);
}

void TUnitMuz::SelectStaveEnd()
{
    SelectStaveEdge(true);
}

void TUnitMuz::SelectStaveEdge(bool end)
{
    TNoteStave* stave = mode == unitMuzSel ? GetSelectionStave() : nullptr;
    if (!stave)
        return;
    // The whole tree asked as the walks left and right ask a part: a piece that opens or closes
    // with a loop ends at that loop's mark, where those walks stop too.
    if (TXTouchMuzSymbol* edge = PartStaveSymbol(*rootPart, *stave, end)) {
        SelectSymbol(edge);
        Refresh();
    }
}

bool TUnitMuz::FindSymbolBeside(bool right, TXTouchMuzSymbol*& symbol) const
{
    symbol = nullptr;
    if (mode != unitMuzSel || !SelectedSymbol)
        return false;
    if (TStaveSymbol* from = SelectedStaveSymbol()) {
        TSinglePartMuz* part = from->GetOwner();
        symbol = right ? part->NextCursorSymbol(from->GetNoteStave(), from)
                       : part->PrevCursorSymbol(from->GetNoteStave(), from);
    } else if (!SelectedInStave) {
        return false;
    } else if (TMuzBar* bar = SelectedBar()) {
        TSinglePartMuz* part = bar->GetSinglePartMuz();
        symbol = right ? part->NextCursorSymbol(SelectedInStave, bar)
                       : part->PrevCursorSymbol(SelectedInStave, bar);
    } else {
        auto* mark = static_cast<TLoopPartSymbol*>(SelectedSymbol);
        TLoopPartMuz* loop = mark->GetLoopPart();
        symbol = right ? loop->NextOfLoopSymbol(SelectedInStave, mark)
                       : loop->PrevOfLoopSymbol(SelectedInStave, mark);
    }
    return symbol != nullptr;
}

void TUnitMuz::SelectPrevExecute()
{
    TXTouchMuzSymbol* muzSymbol = nullptr;
    if (!KV_SOFT_ASSERT(FindSymbolLeft(muzSymbol)))
        return;
    SelectSymbol(muzSymbol);
    Refresh();
}

void TUnitMuz::SelectNextExecute()
{
    TXTouchMuzSymbol* muzSymbol = nullptr;
    if (!KV_SOFT_ASSERT(FindSymbolRight(muzSymbol)))
        return;
    SelectSymbol(muzSymbol);
    Refresh();
}

void TUnitMuz::SelectUpExecute()
{
    if (!KV_SOFT_ASSERT(CanSelectUpExecute()))
        return;
    TMuzNote* note = SelectedNote();
    SelectSymbol(note->GetOwner()->PrevSymbolOfStave(note));
    Refresh();
}

void TUnitMuz::SelectDownExecute()
{
    if (!KV_SOFT_ASSERT(CanSelectDownExecute()))
        return;
    TMuzNote* note = SelectedNote();
    SelectSymbol(note->GetOwner()->NextSymbolOfStave(note));
    Refresh();
}

// ---- The status bar -------------------------------------------------------------------------

std::string TUnitMuz::StatusText(int panel) const
{
    const TStaveSymbol* symbol = SelectedStaveSymbol();
    switch (panel) {
    case 1:
        if (!SelectedSymbol)
            return "";
        if (!symbol)
            return SelectedBar() ? "Bar" : "Loop";
        return symbol->GetStaveSymbolKind() == staveSymbolKey    ? "Key"
               : symbol->GetStaveSymbolKind() == staveSymbolNote ? "Note"
                                                                 : "Silence";
    case 2:
        return symbol ? "pos: " +
                            MixedFraction(symbol->GetPosition(), DecimalText(symbol->GetPosition()))
                      : "";
    case 3: {
        if (!symbol || !symbol->IsTimeSymbol())
            return "";
        const double length = static_cast<const TStaveTimeSymbol*>(symbol)->GetLengthValue();
        return "len: " + MixedFraction(length, std::to_string(static_cast<int32_t>(length)));
    }
    case 4:
        if (const TMuzNote* note = symbol ? symbol->AsNote() : nullptr)
            return NoteName(note->GetPitch(), note->GetNoteShiftKind());
        return "";
    default:
        return "";
    }
}

void TUnitMuz::UpdateStatusBar() const
{
    MainFormLink* link = FindService<MainFormLink>();
    if (!link)
        return;
    link->SetStatusText(1, StatusText(1));
    // A bar or loop mark leaves the texts of the symbol selected before.
    if (SelectedSymbol && !SelectedStaveSymbol())
        return;
    for (int panel = 2; panel <= 4; ++panel)
        link->SetStatusText(panel, StatusText(panel));
}

} // namespace kelvorn
