// What the value kinds compute: the results, types and messages of the table
// golden/value_kinds.txt, and the random values over many draws.
#include "factory/builtins/ValueFunctions.h"
#include "factory_builtins/ComputeKit.h"
#include "general/random/Random15.h"
#include "general/random/RuntimeRandom.h"

namespace kelvorn::test {
namespace {

using PinValues = std::vector<std::pair<std::string, TSntValue>>;

// "Base=Factor 2; Exponent=Integer 3"; an entry without a name is the next operand (unnamed
// "Operand") or the output "Expression".
PinValues Pins(const std::string& cell, const std::string& unnamed)
{
    PinValues pins;
    int operand = 0;
    for (size_t from = 0; from < cell.size();) {
        size_t end = std::min(cell.find("; ", from), cell.size());
        std::string entry = cell.substr(from, end - from);
        size_t equals = entry.find('=');
        std::string name = equals != std::string::npos ? entry.substr(0, equals)
                           : unnamed == "Operand"      ? "Operand " + std::to_string(++operand)
                                                       : unnamed;
        pins.push_back({name, ParseValue(entry.substr(equals + 1))});
        from = end + 2;
    }
    return pins;
}

struct ValueFunctions : ComputeFixture
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
    static constexpr int draws = 100000;
};

TEST_F(ValueFunctions, GiveTheResultsTypesAndMessagesOfTheTable)
{
    for (const auto& row : GoldenRows("value_kinds.txt")) {
        ASSERT_GE(row.size(), 3u);
        const std::string context = row[0] + "|" + row[1];
        const PinValues inputs = Pins(row[1], "Operand");
        Make(uint8_t(FindBuiltinActionName(row[0])),
             std::count_if(inputs.begin(), inputs.end(),
                           [](const auto& pin) { return pin.first.starts_with("Operand "); }));
        for (const auto& [name, value] : inputs)
            Feed(name)->SetValue(value);
        if (row.size() > 3 && !row[3].empty())
            Feed("Wave")->SetSound(Sound(row[3]));
        SeedRandom15(1);
        SetRuntimeRandomState(1);
        const bool ok = Compute();
        if (row[2].starts_with("!")) {
            EXPECT_FALSE(ok) << context;
            EXPECT_EQ(message, row[2].substr(1)) << context;
            continue;
        }
        EXPECT_TRUE(ok) << context << ": " << message;
        const double tolerance = row.size() > 4 ? std::stod(row[4]) : 0;
        for (const auto& [name, expected] : Pins(row[2], "Expression")) {
            const TSountoryNodeOutput* output = node->FindOutputByName(name);
            ASSERT_NE(output, nullptr) << context << " " << name;
            EXPECT_EQ(output->GetValue().valueType, expected.valueType) << context << " " << name;
            EXPECT_NEAR(output->GetValue().value, expected.value,
                        tolerance * std::max(1.0, std::abs(expected.value)))
                << context << " " << name;
        }
    }
    // The value kinds own 40 to 76 of the computations' table, no more.
    EXPECT_EQ(GetValueCompute(BuiltinPlus - 1), nullptr);
    EXPECT_EQ(GetValueCompute(BuiltinKindCount), nullptr);
}

// Five standard errors over 100,000 draws: too few bits pile the values up at the begin, a draw
// folded modulo a decimal bound makes the first seventh of the range half as likely again.
TEST_F(ValueFunctions, RandomValuesSpreadEvenlyOverTheirRangeOrItsLogarithm)
{
    struct Case
    {
        TSntValue begin, end;
        bool logarithmic;
    };
    for (Case c : {Case{{10, ValueType::Time}, {20, ValueType::Time}, false},
                   Case{{1, ValueType::Factor}, {100, ValueType::Factor}, true}}) {
        SeedRandom15(1);
        SetRuntimeRandomState(5);
        double sum = 0;
        int first = 0;
        for (int i = 0; i < draws; ++i) {
            TSntValue value = c.begin;
            ASSERT_TRUE(MakeRandomValue(value, c.end, c.logarithmic, message)) << message;
            ASSERT_EQ(value.valueType, c.begin.valueType);
            // Where in [0, 1) of the range (or of its logarithm) the value lies.
            double x = c.logarithmic
                           ? std::log(value.value / c.begin.value) / std::log(c.end.value)
                           : (value.value - c.begin.value) / (c.end.value - c.begin.value);
            ASSERT_GE(x, 0);
            ASSERT_LT(x, 1);
            sum += x;
            first += x < 0.147 ? 1 : 0;
        }
        EXPECT_NEAR(sum / draws, 0.5, 0.005) << c.logarithmic;
        EXPECT_NEAR(double(first) / draws, 0.147, 0.006) << c.logarithmic;
        // The Gaussian values' generator is another one.
        EXPECT_EQ(RuntimeRandomState(), 5u);
    }
}

TEST_F(ValueFunctions, GaussianValuesAreNormalFollowTheSeedAndClampToMaxDev)
{
    auto draw = [this](uint32_t seed, int count, std::optional<TSntValue> maxDev) {
        SetRuntimeRandomState(seed);
        std::vector<double> values;
        for (int i = 0; i < count; ++i) {
            TSntValue value(1, ValueType::Time);
            EXPECT_TRUE(MakeGaussianRandomValue(value, {10, ValueType::Time}, maxDev, message));
            values.push_back(value.value);
        }
        return values;
    };
    std::vector<double> normal = draw(1, draws, {});
    double sum = 0;
    double squares = 0;
    for (double v : normal) {
        sum += v;
        squares += (v - 1) * (v - 1);
    }
    EXPECT_NEAR(sum / draws, 1, 0.2);
    EXPECT_NEAR(std::sqrt(squares / draws), 10, 0.15);
    EXPECT_EQ(draw(1, 20, {}), std::vector<double>(normal.begin(), normal.begin() + 20));
    EXPECT_NE(draw(2, 20, {}), draw(1, 20, {}));
    std::vector<double> clamped = draw(1, 200, TSntValue(0.5, ValueType::Time));
    EXPECT_EQ(
        std::count_if(clamped.begin(), clamped.end(), [](double v) { return v < 0.5 || v > 1.5; }),
        0);
    // A deviation of 10 nearly always passes 0.5: the values land on the bounds.
    EXPECT_GT(std::count_if(clamped.begin(), clamped.end(),
                            [](double v) { return v == 0.5 || v == 1.5; }),
              180);
}

} // namespace
} // namespace kelvorn::test
