// Every player kind renders the same samples as the engine did before its fast paths: a piece of
// chords and tied lengths on two staves, each kind with the sample a user would give it (a
// recorded note for the samplers, one period for the wave-form players), mono and stereo, at
// volumes that carry sums past the 16-bit limits, where the engine wraps. The fingerprints were
// taken from the engine before the fast paths went in; any change of one sample changes them.

#include "document/records/WaveFileProps.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

/// A note of 0.3 s near full scale: A4 with its octave, rising then dying away.
SoundPtr LoudNote()
{
    AbortFlag flag = 0;
    WavePtr w = CreateWave(&flag, 6615);
    for (int32_t i = 0; i < 6615; ++i) {
        const double t = i / 22050.0;
        const double env = std::min(1.0, t * 200) * std::exp(-3.0 * t);
        const double v = std::sin(2 * M_PI * 440 * t) + 0.35 * std::sin(4 * M_PI * 440 * t);
        (*w)[i] = static_cast<int16_t>(std::clamp(30000 * env * v, -32768.0, 32767.0));
    }
    return std::make_shared<MonoSound>(std::move(w), 22050, 2);
}

/// One period of 441 Hz at 22050 Hz touching both 16-bit limits.
SoundPtr FullPeriod()
{
    AbortFlag flag = 0;
    WavePtr w = CreateWave(&flag, 50);
    for (int32_t i = 0; i < 50; ++i)
        (*w)[i] = static_cast<int16_t>(i < 25 ? 32767 - 40 * i : -32768 + 40 * (i - 25));
    return std::make_shared<MonoSound>(std::move(w), 22050, 2);
}

TOnePlayerProps PropsOf(NotePlayerKind kind, double volume)
{
    TOnePlayerProps props(unitFactor(volume, EHNone), unitFreq(0.0, EHHZ));
    const unitUnitWave note("note"), period("period");
    const unitTimePosMore basic(1.0 / 440.0, EHHZ);
    switch (kind) {
    case notePlayerSimpleSampler:
        props.SetSimpleSamplerProps(TSimpleSamplerProps{note, basic});
        break;
    case notePlayerRollOutSampler:
        props.SetRollOutSamplerProps(TRollOutSamplerProps{note, basic});
        break;
    case notePlayerResonantSampler: {
        TResonantSamplerProps p;
        p.SampleWave = note;
        props.SetResonantSamplerProps(p);
        break;
    }
    case notePlayerRepeatWaveForm:
        props.SetRepeatWaveFormProps(TRepeatWaveFormProps{period});
        break;
    default:
        props.SetRollOutWaveFormProps(TRollOutWaveFormProps{period});
        break;
    }
    return props;
}

/// FNV-1a over the count and every value of every channel.
uint64_t Fingerprint(const Sound& sound)
{
    uint64_t h = 1469598103934665603ULL;
    auto add = [&h](uint64_t v) {
        for (int b = 0; b < 8; ++b) {
            h ^= (v >> (8 * b)) & 0xFF;
            h *= 1099511628211ULL;
        }
    };
    add(static_cast<uint64_t>(sound.GetValues()));
    for (const Wave* w : {sound.GetLeftWave(), sound.GetRightWave()})
        for (int32_t i = 0; w && i < w->Values(); ++i)
            add(static_cast<uint16_t>((*w)[i]));
    return h;
}

struct Case
{
    NotePlayerKind kind;
    bool stereo;
    uint64_t fingerprint;
};

TEST(RenderSamples, EveryKindMonoAndStereoAsBefore)
{
    const Case cases[] = {
        {notePlayerSimpleSampler, false, 14813931431114112340ULL},
        {notePlayerSimpleSampler, true, 12874762697500196515ULL},
        {notePlayerRollOutSampler, false, 2424166230268904472ULL},
        {notePlayerRollOutSampler, true, 14632903775934525855ULL},
        {notePlayerResonantSampler, false, 11708461472091420312ULL},
        {notePlayerResonantSampler, true, 18018081445363567299ULL},
        {notePlayerRepeatWaveForm, false, 11170220882452414565ULL},
        {notePlayerRepeatWaveForm, true, 16338759575879294834ULL},
        {notePlayerRollOutWaveForm, false, 14525704480120683868ULL},
        {notePlayerRollOutWaveForm, true, 17110818653460336003ULL},
    };
    for (const Case& c : cases) {
        MusicDoc m;
        m.waves.Add("note", LoudNote());
        m.waves.Add("period", FullPeriod());
        TNoteStave* second = m.doc.AddStave(m.stave);
        // Two players at full volume on one stave push the mix past the limits.
        m.Player().OnePlayerProps = PropsOf(c.kind, 1.0);
        m.Group(second)->GetPlayer()->GetFirstOnePlayer()->OnePlayerProps = PropsOf(c.kind, 0.9);
        m.doc.tempo.SetValue(1.5);
        for (int32_t i = 0; i < 12; ++i) {
            const double at = i / 8.0;
            m.Note(at, 2 + i % 5, 8);
            m.Note(at, 5 + i % 3, 8);
            m.Note(at, -3 + i % 4, i % 3 ? 8 : 4, nullptr, second)->SetPoints(i % 2);
        }
        m.doc.SetWaveFileProps(TWaveFileProps(1, 22050, 2),
                               TWaveFileProps(c.stereo ? 2 : 1, c.stereo ? 44100 : 22050, 2));
        const TMusicRender r = m.doc.CreateSound();
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(Fingerprint(*r.sound), c.fingerprint)
            << "kind " << int(c.kind) << (c.stereo ? " stereo" : " mono");
    }
}

} // namespace
} // namespace kelvorn::test
