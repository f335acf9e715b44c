// Durations, periods, key signatures and bar lines of the score symbols, one table each.

#include "support/MusicKit.h"

#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

struct LengthCase
{
    uint8_t kind;
    int32_t points;
    MultiOol ool;
    int32_t posInOol;
    NoteArtKind art;
    double length;      // GetLengthValue
    double symbolTime;  // GetSymbolTime at Position 1
    double soundLength; // GetSoundLength
    int32_t flagLength;
};

TEST(SymbolsTest, LengthsTimesAndArticulation)
{
    const LengthCase cases[] = {
        {4, 1, sool, 0, noteArtNormal, 0.375, 1.0, 0.375, 4},
        {4, 3, sool, 0, noteArtNormal, 0.46875, 1.0, 0.46875, 4},
        {4, 0, triool, 2, noteArtNormal, 0.25, 1.0 + 1.0 / 6, 0.25 / 3, 8},
        {4, 0, triool, 0, noteArtNormal, 0.25, 1.0, 0.25 / 3, 8},
        {8, 0, sool, 0, noteArtStaccatissimo, 0.125, 1.0, 1.0 / 32, 8},
        {8, 0, sool, 0, noteArtLegato, 0.125, 1.0, 0.25, 8},
        {8, 0, sool, 0, noteArtPortato, 0.125, 1.0, 0.1875, 8},
        {8, 0, sool, 0, noteArtStaccato, 0.125, 1.0, 0.0625, 8},
        {16, 0, kwintool, 4, noteArtNormal, 0.0625, 1.05, 0.0125, 64},
    };
    MusicDoc m;
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.kind) << " " << c.points << " " << int(c.ool));
        TMuzNote note(&m.doc, m.Group(), c.kind, c.points, 1.0, 5, m.stave, noteShiftNormal, c.ool,
                      c.posInOol, c.art, m.part, drawStickAuto);
        EXPECT_DOUBLE_EQ(note.GetLengthValue(), c.length);
        EXPECT_DOUBLE_EQ(note.GetSymbolTime(), c.symbolTime);
        EXPECT_DOUBLE_EQ(note.GetSoundLength(), c.soundLength);
        EXPECT_EQ(note.GetFlagLength(), c.flagLength);
    }
    EXPECT_TRUE(m.messages.Unexpected().empty());
}

TEST(SymbolsTest, PeriodsOfPitches)
{
    const struct
    {
        int32_t pitch;
        NoteShiftKind shift;
        double hz;
    } cases[] = {
        {5, noteShiftNormal, 440.0},
        {12, noteShiftNormal, 880.0},
        {0, noteShiftNormal, 261.6255653},
        {-2, noteShiftKruis, 220.0 * std::pow(2.0, 1.0 / 12)},
        {5, noteShiftDoubleMol, 440.0 * std::pow(2.0, -2.0 / 12)},
        {5, noteShiftNone, 440.0},
        {-43, noteShiftNormal, 440.0 * std::pow(2.0, -7 + 2.0 / 12)}, // B, seven octaves down
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pitch);
        EXPECT_NEAR(1.0 / TMuzNote::PeriodOf(c.pitch, c.shift), c.hz, 1e-6 * c.hz);
    }
}

TEST(SymbolsTest, FlagLengthsAndDots)
{
    const struct
    {
        MultiOol ool;
        int32_t flag;
        bool ok;
        uint8_t kind;
    } cases[] = {{sool, 8, true, 8},      {triool, 8, true, 4},    {triool, 1, false, 0},
                 {kwintool, 2, false, 0}, {kwintool, 16, true, 4}, {duool, 2, true, 1}};
    for (const auto& c : cases) {
        uint8_t kind = 0;
        EXPECT_EQ(TStaveTimeSymbol::FlagLength2TotalLength(c.ool, c.flag, kind), c.ok);
        if (c.ok) {
            EXPECT_EQ(kind, c.kind);
        }
    }
    MusicDoc m;
    TSilence duplet(4, 1, 0.0, m.stave, duool, 0, m.part);
    EXPECT_FALSE(duplet.MayTotalPoints(0));
    EXPECT_TRUE(duplet.MayTotalPoints(3));
    EXPECT_FALSE(duplet.MayTotalPoints(4));
}

