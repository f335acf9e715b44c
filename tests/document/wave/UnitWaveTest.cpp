#include "support/PlainDocument.h"
// The wave document's positions, ranges, repaint notices, change frame, change flags and status
// texts.

#include "support/Documents.h"

#include "document/wave/UnitWaveRecords.h"
#include "platform/test/ScriptedMessages.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace kelvorn::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct Doc
{
    explicit Doc(int32_t values, const std::string& file = "/w/a.wav")
        : unit("A", file, RampMono(values))
    {
        unit.SetChildWave(&window);
        unit.SetWindow(&window);
    }
    RecordingMainForm main;
    RecordingWaveWindow window;
    TUnitWave unit;
};

// ---- Construction and the document bases --------------------------------------------------

TEST(UnitWaveBases, NewEmptyWaveIsUntitledWithNoProjectEntries)
{
    TUnitWave unit("Wave 1", "", TWaveFileProps(2, 44100, 2));
    EXPECT_EQ(unit.GetKind(), DocumentKind::Wave);
    EXPECT_EQ(unit.GetName(), "Wave 1");
    EXPECT_TRUE(unit.IsUntitled());
    EXPECT_EQ(unit.GetTempFileNumber(), -1);
    EXPECT_TRUE(unit.GetTrackModified());
    EXPECT_EQ(unit.CreateXmlFile(), nullptr);
    EXPECT_EQ(unit.CreateXmlTempFile(), nullptr);
    EXPECT_EQ(unit.GetMonoStereo(), 2);
    EXPECT_EQ(unit.GetSampleFreq(), 44100);
    EXPECT_EQ(unit.GetBytesPSample(), 2);
    EXPECT_EQ(unit.GetValues(), 0);
    EXPECT_FALSE(unit.IsDataModified());
    EXPECT_FALSE(unit.IsStateModified());
    EXPECT_EQ(unit.GetPos1(), 0);
    EXPECT_EQ(unit.GetPos2(), 0);
    EXPECT_FALSE(unit.IsUserDrawing());
    EXPECT_EQ(unit.GetDrawNodes(), nullptr);
}

TEST(UnitWaveBases, FileAndTempFileElements)
{
    TUnitWave unit("W", "/home/u/take one.wav", RampMono(4));
    unit.SetTempFileNumber(0);
    auto file = unit.CreateXmlFile();
    auto temp = unit.CreateXmlTempFile();
    ASSERT_NE(file, nullptr);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(file->GetElement(), "File");
    EXPECT_EQ(file->GetText(), "/home/u/take one.wav");
    EXPECT_EQ(temp->GetElement(), "TempFile");
    EXPECT_EQ(temp->GetText(), "0");
    unit.SetTempFileNumber(-1);
    EXPECT_EQ(unit.CreateXmlTempFile(), nullptr);
    unit.SetTempFileNumber(12);
    EXPECT_EQ(unit.CreateXmlTempFile()->GetText(), "12");
}

TEST(UnitWaveBases, RenamingPassesTheOldNameToTheWindow)
{
    RecordingWaveWindow window;
    PlainDocument unit(DocumentKind::Factory);
    EXPECT_EQ(unit.GetKind(), DocumentKind(3));
    unit.SetWindow(&window);
    unit.SetName("First");
    unit.SetName("Second");
    unit.SetFileName("/x/f.kvs");
    EXPECT_EQ(unit.GetName(), "Second");
    EXPECT_FALSE(unit.IsUntitled());
    EXPECT_THAT(window.calls,
                ElementsAre("RefreshCaption ", "RefreshCaption First", "UpdateCaption"));
}

TEST(UnitWaveBases, InvalidFormatShowsBothAssertionsAndStillMakesAWave)
{
    ScriptedMessages messages;
    messages.Expect();
    messages.Expect();
    TUnitWave unit("W", "", TWaveFileProps(3, 22050, 4));
    ASSERT_EQ(messages.Shown().size(), 2u);
    EXPECT_EQ(messages.Shown()[0].caption, "Assertion failed");
    EXPECT_THAT(messages.Shown()[0].text, HasSubstr("Condition \"waveFileProps.MonoStereo == 1 || "
                                                    "waveFileProps.MonoStereo == 2\"failed!"));
    EXPECT_THAT(
        messages.Shown()[1].text,
        HasSubstr("\"waveFileProps.BytesPSample == 1 || waveFileProps.BytesPSample == 2\""));
    EXPECT_EQ(unit.GetMonoStereo(), 2);
    EXPECT_EQ(unit.GetSampleFreq(), 22050);
}

