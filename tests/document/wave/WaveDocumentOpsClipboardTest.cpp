// The range edits and the sound clipboard on hand-computed values, the operations that have
// nothing to do, the refused parameters, the records the operations keep, and the drawing
// branches.

#include "document/wave/WaveDocumentOpsTestSupport.h"

#include "sound/SoundOps.h"
#include "document/wave/DrawNode.h"
#include "document/wave/UndoUnit.h"
#include "document/wave/UnitWaveRecords.h"

#include <functional>
#include <string>
#include <vector>

namespace kelvorn::test {
namespace {

using Values = std::vector<std::vector<int>>;

/// The known sound with [begin, end) replaced by the clipboard sound at OpsRate, as the
/// engine's resampling makes it.
std::vector<int> PastedInto(const SoundPtr& clip, size_t begin, size_t end)
{
    const std::vector<int> piece = ValuesOf(*clip->GetMonoWaveAt(nullptr, OpsRate));
    std::vector<int> out(KnownLeft().begin(), KnownLeft().begin() + begin);
    out.insert(out.end(), piece.begin(), piece.end());
    out.insert(out.end(), KnownLeft().begin() + end, KnownLeft().end());
    return out;
}

// ---- Clipboard and range edits on the known mono sound, hand-computed ------------------------

struct ClipRow
{
    const char* name;
    int32_t pos1, pos2;
    SoundPtr clipboard; // before
    std::function<WaveOpResult(TUnitWave&)> run;
    std::vector<int> sound;     // after
    std::vector<int> clipAfter; // after; empty: the clipboard object is unchanged
    int32_t expPos1, expPos2;
    int refreshes;
};

std::vector<ClipRow> ClipRows()
{
    const auto clip = [] { return MonoSoundOf({11, 22, 33}); };
    const SoundPtr half = MonoSoundOf({0, 100, 200}, OpsRate / 2);
    const SoundPtr twice = MonoSoundOf({10, 20, 30, 40, 50}, OpsRate * 2);
    return {
        {"Copy", 2, 6, clip(), waveops::Copy, KnownLeft(), {300, -400, 500, -600}, 2, 6, 0},
        {"CopyCursorTakesTheWholeWave", 4, 4, clip(), waveops::Copy, KnownLeft(), KnownLeft(), 4, 4,
         0},
        {"Cut",
         6,
         2,
         clip(),
         waveops::Cut,
         {100, -200, 700, -800, 900, -1000},
         {300, -400, 500, -600},
         2,
         2,
         1},
        {"DeleteWholeAtCursorLeavesCursorAtZero", 3, 3, clip(), waveops::Delete, {}, {}, 0, 0, 1},
        {"TrimPart", 2, 6, clip(), waveops::Trim, {300, -400, 500, -600}, {}, 0, 4, 1},
        {"PastePart",
         2,
         6,
         clip(),
         waveops::Paste,
         {100, -200, 11, 22, 33, 700, -800, 900, -1000},
         {},
         2,
         5,
         1},
        {"PasteAtCursorInserts",
         1,
         1,
         clip(),
         waveops::Paste,
         {100, 11, 22, 33, -200, 300, -400, 500, -600, 700, -800, 900, -1000},
         {},
         4,
         1,
         1},
        // Half the rate: resampled to (3 - 1) * 2 + 1 values, the selection 3 * 2 long.
        {"PasteAcrossRates", 2, 6, half, waveops::Paste, PastedInto(half, 2, 6), {}, 2, 8, 1},
        // The same at the end: the selection is kept within the wave.
        {"PasteAcrossRatesAtTheEnd",
         10,
         10,
         half,
         waveops::Paste,
         PastedInto(half, 10, 10),
         {},
         15,
         10,
         1},
        // Twice the rate: 5 values become (5 - 1) / 2 + 1, selected 5 / 2 long.
        {"PasteAcrossRatesDown", 0, 0, twice, waveops::Paste, PastedInto(twice, 0, 0), {}, 2, 0, 1},
        {"Swap",
         2,
         6,
         clip(),
         waveops::Swap,
         {100, -200, 11, 22, 33, 700, -800, 900, -1000},
         {300, -400, 500, -600},
         2,
         5,
         1},
        {"Extract",
         2,
         6,
         clip(),
         waveops::Extract,
         {100, -200, 0, 0, 0, 0, 700, -800, 900, -1000},
         {300, -400, 500, -600},
         2,
         6,
         1},
        {"MixAlignBegin",
         2,
         6,
         clip(),
         [](TUnitWave& u) { return waveops::Mix(u, TMixProps{}); },
         {100, -200, 311, -378, 533, -600, 700, -800, 900, -1000},
         {},
         2,
         6,
         1},
        {"MixAlignEnd",
         2,
         6,
         clip(),
         [](TUnitWave& u) {
             TMixProps p;
             p.placement = TMixProps::alignEnd;
             return waveops::Mix(u, p);
         },
         {100, -200, 300, -389, 522, -567, 700, -800, 900, -1000},
         {},
         2,
         6,
         1},
        // A lone cursor mixes in the whole clipboard sound.
        {"MixAlignBeginAtCursor",
         8,
         8,
         clip(),
         [](TUnitWave& u) { return waveops::Mix(u, TMixProps{}); },
         {100, -200, 300, -400, 500, -600, 700, -800, 911, -978, 33},
         {},
         8,
         8,
         1},
    };
}

class ClipboardTest : public DocOpsTest, public ::testing::WithParamInterface<ClipRow>
{
};

TEST_P(ClipboardTest, ChangesSoundPositionsAndClipboard)
{
    const ClipRow& row = GetParam();
    RecordedBoxes boxes;
    main.clipboard = row.clipboard;
    auto doc = MakeDoc(KnownSound(false), row.pos1, row.pos2);
    const SoundPtr before = doc->GetSound();

    const WaveOpResult result = row.run(*doc);
    ASSERT_EQ(result.outcome, WaveOpOutcome::Done) << result.message;
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(ValuesOf(*doc->GetSound()->GetLeftWave()), row.sound);
    ExpectFormat(*doc->GetSound(), 1, OpsRate, OpsBytes);
    EXPECT_EQ(doc->GetPos1(), row.expPos1);
    EXPECT_EQ(doc->GetPos2(), row.expPos2);
    EXPECT_EQ(window.refreshes, row.refreshes);
    EXPECT_EQ(ValuesOf(*before->GetLeftWave()), KnownLeft());
    if (row.clipAfter.empty()) {
        EXPECT_EQ(main.clipboard, row.clipboard);
    } else {
        ASSERT_NE(main.clipboard, nullptr);
        EXPECT_EQ(ValuesOf(*main.clipboard->GetLeftWave()), row.clipAfter);
        ExpectFormat(*main.clipboard, 1, OpsRate, OpsBytes);
    }
}

INSTANTIATE_TEST_SUITE_P(Edits, ClipboardTest, ::testing::ValuesIn(ClipRows()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocOpsTest, CopyLeavesTheDocumentItself)
{
    auto doc = MakeDoc(KnownSound(true), 2, 6);
    const SoundPtr before = doc->GetSound();
    ASSERT_TRUE(waveops::Copy(*doc).Succeeded());
    EXPECT_EQ(doc->GetSound(), before);
    EXPECT_TRUE(window.zoomSaved.empty());
    EXPECT_EQ(ChannelsOf(*main.clipboard), (Values{{300, -400, 500, -600}, {-70, 80, -90, 100}}));
}

TEST_F(DocOpsTest, SwapOnStereoTradesThePartWithTheClipboard)
{
    main.clipboard =
        std::make_shared<StereoSound>(MakeWave({1, 2}), MakeWave({-1, -2}), OpsRate, OpsBytes);
    auto doc = MakeDoc(KnownSound(true), 6, 2);
    ASSERT_TRUE(waveops::Swap(*doc).Succeeded());
    EXPECT_EQ(ChannelsOf(*doc->GetSound()), (Values{{100, -200, 1, 2, 700, -800, 900, -1000},
                                                    {-50, 60, -1, -2, -110, 120, -130, 140}}));
    EXPECT_EQ(ChannelsOf(*main.clipboard), (Values{{300, -400, 500, -600}, {-70, 80, -90, 100}}));
    EXPECT_EQ(doc->GetPos1(), 4);
    EXPECT_EQ(doc->GetPos2(), 2);
}

TEST_F(DocOpsTest, CutWhoseCopyFailedDeletesNothing)
{
    RecordedBoxes boxes;
    auto doc = MakeDoc(KnownSound(false), 2, 6);
    const SoundPtr before = doc->GetSound();
    const SoundPtr clipboard = main.clipboard;
    HookReset reset;
    FailAllocationsAfter(0);
    EXPECT_EQ(waveops::Cut(*doc).outcome, WaveOpOutcome::Stopped);
    EXPECT_EQ(doc->GetSound(), before);
    EXPECT_EQ(main.clipboard, clipboard);
    EXPECT_EQ(doc->GetPos1(), 2);
    EXPECT_EQ(doc->GetPos2(), 6);
}

TEST_F(DocOpsTest, UndoAfterAnOperationGetsTheSoundAndPositionsBackAndRedoes)
{
    auto doc = MakeDoc(KnownSound(true), 2, 6);
    const SoundPtr before = doc->GetSound();
    TUndoUnit undo(*doc);
    ASSERT_TRUE(waveops::Delete(*doc).Succeeded());
    const SoundPtr after = doc->GetSound();
    undo.Undo();
    EXPECT_EQ(doc->GetSound(), before);
    EXPECT_EQ(ChannelsOf(*before), (Values{KnownLeft(), KnownRight()}));
    EXPECT_EQ(doc->GetPos1(), 2);
    EXPECT_EQ(doc->GetPos2(), 6);
    undo.Undo();
    EXPECT_EQ(doc->GetSound(), after);
    EXPECT_EQ(doc->GetPos1(), 2);
    EXPECT_EQ(doc->GetPos2(), 2);
}

// ---- Nothing to do -------------------------------------------------------------------------

struct UnchangedRow
{
    const char* name;
    bool stereo;
    bool emptyWave;
    bool emptyClipboard;
    std::function<WaveOpResult(TUnitWave&)> run;
};

class UnchangedTest : public DocOpsTest, public ::testing::WithParamInterface<UnchangedRow>
{
};

TEST_P(UnchangedTest, LeavesDocumentAndWindowAlone)
{
    const UnchangedRow& row = GetParam();
    RecordedBoxes boxes;
    if (row.emptyClipboard)
        main.clipboard = nullptr;
    SoundPtr sound =
        row.emptyWave ? std::make_shared<MonoSound>(OpsRate, OpsBytes) : KnownSound(row.stereo);
    auto doc = MakeDoc(sound, 2, 6);
    const int32_t pos1 = doc->GetPos1(), pos2 = doc->GetPos2();
    EXPECT_EQ(row.run(*doc).outcome, WaveOpOutcome::Unchanged);
    EXPECT_EQ(doc->GetSound(), sound);
    EXPECT_EQ(doc->GetPos1(), pos1);
    EXPECT_EQ(doc->GetPos2(), pos2);
    EXPECT_EQ(window.refreshes, 0);
    EXPECT_TRUE(window.zoomSaved.empty());
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    NothingToDo, UnchangedTest,
    ::testing::Values(
        UnchangedRow{"BalanceOnStereo", true, false, false,
                     [](TUnitWave& u) { return waveops::Balance(u, TBalanceProps{}); }},
        UnchangedRow{"BalanceOnEmptyWave", false, true, false,
                     [](TUnitWave& u) { return waveops::Balance(u, TBalanceProps{}); }},
        UnchangedRow{"MixLeftRightOnMono", false, false, false,
                     [](TUnitWave& u) { return waveops::MixLeftRight(u, TLeftRightProps{}); }},
        UnchangedRow{"PasteWithEmptyClipboard", false, false, true, waveops::Paste},
        UnchangedRow{"SwapWithEmptyClipboard", false, false, true, waveops::Swap},
        UnchangedRow{"MixWithEmptyClipboard", false, false, true,
                     [](TUnitWave& u) { return waveops::Mix(u, TMixProps{}); }},
        UnchangedRow{"NormalizeEmptyWave", false, true, false, waveops::NormalizeVertically},
        UnchangedRow{"RollOutEmptyWave", false, true, false,
                     [](TUnitWave& u) { return waveops::RollOut(u, TRollOutProps{}); }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Refused parameters ------------------------------------------------------------------------

struct RefusedRow
{
    const char* name;
    std::function<WaveOpResult(TUnitWave&, const unitUnitWave&)> run;
    const char* message;
};

class RefusedTest : public DocOpsTest, public ::testing::WithParamInterface<RefusedRow>
{
};

TEST_P(RefusedTest, AnEmptyEnvelopeIsRefusedWithTheEnginesText)
{
    const RefusedRow& row = GetParam();
    RecordedBoxes boxes;
    TUnitWave empty("Empty", "", std::make_shared<MonoSound>(OpsRate, OpsBytes));
    unitUnitWave ref;
    ref.Set("Empty", &empty);
    auto doc = MakeDoc(KnownSound(false), 2, 6);
    const SoundPtr before = doc->GetSound();
    const WaveOpResult result = row.run(*doc, ref);
    EXPECT_EQ(result.outcome, WaveOpOutcome::Refused);
    EXPECT_EQ(result.message, row.message);
    EXPECT_EQ(doc->GetSound(), before);
    EXPECT_EQ(doc->GetPos1(), 2);
    EXPECT_EQ(doc->GetPos2(), 6);
    EXPECT_FALSE(doc->IsAborted());
    EXPECT_TRUE(boxes.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(EmptyEnvelopes, RefusedTest,
                         ::testing::Values(RefusedRow{"Volume",
                                                      [](TUnitWave& u, const unitUnitWave& r) {
                                                          TVolumeProps p;
                                                          p.kind = TVolumeProps::kindEnvelope;
                                                          p.envelope = r;
                                                          return waveops::Volume(u, p);
                                                      },
                                                      "The volume envelope is empty."},
                                           RefusedRow{"FilterBlock",
                                                      [](TUnitWave& u, const unitUnitWave& r) {
                                                          TBlockFilterProps p;
                                                          p.envelopeFlag = 1;
                                                          p.envelope = r;
                                                          return waveops::FilterBlock(u, p);
                                                      },
                                                      "The width envelope is empty."},
                                           RefusedRow{"TempoPitchSpeed",
                                                      [](TUnitWave& u, const unitUnitWave& r) {
                                                          TTempoPitchProps p;
                                                          p.speedEnvelopeFlag = 1;
                                                          p.speedEnvelope = r;
                                                          return waveops::TempoPitch(u, p);
                                                      },
                                                      "The speed envelope is empty."},
                                           RefusedRow{"MakeMFreqForm",
                                                      [](TUnitWave& u, const unitUnitWave& r) {
                                                          TMFreqProps p;
                                                          p.use = TMFreqProps::useWaveForm;
                                                          p.waveForm = r;
                                                          return waveops::MakeMFreq(u, p);
                                                      },
                                                      "The form is empty."},
                                           RefusedRow{"RndEchoVolume",
                                                      [](TUnitWave& u, const unitUnitWave& r) {
                                                          TRandomEchoProps p;
                                                          p.volume.kind = 2;
                                                          p.volume.envelope = r;
                                                          return waveops::RndEcho(u, p);
                                                      },
                                                      "The volume envelope is empty."},
                                           RefusedRow{"ReferenceWithoutDocument",
                                                      [](TUnitWave& u, const unitUnitWave&) {
                                                          TDistortProps p;
                                                          p.envelope = unitUnitWave("Gone");
                                                          return waveops::Distort(u, p);
                                                      },
                                                      "Cannot find window \"Gone\"."}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The records become the document's own --------------------------------------------------

TEST_F(DocOpsTest, EachOperationKeepsItsRecord)
{
    auto doc = MakeDoc(KnownSound(false), 2, 6);
    TRotateProps rotate;
    rotate.factor.SetValue(0.5);
    THighLowProps high;
    high.count.SetValue(3);
    THighLowProps low;
    low.count.SetValue(4);
    TBlockTriangleProps triangle;
    triangle.height1.value = 77;
    TRandomEchoProps echo;
    echo.count.SetValue(1);
    echo.randomSeed.SetValue(5);
    waveops::Rotate(*doc, rotate);
    waveops::FilterHigh(*doc, high);
    waveops::FilterLow(*doc, low);
    waveops::MakeTriangle(*doc, triangle);
    waveops::RndEcho(*doc, echo);
    EXPECT_EQ(doc->Records().rotateProps, rotate);
    EXPECT_EQ(doc->Records().highProps, high);
    EXPECT_EQ(doc->Records().lowProps, low);
    EXPECT_EQ(doc->Records().triangleProps, triangle);
    EXPECT_EQ(doc->Records().blockProps, TBlockTriangleProps{});
    EXPECT_EQ(doc->Records().randomEchoProps, echo);
}

// ---- The drawing branches ----------------------------------------------------------------------

class DrawingTest : public DocOpsTest
{
protected:
    void SetUp() override
    {
        DocOpsTest::SetUp();
        doc = MakeDoc(std::make_shared<MonoSound>(OpsRate, 2), 0, 0);
        doc->StartUserDrawing(TUnitWave::DrawLinear);
        doc->InsertDrawNode(std::make_unique<TDrawNode>(16384, 0.25));
        doc->InsertDrawNode(std::make_unique<TDrawNode>(-8192, 0.75));
        window.refreshes = 0;
    }

    std::vector<int> NodeValues() const
    {
        std::vector<int> out;
        for (const TDrawNode* n = doc->GetDrawNodes(); n; n = n->GetNext())
            out.push_back(n->GetValue());
        return out;
    }

    std::unique_ptr<TUnitWave> doc;
};

TEST_F(DrawingTest, VolumeScalesTheNodesAndRendersAgain)
{
    const SoundPtr before = doc->GetSound();
    TVolumeProps p;
    p.factor.SetValue(0.5);
    p.kind = TVolumeProps::kindEnvelope; // not read while drawing
    ASSERT_TRUE(waveops::Volume(*doc, p).Succeeded());
    EXPECT_EQ(NodeValues(), (std::vector<int>{0, 8192, -4096, 0}));
    EXPECT_NE(doc->GetSound(), before);
    ASSERT_EQ(doc->GetValues(), OpsRate + 1);
    // Value i is read at i / 1025 of the drawing: 256 falls just before the node at 0.25.
    EXPECT_EQ((*doc->GetSound()->GetLeftWave())[OpsRate / 4], 8184);
    EXPECT_EQ(window.refreshes, 1);
}

TEST_F(DrawingTest, MaxVolumeThenMoveVWrapsLikeASample)
{
    ASSERT_TRUE(waveops::MaxVolume(*doc).Succeeded());
    // 16384 is the peak: factor 32767 / 16384; -8192 becomes -16383.5, truncated.
    EXPECT_EQ(NodeValues(), (std::vector<int>{0, 32767, -16383, 0}));
    TUpProps up;
    up.add.value = 100;
    ASSERT_TRUE(waveops::MoveV(*doc, up).Succeeded());
    EXPECT_EQ(NodeValues(), (std::vector<int>{100, 32867 - 65536, -16283, 100}));
    EXPECT_EQ(window.refreshes, 2);
}

TEST_F(DrawingTest, NormalizeTakesAwayTheMeanOfTheCurve)
{
    // Trapezoids: 0.25 * 8192 + 0.5 * 4096 + 0.25 * -4096 = 3072.
    ASSERT_TRUE(waveops::NormalizeVertically(*doc).Succeeded());
    EXPECT_EQ(NodeValues(), (std::vector<int>{-3072, 13312, -11264, -3072}));
}

TEST_F(DrawingTest, LengthScalesTheDrawingWithoutRepaint)
{
    TLengthProps p;
    p.lengthFactor.SetValue(0.5);
    ASSERT_TRUE(waveops::Length(*doc, p).Succeeded());
    EXPECT_DOUBLE_EQ(doc->GetDrawLength(), 0.5);
    EXPECT_EQ(doc->GetValues(), OpsRate / 2 + 1);
    EXPECT_EQ(window.refreshes, 0);
}

TEST_F(DrawingTest, AFailedRenderingGivesTheNodesBack)
{
    RecordedBoxes boxes;
    const SoundPtr before = doc->GetSound();
    TVolumeProps p;
    p.factor.SetValue(0.5);
    FailAllocationsAfter(0);
    EXPECT_EQ(waveops::Volume(*doc, p).outcome, WaveOpOutcome::Stopped);
    TLengthProps l;
    EXPECT_EQ(waveops::Length(*doc, l).outcome, WaveOpOutcome::Stopped);
    ResetAllocationFailure();
    EXPECT_EQ(NodeValues(), (std::vector<int>{0, 16384, -8192, 0}));
    EXPECT_DOUBLE_EQ(doc->GetDrawLength(), 1.0);
    EXPECT_EQ(doc->GetSound(), before);
}

} // namespace
} // namespace kelvorn::test
