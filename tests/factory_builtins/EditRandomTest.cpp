// A thousand random things a user does in a factory's editor, from fixed seeds: mouse presses,
// drags and releases of every button over the area, its edges, the nodes and the pins, every
// enabled pop-up item at random places, the two modes, scrolling, and the dialogs answered with
// OK or Cancel and with random and hostile values (names with the file's special characters,
// every type, every builtin function, sizes at and past the limits), and now and then the
// factory replaced by what its file reads back, as a revert does. After every step the graph
// is whole (each connection joins two pins of this factory that the editor may join, nothing
// the editor holds points out of it), the nodes keep the area's borders and, outside the
// overlap mode, their gaps; now and then the factory saves, reads back to the same bytes,
// duplicates to the same bytes, validates and runs to an end.
#include "factory/core/FactoryEditor.h"
#include "factory_builtins/BuiltinKit.h"
#include "platform/test/ScriptedMessages.h"
#include "support/FactoryGraphs.h"
#include "support/Signals.h"

#include <random>
#include <set>

namespace kelvorn::test {
namespace {

using Dice = std::mt19937;

size_t Below(Dice& dice, size_t n)
{
    return n == 0 ? 0 : size_t(dice() % n);
}

bool Chance(Dice& dice, int percent)
{
    return int(dice() % 100) < percent;
}

template <class T> const T& Pick(Dice& dice, const std::vector<T>& from)
{
    return from[Below(dice, from.size())];
}

/// Names the dialogs let through: the file's own special characters, Latin-1 letters, blanks
/// inside, the predefined pins' names and a very long one.
const std::vector<std::string>& Names()
{
    static const std::vector<std::string> names = {
        "A",          "B",      "Wave",      "Result",        "Count",
        "Counter",    "Sample", "Operand 1", "Operand 3",     "x & y",
        "\"quoted\"", "it's",   "a  b",      "\xC4rger \xDF", "Input",
        "Output 2",   "Sub",    "Loop",      "Fact",          std::string(300, 'n')};
    return names;
}

/// Numbers a values dialog can give, the extremes of a double among them.
const std::vector<double>& Numbers()
{
    static const std::vector<double> numbers = {
        0, -0.0, 1, -1, 0.5, 2, 65, 1e-9, 1.5e-6, 123456.75, 3e9, -1e12, 1e308, -1e308, 1e-300};
    return numbers;
}

/// Whether the dialogs store the name: not empty, no angle brackets, no blank at either end.
bool Storable(const std::string& name)
{
    return !name.empty() && name.find_first_of("<>") == std::string::npos &&
           uint8_t(name.front()) > ' ' && uint8_t(name.back()) > ' ';
}

/// Whether a pin's constant survives its type change, as the pin dialog decides.
bool KeepsConstant(ValueDomType oldType, ValueDomType newType, ValueType constantType)
{
    const bool wasWave = oldType == ValueDomType::Wave;
    const bool isWave = newType == ValueDomType::Wave;
    if (wasWave != isWave)
        return false;
    return isWave || IsValueTypeCompatible(constantType, newType);
}

/// The editor window's dialogs as random answers that write what the real dialog's OK writes,
/// after the same refusals (a taken name, a size or a side the placement rules change).
struct RandomView : TFactoryEditorView
{
    RandomView(Dice& dice, RecordingHost& host) : dice(dice), host(host) {}

    void Invalidate() override {}
    void SetCursor(EditorCursor) override {}
    void SetDragCursor(EditorCursor) override { ++dragCursorDepth; }
    void EndDragCursor() override { --dragCursorDepth; }
    void ShowHint(const std::string& text, PixelPoint) override { hint = text; }
    void HideHint() override { hint.clear(); }

    bool Ok() { return Chance(dice, 75); }