TEST(UnitWaveBases, SetAllPropsCopiesTheRecordsInTheirPlaces)
{
    TUnitWave unit("W", "", RampMono(4));
    TUnitWaveRecords lastUsed;
    lastUsed.lineProps.kind = 1;
    lastUsed.volumeProps.kind = TVolumeProps::kindEnvelope;
    lastUsed.mixProps.placement = TMixProps::stretch;
    lastUsed.lowProps.frequencyKind = 1;
    unit.SetAllProps(lastUsed);
    EXPECT_EQ(unit.Records().lineProps.kind, 1);
    EXPECT_EQ(unit.Records().volumeProps.kind, TVolumeProps::kindEnvelope);
    EXPECT_EQ(unit.Records().mixProps.placement, TMixProps::stretch);
    EXPECT_EQ(unit.Records().lowProps.frequencyKind, 1);
    EXPECT_EQ(unit.Records().highProps.frequencyKind, 0);
}

TEST(UnitWaveBases, ExchangeSoundHandsBackThePrevious)
{
    SoundPtr first = RampMono(10);
    SoundPtr second = RampMono(20);
    TUnitWave unit("W", "", first);
    SoundPtr previous = unit.ExchangeSound(second);
    EXPECT_EQ(previous, first);
    EXPECT_EQ(unit.GetSound(), second);
    EXPECT_EQ(unit.GetValues(), 20);
}

// ---- Ranges ----------------------------------------------------------------------------------

struct RangeCase
{
    int32_t values, pos1, pos2;
    int32_t partBegin, partEnd, rangeBegin, rangeEnd;
    long double rangeValues;
};

class RangeRules : public ::testing::TestWithParam<RangeCase>
{
};

TEST_P(RangeRules, PartAndRange)
{
    const RangeCase& c = GetParam();
    TUnitWave unit("W", "", RampMono(c.values, 1000));
    unit.SetPos1(c.pos1);
    unit.SetPos2(c.pos2);
    EXPECT_EQ(unit.GetPartBegin(), c.partBegin);
    EXPECT_EQ(unit.GetPartEnd(), c.partEnd);
    EXPECT_EQ(unit.GetRangeBegin(), c.rangeBegin);
    EXPECT_EQ(unit.GetRangeEnd(), c.rangeEnd);
    EXPECT_EQ(unit.GetRangeTime(), c.rangeValues / 1000);
}

INSTANTIATE_TEST_SUITE_P(Cases, RangeRules,
                         ::testing::Values(RangeCase{1000, 100, 100, 100, 100, 0, 1000, 1000},
                                           RangeCase{1000, 300, 200, 200, 300, 200, 300, 100},
                                           RangeCase{1000, 200, 300, 200, 300, 200, 300, 100},
                                           RangeCase{1000, 0, 1000, 0, 1000, 0, 1000, 1000},
                                           RangeCase{1000, 1000, 1000, 1000, 1000, 0, 1000, 1000},
                                           RangeCase{1000, -5, 4000, 0, 1000, 0, 1000, 1000},
                                           RangeCase{0, 7, 7, 0, 0, 0, 0, 0}));

struct SetPartCase
{
    int32_t pos1, pos2, begin, end, wantPos1, wantPos2;
};

class SetPartOrientation : public ::testing::TestWithParam<SetPartCase>
{
};

TEST_P(SetPartOrientation, KeepsWhichPositionIsLater)
{
    const SetPartCase& c = GetParam();
    TUnitWave unit("W", "", RampMono(1000));
    unit.SetPos1(c.pos1);
    unit.SetPos2(c.pos2);
    unit.SetPart(c.begin, c.end);
    EXPECT_EQ(unit.GetPos1(), c.wantPos1);
    EXPECT_EQ(unit.GetPos2(), c.wantPos2);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetPartOrientation,
    ::testing::Values(SetPartCase{0, 0, 10, 20, 20, 10}, SetPartCase{100, 100, 10, 20, 20, 10},
                      SetPartCase{5, 50, 10, 20, 10, 20}, SetPartCase{50, 5, 10, 20, 20, 10},
                      SetPartCase{5, 50, -10, 5000, 0, 1000},
                      SetPartCase{50, 5, -10, 5000, 1000, 0}, SetPartCase{0, 0, 10, 10, 10, 10},
                      SetPartCase{0, 0, 2000, 3000, 1000, 1000}));

