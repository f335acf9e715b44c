// The range edits and the operations with the main window's sound clipboard.

#include "document/wave/WaveDocumentOps.h"

#include "document/wave/UnitWave.h"
#include "document/wave/UnitWaveRecords.h"
#include "document/wave/WaveDocumentLinks.h"
#include "document/wave/WaveDocumentOpsDetail.h"
#include "general/Services.h"
#include "sound/SoundOps.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace kelvorn::waveops {

using namespace detail;

namespace {

SoundPtr ClipBoardSound()
{
    MainFormLink* main = FindService<MainFormLink>();
    return main ? main->GetClipBoardSound() : nullptr;
}

/// The end of the pasted piece: the clipboard's length times the ratio of the two sample
/// frequencies, from begin, kept within the wave.
int32_t PastedEnd(const TUnitWave& unit, const Sound& clip, int32_t begin)
{
    const double ratio = clip.GetSampleFreq() > 0
                             ? static_cast<double>(unit.GetSampleFreq()) / clip.GetSampleFreq()
                             : 1.0;
    const double end = begin + std::trunc(clip.GetValues() * ratio);
    return static_cast<int32_t>(
        std::clamp(end, static_cast<double>(begin), static_cast<double>(unit.GetValues())));
}

/// Delete of [begin, end) inside an open BeginWaveChange frame.
WaveOpResult DeleteRange(TUnitWave& unit, int32_t begin, int32_t end)
{
    SoundUPtr result = kelvorn::Delete(*unit.GetSound(), unit.GetAbortFlag(), begin, end);
    const bool installed = Install(unit, std::move(result));
    unit.EndWaveChange(begin, installed ? begin : end);
    RefreshWave(unit);
    return installed ? WaveOpResult{} : Failure(unit, {});
}

} // namespace

WaveOpResult Delete(TUnitWave& unit)
{
    unit.BeginOperation();
    const int32_t begin = unit.GetRangeBegin();
    const int32_t end = unit.GetRangeEnd();
    unit.BeginWaveChange(begin, end);
    return DeleteRange(unit, begin, end);
}

WaveOpResult Trim(TUnitWave& unit)
{
    unit.BeginOperation();
    const int32_t begin = unit.GetRangeBegin();
    const int32_t end = unit.GetRangeEnd();
    unit.BeginWaveChange(begin, end);
    SoundUPtr result = CopyPart(*unit.GetSound(), unit.GetAbortFlag(), begin, end);
    const bool installed = Install(unit, std::move(result));
    if (installed)
        unit.EndWaveChange(0, end - begin);
    else
        unit.EndWaveChange(begin, end);
    RefreshWave(unit);
    return installed ? WaveOpResult{} : Failure(unit, {});
}

WaveOpResult Copy(TUnitWave& unit)
{
    unit.BeginOperation();
    if (unit.CopyPart(unit.GetRangeBegin(), unit.GetRangeEnd()))
        return {};
    return Failure(unit, {});
}

WaveOpResult Cut(TUnitWave& unit)
{
    unit.BeginOperation();
    const int32_t begin = unit.GetRangeBegin();
    const int32_t end = unit.GetRangeEnd();
    // A copy that failed leaves the abort flag set, so the delete below does nothing: nothing
    // is removed that the clipboard did not get.
    unit.CopyPart(begin, end);
    unit.BeginWaveChange(begin, end);
    return DeleteRange(unit, begin, end);
}

WaveOpResult Paste(TUnitWave& unit)
{
    unit.BeginOperation();
    const SoundPtr clip = ClipBoardSound();
    if (!clip)
        return {WaveOpOutcome::Unchanged, {}};
    const int32_t begin = unit.GetPartBegin();
    const int32_t end = unit.GetPartEnd();
    unit.BeginWaveChange(begin, end);
    SoundUPtr result = kelvorn::Paste(*unit.GetSound(), unit.GetAbortFlag(), *clip, begin, end);
    const bool installed = Install(unit, std::move(result));
    // Kept: the selection is the clipboard's length scaled by the rates, not the resampled
    // piece's exact length.
    unit.EndWaveChange(begin, installed ? PastedEnd(unit, *clip, begin) : end);
    RefreshWave(unit);
    return installed ? WaveOpResult{} : Failure(unit, {});
}

WaveOpResult Swap(TUnitWave& unit)
{
    unit.BeginOperation();
    const SoundPtr clip = ClipBoardSound();
    if (!clip)
        return {WaveOpOutcome::Unchanged, {}};
    const int32_t begin = unit.GetPartBegin();
    const int32_t end = unit.GetPartEnd();
    unit.BeginWaveChange(begin, end);
    SoundUPtr part = CopyPart(*unit.GetSound(), unit.GetAbortFlag(), begin, end);
    SoundUPtr result;
    if (part)
        result = kelvorn::Paste(*unit.GetSound(), unit.GetAbortFlag(), *clip, begin, end);
    const bool installed = part && !unit.IsAborted() && Install(unit, std::move(result));
    if (installed)
        FindService<MainFormLink>()->SetClipBoardSound(SoundPtr(std::move(part)));
    unit.EndWaveChange(begin, installed ? PastedEnd(unit, *clip, begin) : end);
    RefreshWave(unit);
    return installed ? WaveOpResult{} : Failure(unit, {});
}

WaveOpResult Extract(TUnitWave& unit)
{
    unit.BeginOperation();
    const int32_t begin = unit.GetRangeBegin();
    const int32_t end = unit.GetRangeEnd();
    if (!unit.CopyPart(begin, end)) {
        RefreshWave(unit);
        return Failure(unit, {});
    }
    const Sound& sound = *unit.GetSound();
    AbortFlag* abort = unit.GetAbortFlag();
    SoundUPtr copy;
    if (sound.GetMonoStereo() == 2)
        copy = std::make_unique<StereoSound>(sound, abort);
    else
        copy = std::make_unique<MonoSound>(sound, abort);
    if (!unit.IsAborted() && begin < end)
        DrawLine(*copy, abort, begin, 0, end, 0);
    return FinishKeep(unit, std::move(copy), {});
}

WaveOpResult Mix(TUnitWave& unit, const TMixProps& props)
{
    const uint8_t placement = Remember(unit, &TUnitWaveRecords::mixProps, props).placement;
    const SoundPtr clip = ClipBoardSound();
    if (!clip)
        return {WaveOpOutcome::Unchanged, {}};
    const Sound& sound = *unit.GetSound();
    AbortFlag* abort = unit.GetAbortFlag();
    const int32_t length =
        unit.IsCursor() || unit.GetValues() == 0 ? -1 : unit.GetPartEnd() - unit.GetPartBegin();
    std::string error;
    SoundUPtr result;
    switch (placement) {
    case TMixProps::alignBegin:
        result = EditMixAfter(sound, abort, *clip, unit.GetPartBegin(), length, false);
        break;
    case TMixProps::alignEnd:
        result = EditMixBefore(sound, abort, *clip, unit.GetPartEnd(), length, true);
        break;
    default:
        result =
            MixStretched(sound, abort, *clip, unit.GetRangeBegin(), unit.GetRangeEnd(), &error);
        break;
    }
    return FinishKeep(unit, std::move(result), error);
}

} // namespace kelvorn::waveops
