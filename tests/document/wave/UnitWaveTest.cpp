// The wave document's positions, ranges, repaint notices, change frame, change flags and status
// texts.

#include "support/Documents.h"
#include "support/PlainDocument.h"

#include "platform/test/ScriptedMessages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

namespace kelvorn::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using Calls = std::vector<std::string>;

TEST(UnitWaveBases, FileElementsAndRenaming)
{
    TUnitWave untitled("Wave 1", "", TWaveFileProps(2, 44100, 2));
    EXPECT_TRUE(untitled.IsUntitled());
    EXPECT_EQ(untitled.CreateXmlFile(), nullptr);
    EXPECT_EQ(untitled.CreateXmlTempFile(), nullptr);
    TUnitWave unit("W", "/home/u/take one.wav", RampMono(4));
    unit.SetTempFileNumber(0);
    EXPECT_EQ(unit.CreateXmlFile()->GetElement(), "File");
    EXPECT_EQ(unit.CreateXmlFile()->GetText(), "/home/u/take one.wav");
    EXPECT_EQ(unit.CreateXmlTempFile()->GetElement(), "TempFile");
    EXPECT_EQ(unit.CreateXmlTempFile()->GetText(), "0");
    unit.SetTempFileNumber(12);
    EXPECT_EQ(unit.CreateXmlTempFile()->GetText(), "12");
    // Renaming passes the old name to the window.
    RecordingWaveWindow window;
    PlainDocument plain(DocumentKind::Factory);
    EXPECT_EQ(plain.GetKind(), DocumentKind(3));
    plain.SetWindow(&window);
    plain.SetName("First");
    plain.SetName("Second");
    plain.SetFileName("/x/f.kvs");
    EXPECT_FALSE(plain.IsUntitled());
    EXPECT_THAT(window.calls,
                ElementsAre("RefreshCaption ", "RefreshCaption First", "UpdateCaption"));
}

// ---- Ranges ----------------------------------------------------------------------------------

TEST(UnitWaveRanges, PartAndRange)
{
    struct Case
    {
        int32_t values, pos1, pos2, partBegin, partEnd, rangeBegin, rangeEnd;
    };
    // A lone cursor's range is the whole wave; positions are clamped into it.
    // clang-format off
    for (Case c : std::vector<Case>{{1000, 100, 100, 100, 100, 0, 1000},
             {1000, 300, 200, 200, 300, 200, 300}, {1000, 200, 300, 200, 300, 200, 300},
             {1000, 0, 1000, 0, 1000, 0, 1000}, {1000, 1000, 1000, 1000, 1000, 0, 1000},
             {1000, -5, 4000, 0, 1000, 0, 1000}, {0, 7, 7, 0, 0, 0, 0}}) {
        // clang-format on
        TUnitWave unit("W", "", RampMono(c.values, 1000));
        unit.SetPos1(c.pos1);
        unit.SetPos2(c.pos2);
        EXPECT_EQ(std::vector<int32_t>({unit.GetPartBegin(), unit.GetPartEnd(),
                                        unit.GetRangeBegin(), unit.GetRangeEnd()}),
                  std::vector<int32_t>({c.partBegin, c.partEnd, c.rangeBegin, c.rangeEnd}))
            << c.pos1 << " " << c.pos2;
        EXPECT_EQ(unit.GetRangeTime(), (long double)(c.rangeEnd - c.rangeBegin) / 1000);
    }
}