TEST(UnitWavePositions, SettersClamp)
{
    TUnitWave unit("W", "", RampMono(1000));
    unit.SetCursor(-1);
    EXPECT_EQ(unit.GetPos1(), 0);
    EXPECT_EQ(unit.GetPos2(), 0);
    unit.SetCursor(1001);
    EXPECT_EQ(unit.GetPos1(), 1000);
    EXPECT_EQ(unit.GetPos2(), 1000);
    unit.SetPos1(INT32_MIN);
    unit.SetPos2(INT32_MAX);
    EXPECT_EQ(unit.GetPos1(), 0);
    EXPECT_EQ(unit.GetPos2(), 1000);
}

TEST(UnitWavePositions, SetPartWithBeginAfterEndAsserts)
{
    ScriptedMessages messages;
    messages.Expect();
    TUnitWave unit("W", "", RampMono(1000));
    unit.SetPart(30, 20);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_THAT(messages.Shown()[0].text, HasSubstr("\"begin <= end\""));
    EXPECT_EQ(unit.GetPos1(), 20);
    EXPECT_EQ(unit.GetPos2(), 30);
}

// ---- Interactive changes and their repaints ----------------------------------------------------

TEST(UnitWaveChanges, ChangeCursorRepaintsOldAndDrawsNew)
{
    Doc doc(1000);
    doc.unit.ChangeCursor(300);
    EXPECT_THAT(doc.window.calls, ElementsAre("RepaintPosition 0", "DrawCursor 300"));
    EXPECT_THAT(doc.main.calls, ElementsAre("WaveSelectionChanged"));
    EXPECT_TRUE(doc.unit.IsStateModified());
    EXPECT_FALSE(doc.unit.IsDataModified());
}

TEST(UnitWaveChanges, ChangeCursorBeyondTheWaveDrawsAtTheClampedPlace)
{
    Doc doc(1000);
    doc.unit.ChangeCursor(5000);
    EXPECT_THAT(doc.window.calls, ElementsAre("RepaintPosition 0", "DrawCursor 1000"));
    EXPECT_EQ(doc.unit.GetPos1(), 1000);
}

TEST(UnitWaveChanges, ChangePartFromACursor)
{
    Doc doc(1000);
    doc.unit.SetCursor(50);
    doc.unit.ChangePart(100, 200);
    EXPECT_EQ(doc.unit.GetPos1(), 200);
    EXPECT_EQ(doc.unit.GetPos2(), 100);
    EXPECT_THAT(doc.window.calls,
                ElementsAre("RepaintPosition 50", "RepaintRange 100 200", "DrawCursor 200"));
}

TEST(UnitWaveChanges, ChangePositionsSetsBothAndUnmovedFirstIsNotRedrawn)
{
    Doc doc(1000);
    doc.unit.SetPos1(10);
    doc.unit.SetPos2(20);
    doc.unit.ChangePositions(10, 900);
    EXPECT_EQ(doc.unit.GetPos1(), 10);
    EXPECT_EQ(doc.unit.GetPos2(), 900);
    EXPECT_THAT(doc.window.calls, ElementsAre("RepaintRange 20 900"));
}

TEST(UnitWaveChanges, ChangePos1MovesOnlyTheFirst)
{
    Doc doc(1000);
    doc.unit.SetPos1(10);
    doc.unit.SetPos2(20);
    doc.unit.ChangePos1(40);
    EXPECT_EQ(doc.unit.GetPos1(), 40);
    EXPECT_EQ(doc.unit.GetPos2(), 20);
    // Old part 10..20, new 20..40.
    EXPECT_THAT(doc.window.calls, ElementsAre("RepaintPosition 10", "RepaintRange 10 20",
                                              "RepaintRange 20 40", "DrawCursor 40"));
}

