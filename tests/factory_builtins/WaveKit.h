#pragma once
// The wave functions' tests' kit: a factory around one builtin node of a wave kind, whose sound
// parameters are open waves the host knows, whose values are constants (which skip the pins'
// domains, as typed ones do) or arrive from factory inputs (which pass the pins' checks), and
// whose outputs are each wired to a factory output, so that the run needs them.

#include "factory/FactoryKit.h"
#include "factory/builtins/BuiltinNode.h"
#include "support/Signals.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace kelvorn::test {

/// One value of a second at OpsRate: times like 3 * V hold exactly 3 values.
constexpr double V = 1.0 / OpsRate;

/// The known sounds: 16 values spread over the whole range at OpsRate; an envelope (curve) of
/// five values; a partner at half the rate, to be mixed, inserted or merged.
inline SoundPtr Known(bool stereo)
{
    return SoundOf(stereo ? 2 : 1, OpsRate, OpsBytes, Scrambled(16, 1), Scrambled(16, 2));
}
inline SoundPtr KnownEnvelope()
{
    return MonoOf({-20000, -10000, 0, 5000, 12000});
}
inline SoundPtr KnownPartner()
{
    return MonoOf({11, 22, 33, -44, 55}, OpsRate / 2);
}

/// A setting's value that leaves the input without a value.
inline constexpr double Unused = -1.5e308;

/// An input and what it is given: a constant value, or for a wave input its known sound.
struct Setting
{
    const char* input;
    double value = 0;
};
using Settings = std::vector<Setting>;

/// Inputs that make each wave kind run, besides "Wave" and the range.
inline const Settings& ValidSettings(int kind)
{
    // clang-format off
    static const std::vector<Settings> table{
        {{"Factor", 0.5}},
        {{"Angle", 0.5}, {"Time Difference", 1}, {"Volume Difference", 1}, {"Filter Difference"}},
        {}, {{"Length", 8 * V}, {"Position Roll Begin", 0.25}}, {}, {}, {{"Add Value", 1000}},
        {{"Volume Left to Left", 0.5}, {"Volume Right to Left", -1},
         {"Volume Left to Right", 0.25}, {"Volume Right to Right", 2}},
        {{"Envelope"}}, {{"Length Factor", 1.5}},
        {{"Speed Factor", -2}, {"Count", 3}, {"Start Position", 0.25}},
        {{"Position", 0.5}}, {}, {{"Time Move", -3 * V}},
        {{"Time Move Left", 2 * V}, {"Time Move Right", -V}, {"Envelope"}},
        {{"Count Horizontal", 4}, {"Height", 3277}},
        {{"Frequency", 40 * V}, {"Volume Factor", 0.5}, {"Filter Count", 2},
         {"Normalize Volume", 1}},
        {{"Envelope"}, {"Volume Factor", 0.5}, {"Filter Count", 1}, {"Normalize Volume"}},
        {{"Frequency", 4 * V}, {"Frequency Width", 0.25}},
        {{"Frequency Envelope"}, {"Frequency Width", 0.25}},
        {{"Block Time", 2 * V}, {"Envelope"}},
        {{"Time", 2 * V}, {"Volume", 0.5}, {"Echo Count", 2}},
        {}, {}, {{"Insert Wave"}},
        {{"Frequency Factor", 1.5}, {"Speed Factor", 2}, {"Length Factor", 1}, {"Start Position"},
         {"High Quality", 1}, {"Block Size", 2 * V}},
        {{"Length", 3 * V}},
        {{"Length", 3 * V}, {"Height Begin", 1000}, {"Height End", 4000}, {"Linear"},
         {"Exponential", 1}},
        {{"Height 1", 1000}, {"Height 2", -2000}, {"Frequency", 4 * V}, {"Middle", 0.25},
         {"Length", 8 * V}, {"Start Position"}},
        {{"Height 1", 1000}, {"Height 2", -2000}, {"Frequency", 4 * V}, {"Middle Envelope"},
         {"Count", 2}, {"Start Position", 0.5}},
        {{"Height 1", 8000}, {"Height 2", -8000}, {"Frequency", 4 * V}, {"Count", 3},
         {"Start Position"}},
        {{"Volume", 8000}, {"Length", 5 * V}},
        {{"Mix Wave"}, {"Align Begin", 1}, {"Align End"}, {"Stretch"}}, {},
        {{"Sample Frequency", 2 * OpsRate}, {"Bytes Per Sample", 2}, {"Mono Stereo", 2}}, {},
        {{"Sample Frequency", 2 * OpsRate}, {"Bytes Per Sample", 2}, {"Mono Stereo", 2},
         {"Length", 4 * V}},
        {}, {{"Wave Before"}, {"Wave After"}},
        {{"Wave Left"}, {"Wave Right"}, {"Align Begin", 1}, {"Align End"},
         {"Stretch Shortest Wave"}, {"Stretch Longest Wave"}},
    };
    // clang-format on
    return table.at(static_cast<size_t>(kind));
}

