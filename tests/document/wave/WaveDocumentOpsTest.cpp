// The wave operations on a document: the range each hands its engine (the change frame the
// window sees), where the positions go, that a stop or a failed allocation leaves the document
// as it was, the range edits and the clipboard on hand-computed values, the operations with
// nothing to do, the refused parameters, the records kept, the drawing branches and the echo.
// What each engine computes is the sound layer's to test.

#include "support/Documents.h"

#include "document/wave/DrawNode.h"
#include "document/wave/UndoUnit.h"
#include "document/wave/UnitWaveRecords.h"
#include "document/wave/WaveDocumentOps.h"
#include "general/Memory.h"
#include "platform/test/RecordingMessages.h"
#include "sound/SineTable.h"
#include "sound/SoundOps.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kelvorn::test {
namespace {

using Values = std::vector<std::vector<int>>;

// A binary fraction of a second per value, so that times like 3 * V hold exact value counts;
// one byte per sample, so that a result falling back to a default format is seen.
constexpr int32_t OpsRate = 1024;
constexpr int16_t OpsBytes = 1;
constexpr double V = 1.0 / OpsRate; // one value in seconds

const std::vector<int> knownLeft{100, -200, 300, -400, 500, -600, 700, -800, 900, -1000};
const std::vector<int> knownRight{-50, 60, -70, 80, -90, 100, -110, 120, -130, 140};

SoundPtr KnownSound(bool stereo)
{
    if (stereo)
        return std::make_shared<StereoSound>(WaveOf(knownLeft), WaveOf(knownRight), OpsRate,
                                             OpsBytes);
    return MonoSoundOf(knownLeft, OpsRate, OpsBytes);
}

SoundPtr Clip(const std::vector<int>& values, int32_t rate = OpsRate)
{
    return MonoSoundOf(values, rate, OpsBytes);
}

const std::vector<int>& KnownLeft()
{
    return knownLeft;
}

std::vector<int> ValuesOf(const SoundPtr& sound)
{
    return test::ValuesOf(*sound->GetLeftWave());
}

/// A document with its window under a recording main window; the envelope document is "Env".
class DocOpsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AbortFlag flag = 0;
        ASSERT_TRUE(CreateSinus(&flag));
        env = std::make_unique<TUnitWave>("Env", "", Clip({-20000, -10000, 0, 5000, 12000}));
        main.clipboard = Clip({11, 22, 33});
    }
    void TearDown() override
    {
        ResetAllocationFailure();
        ResetAbortHook();
        FreeSinus();
    }

    std::unique_ptr<TUnitWave> MakeDoc(SoundPtr sound, int32_t pos1, int32_t pos2)
    {
        auto doc = std::make_unique<TUnitWave>("Doc", "", std::move(sound));
        doc->SetChildWave(&window);
        doc->SetPos1(pos1);
        doc->SetPos2(pos2);
        return doc;
    }
    unitUnitWave EnvRef() const
    {
        unitUnitWave ref;
        ref.Set("Env", env.get());
        return ref;
    }

    RecordingMainForm main;
    RecordingWaveWindow window;
    std::unique_ptr<TUnitWave> env;
};

// ---- Every operation: its frame, its positions, and a stop or failure changing nothing --------

using Run = std::function<WaveOpResult(TUnitWave&, const unitUnitWave& env)>;
constexpr int32_t FromFrame = -1; // the range the window was told to restore, ordered as SetPart

struct OpRow
{
    const char* name;
    bool stereo;
    int32_t pos1, pos2;
    Run run;
    std::string frame;        // "SaveZoom b e" for a framed change, "" for none
    int32_t expPos1, expPos2; // after
    int resultChannels = 0;   // 0: as before
};

template <class P> P With(std::function<void(P&)> set)
{
    P p;
    set(p);
    return p;
}