    bool EditFactoryProperties(TUnitSountory& factory) override
    {
        if (!Ok())
            return false;
        // The sizes are corrected by the area's rule first: a changed one keeps the dialog
        // open, and the user cancels.
        static const std::vector<int32_t> sizes = {
            1, 39, 40, 69, 70, 300, 700, 1500, 100000, 999999999, 1000000000, 2147483647};
        TSountoryRectangle area = factory.FactoryRect;
        const int32_t width = Chance(dice, 50) ? factory.GetWidth() : Pick(dice, sizes);
        const int32_t height = Chance(dice, 50) ? factory.GetHeight() : Pick(dice, sizes);
        auto far = [](int32_t from, int32_t size) {
            return int32_t(std::min<int64_t>(int64_t(from) + size, INT32_MAX));
        };
        area.right = far(area.left, width);
        FitFactoryRect(factory, sntTouchRight, area);
        if (area.right - area.left != width)
            return false;
        area.bottom = far(area.top, height);
        FitFactoryRect(factory, sntTouchBottom, area);
        if (area.bottom - area.top != height)
            return false;
        factory.FactoryRect = area;
        const uint8_t kind = Chance(dice, 60) ? factory.GetFactoryKind() : uint8_t(Below(dice, 4));
        factory.SetFactoryKind(kind);
        if (kind <= FactoryLoopMix && Chance(dice, 30)) {
            std::vector<TSountoryNode*> fits;
            for (TUnitSountory* open : host.ListFactories(nullptr))
                for (const auto& node : open->Nodes())
                    if (node->GetSntNodeKind() == (kind == FactoryFree ? sntNodeUser : sntNodeLoop))
                        fits.push_back(node.get());
            if (!fits.empty())
                factory.FitWithNode(*Pick(dice, fits));
        }
        // Overlapping can be chosen only while no two nodes overlap; cascading only without it.
        const bool overlapping = factory.GetNodesCombination() == NodesOverlap;
        const bool overlap = AnyNodesOverlap(factory) ? overlapping : Chance(dice, 25);
        factory.SetNodesCombination(overlap            ? NodesOverlap
                                    : Chance(dice, 50) ? NodesShift
                                                       : NodesFixed);
        factory.ShowNameIO = Chance(dice, 50);
        factory.ShowTypeIO = Chance(dice, 50);
        factory.ShowNameNIO = Chance(dice, 50);
        factory.ShowTypeNIO = Chance(dice, 50);
        factory.SetModified();
        return true;
    }