struct WaveNodeFixture : FactoryFixture
{
    /// A node of the kind with its catalogue pins, in place of the one made before; its outputs
    /// are wired to factory outputs named "out " + the output's name: those listed, or every one.
    TSountoryNodeBuiltin* Make(uint8_t kind, std::initializer_list<const char*> outputs = {})
    {
        if (node)
            factory.RemoveNode(node);
        while (!factory.Outputs().empty())
            factory.RemoveOutput(factory.Outputs().front().get());
        while (!factory.Inputs().empty())
            factory.RemoveInput(factory.Inputs().front().get());
        node = factory.CreateNode<TSountoryNodeBuiltin>("N", kind,
                                                        TSountoryRectangle{10, 20, 110, 100}, true);
        for (const auto& output : node->Outputs()) {
            bool wanted = outputs.size() == 0;
            for (const char* name : outputs)
                wanted = wanted || output->Name == name;
            if (wanted)
                Out("out " + output->Name, output->GetValueDomType())->SetSource(output.get());
        }
        return node;
    }

    TSountoryNodeInput* Input(const std::string& name) const
    {
        TSountoryNodeInput* input = node->FindInputByName(name);
        EXPECT_NE(input, nullptr) << name;
        return input;
    }

    /// The input takes the sound as an open wave of the input's own name.
    void Open(const std::string& input, SoundPtr sound)
    {
        host.waves[input] = std::move(sound);
        Input(input)->SetConstantSound(input);
    }

    /// A constant of the pin's type (a group type takes a Factor); a wave pin takes a known
    /// sound: "Wave" of the channels the pin asks for, an envelope the known envelope, any other
    /// the partner. Unused leaves the pin without a value.
    void Set(const Setting& setting)
    {
        TSountoryNodeInput* pin = Input(setting.input);
        const std::string name = setting.input;
        const int code = static_cast<int>(pin->GetValueDomType());
        if (setting.value == Unused)
            pin->SetSource(nullptr);
        else if (!pin->IsWave())
            pin->SetConstantValue(TSntValue(setting.value, code >= 15
                                                               ? ValueType::Factor
                                                               : static_cast<ValueType>(code)),
                                  EHNone);
        else if (name == "Wave")
            Open(name, Known(pin->GetValueDomain() == ValueDomain::Stereo));
        else
            Open(name,
                 name.find("Envelope") != std::string::npos ? KnownEnvelope() : KnownPartner());
    }
    void Set(const Settings& settings)
    {
        for (const Setting& setting : settings)
            Set(setting);
    }

    /// The range as positions another node wrote: they pass the pins unchecked.
    void Range(double begin, double end)
    {
        for (auto [name, value] : {std::pair{"Position Begin", begin}, {"Position End", end}}) {
            TSountoryInput* source = factory.FindInput(name);
            if (!source)
                source = In(name, ValueDomType::PlaceInWindow);
            source->SetValue(TSntValue(value, ValueType::PlaceInWindow));
            Input(name)->SetSource(source);
        }
    }

    /// A node of the kind that runs: the known "Wave", the range 2 .. 12 where the kind has
    /// one, and its valid settings.
    TSountoryNodeBuiltin* MakeValid(uint8_t kind, std::initializer_list<const char*> outputs = {})
    {
        Make(kind, outputs);
        if (node->FindInputByName("Wave"))
            Set({"Wave"});
        if (node->FindInputByName("Position Begin"))
            Range(2, 12);
        Set(ValidSettings(kind));
        return node;
    }

    /// Validates and runs; a failure leaves its bare sentence (without the node's location) in
    /// message.
    bool Compute()
    {
        message.clear();
        stop = 0;
        bool ok = factory.ValidateFactory(++stamp, message) && factory.RunFactory(message, &stop);
        const std::string prefix = "At Node \"N\" of Factory \"Fact\": ";
        if (message.rfind(prefix, 0) == 0)
            message.erase(0, prefix.size());
        return ok;
    }

    SoundPtr SoundOut(const std::string& output) const
    {
        return node->FindOutputByName(output)->GetSound();
    }
    double ValueOut(const std::string& output) const
    {
        return node->FindOutputByName(output)->GetValue().value;
    }

    TSountoryNodeBuiltin* node = nullptr;
    SntStopFlag stop = 0;
    uint32_t stamp = 0;
};

} // namespace kelvorn::test
