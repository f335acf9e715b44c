#include "document/wave/UnitWave.h"

#include "document/wave/UndoUnit.h"
#include "document/wave/UnitWaveRecords.h"
#include "general/Assert.h"
#include "general/Services.h"
#include "sound/SoundOps.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kelvorn {

namespace {

SoundPtr MakeEmptySound(int16_t monoStereo, int32_t sampleFreq, int16_t bytesPSample)
{
    if (monoStereo == 1)
        return std::make_shared<MonoSound>(sampleFreq, bytesPSample);
    return std::make_shared<StereoSound>(sampleFreq, bytesPSample);
}

} // namespace

TUnitWave::TUnitWave(const std::string& name, const std::string& fileName,
                     const TWaveFileProps& waveFileProps)
    : TSoundUnit(DocumentKind::Wave), records(std::make_unique<TUnitWaveRecords>())
{
    KV_SOFT_ASSERT(waveFileProps.MonoStereo == 1 || waveFileProps.MonoStereo == 2);
    KV_SOFT_ASSERT(waveFileProps.BytesPSample == 1 || waveFileProps.BytesPSample == 2);
    SetFileName(fileName);
    SetName(name);
    TheSound = MakeEmptySound(waveFileProps.MonoStereo, waveFileProps.SampleFreq,
                              waveFileProps.BytesPSample);
    InitFields();
}

TUnitWave::TUnitWave(const std::string& name, const std::string& fileName, SoundPtr sound)
    : TSoundUnit(DocumentKind::Wave), TheSound(std::move(sound)),
      records(std::make_unique<TUnitWaveRecords>())
{
    if (!KV_SOFT_ASSERT(TheSound != nullptr))
        TheSound = MakeEmptySound(1, 44100, 2);
    SetFileName(fileName);
    SetName(name);
    InitFields();
}

TUnitWave::~TUnitWave()
{
    if (MainFormLink* link = FindService<MainFormLink>())
        link->DeleteUndoOfUnit(*this);
    DeleteDrawNodes();
}

void TUnitWave::InitFields()
{
    childWave = nullptr;
    abortFlag = 0;
    UserDrawing = false;
    DeleteDrawNodes();
    wavePos1 = 0;
    wavePos2 = 0;
}

void TUnitWave::SetAllProps(const TUnitWaveRecords& props)
{
    *records = props;
}

SoundPtr TUnitWave::ExchangeSound(SoundPtr newSound)
{
    if (!KV_SOFT_ASSERT(newSound != nullptr))
        return TheSound;
    std::swap(TheSound, newSound);
    return newSound;
}

int32_t TUnitWave::GetSampleFreq() const
{
    return TheSound->GetSampleFreq();
}

int16_t TUnitWave::GetMonoStereo() const
{
    return TheSound->GetMonoStereo();
}

int16_t TUnitWave::GetBytesPSample() const
{
    return TheSound->GetBytesPSample();
}

// ---- Positions ---------------------------------------------------------------------------

int32_t TUnitWave::Clamp(int32_t p) const
{
    return std::clamp(p, 0, GetValues());
}

int32_t TUnitWave::GetPartBegin() const
{
    return std::min(wavePos1, wavePos2);
}

int32_t TUnitWave::GetPartEnd() const
{
    return std::max(wavePos1, wavePos2);
}

int32_t TUnitWave::GetRangeBegin() const
{
    return IsCursor() ? 0 : GetPartBegin();
}

int32_t TUnitWave::GetRangeEnd() const
{
    return IsCursor() ? GetValues() : GetPartEnd();
}

long double TUnitWave::GetRangeTime() const
{
    int32_t freq = GetSampleFreq();
    if (freq <= 0)
        return 0.0L;
    int64_t length = IsCursor() ? GetValues() : int64_t{GetPartEnd()} - GetPartBegin();
    return static_cast<long double>(length) / freq;
}

void TUnitWave::SetPos1(int32_t p)
{
    wavePos1 = Clamp(p);
}

void TUnitWave::SetPos2(int32_t p)
{
    wavePos2 = Clamp(p);
}

void TUnitWave::SetCursor(int32_t p)
{
    wavePos1 = wavePos2 = Clamp(p);
}

void TUnitWave::SetPart(int32_t begin, int32_t end)
{
    KV_SOFT_ASSERT(begin <= end);
    begin = Clamp(begin);
    end = Clamp(end);
    // Which position gets the larger value is kept from before: a part dragged from right to
    // left stays so; a cursor becomes a part whose first position is the later one.
    if (wavePos1 < wavePos2) {
        wavePos1 = begin;
        wavePos2 = end;
    } else {
        wavePos1 = end;
        wavePos2 = begin;
    }
}

// The new first position passed on is the stored one: a value out of range has been clamped and
// the window must not draw a cursor outside the wave.
void TUnitWave::ChangePos1(int32_t p)
{
    int32_t oldPos1 = wavePos1, oldBegin = GetPartBegin(), oldEnd = GetPartEnd();
    SetPos1(p);
    SetViewModified();
    RedrawPositions(oldPos1, wavePos1, oldBegin, oldEnd, GetPartBegin(), GetPartEnd());
}

void TUnitWave::ChangeCursor(int32_t p)
{
    int32_t oldPos1 = wavePos1, oldBegin = GetPartBegin(), oldEnd = GetPartEnd();
    SetCursor(p);
    SetViewModified();
    RedrawPositions(oldPos1, wavePos1, oldBegin, oldEnd, wavePos1, wavePos1);
}

