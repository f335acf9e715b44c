#include "factory/builtins/ValueFunctions.h"

#include "factory/builtins/BuiltinNode.h"
#include "factory/core/SntValueMath.h"
#include "general/numeric/NumericHelpers.h"
#include "general/random/Random15.h"
#include "general/random/RuntimeRandom.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

namespace kelvorn {

namespace {

using Node = TSountoryNodeBuiltin;

std::string Quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

// ---- reading and writing the pins a kind has ----

TSountoryNodeInput* FindInput(const Node& node, const std::string& name, std::string& message)
{
    TSountoryNodeInput* input = node.FindInputByName(name);
    if (!input)
        message = "Input " + Quoted(name) + " does not exists.";
    return input;
}

// An input the kind cannot do without; validation asks for its value, a node computed without
// validation is told here.
bool ReadValue(const Node& node, const std::string& name, TSntValue& value, std::string& message)
{
    if (!node.CheckMandatory(name, message))
        return false;
    value = node.FindInputByName(name)->GetSourceValue();
    return true;
}

// An input the kind reads when it is given (connected, or holding a constant).
bool ReadOptional(const Node& node, const std::string& name, std::optional<TSntValue>& value,
                  std::string& message)
{
    const TSountoryNodeInput* input = FindInput(node, name, message);
    if (!input)
        return false;
    value.reset();
    if (input->HasValue())
        value = input->GetSourceValue();
    return true;
}

bool ReadSound(const Node& node, const std::string& name, SoundPtr& sound, std::string& message)
{
    if (!node.CheckMandatory(name, message))
        return false;
    sound = node.FindInputByName(name)->GetSound();
    if (sound)
        return true;
    message = "Node Input " + Quoted(name) + " got no Sound.";
    return false;
}

// A value leaves a node finite or not at all: an overflowing sum, product or quotient stops the
// run here instead of travelling on as infinity or not-a-number.
bool WriteValue(Node& node, const std::string& name, const TSntValue& value, std::string& message)
{
    TSountoryNodeOutput* output = node.FindOutputByName(name);
    if (!output) {
        message = "Output " + Quoted(name) + " does not exists.";
        return false;
    }
    if (!std::isfinite(value.value)) {
        message = "The value of Output " + Quoted(name) + " is out of range.";
        return false;
    }
    output->SetValue(value);
    return true;
}

// Positions, sample frequencies and step counts are whole numbers of 32 bits; what lies beyond
// (or is not a number) is refused rather than converted.
bool TruncateToInt32(double x, const std::string& pin, int32_t& result, std::string& message)
{
    const double whole = std::trunc(x);
    if (whole >= std::numeric_limits<int32_t>::min() &&
        whole <= std::numeric_limits<int32_t>::max()) {
        result = static_cast<int32_t>(whole);
        return true;
    }
    message = "The value of " + pin + " is out of range.";
    return false;
}

bool CheckSameType(const std::string& a, const TSntValue& valueA, const std::string& b,
                   const TSntValue& valueB, std::string& message)
{
    if (valueA.GetUnitType() == valueB.GetUnitType())
        return true;
    message = "Inputs " + Quoted(a) + " and " + Quoted(b) + " must be of the same type.";
    return false;
}

bool IsOperandName(const std::string& name)
{
    return name.starts_with("Operand");
}

// The values of "Operand 1" ... "Operand n". The node's operands are checked as validation
// checks them, so a file with a gap, a stray number or a single operand reads nothing that is
// not there.
bool GatherOperands(const Node& node, std::vector<TSntValue>& operands, std::string& message)
{
    if (!node.CheckOperandsMandatory(message))
        return false;
    const auto count = std::count_if(node.Inputs().begin(), node.Inputs().end(),
                                     [](const auto& in) { return IsOperandName(in->Name); });
    operands.clear();
    for (int64_t number = 1; number <= count; ++number) {
        TSntValue value;
        if (!ReadValue(node, "Operand " + std::to_string(number), value, message))
            return false;
        operands.push_back(value);
    }
    return true;
}

// ---- the kinds ----

bool OperandKind(Node& node, SntStopFlag*, std::string& message)
{
    std::vector<TSntValue> operands;
    if (!GatherOperands(node, operands, message))
        return false;
    const auto kind = static_cast<SntBuiltinAction>(node.GetBuiltinAction());
    TSntValue result;
    switch (kind) {
    case BuiltinMultiply:
        if (!MultiplyValues(result, operands, message))
            return false;
        break;
    case BuiltinDivide:
        result = operands[0];
        if (!result.DivideBy(operands[1], message))
            return false;
        break;
    case BuiltinAnd:
    case BuiltinOr:
    case BuiltinNand:
    case BuiltinNor:
    case BuiltinXor:
    case BuiltinImp:
        result = LogicValues(kind, operands);
        break;
    default:
        // Every other operand kind takes operands of one unit type.
        if (!CheckOperandsSameType(operands, message))
            return false;
        if (kind == BuiltinPlus) {
            result = PlusValues(operands);
        } else if (kind == BuiltinMinus) {
            result = operands[0];
            result.Subtract(operands[1]);
        } else if (kind == BuiltinMinimum || kind == BuiltinMaximum) {
            result = MinMaxValues(kind, operands);
        } else if (kind == BuiltinMeanValue || kind == BuiltinLogMeanValue) {
            if (!MeanValues(result, kind, operands, message))
                return false;
        } else {
            result = CompareValues(kind, operands);
        }
        break;
    }
    return WriteValue(node, "Expression", result, message);
}

bool NotKind(Node& node, SntStopFlag*, std::string& message)
{
    TSntValue operand;
    if (!ReadValue(node, "Operand", operand, message))
        return false;
    operand.Not();
    return WriteValue(node, "Expression", operand, message);
}

bool AngleKind(Node& node, SntStopFlag*, std::string& message)
{
    TSntValue angle;
    std::optional<TSntValue> factor;
    if (!ReadValue(node, "Angle", angle, message) || !ReadOptional(node, "Factor", factor, message))
        return false;
    bool ok = false;
    switch (node.GetBuiltinAction()) {
    case BuiltinSine:
        ok = angle.Sine(factor, message);
        break;
    case BuiltinCosine:
        ok = angle.Cosine(factor, message);
        break;
    default: {
        std::optional<TSntValue> min;
        std::optional<TSntValue> max;
        ok = ReadOptional(node, "Min", min, message) && ReadOptional(node, "Max", max, message) &&
             angle.Tangent(factor, min, max, message);
        break;
    }
    }
    return ok && WriteValue(node, "Expression", angle, message);
}

bool ArcKind(Node& node, SntStopFlag*, std::string& message)
{
    TSntValue expression;
    std::optional<TSntValue> repricoke;
    if (!ReadValue(node, "Expression", expression, message) ||
        !ReadOptional(node, "Factor Repricoke", repricoke, message))
        return false;
    bool ok = false;
    switch (node.GetBuiltinAction()) {
    case BuiltinArcSine:
        ok = expression.ArcSine(repricoke, message);
        break;
    case BuiltinArcCosine:
        ok = expression.ArcCosine(repricoke, message);
        break;
    default:
        ok = expression.ArcTangent(repricoke, message);
        break;
    }
    return ok && WriteValue(node, "Angle", expression, message);
}

// Power, Root and Log: "Base", the second operand and an optional "Factor".
bool PowerKind(Node& node, SntStopFlag*, std::string& message)
{
    const auto kind = node.GetBuiltinAction();
    const char* second = kind == BuiltinPower ? "Exponent" : kind == BuiltinRoot ? "Root" : "X";
    TSntValue base;
    TSntValue operand;
    std::optional<TSntValue> factor;
    if (!ReadValue(node, "Base", base, message) || !ReadValue(node, second, operand, message) ||
        !ReadOptional(node, "Factor", factor, message))
        return false;
    bool ok = kind == BuiltinPower  ? base.Power(operand, factor, message)
              : kind == BuiltinRoot ? base.Root(operand, factor, message)
                                    : base.Log(operand, factor, message);
    return ok && WriteValue(node, "Expression", base, message);
}

bool RandomKind(Node& node, SntStopFlag*, std::string& message)
{
    TSntValue begin;
    TSntValue end;
    TSntValue logarithmic;
    if (!ReadValue(node, "Range Begin", begin, message) ||
        !ReadValue(node, "Range End", end, message) ||
        !ReadValue(node, "Logaritmic", logarithmic, message))
        return false;
    return MakeRandomValue(begin, end, logarithmic.value != 0, message) &&
           WriteValue(node, "Expression", begin, message);
}

bool GaussianKind(Node& node, SntStopFlag*, std::string& message)
{
    TSntValue mean;
    TSntValue stdDev;
    std::optional<TSntValue> maxDev;
    if (!ReadValue(node, "Mean", mean, message) || !ReadValue(node, "Std Dev", stdDev, message) ||
        !ReadOptional(node, "Max Dev", maxDev, message))
        return false;
    return MakeGaussianRandomValue(mean, stdDev, maxDev, message) &&
           WriteValue(node, "Expression", mean, message);
}

// The three inputs of a switch, each with its value, and the one its "Switch" chooses.
struct SwitchInputs
{
    TSountoryNodeInput* condition = nullptr;
    TSountoryNodeInput* chosen = nullptr;
    TSountoryNodeInput* other = nullptr;
};

bool FindSwitchInputs(const Node& node, SwitchInputs& inputs, std::string& message)
{
    for (const char* name : {"Switch", "When True", "When False"})
        if (!node.CheckMandatory(name, message))
            return false;
    inputs.condition = node.FindInputByName("Switch");
    inputs.chosen = node.FindInputByName("When True");
    inputs.other = node.FindInputByName("When False");
    return true;
}

void Choose(SwitchInputs& inputs)
{
    if (inputs.condition->GetSourceValue().value == 0)
        std::swap(inputs.chosen, inputs.other);
}

bool SwitchKind(Node& node, SntStopFlag*, std::string& message)
{
    SwitchInputs inputs;
    if (!FindSwitchInputs(node, inputs, message))
        return false;
    Choose(inputs);
    if (node.GetBuiltinAction() == BuiltinSwitchValue)
        return WriteValue(node, "Chosen", inputs.chosen->GetSourceValue(), message);
    TSountoryNodeOutput* chosen = node.FindOutputByName("Chosen");
    if (!chosen) {
        message = "Output \"Chosen\" does not exists.";
        return false;
    }
    SoundPtr sound = inputs.chosen->GetSound();
    if (!sound) {
        message = "Node Input " + Quoted(inputs.chosen->Name) + " got no Sound.";
        return false;
    }
    // The sound is handed on, not copied: its maker keeps it for the rest of the run.
    inputs.chosen->KeepSourceSound();
    chosen->SetSound(std::move(sound));
    return true;
}

// The sample frequency of kinds 72 and 73: "Sample Freq" when it is given, else the wave's.
bool ReadSampleFrequency(const Node& node, int32_t& frequency, std::string& message)
{
    const TSountoryNodeInput* given = FindInput(node, "Sample Freq", message);
    if (!given || !FindInput(node, "Wave", message))
        return false;
    if (given->HasValue()) {
        if (!TruncateToInt32(given->GetSourceValue().value, "Input \"Sample Freq\"", frequency,
                             message))
            return false;
        if (frequency > 0)
            return true;
        message = "Value of Input \"Sample Freq\" must be greater than 0.";
        return false;
    }
    SoundPtr sound;
    if (!ReadSound(node, "Wave", sound, message))
        return false;
    frequency = sound->GetSampleFreq();
    if (frequency > 0)
        return true;
    message = "The sample frequency of Input \"Wave\" must be greater than 0.";
    return false;
}

bool PosToTimeKind(Node& node, SntStopFlag*, std::string& message)
{
    int32_t frequency = 0;
    TSntValue position;
    int32_t samples = 0;
    if (!ReadSampleFrequency(node, frequency, message) ||
        !ReadValue(node, "Wave Position", position, message) ||
        !TruncateToInt32(position.value, "Input \"Wave Position\"", samples, message))
        return false;
    return WriteValue(node, "Time", TSntValue(double(samples) / frequency, ValueType::Time),
                      message);
}

bool TimeToPosKind(Node& node, SntStopFlag*, std::string& message)
{
    int32_t frequency = 0;
    TSntValue time;
    int32_t samples = 0;
    if (!ReadSampleFrequency(node, frequency, message) || !ReadValue(node, "Time", time, message) ||
        !TruncateToInt32(frequency * time.value, "Output \"Wave Position\"", samples, message))
        return false;
    return WriteValue(node, "Wave Position", TSntValue(samples, ValueType::PlaceInWindow), message);
}

bool PointInWaveKind(Node& node, SntStopFlag*, std::string& message)
{
    SoundPtr sound;
    const TSountoryNodeInput* position = nullptr;
    if (!ReadSound(node, "Wave", sound, message) ||
        !(position = FindInput(node, "Wave Position", message)) ||
        !FindInput(node, "Time", message))
        return false;
    TSntValue at;
    if (position->HasValue())
        at = position->GetSourceValue();
    else if (ReadValue(node, "Time", at, message))
        at = at.Scale(sound->GetSampleFreq());
    else
        return false;
    const int32_t length = sound->GetValues();
    if (length == 0) {
        message = "Wave is empty.";
        return false;
    }
    const double sample = std::trunc(at.value);
    if (!(sample >= 0 && sample < length)) {
        message = "Pointed outside the Wave.";
        return false;
    }
    double left = 0;
    double right = 0;
    double middle = 0;
    sound->GetValueAt(sample, left, right, middle);
    return WriteValue(node, "Wave Value Left", TSntValue(left, ValueType::WaveValue), message) &&
           WriteValue(node, "Wave Value Right", TSntValue(right, ValueType::WaveValue), message) &&
           WriteValue(node, "Wave Value Middle", TSntValue(middle, ValueType::WaveValue), message);
}

bool ModuloKind(Node& node, SntStopFlag*, std::string& message)
{
    TSntValue value;
    TSntValue begin;
    TSntValue end;
    if (!ReadValue(node, "Value", value, message) ||
        !ReadValue(node, "Range Begin", begin, message) ||
        !ReadValue(node, "Range End", end, message) ||
        !CheckSameType("Value", value, "Range Begin", begin, message) ||
        !CheckSameType("Value", value, "Range End", end, message))
        return false;
    if (!(begin.value < end.value)) {
        message = "Input \"Range Begin\" must be smaller than \"Range End\".";
        return false;
    }
    const double width = end.value - begin.value;
    const double steps = std::floor((value.value - begin.value) / width);
    int32_t wholeSteps = 0;
    if (!TruncateToInt32(steps, "Output \"Whole Steps\"", wholeSteps, message))
        return false;
    const ValueType type = value.GetUnitType();
    const double inRange = value.value - steps * width;
    return WriteValue(node, "Whole Steps", TSntValue(wholeSteps, ValueType::Integer), message) &&
           WriteValue(node, "Remainder", TSntValue(inRange - begin.value, type), message) &&
           WriteValue(node, "Put in Range", TSntValue(inRange, type), message);
}

bool ConvertRangeKind(Node& node, SntStopFlag*, std::string& message)
{
    TSntValue value;
    TSntValue inBegin;
    TSntValue inEnd;
    TSntValue outBegin;
    TSntValue outEnd;
    if (!ReadValue(node, "Value", value, message) ||
        !ReadValue(node, "Range Input Begin", inBegin, message) ||
        !ReadValue(node, "Range Input End", inEnd, message) ||
        !ReadValue(node, "Range Output Begin", outBegin, message) ||
        !ReadValue(node, "Range Output End", outEnd, message) ||
        !CheckSameType("Value", value, "Range Input Begin", inBegin, message) ||
        !CheckSameType("Value", value, "Range Input End", inEnd, message) ||
        !CheckSameType("Range Output Begin", outBegin, "Range Output End", outEnd, message))
        return false;
    if (inBegin.value == inEnd.value) {
        message = "Inputs \"Range Input Begin\" and \"Range Input End\" must have a different "
                  "value.";
        return false;
    }
    const double mapped =
        LinearMap(value.value, inBegin.value, inEnd.value, outBegin.value, outEnd.value);
    return WriteValue(node, "Value", TSntValue(mapped, outBegin.GetUnitType()), message);
}

// Indexed by kind - BuiltinPlus.
constexpr std::array<TBuiltinCompute, BuiltinKindCount - BuiltinPlus> valueComputations{
    OperandKind,      // 40 Plus
    OperandKind,      // 41 Multiply
    OperandKind,      // 42 Minus
    OperandKind,      // 43 Divide
    NotKind,          // 44 Not
    OperandKind,      // 45 And
    OperandKind,      // 46 Or
    OperandKind,      // 47 Nand
    OperandKind,      // 48 Nor
    OperandKind,      // 49 Xor
    OperandKind,      // 50 Imp
    AngleKind,        // 51 Sine
    AngleKind,        // 52 Cosine
    AngleKind,        // 53 Tangent
    ArcKind,          // 54 ArcSine
    ArcKind,          // 55 ArcCosine
    ArcKind,          // 56 ArcTangent
    PowerKind,        // 57 Power
    PowerKind,        // 58 Root
    PowerKind,        // 59 Log
    RandomKind,       // 60 RandomValue
    GaussianKind,     // 61 GaussianRandomValue
    OperandKind,      // 62 Unequal
    OperandKind,      // 63 Equal
    OperandKind,      // 64 Greater
    OperandKind,      // 65 GreaterEqual
    OperandKind,      // 66 Minimum
    OperandKind,      // 67 Maximum
    SwitchKind,       // 68 SwitchWave
    SwitchKind,       // 69 SwitchValue
    OperandKind,      // 70 MeanValue
    OperandKind,      // 71 LogMeanValue
    PosToTimeKind,    // 72 PosToTimeAtWave
    TimeToPosKind,    // 73 TimeToPosAtWave
    PointInWaveKind,  // 74 PointInWave
    ModuloKind,       // 75 ModuloInRange
    ConvertRangeKind, // 76 ConvertRange
};

} // namespace

TBuiltinCompute GetValueCompute(int32_t kind)
{
    return kind >= BuiltinPlus && kind < BuiltinKindCount
               ? valueComputations[static_cast<size_t>(kind - BuiltinPlus)]
               : nullptr;
}

bool CalculateSwitch(TSountoryNodeBuiltin& node, SntStopFlag* stop, std::string& message)
{
    if (node.IsCalculated())
        return true;
    SwitchInputs inputs;
    if (!FindSwitchInputs(node, inputs, message))
        return node.FailComputation(stop, message);
    if (!node.CalculateInput(*inputs.condition, stop, message))
        return false;
    Choose(inputs);
    const bool chosenOk = node.CalculateInput(*inputs.chosen, stop, message);
    // The branch not taken gives back its uses whatever became of the chosen one, so nothing
    // upstream computes for this node or holds a sound for it.
    inputs.other->ReleaseUnusedSource();
    if (!chosenOk || !node.ComputeInRun(stop, message))
        return false;
    inputs.condition->ReleaseSource();
    inputs.chosen->ReleaseSource();
    node.SetCalculated();
    return true;
}

bool CheckOperandsSameType(std::span<const TSntValue> operands, std::string& message)
{
    for (size_t i = 1; i < operands.size(); ++i)
        if (operands[i].GetUnitType() != operands[0].GetUnitType()) {
            message = "Inputs Operand 1 and Operand " + std::to_string(i + 1) +
                      " must be of the same type.";
            return false;
        }
    return true;
}

TSntValue LogicValues(SntBuiltinAction kind, std::span<const TSntValue> operands)
{
    bool acc = !operands.empty() && operands[0].value != 0;
    for (size_t i = 1; i < operands.size(); ++i) {
        const bool b = operands[i].value != 0;
        switch (kind) {
        case BuiltinAnd:
        case BuiltinNand:
            acc = acc && b;
            break;
        case BuiltinOr:
        case BuiltinNor:
            acc = acc || b;
            break;
        case BuiltinXor:
            acc = acc != b;
            break;
        default:
            acc = !acc || b;
            break;
        }
    }
    if (kind == BuiltinNand || kind == BuiltinNor)
        acc = !acc;
    return TSntValue(acc ? 1 : 0, ValueType::Boolean);
}

TSntValue CompareValues(SntBuiltinAction kind, std::span<const TSntValue> operands)
{
    // Greater is "at least" and GreaterEqual "strictly above": stored factories rely on it.
    auto holds = [kind](double a, double b) {
        switch (kind) {
        case BuiltinUnequal:
        case BuiltinEqual:
            return a == b;
        case BuiltinGreater:
            return a >= b;
        default:
            return a > b;
        }
    };
    bool all = true;
    for (size_t i = 0; i + 1 < operands.size(); ++i)
        all = all && holds(operands[i].value, operands[i + 1].value);
    const bool result = kind == BuiltinUnequal ? !all : all;
    return TSntValue(result ? 1 : 0, ValueType::Boolean);
}

TSntValue MinMaxValues(SntBuiltinAction kind, std::span<const TSntValue> operands)
{
    if (operands.empty())
        return TSntValue();
    TSntValue result = operands[0];
    for (const TSntValue& v : operands)
        result.value = kind == BuiltinMinimum ? std::min(result.value, v.value)
                                              : std::max(result.value, v.value);
    return result;
}

bool MeanValues(TSntValue& result, SntBuiltinAction kind, std::span<const TSntValue> operands,
                std::string& message)
{
    const double n = static_cast<double>(operands.size());
    result = TSntValue(0, operands.empty() ? ValueType::Factor : operands[0].valueType);
    if (kind == BuiltinMeanValue) {
        for (const TSntValue& v : operands)
            result.value += v.value;
        result.value /= n;
        return true;
    }
    // The n-th root of the product, taken as the mean of the logarithms, so that no product
    // of large operands overflows; it has one only when the product is above 0.
    bool zero = operands.empty();
    bool negative = false;
    double logSum = 0;
    for (const TSntValue& v : operands) {
        zero = zero || v.value == 0;
        negative = negative != (v.value < 0);
        logSum += std::log(std::fabs(v.value));
    }
    if (zero || negative) {
        message = "The product of Inputs Operand 1 to Operand " + std::to_string(operands.size()) +
                  " must be greater than 0.";
        return false;
    }
    result.value = std::exp(logSum / n);
    return true;
}

double DrawRandomFraction()
{
    const auto high = static_cast<uint32_t>(NextRandom15());
    const auto low = static_cast<uint32_t>(NextRandom15());
    return static_cast<double>(high << 15 | low) / 1073741824.0;
}

bool MakeRandomValue(TSntValue& rangeBegin, const TSntValue& rangeEnd, bool logarithmic,
                     std::string& message)
{
    if (rangeBegin.valueType != rangeEnd.valueType) {
        message = "Range Begin and Range End must be of the same type.";
        return false;
    }
    const double r = DrawRandomFraction();
    const double begin = rangeBegin.value;
    const double end = rangeEnd.value;
    if (!logarithmic) {
        rangeBegin.value = begin + r * (end - begin);
        return true;
    }
    if (!((begin > 0 && end > 0) || (begin < 0 && end < 0))) {
        message = "If Logaritmic is true, Range Begin and Range End must be both Positive or both "
                  "Negative, never zero.";
        return false;
    }
    double power = 0;
    if (!RaiseToPower(end / begin, r, power, message))
        return false;
    rangeBegin.value = begin * power;
    return true;
}

bool MakeGaussianRandomValue(TSntValue& mean, const TSntValue& stdDev,
                             const std::optional<TSntValue>& maxDev, std::string& message)
{
    if (stdDev.valueType != mean.valueType) {
        message = "Mean and Std Dev must be of the same type.";
        return false;
    }
    // The polar method; s = 0 cannot come from this generator, and would have no logarithm.
    double u = 0;
    double s = 0;
    do {
        u = 2 * NextRuntimeRandom() - 1;
        const double v = 2 * NextRuntimeRandom() - 1;
        s = u * u + v * v;
    } while (s >= 1 || s == 0);
    const double centre = mean.value;
    mean.value = centre + stdDev.value * (u * std::sqrt(-2 * std::log(s) / s));
    if (!maxDev)
        return true;
    if (maxDev->valueType != mean.valueType) {
        message = "Mean and Max Dev must be of the same type.";
        return false;
    }
    if (mean.value > centre + maxDev->value)
        mean.value = centre + maxDev->value;
    else if (mean.value < centre - maxDev->value)
        mean.value = centre - maxDev->value;
    return true;
}

} // namespace kelvorn
