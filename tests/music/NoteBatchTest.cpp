// Notes' sounds made together (resonances side by side, roll-outs shared) against the same notes
// made one at a time: the same samples, offsets and mix factors, the same failures, and whole
// renders of many notes equal to a render that mixes each note as soon as it is made.

#include "document/records/WaveFileProps.h"
#include "sound/SoundOps.h"
#include "support/MusicKit.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

constexpr double Tempo = 1.0;

/// A recorded note of count values near full scale, from its first value on; stereo with a
/// second, different channel.
SoundPtr RecordedNote(int channels, int32_t count = 8000)
{
    AbortFlag flag = 0;
    auto channel = [&](double hz) {
        WavePtr w = CreateWave(&flag, count);
        for (int32_t i = 0; i < count; ++i) {
            const double t = i / 22050.0;
            (*w)[i] = static_cast<int16_t>(32000 * std::exp(-3.0 * t) *
                                           std::sin(2 * M_PI * hz * t + 1.0));
        }
        return w;
    };
    if (channels == 1)
        return std::make_shared<MonoSound>(channel(440.0), 22050, 2);
    return std::make_shared<StereoSound>(channel(440.0), channel(660.0), 22050, 2);
}

TOnePlayerProps Resonant(const std::string& caption, double factor, double volume,
                         double freqUp = 0.0)
{
    TOnePlayerProps props(unitFactor(volume, EHNone), unitFreq(freqUp, EHHZ));
    TResonantSamplerProps p;
    p.SampleWave = unitUnitWave(caption);
    p.ResFactor = unitFactorPosMax1(factor, EHPerc);
    props.SetResonantSamplerProps(p);
    return props;
}

/// Three staves: a resonant sampler on a selected part of a mono note; a stereo note through a
/// resonant sampler mixed with a simple sampler; the whole mono note through a resonant sampler
/// at factor 1, whose shortest notes roll out nothing.
struct Piece : MusicDoc
{
    std::vector<TNoteStave*> staves;

    explicit Piece(int bars)
    {
        waves.Add("note", RecordedNote(1));
        waves.Add("wide", RecordedNote(2));
        waves.Add("whole", RecordedNote(1, 3000));
        waves.FindUnitWave("note")->SetPart(1500, 5500);
        staves = {stave, doc.AddStave(stave), nullptr};
        staves[2] = doc.AddStave(staves[1]);
        doc.tempo.SetValue(Tempo);
        Player(staves[0]).OnePlayerProps = Resonant("note", 0.05, 0.4);
        TCompoundPlayer* two = Group(staves[1])->GetPlayer();
        two->GetFirstOnePlayer()->OnePlayerProps = Resonant("wide", 0.3, 0.5);
        two->InsertOnePlayer(two->GetFirstOnePlayer(),
                             new TOnePlayer(two, SimpleProps("note", 1.0 / 440.0, 0.6)));
        Player(staves[2]).OnePlayerProps = Resonant("whole", 1.0, 0.9);
        // Lengths from whole to 32nd notes, some dotted: more roll-out counts than are kept.
        const uint8_t lengths[] = {1, 2, 4, 8, 16, 32};
        for (int32_t bar = 0; bar < bars; ++bar)
            for (int32_t k = 0; k < 8; ++k)
                for (int s = 0; s < 3; ++s) {
                    TMuzNote* note = Note(bar + k / 8.0, -4 + (bar * 5 + k * 3 + s * 7) % 17,
                                          lengths[(bar + k + s) % 6], nullptr, staves[size_t(s)]);
                    note->SetPoints((bar + k) % 3 == 0 ? 1 : 0);
                }
    }
};

std::vector<const TMuzNote*> NotesOf(const TUnitMuz& doc)
{
    std::vector<const TMuzNote*> notes;
    for (TStaveSymbol* s = doc.GetRootPart()->FirstSinglePart()->FirstSymbol(); s; s = s->GetNext())
        if (const TMuzNote* note = s->AsNote())
            notes.push_back(note);
    return notes;
}

