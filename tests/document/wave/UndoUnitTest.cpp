// The undo record: undo twice redoes, and neither the record nor the document ever frees a
// sound the other (or the clipboard) still holds. Run under AddressSanitizer these tests also
// read every sound after each exchange.

#include "support/Documents.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

using ::testing::ElementsAre;

/// Reads every value of every channel (a use after free shows under AddressSanitizer).
int64_t Sum(const Sound& sound)
{
    int64_t sum = 0;
    const Wave* channels[] = {sound.GetLeftWave(), sound.GetRightWave()};
    for (int c = 0; c < sound.GetMonoStereo(); ++c)
        for (int32_t i = 0; i < channels[c]->Values(); ++i)
            sum += (*channels[c])[i];
    return sum;
}

struct Fixture
{
    Fixture() : unit("A", "/w/a.wav", RampMono(1000))
    {
        unit.SetChildWave(&window);
        unit.SetPos1(100);
        unit.SetPos2(200);
    }
    RecordingMainForm main;
    RecordingWaveWindow window;
    TUnitWave unit;
};

TEST(UndoUnit, UndoTwiceRedoes)
{
    Fixture s;
    SoundPtr before = s.unit.GetSound();
    s.main.MakeUndo(s.unit);
    // The command: a new sound swapped in and a cursor placed.
    SoundPtr after = RampMono(500, 44100, 2);
    s.unit.ExchangeSound(after);
    s.unit.SetCursor(50);
    s.unit.ClearModified();

    s.main.undo->Undo();
    EXPECT_EQ(s.unit.GetSound(), before);
    EXPECT_EQ(s.unit.GetPos1(), 100);
    EXPECT_EQ(s.unit.GetPos2(), 200);
    EXPECT_EQ(s.main.undo->GetSound(), after);
    EXPECT_EQ(s.main.undo->GetPos1(), 50);
    EXPECT_TRUE(s.unit.IsDataModified());
    EXPECT_TRUE(s.unit.IsStateModified());
    EXPECT_THAT(s.window.calls, ElementsAre("RefreshWave"));

    s.main.undo->Undo();
    EXPECT_EQ(s.unit.GetSound(), after);
    EXPECT_EQ(s.unit.GetPos1(), 50);
    EXPECT_EQ(s.unit.GetPos2(), 50);
    EXPECT_EQ(s.main.undo->GetSound(), before);
    EXPECT_EQ(s.main.undo->GetPos2(), 200);

    s.main.undo->Undo();
    EXPECT_EQ(s.unit.GetSound(), before);
    EXPECT_EQ(Sum(*s.unit.GetSound()), 999 * 1000 / 2);
}

TEST(UndoUnit, UndoKeepsTheDrawingAndTheRecords)
{
    Fixture s;
    s.unit.RestoreUserDrawing(TUnitWave::DrawParabola, 2.0);
    s.unit.AppendDrawNode(std::make_unique<TDrawNode>(int16_t{5}, 0.0));
    s.main.MakeUndo(s.unit);
    s.unit.ExchangeSound(RampMono(3));
    s.main.undo->Undo();
    EXPECT_TRUE(s.unit.IsUserDrawing());
    EXPECT_EQ(s.unit.GetDrawKind(), TUnitWave::DrawParabola);
    EXPECT_EQ(s.unit.GetDrawLength(), 2.0);
    ASSERT_NE(s.unit.GetDrawNodes(), nullptr);
    EXPECT_EQ(s.unit.GetDrawNodes()->GetValue(), 5);
}

TEST(UndoUnit, DroppingTheRecordFreesOnlyTheSoundNoOneElseHolds)
{
    Fixture s;
    std::weak_ptr<Sound> before = s.unit.GetSound();
    s.main.MakeUndo(s.unit);
    SoundPtr after = RampMono(10);
    std::weak_ptr<Sound> afterWatch = after;
    s.unit.ExchangeSound(std::move(after));
    EXPECT_FALSE(before.expired());
    s.main.undo.reset();
    EXPECT_TRUE(before.expired());
    ASSERT_FALSE(afterWatch.expired());
    EXPECT_EQ(Sum(*s.unit.GetSound()), 45);

    // A discarded command leaves a record of the document's own sound: dropping it frees nothing.
    s.main.MakeUndo(s.unit);
    EXPECT_EQ(s.main.undo->GetSound(), s.unit.GetSound());
    s.main.undo.reset();
    EXPECT_EQ(Sum(*s.unit.GetSound()), 45);
}

