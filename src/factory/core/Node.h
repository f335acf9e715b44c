#pragma once
// The base of every node of a factory graph: its name, its place on the factory area, its input
// and output pins in creation order, and the bookkeeping of a run. The kinds (user, repeat,
// builtin) add what they compute and how they check and show themselves.

#include "factory/core/Pins.h"
#include "general/xml/XMLElement.h"

#include <memory>
#include <string>
#include <vector>

namespace kelvorn {

enum sntNodeKind : uint8_t { sntNodeUser = 0, sntNodeLoop = 1, sntNodeBuiltin = 2 };

/// Run states of a node or a factory.
enum sntRunState : uint8_t { sntRunIdle = 0, sntRunBusy = 1, sntRunDone = 2, sntRunFailed = 3 };

class TSountoryNode : public TSountoryTouchable
{
public:
    /// Made through TUnitSountory::CreateNode, which puts the node in front of the others.
    TSountoryNode(std::string name, TUnitSountory* factory, const TSountoryRectangle& rect);
    ~TSountoryNode() override;
    TSountoryNode(const TSountoryNode&) = delete;
    TSountoryNode& operator=(const TSountoryNode&) = delete;

    bool IsTouched(PixelPoint point, double& distance) const override;
    /// The touch test of the node rectangle at a window point; the inside is at distance 0.
    bool IsTouched(PixelPoint point, double& distance, uint8_t& part) const;
    uint8_t GetSntSountoryObject() const override { return sntSountoryObjectNode; }
    /// The image of the node's picture in the node picture list; -1 shows none.
    virtual int32_t GetPictureIndex() const { return -1; }

    virtual uint8_t GetSntNodeKind() const = 0;
    /// The element of the factory file that names the node's kind and what it runs.
    virtual std::unique_ptr<TXMLComplexElement> KindToXml() const = 0;
    virtual bool CanAddOperand() const = 0;
    virtual std::string GetDisplayName() const = 0;
    virtual bool CheckInputs(std::string& message) = 0;
    virtual bool CheckDefinition(std::string& message) = 0;
    /// Makes the outputs hold their values for this run: once per run, inputs first, then
    /// Compute; the inputs' sources lose their use afterwards.
    virtual bool Calculate(SntStopFlag* stop, std::string& message);
    virtual bool Compute(SntStopFlag* stop, std::string& message) = 0;
    /// One step of Calculate: pulls and checks the input's value; a failure of the input's own
    /// gets this node's name in front and marks the node failed, one from further up is
    /// passed on as it is.
    bool CalculateInput(TSountoryNodeInput& input, SntStopFlag* stop, std::string& message);
    /// One step of Calculate: Compute with the run states around it; a failure gets this node's
    /// and its factory's names in front.
    bool ComputeInRun(SntStopFlag* stop, std::string& message);
    /// Marks the node failed and puts its and its factory's names in front of the message.
    bool FailComputation(SntStopFlag* stop, std::string& message);
    /// User and repeat nodes: finds the factory they run and links the pins to it.
    virtual bool SyncWithDefinition(std::string&) { return true; }
    /// User and repeat nodes: validates the factory they run, refusing a circle of factories.
    virtual bool CheckRecursion(uint32_t, std::string&) { return true; }
    /// The factory this node runs, once a validation has found it; null for other kinds.
    virtual TUnitSountory* GetDefinition() const { return nullptr; }
    /// Builtin nodes: the pins their function has, appended (the editor's new node gets them).
    virtual void CreatePorts() {}
    /// Builtin nodes whose function takes further operands: one more at the bottom; null for
    /// the others.
    virtual TSountoryNodeInput* AddOperand() { return nullptr; }
    /// Builtin nodes: the operands named again in list order after one was deleted.
    virtual void RenumberOperands() {}
    /// The help page of the node's function; -1 when it has none.
    virtual int32_t GetHelpContext() const { return -1; }

