#pragma once
// Note players. A note group sounds through one compound player, a list of one-players, each of
// which samples an open wave window (named by its caption) at the note's period. Periods are
// seconds per vibration; a note's length reaches the players as whole notes and a tempo in
// seconds per whole note.

#include "document/records/WaveReference.h"
#include "general/values/ValueUnits.h"
#include "music/core/MuzSymbols.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelvorn {

enum NotePlayerKind : uint8_t {
    notePlayerSimpleSampler = 0,
    notePlayerResonantSampler = 1,
    notePlayerRepeatWaveForm = 2,
    notePlayerRollOutSampler = 3,
    notePlayerRollOutWaveForm = 4,
    notePlayerNone = 255
};

struct TSimpleSamplerProps
{
    unitUnitWave SampleWave{"sample"};
    unitTimePosMore BasicFreq{1.0 / 440.0, EHHZ};
};

struct TRollOutSamplerProps
{
    unitUnitWave SampleWave{"sample"};
    unitTimePosMore BasicFreq{1.0 / 440.0, EHHZ};
};

struct TRepeatWaveFormProps
{
    unitUnitWave SampleWave{"sample"};
};

struct TRollOutWaveFormProps
{
    unitUnitWave SampleWave{"sample"};
};

struct TResonantSamplerProps
{
    unitUnitWave SampleWave{"sample"};
    unitFactorPosMax1 ResFactor{0.05, EHPerc};
};

/// The settings of all five kinds at once, so that switching the kind keeps the others'.
class TOnePlayerProps
{
public:
    TOnePlayerProps(const unitFactor& volumeFactor, const unitFreq& freqUp)
        : FreqUp(freqUp), VolumeFactor(volumeFactor)
    {
    }

    NotePlayerKind GetKind() const { return Kind; }
    /// Makes kind current with the settings kept for it.
    void SetKind(NotePlayerKind kind) { Kind = kind; }
    TSimpleSamplerProps GetSimpleSamplerProps() const;
    TRollOutSamplerProps GetRollOutSamplerProps() const;
    TRepeatWaveFormProps GetRepeatWaveFormProps() const;
    TRollOutWaveFormProps GetRollOutWaveFormProps() const;
    TResonantSamplerProps GetResonantSamplerProps() const;
    void SetSimpleSamplerProps(const TSimpleSamplerProps& props);
    void SetRollOutSamplerProps(const TRollOutSamplerProps& props);
    void SetRepeatWaveFormProps(const TRepeatWaveFormProps& props);
    void SetRollOutWaveFormProps(const TRollOutWaveFormProps& props);
    void SetResonantSamplerProps(const TResonantSamplerProps& props);

    unitFreq FreqUp;
    unitFactor VolumeFactor;

private:
    friend class TOnePlayer;
    TSimpleSamplerProps simple;
    TRollOutSamplerProps rollOutSampler;
    TRepeatWaveFormProps repeatWaveForm;
    TRollOutWaveFormProps rollOutWaveForm;
    TResonantSamplerProps resonant;
    NotePlayerKind Kind = notePlayerNone;
};

class TCompoundPlayer;
class TNoteSoundBatch;
class ResonanceBatch;

/// What a player is asked: the note's period P0 (already transposed) in seconds, its sounding
/// length in whole notes and the tempo in seconds per whole note.
struct TPlayRequest
{
    double period = 0.0;
    double soundLength = 0.0;
    double tempo = 1.0;
};

/// One player's part of a note's sound: the sound itself, or the index of the resonance in the
/// note batch that will make it.
struct TPlayerSound
{
    std::unique_ptr<Sound> sound;
    int resonance = -1;
    double mixFactor = 1.0;
};

class TOnePlayer
{
public:
    TOnePlayer(TCompoundPlayer* owner, const TOnePlayerProps& props)
        : owner(owner), OnePlayerProps(props)
    {
    }
    virtual ~TOnePlayer() = default;

    /// The player's sound (null for silence) and its mix factor; false with message filled when
    /// the sample window is not open or an engine operation failed.
    virtual bool GetSound(AbortFlag* abort, const TPlayRequest& request,
                          std::unique_ptr<Sound>& sound, double& mixFactor, std::string& message);
    /// Seconds the sound begins before the note's time and reaches after it.
    virtual bool GetOffsets(const TPlayRequest& request, double& startOffset, double& endOffset,
                            std::string& message);
    /// GetSound's work, except that with a batch a resonant sampler shares the batch's roll-outs
    /// and leaves its resonance queued there, to run beside other notes'.
    bool MakeSound(AbortFlag* abort, const TPlayRequest& request, TNoteSoundBatch* batch,
                   TPlayerSound& result, std::string& message);