TEST(UnitWaveRanges, SetPartKeepsWhichPositionIsLaterAndClamps)
{
    struct Case
    {
        int32_t pos1, pos2, begin, end, wantPos1, wantPos2;
    };
    for (Case c : {Case{0, 0, 10, 20, 20, 10}, Case{100, 100, 10, 20, 20, 10},
                   Case{5, 50, 10, 20, 10, 20}, Case{50, 5, 10, 20, 20, 10},
                   Case{5, 50, -10, 5000, 0, 1000}, Case{50, 5, -10, 5000, 1000, 0},
                   Case{0, 0, 10, 10, 10, 10}, Case{0, 0, 2000, 3000, 1000, 1000}}) {
        TUnitWave unit("W", "", RampMono(1000));
        unit.SetPos1(c.pos1);
        unit.SetPos2(c.pos2);
        unit.SetPart(c.begin, c.end);
        EXPECT_EQ(unit.GetPos1(), c.wantPos1) << c.pos1 << " " << c.pos2 << " " << c.begin;
        EXPECT_EQ(unit.GetPos2(), c.wantPos2) << c.pos1 << " " << c.pos2 << " " << c.begin;
    }
    TUnitWave unit("W", "", RampMono(1000));
    unit.SetCursor(-1);
    EXPECT_EQ(unit.GetPos2(), 0);
    unit.SetCursor(1001);
    EXPECT_EQ(unit.GetPos1(), 1000);
    unit.SetPos1(INT32_MIN);
    unit.SetPos2(INT32_MAX);
    EXPECT_EQ(unit.GetPos1(), 0);
    EXPECT_EQ(unit.GetPos2(), 1000);

    ScriptedMessages messages;
    messages.Expect();
    unit.SetCursor(0);
    unit.SetPart(30, 20);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_THAT(messages.Shown()[0].text, HasSubstr("\"begin <= end\""));
    EXPECT_EQ(unit.GetPos1(), 20);
    EXPECT_EQ(unit.GetPos2(), 30);
}

// ---- Interactive changes and their repaints ----------------------------------------------------

TEST(UnitWaveChanges, EachChangeRepaintsWhatMovedAndTellsTheMainWindow)
{
    struct Case
    {
        const char* name;
        int32_t values, pos1, pos2;
        std::function<void(TUnitWave&)> change;
        Calls calls;
        int32_t wantPos1, wantPos2;
    };
    using U = TUnitWave&;
    // clang-format off
    const std::vector<Case> cases{
        {"cursor", 1000, 0, 0, [](U u) { u.ChangeCursor(300); },
         {"RepaintPosition 0", "DrawCursor 300"}, 300, 300},
        {"cursor beyond the wave", 1000, 0, 0, [](U u) { u.ChangeCursor(5000); },
         {"RepaintPosition 0", "DrawCursor 1000"}, 1000, 1000},
        {"part from a cursor", 1000, 50, 50, [](U u) { u.ChangePart(100, 200); },
         {"RepaintPosition 50", "RepaintRange 100 200", "DrawCursor 200"}, 200, 100},
        // The unmoved first position is not redrawn.
        {"positions", 1000, 10, 20, [](U u) { u.ChangePositions(10, 900); },
         {"RepaintRange 20 900"}, 10, 900},
        // Old part 10..20, new 20..40.
        {"first position", 1000, 10, 20, [](U u) { u.ChangePos1(40); },
         {"RepaintPosition 10", "RepaintRange 10 20", "RepaintRange 20 40", "DrawCursor 40"},
         40, 20},
        {"empty wave", 0, 0, 0, [](U u) { u.ChangeCursor(5); }, {}, 0, 0}};
    // clang-format on
    for (const Case& c : cases) {
        WaveDoc doc(RampMono(c.values), "/w/a.wav");
        RecordingMainForm main;
        doc.wave.SetPos1(c.pos1);
        doc.wave.SetPos2(c.pos2);
        c.change(doc.wave);
        EXPECT_EQ(doc.window.calls, c.calls) << c.name;
        EXPECT_EQ(doc.wave.GetPos1(), c.wantPos1) << c.name;
        EXPECT_EQ(doc.wave.GetPos2(), c.wantPos2) << c.name;
        EXPECT_EQ(main.calls, c.values ? Calls{"WaveSelectionChanged"} : Calls{}) << c.name;
        EXPECT_TRUE(doc.wave.IsStateModified()) << c.name;
        EXPECT_FALSE(doc.wave.IsDataModified()) << c.name;
    }
}

