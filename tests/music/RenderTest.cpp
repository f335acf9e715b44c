// Rendering a piece, a stave, a group or a part into a new sound.

#include "document/records/WaveFileProps.h"
#include "general/Memory.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

constexpr double A4 = 1.0 / 440.0;

/// Where each run of non-zero values starts, and how long it is.
std::vector<std::pair<int32_t, int32_t>> Onsets(const Sound& sound)
{
    std::vector<std::pair<int32_t, int32_t>> runs;
    const Wave& w = *sound.GetLeftWave();
    for (int32_t i = 0; i < w.Values(); ++i) {
        if (w[i] == 0)
            continue;
        if (i == 0 || w[i - 1] == 0)
            runs.emplace_back(i, 0);
        ++runs.back().second;
    }
    return runs;
}

/// A document whose notes play a click of `clickValues` unchanged at A4 (BasicFreq 1/440 s).
struct Clicks : MusicDoc
{
    explicit Clicks(int32_t clickValues = 101)
    {
        waves.Add("sample", FlatSound(1000, clickValues));
        Player().OnePlayerProps = SimpleProps("sample", A4);
    }
};

TEST(RenderTest, CanvasLengths)
{
    {
        MusicDoc m;
        TMusicRender empty = m.doc.CreateSound();
        ASSERT_TRUE(empty.ok);
        EXPECT_EQ(empty.sound->GetValues(), 0);
        EXPECT_EQ(empty.sound->GetMonoStereo(), 1);
        EXPECT_EQ(empty.sound->GetSampleFreq(), 22050);
        EXPECT_EQ(empty.message, "");
    }
    const struct
    {
        int32_t sampleValues;
        int32_t freq;
        int16_t channels;
        int32_t values;
    } cases[] = {{22050, 22050, 1, 22051},
                 {11025, 11025, 1, 5513},
                 {22050, 22050, 2, 22051},
                 {22050, 22050, 3, 22051}};
    for (const auto& c : cases) {
        Clicks m(c.sampleValues);
        m.doc.SetWaveFileProps(TWaveFileProps(1, 22050, 2), TWaveFileProps(c.channels, c.freq, 2));
        m.Note(0.0, 5);
        TMusicRender r = m.doc.CreateSound();
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(r.sound->GetValues(), c.values);
        EXPECT_EQ(r.sound->GetMonoStereo(), c.channels == 1 ? 1 : 2);
    }
}

TEST(RenderTest, OnsetsOfNotesAndTripletMembers)
{
    Clicks m(11);
    m.doc.tempo.SetValue(2.0);
    std::vector<TMuzNote*> notes = {m.Note(0.0, 5)};
    for (int32_t k = 0; k < 3; ++k)
        notes.push_back(m.Note(0.25, 5, 4, nullptr, nullptr, triool, k));
    notes.push_back(m.Note(0.5, 5, 8));
    TMusicRender r = m.doc.CreateSound();
    ASSERT_TRUE(r.ok) << r.message;
    std::vector<std::pair<int32_t, int32_t>> want;
    for (TMuzNote* n : notes)
        want.emplace_back(static_cast<int32_t>(22050 * (n->GetSymbolTime() * 2.0)), 11);
    EXPECT_EQ(Onsets(*r.sound), want);
}

/// Concat(Loop 3 (Select (s1)), s2): s1 plays a quarter in turns 1 (as written) and 3 (an octave
/// up), s2 a quarter after the loop.
struct LoopPiece : Clicks
{
    TSinglePartMuz* s1 = part;
    TSelectPartMuz* select = nullptr;
    TLoopPartMuz* loop = nullptr;
    TSinglePartMuz* s2 = nullptr;

    LoopPiece()
    {
        TStartPartMuz* root = doc.GetRootPart();
        root->SetChild(nullptr);
        select = new TSelectPartMuz(&doc, s1);
        select->AddCountSelectPartItem(1, 0);
        select->AddCountSelectPartItem(3, 12);
        loop = new TLoopPartMuz(&doc, select, 3);
        s2 = new TSinglePartMuz(&doc);
        new TMuzBar(s2, 4, 4, 0);
        s2->CreateKeys();
        root->SetChild(new TConcatPartMuz(&doc, loop, s2));
        Note(0.0, 5, 4, s1);
        Note(0.0, 5, 4, s2);
    }
};

