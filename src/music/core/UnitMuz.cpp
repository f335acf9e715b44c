#include "music/core/UnitMuz.h"

#include "document/records/WaveFileProps.h"
#include "general/Assert.h"
#include "general/Messages.h"
#include "music/core/MuzLists.h"
#include "music/core/NotePlayer.h"
#include "music/core/Stave.h"
#include "sound/SoundOps.h"

namespace kelvorn {

TUnitMuz::TUnitMuz(const std::string& name, const std::string& fileName)
    : TSoundUnit(DocumentKind::Music), rootPart(std::make_unique<TStartPartMuz>(this))
{
    SetName(name);
    SetFileName(fileName);
}

TUnitMuz::~TUnitMuz()
{
    // What is kept from the piece goes before the piece, which would tell it of every removal.
    keeper.reset();
    // The tree first: its symbols point at the staves.
    rootPart.reset();
    while (TNoteStave* stave = firstStave) {
        firstStave = stave->GetNext();
        delete stave;
    }
}

bool TUnitMuz::SetWaveFileProps(const TWaveFileProps&, const TWaveFileProps& newProps)
{
    sampleFreq = newProps.SampleFreq;
    monoStereo = newProps.MonoStereo;
    bytesPSample = newProps.BytesPSample;
    return true;
}

void TUnitMuz::Refresh()
{
    if (childMuz)
        childMuz->Redraw();
    UpdateStatusBar();
}

void TUnitMuz::Edited()
{
    Refresh();
    SetModified();
}

// ---- New document and staves -----------------------------------------------------------------

void TUnitMuz::NewMusic()
{
    auto* single = new TSinglePartMuz(this);
    TPartMuz* oldPart = rootPart->SetChild(single);
    if (!KV_SOFT_ASSERT(oldPart == nullptr))
        delete oldPart;
    new TMuzBar(single, 4, 4, 0);
    AddStave(nullptr);
    modified = 0;
    SetSelectedSymbol(rootPart->FirstSymbol());
}

TNoteStave* TUnitMuz::CreateStave(TNoteStave* afterStave, int32_t roomUp, int32_t roomDown,
                                  uint8_t drawFlagKind, uint8_t mute, uint8_t extraLines,
                                  uint32_t foregroundColor, uint32_t backgroundColor)
{
    auto* stave = new TNoteStave(this, foregroundColor, backgroundColor, roomUp, roomDown,
                                 drawFlagKind, mute, extraLines);
    LinkStaveAfter(afterStave, stave);
    return stave;
}

TNoteStave* TUnitMuz::AddStave(TNoteStave* previous)
{
    TNoteStave* stave = CreateStave(previous, 80, 80, 1, 0, 0, 0x000000, 0xFFFFFF);
    rootPart->StaveAdded(stave);
    auto player = std::make_unique<TCompoundPlayer>(this);
    MakeDefaultOnePlayer(*player);
    auto* group = new TNoteGroup(stave, std::move(player), 0x000000, 0, drawStickUp);
    stave->InsertNoteGroup(nullptr, group);
    stave->SetSelectedNoteGroup(group);
    currentStave = stave;
    return stave;
}

void TUnitMuz::LinkStaveAfter(TNoteStave* afterStave, TNoteStave* stave)
{
    StavesChanged();
    if (!afterStave) {
        stave->SetPrev(nullptr);
        stave->SetNext(firstStave);
        if (firstStave)
            firstStave->SetPrev(stave);
        firstStave = stave;
        return;
    }
    TNoteStave* s = firstStave;
    while (s && s != afterStave)
        s = s->GetNext();
    if (!KV_SOFT_ASSERT(s == afterStave))
        return;
    stave->SetPrev(afterStave);
    stave->SetNext(afterStave->GetNext());
    if (afterStave->GetNext())
        afterStave->GetNext()->SetPrev(stave);
    afterStave->SetNext(stave);
}

void TUnitMuz::UnlinkStave(TNoteStave* stave)
{
    StavesChanged();
    if (!KV_SOFT_ASSERT(firstStave != nullptr) || !KV_SOFT_ASSERT(stave != nullptr))
        return;
    TNoteStave* s = firstStave;
    while (s && s != stave)
        s = s->GetNext();
    if (!KV_SOFT_ASSERT(s == stave))
        return;
    if (stave->GetPrev())
        stave->GetPrev()->SetNext(stave->GetNext());
    else
        firstStave = stave->GetNext();
    if (stave->GetNext())
        stave->GetNext()->SetPrev(stave->GetPrev());
    stave->SetNext(nullptr);
    stave->SetPrev(nullptr);
    // A stave being moved keeps the selection on it, but no walk over the list may stand on it.
    if (staveCursor == stave)
        staveCursor = nullptr;
}

void TUnitMuz::FillStaveRests(TNoteStave* stave)
{
    rootPart->FillRests(stave);
}

void TUnitMuz::DeleteStaveSymbolsInParts(TNoteStave* stave)
{
    rootPart->StaveDeleting(stave);
}

void TUnitMuz::DeleteGroupNotesInParts(TNoteGroup* group)
{
    rootPart->GroupDeleting(group);
}

void TUnitMuz::DeleteStave(TNoteStave* stave)
{
    DeleteStaveSymbolsInParts(stave);
    UnlinkStave(stave);
    delete stave;
}

bool TUnitMuz::DeleteNoteGroup(TNoteGroup* group)
{
    TNoteStave* stave = group->GetNoteStave();
    if (!stave || stave->CountNoteGroups() < 2)
        return false;
    DeleteGroupNotesInParts(group);
    StavesChanged();
    stave->GroupLeaving(group);
    if (!stave->DeleteNoteGroup(group))
        return false;
    delete group;
    return true;
}

bool TUnitMuz::DeletePart(TPartMuz* part)
{
    // Only a part beside another goes: a repeat, a turns part or the root left without its
    // part would break every walk of the tree.
    if (!part || !part->GetParent() || part->GetParent()->GetKind() != partConcat)
        return false;
    const TPartMuz::TDetached d = part->Detach();
    if (!d.parent)
        return false;
    PartsChanged();
    delete part;
    TConcatPartMuz::Collapse(static_cast<TConcatPartMuz*>(d.parent));
    return true;
}

int32_t TUnitMuz::CountStaves() const
{
    int32_t n = 0;
    for (TNoteStave* s = firstStave; s; s = s->GetNext())
        ++n;
    return n;
}

bool TUnitMuz::FirstStave()
{
    staveCursor = firstStave;
    return staveCursor != nullptr;
}

bool TUnitMuz::NextStave()
{
    if (!staveCursor)
        return false;
    staveCursor = staveCursor->GetNext();
    return staveCursor != nullptr;
}

// ---- Change notices --------------------------------------------------------------------------

void TUnitMuz::Changed(const TMuzChange& change)
{
    ++generation;
    if (keeper)
        keeper->PieceChanged(change);
}

void TUnitMuz::SymbolChanged(const TStaveSymbol& symbol)
{
    Changed({TMuzChange::Symbols, symbol.GetOwner(), symbol.GetPosition()});
}

void TUnitMuz::SetTempo(double secondsPerWholeNote)
{
    tempo.SetValue(secondsPerWholeNote);
    Changed({TMuzChange::Tempo, nullptr, 0.0});
}

// ---- Selection and removal notices -----------------------------------------------------------

void TUnitMuz::SetSelectedSymbol(TXTouchMuzSymbol* symbol)
{
    if (SelectedSymbol && SelectedSymbol->GetMuzSymbolKind() == muzSymbolStave)
        SelectedInStave = static_cast<TStaveSymbol*>(SelectedSymbol)->GetNoteStave();
    SelectedSymbol = symbol;
}

uint8_t TUnitMuz::GetSelMuzSymbolKind() const
{
    return SelectedSymbol ? static_cast<uint8_t>(SelectedSymbol->GetMuzSymbolKind())
                          : muzSymbolNone;
}

void TUnitMuz::ForgetSymbol(const TXTouchMuzSymbol* symbol)
{
    if (keeper)
        keeper->Forget(symbol);
    if (SelectedSymbol == symbol)
        SelectedSymbol = nullptr;
}

void TUnitMuz::ForgetStave(const TNoteStave* stave)
{
    if (keeper)
        keeper->Forget(stave);
    StavesChanged();
    if (SelectedSymbol && SelectedSymbol->GetMuzSymbolKind() == muzSymbolStave &&
        static_cast<TStaveSymbol*>(SelectedSymbol)->GetNoteStave() == stave)
        SelectedSymbol = nullptr;
    if (SelectedInStave == stave)
        SelectedInStave = nullptr;
    if (currentStave == stave)
        currentStave = firstStave != stave ? firstStave : nullptr;
    if (staveCursor == stave)
        staveCursor = nullptr;
}

void TUnitMuz::ForgetTreeItem(const TMusTreeItem* item)
{
    if (keeper)
        keeper->Forget(item);
    if (selectedTreeItem == item)
        selectedTreeItem = nullptr;
}

// ---- Rendering -------------------------------------------------------------------------------

TMusicRender TUnitMuz::CreateSound()
{
    return Render(monoStereo != 1, sampleFreq, bytesPSample, nullptr, nullptr, rootPart.get());
}

TMusicRender TUnitMuz::CreateStaveSound(const TNoteStave* stave)
{
    return Render(monoStereo != 1, sampleFreq, bytesPSample, stave, nullptr, rootPart.get());
}

TMusicRender TUnitMuz::CreateNoteGroupSound(const TNoteGroup* group)
{
    return Render(monoStereo != 1, sampleFreq, bytesPSample, nullptr, group, rootPart.get());
}

TMusicRender TUnitMuz::CreatePartSound(TPartMuz* part)
{
    rootPart->ResetTurns();
    return Render(monoStereo != 1, sampleFreq, bytesPSample, nullptr, nullptr, part);
}

TMusicRender TUnitMuz::RenderMono(int32_t freq, int16_t bytes, const TNoteStave* stave,
                                  const TNoteGroup* group, TPartMuz* part)
{
    return Render(false, freq, bytes, stave, group, part);
}

TMusicRender TUnitMuz::RenderStereo(int32_t freq, int16_t bytes, const TNoteStave* stave,
                                    const TNoteGroup* group, TPartMuz* part)
{
    return Render(true, freq, bytes, stave, group, part);
}

TMusicRender TUnitMuz::Render(bool stereo, int32_t freq, int16_t bytes, const TNoteStave* stave,
                              const TNoteGroup* group, TPartMuz* part)
{
    TMusicRender result;
    // Nobody can stop a render: the budget of note events and turns ends it instead.
    AbortFlag abort = 0;
    TRenderContext context;
    context.abort = &abort;
    context.message = &result.message;
    context.staveFilter = stave;
    context.groupFilter = group;
    context.tempo = tempo.GetValue();
    context.eventLimit = renderEventLimit;

    double preRoll = 0.0, end = 0.0, runningTime = 0.0;
    if (!part->Measure(context, preRoll, end, runningTime, 0.0))
        return result;
    std::unique_ptr<Sound> empty;
    if (stereo)
        empty = std::make_unique<StereoSound>(freq, bytes);
    else
        empty = std::make_unique<MonoSound>(freq, bytes);
    if (preRoll == 0.0 && end == 0.0) {
        result.sound = std::move(empty);
        result.ok = true;
        return result;
    }
    int32_t b = 0, e = 0;
    SoundUPtr canvas = MakeSilence(*empty, &abort, preRoll + end, &b, &e);
    if (!canvas) {
        result.message = "There is not enough memmory for this operation.";
        return result;
    }
    runningTime = preRoll;
    if (!part->Render(context, *canvas, runningTime, 0.0) || !context.MixNotes())
        return result;
    result.sound = std::move(canvas);
    result.ok = true;
    return result;
}

} // namespace kelvorn
