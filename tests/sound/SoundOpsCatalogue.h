#pragma once
// The catalogue of sound operations the dispatch and failure tests run: every operation that
// makes a new sound, and every one that changes a sound in place, each with the wave operation
// a channel must match. Times are given so that OpsRate turns them into the counts written
// beside them.

#include "sound/Filters.h"
#include "general/random/Random15.h"
#include "sound/SoundOps.h"
#include "sound/SoundOpsTestSupport.h"
#include "sound/WavePrimitives.h"
#include "sound/WaveSignal.h"

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace kelvorn::test {

/// The other sounds an operation reads, and the channels of them that one channel must see.
struct OpsWorld
{
    // Both stereo, with channels unlike each other: a mono sound reads their mean, a stereo
    // one each side for itself.
    std::unique_ptr<StereoSound> envelope =
        StereoOf({0, 16000, 32767, 8000, -4000}, {32767, -32768, 1000, 20000, 5});
    std::unique_ptr<StereoSound> partner =
        StereoOf({100, 200, 300, 400, 500}, {-10, -20, -30, -40, -50});
    WavePtr envelopeMean;
    WavePtr partnerMean;

    OpsWorld()
    {
        envelopeMean = mixHalf(*envelope->GetLeftWave(), nullptr, *envelope->GetRightWave());
        partnerMean = mixHalf(*partner->GetLeftWave(), nullptr, *partner->GetRightWave());
    }
};

/// What channel `channel` of a sound reads of the other sounds.
struct ChannelView
{
    bool stereo;
    int channel;
    const Wave& env;
    const Wave& partner;
};

inline ChannelView ViewOf(const OpsWorld& world, bool stereo, int channel)
{
    if (!stereo)
        return {false, 0, *world.envelopeMean, *world.partnerMean};
    return {true, channel,
            channel == 0 ? *world.envelope->GetLeftWave() : *world.envelope->GetRightWave(),
            channel == 0 ? *world.partner->GetLeftWave() : *world.partner->GetRightWave()};
}

/// The source sounds: 12 values, the stereo left equal to the mono channel.
inline std::unique_ptr<MonoSound> OpsMono()
{
    return MonoOf({1000, -2000, 3000, 4000, -5000, 6000, 700, -800, 900, 1000, -1100, 1200});
}

inline std::unique_ptr<StereoSound> OpsStereo()
{
    return StereoOf({1000, -2000, 3000, 4000, -5000, 6000, 700, -800, 900, 1000, -1100, 1200},
                    {-300, 2500, -3500, 1500, 8000, -6000, 250, 4000, -7000, 100, 2200, -900});
}

/// The range every catalogue entry is called with.
constexpr int32_t OpsBegin = 2;
constexpr int32_t OpsEnd = 9;

using RunNew =
    std::function<SoundUPtr(const Sound&, AbortFlag*, const OpsWorld&, int32_t*, int32_t*)>;
using ExpectChannel = std::function<WavePtr(const Wave&, const ChannelView&, int32_t*, int32_t*)>;

/// An operation that makes a new sound.
struct NewOp
{
    std::string name;
    RunNew run;
    ExpectChannel expect;
    // The result's length for the 12-value sources, and its rate (0: the source's).
    int32_t length;
    int32_t rate = 0;
};

/// Expected values are computed with a flag of their own.
inline AbortFlag* Scratch()
{
    static AbortFlag flag;
    flag = 0;
    return &flag;
}

inline const double* Ptr(const std::vector<double>& v)
{
    return v.data();
}

inline std::vector<NewOp> NewOps()
{
    const double r = OpsRate;
    const std::vector<double> amps{1000, 500}, pers{4.0 / r, 2.5 / r}, ftimes{8.0 / r, 4.0 / r},
        facs{0.5, 0.25}, phases{0.0, 0.5};
    const std::vector<double> persV{4.0, 2.5},
        decays{std::pow(0.5, 1.0 / 8.0), std::pow(0.25, 1.0 / 4.0)};
    std::vector<NewOp> ops;
    auto add = [&](std::string name, RunNew run, ExpectChannel expect, int32_t length,
                   int32_t rate = 0) {
        ops.push_back({std::move(name), std::move(run), std::move(expect), length, rate});
    };

    // ---- Format and length
    add(
        "ChangeSampleFreq",
        [](auto& s, auto* a, auto&, auto*, auto*) { return ChangeSampleFreq(s, a, 2048.0); },
        [](auto& w, auto&, auto*, auto*) { return resampleFactor(w, Scratch(), 2.0); }, 23, 2048);
    add(
        "Length", [](auto& s, auto* a, auto&, auto* b, auto* e) { return Length(s, a, 0.5, b, e); },
        [](auto& w, auto&, auto* b, auto* e) { return resampleRange(w, Scratch(), 0.5, b, e); }, 9);
    add(
        "Resample", [](auto& s, auto* a, auto&, auto*, auto*) { return Resample(s, a, -2.0); },
        [](auto& w, auto&, auto*, auto*) { return resampleFactor(w, Scratch(), -2.0); }, 23);

    // ---- Transforms
    add(
        "MoveV",
        [](auto& s, auto* a, auto&, auto* b, auto* e) { return MoveV(s, a, 30000, *b, *e); },
        [](auto& w, auto&, auto* b, auto* e) { return moveV(w, Scratch(), 30000, *b, *e); }, 12);
    add(
        "NormalizeV",
        [](auto& s, auto* a, auto&, auto* b, auto* e) { return NormalizeV(s, a, *b, *e); },
        [](auto& w, auto&, auto* b, auto* e) { return normalizeV(w, Scratch(), *b, *e); }, 12);
    add(
        "Block",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) { return Block(s, a, 2.5 / r, 3, *b, *e); },
        [](auto& w, auto&, auto* b, auto* e) { return block(w, Scratch(), 2.5, 3, *b, *e); }, 12);
    add(
        "Rotate",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) { return Rotate(s, a, 3.75 / r, *b, *e); },
        [](auto& w, auto&, auto* b, auto* e) { return rotate(w, Scratch(), 3, *b, *e); }, 12);
    add(
        "Reverse", [](auto& s, auto* a, auto&, auto* b, auto* e) { return Reverse(s, a, *b, *e); },
        [](auto& w, auto&, auto* b, auto* e) { return reverse(w, Scratch(), *b, *e); }, 12);
    add(
        "Distort",
        [](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return Distort(s, a, *o.envelope, *b, *e);
        },
        [](auto& w, auto& v, auto* b, auto* e) { return distort(w, Scratch(), &v.env, *b, *e); },
        12);

    // ---- Volume (stereo peak of [2, 9): 8000 on the right; mono: 6000)
    add(
        "Volume",
        [](auto& s, auto* a, auto&, auto* b, auto* e) { return Volume(s, a, 1.5, *b, *e); },
        [](auto& w, auto&, auto* b, auto* e) { return volume(w, Scratch(), 1.5, *b, *e); }, 12);
    add(
        "VolumeEnvelope",
        [](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return VolumeEnvelope(s, a, *o.envelope, *b, *e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return volumeEnvelope(w, Scratch(), &v.env, *b, *e);
        },
        12);
    add(
        "VolumeToLevel",
        [](auto& s, auto* a, auto&, auto* b, auto* e) { return VolumeToLevel(s, a, 0.5, *b, *e); },
        [](auto& w, auto& v, auto* b, auto* e) {
            return volume(w, Scratch(), 0.5 * 32767.0 / (v.stereo ? 8000 : 6000), *b, *e);
        },
        12);
    add(
        "MaxVolume",
        [](auto& s, auto* a, auto&, auto* b, auto* e) { return MaxVolume(s, a, *b, *e); },
        [](auto& w, auto& v, auto* b, auto* e) {
            return volume(w, Scratch(), 32767.0 / (v.stereo ? 8000 : 6000), *b, *e);
        },
        12);
    add(
        "Volume07",
        [](auto& s, auto* a, auto&, auto* b, auto* e) { return Volume07(s, a, *b, *e); },
        [](auto& w, auto& v, auto* b, auto* e) {
            return volume(w, Scratch(), 0.7 * 32767.0 / (v.stereo ? 8000 : 6000), *b, *e);
        },
        12);

    // ---- Generators (the range [2, 9) of 7 values is replaced)
    add(
        "MakeSilence",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) {
            return MakeSilence(s, a, 10.5 / r, b, e);
        },
        [](auto& w, auto&, auto* b, auto* e) { return makeSilence(w, Scratch(), 11, b, e); }, 16);
    add(
        "MakeSilenceCount",
        [](auto& s, auto* a, auto&, auto*, auto*) { return MakeSilenceCount(s, a, 5.9); },
        [](auto& w, auto&, auto*, auto*) {
            int32_t b = 0, e = 12;
            return makeSilence(w, Scratch(), 5, &b, &e);
        },
        5);
    add(
        "MakeLine",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) {
            return MakeLine(s, a, 100, 1000, 10.5 / r, false, b, e);
        },
        [](auto& w, auto&, auto* b, auto* e) {
            return makeLine(w, Scratch(), 100, 1000, 11, b, e);
        },
        16);
    add(
        "MakeLineGeometric",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) {
            return MakeLine(s, a, 100, 1000, 10.5 / r, true, b, e);
        },
        [](auto& w, auto&, auto* b, auto* e) {
            return makeExpLine(w, Scratch(), 100, 1000, 11, b, e);
        },
        16);
    add(
        "MakeBlockTriangle",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) {
            return MakeBlockTriangle(s, a, 1000, -3000, 4.5 / r, 0.25, 10.5 / r, 0.1, true, b, e);
        },
        [](auto& w, auto&, auto* b, auto* e) {
            return makeBlockTriangle(w, Scratch(), -3000, 1000, 4.5, 0.25, 10, 0.1, true, b, e);
        },
        15);
    add(
        "MakeBlockTriangleEnvelope",
        [r](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return MakeBlockTriangleEnvelope(s, a, 1000, -3000, 4.5 / r, *o.envelope, 10.5 / r, 0.1,
                                             false, b, e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return makeBlockTriangleEnv(w, Scratch(), -3000, 1000, 4.5, &v.env, 10, 0.1, false, b,
                                        e);
        },
        15);
    add(
        "MakeSinus",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) {
            return MakeSinus(s, a, 1000, -3000, 4.5 / r, 2.0, 0.25, b, e);
        },
        [](auto& w, auto&, auto* b, auto* e) {
            return makeSinus(w, Scratch(), 1000, -3000, 4.5, 2.0, 0.25, b, e);
        },
        14);
    add(
        "MakeNoise",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) {
            return MakeNoise(s, a, 1000, 10.5 / r, b, e);
        },
        [](auto& w, auto&, auto* b, auto* e) { return makeNoise(w, Scratch(), 1000, 10, b, e); },
        15);
    add(
        "MakeMFreq",
        [=](auto& s, auto* a, auto&, auto* b, auto* e) {
            return MakeMFreq(s, a, 10.5 / r, 2, Ptr(amps), Ptr(pers), Ptr(ftimes), Ptr(facs),
                             Ptr(phases), b, e);
        },
        [=](auto& w, auto&, auto* b, auto* e) {
            return makeMFreq(w, Scratch(), 10, 2, Ptr(amps), Ptr(persV), Ptr(phases), Ptr(decays),
                             b, e);
        },
        15);
    add(
        "MakeMFreqForm",
        [=](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return MakeMFreqForm(s, a, 10.5 / r, *o.envelope, 2, Ptr(amps), Ptr(pers), Ptr(ftimes),
                                 Ptr(facs), Ptr(phases), b, e);
        },
        [=](auto& w, auto& v, auto* b, auto* e) {
            return makeMFreqForm(w, Scratch(), 10, &v.env, 2, Ptr(amps), Ptr(persV), Ptr(phases),
                                 Ptr(decays), b, e);
        },
        15);
    add(
        "RepeatPart",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) {
            return RepeatPart(s, a, 3.5 / r, 3.0, 0.25, b, e);
        },
        [](auto& w, auto&, auto* b, auto* e) {
            return repeatForm(w, Scratch(), &w, 3.5, 3.0, 0.25, b, e, 2, 9);
        },
        15);
    add(
        "RollIn",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) { return RollIn(s, a, 5.5 / r, 1, b, e); },
        [](auto& w, auto&, auto* b, auto* e) { return rollIn(w, Scratch(), 5, 1, b, e); }, 10);
    add(
        "RollOut",
        [](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return RollOut(s, a, *o.envelope, 1.5, 1.25, 0.25, b, e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return rollOut(w, Scratch(), &v.env, 1.5, 1.25, 0.25, b, e);
        },
        15);

    // ---- Range edits
    add(
        "Delete", [](auto& s, auto* a, auto&, auto* b, auto* e) { return Delete(s, a, *b, *e); },
        [](auto& w, auto&, auto* b, auto* e) { return deletePart(w, Scratch(), *b, *e); }, 5);
    add(
        "DeleteAll", [](auto& s, auto* a, auto&, auto*, auto*) { return Delete(s, a, 0, 12); },
        [](auto&, auto&, auto*, auto*) { return std::make_unique<Wave>(); }, 0);
    add(
        "CreateEmpty", [](auto& s, auto* a, auto&, auto*, auto*) { return CreateEmpty(s, a); },
        [](auto&, auto&, auto*, auto*) { return std::make_unique<Wave>(); }, 0);
    add(
        "CopyPart",
        [](auto& s, auto* a, auto&, auto* b, auto* e) { return CopyPart(s, a, *b, *e); },
        [](auto& w, auto&, auto* b, auto* e) { return copyPart(w, Scratch(), *b, *e); }, 7);
    add(
        "CopyPartEmpty",
        [](auto& s, auto* a, auto&, auto* b, auto*) { return CopyPart(s, a, *b, *b); },
        [](auto&, auto&, auto*, auto*) { return std::make_unique<Wave>(); }, 0);
    add(
        "Paste",
        [](auto& s, auto* a, auto& o, auto* b, auto* e) { return Paste(s, a, *o.partner, *b, *e); },
        [](auto& w, auto& v, auto* b, auto* e) { return replace(w, Scratch(), v.partner, *b, *e); },
        10);

    // ---- Mixing into a new sound
    add(
        "EditMixBefore",
        [](auto& s, auto* a, auto& o, auto*, auto*) {
            return EditMixBefore(s, a, *o.partner, 3, -1, false);
        },
        [](auto& w, auto& v, auto*, auto*) {
            return mixAlignEnd(w, Scratch(), v.partner, 3, -1, false);
        },
        14);
    add(
        "EditMixAfter",
        [](auto& s, auto* a, auto& o, auto*, auto*) {
            return EditMixAfter(s, a, *o.partner, 10, 3, true);
        },
        [](auto& w, auto& v, auto*, auto*) {
            return mixAlignBegin(w, Scratch(), v.partner, 10, 3, true);
        },
        13);
    add(
        "MixStretched",
        [](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return MixStretched(s, a, *o.partner, *b, *e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return mixStretch(w, Scratch(), v.partner, *b, *e);
        },
        12);

    // ---- Filters
    add(
        "FilterConstantLow",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) {
            return FilterConstant(s, a, TheFilterTable.low.constant, 4.5 / r, 0.5, 2, 3, *b, *e);
        },
        [](auto& w, auto&, auto* b, auto* e) {
            return lowFilter(w, Scratch(), 4.5, 0.5, 2, 3, *b, *e);
        },
        12);
    add(
        "FilterEnvelopeHigh",
        [](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return FilterEnvelope(s, a, TheFilterTable.high.envelope, *o.envelope, 0.5, 1, 2, *b,
                                  *e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return highFilterEnv(w, Scratch(), &v.env, 0.5, 1, 2, OpsRate, *b, *e);
        },
        12);
    add(
        "FilterTwoParamsConstant",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) {
            return FilterTwoParams(s, a, true, true, 4.5 / r, 0.25, nullptr, nullptr,
                                   TheFilterTable.resonance, *b, *e);
        },
        [](auto& w, auto&, auto* b, auto* e) { return resFilter(w, Scratch(), 4.5, 0.25, *b, *e); },
        12);
    add(
        "FilterTwoParamsFrequencyEnvelope",
        [r](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return FilterTwoParams(s, a, false, true, 4.5 / r, 0.25, o.envelope.get(), nullptr,
                                   TheFilterTable.notch, *b, *e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return notchFilter(w, Scratch(), &v.env, 0.25, OpsRate, *b, *e);
        },
        12);
    add(
        "FilterTwoParamsFactorEnvelope",
        [r](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return FilterTwoParams(s, a, true, false, 4.5 / r, 0.25, nullptr, o.envelope.get(),
                                   TheFilterTable.resonance, *b, *e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return resFilter(w, Scratch(), 4.5, &v.env, *b, *e);
        },
        12);
    add(
        "FilterTwoParamsEnvelopes",
        [r](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return FilterTwoParams(s, a, false, false, 4.5 / r, 0.25, o.envelope.get(),
                                   o.partner.get(), TheFilterTable.notch, *b, *e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            // The partner stands in as the factor envelope, read like one (no change of rate).
            return notchFilter(w, Scratch(), &v.env, &v.partner, OpsRate, *b, *e);
        },
        12);
    add(
        "FilterBlock",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) { return FilterBlock(s, a, 2.5 / r, b, e); },
        [](auto& w, auto&, auto* b, auto* e) { return blockFilter(w, Scratch(), 2.5, b, e); }, 15);
    add(
        "FilterBlockEnvelope",
        [r](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return FilterBlockEnvelope(s, a, *o.envelope, 2.5 / r, b, e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return blockFilterEnv(w, Scratch(), 2.5, &v.env, b, e);
        },
        19);

    // ---- Periodic echo
    add(
        "PerEcho",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) {
            return PerEcho(s, a, 2.5 / r, 0.5, 2, b, e);
        },
        [](auto& w, auto&, auto* b, auto* e) {
            return periodEcho(w, Scratch(), 2.5, 0.5, 2, b, e);
        },
        15);
    add(
        "PerEchoFactorEnvelope",
        [r](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return PerEchoFactorEnvelope(s, a, -2.5 / r, *o.envelope, 2, b, e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return periodEchoEnv(w, Scratch(), -2.5, &v.env, 2, b, e);
        },
        16);
    add(
        "PerEchoDelayEnvelope",
        [r](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return PerEchoDelayEnvelope(s, a, 3.5 / r, *o.envelope, 0.5, 3, b, e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return periodEchoEnv(w, Scratch(), &v.env, 3.5, 0.5, 3, b, e);
        },
        21);
    add(
        "PerEchoEnvelopes",
        [r](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return PerEchoEnvelopes(s, a, 3.5 / r, *o.envelope, *o.partner, 3, b, e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return periodEchoEnv(w, Scratch(), &v.env, 3.5, &v.partner, 3, b, e);
        },
        21);

    // ---- Tempo and pitch (block of 4.75 / OpsRate seconds: 4 values)
    add(
        "TempoPitchWhole",
        [r](auto& s, auto* a, auto&, auto*, auto*) {
            return TempoPitchWhole(s, a, 1.0, 0.25, 1.5, 1.25, 4.75 / r, 0);
        },
        [](auto& w, auto&, auto*, auto*) {
            int32_t b = 0, e = 12;
            return tempoPitch(w, Scratch(), 1.0, 0.25, 1.5, 1.25, 4, &b, &e);
        },
        18);
    add(
        "TempoPitchWholeTwoHeads",
        [r](auto& s, auto* a, auto&, auto*, auto*) {
            return TempoPitchWhole(s, a, 1.0, 0.25, 1.5, 1.25, 4.75 / r, 1);
        },
        [](auto& w, auto&, auto*, auto*) {
            int32_t b = 0, e = 12;
            return tempoPitch2(w, Scratch(), 1.0, 0.25, 1.5, 1.25, 4, &b, &e);
        },
        18);
    add(
        "TempoPitch",
        [r](auto& s, auto* a, auto&, auto* b, auto* e) {
            return TempoPitch(s, a, 0.5, 0.0, 2.0, 0.75, 4.75 / r, 2, b, e);
        },
        [](auto& w, auto&, auto* b, auto* e) {
            return tempoPitch(w, Scratch(), 0.5, 0.0, 2.0, 0.75, 4, b, e);
        },
        19);
    add(
        "TempoPitchFreqEnvelope",
        [r](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return TempoPitchFreqEnvelope(s, a, 0.5, 0.0, 2.0, 0.75, *o.envelope, 4.75 / r, 1, b,
                                          e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return tempoPitch2FreqEnv(w, Scratch(), 0.5, 0.0, 2.0, 0.75, &v.env, 4, b, e);
        },
        19);
    add(
        "TempoPitchSpeedEnvelope",
        [r](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return TempoPitchSpeedEnvelope(s, a, 0.5, *o.partner, 0.0, 2.0, 0.75, 4.75 / r, 0, b,
                                           e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return tempoPitchSpeedEnv(w, Scratch(), 0.5, &v.partner, 0.0, 2.0, 0.75, 4, b, e);
        },
        19);
    add(
        "TempoPitchEnvelopes",
        [r](auto& s, auto* a, auto& o, auto* b, auto* e) {
            return TempoPitchEnvelopes(s, a, 0.5, *o.partner, 0.0, 2.0, 0.75, *o.envelope, 4.75 / r,
                                       1, b, e);
        },
        [](auto& w, auto& v, auto* b, auto* e) {
            return tempoPitch2Envs(w, Scratch(), 0.5, &v.partner, 0.0, 2.0, 0.75, &v.env, 4, b, e);
        },
        19);
    return ops;
}

/// An operation that changes a sound in place.
struct InPlaceOp
{
    std::string name;
    std::function<bool(Sound&, AbortFlag*, const OpsWorld&)> run;
    // Changes channel w as the operation must (on a copy of the source channel).
    std::function<void(Wave&, const ChannelView&)> expect;
};

inline std::vector<InPlaceOp> InPlaceOps()
{
    const double r = OpsRate;
    std::vector<InPlaceOp> ops;
    ops.push_back({"VolumeInPlace",
                   [](Sound& s, AbortFlag* a, const OpsWorld&) {
                       return VolumeInPlace(s, a, -0.75, OpsBegin, OpsEnd);
                   },
                   [](Wave& w, const ChannelView&) {
                       volumeInPlace(w, Scratch(), -0.75, OpsBegin, OpsEnd);
                   }});
    ops.push_back({"VolumeToLevelInPlace",
                   [](Sound& s, AbortFlag* a, const OpsWorld&) {
                       return VolumeToLevelInPlace(s, a, 0.25, OpsBegin, OpsEnd);
                   },
                   [](Wave& w, const ChannelView& v) {
                       volumeInPlace(w, Scratch(), 0.25 * 32767.0 / (v.stereo ? 8000 : 6000),
                                     OpsBegin, OpsEnd);
                   }});
    ops.push_back({"MaxVolumeInPlace",
                   [](Sound& s, AbortFlag* a, const OpsWorld&) {
                       return MaxVolumeInPlace(s, a, OpsBegin, OpsEnd);
                   },
                   [](Wave& w, const ChannelView& v) {
                       volumeInPlace(w, Scratch(), 32767.0 / (v.stereo ? 8000 : 6000), OpsBegin,
                                     OpsEnd);
                   }});
    ops.push_back({"Volume07InPlace",
                   [](Sound& s, AbortFlag* a, const OpsWorld&) {
                       return Volume07InPlace(s, a, OpsBegin, OpsEnd);
                   },
                   [](Wave& w, const ChannelView& v) {
                       volumeInPlace(w, Scratch(), 0.7 * 32767.0 / (v.stereo ? 8000 : 6000),
                                     OpsBegin, OpsEnd);
                   }});
    ops.push_back({"DrawLine",
                   [](Sound& s, AbortFlag* a, const OpsWorld&) {
                       return DrawLine(s, a, OpsBegin, -700, OpsEnd, 1400);
                   },
                   [](Wave& w, const ChannelView&) {
                       drawLine(w, Scratch(), OpsBegin, -700, OpsEnd, 1400);
                   }});
    ops.push_back(
        {"MixAfterTime",
         [r](Sound& s, AbortFlag* a, const OpsWorld& o) {
             return MixAfterTime(s, a, *o.partner, 9.75 / r, 2.5);
         },
         [](Wave& w, const ChannelView& v) { addScaledAt(w, Scratch(), v.partner, 9, 2.5); }});
    ops.push_back(
        {"MixAfterFactor",
         [](Sound& s, AbortFlag* a, const OpsWorld& o) {
             return MixAfterFactor(s, a, *o.partner, -2, 0.5);
         },
         [](Wave& w, const ChannelView& v) { addScaledAt(w, Scratch(), v.partner, -2, 0.5); }});
    ops.push_back(
        {"MixAfter",
         [](Sound& s, AbortFlag* a, const OpsWorld& o) { return MixAfter(s, a, *o.partner, 4); },
         [](Wave& w, const ChannelView& v) { addAt(w, Scratch(), v.partner, 4); }});
    ops.push_back(
        {"MixAligned",
         [](Sound& s, AbortFlag* a, const OpsWorld& o) {
             return MixAligned(s, a, *o.partner, 0.5, 0.8);
         },
         // p = trunc(12 * 0.5) = 6, q = trunc(5 * 0.8) = 4.
         [](Wave& w, const ChannelView& v) { addShifted(w, Scratch(), v.partner, 6, 4); }});
    ops.push_back({"MixAlignedFactor",
                   [](Sound& s, AbortFlag* a, const OpsWorld& o) {
                       return MixAlignedFactor(s, a, *o.partner, 0.99, 0.0, -1.5);
                   },
                   // p = trunc(12 * 0.99) = 11, q = 0.
                   [](Wave& w, const ChannelView& v) {
                       addShiftedScaled(w, Scratch(), v.partner, 11, 0, -1.5);
                   }});
    ops.push_back(
        {"MixCycleAfterThis",
         [](Sound& s, AbortFlag* a, const OpsWorld& o) {
             return MixCycleAfterThis(s, a, *o.partner, 10);
         },
         [](Wave& w, const ChannelView& v) { mixCycleAfterThis(w, Scratch(), v.partner, 10); }});
    return ops;
}

} // namespace kelvorn::test
