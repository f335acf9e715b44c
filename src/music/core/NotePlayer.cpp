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

/// What a note transposed by transpose semitones asks its player at tempo.
TPlayRequest RequestOf(const TMuzNote& note, double transpose, double tempo)
{
    return {note.GetPeriod() * std::pow(0.5, transpose / 12.0), note.GetSoundLength(), tempo};
}

/// The resonant sampler's roll-out: the range [b, e) of sample n times at its own length, with
/// the parts before and after it.
SoundUPtr RollOutRange(const Sound& sample, AbortFlag* abort, int32_t b, int32_t e, double n)
{
    const double range = e - b;
    return RepeatPart(sample, abort, range / sample.GetSampleFreq(), n, 0.0, &b, &e);
}

/// The resonant sampler's filter over its roll-out, at the fixed period P and factor.
SoundUPtr Resonance(const Sound& rolled, AbortFlag* abort, double P, double factor)
{
    return FilterTwoParams(rolled, abort, true, true, P, factor, nullptr, nullptr,
                           TheFilterTable.resonance, 0, -1);
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
    TPlayerSound part;
    const bool ok = MakeSound(abort, request, nullptr, part, message);
    sound = std::move(part.sound);
    mixFactor = part.mixFactor;
    return ok;
}

bool TOnePlayer::MakeSound(AbortFlag* abort, const TPlayRequest& request, TNoteSoundBatch* batch,
                           TPlayerSound& result, std::string& message)
{
    std::unique_ptr<Sound>& sound = result.sound;
    sound.reset();
    result.resonance = -1;
    const TOnePlayerProps& p = OnePlayerProps;
    result.mixFactor = p.VolumeFactor.GetValue();
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
        const double factor = p.resonant.ResFactor.GetValue();
        if (!batch) {
            SoundUPtr rolled = RollOutRange(sample, abort, b, e, n);
            if (rolled && rolled->GetValues() > 0)
                sound = Resonance(*rolled, abort, P, factor);
            else
                sound = std::move(rolled);
            break;
        }
        // The roll-out depends on the sample, its range and the count alone, so notes of one
        // length share it; the resonance waits to run beside other notes'.
        SoundPtr rolled = batch->RollOut(s.sound, b, e, n, abort);
        if (rolled && rolled->GetValues() > 0) {
            result.resonance = batch->Resonances().Add(rolled, abort, P, factor);
            if (result.resonance >= 0)
                return true;
            sound = Resonance(*rolled, abort, P, factor);
        } else if (rolled) {
            sound = CopyPart(*rolled, abort, 0, -1);
        }
        break;
    }
    case notePlayerRepeatWaveForm: {
        const int32_t n = ClampCount(std::trunc(D / P + 1.5));
        SoundUPtr copy = Volume(sample, abort, p.VolumeFactor.GetValue(), 0, -1);
        b = 0;
        e = -1;
        if (copy)
            sound = PerEcho(*copy, abort, P, 1.0, n, &b, &e);
        result.mixFactor = 1.0;
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

namespace {

/// The first half of a note's sound: the offsets, the canvas when several players mix, and
/// every player's part, with resonances left queued in batch when one is given.
bool StartNote(TCompoundPlayer& player, AbortFlag* abort, const TPlayRequest& request,
               TNoteSoundBatch* batch, TNoteSoundBatch::Pending& note, std::string& message)
{
    double S = 0.0, E = 0.0;
    if (!player.GetOffsets(request, S, E, message))
        return false;
    note.startOffset = S;
    TOnePlayer* first = player.GetFirstOnePlayer();
    if (!first) {
        note.silent = true;
        return true;
    }
    if (!first->GetNext()) {
        note.parts.emplace_back();
        return first->MakeSound(abort, request, batch, note.parts.back(), message);
    }
    const TUnitMuz& document = *player.GetDocument();
    StereoSound empty(document.GetSampleFreq(), document.GetBytesPSample());
    int32_t b = 0, e = 0;
    note.canvas = MakeSilence(empty, abort, S + E, &b, &e);
    if (!note.canvas) {
        message += NoMemory;
        return false;
    }
    for (TOnePlayer* p = first; p; p = p->GetNext()) {
        double pStart = 0.0, pEnd = 0.0;
        note.parts.emplace_back();
        if (!p->GetOffsets(request, pStart, pEnd, message) ||
            !p->MakeSound(abort, request, batch, note.parts.back(), message))
            return false;
        note.partTimes.push_back(S - pStart);
    }
    return true;
}

/// The second half, once the resonances queued by the first have run: one player's sound as
/// it is, several players' mixed into the canvas in list order.
bool FinishNote(TNoteSoundBatch::Pending& note, AbortFlag* abort, ResonanceBatch* resonances,
                std::unique_ptr<Sound>& sound, double& mixFactor, std::string& message)
{
    sound.reset();
    if (note.silent)
        return true;
    auto made = [&](TPlayerSound& part) {
        if (part.resonance < 0)
            return true;
        part.sound = resonances ? resonances->Take(part.resonance) : nullptr;
        if (!part.sound)
            message += NoMemory;
        return part.sound != nullptr;
    };
    if (!note.canvas) {
        TPlayerSound& part = note.parts.front();
        mixFactor = part.mixFactor;
        if (!made(part))
            return false;
        sound = std::move(part.sound);
        return true;
    }
    mixFactor = 1.0;
    for (size_t i = 0; i < note.parts.size(); ++i) {
        TPlayerSound& part = note.parts[i];
        if (!made(part))
            return false;
        if (part.sound &&
            !MixAfterTime(*note.canvas, abort, *part.sound, note.partTimes[i], part.mixFactor)) {
            message += NoMemory;
            return false;
        }
        part.sound.reset();
    }
    sound = std::move(note.canvas);
    return true;
}

} // namespace

bool TCompoundPlayer::GetSound(AbortFlag* abort, const TPlayRequest& request,
                               std::unique_ptr<Sound>& sound, double& mixFactor,
                               double& startOffset, std::string& message)
{
    sound.reset();
    TNoteSoundBatch::Pending note;
    if (!StartNote(*this, abort, request, nullptr, note, message))
        return false;
    startOffset = note.startOffset;
    return FinishNote(note, abort, nullptr, sound, mixFactor, message);
}

// ---- Notes made together ---------------------------------------------------------------------

namespace {

// Roll-outs kept for later notes: a piece has few note lengths.
constexpr size_t KeptRollOuts = 8;
// Channels waiting to resonate that fill the lanes of the widest kernel twice over, so that
// runs of unequal length still find a lane.
constexpr int32_t RunsToFill = 96;
// Values the waiting sounds may hold (8 MB of samples) and notes that may wait.
constexpr int64_t HeldValuesLimit = int64_t{1} << 22;
constexpr size_t WaitingNotesLimit = 1024;

} // namespace

struct TNoteSoundBatch::Rolled
{
    SoundPtr sample;
    int32_t b = 0;
    int32_t e = 0;
    double n = 0.0;
    SoundPtr sound;
};

TNoteSoundBatch::TNoteSoundBatch() : resonances(std::make_unique<ResonanceBatch>()) {}

TNoteSoundBatch::~TNoteSoundBatch() = default;

SoundPtr TNoteSoundBatch::RollOut(const SoundPtr& sample, int32_t b, int32_t e, double n,
                                  AbortFlag* abort)
{
    for (const Rolled& r : rolled)
        if (r.sample == sample && r.b == b && r.e == e && r.n == n)
            return r.sound;
    SoundPtr made = RollOutRange(*sample, abort, b, e, n);
    if (!made)
        return nullptr;
    if (rolled.size() == KeptRollOuts)
        rolled.erase(rolled.begin());
    rolled.push_back(Rolled{sample, b, e, n, made});
    return made;
}

bool TNoteSoundBatch::Add(const TMuzNote& note, double transpose, double tempo, AbortFlag* abort,
                          std::string& message)
{
    Pending item;
    if (TCompoundPlayer* player = note.GetPlayer()) {
        if (!StartNote(*player, abort, RequestOf(note, transpose, tempo), this, item, message))
            return false;
    } else {
        item.silent = true;
    }
    for (const TPlayerSound& part : item.parts)
        heldValues += part.sound ? part.sound->GetValues() : 0;
    heldValues += item.canvas ? item.canvas->GetValues() : 0;
    pending.push_back(std::move(item));
    return true;
}

bool TNoteSoundBatch::Full() const
{
    const int32_t runs = resonances->WaitingRuns();
    return runs == 0 || runs >= RunsToFill ||
           heldValues + resonances->WaitingValues() >= HeldValuesLimit ||
           pending.size() >= WaitingNotesLimit;
}

size_t TNoteSoundBatch::Waiting() const
{
    return pending.size();
}

bool TNoteSoundBatch::Finish(AbortFlag* abort, std::string& message,
                             std::vector<TNoteSound>& results)
{
    // A stopped run leaves its results null: the first note that needs one fails.
    if (resonances->WaitingRuns() > 0)
        resonances->Run(abort);
    bool ok = true;
    for (Pending& item : pending) {
        TNoteSound sound;
        sound.startOffset = item.startOffset;
        if (!FinishNote(item, abort, resonances.get(), sound.sound, sound.mixFactor, message)) {
            ok = false;
            break;
        }
        results.push_back(std::move(sound));
    }
    pending.clear();
    resonances->Clear();
    heldValues = 0;
    return ok;
}

// ---- A note asks its group's player ----------------------------------------------------------

bool TMuzNote::GetSymbolSound(double transpose, double tempo, AbortFlag* abort,
                              std::string& message, TNoteSound& result) const
{
    result = TNoteSound{};
    TCompoundPlayer* player = GetPlayer();
    if (!player)
        return true;
    return player->GetSound(abort, RequestOf(*this, transpose, tempo), result.sound,
                            result.mixFactor, result.startOffset, message);
}

bool TMuzNote::GetSymbolOffsets(double transpose, double tempo, std::string& message,
                                double& startOffset, double& endOffset) const
{
    startOffset = endOffset = 0.0;
    TCompoundPlayer* player = GetPlayer();
    if (!player)
        return true;
    return player->GetOffsets(RequestOf(*this, transpose, tempo), startOffset, endOffset, message);
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