void ExpectSameSound(const TNoteSound& made, const TNoteSound& alone, size_t i)
{
    ASSERT_EQ(made.sound != nullptr, alone.sound != nullptr) << i;
    EXPECT_EQ(made.startOffset, alone.startOffset) << i;
    if (!alone.sound)
        return;
    EXPECT_EQ(made.mixFactor, alone.mixFactor) << i;
    ASSERT_EQ(made.sound->GetMonoStereo(), alone.sound->GetMonoStereo()) << i;
    EXPECT_EQ(made.sound->GetSampleFreq(), alone.sound->GetSampleFreq()) << i;
    for (auto side : {&Sound::GetLeftWave, &Sound::GetRightWave}) {
        const Wave& a = *(made.sound.get()->*side)();
        const Wave& b = *(alone.sound.get()->*side)();
        ASSERT_EQ(a.Values(), b.Values()) << i;
        EXPECT_TRUE(std::equal(a.Data(), a.Data() + a.Values(), b.Data())) << i;
    }
}

TEST(NoteBatch, SoundsAreThoseOfNotesMadeOneAtATime)
{
    ResonanceKernelReset reset;
    Piece m(6);
    const std::vector<const TMuzNote*> notes = NotesOf(m.doc);
    ASSERT_EQ(notes.size(), 144u);
    for (ResonanceKernel kernel : ResonanceKernels()) {
        ASSERT_TRUE(UseResonanceKernel(kernel));
        TNoteSoundBatch batch;
        std::vector<TNoteSound> made;
        std::string message;
        AbortFlag abort = 0;
        int finishes = 0;
        for (size_t i = 0; i < notes.size(); ++i) {
            ASSERT_TRUE(batch.Add(*notes[i], double(i % 3) - 1.0, Tempo, &abort, message));
            if (batch.Full() || i + 1 == notes.size()) {
                ASSERT_TRUE(batch.Finish(&abort, message, made));
                EXPECT_EQ(batch.Waiting(), 0u);
                ++finishes;
            }
        }
        // The lanes filled more than once.
        EXPECT_GT(finishes, 1);
        ASSERT_EQ(made.size(), notes.size());
        for (size_t i = 0; i < notes.size(); ++i) {
            TNoteSound alone;
            ASSERT_TRUE(
                notes[i]->GetSymbolSound(double(i % 3) - 1.0, Tempo, &abort, message, alone));
            ExpectSameSound(made[i], alone, i);
        }
        EXPECT_EQ(message, "");
        EXPECT_EQ(abort, 0);
    }
    EXPECT_TRUE(m.messages.Unexpected().empty());
}

TEST(NoteBatch, FailsWhereTheNoteAloneFailsAndKeepsWhatCameBefore)
{
    Piece m(1);
    const std::vector<const TMuzNote*> notes = NotesOf(m.doc);
    // The third stave's group plays a window that is not open; a note without a player is
    // silent.
    m.Player(m.staves[2]).OnePlayerProps = Resonant("gone", 0.05, 1.0);
    TNoteSoundBatch batch;
    std::vector<TNoteSound> made;
    std::string message, alone;
    AbortFlag abort = 0;
    size_t i = 0;
    for (; i < notes.size() && batch.Add(*notes[i], 0.0, Tempo, &abort, message); ++i) {
    }
    ASSERT_LT(i, notes.size());
    EXPECT_EQ(notes[i]->GetNoteStave(), m.staves[2]);
    TNoteSound silent;
    EXPECT_FALSE(notes[i]->GetSymbolSound(0.0, Tempo, &abort, alone, silent));
    EXPECT_EQ(message, alone);
    EXPECT_EQ(message, "Cannot find window \"gone\".");
    ASSERT_TRUE(batch.Finish(&abort, message, made));
    EXPECT_EQ(made.size(), i);
    for (size_t k = 0; k < i; ++k) {
        TNoteSound one;
        ASSERT_TRUE(notes[k]->GetSymbolSound(0.0, Tempo, &abort, alone, one));
        ExpectSameSound(made[k], one, k);
    }
}

TEST(NoteBatch, AStoppedResonanceFailsTheFirstNoteThatWaitsForIt)
{
    HookReset hooks;
    Piece m(1);
    const std::vector<const TMuzNote*> notes = NotesOf(m.doc);
    // One player and several: both wait for their resonance.
    for (TNoteStave* stave : {m.staves[0], m.staves[1]}) {
        TNoteSoundBatch batch;
        std::string message;
        AbortFlag abort = 0;
        const auto note = std::find_if(notes.begin(), notes.end(), [&](const TMuzNote* n) {
            return n->GetNoteStave() == stave && n->GetNoteLengthKind() <= 4;
        });
        ASSERT_NE(note, notes.end());
        ASSERT_TRUE(batch.Add(**note, 0.0, Tempo, &abort, message));
        ASSERT_FALSE(batch.Full());
        std::vector<TNoteSound> made;
        AbortAfterPolls(1);
        EXPECT_FALSE(batch.Finish(&abort, message, made));
        ResetAbortHook();
        EXPECT_TRUE(made.empty());
        EXPECT_EQ(message, "There is not enough memmory for this operation.");
        EXPECT_EQ(abort, 1);
        EXPECT_EQ(batch.Waiting(), 0u);
    }
}

