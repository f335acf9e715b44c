#pragma once
// Factories of real builtin nodes for the tests above the factory model and the benchmarks: a
// factory that makes a known sine ("Gen": Make New Wave -> Make Sinus -> Volume -> Result) and
// one that changes a wave window's selection ("Halve": Wave -> Volume -> Result), with the sound
// each must give made by the engine's own operations.

#include "factory/builtins/BuiltinNode.h"
#include "sound/SoundOps.h"

#include <memory>
#include <string>

namespace kelvorn::test {

/// The Gen factory's settings.
struct GenSettings
{
    int32_t sampleFrequency = 22050;
    int16_t channels = 1;
    /// The sine's period in seconds (44.1 values at 22050 Hz); a number the factory file keeps
    /// exactly.
    double period = 0.002;
    double count = 4;
    double factor = 0.5;
    /// Where the outputs "Position Begin" and "Position End" put the new wave's part, as
    /// fractions of its length; negative leaves the output without a value.
    double partBegin = 0.25;
    double partEnd = 0.75;
};

inline unitFactorPosMax1 PinHeight(double height)
{
    return unitFactorPosMax1(height, EHPerc);
}

/// A constant typed as its pin is (a group type takes a Factor).
inline void Constant(TSountoryNode& node, const std::string& input, double value)
{
    TSountoryNodeInput* pin = node.FindInputByName(input);
    const int code = static_cast<int>(pin->GetValueDomType());
    pin->SetConstantValue(
        TSntValue(value, code >= 15 ? ValueType::Factor : static_cast<ValueType>(code)), EHNone);
}

inline TSountoryNodeBuiltin* AddBuiltin(TUnitSountory& factory, uint8_t kind,
                                        const std::string& name, TSountoryRectangle rect)
{
    return factory.CreateNode<TSountoryNodeBuiltin>(name, kind, rect, true);
}

/// Fills a factory made from template 2 (create wave window) with the Gen graph.
inline void BuildGen(TUnitSountory& factory, const GenSettings& settings = {})
{
    factory.SetWidth(620);
    factory.SetHeight(290);
    auto* made = AddBuiltin(factory, BuiltinMakeNewWave, "New", {15, 20, 165, 250});
    Constant(*made, "Sample Frequency", settings.sampleFrequency);
    Constant(*made, "Bytes Per Sample", 2);
    Constant(*made, "Mono Stereo", settings.channels);
    Constant(*made, "Length", 0);
    auto* sinus = AddBuiltin(factory, BuiltinMakeSinus, "Sinus", {175, 10, 340, 270});
    sinus->FindInputByName("Wave")->SetSource(made->FindOutputByName("Result"));
    Constant(*sinus, "Height 1", 10000);
    Constant(*sinus, "Height 2", -10000);
    Constant(*sinus, "Frequency", settings.period);
    Constant(*sinus, "Count", settings.count);
    Constant(*sinus, "Start Position", 0);
    auto* volume = AddBuiltin(factory, BuiltinVolume, "Volume", {350, 30, 510, 250});
    volume->FindInputByName("Wave")->SetSource(sinus->FindOutputByName("Result"));
    Constant(*volume, "Factor", settings.factor);
    factory.FindOutput("Result")->SetSource(volume->FindOutputByName("Result"));
    for (auto [name, value] : {std::pair{"Position Begin", settings.partBegin},
                               std::pair{"Position End", settings.partEnd}})
        if (value >= 0)
            factory.FindOutput(name)->SetConstantValue(TSntValue(value, ValueType::PlaceInWindow),
                                                       EHPerc);
}

/// The sound Gen must make, by the engine operations its nodes call.
inline SoundUPtr GenSound(const GenSettings& settings = {})
{
    AbortFlag stop = 0;
    SoundUPtr empty;
    if (settings.channels == 2)
        empty = std::make_unique<StereoSound>(settings.sampleFrequency, int16_t{2});
    else
        empty = std::make_unique<MonoSound>(settings.sampleFrequency, int16_t{2});
    int32_t begin = 0;
    int32_t end = 0;
    SoundUPtr sine =
        MakeSinus(*empty, &stop, 10000, -10000, settings.period, settings.count, 0, &begin, &end);
    return Volume(*sine, &stop, settings.factor, 0, sine->GetValues());
}

/// Fills a factory made from template 1 (change wave window) with Wave -> Volume -> Result on
/// the selection: "Select Begin" and "Select End" give the volume's range, its range outputs
/// the part afterwards.
inline void BuildHalve(TUnitSountory& factory, double factor = 0.5)
{
    auto* volume = AddBuiltin(factory, BuiltinVolume, "Volume", {120, 40, 280, 180});
    volume->FindInputByName("Wave")->SetSource(factory.FindInput("Wave"));
    volume->FindInputByName("Position Begin")->SetSource(factory.FindInput("Select Begin"));
    volume->FindInputByName("Position End")->SetSource(factory.FindInput("Select End"));
    Constant(*volume, "Factor", factor);
    factory.FindOutput("Result")->SetSource(volume->FindOutputByName("Result"));
    factory.FindOutput("Position Begin")->SetSource(volume->FindOutputByName("Position Begin"));
    factory.FindOutput("Position End")->SetSource(volume->FindOutputByName("Position End"));
}

} // namespace kelvorn::test