void TUnitWave::ChangePart(int32_t begin, int32_t end)
{
    int32_t oldPos1 = wavePos1, oldBegin = GetPartBegin(), oldEnd = GetPartEnd();
    SetPart(begin, end);
    SetViewModified();
    RedrawPositions(oldPos1, wavePos1, oldBegin, oldEnd, GetPartBegin(), GetPartEnd());
}

void TUnitWave::ChangePositions(int32_t p1, int32_t p2)
{
    int32_t oldPos1 = wavePos1, oldBegin = GetPartBegin(), oldEnd = GetPartEnd();
    SetPos1(p1);
    SetPos2(p2);
    SetViewModified();
    RedrawPositions(oldPos1, wavePos1, oldBegin, oldEnd, GetPartBegin(), GetPartEnd());
}

void TUnitWave::RedrawPositions(int32_t oldPos1, int32_t newPos1, int32_t oldBegin, int32_t oldEnd,
                                int32_t newBegin, int32_t newEnd)
{
    if (GetValues() == 0)
        return;
    bool moved = oldPos1 != newPos1;
    if (moved && childWave)
        childWave->RepaintPosition(oldPos1);
    RepaintSelectionChange(oldBegin, oldEnd, newBegin, newEnd);
    if (moved && childWave)
        childWave->DrawCursor(newPos1);
}

void TUnitWave::RepaintSelectionChange(int32_t oldBegin, int32_t oldEnd, int32_t newBegin,
                                       int32_t newEnd)
{
    if (GetValues() != 0 && childWave) {
        if (oldBegin < newBegin && oldEnd > oldBegin)
            childWave->RepaintRange(oldBegin, std::min(newBegin, oldEnd));
        if (oldEnd > newEnd && oldEnd > oldBegin)
            childWave->RepaintRange(std::max(newEnd, oldBegin), oldEnd);
        if (oldBegin > newBegin && newEnd > newBegin)
            childWave->RepaintRange(newBegin, std::min(newEnd, oldBegin));
        if (oldEnd < newEnd && newEnd > newBegin)
            childWave->RepaintRange(std::max(newBegin, oldEnd), newEnd);
    }
    if (MainFormLink* link = FindService<MainFormLink>())
        link->WaveSelectionChanged(*this);
}

// ---- Around an operation -----------------------------------------------------------------

void TUnitWave::BeginWaveChange(int32_t begin, int32_t end)
{
    bool viewWaveGroup = childWave && childWave->HasPaneGroup();
    KV_SOFT_ASSERT(viewWaveGroup);
    scaleCursor = IsCursor() && begin <= 0 && GetValues() <= end;
    if (scaleCursor) {
        oldCursor = wavePos1;
        oldValues = GetValues();
    }
    if (viewWaveGroup)
        childWave->SaveZoom(begin, end);
}

void TUnitWave::EndWaveChange(int32_t newBegin, int32_t newEnd)
{
    bool viewWaveGroup = childWave && childWave->HasPaneGroup();
    KV_SOFT_ASSERT(viewWaveGroup);
    if (viewWaveGroup)
        childWave->RestoreZoom(newBegin, newEnd);
    if (!scaleCursor) {
        SetPart(newBegin, newEnd);
    } else if (oldValues == 0) {
        SetCursor(0);
    } else {
        long double scaled = static_cast<long double>(newEnd) / oldValues * oldCursor;
        SetCursor(
            static_cast<int32_t>(std::clamp(scaled, 0.0L, static_cast<long double>(INT32_MAX))));
    }
}

// ---- Change tracking ---------------------------------------------------------------------

bool TUnitWave::CanSaveFile() const
{
    return GetValues() != 0 || UserDrawing;
}

bool TUnitWave::NeedsWaveSave() const
{
    return CanSaveFile() && (dataModified || IsUntitled());
}

bool TUnitWave::NeedsShadowSave() const
{
    return CanSaveFile() && (stateModified || IsUntitled());
}

bool TUnitWave::IsModified() const
{
    return NeedsWaveSave() || NeedsShadowSave();
}

void TUnitWave::SetModified()
{
    if (GetTrackModified())
        dataModified = stateModified = true;
}

void TUnitWave::SetViewModified()
{
    if (GetTrackModified())
        stateModified = true;
}

void TUnitWave::ClearModified()
{
    if (GetTrackModified())
        dataModified = stateModified = false;
}

bool TUnitWave::SaveWaveFile(const std::string& waveFileName)
{
    if (GetValues() == 0)
        return true;
    // Saving is a command of its own: an earlier failure must not stop it.
    BeginOperation();
    return TheSound->SaveToWavFile(&abortFlag, waveFileName, 0, GetValues());
}

// ---- Clipboard and undo ------------------------------------------------------------------

bool TUnitWave::CopyPart(int32_t begin, int32_t end)
{
    SoundUPtr copy = kelvorn::CopyPart(*TheSound, &abortFlag, begin, end);
    if (!copy || abortFlag)
        return false;
    if (MainFormLink* link = FindService<MainFormLink>())
        link->SetClipBoardSound(std::move(copy));
    return true;
}

void TUnitWave::SwapUndo(TUndoUnit& record)
{
    if (!KV_SOFT_ASSERT(record.sound != nullptr))
        return;
    std::swap(TheSound, record.sound);
    std::swap(wavePos1, record.wavePos1);
    std::swap(wavePos2, record.wavePos2);
}

} // namespace kelvorn