    TUnitSountory* GetFactory() const { return factory; }
    const TSountoryRectangle& GetRect() const { return rect; }
    /// The rectangle itself, which the placement code pushes aside in the shift mode.
    TSountoryRectangle& GetRectangle() { return rect; }
    void SetRect(const TSountoryRectangle& r) { rect = r; }
    /// The rectangle in window coordinates, where the node and its pins are drawn.
    TSountoryRectangle GetDrawRect() const;

    // ---- pins ----
    TSountoryNodeInput* AddInput(const std::string& name, const unitFactorPosMax1& height,
                                 bool fixed, ValueDomType type, ValueDomain domain);
    TSountoryNodeOutput* AddOutput(const std::string& name, const unitFactorPosMax1& height,
                                   bool fixed, ValueDomType type, ValueDomain domain);
    void DeleteInput(TSountoryNodeInput* pin);
    void DeleteOutput(TSountoryNodeOutput* pin);
    const std::vector<std::unique_ptr<TSountoryNodeInput>>& Inputs() const { return inputs; }
    const std::vector<std::unique_ptr<TSountoryNodeOutput>>& Outputs() const { return outputs; }
    /// The first pin of exactly that name other than skip; null when none.
    TSountoryNodeInput* FindInputByName(const std::string& name,
                                        const TSountoryNodeInput* skip = nullptr) const;
    TSountoryNodeOutput* FindOutputByName(const std::string& name,
                                          const TSountoryNodeOutput* skip = nullptr) const;
    int32_t CountInputs() const { return static_cast<int32_t>(inputs.size()); }
    int32_t CountOutputs() const { return static_cast<int32_t>(outputs.size()); }
    int32_t CountTypeChoiceInputs() const;
    int32_t CountConnections() const;
    bool CanRemoveOperand() const { return CanAddOperand() && inputs.size() > 2; }

    // ---- connections ----
    void DisconnectAll();
    void DisconnectInputsFrom(const TSountoryInputSource* source);
    void AddOutputsToList(TSntList& list, bool wave) const;
    void AddInputsToList(TSntList& list, bool wave) const;
    /// Selects the lines of the inputs fed by the source; how many there are.
    int32_t CheckTargetsOfSource(const TSntList& list, std::vector<bool>& selected,
                                 const TSountoryInputSource* source) const;
    /// Joins the inputs of selected lines to the source and parts the unselected ones.
    void ApplyTargetsOfSource(const TSntList& list, const std::vector<bool>& selected,
                              TSountoryInputSource* source);
    void CountTargetsOfSource(int32_t& others, int32_t& connected,
                              const TSountoryInputSource* source, bool wave) const;
    void CountCandidateSources(int32_t& count, const TSountoryInputSource* except, bool wave) const;

    /// Marks every pin old before the pins are made again.
    void MarkOldPins();
    /// Keeps each old pin that a new pin of the same name, type and domain replaces (with its
    /// wiring, constant and place in the list); removes every other old pin.
    void MergeOldPins();

    // ---- run bookkeeping ----
    void ClearCalculated() { calculated = false; }
    bool IsCalculated() const { return calculated; }
    void SetCalculated() { calculated = true; }
    void ClearUseCounts();
    void PrepareUses();
    void ReleaseInputs();
    uint8_t GetRunState() const { return runState; }
    /// Sets the state and tells the host, which shows it and may set the stop flag.
    void SetRunState(uint8_t state, SntStopFlag* stop = nullptr);
    /// The first loop upstream of this node, as a message; nodes found free of loops are marked
    /// and not walked again until ClearLoopMarks.
    bool CheckLoops(std::string& message);
    void ClearLoopMarks() { loopChecked = false; }
    bool IsLoopChecked() const { return loopChecked; }

    std::string Name;
    bool DefaultName = true;

private:
    TUnitSountory* factory;
    uint8_t runState = sntRunIdle;
    std::vector<std::unique_ptr<TSountoryNodeInput>> inputs;
    std::vector<std::unique_ptr<TSountoryNodeOutput>> outputs;
    TSountoryRectangle rect;
    bool calculated = false;
    bool loopChecked = false;
};

} // namespace kelvorn
