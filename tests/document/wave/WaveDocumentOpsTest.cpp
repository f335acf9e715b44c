// The wave operations on a document: the range each hands its engine (the frame the window sees),
// where the positions go, that a stop or a failed allocation leaves the document as it was, the
// range edits and the clipboard on hand-computed values, the operations with nothing to do, the
// refused parameters, the records kept, the drawing branches and the echo. What each engine
// computes is the sound layer's to test.

#include "support/Documents.h"

#include "document/wave/DrawNode.h"
#include "document/wave/UnitWaveRecords.h"
#include "document/wave/WaveDocumentOps.h"
#include "general/Memory.h"
#include "platform/test/RecordingMessages.h"
#include "sound/SineTable.h"
#include "sound/SoundOps.h"

#include <gtest/gtest.h>

#include <functional>
#include <type_traits>

namespace kelvorn::test {
namespace {

using Values = std::vector<std::vector<int>>;
using E = const unitUnitWave;
using OpRun = std::function<WaveOpResult(TUnitWave&, E&)>;

// A binary fraction of a second per value, so that times like 3 * V hold exact value counts;
// one byte per sample, so that a result falling back to a default format is seen.
constexpr int32_t Rate = 1024;
constexpr int16_t Bytes = 1;
constexpr double V = 1.0 / Rate;

const std::vector<int> knownLeft{100, -200, 300, -400, 500, -600, 700, -800, 900, -1000};
const std::vector<int> knownRight{-50, 60, -70, 80, -90, 100, -110, 120, -130, 140};

SoundPtr Known(bool stereo)
{
    if (stereo)
        return std::make_shared<StereoSound>(WaveOf(knownLeft), WaveOf(knownRight), Rate, Bytes);
    return MonoSoundOf(knownLeft, Rate, Bytes);
}

SoundPtr Clip(const std::vector<int>& values, int32_t rate = Rate)
{
    return MonoSoundOf(values, rate, Bytes);
}

/// An operation with a record of its own, set by set (left at its defaults without).
template <class P>
OpRun Op(WaveOpResult (*fn)(TUnitWave&, const P&),
         std::type_identity_t<void (*)(P&, E&)> set = nullptr)
{
    return [fn, set](TUnitWave& u, E& env) {
        P p;
        if (set)
            set(p, env);
        return fn(u, p);
    };
}
OpRun Op(WaveOpResult (*fn)(TUnitWave&))
{
    return [fn](TUnitWave& u, E&) { return fn(u); };
}

/// A document with its window under a recording main window; the envelope document is "Env".
class DocOpsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AbortFlag flag = 0;
        ASSERT_TRUE(CreateSinus(&flag));
        main.clipboard = Clip({11, 22, 33});
        envRef.Set("Env", &env);
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

