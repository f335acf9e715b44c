#pragma once
// The factory document: its inputs and outputs (creation order), its nodes (front-most first),
// the factory area they are drawn on, and its kind, which decides the predefined pins a run of
// that kind relies on. A change of kind, or fitting the factory to a node, makes the pins again
// and keeps the user's wiring where name, type and domain still agree.

#include "document/FileUnit.h"
#include "factory/core/FactoryHost.h"
#include "factory/core/FactoryView.h"
#include "factory/core/Node.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace kelvorn {

enum SntFactoryKind : uint8_t {
    FactoryFree = 0,
    FactoryLoopMix = 1,
    FactoryCreateWW = 2,
    FactoryChangeWW = 3,
};

enum SntNodesCombination : uint8_t { NodesOverlap = 0, NodesFixed = 1, NodesShift = 2 };

/// "User defined Factory" ... "Change Wave Window Factory"; empty for another number.
std::string GetFactoryKindName(uint8_t kind);

class TUnitSountory : public TFileUnit
{
public:
    TUnitSountory(const std::string& name, const std::string& fileName, FactoryHost& host);
    ~TUnitSountory() override;

    FactoryHost& GetHost() const { return host; }

    // ---- the document base ----
    bool IsModified() const override { return Modified || IsUntitled(); }
    void ClearModified() override { Modified = false; }
    void SetModified() { Modified = true; }

    // ---- the ".kvf" file (FactoryFile.cpp) ----
    /// Writes the factory to its own file or to another; a failure shows "Cannot save Factory: "
    /// and the reason under "FileError" and leaves the old file as it was.
    bool Save() override;
    bool SaveAs(const std::string& fileName) override;
    /// Reads the own file again; a file that cannot be read leaves the factory as it was.
    bool Revert(std::string& message, std::string& failedFile) override;
    /// Fills this new, empty factory from a file; false with the reason (and its position).
    bool LoadFromFile(const std::string& fileName, std::string& message);
    /// Fills this empty factory from a "UnitFact" tree; false with the reason, line and column
    /// set to the element at fault.
    bool FromXml(const TXMLItem* root, std::string& message, int32_t& line, int32_t& column);
    /// The whole file as a tree.
    std::unique_ptr<TXMLComplexElement> ToXmlTree() const;
    /// Fills this new, empty factory with a copy of other, its editor view included.
    bool DuplicateFrom(const TUnitSountory& other, std::string& message);
    /// Empties the factory: no pins, no nodes, the settings of a new factory.
    void Clear();

    // ---- touchable like its elements ----
    bool IsTouched(PixelPoint point, double& distance) const;
    /// The touch test of the area at a window point, with the distance to its nearest edge.
    bool IsTouched(PixelPoint point, double& distance, uint8_t& part) const;
    uint8_t GetSntSountoryObject() const { return sntSountoryObjectSountory; }

    // ---- area, modes, kind ----
    int32_t GetWidth() const { return FactoryRect.right - FactoryRect.left; }
    int32_t GetHeight() const { return FactoryRect.bottom - FactoryRect.top; }
    void SetWidth(int32_t w) { FactoryRect.right = FactoryRect.left + w; }
    void SetHeight(int32_t h) { FactoryRect.bottom = FactoryRect.top + h; }
    uint8_t GetNodesCombination() const { return NodesCombination; }
    void SetNodesCombination(uint8_t mode) { NodesCombination = mode; }
    uint8_t GetFactoryKind() const { return FactoryKind; }
    void ShowFactoryKind() const;
    void SetFactoryKind(uint8_t kind);
    void FitWithNode(const TSountoryNode& node);
    void InitFromTemplate(int32_t templateNumber, const TSountoryNode* node);
    uint8_t GetRunState() const { return runState; }
    void SetRunState(uint8_t state) { runState = state; }

    // ---- lists ----
    TSountoryInput* CreateInput(const std::string& name, const unitFactorPosMax1& height,
                                bool fixed, ValueDomType type, ValueDomain domain);
    TSountoryOutput* CreateOutput(const std::string& name, const unitFactorPosMax1& height,
                                  bool fixed, ValueDomType type, ValueDomain domain);
    /// Makes a node of kind N (constructed with this factory first) in front of all the others.
    template <class N, class... Args> N* CreateNode(Args&&... args)
    {
        auto node = std::make_unique<N>(this, std::forward<Args>(args)...);
        N* raw = node.get();
        nodes.insert(nodes.begin(), std::move(node));
        return raw;
    }
    /// Puts a node made for this factory (by the builtin node maker) in front of the others.
    TSountoryNode* AdoptNode(std::unique_ptr<TSountoryNode> node);
    /// Deletes the element with its connections; it must be in its list.
    void RemoveInput(TSountoryInput* input);
    void RemoveOutput(TSountoryOutput* output);
    void RemoveNode(TSountoryNode* node);
    void BringNodeToFront(TSountoryNode* node);
    const std::vector<std::unique_ptr<TSountoryInput>>& Inputs() const { return inputs; }
    const std::vector<std::unique_ptr<TSountoryOutput>>& Outputs() const { return outputs; }
    const std::vector<std::unique_ptr<TSountoryNode>>& Nodes() const { return nodes; }
    TSountoryInput* FindInput(const std::string& name,
                              const TSountoryInput* except = nullptr) const;
    TSountoryOutput* FindOutput(const std::string& name,
                                const TSountoryOutput* except = nullptr) const;
    TSountoryNode* FindNode(const std::string& name, const TSountoryNode* except = nullptr) const;
    void DeleteInputByName(const std::string& name);
    void DeleteOutputByName(const std::string& name);
    void FixInputByName(const std::string& name);
    void FixOutputByName(const std::string& name);
    void AllowWaveSubtypeInputByName(const std::string& name);
    void AllowWaveSubtypeOutputByName(const std::string& name);