TEST(SymbolsTest, KeySignatures)
{
    MusicDoc m;
    TKey key(&m.doc, keyKindG, 0, 0.0, m.stave, 1, m.part);
    int32_t count = 99;
    ASSERT_TRUE(key.ToonLadder(count));
    EXPECT_EQ(count, 0);
    // F sharp in a G clef: the first sharp's step. An F clef keeps the sharp on F.
    const int32_t fStepG = key.GetKeyShiftHeight(noteShiftKruis, 0);
    EXPECT_EQ(key.GetPitchOfStep(fStepG) % 7, 3);
    key.SetKeyNoteShift(fStepG, noteShiftKruis);
    ASSERT_TRUE(key.ToonLadder(count));
    EXPECT_EQ(count, 1);
    key.SetKeyKind(keyKindF);
    const int32_t fStepF = key.GetKeyShiftHeight(noteShiftKruis, 0);
    EXPECT_EQ(((key.GetPitchOfStep(fStepF) % 7) + 7) % 7, 3);
    EXPECT_EQ(key.GetKeyNoteShift(fStepF), noteShiftKruis);
    ASSERT_TRUE(key.ToonLadder(count));
    EXPECT_EQ(count, 1);
    // Three flats; then F sharp beside B flat is no scale.
    TKey flats(&m.doc, keyKindC, 0, 0.0, m.stave, 1, m.part);
    for (int32_t n = 0; n < 3; ++n)
        flats.SetKeyNoteShift(flats.GetKeyShiftHeight(noteShiftMol, n), noteShiftMol);
    ASSERT_TRUE(flats.ToonLadder(count));
    EXPECT_EQ(count, -3);
    TKey mixed(&m.doc, keyKindG, 0, 0.0, m.stave, 1, m.part);
    mixed.SetKeyNoteShift(mixed.GetKeyShiftHeight(noteShiftKruis, 0), noteShiftKruis);
    mixed.SetKeyNoteShift(mixed.GetKeyShiftHeight(noteShiftMol, 0), noteShiftMol);
    EXPECT_FALSE(mixed.ToonLadder(count));
    // A gap: the second sharp without the first.
    TKey gap(&m.doc, keyKindG, 0, 0.0, m.stave, 1, m.part);
    gap.SetKeyNoteShift(gap.GetKeyShiftHeight(noteShiftKruis, 1), noteShiftKruis);
    EXPECT_FALSE(gap.ToonLadder(count));
    EXPECT_EQ(key.GetKeyShiftLow(noteShiftKruis), -3);
    EXPECT_EQ(gap.GetKeyShiftLow(noteShiftMol), -3);
}

TEST(SymbolsTest, BarLines)
{
    MusicDoc m;
    TMuzBar* bar = m.part->GetMuzBar();
    bar->SetCount(3);
    for (int32_t i = 0; i < 1; ++i)
        bar->NextBeat(); // CountFirstBar 1
    ASSERT_EQ(bar->GetCountFirstBar(), 1);
    const double cases[][2] = {{0.0, 0.25}, {0.25, 1.0}, {0.5, 1.0}, {1.0, 1.75}, {1.75, 2.5}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(bar->GetNextBarLine(c[0]), c[1]) << c[0];
    EXPECT_EQ(bar->NextBeat(), 0);
    EXPECT_EQ(bar->NextBeat(), 1); // 2 -> 0 wraps
    EXPECT_EQ(bar->PrevBeat(), 0); // 0 -> 2 wraps back
    EXPECT_EQ(bar->GetCountFirstBar(), 2);
}

TEST(SymbolsTest, ChainOrderOfKeysAndChords)
{
    MusicDoc m;
    auto* key2 = new TKey(&m.doc, keyKindC, 0, 0.5, m.stave, 2, m.part);
    auto* key1 = new TKey(&m.doc, keyKindF, 0, 0.5, m.stave, 1, m.part);
    m.part->InsertSymbol(key2);
    TMuzNote* low = m.Note(0.5, 0);
    TMuzNote* high = m.Note(0.5, 4);
    m.part->InsertSymbol(key1);
    EXPECT_EQ(key1->GetNext(), key2);
    EXPECT_EQ(key2->GetNext(), high);
    EXPECT_EQ(high->GetNext(), low);
}

} // namespace
} // namespace kelvorn::test
