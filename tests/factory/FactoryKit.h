#pragma once
// The factory tests' kit: a host that answers wave lookups from a table and records the boxes
// and status texts it is asked for, and a node kind whose computation the test supplies.

#include "factory/core/UnitSountory.h"
#include "general/GuiMessages.h"
#include "support/Signals.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace kelvorn::test {

class RecordingHost : public FactoryHost
{
public:
    template <class Map>
    static typename Map::mapped_type Find(const Map& map, const std::string& name)
    {
        auto it = map.find(name);
        return it == map.end() ? nullptr : it->second;
    }
    SoundPtr FindWaveSound(const std::string& name) override { return Find(waves, name); }
    TUnitSountory* FindFactory(const std::string& name) override { return Find(factories, name); }
    std::vector<TUnitSountory*> ListFactories(const TUnitSountory* except) override
    {
        std::vector<TUnitSountory*> listed;
        for (TUnitSountory* factory : open)
            if (factory != except)
                listed.push_back(factory);
        return listed;
    }
    /// Refuses a name of documents as the shell does, with its box.
    bool CheckUniqueName(const std::string& name, const TUnitSountory*) override
    {
        if (name.empty() || std::find(documents.begin(), documents.end(), name) == documents.end())
            return true;
        TGuiMessages::ShowWindowExistsError(name);
        return false;
    }
    std::vector<std::string> ListWaves(int32_t mode) override
    {
        auto it = waveLists.find(mode);
        return it == waveLists.end() ? std::vector<std::string>{} : it->second;
    }
    void SetEditName(const std::string& name) override { editNames.push_back(name); }
    void ShowStatusText(const std::string& text) override { status.push_back(text); }
    bool ConfirmWarning(const std::string& text, const std::string& caption) override
    {
        warnings.push_back(caption + " | " + text);
        return answerOk;
    }

    void ShowRunProgress(const TSountoryNode& node, int32_t turn, AbortFlag* stop) override
    {
        progress.push_back(node.Name + ":" + std::to_string(turn ? turn : node.GetRunState()));
        if (stopAt == int32_t(progress.size()) && stop)
            *stop = stopMark;
    }

    std::map<std::string, SoundPtr> waves;
    std::map<std::string, TUnitSountory*> factories;
    /// The open factories ListFactories answers, in window order.
    std::vector<TUnitSountory*> open;
    /// Names of other open documents, which CheckUniqueName refuses.
    std::vector<std::string> documents;
    /// The wave names ListWaves answers for each mode.
    std::map<int32_t, std::vector<std::string>> waveLists;
    /// Each name SetEditName was given.
    std::vector<std::string> editNames;
    /// Each state change ("node:state") and repeat turn ("node:turn") of a run, in order.
    std::vector<std::string> progress;
    /// Sets the stop flag to stopMark at that progress call (1-based); 0 never.
    int32_t stopAt = 0;
    /// The user's Stop, or 1 for the failure flag that memory sets.
    AbortFlag stopMark = AbortByUser;
    std::vector<std::string> status;
    std::vector<std::string> warnings;
    bool answerOk = true;
};

/// A node whose computation the test gives; it counts its computations, once per run.
class TTestNode : public TSountoryNode
{
public:
    TTestNode(TUnitSountory* factory, const std::string& name, uint8_t kind = sntNodeBuiltin,
              TSountoryRectangle rect = {10, 20, 110, 120})
        : TSountoryNode(name, factory, rect), kind(kind)
    {
    }

    uint8_t GetSntNodeKind() const override { return kind; }
    std::unique_ptr<TXMLComplexElement> KindToXml() const override
    {
        auto element = std::make_unique<TXMLComplexElement>("UserNode");
        element->AddText("NameFactory", "Test");
        return element;
    }
    bool CanAddOperand() const override { return operands; }
    std::string GetDisplayName() const override { return displayName; }
    int32_t GetPictureIndex() const override { return pictureIndex; }
    bool CheckInputs(std::string&) override { return ++inputChecks, true; }
    bool CheckDefinition(std::string&) override { return true; }
    bool Compute(SntStopFlag*, std::string& message) override
    {
        ++computeCalls;
        return compute ? compute(*this, message) : true;
    }
    /// "Operand n+1" appended, as a builtin node of an operand kind does.
    TSountoryNodeInput* AddOperand() override
    {
        return operands ? AddInput("Operand " + std::to_string(CountInputs() + 1),
                                   unitFactorPosMax1(1, EHPerc), false, ValueDomType::Factor,
                                   ValueDomain::AllValues)
                        : nullptr;
    }
    void RenumberOperands() override
    {
        for (int32_t i = 0; i < CountInputs(); ++i)
            Inputs()[size_t(i)]->SetName("Operand " + std::to_string(i + 1));
    }
    int32_t GetHelpContext() const override { return helpContext; }