    bool EditPinProperties(TSountoryTouchable& pin) override
    {
        if (!Ok())
            return false;
        auto* place = dynamic_cast<TSntPinPlace*>(&pin);
        auto* input = dynamic_cast<TSountoryInput*>(&pin);
        auto* output = dynamic_cast<TSountoryOutput*>(&pin);
        auto* nodeInput = dynamic_cast<TSountoryNodeInput*>(&pin);
        auto* nodeOutput = dynamic_cast<TSountoryNodeOutput*>(&pin);
        TSountoryInputSource* source = input ? static_cast<TSountoryInputSource*>(input)
                                             : static_cast<TSountoryInputSource*>(nodeOutput);
        TSountoryOutputTarget* target = output ? static_cast<TSountoryOutputTarget*>(output)
                                               : static_cast<TSountoryOutputTarget*>(nodeInput);
        TSountoryNode* node = nodeInput    ? nodeInput->GetNode()
                              : nodeOutput ? nodeOutput->GetNode()
                                           : nullptr;
        TUnitSountory* factory = node    ? node->GetFactory()
                                 : input ? input->GetOwner()
                                         : output->GetOwner();
        std::string* name = input       ? &input->Name
                            : output    ? &output->Name
                            : nodeInput ? &nodeInput->Name
                                        : &nodeOutput->Name;
        // A fixed pin keeps name and type; only a window pin's wave may change its channels.
        std::string newName = *name;
        ValueDomType type = place->GetValueDomType();
        if (!place->Fixed) {
            if (Chance(dice, 40))
                newName = Pick(dice, Names());
            if (Chance(dice, 40))
                type = static_cast<ValueDomType>(Below(dice, ValueDomTypeCount));
        }
        const bool taken = input       ? factory->FindInput(newName, input) != nullptr
                           : output    ? factory->FindOutput(newName, output) != nullptr
                           : nodeInput ? node->FindInputByName(newName, nodeInput) != nullptr
                                       : node->FindOutputByName(newName, nodeOutput) != nullptr;
        if (taken)
            return false;
        const bool subtype =
            (input && input->CanChangeWaveSubtype) || (output && output->CanChangeWaveSubtype);
        int32_t domainIndex = -1;
        if (!place->Fixed || subtype) {
            domainIndex = int32_t(Below(dice, size_t(std::max(1, GetDomainCount(type)))));
        } else {
            for (int32_t i = 0; i < GetDomainCount(type); ++i)
                if (GetOfferedDomain(type, i) == place->GetValueDomain())
                    domainIndex = i;
        }
        const ValueDomain domain = GetOfferedDomain(type, std::max(0, domainIndex));
        TSntList candidates;
        if (source)
            factory->FillTargetList(candidates, type, node);
        else
            factory->FillSourceList(candidates, type, node);
        // Most of the time the list keeps the present connections, as the dialog shows them.
        std::vector<bool> selected(candidates.size(), false);
        int32_t chosen = -1;
        const bool keep = Chance(dice, 60);
        if (source) {
            source->ShowTargetsInList(candidates, selected);
            if (!keep)
                for (size_t i = 0; i < selected.size(); ++i)
                    selected[i] = Chance(dice, 20);
        } else {
            chosen = target->ShowSourceInList(candidates);
            if (!keep)
                chosen = int32_t(Below(dice, candidates.size() + 1)) - 1;
        }
        static const double heights[] = {0, 0.001, 0.25, 0.5, 0.999, 1};
        const ValueDomType oldType = place->GetValueDomType();
        place->SetHeight(unitFactorPosMax1(heights[Below(dice, std::size(heights))], EHPerc));
        place->SetValueDomType(type);
        place->SetValueDomain(domain);
        *name = newName;
        if (input && input->Given &&
            !KeepsConstant(oldType, type, input->GetGivenValue().valueType))
            input->Given = false;
        if (target && target->GetHasConstant() &&
            !KeepsConstant(oldType, type, target->GetConstant().valueType))
            target->ClearConstant();
        if (source)
            source->SetTargetsFromList(candidates, selected);
        else
            target->SetSourceFromList(candidates, chosen);
        factory->SetModified();
        return true;
    }

    /// The node dialog's sides, each taken as if its edit were left after the ones before.
    bool PlaceNode(TSountoryNode& node, const TSountoryRectangle& typed)
    {
        static constexpr std::pair<int32_t TSountoryRectangle::*, uint8_t> sides[] = {
            {&TSountoryRectangle::left, sntTouchLeft},
            {&TSountoryRectangle::right, sntTouchRight},
            {&TSountoryRectangle::top, sntTouchTop},
            {&TSountoryRectangle::bottom, sntTouchBottom}};
        const TSountoryRectangle original = node.GetRect();
        TSountoryRectangle taken = original;
        for (const auto& [member, part] : sides) {
            TSountoryRectangle wanted = taken;
            wanted.*member = typed.*member;
            TSountoryRectangle rect = wanted;
            if (DragRectangle(node, part, rect))
                node.GetFactory()->SetModified();
            if (rect.left != wanted.left || rect.top != wanted.top || rect.right != wanted.right ||
                rect.bottom != wanted.bottom) {
                node.SetRect(original);
                return false;
            }
            taken = rect;
            node.SetRect(taken);
        }
        return true;
    }