TEST(NoteBatch, APeriodUnderOneValueFailsAsItDoesAlone)
{
    // 30 kHz above the note: the period is shorter than one value, which the resonance refuses
    // with its box; the batch leaves the note to the filter alone, which shows it once.
    MusicDoc m;
    m.waves.Add("note", RecordedNote(1));
    m.Player().OnePlayerProps = Resonant("note", 0.05, 1.0, 30000.0);
    const TMuzNote* note = m.Note(0.0, 5, 2);
    for (bool together : {true, false}) {
        m.messages.Expect();
        std::string message;
        AbortFlag abort = 0;
        bool ok = false;
        TNoteSound sound;
        if (together) {
            TNoteSoundBatch batch;
            ok = batch.Add(*note, 0.0, Tempo, &abort, message);
        } else {
            ok = note->GetSymbolSound(0.0, Tempo, &abort, message, sound);
        }
        EXPECT_FALSE(ok) << together;
        EXPECT_EQ(message, "There is not enough memmory for this operation.") << together;
        EXPECT_EQ(abort, 1) << together;
    }
    ASSERT_EQ(m.messages.Shown().size(), 2u);
    EXPECT_EQ(m.messages.Shown()[0].text, m.messages.Shown()[1].text);
    EXPECT_TRUE(m.messages.Unexpected().empty());
}

/// The piece as rendering did before notes were made together: each note made alone and mixed
/// in at once, on a canvas measured the same way.
SoundUPtr RenderedAlone(const TUnitMuz& doc, bool stereo, int32_t freq)
{
    const std::vector<const TMuzNote*> notes = NotesOf(doc);
    double preRoll = 0.0, end = 0.0;
    std::string message;
    for (const TMuzNote* note : notes) {
        double s = 0.0, e = 0.0;
        EXPECT_TRUE(note->GetSymbolOffsets(0.0, Tempo, message, s, e));
        const double at = 0.0 + note->GetSymbolTime() * Tempo;
        preRoll = std::max(preRoll, s - at);
        end = std::max(end, e + at);
    }
    AbortFlag abort = 0;
    int32_t b = 0, e = 0;
    SoundUPtr canvas = stereo ? MakeSilence(StereoSound(freq, 2), &abort, preRoll + end, &b, &e)
                              : MakeSilence(MonoSound(freq, 2), &abort, preRoll + end, &b, &e);
    for (const TMuzNote* note : notes) {
        TNoteSound sound;
        EXPECT_TRUE(note->GetSymbolSound(0.0, Tempo, &abort, message, sound));
        if (sound.sound) {
            EXPECT_TRUE(MixAfterTime(*canvas, &abort, *sound.sound,
                                     preRoll - sound.startOffset + note->GetSymbolTime() * Tempo,
                                     sound.mixFactor));
        }
    }
    return canvas;
}

TEST(NoteBatch, RenderOfManyNotesIsTheRenderOfNotesMixedAtOnce)
{
    ResonanceKernelReset reset;
    Piece m(5);
    for (bool stereo : {false, true}) {
        const int32_t freq = stereo ? 44100 : 22050;
        m.doc.SetWaveFileProps(TWaveFileProps(1, 22050, 2),
                               TWaveFileProps(stereo ? 2 : 1, freq, 2));
        const SoundUPtr expected = RenderedAlone(m.doc, stereo, freq);
        for (ResonanceKernel kernel : ResonanceKernels()) {
            ASSERT_TRUE(UseResonanceKernel(kernel));
            const TMusicRender r = m.doc.CreateSound();
            ASSERT_TRUE(r.ok) << r.message;
            ASSERT_EQ(r.sound->GetMonoStereo(), expected->GetMonoStereo());
            for (auto side : {&Sound::GetLeftWave, &Sound::GetRightWave}) {
                const Wave& a = *(r.sound.get()->*side)();
                const Wave& b = *(expected.get()->*side)();
                ASSERT_EQ(a.Values(), b.Values());
                EXPECT_TRUE(std::equal(a.Data(), a.Data() + a.Values(), b.Data()))
                    << (stereo ? "stereo" : "mono") << " kernel " << int(kernel);
            }
        }
    }
}

} // namespace
} // namespace kelvorn::test