    int32_t CountAskedInputs() const;
    int32_t CountTypeChoiceInputs() const;
    int32_t CountOutputs() const { return static_cast<int32_t>(outputs.size()); }
    int32_t CountTypeChoiceOutputs() const;

    // ---- everything one source feeds ----
    void DisconnectSource(const TSountoryInputSource* source);
    void ForgetSource(const TSountoryInputSource* source);
    /// "<none>", then the sources (or targets) of the wave-ness of type, except node's own.
    void FillSourceList(TSntList& list, ValueDomType type, const TSountoryNode* exceptNode) const;
    void FillTargetList(TSntList& list, ValueDomType type, const TSountoryNode* exceptNode) const;
    int32_t CheckTargetsOfSource(const TSntList& list, std::vector<bool>& selected,
                                 const TSountoryInputSource* source) const;
    void ApplyTargetsOfSource(const TSntList& list, const std::vector<bool>& selected,
                              TSountoryInputSource* source);
    void CountTargetsOfSource(const TSountoryInputSource* source, bool wave, int32_t& connected,
                              int32_t& others) const;
    void CountCandidateSources(const TSountoryInputSource* current, bool wave,
                               int32_t& count) const;

    // ---- validation and runs ----
    /// Checks loops, the factories that nodes run, every node's inputs and definition; once
    /// per stamp. A failure keeps the old stamp.
    bool ValidateFactory(uint32_t stamp, std::string& message);
    /// Evaluates every output, computing each node that one of them needs once. The values
    /// stay in the pins afterwards.
    bool RunFactory(std::string& message, SntStopFlag* stop);
    /// The types and values of the inputs the user gives before a top-level run.
    bool AskInputTypesAndValues(std::string& message, SntValuesAsker& asker);
    /// A create-wave-window run: the new sound and its selection. begin and end come in as the
    /// caller's defaults.
    bool RunCreateWaveWindow(std::string& message, SoundPtr& sound, int32_t& begin, int32_t& end,
                             SntValuesAsker& asker);
    /// Every output must have a value.
    bool CheckOutputsMandatory(std::string& message) const;
    /// The outputs a repeat node reads from a loop-and-mix factory must have a value.
    bool CheckLoopOutputs(std::string& message) const;
    /// Lets go of every sound the last run bound, in this factory and the ones its nodes run.
    void ReleaseRunSounds();
    /// The longest chain of nodes a run pulls through, nested factories counted; valid after
    /// a validation that passed.
    int32_t GetChainDepth() const { return chainDepth; }
    /// The longest chain a validation admits, so that a run never recurses deeper.
    static constexpr int32_t MaxChainDepth = 2000;

    // ---- the predefined pins ----
    void CreateChangeWindowInputs();
    void CreateWindowOutputs();
    void CreateLoopInputs();
    void CreateLoopOutputs();
    void CreateCounterInput();
    void MergePins(bool removeUnmatched);
    /// The sample position a filled output of that name gave, truncated and clamped to 32
    /// bits; position stays when the output is missing, empty or not a number.
    void ReadPosition(const std::string& name, int32_t& position) const;

    TSountoryRectangle FactoryRect{25, 15, 460, 255};
    bool ShowNameIO = true;
    bool ShowTypeIO = false;
    bool ShowNameNIO = true;
    bool ShowTypeNIO = false;
    uint32_t ValidationStamp = 0;
    SntStopFlag Stopped = 0;
    /// The editor window's settings, kept in the file.
    TFactoryView View;

private:
    friend class TFactoryReader;
    void ClearContents();
    void MarkOldPins();
    bool CheckChainDepth(std::string& message);
    void ReleaseRunSounds(std::vector<const TUnitSountory*>& done);

    FactoryHost& host;
    uint8_t FactoryKind = FactoryFree;
    bool Modified = false;
    uint8_t runState = sntRunIdle;
    int32_t chainDepth = 0;
    uint8_t NodesCombination = NodesShift;
    std::vector<std::unique_ptr<TSountoryInput>> inputs;
    std::vector<std::unique_ptr<TSountoryOutput>> outputs;
    std::vector<std::unique_ptr<TSountoryNode>> nodes;
};

} // namespace kelvorn