    bool EditNodeProperties(TSountoryNode& node, bool& fit) override
    {
        if (!Ok())
            return false;
        // A new node's name ("User Node ", say) is never kept: the dialog shows a default.
        const std::string name =
            Chance(dice, 50) && Storable(node.Name) ? node.Name : Pick(dice, Names());
        if (node.GetFactory()->FindNode(name, &node))
            return false;
        TSountoryRectangle typed = node.GetRect();
        if (Chance(dice, 40)) {
            static const int32_t steps[] = {-400, -50, -10, -1, 0, 1, 10, 50, 400, 100000};
            typed.left += steps[Below(dice, std::size(steps))];
            typed.top += steps[Below(dice, std::size(steps))];
            typed.right += steps[Below(dice, std::size(steps))];
            typed.bottom += steps[Below(dice, std::size(steps))];
        } else if (Chance(dice, 10)) {
            // The largest sides the edits take.
            static const int32_t far[] = {999999999, 1000000000, 2147483647};
            static int32_t TSountoryRectangle::*const sides[] = {
                &TSountoryRectangle::left, &TSountoryRectangle::top, &TSountoryRectangle::right,
                &TSountoryRectangle::bottom};
            typed.*sides[Below(dice, 4)] = far[Below(dice, std::size(far))];
        }
        if (!PlaceNode(node, typed))
            return false;
        node.Name = name;
        node.DefaultName = Chance(dice, 50);
        if (auto* builtin = dynamic_cast<TSountoryNodeBuiltin*>(&node)) {
            if (Chance(dice, 70))
                builtin->SetBuiltinAction(uint8_t(Below(dice, BuiltinKindCount)));
        } else if (auto* reference = dynamic_cast<TSountoryNodeReference*>(&node)) {
            static const std::vector<std::string> factories = {"Sub", "Loop", "Fact", "Nowhere",
                                                               "x & \"y\""};
            if (Chance(dice, 80))
                reference->NameFactory = Pick(dice, factories);
            fit = Chance(dice, 70);
        }
        node.GetFactory()->SetModified();
        return true;
    }

    /// The values dialog's rows: a connected pin keeps its source, the others are cleared or
    /// get a constant of their type (a wave name for a wave).
    void WriteValues(TSountoryOutputTarget& target, const TSntPinPlace& place, bool types)
    {
        if (target.GetSource())
            return;
        if (types) {
            // The types page offers the types the pin's group admits.
            std::vector<ValueType> offered;
            for (int code = 0; code < ValueTypeCount; ++code)
                if (IsValueTypeCompatible(static_cast<ValueType>(code), place.GetValueDomType()))
                    offered.push_back(static_cast<ValueType>(code));
            if (place.IsComposite() && !offered.empty() && Chance(dice, 70))
                target.SetConstantValue(TSntValue(0, Pick(dice, offered)), EHNone);
            return;
        }
        if (Chance(dice, 25)) {
            target.ClearConstant();
        } else if (place.IsWave()) {
            target.SetConstantSound(Chance(dice, 80) ? "Wave 1" : Pick(dice, Names()));
        } else {
            const int code = static_cast<int>(place.GetValueDomType());
            const ValueType type =
                code >= ValueTypeCount ? ValueType::Factor : static_cast<ValueType>(code);
            static const MeasureUnitKind units[] = {EHNone, EHPerc, EHMS, EHHZ};
            target.SetConstantValue(TSntValue(Pick(dice, Numbers()), type),
                                    units[Below(dice, std::size(units))]);
        }
    }

    bool EditNodeValues(TSountoryNode& node, bool types) override
    {
        if (!Ok())
            return false;
        for (const auto& in : node.Inputs())
            WriteValues(*in, *in, types);
        return true;
    }

    bool EditOutputValues(TUnitSountory& factory, bool types) override
    {
        if (!Ok())
            return false;
        for (const auto& out : factory.Outputs())
            WriteValues(*out, *out, types);
        return true;
    }

    /// The new window's factory is made from the node as the program makes it, and must save
    /// and read back.
    void NewFactoryForNode(const TSountoryNode& node) override
    {
        TUnitSountory made("Made", "", host);
        made.InitFromTemplate(node.GetSntNodeKind() == sntNodeLoop ? 5 : 3, &node);
        const std::string saved = FileText(made);
        TUnitSountory back("Made", "", host);
        std::string message;
        EXPECT_TRUE(ReadText(back, saved, message)) << message << "\n" << saved;
        EXPECT_EQ(FileText(back), saved);
        ++newFactories;
    }

    void ShowHelp(int32_t) override { ++helps; }