TEST(UnitWaveChanges, EmptyWaveRepaintsNothing)
{
    Doc doc(0);
    doc.unit.ChangeCursor(5);
    EXPECT_THAT(doc.window.calls, IsEmpty());
    EXPECT_TRUE(doc.unit.IsStateModified());
}

struct SelectionCase
{
    int32_t oldBegin, oldEnd, newBegin, newEnd;
    std::vector<std::string> repaints;
};

class SelectionRepaint : public ::testing::TestWithParam<SelectionCase>
{
};

TEST_P(SelectionRepaint, RepaintsExactlyTheChangedRanges)
{
    const SelectionCase& c = GetParam();
    Doc doc(1000);
    doc.unit.RepaintSelectionChange(c.oldBegin, c.oldEnd, c.newBegin, c.newEnd);
    EXPECT_EQ(doc.window.calls, c.repaints);
    EXPECT_THAT(doc.main.calls, ElementsAre("WaveSelectionChanged"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SelectionRepaint,
    ::testing::Values(
        SelectionCase{10, 20, 15, 30, {"RepaintRange 10 15", "RepaintRange 20 30"}},
        SelectionCase{5, 5, 5, 50, {"RepaintRange 5 50"}},
        SelectionCase{100, 200, 150, 150, {"RepaintRange 100 150", "RepaintRange 150 200"}},
        SelectionCase{100, 200, 50, 250, {"RepaintRange 50 100", "RepaintRange 200 250"}},
        SelectionCase{100, 200, 300, 400, {"RepaintRange 100 200", "RepaintRange 300 400"}},
        SelectionCase{100, 200, 100, 200, {}}, SelectionCase{7, 7, 9, 9, {}}));

// ---- The change frame ------------------------------------------------------------------------

struct FrameCase
{
    int32_t values, pos1, pos2, begin, end, newValues, newBegin, newEnd, wantPos1, wantPos2;
};

class WaveChangeFrame : public ::testing::TestWithParam<FrameCase>
{
};

TEST_P(WaveChangeFrame, SelectsTheNewRangeOrScalesALoneCursor)
{
    const FrameCase& c = GetParam();
    Doc doc(c.values);
    doc.unit.SetPos1(c.pos1);
    doc.unit.SetPos2(c.pos2);
    doc.unit.BeginWaveChange(c.begin, c.end);
    doc.unit.ExchangeSound(RampMono(c.newValues));
    doc.unit.EndWaveChange(c.newBegin, c.newEnd);
    EXPECT_EQ(doc.unit.GetPos1(), c.wantPos1);
    EXPECT_EQ(doc.unit.GetPos2(), c.wantPos2);
    EXPECT_THAT(
        doc.window.calls,
        ElementsAre("SaveZoom " + std::to_string(c.begin) + " " + std::to_string(c.end),
                    "RestoreZoom " + std::to_string(c.newBegin) + " " + std::to_string(c.newEnd)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WaveChangeFrame,
    ::testing::Values(
        // A lone cursor over the whole wave keeps its fraction of the length.
        FrameCase{4000, 1000, 1000, 0, 4000, 2000, 0, 2000, 500, 500},
        FrameCase{4000, 1000, 1000, 0, 4000, 8000, 0, 8000, 2000, 2000},
        FrameCase{7, 3, 3, 0, 7, 10, 0, 10, 4, 4}, FrameCase{3, 1, 1, 0, 3, 2, 0, 2, 0, 0},
        FrameCase{4000, 4000, 4000, 0, 4000, 2000, 0, 2000, 2000, 2000},
        // The remembered length 0 gives a cursor at 0.
        FrameCase{0, 0, 0, 0, 0, 4410, 0, 4410, 0, 0},
        // Not the whole wave: the new range is selected, the later position first.
        FrameCase{4000, 1000, 1000, 0, 3999, 2000, 0, 2000, 2000, 0},
        FrameCase{4000, 1000, 1000, 1000, 1000, 5000, 1000, 2000, 2000, 1000},
        FrameCase{4000, 100, 300, 100, 300, 4100, 100, 400, 100, 400},
        FrameCase{4000, 300, 100, 100, 300, 4100, 100, 400, 400, 100},
        // A part over the whole wave is not a cursor: selected as well.
        FrameCase{4000, 0, 4000, 0, 4000, 2000, 0, 2000, 0, 2000}));

TEST(UnitWaveChangeFrame, WithoutPaneGroupAssertsAndStillPlacesThePositions)
{
    ScriptedMessages messages;
    messages.Expect();
    messages.Expect();
    Doc doc(4000);
    doc.window.hasPaneGroup = false;
    doc.unit.SetCursor(1000);
    doc.unit.BeginWaveChange(0, 4000);
    doc.unit.ExchangeSound(RampMono(2000));
    doc.unit.EndWaveChange(0, 2000);
    ASSERT_EQ(messages.Shown().size(), 2u);
    EXPECT_THAT(messages.Shown()[0].text, HasSubstr("Condition \"viewWaveGroup\"failed!"));
    EXPECT_THAT(doc.window.calls, IsEmpty());
    EXPECT_EQ(doc.unit.GetPos1(), 500);
}

// ---- Change flags and save decisions -------------------------------------------------------

enum class Mark { None, Data, View };

struct FlagCase
{
    int32_t values;
    bool drawing;
    bool titled;
    Mark mark;
    bool canSave, needsWave, needsShadow, modified;
};

class ChangeFlags : public ::testing::TestWithParam<FlagCase>
{
};

TEST_P(ChangeFlags, SaveDecisions)
{
    const FlagCase& c = GetParam();
    TUnitWave unit("W", c.titled ? "/w/a.wav" : "", RampMono(c.values));
    if (c.drawing)
        unit.RestoreUserDrawing(TUnitWave::DrawLinear, 1.0);
    if (c.mark == Mark::Data)
        unit.SetModified();
    if (c.mark == Mark::View)
        unit.SetViewModified();
    EXPECT_EQ(unit.CanSaveFile(), c.canSave);
    EXPECT_EQ(unit.NeedsWaveSave(), c.needsWave);
    EXPECT_EQ(unit.NeedsShadowSave(), c.needsShadow);
    EXPECT_EQ(unit.IsModified(), c.modified);
    unit.ClearModified();
    EXPECT_FALSE(unit.IsDataModified());
    EXPECT_FALSE(unit.IsStateModified());
    EXPECT_EQ(unit.IsModified(), c.canSave && !c.titled);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChangeFlags,
    ::testing::Values(
        // An empty wave that is not drawn never counts as modified, even untitled.
        FlagCase{0, false, false, Mark::None, false, false, false, false},
        FlagCase{0, false, true, Mark::Data, false, false, false, false},
        FlagCase{0, true, false, Mark::None, true, true, true, true},
        FlagCase{0, true, true, Mark::View, true, false, true, true},
        FlagCase{10, false, false, Mark::None, true, true, true, true},
        FlagCase{10, false, true, Mark::None, true, false, false, false},
        FlagCase{10, false, true, Mark::Data, true, true, true, true},
        FlagCase{10, false, true, Mark::View, true, false, true, true}));

TEST(UnitWaveFlags, WithoutTrackingNothingIsMarkedOrCleared)
{
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

TEST(UnitWaveSave, AWaveWithoutValuesWritesNoWavAndSucceeds)
{
    TUnitWave unit("W", "", RampMono(0));
    std::string path = ::testing::TempDir() + "kv_doc_empty_never_written.wav";
    std::remove(path.c_str());
    EXPECT_TRUE(unit.SaveWaveFile(path));
    EXPECT_EQ(std::fopen(path.c_str(), "rb"), nullptr);
}

TEST(UnitWaveSave, SaveWaveFileWritesTheWholeWaveEvenAfterAnEarlierFailure)
{
    TUnitWave unit("W", "", RampMono(500));
    *unit.GetAbortFlag() = 1;
    std::string path = ::testing::TempDir() + "kv_doc_saved.wav";
    ASSERT_TRUE(unit.SaveWaveFile(path));
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::fseek(f, 0, SEEK_END);
    EXPECT_EQ(std::ftell(f), 44 + 500 * 2);
    std::fclose(f);
    std::remove(path.c_str());
}

// ---- The abort flag ------------------------------------------------------------------------

TEST(UnitWaveAbort, BeginOperationClearsTheFlag)
{
    TUnitWave unit("W", "", RampMono(10));
    EXPECT_FALSE(unit.IsAborted());
    *unit.GetAbortFlag() = 1;
    EXPECT_TRUE(unit.IsAborted());
    unit.BeginOperation();
    EXPECT_FALSE(unit.IsAborted());
}

// ---- Clipboard ---------------------------------------------------------------------------------

TEST(UnitWaveClipboard, CopyPartHandsACopyToTheMainWindow)
{
    RecordingMainForm main;
    TUnitWave unit("W", "", RampMono(100));
    ASSERT_TRUE(unit.CopyPart(10, 20));
    ASSERT_NE(main.clipboard, nullptr);
    EXPECT_NE(main.clipboard, unit.GetSound());
    ASSERT_EQ(main.clipboard->GetValues(), 10);
    EXPECT_EQ((*main.clipboard->GetLeftWave())[0], 10);
    EXPECT_EQ((*main.clipboard->GetLeftWave())[9], 19);
}

TEST(UnitWaveClipboard, FailedCopyKeepsTheClipboard)
{
    ScriptedMessages messages;
    for (int i = 0; i < 4; ++i)
        messages.Expect();
    RecordingMainForm main;
    SoundPtr before = RampMono(3);
    main.clipboard = before;
    TUnitWave unit("W", "", RampMono(100));
    FailAllocationsAfter(0);
    bool copied = unit.CopyPart(10, 20);
    ResetAllocationFailure();
    EXPECT_FALSE(copied);
    EXPECT_TRUE(unit.IsAborted());
    EXPECT_EQ(main.clipboard, before);
    EXPECT_THAT(messages.Unexpected(), IsEmpty());
}

// ---- Status panels -----------------------------------------------------------------------------

struct SizeCase
{
    int64_t bytes;
    const char* text;
};

class StatusSize : public ::testing::TestWithParam<SizeCase>
{
};

TEST_P(StatusSize, Text)
{
    EXPECT_EQ(SizeText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, StatusSize,
                         ::testing::Values(SizeCase{0, "0 b"}, SizeCase{1023, "1023 b"},
                                           SizeCase{1024, "1.00 kb"}, SizeCase{1536, "1.50 kb"},
                                           SizeCase{10240, "10.0 kb"}, SizeCase{102400, "100 kb"},
                                           SizeCase{1024 * 1024, "1.00 Mb"},
                                           SizeCase{1024 * 1024 * 50, "50.0 Mb"},
                                           SizeCase{1024 * 1024 * 500, "500 Mb"},
                                           SizeCase{int64_t{3} << 29, "1.50 Gb"},
                                           SizeCase{int64_t{10} << 30, "10.00 Gb"}));

TEST(UnitWaveStatus, PanelsOfAStereoWave)
{
    RecordingMainForm main;
    TUnitWave unit("W", "/w/a.wav", RampStereo(768, 44100, 1));
    unit.UpdateActions();
    EXPECT_EQ(main.panels.size(), 6u);
    EXPECT_EQ(main.panels[2], "0.01741 s");
    EXPECT_EQ(main.panels[3], "44100 hz");
    EXPECT_EQ(main.panels[4], "8");
    EXPECT_EQ(main.panels[5], "ST");
    EXPECT_EQ(main.panels[6], "1.50 kb");
    EXPECT_EQ(main.panels[7], "");
    unit.SetViewModified();
    EXPECT_EQ(unit.StatusText(7), "Changed");
}

TEST(UnitWaveStatus, PanelsOfAMonoWave)
{
    TUnitWave unit("W", "", RampMono(51200, 11025));
    EXPECT_EQ(unit.StatusText(4), "16");
    EXPECT_EQ(unit.StatusText(5), "MO");
    EXPECT_EQ(unit.StatusText(6), "100 kb");
    EXPECT_EQ(unit.StatusText(7), "New");
    EXPECT_EQ(unit.StatusText(3), "11025 hz");
}

TEST(UnitWaveStatus, LengthWhileDrawingIsTheDrawLength)
{
    TUnitWave unit("W", "/w/a.wav", RampMono(0));
    unit.RestoreUserDrawing(TUnitWave::DrawLinear, 61.5);
    EXPECT_EQ(unit.StatusText(2), "1:01.50000");
}

} // namespace
} // namespace kelvorn::test