std::vector<OpRow> OpRows()
{
    using U = TUnitWave;
    using E = const unitUnitWave;
    return {
        {"MakeLinePart", false, 2, 6,
         [](U& u, E&) {
             return waveops::MakeLine(u,
                                      With<TLineProps>([](auto& p) { p.length.SetValue(3 * V); }));
         },
         "SaveZoom 2 6", 2, 6},
        {"MakeLineExponentialAtCursor", false, 3, 3,
         [](U& u, E&) {
             return waveops::MakeLine(u, With<TLineProps>([](auto& p) {
                                          p.kind = TLineProps::kindExponential;
                                          p.beginValue.value = 1000;
                                          p.endValue.value = 4000;
                                          p.length.SetValue(3 * V);
                                      }));
         },
         "SaveZoom 3 3", 7, 3},
        {"MakeSilenceReversedPart", true, 6, 2,
         [](U& u, E&) {
             return waveops::MakeSilence(
                 u, With<TSilenceProps>([](auto& p) { p.length.SetValue(V); }));
         },
         "SaveZoom 2 6", 4, 2},
        {"MakeNoiseAtCursor", false, 0, 0,
         [](U& u, E&) {
             return waveops::MakeNoise(
                 u, With<TNoiseProps>([](auto& p) { p.length.SetValue(5 * V); }));
         },
         "SaveZoom 0 0", 5, 0},
        {"MakeBlock", false, 2, 6,
         [](U& u, E&) {
             return waveops::MakeBlock(u, With<TBlockTriangleProps>([](auto& p) {
                                           p.period.SetValue(4 * V);
                                           p.newLength.SetValue(8 * V);
                                       }));
         },
         "SaveZoom 2 6", 2, 10},
        {"MakeTriangleByCount", true, 2, 6,
         [](U& u, E&) {
             return waveops::MakeTriangle(u, With<TBlockTriangleProps>([](auto& p) {
                                              p.BloTriHorKind = bloTriTime;
                                              p.time1.SetValue(1 * V);
                                              p.time2.SetValue(3 * V);
                                              p.lengthKind = TBlockTriangleProps::lengthCount;
                                              p.count.SetValue(2.0);
                                          }));
         },
         "SaveZoom 2 6", 2, 10},
        {"MakeSinusCountAtTheEnd", false, 10, 10,
         [](U& u, E&) {
             return waveops::MakeSinus(u, With<TSinusProps>([](auto& p) {
                                           p.lengthKind = TSinusProps::lengthCount;
                                           p.period.SetValue(4 * V);
                                           p.count.SetValue(3.0);
                                       }));
         },
         "SaveZoom 10 10", 22, 10},
        {"MakeMFreqWaveForm", false, 2, 6,
         [](U& u, E& env) {
             return waveops::MakeMFreq(u, With<TMFreqProps>([&](auto& p) {
                                           p.length.SetValue(8 * V);
                                           p.use = TMFreqProps::useWaveForm;
                                           p.waveForm = env;
                                       }));
         },
         "SaveZoom 2 6", 2, 10},
        {"VolumeAtCursor", false, 3, 3, [](U& u, E&) { return waveops::Volume(u, {}); }, "", 3, 3},
        {"VolumeEnvelope", true, 6, 2,
         [](U& u, E& env) {
             return waveops::Volume(u, With<TVolumeProps>([&](auto& p) {
                                        p.kind = TVolumeProps::kindEnvelope;
                                        p.envelope = env;
                                    }));
         },
         "", 6, 2},
        {"MaxVolume", false, 2, 6, [](U& u, E&) { return waveops::MaxVolume(u); }, "", 2, 6},
        {"MoveV", true, 2, 6, [](U& u, E&) { return waveops::MoveV(u, {}); }, "", 2, 6},
        {"Normalize", false, 5, 5, [](U& u, E&) { return waveops::NormalizeVertically(u); }, "", 5,
         5},
        {"Rotate", false, 2, 6, [](U& u, E&) { return waveops::Rotate(u, {}); }, "", 2, 6},
        {"Block", true, 2, 6, [](U& u, E&) { return waveops::Block(u, {}); }, "", 2, 6},
        {"Distort", false, 2, 6,
         [](U& u, E& env) {
             return waveops::Distort(u, With<TDistortProps>([&](auto& p) { p.envelope = env; }));
         },
         "", 2, 6},
        {"Reverse", true, 3, 3, [](U& u, E&) { return waveops::Reverse(u); }, "", 3, 3},
        {"BalanceMakesStereo", false, 2, 6,
         [](U& u, E&) {
             return waveops::Balance(
                 u, With<TBalanceProps>([](auto& p) { p.direction.SetValue(0.5); }));
         },
         "", 2, 6, 2},
        {"MixLeftRight", true, 2, 6,
         [](U& u, E&) {
             return waveops::MixLeftRight(u,
                                          With<TLeftRightProps>([](auto& p) { p.SetExample(1); }));
         },
         "", 2, 6},
        {"FilterHigh", false, 2, 6, [](U& u, E&) { return waveops::FilterHigh(u, {}); }, "", 2, 6},
        {"FilterLowMaximized", true, 0, 10,
         [](U& u, E&) {
             return waveops::FilterLow(u, With<THighLowProps>([](auto& p) {
                                           p.count.SetValue(2);
                                           p.maximizeVolume = 1;
                                       }));
         },
         "", 0, 10},
        {"FilterResEnvelope", false, 2, 6,
         [](U& u, E& env) {
             return waveops::FilterRes(u, With<TResNotchProps>([&](auto& p) {
                                           p.frequencyKind = filterEnvelope;
                                           p.frequencyEnvelope = env;
                                       }));
         },
         "", 2, 6},
        {"FilterNotch", true, 2, 6, [](U& u, E&) { return waveops::FilterNotch(u, {}); }, "", 2, 6},
        {"MixStretched", false, 2, 6,
         [](U& u, E&) {
             return waveops::Mix(
                 u, With<TMixProps>([](auto& p) { p.placement = TMixProps::stretch; }));
         },
         "", 2, 6},
        {"RollIn", false, 2, 6,
         [](U& u, E&) {
             return waveops::RollIn(u,
                                    With<TRollInProps>([](auto& p) { p.length.SetValue(3 * V); }));
         },
         "SaveZoom 2 6", FromFrame, FromFrame},
        {"RollOutReversedPart", true, 6, 2,
         [](U& u, E&) {
             return waveops::RollOut(
                 u, With<TRollOutProps>([](auto& p) { p.lengthFactor.SetValue(1.5); }));
         },
         "SaveZoom 2 6", FromFrame, FromFrame},
        // A lone cursor over the whole wave keeps its fraction of the new length.
        {"LengthAtCursor", false, 5, 5,
         [](U& u, E&) {
             return waveops::Length(u, With<TLengthProps>([](auto& p) {
                                        p.lengthKind = lengthKindNew;
                                        p.newLength.SetValue(20 * V);
                                    }));
         },
         "SaveZoom 0 10", 9, 9},
        {"TempoPitch", false, 2, 6,
         [](U& u, E&) {
             return waveops::TempoPitch(u, With<TTempoPitchProps>([](auto& p) {
                                            p.speedFactor.SetValue(2.0);
                                            p.blockSize.SetValue(2 * V);
                                        }));
         },
         "SaveZoom 2 6", FromFrame, FromFrame},
        {"MoveHStereoEnvelope", true, 2, 6,
         [](U& u, E& env) {
             return waveops::MoveH(u, With<TShiftProps>([&](auto& p) {
                                       p.left.SetValue(2 * V);
                                       p.envelopeFlag = 1;
                                       p.envelope = env;
                                   }));
         },
         "SaveZoom 2 6", FromFrame, FromFrame},
        {"MoveHMono", false, 2, 6,
         [](U& u, E&) {
             return waveops::MoveH(u,
                                   With<TShiftProps>([](auto& p) { p.middle.SetValue(-3 * V); }));
         },
         "SaveZoom 2 6", FromFrame, FromFrame},
        {"PerEcho", true, 2, 6,
         [](U& u, E&) {
             return waveops::PerEcho(u,
                                     With<TPerEchoProps>([](auto& p) { p.time.SetValue(2 * V); }));
         },
         "SaveZoom 2 6", FromFrame, FromFrame},
        {"FilterBlockEnvelope", false, 2, 6,
         [](U& u, E& env) {
             return waveops::FilterBlock(u, With<TBlockFilterProps>([&](auto& p) {
                                             p.blockTime.SetValue(2 * V);
                                             p.envelopeFlag = 1;
                                             p.envelope = env;
                                         }));
         },
         "SaveZoom 2 6", FromFrame, FromFrame},
        {"Delete", true, 2, 6, [](U& u, E&) { return waveops::Delete(u); }, "SaveZoom 2 6", 2, 2},
        {"Trim", false, 6, 2, [](U& u, E&) { return waveops::Trim(u); }, "SaveZoom 2 6", 4, 0},
        {"Paste", true, 2, 6, [](U& u, E&) { return waveops::Paste(u); }, "SaveZoom 2 6", 2, 5},
        {"Extract", false, 2, 6, [](U& u, E&) { return waveops::Extract(u); }, "", 2, 6},
    };
}