    Dice& dice;
    RecordingHost& host;
    int dragCursorDepth = 0;
    std::string hint;
    int newFactories = 0;
    int helps = 0;
};

/// Sets every factory input a value before a run: a small wave, or a number of its type.
struct GivingAsker : SntValuesAsker
{
    bool AskTypes(const std::vector<TSountoryInput*>&) override { return true; }
    bool AskValues(const std::vector<TSountoryInput*>& inputs) override
    {
        for (TSountoryInput* input : inputs)
            if (input->IsWave())
                input->SetGivenSound("Wave 1");
            else
                input->SetGivenValue(TSntValue(1, input->GetGivenValue().valueType), EHNone);
        return true;
    }
};

/// The other open factories a user or repeat node may run: "Sub" passes its wave through a
/// volume, "Loop" is a loop-and-mix factory that hands its wave back each turn.
struct OpenFactories
{
    explicit OpenFactories(RecordingHost& host)
        : sub("Sub", "/tmp/sub.kvf", host), loop("Loop", "/tmp/loop.kvf", host)
    {
        TSountoryInput* wave =
            sub.CreateInput("Wave", At(0.3), false, ValueDomType::Wave, ValueDomain::AllValues);
        sub.CreateInput("Level", At(0.7), false, ValueDomType::Factor, ValueDomain::AllValues);
        auto* volume = AddBuiltin(sub, BuiltinVolume, "Volume", {60, 20, 200, 150});
        volume->FindInputByName("Wave")->SetSource(wave);
        volume->FindInputByName("Factor")->SetSource(sub.FindInput("Level"));
        sub.CreateOutput("Result", At(0.5), false, ValueDomType::Wave, ValueDomain::AllValues)
            ->SetSource(volume->FindOutputByName("Result"));
        loop.InitFromTemplate(4, nullptr);
        loop.CreateCounterInput();
        loop.CreateLoopOutputs();
        loop.FindOutput("Sample")->SetSource(loop.FindInput("Wave"));
        loop.FindOutput("Volume")->SetConstantValue(TSntValue(0.5, ValueType::Factor), EHNone);
        loop.FindOutput("Position in Sample")
            ->SetConstantValue(TSntValue(0, ValueType::Factor), EHNone);
        loop.FindOutput("Position in Result")
            ->SetConstantValue(TSntValue(0, ValueType::Factor), EHNone);
        host.factories["Sub"] = &sub;
        host.factories["Loop"] = &loop;
    }