TEST(UndoUnit, UndoAfterARenderUsesTheSoundTheRecordKept)
{
    RecordingMainForm main;
    RecordingWaveWindow window;
    TUnitWave unit("W", "", TWaveFileProps(1, 8000, 2));
    unit.SetChildWave(&window);
    // The record holds the document's current sound, as after a discarded command.
    main.MakeUndo(unit);
    std::weak_ptr<Sound> empty = unit.GetSound();
    unit.StartUserDrawing(TUnitWave::DrawLinear);
    unit.GetDrawNodes()->SetValue(-8000);
    ASSERT_TRUE(unit.RenderUserDraw());
    ASSERT_FALSE(empty.expired());
    EXPECT_EQ(unit.GetValues(), 8001);

    main.undo->Undo();
    EXPECT_EQ(unit.GetValues(), 0);
    EXPECT_EQ(unit.GetSound(), empty.lock());
    ASSERT_EQ(main.undo->GetSound()->GetValues(), 8001);
    EXPECT_EQ((*main.undo->GetSound()->GetLeftWave())[0], -8000);

    main.undo->Undo();
    EXPECT_EQ(unit.GetValues(), 8001);
    EXPECT_LT(Sum(*unit.GetSound()), 0);
}

TEST(UndoUnit, RenderAfterUndoLeavesTheRecordItsSound)
{
    Fixture s;
    s.main.MakeUndo(s.unit);
    s.unit.ExchangeSound(RampMono(20));
    s.main.undo->Undo();
    // The document (with the old sound back) is drawn anew; the record keeps the command's.
    s.unit.RestoreUserDrawing(TUnitWave::DrawLinear, 0.001);
    s.unit.AppendDrawNode(std::make_unique<TDrawNode>(int16_t{0}, 0.0));
    s.unit.AppendDrawNode(std::make_unique<TDrawNode>(int16_t{0}, 1.0));
    ASSERT_TRUE(s.unit.RenderUserDraw());
    EXPECT_EQ(Sum(*s.main.undo->GetSound()), 190);
    s.main.undo->Undo();
    EXPECT_EQ(s.unit.GetValues(), 20);
    EXPECT_EQ(s.main.undo->GetSound()->GetValues(), 45);
}

TEST(UndoUnit, ClosingTheDocumentDropsItsRecordFirst)
{
    RecordingMainForm main;
    TUnitWave kept("K", "", RampMono(30));
    main.MakeUndo(kept);
    kept.ExchangeSound(RampMono(3));
    {
        TUnitWave other("O", "", RampMono(10));
    }
    ASSERT_NE(main.undo, nullptr) << "closing another document keeps the record";
    main.undo->Undo();
    EXPECT_EQ(Sum(*kept.GetSound()), 435);

    std::weak_ptr<Sound> before, after;
    {
        TUnitWave unit("W", "", RampMono(100));
        before = unit.GetSound();
        main.MakeUndo(unit);
        SoundPtr result = RampMono(50);
        after = result;
        unit.ExchangeSound(std::move(result));
    }
    EXPECT_THAT(main.calls, ElementsAre("DeleteUndoOfUnit", "DeleteUndoOfUnit"));
    EXPECT_EQ(main.undo, nullptr);
    EXPECT_TRUE(before.expired());
    EXPECT_TRUE(after.expired());
}

TEST(UndoUnit, ADocumentAroundTheClipboardSoundLeavesItToTheClipboard)
{
    RecordingMainForm main;
    TUnitWave source("S", "", RampMono(100));
    ASSERT_TRUE(source.CopyPart(0, 10));
    {
        // Paste as a new wave shares the clipboard's sound.
        TUnitWave pasted("P", "", main.clipboard);
        main.MakeUndo(pasted);
        pasted.ExchangeSound(RampMono(1));
        main.undo->Undo();
        EXPECT_EQ(pasted.GetSound(), main.clipboard);
    }
    ASSERT_NE(main.clipboard, nullptr);
    EXPECT_EQ(Sum(*main.clipboard), 45);
}

} // namespace
} // namespace kelvorn::test
