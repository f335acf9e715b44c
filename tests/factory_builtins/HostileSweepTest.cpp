// Every builtin kind computed from hostile inputs settles: it fails with a message or leaves
// finite values, and never crashes, reads what is not there or loops for ever (the sanitizer
// build runs this). A kind joins the sweep with its range in an instantiation at the bottom;
// SaneValue gives the values with which a kind computes.
#include "factory_builtins/ComputeKit.h"

#include <limits>

namespace kelvorn::test {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

const double hostileValues[] = {0,    -0.0,  1,     -1,     2,      -2,      0.5, 65,   3e9,
                                1e12, -1e12, 1e308, -1e308, 1e-300, -1e-300, inf, -inf, nan};
// The types a pin of a group type (All Computable, ...) is given in turn.
const ValueType groupTypes[] = {ValueType::Factor, ValueType::Integer, ValueType::Angle,
                                ValueType::Time};

ValueType TypeOf(ValueDomType pinType, ValueType groupType)
{
    const int code = static_cast<int>(pinType);
    return code >= ValueTypeCount ? groupType : static_cast<ValueType>(code);
}

// Sample frequencies of a real rate, places inside the wave, and small numbers rising from
// input to input (so that ranges have a begin below their end).
TSntValue SaneValue(const TBuiltinPin& pin, size_t index)
{
    switch (pin.type) {
    case ValueDomType::WaveSampleFrequency:
        return {44100, ValueType::WaveSampleFrequency};
    case ValueDomType::PlaceInWindow:
        return {0.5, ValueType::PlaceInWindow};
    case ValueDomType::Boolean:
        return {1, ValueType::Boolean};
    case ValueDomType::Time:
        return {0.002, ValueType::Time};
    default:
        return {0.25 + 0.125 * double(index), TypeOf(pin.type, ValueType::Factor)};
    }
}

struct KindSweep : ComputeFixture, ::testing::WithParamInterface<int>
{
    KindSweep()
    {
        host.waves["Mono"] = MonoOf({100, -200, 300, 4});
        host.waves["Stereo"] = StereoOf({1, 2, 3, 4}, {-5, 6, -7, 8});
    }
    const TBuiltinKind& Kind() const { return *GetBuiltinKind(GetParam()); }
    /// A fresh node of the kind, every input holding a constant: value(pin, index) or a wave.
    template <class Value> void Fill(Value value)
    {
        Make(uint8_t(GetParam()));
        const auto pins = Kind().inputs;
        for (size_t i = 0; i < pins.size(); ++i) {
            TSountoryNodeInput& input = *node->Inputs()[i];
            if (input.IsWave())
                input.SetConstantSound(pins[i].domain == ValueDomain::Stereo ? "Stereo" : "Mono");
            else
                input.SetConstantValue(value(pins[i], i), EHNone);
        }
    }
    /// Each output is needed once, so that the wave kinds compute their sound too.
    void Prime()
    {
        for (const auto& output : node->Outputs()) {
            output->ClearUseCount();
            output->AddUse();
        }
        node->ClearCalculated();
    }
    bool Settle(bool calculate, const std::string& context)
    {
        Prime();
        message.clear();
        watchdog.Start(context);
        const bool ok = calculate ? node->Calculate(&stop, message) : node->Compute(&stop, message);
        watchdog.Done();
        ExpectSettled(*node, ok, message, context);
        return ok;
    }

    Watchdog watchdog;
};

using HostileSweep = KindSweep;
using MissingPins = KindSweep;

TEST_P(HostileSweep, EveryPairOfHostileValuesEndsInFiniteValuesOrAMessage)
{
    for (ValueType group : groupTypes)
        for (double x : hostileValues)
            for (double y : hostileValues) {
                // Inputs take x and y in turn: a base and its exponent, a value and its range.
                Fill([&](const TBuiltinPin& pin, size_t index) {
                    return TSntValue(index % 2 ? y : x, TypeOf(pin.type, group));
                });
                std::ostringstream context;
                context << GetValueTypeName(group) << " " << x << ", " << y;
                for (bool calculate : {true, false})
                    Settle(calculate, context.str() + (calculate ? " calculated" : " computed"));
                if (HasFailure())
                    return;
            }
}

TEST_P(MissingPins, EveryPinTheKindReadsIsNamedWhenTheNodeLacksIt)
{
    auto expectMissing = [this](const std::string& what) {
        EXPECT_FALSE(Settle(false, what));
        EXPECT_EQ(message, what + " does not exists.");
    };
    Fill(SaneValue);
    ASSERT_TRUE(Settle(false, "sane")) << message;
    for (const TBuiltinPin& pin : Kind().inputs) {
        Fill(SaneValue);
        node->DeleteInput(node->FindInputByName(pin.name));
        expectMissing("Input \"" + std::string(pin.name) + "\"");
        // Without its value an input is optional or asked for; nothing reads what it lacks.
        Fill(SaneValue);
        node->FindInputByName(pin.name)->ClearConstant();
        if (!Settle(false, pin.name)) {
            EXPECT_EQ(message, "Input \"" + std::string(pin.name) + "\" is mandatory.");
        }
    }
    for (const TBuiltinPin& pin : Kind().outputs) {
        Fill(SaneValue);
        node->DeleteOutput(node->FindOutputByName(pin.name));
        expectMissing("Output \"" + std::string(pin.name) + "\"");
    }
    if (Kind().inputs.empty() || std::string(Kind().inputs[0].name) != "Operand 1")
        return;
    // Misnumbered operands: renamed from, to, and the first operand then missing; a stray
    // further operand asks for a third.
    const char* const renamings[][3] = {
        {"Operand 2", "Operand 3", "Operand 2"},
        {"Operand 1", "Operand", "Operand 1"},
        {"Operand 2", "Operand 1", "Operand 2"},
        {"Operand 2", "Operand 02", "Operand 2"},
        {"Operand 1", "Operand 4294967297", "Operand 1"},
        {"Operand 2", "Operand -2", "Operand 2"},
        {nullptr, "Operand 9", "Operand 3"},
    };
    for (const auto& [from, to, missing] : renamings) {
        Fill(SaneValue);
        TSountoryNodeInput* input =
            from ? node->FindInputByName(from) : NodeIn(node, "9", ValueDomType::AllValue);
        input->SetName(to);
        input->SetConstantValue(node->Inputs()[0]->GetConstant(), EHNone);
        expectMissing("Input \"" + std::string(missing) + "\"");
    }
}

// Value kinds: every one of 40 to 76.
INSTANTIATE_TEST_SUITE_P(ValueKinds, HostileSweep, ::testing::Range(int(BuiltinPlus), 77));
INSTANTIATE_TEST_SUITE_P(ValueKinds, MissingPins, ::testing::Range(int(BuiltinPlus), 77));
// Wave kinds: every one of 0 to 39. Their missing pins are WaveSweepTest's, whose settings let
// each wave kind compute.
INSTANTIATE_TEST_SUITE_P(WaveKinds, HostileSweep, ::testing::Range(0, int(BuiltinPlus)));

} // namespace
} // namespace kelvorn::test