    TUnitSountory sub;
    TUnitSountory loop;
};

/// Every source of the factory.
std::set<const TSountoryInputSource*> SourcesOf(const TUnitSountory& factory)
{
    std::set<const TSountoryInputSource*> sources;
    for (const auto& in : factory.Inputs())
        sources.insert(in.get());
    for (const auto& node : factory.Nodes())
        for (const auto& out : node->Outputs())
            sources.insert(out.get());
    return sources;
}

/// Every element the editor may hold a pointer to.
std::set<const TSountoryTouchable*> TouchablesOf(const TUnitSountory& factory)
{
    std::set<const TSountoryTouchable*> all;
    for (const auto& in : factory.Inputs())
        all.insert(static_cast<const TSountoryInputOutput*>(in.get()));
    for (const auto& out : factory.Outputs())
        all.insert(static_cast<const TSountoryInputOutput*>(out.get()));
    for (const auto& node : factory.Nodes()) {
        all.insert(node.get());
        for (const auto& in : node->Inputs())
            all.insert(in.get());
        for (const auto& out : node->Outputs())
            all.insert(out.get());
    }
    return all;
}

/// What is wrong with the graph and the placement, one line each.
std::vector<std::string> Faults(const TUnitSountory& factory)
{
    std::vector<std::string> faults;
    const auto sources = SourcesOf(factory);
    auto checkTarget = [&](const TSountoryOutputTarget& target, const TSntPinPlace& place) {
        const TSountoryInputSource* source = target.GetSource();
        const std::string name = target.GetTargetName();
        if (place.GetHeightValue() < 0 || place.GetHeightValue() > 1)
            faults.push_back(name + " stands outside its side");
        if (!source)
            return;
        if (!sources.count(source)) {
            faults.push_back(name + " is fed by a source outside the factory");
            return;
        }
        if (target.GetTargetNode() && source->GetSourceNode() == target.GetTargetNode())
            faults.push_back(name + " is fed by its own node");
        if (target.IsWaveTarget() != source->IsWaveSource())
            faults.push_back(name + " joins a wave and a value");
    };
    for (const auto& out : factory.Outputs())
        checkTarget(*out, *out);
    for (const auto& node : factory.Nodes()) {
        for (const auto& in : node->Inputs())
            checkTarget(*in, *in);
        const TSountoryRectangle& r = node->GetRect();
        if (!FitsInFactory(factory, r))
            faults.push_back(node->Name + " crosses the area's border");
        if (r.right - r.left < NodeMinWidth || r.bottom - r.top < NodeMinHeight)
            faults.push_back(node->Name + " is smaller than a node may be");
    }
    // Connections are saved by name: every name must find its own element again.
    auto unique = [&](const auto& list, const std::string& what) {
        std::set<std::string> names;
        for (const auto& element : list)
            if (!names.insert(element->Name).second)
                faults.push_back(what + " \"" + element->Name + "\" twice");
    };
    unique(factory.Inputs(), "input");
    unique(factory.Outputs(), "output");
    unique(factory.Nodes(), "node");
    for (const auto& node : factory.Nodes()) {
        unique(node->Inputs(), node->Name + " input");
        unique(node->Outputs(), node->Name + " output");
    }
    if (factory.GetNodesCombination() != NodesOverlap && AnyNodesOverlap(factory))
        faults.push_back("nodes overlap outside the overlap mode");
    if (factory.GetWidth() < AreaMinWidth || factory.GetHeight() < AreaMinHeight)
        faults.push_back("the area is smaller than an area may be");
    return faults;
}

/// A window point on what the mouse may meet: anywhere around the area, its edges, a node's
/// edge, corner or inside, or a pin.
PixelPoint RandomPoint(Dice& dice, const TUnitSountory& factory)
{
    const TSountoryRectangle& area = factory.FactoryRect;
    const int32_t jitter = int32_t(Below(dice, 7)) - 3;
    std::vector<const TSntPinPlace*> pins;
    for (const auto& in : factory.Inputs())
        pins.push_back(in.get());
    for (const auto& out : factory.Outputs())
        pins.push_back(out.get());
    for (const auto& node : factory.Nodes()) {
        for (const auto& in : node->Inputs())
            pins.push_back(in.get());
        for (const auto& out : node->Outputs())
            pins.push_back(out.get());
    }
    switch (Below(dice, 5)) {
    case 0:
        return {area.left - 30 + int32_t(Below(dice, size_t(area.right - area.left + 60))),
                area.top - 30 + int32_t(Below(dice, size_t(area.bottom - area.top + 60)))};
    case 1:
        return Chance(dice, 50)
                   ? PixelPoint{area.right + jitter,
                                area.top + int32_t(Below(dice, size_t(area.bottom - area.top)))}
                   : PixelPoint{area.left + int32_t(Below(dice, size_t(area.right - area.left))),
                                area.bottom + jitter};
    case 2:
    case 3:
        if (!factory.Nodes().empty()) {
            const TSountoryRectangle r = Pick(dice, factory.Nodes())->GetDrawRect();
            const int32_t xs[] = {r.left, (r.left + r.right) / 2, r.right};
            const int32_t ys[] = {r.top, (r.top + r.bottom) / 2, r.bottom};
            return {xs[Below(dice, 3)] + jitter, ys[Below(dice, 3)] + jitter};
        }
        [[fallthrough]];
    default:
        if (pins.empty())
            return {area.left + 10, area.top + 10};
        const TSntPinPlace* pin = Pick(dice, pins);
        return {pin->GetX() + jitter, pin->GetY() + jitter};
    }
}

/// A factory read from the text, and the reason when it is not read.
std::string ReadInto(RecordingHost& host, const std::string& saved,
                     std::unique_ptr<TUnitSountory>& back)
{
    back = std::make_unique<TUnitSountory>("Fact", "/tmp/fact.kvf", host);
    std::string message;
    return ReadText(*back, saved, message) ? std::string() : "read failed: " + message;
}

/// A load puts the nodes in the reverse order of the file, so the file of a factory comes back
/// to the same bytes after two loads; the first load is the factory returned.
std::string ReadTwice(RecordingHost& host, const std::string& saved,
                      std::unique_ptr<TUnitSountory>& back)
{
    std::string failure = ReadInto(host, saved, back);
    if (!failure.empty())
        return failure;
    std::unique_ptr<TUnitSountory> again;
    failure = ReadInto(host, FileText(*back), again);
    return failure.empty() ? FileText(*again) : failure;
}

struct Counts
{
    int presses = 0;
    int drags = 0;
    int items = 0;
    int connections = 0;
    int runs = 0;
    int runsOk = 0;
    int reverts = 0;
    std::set<int> itemsRun;
};

class EditRandomTest : public ::testing::TestWithParam<uint32_t>
{
};

TEST_P(EditRandomTest, RandomMouseAndMenuKeepTheFactoryWholeAndItsFileExact)
{
    ScriptedMessages messages;
    InstalledBuiltins builtins;
    LiveSounds live;
    RecordingHost host;
    host.waves["Wave 1"] = live.Make(MonoOf({1, 5, -3, 8, 0, -7, 2, 4}));
    host.answerOk = true;
    host.stopAt = 0;
    OpenFactories others(host);
    Dice dice(GetParam());
    auto factory = std::make_unique<TUnitSountory>("Fact", "/tmp/fact.kvf", host);
    factory->InitFromTemplate(2, nullptr);
    BuildGen(*factory);
    factory->SetNodesCombination(uint8_t(GetParam() % 3));
    host.factories["Fact"] = factory.get();
    host.open = {factory.get(), &others.sub, &others.loop};
    RandomView view(dice, host);
    TFactoryEditor editor(*factory, view);
    Counts counts;
    uint32_t stamp = 1;

    for (int step = 0; step < 1000; ++step) {
        TUnitSountory& f = editor.Factory();
        const size_t roll = Below(dice, 100);
        std::string what;
        if (roll < 35) {
            // A press, some moves with buttons held and the release.
            const uint8_t button = uint8_t(1u << Below(dice, 3));
            const PixelPoint from = RandomPoint(dice, f);
            what = "press " + std::to_string(button) + " at " + std::to_string(from.x) + "," +
                   std::to_string(from.y);
            editor.MouseMove(0, from);
            editor.MouseDown(button, from);
            counts.drags += editor.IsDragging();
            PixelPoint at = from;
            for (size_t moves = Below(dice, 4); moves > 0; --moves) {
                static const int32_t steps[] = {-300, -40, -7, -1, 0, 1, 7, 40, 300};
                at = Chance(dice, 50)
                         ? RandomPoint(dice, f)
                         : PixelPoint{at.x + steps[Below(dice, 9)], at.y + steps[Below(dice, 9)]};
                editor.MouseMove(Chance(dice, 85) ? button : 0, at);
            }
            editor.MouseUp(0);
            ++counts.presses;
        } else if (roll < 70) {
            // The pop-up at a point, and one of its enabled items.
            const PixelPoint at = RandomPoint(dice, f);
            editor.MouseDown(ButtonRight, at);
            const TFactoryMenuState menu = editor.PreparePopup();
            std::vector<size_t> enabled;
            for (size_t i = 0; i < FactoryMenuItemCount; ++i)
                if (menu.items[i].visible && menu.items[i].enabled)
                    enabled.push_back(i);
            if (enabled.empty())
                continue;
            // Adding is picked twice as often as the rest, so that the graph grows.
            for (size_t i : std::vector<size_t>(enabled))
                if (i >= size_t(FactoryMenuItem::AddBuiltinNode) &&
                    i <= size_t(FactoryMenuItem::AddInputOperand))
                    enabled.push_back(i);
            const size_t item = Pick(dice, enabled);
            what = "item " + std::to_string(item) + " at " + std::to_string(at.x) + "," +
                   std::to_string(at.y);
            editor.Run(static_cast<FactoryMenuItem>(item));
            counts.itemsRun.insert(int(item));
            ++counts.items;
            if (editor.IsConnecting()) {
                // The connection ends where the user clicks next.
                const PixelPoint to = RandomPoint(dice, editor.Factory());
                editor.MouseMove(0, to);
                editor.MouseDown(ButtonLeft, to);
                editor.MouseUp(0);
                ++counts.connections;
            }
        } else if (roll < 82) {
            what = "hover";
            editor.MouseMove(0, RandomPoint(dice, f));
        } else if (roll < 88) {
            what = "mode";
            editor.SetMode(Chance(dice, 50) ? ModeConnect : ModeDrag);
            if (Chance(dice, 30))
                editor.ToggleShowHints();
        } else if (roll < 96) {
            what = "scroll";
            const TEditorScrollBar hor = editor.HorScroll(400);
            const TEditorScrollBar vert = editor.VertScroll(300);
            editor.PlaceArea(int32_t(Below(dice, size_t(std::max(1, hor.range - 400)))),
                             int32_t(Below(dice, size_t(std::max(1, vert.range - 300)))));
        } else {
            // Revert: the file's factory replaces the one shown, which goes.
            what = "revert";
            std::unique_ptr<TUnitSountory> back;
            const std::string saved = FileText(f);
            ASSERT_EQ(ReadTwice(host, saved, back), saved);
            editor.SetFactory(*back);
            host.factories["Fact"] = back.get();
            host.open[0] = back.get();
            factory = std::move(back);
            ++counts.reverts;
        }
        SCOPED_TRACE(testing::Message()
                     << "seed " << GetParam() << " step " << step << ": " << what);
        TUnitSountory& now = editor.Factory();
        ASSERT_EQ(Faults(now), std::vector<std::string>{}) << FileText(now);
        ASSERT_TRUE(messages.Unexpected().empty()) << messages.Unexpected().front().text;
        ASSERT_FALSE(editor.IsDragging());
        ASSERT_EQ(view.dragCursorDepth, 0);
        const auto touchables = TouchablesOf(now);
        ASSERT_TRUE(!editor.GetHighlighted() || touchables.count(editor.GetHighlighted()));
        ASSERT_TRUE(!editor.GetHintObject() || touchables.count(editor.GetHintObject()));

        if (step % 25 == 24) {
            const std::string saved = FileText(now);
            std::unique_ptr<TUnitSountory> back;
            ASSERT_EQ(ReadTwice(host, saved, back), saved);
            TUnitSountory copy("Copy", "", host);
            std::string message;
            ASSERT_TRUE(copy.DuplicateFrom(now, message)) << message;
            // A duplicate reads the tree as a load does, nodes reversed.
            EXPECT_EQ(FileText(copy), FileText(*back));
        }
        if (step % 10 == 9) {
            std::string message;
            if (now.ValidateFactory(++stamp, message)) {
                GivingAsker asker;
                host.progress.clear();
                host.stopAt = 400;
                now.Stopped = 0;
                const bool ok = now.AskInputTypesAndValues(message, asker) &&
                                now.RunFactory(message, &now.Stopped);
                EXPECT_TRUE(ok || !message.empty());
                now.ReleaseRunSounds();
                ++counts.runs;
                counts.runsOk += ok;
            } else {
                EXPECT_FALSE(message.empty());
            }
        }
    }
    // The run did what it claims: presses that dragged, most menu items, connections drawn,
    // reverts and runs.
    EXPECT_GT(counts.presses, 150);
    EXPECT_GT(counts.drags, 20);
    EXPECT_GT(counts.items, 150);
    EXPECT_GT(counts.itemsRun.size(), 10u);
    EXPECT_GT(counts.connections, 5);
    EXPECT_GT(counts.reverts, 5);
    EXPECT_EQ(live.alive, 1);
}

INSTANTIATE_TEST_SUITE_P(Seeds, EditRandomTest, ::testing::Range(1u, 9u));

} // namespace
} // namespace kelvorn::test