    TOnePlayer* GetNext() const { return next; }
    void SetNext(TOnePlayer* player) { next = player; }
    TCompoundPlayer* GetOwner() const { return owner; }

private:
    struct Sample;
    bool FindSample(Sample& sample, std::string& message) const;
    const unitUnitWave* SampleWave() const;
    /// 1 / (1/P0 + FreqUp), or 0 when that is not positive.
    double EffectivePeriod(double period0) const;

    TOnePlayer* next = nullptr;
    TCompoundPlayer* owner;

public:
    TOnePlayerProps OnePlayerProps;
};

class TCompoundPlayer
{
public:
    explicit TCompoundPlayer(TUnitMuz* document) : document(document) {}
    virtual ~TCompoundPlayer();
    TCompoundPlayer(const TCompoundPlayer&) = delete;
    TCompoundPlayer& operator=(const TCompoundPlayer&) = delete;

    TUnitMuz* GetDocument() const { return document; }
    TOnePlayer* GetFirstOnePlayer() const { return first; }
    /// Links player after afterPlayer (at the front for null or an empty list); takes it over.
    void InsertOnePlayer(TOnePlayer* afterPlayer, TOnePlayer* player);
    /// Unlinks player (the caller destroys it); the list may not become empty.
    bool DeleteOnePlayer(TOnePlayer* player);
    TOnePlayer* GetPrevOnePlayer(const TOnePlayer* player) const;
    /// The player the "Music" window shows (not stored: the first one after reading).
    TOnePlayer* GetCurrentOnePlayer() const { return current ? current : first; }
    void SetCurrentOnePlayer(TOnePlayer* player) { current = player; }

    /// One player's sound as it is; several players mixed into a stereo sound of S + E seconds
    /// with mix factor 1.0. Null sound for silence.
    virtual bool GetSound(AbortFlag* abort, const TPlayRequest& request,
                          std::unique_ptr<Sound>& sound, double& mixFactor, double& startOffset,
                          std::string& message);
    virtual bool GetOffsets(const TPlayRequest& request, double& startOffset, double& endOffset,
                            std::string& message);

private:
    TOnePlayer* first = nullptr;
    TOnePlayer* current = nullptr;
    TUnitMuz* document;
};

/// Notes' sounds made several at a time, with the samples they have one at a time: the
/// resonances of resonant samplers run side by side (each note's resonance is a long chain of
/// dependent steps that keeps only a small part of the processor busy), and notes that roll out
/// the same range of the same sample as often share one roll-out. A note's sound is started
/// by Add and handed out by Finish, in the order the notes were added.
class TNoteSoundBatch
{
public:
    TNoteSoundBatch();
    ~TNoteSoundBatch();
    TNoteSoundBatch(const TNoteSoundBatch&) = delete;
    TNoteSoundBatch& operator=(const TNoteSoundBatch&) = delete;

    /// Starts the sound GetSymbolSound gives note (transposed by transpose semitones, at tempo
    /// seconds per whole note). False with message filled when it fails as GetSymbolSound
    /// would; the note is then not kept.
    bool Add(const TMuzNote& note, double transpose, double tempo, AbortFlag* abort,
             std::string& message);
    /// Whether the sounds should be finished now: enough resonances wait to fill the lanes, or
    /// the waiting sounds hold enough memory; always when no resonance waits.
    bool Full() const;
    /// Notes added and not finished yet.
    size_t Waiting() const;
    /// Finishes the notes added since the last Finish, in the order they were added, appending
    /// each one's sound to results. Stops at the first that fails (message filled) and answers
    /// false; results then ends with the one before it. The batch is empty afterwards.
    bool Finish(AbortFlag* abort, std::string& message, std::vector<TNoteSound>& results);

    /// The range [b, e) of sample rolled out n times at its own length, the part before and
    /// after it kept (the resonant sampler's roll-out): the one made earlier for the same
    /// sample, range and count, or a new one. Null when it failed.
    SoundPtr RollOut(const SoundPtr& sample, int32_t b, int32_t e, double n, AbortFlag* abort);
    ResonanceBatch& Resonances() { return *resonances; }

    /// A note's sound in the making: its players' parts, mixed into canvas when there are
    /// several.
    struct Pending
    {
        std::vector<TPlayerSound> parts;
        std::vector<double> partTimes;
        std::unique_ptr<Sound> canvas;
        double startOffset = 0.0;
        bool silent = false;
    };

private:
    struct Rolled;
    std::vector<Pending> pending;
    std::vector<Rolled> rolled;
    std::unique_ptr<ResonanceBatch> resonances;
    int64_t heldValues = 0;
};

} // namespace kelvorn