class OpTableTest : public DocOpsTest, public ::testing::WithParamInterface<OpRow>
{
};

TEST_P(OpTableTest, FramesItsRangeAndPlacesThePositions)
{
    const OpRow& row = GetParam();
    RecordingMessages boxes;
    auto doc = MakeDoc(KnownSound(row.stereo), row.pos1, row.pos2);
    const SoundPtr before = doc->GetSound();

    const WaveOpResult result = row.run(*doc, EnvRef());
    ASSERT_EQ(result.outcome, WaveOpOutcome::Done) << result.message;
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_NE(doc->GetSound(), before);
    EXPECT_EQ(ChannelsOf(*before), ChannelsOf(*KnownSound(row.stereo)))
        << "the previous sound is never changed";
    const Sound& after = *doc->GetSound();
    EXPECT_EQ(after.GetMonoStereo(), row.resultChannels ? row.resultChannels : row.stereo + 1);
    EXPECT_EQ(after.GetSampleFreq(), OpsRate);
    EXPECT_EQ(after.GetBytesPSample(), OpsBytes);
    EXPECT_EQ(window.refreshes, 1);

    const std::vector<std::string> saved = window.Calls("SaveZoom");
    const std::vector<std::string> restored = window.Calls("RestoreZoom");
    if (row.frame.empty()) {
        EXPECT_TRUE(saved.empty());
        EXPECT_TRUE(restored.empty());
    } else {
        EXPECT_EQ(saved, std::vector<std::string>{row.frame});
        ASSERT_EQ(restored.size(), 1u);
    }
    if (row.expPos1 == FromFrame) {
        // The result's range is selected; SetPart keeps which position was the later one.
        int32_t b = 0, e = 0;
        ASSERT_EQ(std::sscanf(restored[0].c_str(), "RestoreZoom %d %d", &b, &e), 2);
        EXPECT_LE(b, e);
        EXPECT_LE(e, doc->GetValues());
        const bool firstLater = !(row.pos1 < row.pos2);
        EXPECT_EQ(doc->GetPos1(), firstLater ? e : b);
        EXPECT_EQ(doc->GetPos2(), firstLater ? b : e);
    } else {
        EXPECT_EQ(doc->GetPos1(), row.expPos1);
        EXPECT_EQ(doc->GetPos2(), row.expPos2);
    }
}