TEST(UnitWaveChanges, ASelectionChangeRepaintsExactlyTheChangedRanges)
{
    struct Case
    {
        int32_t oldBegin, oldEnd, newBegin, newEnd;
        Calls repaints;
    };
    for (const Case& c :
         {Case{10, 20, 15, 30, {"RepaintRange 10 15", "RepaintRange 20 30"}},
          Case{5, 5, 5, 50, {"RepaintRange 5 50"}},
          Case{100, 200, 150, 150, {"RepaintRange 100 150", "RepaintRange 150 200"}},
          Case{100, 200, 50, 250, {"RepaintRange 50 100", "RepaintRange 200 250"}},
          Case{100, 200, 300, 400, {"RepaintRange 100 200", "RepaintRange 300 400"}},
          Case{100, 200, 100, 200, {}}, Case{7, 7, 9, 9, {}}}) {
        WaveDoc doc(RampMono(1000));
        RecordingMainForm main;
        doc.wave.RepaintSelectionChange(c.oldBegin, c.oldEnd, c.newBegin, c.newEnd);
        EXPECT_EQ(doc.window.calls, c.repaints) << c.oldBegin << " " << c.newBegin;
        EXPECT_EQ(main.calls, Calls{"WaveSelectionChanged"});
    }
}

// ---- The change frame ------------------------------------------------------------------------

TEST(UnitWaveChangeFrame, SelectsTheNewRangeOrScalesALoneCursor)
{
    struct Case
    {
        int32_t values, pos1, pos2, begin, end, newValues, newBegin, newEnd, wantPos1, wantPos2;
    };
    for (Case c : {// A lone cursor over the whole wave keeps its fraction of the length.
                   Case{4000, 1000, 1000, 0, 4000, 2000, 0, 2000, 500, 500},
                   Case{4000, 1000, 1000, 0, 4000, 8000, 0, 8000, 2000, 2000},
                   Case{7, 3, 3, 0, 7, 10, 0, 10, 4, 4}, Case{3, 1, 1, 0, 3, 2, 0, 2, 0, 0},
                   Case{4000, 4000, 4000, 0, 4000, 2000, 0, 2000, 2000, 2000},
                   // The remembered length 0 gives a cursor at 0.
                   Case{0, 0, 0, 0, 0, 4410, 0, 4410, 0, 0},
                   // Not the whole wave: the new range is selected, the later position first.
                   Case{4000, 1000, 1000, 0, 3999, 2000, 0, 2000, 2000, 0},
                   Case{4000, 1000, 1000, 1000, 1000, 5000, 1000, 2000, 2000, 1000},
                   Case{4000, 100, 300, 100, 300, 4100, 100, 400, 100, 400},
                   Case{4000, 300, 100, 100, 300, 4100, 100, 400, 400, 100},
                   // A part over the whole wave is not a cursor: selected as well.
                   Case{4000, 0, 4000, 0, 4000, 2000, 0, 2000, 0, 2000}}) {
        WaveDoc doc(RampMono(c.values));
        doc.wave.SetPos1(c.pos1);
        doc.wave.SetPos2(c.pos2);
        doc.wave.BeginWaveChange(c.begin, c.end);
        doc.wave.ExchangeSound(RampMono(c.newValues));
        doc.wave.EndWaveChange(c.newBegin, c.newEnd);
        const std::string at = std::to_string(c.values) + " " + std::to_string(c.pos1) + " " +
                               std::to_string(c.end) + " " + std::to_string(c.newBegin);
        EXPECT_EQ(doc.wave.GetPos1(), c.wantPos1) << at;
        EXPECT_EQ(doc.wave.GetPos2(), c.wantPos2) << at;
        EXPECT_EQ(
            doc.window.calls,
            (Calls{"SaveZoom " + std::to_string(c.begin) + " " + std::to_string(c.end),
                   "RestoreZoom " + std::to_string(c.newBegin) + " " + std::to_string(c.newEnd)}));
    }
    // Without a pane group it asserts and still places the positions.
    ScriptedMessages messages;
    messages.Expect();
    messages.Expect();
    WaveDoc doc(RampMono(4000));
    doc.window.hasPaneGroup = false;
    doc.wave.SetCursor(1000);
    doc.wave.BeginWaveChange(0, 4000);
    doc.wave.ExchangeSound(RampMono(2000));
    doc.wave.EndWaveChange(0, 2000);
    ASSERT_EQ(messages.Shown().size(), 2u);
    EXPECT_THAT(messages.Shown()[0].text, HasSubstr("Condition \"viewWaveGroup\"failed!"));
    EXPECT_TRUE(doc.window.calls.empty());
    EXPECT_EQ(doc.wave.GetPos1(), 500);
}

// ---- Change flags and save decisions -------------------------------------------------------