    uint8_t kind;
    std::string displayName = "Test";
    int32_t pictureIndex = -1;
    bool operands = false;
    int32_t helpContext = -1;
    int computeCalls = 0;
    int inputChecks = 0;
    std::function<bool(TTestNode&, std::string&)> compute;
};

/// Hands out sounds that count how many of them are still alive; it must outlive them.
struct LiveSounds
{
    SoundPtr Make(SoundUPtr sound)
    {
        ++alive;
        return SoundPtr(sound.release(), [this](Sound* s) {
            --alive;
            delete s;
        });
    }
    int alive = 0;
};

inline unitFactorPosMax1 At(double height)
{
    return unitFactorPosMax1(height, EHPerc);
}

inline TSountoryNodeInput* NodeIn(TSountoryNode* node, const std::string& name, ValueDomType type,
                                  ValueDomain domain = ValueDomain::AllValues)
{
    return node->AddInput(name, At(0.5), false, type, domain);
}

inline TSountoryNodeOutput* NodeOut(TSountoryNode* node, const std::string& name, ValueDomType type,
                                    ValueDomain domain = ValueDomain::AllValues)
{
    return node->AddOutput(name, At(0.5), false, type, domain);
}

/// Makes the node put a new sound (marked as made by the run) on its first output; seen gets
/// the number of live sounds at each computation.
inline void MakesSound(TTestNode* node, LiveSounds& live, std::vector<int>* seen = nullptr)
{
    node->compute = [&live, seen](TTestNode& n, std::string&) {
        if (seen)
            seen->push_back(live.alive);
        SoundPtr sound = live.Make(MonoOf({1, 2, 3, 4}));
        sound->SetRunResult(true);
        n.Outputs()[0]->SetSound(sound);
        return true;
    };
}

/// Makes the node hand the sound of its first input on unchanged, keeping it upstream.
inline void PassesSound(TTestNode* node)
{
    node->compute = [](TTestNode& n, std::string&) {
        n.Inputs()[0]->KeepSourceSound();
        n.Outputs()[0]->SetSound(n.Inputs()[0]->GetSound());
        return true;
    };
}

/// The values dialog as a script: each step answers OK or Cancel and counts the inputs asked.
struct ScriptedAsker : SntValuesAsker
{
    bool AskTypes(const std::vector<TSountoryInput*>& inputs) override
    {
        typesAsked += int(inputs.size());
        return typesOk;
    }
    bool AskValues(const std::vector<TSountoryInput*>& inputs) override
    {
        valuesAsked += int(inputs.size());
        return valuesOk;
    }
    bool typesOk = true;
    bool valuesOk = true;
    int typesAsked = 0;
    int valuesAsked = 0;
};

/// A factory with a file name, so that IsModified shows the flag alone.
struct FactoryFixture
{
    RecordingHost host;
    TUnitSountory factory{"Fact", "/tmp/fact.kvf", host};
    ScriptedAsker asker;
    std::string message;

    TSountoryInput* In(const std::string& name, ValueDomType type,
                       ValueDomain domain = ValueDomain::AllValues, double height = 0.5)
    {
        return factory.CreateInput(name, At(height), false, type, domain);
    }
    TSountoryOutput* Out(const std::string& name, ValueDomType type,
                         ValueDomain domain = ValueDomain::AllValues, double height = 0.5)
    {
        return factory.CreateOutput(name, At(height), false, type, domain);
    }
    TTestNode* Node(const std::string& name, uint8_t kind = sntNodeBuiltin)
    {
        return factory.CreateNode<TTestNode>(name, kind);
    }
    /// A node at a rectangle in factory coordinates, in front of the others.
    TTestNode* NodeAt(const std::string& name, TSountoryRectangle rect)
    {
        return factory.CreateNode<TTestNode>(name, sntNodeBuiltin, rect);
    }
};

/// The names of a pin or node list in order.
template <class List> std::vector<std::string> NamesOf(const List& list)
{
    std::vector<std::string> names;
    for (const auto& element : list)
        names.push_back(element->Name);
    return names;
}

} // namespace kelvorn::test