TEST_P(OpTableTest, AStopOrAFailedAllocationLeavesTheDocumentAsItWas)
{
    const OpRow& row = GetParam();
    for (const bool memory : {false, true}) {
        SCOPED_TRACE(memory ? "allocation" : "stop");
        RecordingMessages boxes;
        auto doc = MakeDoc(KnownSound(row.stereo), row.pos1, row.pos2);
        const SoundPtr before = doc->GetSound();
        const SoundPtr clipboard = main.clipboard;
        const int sets = main.clipboardSets;
        if (memory)
            FailAllocationsAfter(0);
        else
            AbortAfterPolls(0);
        const WaveOpResult result = row.run(*doc, EnvRef());
        ResetAllocationFailure();
        ResetAbortHook();

        EXPECT_EQ(result.outcome, WaveOpOutcome::Stopped);
        EXPECT_EQ(doc->GetSound(), before);
        EXPECT_EQ(doc->GetPos1(), row.pos1);
        EXPECT_EQ(doc->GetPos2(), row.pos2);
        EXPECT_EQ(main.clipboard, clipboard);
        EXPECT_EQ(main.clipboardSets, sets);
        EXPECT_EQ(boxes.boxes.empty(), !memory);
        for (const ShownMessage& box : boxes.boxes) {
            EXPECT_EQ(box.text, "There is not enough memmory for this operation.");
            EXPECT_EQ(box.caption, "System Error");
        }
        // The next command starts with a clear flag.
        EXPECT_EQ(row.run(*doc, EnvRef()).outcome, WaveOpOutcome::Done);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, OpTableTest, ::testing::ValuesIn(OpRows()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Clipboard and range edits on the known mono sound, hand-computed ------------------------

/// The known sound with [begin, end) replaced by the clipboard sound at OpsRate, as the
/// engine's resampling makes it.
std::vector<int> PastedInto(const SoundPtr& clip, size_t begin, size_t end)
{
    const std::vector<int> piece = test::ValuesOf(*clip->GetMonoWaveAt(nullptr, OpsRate));
    std::vector<int> out(knownLeft.begin(), knownLeft.begin() + begin);
    out.insert(out.end(), piece.begin(), piece.end());
    out.insert(out.end(), knownLeft.begin() + end, knownLeft.end());
    return out;
}

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

WaveOpResult MixAt(TUnitWave& u, uint8_t placement)
{
    TMixProps p;
    p.placement = placement;
    return waveops::Mix(u, p);
}

std::vector<ClipRow> ClipRows()
{
    const SoundPtr clip = Clip({11, 22, 33});
    const SoundPtr half = Clip({0, 100, 200}, OpsRate / 2);
    const SoundPtr twice = Clip({10, 20, 30, 40, 50}, OpsRate * 2);
    const std::vector<int> part{300, -400, 500, -600};
    const std::vector<int> pasted{100, -200, 11, 22, 33, 700, -800, 900, -1000};
    // clang-format off
    return {
        {"Copy", 2, 6, clip, waveops::Copy, knownLeft, part, 2, 6, 0},
        {"CopyCursorTakesTheWholeWave", 4, 4, clip, waveops::Copy, knownLeft, knownLeft, 4, 4, 0},
        {"Cut", 6, 2, clip, waveops::Cut, {100, -200, 700, -800, 900, -1000}, part, 2, 2, 1},
        {"DeleteWholeAtCursorLeavesCursorAtZero", 3, 3, clip, waveops::Delete, {}, {}, 0, 0, 1},
        {"TrimPart", 2, 6, clip, waveops::Trim, part, {}, 0, 4, 1},
        {"PastePart", 2, 6, clip, waveops::Paste, pasted, {}, 2, 5, 1},
        {"PasteAtCursorInserts", 1, 1, clip, waveops::Paste,
         {100, 11, 22, 33, -200, 300, -400, 500, -600, 700, -800, 900, -1000}, {}, 4, 1, 1},
        // Half the rate: resampled to (3 - 1) * 2 + 1 values, the selection 3 * 2 long.
        {"PasteAcrossRates", 2, 6, half, waveops::Paste, PastedInto(half, 2, 6), {}, 2, 8, 1},
        // The same at the end: the selection is kept within the wave.
        {"PasteAcrossRatesAtTheEnd", 10, 10, half, waveops::Paste, PastedInto(half, 10, 10), {},
         15, 10, 1},
        // Twice the rate: 5 values become (5 - 1) / 2 + 1, selected 5 / 2 long.
        {"PasteAcrossRatesDown", 0, 0, twice, waveops::Paste, PastedInto(twice, 0, 0), {}, 2, 0, 1},
        {"Swap", 2, 6, clip, waveops::Swap, pasted, part, 2, 5, 1},
        {"Extract", 2, 6, clip, waveops::Extract, {100, -200, 0, 0, 0, 0, 700, -800, 900, -1000},
         part, 2, 6, 1},
        {"MixAlignBegin", 2, 6, clip, [](TUnitWave& u) { return MixAt(u, TMixProps::alignBegin); },
         {100, -200, 311, -378, 533, -600, 700, -800, 900, -1000}, {}, 2, 6, 1},
        {"MixAlignEnd", 2, 6, clip, [](TUnitWave& u) { return MixAt(u, TMixProps::alignEnd); },
         {100, -200, 300, -389, 522, -567, 700, -800, 900, -1000}, {}, 2, 6, 1},
        // A lone cursor mixes in the whole clipboard sound.
        {"MixAlignBeginAtCursor", 8, 8, clip,
         [](TUnitWave& u) { return MixAt(u, TMixProps::alignBegin); },
         {100, -200, 300, -400, 500, -600, 700, -800, 911, -978, 33}, {}, 8, 8, 1},
    };
    // clang-format on
}

class ClipboardTest : public DocOpsTest, public ::testing::WithParamInterface<ClipRow>
{
};

TEST_P(ClipboardTest, ChangesSoundPositionsAndClipboard)
{
    const ClipRow& row = GetParam();
    RecordingMessages boxes;
    main.clipboard = row.clipboard;
    auto doc = MakeDoc(KnownSound(false), row.pos1, row.pos2);
    const SoundPtr before = doc->GetSound();

    const WaveOpResult result = row.run(*doc);
    ASSERT_EQ(result.outcome, WaveOpOutcome::Done) << result.message;
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(ValuesOf(doc->GetSound()), row.sound);
    EXPECT_EQ(doc->GetSound()->GetBytesPSample(), OpsBytes);
    EXPECT_EQ(doc->GetPos1(), row.expPos1);
    EXPECT_EQ(doc->GetPos2(), row.expPos2);
    EXPECT_EQ(window.refreshes, row.refreshes);
    EXPECT_EQ(ValuesOf(before), KnownLeft());
    if (row.clipAfter.empty()) {
        EXPECT_EQ(main.clipboard, row.clipboard);
    } else {
        ASSERT_NE(main.clipboard, nullptr);
        EXPECT_EQ(ValuesOf(main.clipboard), row.clipAfter);
        EXPECT_EQ(main.clipboard->GetSampleFreq(), OpsRate);
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
    EXPECT_TRUE(window.Calls("SaveZoom").empty());
    EXPECT_EQ(ChannelsOf(*main.clipboard), (Values{{300, -400, 500, -600}, {-70, 80, -90, 100}}));
}

TEST_F(DocOpsTest, SwapOnStereoTradesThePartWithTheClipboard)
{
    main.clipboard =
        std::make_shared<StereoSound>(WaveOf({1, 2}), WaveOf({-1, -2}), OpsRate, OpsBytes);
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
    RecordingMessages boxes;
    auto doc = MakeDoc(KnownSound(false), 2, 6);
    const SoundPtr before = doc->GetSound();
    const SoundPtr clipboard = main.clipboard;
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
    EXPECT_EQ(ChannelsOf(*before), (Values{KnownLeft(), knownRight}));
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
    RecordingMessages boxes;
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
    EXPECT_TRUE(window.Calls("SaveZoom").empty());
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
    RecordingMessages boxes;
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
    RecordingMessages boxes;
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

// ---- The random echo ------------------------------------------------------------------------

TRandomEchoProps EchoProps(int count, int32_t seed, double timeDifference)
{
    TRandomEchoProps p;
    p.count.SetValue(count);
    p.randomSeed.SetValue(seed);
    p.timeDifference.SetValue(timeDifference);
    return p;
}

TEST_F(DocOpsTest, TheSameSeedGivesTheSameEchoWhereverTheSelection)
{
    for (const bool stereo : {false, true}) {
        TRandomEchoProps p = EchoProps(6, 1234, 20 * V);
        p.volume.kind = 1;
        p.volume.source = 1;
        p.length.kind = 1;
        p.length.envelope = EnvRef();
        p.balance.kind = 2;
        p.balance.envelope = EnvRef();
        p.balanceVolumeDifference = volumeDifferenceFilter;
        RecordingMessages boxes;
        auto first = MakeDoc(KnownSound(stereo), 2, 6);
        auto second = MakeDoc(KnownSound(stereo), 5, 5);
        ASSERT_TRUE(waveops::RndEcho(*first, p).Succeeded());
        ASSERT_TRUE(waveops::RndEcho(*second, p).Succeeded());
        EXPECT_TRUE(boxes.boxes.empty());
        EXPECT_EQ(ChannelsOf(*first->GetSound()), ChannelsOf(*second->GetSound()));
        EXPECT_EQ(first->GetMonoStereo(), 2);
        // 10 values + 20 of time difference + 1 + OpsRate / 3400, then one more as silence of
        // (n + 1) / rate seconds makes.
        EXPECT_GE(first->GetValues(), 32);
        EXPECT_LE(first->GetValues(), 33);
        EXPECT_EQ(first->GetPos1(), 0);
        EXPECT_EQ(first->GetPos2(), 0);

        auto other = MakeDoc(KnownSound(stereo), 0, 0);
        p.randomSeed.SetValue(1235);
        ASSERT_TRUE(waveops::RndEcho(*other, p).Succeeded());
        EXPECT_NE(ChannelsOf(*first->GetSound()), ChannelsOf(*other->GetSound()));

        // Without balance the channel count stays, and the whole sound fits after the latest
        // start.
        auto plain = MakeDoc(KnownSound(stereo), 0, 0);
        ASSERT_TRUE(waveops::RndEcho(*plain, EchoProps(3, 9, 4 * V)).Succeeded());
        EXPECT_EQ(plain->GetMonoStereo(), stereo ? 2 : 1);
        EXPECT_GE(plain->GetValues(), 10 + 4 + 1);
    }
}

TEST_F(DocOpsTest, AStoppedEchoKeepsTheSoundAndPutsTheCursorAtZero)
{
    RecordingMessages boxes;
    auto doc = MakeDoc(KnownSound(true), 3, 7);
    const SoundPtr before = doc->GetSound();
    AbortAfterPolls(2);
    const WaveOpResult result = waveops::RndEcho(*doc, EchoProps(4, 1, 0.5));
    ResetAbortHook();
    EXPECT_EQ(result.outcome, WaveOpOutcome::Stopped);
    EXPECT_EQ(doc->GetSound(), before);
    EXPECT_EQ(doc->GetPos1(), 0);
    EXPECT_EQ(doc->GetPos2(), 0);
    EXPECT_EQ(window.refreshes, 1);

    FailAllocationsAfter(0);
    EXPECT_EQ(waveops::RndEcho(*doc, EchoProps(4, 1, 0.5)).outcome, WaveOpOutcome::Stopped);
    ResetAllocationFailure();
    EXPECT_EQ(doc->GetSound(), before);
}

} // namespace
} // namespace kelvorn::test