TEST(RenderTest, LoopsSelectTurnsAndSkipDisabledParts)
{
    LoopPiece m;
    TMusicRender r = m.doc.CreateSound();
    ASSERT_TRUE(r.ok) << r.message;
    // Turn 2 takes no time; turn 3 is an octave up, so its click is half as long.
    const std::vector<std::pair<int32_t, int32_t>> turns = {{0, 101}, {5512, 51}, {11025, 101}};
    EXPECT_EQ(Onsets(*r.sound), turns);
    EXPECT_EQ(m.loop->GetCurrentTurn(), 3);

    // The select part alone: a part render starts the loop at turn 1 again.
    TMusicRender part = m.doc.CreatePartSound(m.select);
    ASSERT_TRUE(part.ok);
    EXPECT_EQ(Onsets(*part.sound), (std::vector<std::pair<int32_t, int32_t>>{{0, 101}}));

    m.loop->SetEnabled(false);
    TMusicRender skipped = m.doc.CreateSound();
    ASSERT_TRUE(skipped.ok);
    EXPECT_EQ(Onsets(*skipped.sound), (std::vector<std::pair<int32_t, int32_t>>{{0, 101}}));
}

TEST(RenderTest, MutedStaveSoundsOnlyThroughFilters)
{
    Clicks m;
    m.Note(0.0, 5);
    m.stave->Mute = 1;
    TMusicRender piece = m.doc.CreateSound();
    ASSERT_TRUE(piece.ok);
    EXPECT_EQ(piece.sound->GetValues(), 0);
    EXPECT_EQ(piece.message, "");
    TMusicRender stave = m.doc.CreateStaveSound(m.stave);
    ASSERT_TRUE(stave.ok);
    EXPECT_EQ(Onsets(*stave.sound).size(), 1u);
    TMusicRender group = m.doc.CreateNoteGroupSound(m.Group());
    ASSERT_TRUE(group.ok);
    EXPECT_EQ(Onsets(*group.sound).size(), 1u);
}

TEST(RenderTest, PreRollMovesTheBeat)
{
    MusicDoc m;
    m.waves.Add("sample", FlatSound(1000, 22050));
    m.waves.FindUnitWave("sample")->SetPart(11025, 22050);
    TOnePlayerProps props(unitFactor(1.0, EHNone), unitFreq(0.0, EHHZ));
    props.SetResonantSamplerProps(TResonantSamplerProps{});
    m.Player().OnePlayerProps = props;
    m.Note(0.5, 5);
    TMusicRender r = m.doc.CreateSound();
    ASSERT_TRUE(r.ok) << r.message;
    // The note at 0.5 s starts its sound 0.5 s early: at the canvas's first value.
    double start = 0, end = 0;
    std::string message;
    const TPlayRequest request{A4, 0.25, 1.0};
    ASSERT_TRUE(m.Player().GetOffsets(request, start, end, message));
    EXPECT_DOUBLE_EQ(start, 0.5);
    EXPECT_EQ(r.sound->GetValues(), static_cast<int32_t>(22050 * (0.0 + (end + 0.5)) + 1));
    EXPECT_NE((*r.sound->GetLeftWave())[0], 0);
}

TEST(RenderTest, FailuresReturnTheirText)
{
    {
        MusicDoc m;
        m.Note(0.0, 5);
        TMusicRender r = m.doc.CreateSound();
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.sound);
        EXPECT_EQ(r.message, "Cannot find window \"sample\".");
    }
    {
        // Nested loops of 9,999 turns end at the budget instead of hanging.
        Clicks m;
        m.Note(0.0, 5);
        TStartPartMuz* root = m.doc.GetRootPart();
        TPartMuz* single = root->SetChild(nullptr);
        root->SetChild(new TLoopPartMuz(&m.doc, new TLoopPartMuz(&m.doc, single, 9999), 9999));
        TMusicRender r = m.doc.CreateSound();
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "The music is too long: it plays more than 10000000 notes and turns.");
    }
    {
        // The memory guard refuses the canvas.
        Clicks m;
        m.Note(0.0, 5);
        m.messages.Expect();
        FailAllocationsAfter(0);
        TMusicRender r = m.doc.CreateSound();
        ResetAllocationFailure();
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.message, "There is not enough memmory for this operation.");
        ASSERT_EQ(m.messages.Shown().size(), 1u);
        EXPECT_EQ(m.messages.Shown()[0].caption, "System Error");
    }
}

} // namespace
} // namespace kelvorn::test
