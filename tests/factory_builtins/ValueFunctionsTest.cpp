// What the value kinds compute: results with their types and every message, as one table, and
// the random values over many draws.
#include "factory/builtins/ValueFunctions.h"
#include "factory_builtins/ComputeKit.h"
#include "general/random/Random15.h"
#include "general/random/RuntimeRandom.h"

namespace kelvorn::test {
namespace {

using Outputs = PinValues;

struct Worked
{
    SntBuiltinAction kind;
    PinValues inputs;
    /// Expected on success; empty when the computation fails with message.
    Outputs outputs;
    std::string message{};
    /// The sound at "Wave": "mono" (44100 Hz), "slow" (1024 Hz), "stereo", "empty" or "none".
    std::string wave{};
    /// Relative to the expected value (at least 1); 0 asks for the exact double.
    double tolerance = 0;
};

void PrintTo(const Worked& row, std::ostream* out)
{
    *out << GetBuiltinKind(row.kind)->identifier;
    for (const auto& [name, value] : row.inputs)
        *out << ", " << name << " " << value;
}

PinValues Ops(std::initializer_list<TSntValue> values)
{
    PinValues pins;
    for (TSntValue v : values)
        pins.push_back({"Operand " + std::to_string(pins.size() + 1), v});
    return pins;
}

Outputs Expr(TSntValue v)
{
    return {{"Expression", v}};
}

// The program's pi, which the angle functions keep.
constexpr double programPi = 3.1415293;
const std::string outOfRange = "The value of Output \"Expression\" is out of range.";

const Worked workedTable[] = {
    // Multiplication: units multiply; one value of another type at most, and without units.
    {BuiltinMultiply, Ops({L(3), Hz(2)}), Expr(S(6))},
    {BuiltinMultiply, Ops({S(3), T(2)}), Expr(L(6))},
    {BuiltinMultiply, Ops({I(2), I(3), I(4)}), Expr(I(24))},
    {BuiltinMultiply, Ops({I(2), F(0.5)}), Expr(F(1))},
    {BuiltinMultiply, Ops({A(0.5), F(3)}), Expr(A(1.5))},
    {BuiltinMultiply, Ops({T(2), Hz(3)}), Expr(F(6))},
    {BuiltinMultiply, Ops({F(2), W(3)}), Expr(W(6))},
    {BuiltinMultiply,
     Ops({T(2), T(3)}),
     {},
     "Wrong combination of types Time, Frequency are used when multiplying."},
    {BuiltinMultiply,
     Ops({L(1), T(2)}),
     {},
     "Wrong combination of types Time, Frequency and Fysical Speed are used when multiplying."},
    {BuiltinMultiply,
     Ops({L(1), S(2)}),
     {},
     "At most one Type of Fysical Distance or Fysical Speed is allowed for multiplying."},
    {BuiltinMultiply,
     Ops({W(2), W(3)}),
     {},
     "Cannot multiply Types of Wave Value (Input \"Operator 1\") and Wave Value (Input "
     "\"Operator 2\")"},
    {BuiltinMultiply,
     Ops({W(2), L(3)}),
     {},
     "Cannot multiply Types of Wave Value (Input \"Operator 1\") and Fysical Distance or Fysical "
     "Speed."},
    {BuiltinMultiply,
     Ops({F(2), B(1), T(3)}),
     {},
     "Cannot multiply Types of Boolean (Input \"Operator 2\") and Frequency or Time."},
    {BuiltinMultiply, Ops({F(1e200), F(1e200)}), {}, outOfRange},
    // Division, its rules in their order.
    {BuiltinDivide, Ops({F(1), F(0)}), {}, "Cannot divide by zero."},
    {BuiltinDivide, Ops({F(1), T(0.5)}), Expr(Hz(2))},
    {BuiltinDivide, Ops({I(1), Hz(4)}), Expr(T(0.25))},
    {BuiltinDivide, Ops({L(6), S(2)}), Expr(T(3))},
    {BuiltinDivide, Ops({L(6), T(2)}), Expr(S(3))},
    {BuiltinDivide, Ops({L(3), Hz(2)}), Expr(S(6))},
    {BuiltinDivide, Ops({T(6), T(2)}), Expr(F(3))},
    {BuiltinDivide, Ops({W(6), I(4)}), Expr(W(1.5))},
    {BuiltinDivide,
     Ops({T(1), L(2)}),
     {},
     "Second operator must be a type which can be used as a Factor."},
    {BuiltinDivide, Ops({F(1e300), F(1e-300)}), {}, outOfRange},
    // Sums and differences of one unit type.
    {BuiltinPlus, Ops({I(2), I(3)}), Expr(I(5))},
    {BuiltinPlus, Ops({I(2), F(0.5)}), Expr(F(2.5))},
    {BuiltinPlus,
     Ops({T(1), L(2)}),
     {},
     "Inputs Operand 1 and Operand 2 must be of the same type."},
    {BuiltinPlus,
     Ops({F(1), A(2), T(3)}),
     {},
     "Inputs Operand 1 and Operand 3 must be of the same type."},
    {BuiltinPlus, Ops({F(1e308), F(1e308)}), {}, outOfRange},
    {BuiltinMinus, Ops({A(0.75), A(0.25)}), Expr(A(0.5))},
    {BuiltinMinus, Ops({A(0.75), I(1)}), Expr(F(-0.25))},
    {BuiltinMinus, Ops({T(3), T(1)}), Expr(T(2))},
    // Logic, chained from the left.
    {BuiltinImp, Ops({B(1), B(0), B(1)}), Expr(B(1))},
    {BuiltinImp, Ops({B(1), B(0)}), Expr(B(0))},
    {BuiltinImp, Ops({B(0), B(0)}), Expr(B(1))},
    {BuiltinXor, Ops({B(1), B(1), B(1)}), Expr(B(1))},
    {BuiltinNand, Ops({B(1), B(1)}), Expr(B(0))},
    {BuiltinNor, Ops({B(0), B(0)}), Expr(B(1))},
    {BuiltinAnd, Ops({B(1), B(2), B(0)}), Expr(B(0))},
    {BuiltinOr, Ops({B(0), B(0), B(-1)}), Expr(B(1))},
    {BuiltinNot, {{"Operand", I(0)}}, Expr(I(1))},
    {BuiltinNot, {{"Operand", B(5)}}, Expr(B(0))},
    // Comparisons of neighbours; Greater admits equal neighbours, GreaterEqual does not.
    {BuiltinGreater, Ops({F(3), F(3)}), Expr(B(1))},
    {BuiltinGreater, Ops({F(3), F(2), F(2.5)}), Expr(B(0))},
    {BuiltinGreaterEqual, Ops({F(3), F(3)}), Expr(B(0))},
    {BuiltinGreaterEqual, Ops({I(3), F(2), A(1)}), Expr(B(1))},
    {BuiltinUnequal, Ops({F(1), F(1), F(2)}), Expr(B(1))},
    {BuiltinUnequal, Ops({F(1), F(1)}), Expr(B(0))},
    {BuiltinEqual, Ops({T(2), T(2), T(2)}), Expr(B(1))},
    {BuiltinEqual,
     Ops({T(2), F(2)}),
     {},
     "Inputs Operand 1 and Operand 2 must be of the same type."},
    // Minimum, Maximum and the means take the first operand's type.
    {BuiltinMinimum, Ops({I(3), F(1.5)}), Expr(I(1.5))},
    {BuiltinMaximum, Ops({T(1), T(4), T(2)}), Expr(T(4))},
    {BuiltinMeanValue, Ops({I(1), I(2)}), Expr(I(1.5))},
    {BuiltinLogMeanValue, Ops({F(2), F(8)}), Expr(F(4)), "", "", 1e-15},
    {BuiltinLogMeanValue, Ops({T(-2), T(-8)}), Expr(T(4)), "", "", 1e-15},
    {BuiltinLogMeanValue, Ops({F(1e300), F(1e300), F(1e300)}), Expr(F(1e300)), "", "", 1e-13},
    {BuiltinLogMeanValue,
     Ops({F(-2), F(8)}),
     {},
     "The product of Inputs Operand 1 to Operand 2 must be greater than 0."},
    {BuiltinLogMeanValue,
     Ops({F(2), F(8), F(0)}),
     {},
     "The product of Inputs Operand 1 to Operand 3 must be greater than 0."},
    // Angles in turns, with the program's pi.
    {BuiltinSine, {{"Angle", A(0.25)}}, Expr(F(1)), "", "", 1e-9},
    {BuiltinSine, {{"Angle", A(0.25)}, {"Factor", T(2)}}, Expr(T(2)), "", "", 1e-9},
    {BuiltinCosine, {{"Angle", A(0.5)}}, Expr(F(-1)), "", "", 1e-8},
    {BuiltinSine, {{"Angle", F(0.25)}}, {}, "Type of Angle must be a Angle (Place in Wave)."},
    {BuiltinTangent, {{"Angle", A(0.25)}}, Expr(F(0))},
    {BuiltinTangent, {{"Angle", A(-1.25)}, {"Factor", F(3)}}, Expr(F(0))},
    {BuiltinTangent, {{"Angle", A(0.75)}, {"Min", F(1)}}, Expr(F(1))},
    {BuiltinTangent, {{"Angle", A(0.125)}, {"Max", F(0.5)}}, Expr(F(0.5))},
    {BuiltinTangent, {{"Angle", A(0.125)}}, Expr(F(std::tan(programPi / 4)))},
    {BuiltinTangent, {{"Angle", A(0.125)}, {"Factor", T(0)}, {"Min", T(1)}}, Expr(T(0))},
    {BuiltinTangent,
     {{"Angle", A(0.125)}, {"Min", T(1)}},
     {},
     "Type of Min must be type Factor, if Input Factor is not used."},
    {BuiltinTangent,
     {{"Angle", A(0.125)}, {"Max", I(1)}},
     {},
     "Type of Max must be type Factor, if Input Factor is not used."},
    {BuiltinTangent,
     {{"Angle", A(0.125)}, {"Factor", F(2)}, {"Min", T(1)}},
     {},
     "Inputs Factor and Min must be of the same type."},
    {BuiltinTangent,
     {{"Angle", A(0.125)}, {"Factor", F(2)}, {"Max", T(1)}},
     {},
     "Inputs Factor and Max must be of the same type."},
    {BuiltinArcSine,
     {{"Expression", F(1)}},
     {{"Angle", A(std::asin(1.0) / (2 * programPi))}},
     "",
     "",
     1e-12},
    {BuiltinArcSine,
     {{"Expression", L(1.5)}, {"Factor Repricoke", L(2)}},
     {{"Angle", A(std::asin(0.75) / (2 * programPi))}},
     "",
     "",
     1e-12},
    {BuiltinArcCosine,
     {{"Expression", F(-1)}},
     {{"Angle", A(std::acos(-1.0) / (2 * programPi))}},
     "",
     "",
     1e-12},
    {BuiltinArcTangent,
     {{"Expression", F(1e308)}},
     {{"Angle", A(std::atan(1e308) / (2 * programPi))}},
     "",
     "",
     1e-12},
    {BuiltinArcSine,
     {{"Expression", F(1.5)}},
     {},
     "Cannot take an Arc Sine of a value greater than 1."},
    {BuiltinArcSine,
     {{"Expression", F(-1.0000001)}},
     {},
     "Cannot take an Arc Sine of a value less than -1."},
    {BuiltinArcCosine,
     {{"Expression", F(1.5)}},
     {},
     "Cannot take an Arc Cosine of a value greater than 1."},
    {BuiltinArcCosine,
     {{"Expression", F(-1.5)}},
     {},
     "Cannot take an Arc Cosine of a value less than -1."},
    {BuiltinArcTangent,
     {{"Expression", T(1)}, {"Factor Repricoke", F(2)}},
     {},
     "Expression and Factor Repricoke must be of the same type."},
    {BuiltinArcTangent,
     {{"Expression", T(1)}},
     {},
     "Type of Expression must be a Factor, if Factor Repricoke is not used."},
    {BuiltinArcSine,
     {{"Expression", F(1)}, {"Factor Repricoke", F(0)}},
     {},
     "Cannot divide by zero."},
    // Powers: whole exponents multiply out (a negative base works), huge ones end at once.
    {BuiltinPower, {{"Base", F(-2)}, {"Exponent", I(3)}}, Expr(F(-8))},
    {BuiltinPower,
     {{"Base", F(-2)}, {"Exponent", F(3)}},
     {},
     "Value of Input Base must be greater than 0, when Input Exponent is not an Integer."},
    {BuiltinPower,
     {{"Base", F(0)}, {"Exponent", F(0.5)}},
     {},
     "Value of Input Base must be greater than 0, when Input Exponent is not an Integer."},
    {BuiltinPower, {{"Base", F(2)}, {"Exponent", I(-2)}}, Expr(F(0.25))},
    {BuiltinPower, {{"Base", F(0)}, {"Exponent", I(-1)}}, {}, "Cannot divide by zero."},
    {BuiltinPower, {{"Base", F(0)}, {"Exponent", I(5)}}, Expr(F(0))},
    {BuiltinPower, {{"Base", F(0)}, {"Exponent", I(0)}}, Expr(F(1))},
    {BuiltinPower, {{"Base", F(4)}, {"Exponent", F(0.5)}}, Expr(F(2)), "", "", 1e-15},
    {BuiltinPower, {{"Base", F(2)}, {"Exponent", I(3)}, {"Factor", T(0.5)}}, Expr(T(4))},
    {BuiltinPower, {{"Base", F(-2)}, {"Exponent", I(65)}}, Expr(F(-36893488147419103232.0))},
    {BuiltinPower, {{"Base", F(-1)}, {"Exponent", I(1e12 + 1)}}, Expr(F(-1))},
    {BuiltinPower, {{"Base", F(2)}, {"Exponent", I(1e12)}}, {}, outOfRange},
    {BuiltinRoot, {{"Base", F(8)}, {"Root", F(3)}}, Expr(F(2)), "", "", 1e-15},
    {BuiltinRoot, {{"Base", F(4)}, {"Root", I(-2)}}, Expr(F(0.5)), "", "", 1e-15},
    {BuiltinRoot, {{"Base", F(1)}, {"Root", F(1e-10)}}, Expr(F(1))},
    {BuiltinRoot, {{"Base", F(2)}, {"Root", F(1e-10)}}, {}, outOfRange},
    {BuiltinRoot, {{"Base", F(8)}, {"Root", F(0)}}, {}, "Value of Input \"Root\" must not be 0."},
    {BuiltinRoot,
     {{"Base", F(-8)}, {"Root", F(3)}},
     {},
     "Cannot raise a negative value to a power with a fractional part."},
    {BuiltinLog, {{"Base", F(2)}, {"X", F(8)}}, Expr(F(3)), "", "", 1e-15},
    {BuiltinLog, {{"Base", F(10)}, {"X", F(100)}, {"Factor", L(2)}}, Expr(L(4)), "", "", 1e-15},
    {BuiltinLog,
     {{"Base", F(1)}, {"X", F(8)}},
     {},
     "Value of Input \"Base\" must be greater than 0 and other than 1."},
    {BuiltinLog,
     {{"Base", F(-2)}, {"X", F(8)}},
     {},
     "Value of Input \"Base\" must be greater than 0 and other than 1."},
    {BuiltinLog, {{"Base", F(2)}, {"X", F(0)}}, {}, "Value of Input \"X\" must be greater than 0."},
    // Random values: the checks before any draw counts.
    {BuiltinRandomValue,
     {{"Range Begin", I(1)}, {"Range End", F(2)}, {"Logaritmic", B(0)}},
     {},
     "Range Begin and Range End must be of the same type."},
    {BuiltinRandomValue,
     {{"Range Begin", F(-1)}, {"Range End", F(1)}, {"Logaritmic", B(1)}},
     {},
     "If Logaritmic is true, Range Begin and Range End must be both Positive or both Negative, "
     "never zero."},
    {BuiltinRandomValue,
     {{"Range Begin", F(0)}, {"Range End", F(1)}, {"Logaritmic", B(1)}},
     {},
     "If Logaritmic is true, Range Begin and Range End must be both Positive or both Negative, "
     "never zero."},
    {BuiltinRandomValue,
     {{"Range Begin", F(-1)}, {"Range End", F(0)}, {"Logaritmic", B(1)}},
     {},
     "If Logaritmic is true, Range Begin and Range End must be both Positive or both Negative, "
     "never zero."},
    {BuiltinRandomValue,
     {{"Range Begin", F(3)}, {"Range End", F(3)}, {"Logaritmic", B(1)}},
     Expr(F(3))},
    {BuiltinGaussianRandomValue,
     {{"Mean", T(1)}, {"Std Dev", F(1)}},
     {},
     "Mean and Std Dev must be of the same type."},
    {BuiltinGaussianRandomValue,
     {{"Mean", T(1)}, {"Std Dev", T(1)}, {"Max Dev", I(1)}},
     {},
     "Mean and Max Dev must be of the same type."},
    {BuiltinGaussianRandomValue, {{"Mean", T(1)}, {"Std Dev", T(0)}}, Expr(T(1))},
    // Ranges: steps towards minus infinity, the mapping unclamped.
    {BuiltinModuloInRange,
     {{"Value", F(7)}, {"Range Begin", F(0)}, {"Range End", F(5)}},
     {{"Whole Steps", I(1)}, {"Remainder", F(2)}, {"Put in Range", F(2)}}},
    {BuiltinModuloInRange,
     {{"Value", F(-1)}, {"Range Begin", F(0)}, {"Range End", F(5)}},
     {{"Whole Steps", I(-1)}, {"Remainder", F(4)}, {"Put in Range", F(4)}}},
    {BuiltinModuloInRange,
     {{"Value", A(7.5)}, {"Range Begin", I(1)}, {"Range End", F(3)}},
     {{"Whole Steps", I(3)}, {"Remainder", F(0.5)}, {"Put in Range", F(1.5)}}},
    {BuiltinModuloInRange,
     {{"Value", T(7)}, {"Range Begin", T(5)}, {"Range End", T(5)}},
     {},
     "Input \"Range Begin\" must be smaller than \"Range End\"."},
    {BuiltinModuloInRange,
     {{"Value", T(7)}, {"Range Begin", F(0)}, {"Range End", T(5)}},
     {},
     "Inputs \"Value\" and \"Range Begin\" must be of the same type."},
    {BuiltinModuloInRange,
     {{"Value", T(7)}, {"Range Begin", T(0)}, {"Range End", F(5)}},
     {},
     "Inputs \"Value\" and \"Range End\" must be of the same type."},
    {BuiltinModuloInRange,
     {{"Value", F(3e9)}, {"Range Begin", F(0)}, {"Range End", F(1)}},
     {},
     "The value of Output \"Whole Steps\" is out of range."},
    {BuiltinConvertRange,
     {{"Value", F(5)},
      {"Range Input Begin", F(0)},
      {"Range Input End", F(10)},
      {"Range Output Begin", F(100)},
      {"Range Output End", F(200)}},
     {{"Value", F(150)}}},
    {BuiltinConvertRange,
     {{"Value", I(20)},
      {"Range Input Begin", F(0)},
      {"Range Input End", A(10)},
      {"Range Output Begin", A(100)},
      {"Range Output End", F(200)}},
     {{"Value", F(300)}}},
    {BuiltinConvertRange,
     {{"Value", T(5)},
      {"Range Input Begin", T(2)},
      {"Range Input End", T(2)},
      {"Range Output Begin", F(100)},
      {"Range Output End", F(200)}},
     {},
     "Inputs \"Range Input Begin\" and \"Range Input End\" must have a different value."},
    {BuiltinConvertRange,
     {{"Value", T(5)},
      {"Range Input Begin", T(0)},
      {"Range Input End", T(2)},
      {"Range Output Begin", T(100)},
      {"Range Output End", F(200)}},
     {},
     "Inputs \"Range Output Begin\" and \"Range Output End\" must be of the same type."},
    // Positions at 44100 Hz, from "Sample Freq" or from the wave.
    {BuiltinPosToTimeAtWave,
     {{"Sample Freq", SF(44100)}, {"Wave Position", P(22050.9)}},
     {{"Time", T(0.5)}}},
    {BuiltinPosToTimeAtWave, {{"Wave Position", P(44100)}}, {{"Time", T(1)}}, "", "mono"},
    {BuiltinPosToTimeAtWave,
     {{"Sample Freq", SF(0.9)}, {"Wave Position", P(1)}},
     {},
     "Value of Input \"Sample Freq\" must be greater than 0."},
    {BuiltinPosToTimeAtWave,
     {{"Sample Freq", SF(44100)}, {"Wave Position", P(-3e9)}},
     {},
     "The value of Input \"Wave Position\" is out of range."},
    {BuiltinPosToTimeAtWave,
     {{"Sample Freq", SF(1e10)}, {"Wave Position", P(1)}},
     {},
     "The value of Input \"Sample Freq\" is out of range."},
    {BuiltinTimeToPosAtWave,
     {{"Sample Freq", SF(44100)}, {"Time", T(0.5)}},
     {{"Wave Position", P(22050)}}},
    {BuiltinTimeToPosAtWave, {{"Time", T(0.00001)}}, {{"Wave Position", P(0)}}, "", "mono"},
    {BuiltinTimeToPosAtWave,
     {{"Sample Freq", SF(44100)}, {"Time", T(1e6)}},
     {},
     "The value of Output \"Wave Position\" is out of range."},
    {BuiltinPointInWave,
     {{"Wave Position", P(3.9)}},
     {{"Wave Value Left", W(40)}, {"Wave Value Right", W(40)}, {"Wave Value Middle", W(40)}},
     "",
     "mono"},
    {BuiltinPointInWave,
     {{"Time", T(2.0 / 1024)}},
     {{"Wave Value Left", W(30)}, {"Wave Value Right", W(30)}, {"Wave Value Middle", W(30)}},
     "",
     "slow"},
    {BuiltinPointInWave,
     {{"Wave Position", P(-0.5)}},
     {{"Wave Value Left", W(1)}, {"Wave Value Right", W(5)}, {"Wave Value Middle", W(3)}},
     "",
     "stereo"},
    {BuiltinPointInWave, {{"Wave Position", P(4)}}, {}, "Pointed outside the Wave.", "mono"},
    {BuiltinPointInWave, {{"Wave Position", P(-1)}}, {}, "Pointed outside the Wave.", "mono"},
    {BuiltinPointInWave, {{"Wave Position", P(1e300)}}, {}, "Pointed outside the Wave.", "mono"},
    {BuiltinPointInWave, {{"Wave Position", P(0)}}, {}, "Wave is empty.", "empty"},
    {BuiltinPointInWave,
     {{"Wave Position", P(0)}},
     {},
     "Node Input \"Wave\" got no Sound.",
     "none"},
};

struct WorkedResults : ComputeFixture, ::testing::WithParamInterface<Worked>
{
    SoundPtr Sound(const std::string& name)
    {
        if (name == "stereo")
            return StereoOf({1, 2}, {5, 6});
        if (name == "empty")
            return MonoOf({});
        if (name == "none")
            return nullptr;
        return MonoOf({10, 20, 30, 40}, name == "slow" ? 1024 : 44100);
    }
};

TEST_P(WorkedResults, GiveTheirValueAndTypeOrTheirMessage)
{
    const Worked& row = GetParam();
    int operands = 0;
    for (const auto& [name, value] : row.inputs)
        operands += name.starts_with("Operand ") ? 1 : 0;
    Make(row.kind, operands);
    Give(row.inputs);
    if (!row.wave.empty())
        Give("Wave", Sound(row.wave));
    SeedRandom15(1);
    bool ok = Compute();
    if (row.outputs.empty()) {
        EXPECT_FALSE(ok);
        EXPECT_EQ(message, row.message);
        return;
    }
    ASSERT_TRUE(ok) << message;
    for (const auto& [name, expected] : row.outputs) {
        TSntValue actual = Output(name);
        EXPECT_EQ(actual.valueType, expected.valueType) << name;
        if (row.tolerance == 0)
            EXPECT_EQ(actual.value, expected.value) << name;
        else
            EXPECT_NEAR(actual.value, expected.value,
                        row.tolerance * std::max(1.0, std::abs(expected.value)))
                << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, WorkedResults, ::testing::ValuesIn(workedTable));

struct RandomValues : ComputeFixture
{
    static constexpr int draws = 100000;
};

TEST_F(RandomValues, SpreadEvenlyOverTheirRange)
{
    SeedRandom15(1);
    double sum = 0;
    int low = 0;
    for (int i = 0; i < draws; ++i) {
        TSntValue value = T(10);
        ASSERT_TRUE(MakeRandomValue(value, T(20), false, message)) << message;
        ASSERT_GE(value.value, 10);
        ASSERT_LT(value.value, 20);
        EXPECT_EQ(value.valueType, ValueType::Time);
        sum += value.value;
        low += value.value < 11.47 ? 1 : 0;
    }
    // Five standard errors; a draw of too few bits would pile up at the begin, one folded
    // modulo a decimal bound would make the first seventh half as likely again.
    EXPECT_NEAR(sum / draws, 15, 0.05);
    EXPECT_NEAR(double(low) / draws, 0.147, 0.006);
}

TEST_F(RandomValues, LogaritmicSpreadsTheLogarithmEvenly)
{
    SeedRandom15(2);
    double logSum = 0;
    int belowTen = 0;
    for (int i = 0; i < draws; ++i) {
        TSntValue value = F(1);
        ASSERT_TRUE(MakeRandomValue(value, F(100), true, message)) << message;
        ASSERT_GE(value.value, 1);
        ASSERT_LT(value.value, 100);
        logSum += std::log10(value.value);
        belowTen += value.value < 10 ? 1 : 0;
    }
    EXPECT_NEAR(logSum / draws, 1, 0.01);
    EXPECT_NEAR(double(belowTen) / draws, 0.5, 0.008);
}

TEST_F(RandomValues, FollowTheirSeedsAndTheGaussianOnesTheSeedCommandsGenerator)
{
    auto series = [this](SntBuiltinAction kind, const PinValues& inputs) {
        Make(kind);
        Give(inputs);
        std::vector<double> values;
        for (int i = 0; i < 5; ++i) {
            EXPECT_TRUE(Compute()) << message;
            values.push_back(Output("Expression").value);
        }
        return values;
    };
    const PinValues gauss = {{"Mean", F(0)}, {"Std Dev", F(1)}};
    SetRuntimeRandomState(1);
    std::vector<double> first = series(BuiltinGaussianRandomValue, gauss);
    SetRuntimeRandomState(1);
    EXPECT_EQ(series(BuiltinGaussianRandomValue, gauss), first);
    EXPECT_NE(first[0], first[1]);
    // The uniform values come from the other generator: its seed alone fixes them.
    const PinValues uniform = {{"Range Begin", F(0)}, {"Range End", F(1)}, {"Logaritmic", B(0)}};
    SeedRandom15(9);
    SetRuntimeRandomState(5);
    std::vector<double> uniformFirst = series(BuiltinRandomValue, uniform);
    SeedRandom15(9);
    SetRuntimeRandomState(77);
    EXPECT_EQ(series(BuiltinRandomValue, uniform), uniformFirst);
}

TEST_F(RandomValues, MaxDevClampsAboutTheMean)
{
    SetRuntimeRandomState(3);
    int atBound = 0;
    for (int i = 0; i < 200; ++i) {
        TSntValue value = T(1);
        ASSERT_TRUE(MakeGaussianRandomValue(value, T(10), T(0.5), message)) << message;
        ASSERT_GE(value.value, 0.5);
        ASSERT_LE(value.value, 1.5);
        atBound += value.value == 0.5 || value.value == 1.5 ? 1 : 0;
    }
    // A deviation of 10 passes 0.5 nearly always: the bound is where the values land.
    EXPECT_GT(atBound, 180);
}

} // namespace
} // namespace kelvorn::test