TEST(UnitWaveFlags, SaveDecisionsAndTracking)
{
    enum Mark { None, Data, View };
    struct Case
    {
        int32_t values;
        bool drawing, titled;
        Mark mark;
        bool canSave, needsWave, needsShadow, modified;
    };
    // An empty wave that is not drawn never counts as modified, even untitled.
    for (Case c : {Case{0, false, false, None, false, false, false, false},
                   Case{0, false, true, Data, false, false, false, false},
                   Case{0, true, false, None, true, true, true, true},
                   Case{0, true, true, View, true, false, true, true},
                   Case{10, false, false, None, true, true, true, true},
                   Case{10, false, true, None, true, false, false, false},
                   Case{10, false, true, Data, true, true, true, true},
                   Case{10, false, true, View, true, false, true, true}}) {
        TUnitWave unit("W", c.titled ? "/w/a.wav" : "", RampMono(c.values));
        if (c.drawing)
            unit.RestoreUserDrawing(TUnitWave::DrawLinear, 1.0);
        if (c.mark == Data)
            unit.SetModified();
        if (c.mark == View)
            unit.SetViewModified();
        const std::string at = std::to_string(c.values) + (c.drawing ? " drawn" : "") +
                               (c.titled ? " titled " : " ") + std::to_string(c.mark);
        EXPECT_EQ(unit.CanSaveFile(), c.canSave) << at;
        EXPECT_EQ(unit.NeedsWaveSave(), c.needsWave) << at;
        EXPECT_EQ(unit.NeedsShadowSave(), c.needsShadow) << at;
        EXPECT_EQ(unit.IsModified(), c.modified) << at;
        unit.ClearModified();
        EXPECT_FALSE(unit.IsDataModified() || unit.IsStateModified()) << at;
        EXPECT_EQ(unit.IsModified(), c.canSave && !c.titled) << at;
    }
    // Without tracking nothing is marked or cleared.
    TUnitWave unit("W", "/w/a.wav", RampMono(10));
    unit.SetTrackModified(false);
    unit.SetModified();
    unit.SetViewModified();
    EXPECT_FALSE(unit.IsModified());
    unit.SetTrackModified(true);
    unit.SetModified();
    unit.SetTrackModified(false);
    unit.ClearModified();
    EXPECT_TRUE(unit.IsDataModified());
    EXPECT_TRUE(unit.IsStateModified());
}

// ---- Status panels -----------------------------------------------------------------------------

TEST(UnitWaveStatus, SizeTextsAndPanels)
{
    // clang-format off
    const std::pair<int64_t, const char*> sizes[] = {{0, "0 b"}, {1023, "1023 b"},
        {1024, "1.00 kb"}, {1536, "1.50 kb"}, {10240, "10.0 kb"}, {102400, "100 kb"},
        {1024 * 1024, "1.00 Mb"}, {1024 * 1024 * 50, "50.0 Mb"}, {1024 * 1024 * 500, "500 Mb"},
        {int64_t{3} << 29, "1.50 Gb"}, {int64_t{10} << 30, "10.00 Gb"}};
    // clang-format on
    for (auto [bytes, text] : sizes)
        EXPECT_EQ(SizeText(bytes), text);
    RecordingMainForm main;
    TUnitWave unit("W", "/w/a.wav", RampStereo(768, 44100, 1));
    unit.UpdateActions();
    EXPECT_EQ(
        main.panels,
        (std::map<int, std::string>{
            {2, "0.01741 s"}, {3, "44100 hz"}, {4, "8"}, {5, "ST"}, {6, "1.50 kb"}, {7, ""}}));
    unit.SetViewModified();
    EXPECT_EQ(unit.StatusText(7), "Changed");
    TUnitWave mono("W", "", RampMono(51200, 11025));
    const std::pair<int, const char*> panels[] = {
        {3, "11025 hz"}, {4, "16"}, {5, "MO"}, {6, "100 kb"}, {7, "New"}};
    for (auto [panel, text] : panels)
        EXPECT_EQ(mono.StatusText(panel), text);
    TUnitWave drawn("W", "/w/a.wav", RampMono(0));
    drawn.RestoreUserDrawing(TUnitWave::DrawLinear, 61.5);
    EXPECT_EQ(drawn.StatusText(2), "1:01.50000") << "the length while drawing";
}

} // namespace
} // namespace kelvorn::test
