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

/// What a player is asked: the note's period P0 (already transposed) in seconds, its sounding
/// length in whole notes and the tempo in seconds per whole note.
struct TPlayRequest
{
    double period = 0.0;
    double soundLength = 0.0;
    double tempo = 1.0;
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

} // namespace kelvorn
