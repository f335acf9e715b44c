// Every wave kind under hostile input, under the sanitizers: each input in turn given values no
// pin's domain lets through (a constant skips the domain, a position arrives unchecked), a wave
// no window holds, one of the other channel count and an empty one, and the stop flag set at
// every point where the run looks at it. Each run ends in its outputs or in a message, never in
// an assertion box, and leaks nothing.

#include "factory_builtins/WaveKit.h"

#include "general/Memory.h"

#include <cmath>
#include <limits>

namespace kelvorn::test {
namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
const double hostile[] = {std::numeric_limits<double>::quiet_NaN(),
                          Inf,
                          -Inf,
                          0,
                          -1,
                          0.5,
                          1e300,
                          -1e300,
                          3e9,
                          -3e9,
                          1e-300};

class WaveSweep : public WaveNodeFixture, public WithSineTableP<int>
{
protected:
    /// A run that succeeded filled every output; one that failed says why.
    void ExpectOutcome(bool ok, const std::string& what)
    {
        if (!ok) {
            EXPECT_FALSE(message.empty()) << what;
            return;
        }
        for (const auto& output : node->Outputs())
            EXPECT_TRUE(!output->IsWave() || output->GetSound()) << what << " " << output->Name;
    }

    /// The names of the inputs of the kind's node, by wave-ness.
    std::vector<std::string> InputNames(bool waves) const
    {
        std::vector<std::string> names;
        for (const auto& input : node->Inputs())
            if (input->IsWave() == waves)
                names.push_back(input->Name);
        return names;
    }
};

TEST_P(WaveSweep, EndsInOutputsOrAMessage)
{
    const auto kind = static_cast<uint8_t>(GetParam());
    RecordingMessages boxes;
    LimitSamples(1 << 16);
    MakeValid(kind);
    ASSERT_TRUE(Compute()) << message;
    ExpectOutcome(true, "valid");

    for (const std::string& name : InputNames(false))
        for (double value : hostile) {
            MakeValid(kind);
            if (name == "Position Begin")
                Range(value, 12);
            else if (name == "Position End")
                Range(2, value);
            else
                Set({name.c_str(), value});
            ExpectOutcome(Compute(), name + " = " + std::to_string(value));
        }
    for (const std::string& name : InputNames(true)) {
        MakeValid(kind);
        Input(name)->SetConstantSound("a closed window");
        EXPECT_FALSE(Compute());
        EXPECT_FALSE(message.empty()) << name;
        const bool stereo = Input(name)->GetValueDomain() != ValueDomain::Stereo;
        for (const SoundPtr& other :
             {Known(stereo), SoundPtr(MonoOf({})), SoundPtr(StereoOf({}, {}))}) {
            MakeValid(kind);
            Open(name, other);
            ExpectOutcome(Compute(), name + " of another kind");
        }
    }
    // A pin of the kind that a loaded node lacks is named, whichever it is.
    for (const bool input : {true, false})
        for (const TBuiltinPin& pin :
             input ? GetBuiltinKind(kind)->inputs : GetBuiltinKind(kind)->outputs) {
            MakeValid(kind);
            if (input)
                node->DeleteInput(Input(pin.name));
            else
                node->DeleteOutput(node->FindOutputByName(pin.name));
            // Where a place constant needs the missing "Wave" first, that is what is said.
            const std::string named =
                std::string(input ? "Input \"" : "Output \"") + pin.name + "\" does not exists.";
            const bool ok = Compute();
            EXPECT_TRUE(node->Outputs().empty() ||
                        (!ok && (message.ends_with(named) ||
                                 message.ends_with("Node Input \"Wave\" got no Sound."))))
                << named << " " << message;
        }
    // Only an insertion point may be an empty range.
    if (node->FindInputByName("Position Begin")) {
        MakeValid(kind);
        Range(5, 5);
        const bool insertion = kind == BuiltinInsertReplace || kind == BuiltinMix ||
                               (kind >= BuiltinMakeSilence && kind <= BuiltinMakeNoise);
        EXPECT_EQ(Compute(), insertion) << message;
        EXPECT_EQ(message, insertion ? "" : "Position End must be greater than Position Begin.");
    }
    // A stop at each look at the flag in turn, until the run no longer looks that often; only
    // the statistics, which only read, may end with what they have read.
    for (int64_t polls = 0;; ++polls) {
        MakeValid(kind);
        AbortAfterPolls(polls, AbortByUser);
        const bool ok = Compute();
        ResetAbortHook();
        if (!stop)
            break;
        EXPECT_EQ(ok, kind == BuiltinWaveStatistics) << polls;
        if (!ok) {
            EXPECT_EQ(message, "Stopped by user.") << polls;
        }
        ASSERT_LT(polls, 100);
    }
    for (const auto& box : boxes.boxes)
        EXPECT_NE(box.caption, "Assertion failed") << box.text;
}

INSTANTIATE_TEST_SUITE_P(EveryWaveKind, WaveSweep, ::testing::Range(0, 40), [](const auto& info) {
    std::string name = GetBuiltinKind(info.param)->identifier;
    return name;
});

} // namespace
} // namespace kelvorn::test
