#pragma once
// The builtin and factory-file tests' kit: the golden tables, the builtin node maker installed for
// a test's life, the file read from and written to text, and a factory whose graph holds every
// element the file knows.

#include "factory/FactoryKit.h"
#include "factory/builtins/BuiltinNode.h"
#include "factory/core/FactoryFile.h"
#include "factory/core/UserNodes.h"
#include "general/Services.h"
#include "general/xml/XMLToken.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace kelvorn::test {

/// The lines of a golden table, split at "|"; comment lines left out.
inline std::vector<std::vector<std::string>> GoldenRows(const std::string& name)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(ReadAll(std::filesystem::path(KELVORN_BUILTIN_GOLDEN) / name));
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::vector<std::string> cells;
        size_t from = 0;
        for (size_t bar; (bar = line.find('|', from)) != std::string::npos; from = bar + 1)
            cells.push_back(line.substr(from, bar - from));
        cells.push_back(line.substr(from));
        rows.push_back(cells);
    }
    EXPECT_FALSE(rows.empty()) << name;
    return rows;
}

/// A file of the factory reader's corpus, which holds every file these tests read.
inline std::string CorpusFile(const std::string& name)
{
    return ReadAll(std::string(KELVORN_FACTORY_CORPUS) + "/" + name);
}

/// The builtin nodes the file reader makes, installed for the object's life.
struct InstalledBuiltins
{
    ScopedService<TBuiltinNodeMaker> maker{&GetBuiltinNodeMaker()};
};

/// A factory fixture that reads and writes builtin nodes.
struct FileFixture : FactoryFixture, ::testing::Test
{
    InstalledBuiltins builtins;

    TSountoryNodeBuiltin* Builtin(uint8_t kind, const std::string& name,
                                  TSountoryRectangle rect = {10, 20, 110, 100})
    {
        return factory.CreateNode<TSountoryNodeBuiltin>(name, kind, rect, true);
    }
};

/// The bytes a save of the factory writes.
inline std::string FileText(const TUnitSountory& factory)
{
    std::string text;
    std::string error;
    EXPECT_TRUE(FormatFactoryFile(factory, text, error)) << error;
    return text;
}

/// Reads a file held in memory into the (new) factory.
inline bool ReadText(TUnitSountory& factory, const std::string& bytes, std::string& message)
{
    std::string version;
    std::unique_ptr<TXMLToken> tokens = TXMLToken::FromMemory(bytes, version);
    return ReadFactoryTokens(factory, *tokens, version, message);
}

/// Gives the input a constant, so that it counts as used.
inline void Use(TSountoryNodeInput& input)
{
    if (input.IsWave())
        input.SetConstantSound("Wave 1");
    else
        input.SetConstantValue(TSntValue(1, ValueType::Factor), EHNone);
}

/// Fills the factory with a node of every builtin kind, a user and a repeat node, factory pins
/// of several types, constants of both forms and connections from both kinds of source.
inline void BuildAllKinds(TUnitSountory& factory)
{
    factory.SetWidth(1400);
    factory.SetHeight(900);
    factory.SetNodesCombination(NodesFixed);
    factory.ShowNameIO = false;
    factory.ShowTypeIO = true;
    factory.ShowTypeNIO = true;
    factory.View = TFactoryView{ModeConnect, false, 120, -8};
    TSountoryInput* wave =
        factory.CreateInput("Wave", At(0.1), true, ValueDomType::Wave, ValueDomain::AllValues);
    wave->CanChangeWaveSubtype = true;
    TSountoryInput* gain = factory.CreateInput("Gain", At(1.0 / 3), false, ValueDomType::Factor,
                                               ValueDomain::ZeroInclOneIncl);
    factory.CreateInput("Flag", At(0.9), false, ValueDomType::Boolean, ValueDomain::AllValues);
    std::vector<TSountoryNodeBuiltin*> nodes;
    for (int kind = 0; kind < BuiltinKindCount; ++kind) {
        int32_t x = (kind % 11) * 120;
        int32_t y = (kind / 11) * 110;
        nodes.push_back(factory.CreateNode<TSountoryNodeBuiltin>(
            "N" + std::to_string(kind), static_cast<uint8_t>(kind),
            TSountoryRectangle{x, y, x + 100, y + 90}, true));
        nodes.back()->DefaultName = kind % 3 == 0;
    }
    nodes[BuiltinPlus]->AddOperand();
    auto input = [&](int kind, const char* name) {
        return nodes[static_cast<size_t>(kind)]->FindInputByName(name);
    };
    auto output = [&](int kind, const char* name) {
        return nodes[static_cast<size_t>(kind)]->FindOutputByName(name);
    };
    input(BuiltinVolume, "Wave")->SetSource(wave);
    input(BuiltinVolume, "Factor")->SetSource(gain);
    input(BuiltinReverse, "Wave")->SetSource(output(BuiltinVolume, "Result"));
    input(BuiltinMix, "Wave")->SetConstantSound("Drums 1");
    input(BuiltinMix, "Mix Wave")->SetSource(output(BuiltinReverse, "Result"));
    input(BuiltinPlus, "Operand 1")->SetConstantValue(TSntValue(0.25, ValueType::Time), EHMS);
    input(BuiltinPlus, "Operand 2")
        ->SetConstantValue(TSntValue(-1.5e-6, ValueType::Factor), EHPerc);
    input(BuiltinPlus, "Operand 3")->SetSource(output(BuiltinMultiply, "Expression"));
    input(BuiltinMakeSinus, "Frequency")
        ->SetConstantValue(TSntValue(440, ValueType::Frequency), EHHZ);
    input(BuiltinSwitchValue, "Switch")->SetSource(factory.FindInput("Flag"));
    auto* user = factory.CreateNode<TSountoryNodeUser>("Sub", "Other Factory",
                                                       TSountoryRectangle{0, 800, 90, 860});
    user->AddInput("Level", At(0.5), false, ValueDomType::Factor, ValueDomain::AllValues)
        ->SetSource(output(BuiltinPlus, "Expression"));
    user->AddOutput("Out", At(0.5), false, ValueDomType::Wave, ValueDomain::Mono);
    auto* loop = factory.CreateNode<TSountoryNodeLoop>(
        "Again", "Loop Factory", TSountoryRectangle{200, 800, 300, 880}, true);
    loop->FindInputByName("Wave")->SetSource(user->FindOutputByName("Out"));
    loop->FindInputByName("Count")->SetConstantValue(TSntValue(4, ValueType::Integer), EHNone);
    factory.CreateWindowOutputs();
    factory.FindOutput("Result")->SetSource(loop->FindOutputByName("Result"));
    factory.FindOutput("Position Begin")
        ->SetSource(output(BuiltinGetWaveProperties, "Position End"));
    factory.CreateOutput("Copy", At(0.95), false, ValueDomType::Wave, ValueDomain::Stereo)
        ->SetSource(wave);
    factory.CreateOutput("Level", At(0.99), false, ValueDomType::Factor, ValueDomain::AllValues)
        ->SetConstantValue(TSntValue(123456.75, ValueType::Factor), EHNone);
}

} // namespace kelvorn::test
