#include "music/core/NotePlayer.h"

#include "document/wave/UnitWave.h"
#include "general/Assert.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"
#include "sound/SoundOps.h"

#include <algorithm>
#include <cmath>

namespace kelvorn {

namespace {

const char* const NoMemory = "There is not enough memmory for this operation.";

/// What a document without a wave finder finds: nothing.
class NoWaves final : public WaveDocumentFinder
{
public:
    TUnitWave* FindUnitWave(const std::string&) override { return nullptr; }
};

int32_t ClampCount(double n)
{
    return static_cast<int32_t>(std::clamp(n, 0.0, 2147483647.0));
}

} // namespace

// ---- Props -----------------------------------------------------------------------------------

TSimpleSamplerProps TOnePlayerProps::GetSimpleSamplerProps() const
{
    KV_SOFT_ASSERT(Kind == notePlayerSimpleSampler);
    return simple;
}
TRollOutSamplerProps TOnePlayerProps::GetRollOutSamplerProps() const
{
    KV_SOFT_ASSERT(Kind == notePlayerRollOutSampler);
    return rollOutSampler;
}
TRepeatWaveFormProps TOnePlayerProps::GetRepeatWaveFormProps() const
{
    KV_SOFT_ASSERT(Kind == notePlayerRepeatWaveForm);
    return repeatWaveForm;
}
TRollOutWaveFormProps TOnePlayerProps::GetRollOutWaveFormProps() const
{
    KV_SOFT_ASSERT(Kind == notePlayerRollOutWaveForm);
    return rollOutWaveForm;
}
TResonantSamplerProps TOnePlayerProps::GetResonantSamplerProps() const
{
    KV_SOFT_ASSERT(Kind == notePlayerResonantSampler);
    return resonant;
}
void TOnePlayerProps::SetSimpleSamplerProps(const TSimpleSamplerProps& props)
{
    Kind = notePlayerSimpleSampler;
    simple = props;
}
void TOnePlayerProps::SetRollOutSamplerProps(const TRollOutSamplerProps& props)
{
    Kind = notePlayerRollOutSampler;
    rollOutSampler = props;
}
void TOnePlayerProps::SetRepeatWaveFormProps(const TRepeatWaveFormProps& props)
{
    Kind = notePlayerRepeatWaveForm;
    repeatWaveForm = props;
}
void TOnePlayerProps::SetRollOutWaveFormProps(const TRollOutWaveFormProps& props)
{
    Kind = notePlayerRollOutWaveForm;
    rollOutWaveForm = props;
}
void TOnePlayerProps::SetResonantSamplerProps(const TResonantSamplerProps& props)
{
    Kind = notePlayerResonantSampler;
    resonant = props;
}

// ---- One player ------------------------------------------------------------------------------

struct TOnePlayer::Sample
{
    SoundPtr sound;
    int32_t b = 0;
    int32_t e = 0;
    int32_t N = 0;
    double F = 1.0;
};

const unitUnitWave* TOnePlayer::SampleWave() const
{
    const TOnePlayerProps& p = OnePlayerProps;
    switch (p.Kind) {
    case notePlayerSimpleSampler:
        return &p.simple.SampleWave;
    case notePlayerResonantSampler:
        return &p.resonant.SampleWave;
    case notePlayerRepeatWaveForm:
        return &p.repeatWaveForm.SampleWave;
    case notePlayerRollOutSampler:
        return &p.rollOutSampler.SampleWave;
    case notePlayerRollOutWaveForm:
        return &p.rollOutWaveForm.SampleWave;
    default:
        return nullptr;
    }
}

bool TOnePlayer::FindSample(Sample& sample, std::string& message) const
{
    NoWaves none;
    WaveDocumentFinder* finder = owner ? owner->GetDocument()->GetWaveFinder() : nullptr;
    TUnitWave* wave = SampleWave()->FindUnitWave(finder ? *finder : none, message);
    if (!wave)
        return false;
    sample.sound = wave->GetSound();
    sample.N = sample.sound ? sample.sound->GetValues() : 0;
    sample.b = sample.N ? wave->GetRangeBegin() : 0;
    sample.e = sample.N ? wave->GetRangeEnd() : 0;
    sample.F = sample.sound ? sample.sound->GetSampleFreq() : 1.0;
    return true;
}

double TOnePlayer::EffectivePeriod(double period0) const
{
    const double frequency = 1.0 / period0 + OnePlayerProps.FreqUp.value;
    return frequency > 0.0 && std::isfinite(frequency) ? 1.0 / frequency : 0.0;
}

bool TOnePlayer::GetOffsets(const TPlayRequest& request, double& startOffset, double& endOffset,
                            std::string& message)
{
    startOffset = endOffset = 0.0;
    const TOnePlayerProps& p = OnePlayerProps;
    const double P = EffectivePeriod(request.period);
    if (p.Kind == notePlayerNone || P <= 0.0)
        return true;
    Sample s;
    if (!FindSample(s, message))
        return false;
    // An empty sample (or range) sounds as nothing, like a period that is not positive.
    if (s.e <= s.b || (p.Kind == notePlayerRepeatWaveForm && s.N < 2))
        return true;
    const double D = request.soundLength * request.tempo;
    const double range = s.e - s.b;
    switch (p.Kind) {
    case notePlayerSimpleSampler:
        endOffset = s.N / s.F * P / p.simple.BasicFreq.GetValue();
        break;
    case notePlayerRollOutSampler: {
        // Kept at single precision: pieces written earlier sound by it.
        const float r = static_cast<float>(P / p.rollOutSampler.BasicFreq.GetValue());
        const double n = std::trunc(D / (range * r / s.F) + 0.5);
        startOffset = s.b * r / s.F;
        endOffset = n * range * r / s.F + (s.N - s.e) * r / s.F;
        break;
    }
    case notePlayerResonantSampler: {
        const double n = std::trunc(D / (range / s.F) + 0.5);
        startOffset = s.b / s.F;
        endOffset = n * range / s.F + (s.N - s.e) / s.F;
        break;
    }
    case notePlayerRepeatWaveForm: {
        // The echoes follow the sample, so the sound starts on the note and lasts as long as
        // the echo makes it.
        const int32_t n = ClampCount(std::trunc(D / P + 1.5));
        endOffset = (s.N + std::trunc(s.F * P + 1.0) * n) / s.F;
        break;
    }
    case notePlayerRollOutWaveForm:
        endOffset = D;
        break;
    default:
        break;
    }
    return true;
}

bool TOnePlayer::GetSound(AbortFlag* abort, const TPlayRequest& request,
                          std::unique_ptr<Sound>& sound, double& mixFactor, std::string& message)
{
    sound.reset();
    const TOnePlayerProps& p = OnePlayerProps;
    mixFactor = p.VolumeFactor.GetValue();
    const double P = EffectivePeriod(request.period);
    if (p.Kind == notePlayerNone || P <= 0.0)
        return true;
    Sample s;
    if (!FindSample(s, message))
        return false;
    if (s.e <= s.b || (p.Kind == notePlayerRepeatWaveForm && s.N < 2))
        return true;
    const Sound& sample = *s.sound;
    const double D = request.soundLength * request.tempo;
    const double range = s.e - s.b;
    int32_t b = s.b, e = s.e;
    switch (p.Kind) {
    case notePlayerSimpleSampler: {
        const float r = static_cast<float>(P / p.simple.BasicFreq.GetValue());
        sound = Resample(sample, abort, r);
        break;
    }
    case notePlayerRollOutSampler: {
        const float r = static_cast<float>(P / p.rollOutSampler.BasicFreq.GetValue());
        const double n = std::trunc(D / (range * r / s.F) + 0.5);
        SoundUPtr rolled = RepeatPart(sample, abort, range / s.F, n, 0.0, &b, &e);
        if (rolled && rolled->GetValues() > 0)
            sound = Resample(*rolled, abort, r);
        else
            sound = std::move(rolled);
        break;
    }
    case notePlayerResonantSampler: {
        const double n = std::trunc(D / (range / s.F) + 0.5);
        SoundUPtr rolled = RepeatPart(sample, abort, range / s.F, n, 0.0, &b, &e);
        if (rolled && rolled->GetValues() > 0)
            sound = FilterTwoParams(*rolled, abort, true, true, P, p.resonant.ResFactor.GetValue(),
                                    nullptr, nullptr, TheFilterTable.resonance, 0, -1);
        else
            sound = std::move(rolled);
        break;
    }
    case notePlayerRepeatWaveForm: {
        const int32_t n = ClampCount(std::trunc(D / P + 1.5));
        SoundUPtr copy = Volume(sample, abort, p.VolumeFactor.GetValue(), 0, -1);
        b = 0;
        e = -1;
        if (copy)
            sound = PerEcho(*copy, abort, P, 1.0, n, &b, &e);
        mixFactor = 1.0;
        break;
    }
    case notePlayerRollOutWaveForm: {
        b = 0;
        e = s.N;
        sound = RepeatPart(sample, abort, P, std::trunc(D / P), 0.0, &b, &e);
        break;
    }
    default:
        return true;
    }
    if (!sound) {
        message += NoMemory;
        return false;
    }
    return true;
}

// ---- Compound player -------------------------------------------------------------------------

TCompoundPlayer::~TCompoundPlayer()
{
    while (TOnePlayer* player = first) {
        first = player->GetNext();
        delete player;
    }
}

void TCompoundPlayer::InsertOnePlayer(TOnePlayer* afterPlayer, TOnePlayer* player)
{
    if (!first || !afterPlayer) {
        player->SetNext(first);
        first = player;
        return;
    }
    TOnePlayer* p = first;
    while (p->GetNext() && p != afterPlayer)
        p = p->GetNext();
    if (!KV_SOFT_ASSERT(p == afterPlayer)) {
        delete player;
        return;
    }
    player->SetNext(afterPlayer->GetNext());
    afterPlayer->SetNext(player);
}

bool TCompoundPlayer::DeleteOnePlayer(TOnePlayer* player)
{
    if (!KV_SOFT_ASSERT(player != nullptr))
        return false;
    if (player == current)
        current = nullptr;
    if (player == first) {
        if (!KV_SOFT_ASSERT(player->GetNext() != nullptr))
            return false;
        first = player->GetNext();
        player->SetNext(nullptr);
        return true;
    }
    for (TOnePlayer* p = first; p; p = p->GetNext()) {
        if (p->GetNext() == player) {
            p->SetNext(player->GetNext());
            player->SetNext(nullptr);
            return true;
        }
    }
    KV_SOFT_ASSERT(false);
    return false;
}

TOnePlayer* TCompoundPlayer::GetPrevOnePlayer(const TOnePlayer* player) const
{
    KV_SOFT_ASSERT(first != nullptr);
    TOnePlayer* prev = nullptr;
    for (TOnePlayer* p = first; p && p != player; p = p->GetNext())
        prev = p;
    return prev;
}

bool TCompoundPlayer::GetOffsets(const TPlayRequest& request, double& startOffset,
                                 double& endOffset, std::string& message)
{
    startOffset = endOffset = 0.0;
    for (TOnePlayer* p = first; p; p = p->GetNext()) {
        double s = 0.0, e = 0.0;
        if (!p->GetOffsets(request, s, e, message)) {
            startOffset = endOffset = 0.0;
            return false;
        }
        startOffset = std::max(startOffset, s);
        endOffset = std::max(endOffset, e);
    }
    return true;
}

bool TCompoundPlayer::GetSound(AbortFlag* abort, const TPlayRequest& request,
                               std::unique_ptr<Sound>& sound, double& mixFactor,
                               double& startOffset, std::string& message)
{
    sound.reset();
    double S = 0.0, E = 0.0;
    if (!GetOffsets(request, S, E, message))
        return false;
    startOffset = S;
    if (!first)
        return true;
    if (!first->GetNext())
        return first->GetSound(abort, request, sound, mixFactor, message);
    mixFactor = 1.0;
    StereoSound empty(document->GetSampleFreq(), document->GetBytesPSample());
    int32_t b = 0, e = 0;
    SoundUPtr canvas = MakeSilence(empty, abort, S + E, &b, &e);
    if (!canvas) {
        message += NoMemory;
        return false;
    }
    for (TOnePlayer* p = first; p; p = p->GetNext()) {
        SoundUPtr part;
        double factor = 1.0, pStart = 0.0, pEnd = 0.0;
        if (!p->GetOffsets(request, pStart, pEnd, message) ||
            !p->GetSound(abort, request, part, factor, message))
            return false;
        if (part && !MixAfterTime(*canvas, abort, *part, S - pStart, factor)) {
            message += NoMemory;
            return false;
        }
    }
    sound = std::move(canvas);
    return true;
}

// ---- A note asks its group's player ----------------------------------------------------------

bool TMuzNote::GetSymbolSound(double transpose, double tempo, AbortFlag* abort,
                              std::string& message, TNoteSound& result) const
{
    result = TNoteSound{};
    TCompoundPlayer* player = GetPlayer();
    if (!player)
        return true;
    const TPlayRequest request{GetPeriod() * std::pow(0.5, transpose / 12.0), GetSoundLength(),
                               tempo};
    return player->GetSound(abort, request, result.sound, result.mixFactor, result.startOffset,
                            message);
}

bool TMuzNote::GetSymbolOffsets(double transpose, double tempo, std::string& message,
                                double& startOffset, double& endOffset) const
{
    startOffset = endOffset = 0.0;
    TCompoundPlayer* player = GetPlayer();
    if (!player)
        return true;
    const TPlayRequest request{GetPeriod() * std::pow(0.5, transpose / 12.0), GetSoundLength(),
                               tempo};
    return player->GetOffsets(request, startOffset, endOffset, message);
}

bool TMuzNote::PlaySymbolSound(double tempo) const
{
    AbortFlag abort = 0;
    std::string message;
    TNoteSound result;
    if (!GetSymbolSound(0.0, tempo, &abort, message, result) || !result.sound)
        return false;
    result.sound->Play(false);
    return true;
}

bool TMuzNote::PlayNoteSound(double tempo) const
{
    if (!UnitMuz || !UnitMuz->autoPlay)
        return true;
    return PlaySymbolSound(tempo);
}

} // namespace kelvorn