    RecordingMainForm main;
    RecordingWaveWindow window;
    TUnitWave env{"Env", "", Clip({-20000, -10000, 0, 5000, 12000})};
    unitUnitWave envRef;
    RecordingMessages boxes;
};

// ---- Every operation: its frame, its positions, and a stop or failure changing nothing --------

constexpr int32_t FromFrame = -1; // the range the window was told to restore, ordered as SetPart

struct OpRow
{
    const char* name;
    bool stereo;
    int32_t pos1, pos2;
    const char* frame;        // "SaveZoom b e" for a framed change, "" for none
    int32_t expPos1, expPos2; // after
    OpRun run;
    int channels = 0; // after; 0: as before
};

// A record set up by the statements given, with p the record and env the envelope reference.
#define SET(P, ...) [](P& p, [[maybe_unused]] E& env) { __VA_ARGS__; }
constexpr int32_t FF = FromFrame;

// clang-format off
const std::vector<OpRow> opRows{
    {"MakeLinePart", false, 2, 6, "SaveZoom 2 6", 2, 6,
     Op(waveops::MakeLine, SET(TLineProps, p.length.SetValue(3 * V)))},
    {"MakeLineExponentialAtCursor", false, 3, 3, "SaveZoom 3 3", 7, 3,
     Op(waveops::MakeLine, SET(TLineProps, p.kind = TLineProps::kindExponential;
        p.beginValue.value = 1000; p.endValue.value = 4000; p.length.SetValue(3 * V)))},
    {"MakeSilenceReversedPart", true, 6, 2, "SaveZoom 2 6", 4, 2,
     Op(waveops::MakeSilence, SET(TSilenceProps, p.length.SetValue(V)))},
    {"MakeNoiseAtCursor", false, 0, 0, "SaveZoom 0 0", 5, 0,
     Op(waveops::MakeNoise, SET(TNoiseProps, p.length.SetValue(5 * V)))},
    {"MakeBlock", false, 2, 6, "SaveZoom 2 6", 2, 10, Op(waveops::MakeBlock,
     SET(TBlockTriangleProps, p.period.SetValue(4 * V); p.newLength.SetValue(8 * V)))},
    {"MakeTriangleByCount", true, 2, 6, "SaveZoom 2 6", 2, 10, Op(waveops::MakeTriangle,
     SET(TBlockTriangleProps, p.BloTriHorKind = bloTriTime; p.time1.SetValue(V);
         p.time2.SetValue(3 * V); p.lengthKind = TBlockTriangleProps::lengthCount;
         p.count.SetValue(2.0)))},
    {"MakeSinusCountAtTheEnd", false, 10, 10, "SaveZoom 10 10", 22, 10, Op(waveops::MakeSinus,
     SET(TSinusProps, p.lengthKind = TSinusProps::lengthCount; p.period.SetValue(4 * V);
         p.count.SetValue(3.0)))},
    {"MakeMFreqWaveForm", false, 2, 6, "SaveZoom 2 6", 2, 10, Op(waveops::MakeMFreq,
     SET(TMFreqProps, p.length.SetValue(8 * V); p.use = TMFreqProps::useWaveForm;
         p.waveForm = env))},
    {"VolumeAtCursor", false, 3, 3, "", 3, 3, Op(waveops::Volume)},
    {"VolumeEnvelope", true, 6, 2, "", 6, 2, Op(waveops::Volume,
     SET(TVolumeProps, p.kind = TVolumeProps::kindEnvelope; p.envelope = env))},
    {"MaxVolume", false, 2, 6, "", 2, 6, Op(waveops::MaxVolume)},
    {"MoveV", true, 2, 6, "", 2, 6, Op(waveops::MoveV)},
    {"Normalize", false, 5, 5, "", 5, 5, Op(waveops::NormalizeVertically)},
    {"Rotate", false, 2, 6, "", 2, 6, Op(waveops::Rotate)},
    {"Block", true, 2, 6, "", 2, 6, Op(waveops::Block)},
    {"Distort", false, 2, 6, "", 2, 6, Op(waveops::Distort, SET(TDistortProps, p.envelope = env))},
    {"Reverse", true, 3, 3, "", 3, 3, Op(waveops::Reverse)},
    {"BalanceMakesStereo", false, 2, 6, "", 2, 6,
     Op(waveops::Balance, SET(TBalanceProps, p.direction.SetValue(0.5))), 2},
    {"MixLeftRight", true, 2, 6, "", 2, 6,
     Op(waveops::MixLeftRight, SET(TLeftRightProps, p.SetExample(1)))},
    {"FilterHigh", false, 2, 6, "", 2, 6, Op(waveops::FilterHigh)},
    {"FilterLowMaximized", true, 0, 10, "", 0, 10,
     Op(waveops::FilterLow, SET(THighLowProps, p.count.SetValue(2); p.maximizeVolume = 1))},
    {"FilterResEnvelope", false, 2, 6, "", 2, 6, Op(waveops::FilterRes,
     SET(TResNotchProps, p.frequencyKind = filterEnvelope; p.frequencyEnvelope = env))},
    {"FilterNotch", true, 2, 6, "", 2, 6, Op(waveops::FilterNotch)},
    {"MixStretched", false, 2, 6, "", 2, 6,
     Op(waveops::Mix, SET(TMixProps, p.placement = TMixProps::stretch))},
    {"RollIn", false, 2, 6, "SaveZoom 2 6", FF, FF,
     Op(waveops::RollIn, SET(TRollInProps, p.length.SetValue(3 * V)))},
    {"RollOutReversedPart", true, 6, 2, "SaveZoom 2 6", FF, FF,
     Op(waveops::RollOut, SET(TRollOutProps, p.lengthFactor.SetValue(1.5)))},
    // A lone cursor over the whole wave keeps its fraction of the new length.
    {"LengthAtCursor", false, 5, 5, "SaveZoom 0 10", 9, 9, Op(waveops::Length,
     SET(TLengthProps, p.lengthKind = lengthKindNew; p.newLength.SetValue(20 * V)))},
    {"TempoPitch", false, 2, 6, "SaveZoom 2 6", FF, FF, Op(waveops::TempoPitch,
     SET(TTempoPitchProps, p.speedFactor.SetValue(2.0); p.blockSize.SetValue(2 * V)))},
    {"MoveHStereoEnvelope", true, 2, 6, "SaveZoom 2 6", FF, FF, Op(waveops::MoveH,
     SET(TShiftProps, p.left.SetValue(2 * V); p.envelopeFlag = 1; p.envelope = env))},
    {"MoveHMono", false, 2, 6, "SaveZoom 2 6", FF, FF,
     Op(waveops::MoveH, SET(TShiftProps, p.middle.SetValue(-3 * V)))},
    {"PerEcho", true, 2, 6, "SaveZoom 2 6", FF, FF,
     Op(waveops::PerEcho, SET(TPerEchoProps, p.time.SetValue(2 * V)))},
    {"FilterBlockEnvelope", false, 2, 6, "SaveZoom 2 6", FF, FF, Op(waveops::FilterBlock,
     SET(TBlockFilterProps, p.blockTime.SetValue(2 * V); p.envelopeFlag = 1; p.envelope = env))},
    {"Delete", true, 2, 6, "SaveZoom 2 6", 2, 2, Op(waveops::Delete)},
    {"Cut", false, 2, 6, "SaveZoom 2 6", 2, 2, Op(waveops::Cut)},
    {"Trim", false, 6, 2, "SaveZoom 2 6", 4, 0, Op(waveops::Trim)},
    {"Paste", true, 2, 6, "SaveZoom 2 6", 2, 5, Op(waveops::Paste)},
    {"Extract", false, 2, 6, "", 2, 6, Op(waveops::Extract)}};
// clang-format on

class OpTableTest : public DocOpsTest, public ::testing::WithParamInterface<OpRow>
{
};

TEST_P(OpTableTest, FramesItsRangeAndPlacesThePositions)
{
    const OpRow& row = GetParam();
    auto doc = MakeDoc(Known(row.stereo), row.pos1, row.pos2);
    const SoundPtr before = doc->GetSound();
    const WaveOpResult result = row.run(*doc, envRef);
    ASSERT_EQ(result.outcome, WaveOpOutcome::Done) << result.message;
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(ChannelsOf(*before), ChannelsOf(*Known(row.stereo))) << "the old sound is kept";
    const Sound& after = *doc->GetSound();
    EXPECT_EQ(after.GetMonoStereo(), row.channels ? row.channels : row.stereo + 1);
    EXPECT_EQ(after.GetSampleFreq(), Rate);
    EXPECT_EQ(after.GetBytesPSample(), Bytes);
    EXPECT_EQ(window.refreshes, 1);

    const std::vector<std::string> restored = window.Calls("RestoreZoom");
    EXPECT_EQ(window.Calls("SaveZoom"),
              *row.frame ? std::vector<std::string>{row.frame} : std::vector<std::string>{});
    ASSERT_EQ(restored.size(), *row.frame ? 1u : 0u);
    if (row.expPos1 == FromFrame) {
        // The result's range is selected; SetPart keeps which position was the later one.
        int32_t b = 0, e = 0;
        ASSERT_EQ(std::sscanf(restored[0].c_str(), "RestoreZoom %d %d", &b, &e), 2);
        EXPECT_LE(b, e);
        EXPECT_LE(e, doc->GetValues());
        const bool firstLater = row.pos1 >= row.pos2;
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
        auto doc = MakeDoc(Known(row.stereo), row.pos1, row.pos2);
        const SoundPtr before = doc->GetSound(), clipboard = main.clipboard;
        const int sets = main.clipboardSets;
        memory ? FailAllocationsAfter(0) : AbortAfterPolls(0);
        const WaveOpResult result = row.run(*doc, envRef);
        ResetAllocationFailure();
        ResetAbortHook();
        EXPECT_EQ(result.outcome, WaveOpOutcome::Stopped);
        EXPECT_EQ(doc->GetSound(), before);
        EXPECT_EQ(doc->GetPos1(), row.pos1);
        EXPECT_EQ(doc->GetPos2(), row.pos2);
        EXPECT_EQ(main.clipboard, clipboard);
        EXPECT_EQ(main.clipboardSets, sets);
        ASSERT_EQ(boxes.boxes.size(), memory ? 1u : 0u);
        if (memory) {
            EXPECT_EQ(boxes.boxes[0].text, "There is not enough memmory for this operation.");
            EXPECT_EQ(boxes.boxes[0].caption, "System Error");
        }
        // The next command starts with a clear flag.
        EXPECT_EQ(row.run(*doc, envRef).outcome, WaveOpOutcome::Done);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, OpTableTest, ::testing::ValuesIn(opRows),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Clipboard and range edits on the known mono sound, hand-computed ------------------------

/// The known sound with [begin, end) replaced by the clipboard sound resampled to Rate.
std::vector<int> PastedInto(const SoundPtr& clip, size_t begin, size_t end)
{
    const std::vector<int> piece = ValuesOf(*clip->GetMonoWaveAt(nullptr, Rate));
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
    OpRun run;
    std::vector<int> sound;     // after
    std::vector<int> clipAfter; // after; empty: the clipboard object is unchanged
    int32_t expPos1, expPos2;
    int refreshes;
};

std::vector<ClipRow> ClipRows()
{
    const SoundPtr clip = Clip({11, 22, 33});
    const SoundPtr half = Clip({0, 100, 200}, Rate / 2);
    const SoundPtr twice = Clip({10, 20, 30, 40, 50}, Rate * 2);
    const std::vector<int> part{300, -400, 500, -600};
    const std::vector<int> pasted{100, -200, 11, 22, 33, 700, -800, 900, -1000};
    auto mix = [](uint8_t placement) {
        return [placement](TUnitWave& u, E&) {
            TMixProps p;
            p.placement = placement;
            return waveops::Mix(u, p);
        };
    };
    // clang-format off
    return {
        {"Copy", 2, 6, clip, Op(waveops::Copy), knownLeft, part, 2, 6, 0},
        {"CopyCursorTakesTheWholeWave", 4, 4, clip, Op(waveops::Copy), knownLeft, knownLeft, 4, 4,
             0},
        {"Cut", 6, 2, clip, Op(waveops::Cut), {100, -200, 700, -800, 900, -1000}, part, 2, 2, 1},
        {"DeleteWholeAtCursorLeavesCursorAtZero", 3, 3, clip, Op(waveops::Delete), {}, {}, 0, 0, 1},
        {"TrimPart", 2, 6, clip, Op(waveops::Trim), part, {}, 0, 4, 1},
        {"PastePart", 2, 6, clip, Op(waveops::Paste), pasted, {}, 2, 5, 1},
        {"PasteAtCursorInserts", 1, 1, clip, Op(waveops::Paste), {100, 11, 22, 33, -200, 300, -400,
             500, -600, 700, -800, 900, -1000}, {}, 4, 1, 1},
        // Half the rate: resampled to (3 - 1) * 2 + 1 values, the selection 3 * 2 long.
        {"PasteAcrossRates", 2, 6, half, Op(waveops::Paste), PastedInto(half, 2, 6), {}, 2, 8, 1},
        // The same at the end: the selection is kept within the wave.
        {"PasteAcrossRatesAtTheEnd", 10, 10, half, Op(waveops::Paste), PastedInto(half, 10, 10),
             {}, 15, 10, 1},
        // Twice the rate: 5 values become (5 - 1) / 2 + 1, selected 5 / 2 long.
        {"PasteAcrossRatesDown", 0, 0, twice, Op(waveops::Paste), PastedInto(twice, 0, 0), {}, 2,
             0, 1},
        {"Swap", 2, 6, clip, Op(waveops::Swap), pasted, part, 2, 5, 1},
        {"Extract", 2, 6, clip, Op(waveops::Extract), {100, -200, 0, 0, 0, 0, 700, -800, 900,
             -1000}, part, 2, 6, 1},
        {"MixAlignBegin", 2, 6, clip, mix(TMixProps::alignBegin), {100, -200, 311, -378, 533, -600,
             700, -800, 900, -1000}, {}, 2, 6, 1},
        {"MixAlignEnd", 2, 6, clip, mix(TMixProps::alignEnd), {100, -200, 300, -389, 522, -567,
             700, -800, 900, -1000}, {}, 2, 6, 1},
        // A lone cursor mixes in the whole clipboard sound.
        {"MixAlignBeginAtCursor", 8, 8, clip, mix(TMixProps::alignBegin), {100, -200, 300, -400,
             500, -600, 700, -800, 911, -978, 33}, {}, 8, 8, 1},
    };
    // clang-format on
}

class ClipboardTest : public DocOpsTest, public ::testing::WithParamInterface<ClipRow>
{
};

TEST_P(ClipboardTest, ChangesSoundPositionsAndClipboard)
{
    const ClipRow& row = GetParam();
    main.clipboard = row.clipboard;
    auto doc = MakeDoc(Known(false), row.pos1, row.pos2);
    const WaveOpResult result = row.run(*doc, envRef);
    ASSERT_EQ(result.outcome, WaveOpOutcome::Done) << result.message;
    EXPECT_EQ(ValuesOf(*doc->GetSound()->GetLeftWave()), row.sound);
    EXPECT_EQ(doc->GetSound()->GetBytesPSample(), Bytes);
    EXPECT_EQ(doc->GetPos1(), row.expPos1);
    EXPECT_EQ(doc->GetPos2(), row.expPos2);
    EXPECT_EQ(window.refreshes, row.refreshes);
    if (row.clipAfter.empty()) {
        EXPECT_EQ(main.clipboard, row.clipboard);
    } else {
        ASSERT_NE(main.clipboard, nullptr);
        EXPECT_EQ(ValuesOf(*main.clipboard->GetLeftWave()), row.clipAfter);
        EXPECT_EQ(main.clipboard->GetSampleFreq(), Rate);
    }
}

INSTANTIATE_TEST_SUITE_P(Edits, ClipboardTest, ::testing::ValuesIn(ClipRows()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DocOpsTest, SwapOnStereoTradesThePartWithTheClipboard)
{
    main.clipboard = std::make_shared<StereoSound>(WaveOf({1, 2}), WaveOf({-1, -2}), Rate, Bytes);
    auto doc = MakeDoc(Known(true), 6, 2);
    ASSERT_TRUE(waveops::Swap(*doc).Succeeded());
    EXPECT_EQ(ChannelsOf(*doc->GetSound()), (Values{{100, -200, 1, 2, 700, -800, 900, -1000},
                                                    {-50, 60, -1, -2, -110, 120, -130, 140}}));
    EXPECT_EQ(ChannelsOf(*main.clipboard), (Values{{300, -400, 500, -600}, {-70, 80, -90, 100}}));
    EXPECT_EQ(doc->GetPos1(), 4);
    EXPECT_EQ(doc->GetPos2(), 2);
}

// ---- Nothing to do, and refused parameters ---------------------------------------------------

TEST_F(DocOpsTest, NothingToDoOrARefusalLeavesDocumentAndWindowAlone)
{
    enum Setup { Mono, Stereo, EmptyWave, NoClipboard, EmptyEnvelope, OneValue };
    struct Row
    {
        const char* name;
        Setup setup;
        OpRun run;
        const char* message; // "" for nothing to do
    };
    // clang-format off
    const Row rows[] = {
        {"BalanceOnStereo", Stereo, Op(waveops::Balance), ""},
        {"BalanceOnEmptyWave", EmptyWave, Op(waveops::Balance), ""},
        {"MixLeftRightOnMono", Mono, Op(waveops::MixLeftRight), ""},
        {"PasteWithEmptyClipboard", NoClipboard, Op(waveops::Paste), ""},
        {"SwapWithEmptyClipboard", NoClipboard, Op(waveops::Swap), ""},
        {"MixWithEmptyClipboard", NoClipboard, Op(waveops::Mix), ""},
        {"NormalizeEmptyWave", EmptyWave, Op(waveops::NormalizeVertically), ""},
        {"RollOutEmptyWave", EmptyWave, Op(waveops::RollOut), ""},
        {"Volume", EmptyEnvelope, Op(waveops::Volume, SET(TVolumeProps,
         p.kind = TVolumeProps::kindEnvelope; p.envelope = env)), "The volume envelope is empty."},
        {"FilterBlock", EmptyEnvelope, Op(waveops::FilterBlock, SET(TBlockFilterProps,
         p.envelopeFlag = 1; p.envelope = env)), "The width envelope is empty."},
        {"TempoPitchSpeed", EmptyEnvelope, Op(waveops::TempoPitch, SET(TTempoPitchProps,
         p.speedEnvelopeFlag = 1; p.speedEnvelope = env)), "The speed envelope is empty."},
        {"MakeMFreqForm", EmptyEnvelope, Op(waveops::MakeMFreq, SET(TMFreqProps,
         p.use = TMFreqProps::useWaveForm; p.waveForm = env)), "The form is empty."},
        {"RndEchoVolume", EmptyEnvelope, Op(waveops::RndEcho, SET(TRandomEchoProps,
         p.volume.kind = 2; p.volume.envelope = env)), "The volume envelope is empty."},
        {"PerEchoOfOneValue", OneValue, Op(waveops::PerEcho),
         "The range to echo must hold at least 2 values."},
        {"PerEchoOfOneValueWithEnvelopes", OneValue, Op(waveops::PerEcho, SET(TPerEchoProps,
         p.timeEnvelopeFlag = 1; p.timeEnvelope = env)),
         "The range to echo must hold at least 2 values."},
        {"ReferenceWithoutDocument", Mono, Op(waveops::Distort, SET(TDistortProps,
         p.envelope = unitUnitWave("Gone"))), "Cannot find window \"Gone\"."}};
    // clang-format on
    TUnitWave empty("Empty", "", std::make_shared<MonoSound>(Rate, Bytes));
    unitUnitWave emptyRef;
    emptyRef.Set("Empty", &empty);
    for (const Row& row : rows) {
        main.clipboard = row.setup == NoClipboard ? nullptr : Clip({11, 22, 33});
        SoundPtr sound = row.setup == EmptyWave ? std::make_shared<MonoSound>(Rate, Bytes)
                                                : Known(row.setup == Stereo);
        auto doc = MakeDoc(sound, 2, row.setup == OneValue ? 3 : 6);
        const int32_t pos1 = doc->GetPos1(), pos2 = doc->GetPos2();
        const WaveOpResult result = row.run(*doc, row.setup == EmptyEnvelope ? emptyRef : envRef);
        EXPECT_EQ(result.outcome, *row.message ? WaveOpOutcome::Refused : WaveOpOutcome::Unchanged)
            << row.name;
        EXPECT_EQ(result.message, row.message) << row.name;
        EXPECT_EQ(doc->GetSound(), sound) << row.name;
        EXPECT_EQ(doc->GetPos1(), pos1) << row.name;
        EXPECT_EQ(doc->GetPos2(), pos2) << row.name;
        EXPECT_FALSE(doc->IsAborted()) << row.name;
        if (!*row.message) {
            EXPECT_EQ(window.refreshes, 0) << row.name;
            EXPECT_TRUE(window.Calls("SaveZoom").empty()) << row.name;
        }
        window.refreshes = 0;
        window.calls.clear();
    }
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(DocOpsTest, EachOperationKeepsItsRecord)
{
    auto doc = MakeDoc(Known(false), 2, 6);
    TRotateProps rotate;
    rotate.factor.SetValue(0.5);
    THighLowProps high, low;
    high.count.SetValue(3);
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

TEST_F(DocOpsTest, WhileDrawingTheOperationsChangeTheNodesAndRenderAgain)
{
    struct Row
    {
        const char* name;
        std::function<WaveOpResult(TUnitWave&)> run;
        std::vector<int> nodes;
        int32_t values;
        int refreshes;
    };
    TVolumeProps half;
    half.factor.SetValue(0.5);
    half.kind = TVolumeProps::kindEnvelope; // not read while drawing
    TUpProps up;
    up.add.value = 100;
    TLengthProps shorter;
    shorter.lengthFactor.SetValue(0.5);
    auto maxThenUp = [&](TUnitWave& u) {
        waveops::MaxVolume(u);
        return waveops::MoveV(u, up);
    };
    auto failed = [&](TUnitWave& u) {
        FailAllocationsAfter(0);
        const WaveOpResult volume = waveops::Volume(u, half);
        const WaveOpResult length = waveops::Length(u, shorter);
        ResetAllocationFailure();
        return volume.outcome == length.outcome ? length : volume;
    };
    // clang-format off
    const Row rows[] = {
        {"Volume", [&](TUnitWave& u) { return waveops::Volume(u, half); }, {0, 8192, -4096, 0},
         Rate + 1, 1},
        // 16384 is the peak: factor 32767 / 16384; -8192 becomes -16383.5, truncated.
        {"MaxVolume", waveops::MaxVolume, {0, 32767, -16383, 0}, Rate + 1, 1},
        {"MaxVolumeThenMoveVWrapsLikeASample", maxThenUp, {100, 32867 - 65536, -16283, 100},
         Rate + 1, 2},
        // Trapezoids: 0.25 * 8192 + 0.5 * 4096 + 0.25 * -4096 = 3072.
        {"Normalize", waveops::NormalizeVertically, {-3072, 13312, -11264, -3072}, Rate + 1, 1},
        {"LengthWithoutRepaint", [&](TUnitWave& u) { return waveops::Length(u, shorter); },
         {0, 16384, -8192, 0}, Rate / 2 + 1, 0},
        {"AFailedRenderingGivesTheNodesBack", failed, {0, 16384, -8192, 0}, 0, -1}};
    // clang-format on
    for (const Row& row : rows) {
        RecordingWaveWindow drawn;
        auto doc = MakeDoc(std::make_shared<MonoSound>(Rate, 2), 0, 0);
        doc->SetChildWave(&drawn);
        doc->StartUserDrawing(TUnitWave::DrawLinear);
        doc->InsertDrawNode(std::make_unique<TDrawNode>(16384, 0.25));
        doc->InsertDrawNode(std::make_unique<TDrawNode>(-8192, 0.75));
        const SoundPtr before = doc->GetSound();
        drawn.refreshes = 0;
        const WaveOpResult result = row.run(*doc);
        EXPECT_EQ(result.outcome, row.values ? WaveOpOutcome::Done : WaveOpOutcome::Stopped)
            << row.name;
        std::vector<int> nodes;
        for (const TDrawNode* n = doc->GetDrawNodes(); n; n = n->GetNext())
            nodes.push_back(n->GetValue());
        EXPECT_EQ(nodes, row.nodes) << row.name;
        EXPECT_EQ(drawn.refreshes, row.refreshes < 0 ? drawn.refreshes : row.refreshes) << row.name;
        EXPECT_DOUBLE_EQ(doc->GetDrawLength(), row.values == Rate / 2 + 1 ? 0.5 : 1.0);
        EXPECT_TRUE(row.values ? doc->GetValues() == row.values : doc->GetSound() == before)
            << row.name;
    }
    // Value i is read at i / 1025 of the drawing: 256 falls just before the node at 0.25.
    auto doc = MakeDoc(std::make_shared<MonoSound>(Rate, 2), 0, 0);
    doc->StartUserDrawing(TUnitWave::DrawLinear);
    doc->InsertDrawNode(std::make_unique<TDrawNode>(16384, 0.25));
    ASSERT_TRUE(waveops::Volume(*doc, half).Succeeded());
    EXPECT_EQ((*doc->GetSound()->GetLeftWave())[Rate / 4], 8184);
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
        p.length.envelope = envRef;
        p.balance.kind = 2;
        p.balance.envelope = envRef;
        p.balanceVolumeDifference = volumeDifferenceFilter;
        auto first = MakeDoc(Known(stereo), 2, 6), second = MakeDoc(Known(stereo), 5, 5);
        ASSERT_TRUE(waveops::RndEcho(*first, p).Succeeded());
        ASSERT_TRUE(waveops::RndEcho(*second, p).Succeeded());
        EXPECT_EQ(ChannelsOf(*first->GetSound()), ChannelsOf(*second->GetSound()));
        EXPECT_EQ(first->GetMonoStereo(), 2);
        // 10 values + 20 of time difference + 1 + Rate / 3400, and maybe one of silence.
        EXPECT_GE(first->GetValues(), 32);
        EXPECT_LE(first->GetValues(), 33);
        EXPECT_EQ(first->GetPos1() + first->GetPos2(), 0);
        auto other = MakeDoc(Known(stereo), 0, 0);
        p.randomSeed.SetValue(1235);
        ASSERT_TRUE(waveops::RndEcho(*other, p).Succeeded());
        EXPECT_NE(ChannelsOf(*first->GetSound()), ChannelsOf(*other->GetSound()));
        // Without balance the channel count stays, and the whole sound fits after the latest
        // start.
        auto plain = MakeDoc(Known(stereo), 0, 0);
        ASSERT_TRUE(waveops::RndEcho(*plain, EchoProps(3, 9, 4 * V)).Succeeded());
        EXPECT_EQ(plain->GetMonoStereo(), stereo ? 2 : 1);
        EXPECT_GE(plain->GetValues(), 10 + 4 + 1);
    }

    // A stopped echo keeps the sound and puts the cursor at zero.
    window.refreshes = 0;
    auto doc = MakeDoc(Known(true), 3, 7);
    const SoundPtr before = doc->GetSound();
    AbortAfterPolls(2);
    EXPECT_EQ(waveops::RndEcho(*doc, EchoProps(4, 1, 0.5)).outcome, WaveOpOutcome::Stopped);
    ResetAbortHook();
    EXPECT_EQ(doc->GetSound(), before);
    EXPECT_EQ(doc->GetPos1(), 0);
    EXPECT_EQ(doc->GetPos2(), 0);
    EXPECT_EQ(window.refreshes, 1);
    FailAllocationsAfter(0);
    EXPECT_EQ(waveops::RndEcho(*doc, EchoProps(4, 1, 0.5)).outcome, WaveOpOutcome::Stopped);
    ResetAllocationFailure();
    EXPECT_EQ(doc->GetSound(), before);
}

#undef SET

} // namespace
} // namespace kelvorn::test
