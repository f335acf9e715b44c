#include "factory/core/FactoryFile.h"

#include "document/views/ViewXml.h"
#include "factory/core/BuiltinNodeMaker.h"
#include "factory/core/UnitSountory.h"
#include "factory/core/UserNodes.h"
#include "general/Assert.h"
#include "general/Messages.h"
#include "general/Services.h"
#include "general/values/ValueText.h"
#include "general/values/ValueUnits.h"
#include "general/xml/XMLWriter.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kelvorn {

using viewxml::FirstChild;
using viewxml::IsElement;

namespace {

constexpr std::array<const char*, 4> factoryKindElements = {"FactoryFree", "FactoryLoopMix",
                                                            "FactoryCreateWW", "FactoryChangeWW"};
constexpr std::array<const char*, 3> combinationElements = {"NodesOverlap", "NodesFixed",
                                                            "NodesShift"};

// ---- the grammar ------------------------------------------------------------------------------

struct TGrammarMaker
{
    TDTDGrammar& g;
    const TDTDItem* empty = g.Make<TDTDEmpty>();

    const TDTDItem* Text(const char* name) { return g.Make<TDTDContentText>(name); }
    const TDTDItem* Mark(const char* name) { return g.Make<TDTDCompound>(name, empty); }
    const TDTDItem* Element(const char* name, std::initializer_list<const TDTDItem*> items)
    {
        return g.Make<TDTDCompound>(name, viewxml::Sequence(g, items));
    }
    const TDTDItem* Seq(std::initializer_list<const TDTDItem*> items)
    {
        return viewxml::Sequence(g, items);
    }
    const TDTDItem* Or(std::initializer_list<const TDTDItem*> items)
    {
        return viewxml::Choice(g, items);
    }
    const TDTDItem* Opt(const TDTDItem* item) { return g.Make<TDTDOptional>(item); }
    const TDTDItem* Star(const TDTDItem* item) { return g.Make<TDTDRepeatMin0>(item); }
};

struct TFactoryGrammar
{
    TDTDGrammar grammar;
    const TDTDCompound* root = nullptr;

    TFactoryGrammar()
    {
        TGrammarMaker m{grammar};
        const TDTDItem* name = m.Text("Name");
        const TDTDItem* width = m.Text("Width");
        const TDTDItem* height = m.Text("Height");
        const TDTDItem* domType = m.Text("ValueDomType");
        const TDTDItem* domain = m.Opt(m.Text("ValueDomain"));
        const TDTDItem* fixed = m.Opt(m.Mark("Fixed"));
        const TDTDItem* subtype = m.Opt(m.Mark("CanChangeWaveSubtype"));
        const TDTDItem* value = m.Element(
            "Value", {m.Or({m.Seq({m.Text("Double"), m.Text("ValueType"), m.Text("UnitKind")}),
                            m.Text("NameSound")})});
        const TDTDItem* source = m.Element(
            "ValueSource",
            {m.Or({m.Seq({m.Text("NameNode"), m.Text("NameNodeOutput")}), m.Text("NameInput")})});
        const TDTDItem* valueOrSource = m.Opt(m.Or({value, source}));
        const TDTDItem* nameFactory = m.Text("NameFactory");

        const TDTDItem* nodeInput =
            m.Element("NodeInput", {name, height, domType, domain, fixed, valueOrSource});
        const TDTDItem* nodeOutput =
            m.Element("NodeOutput", {name, height, domType, domain, fixed});
        const TDTDItem* node = m.Element(
            "Node",
            {name, m.Opt(m.Mark("DefaultName")),
             m.Element("Rectangle", {m.Text("Left"), m.Text("Top"), width, height}),
             m.Or({m.Element("BuiltinNode", {m.Text("NameBuiltinAction")}),
                   m.Element("UserNode", {nameFactory}), m.Element("RepeatNode", {nameFactory})}),
             m.Star(nodeInput), m.Star(nodeOutput)});
        const TDTDItem* input = m.Element("Input", {name, height, domType, domain, fixed, subtype});
        const TDTDItem* output =
            m.Element("Output", {name, height, domType, domain, fixed, subtype, valueOrSource});
        const TDTDItem* factory = m.Element(
            "Factory",
            {m.Element("RectangleSize", {width, height}),
             m.Element("FactoryKind",
                       {m.Or({m.Mark(factoryKindElements[0]), m.Mark(factoryKindElements[1]),
                              m.Mark(factoryKindElements[2]), m.Mark(factoryKindElements[3])})}),
             m.Element("NodesCombination",
                       {m.Or({m.Mark(combinationElements[0]), m.Mark(combinationElements[1]),
                              m.Mark(combinationElements[2])})}),
             m.Opt(m.Mark("ShowNameIO")), m.Opt(m.Mark("ShowTypeIO")), m.Opt(m.Mark("ShowNameNIO")),
             m.Opt(m.Mark("ShowTypeNIO")), m.Star(node), m.Star(input), m.Star(output)});
        const TDTDItem* view = m.Element("View", {m.Or({m.Mark("ModeDrag"), m.Mark("ModeConnect")}),
                                                  m.Opt(m.Mark("ShowHints")),
                                                  m.Text("HorScrollPos"), m.Text("VertScrollPos")});
        root =
            grammar.Make<TDTDCompound>(factoryFileRoot, m.Seq({m.Text("Version"), view, factory}));
    }
};

} // namespace

const TDTDCompound* FactoryGrammar()
{
    static const TFactoryGrammar built;
    return built.root;
}

// ---- numbers ----------------------------------------------------------------------------------

std::string FormatFactoryNumber(double x)
{
    if (x == 0.0)
        return "0";
    // Never written by the program; a text the reader refuses, so that a save refuses it too.
    if (!std::isfinite(x))
        return std::isnan(x) ? "NaN" : (x > 0 ? "INF" : "-INF");
    // "d.ddddddddddddddde-XX": the 15 digits rounded once, whatever the locale, and the power of
    // ten of the first. The layout is decided by the rounded number, so that a number read back
    // from its text gets the same text again.
    char buffer[40];
    auto end = std::to_chars(buffer, buffer + sizeof(buffer), std::fabs(x),
                             std::chars_format::scientific, 14)
                   .ptr;
    std::string_view text(buffer, static_cast<size_t>(end - buffer));
    std::string digits(1, text[0]);
    digits.append(text.substr(2, 14));
    int exponent = 0;
    std::from_chars(text.data() + 18, text.data() + text.size(), exponent);
    if (text[17] == '-')
        exponent = -exponent;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = x < 0 ? "-" : "";
    if (exponent < -5) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        return out + "E-" + std::to_string(-exponent);
    }
    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<size_t>(-exponent - 1), '0');
        return out + digits;
    }
    size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) {
        out += digits;
        out.append(whole - digits.size(), '0');
        return out;
    }
    out.append(digits, 0, whole);
    out += '.';
    out.append(digits, whole);
    return out;
}

// ---- writing ----------------------------------------------------------------------------------

namespace {

std::string Key(std::string_view key)
{
    return std::string(key);
}

void AddInteger(TXMLComplexElement& parent, const char* name, int64_t value)
{
    parent.AddText(name, std::to_string(value));
}

void AddPinPlace(TXMLComplexElement& element, const TSntPinPlace& pin)
{
    element.AddText("Height", FormatFactoryNumber(pin.GetHeightValue()));
    element.AddText("ValueDomType", Key(GetValueDomTypeKey(pin.GetValueDomType())));
    // Booleans and the three wave properties have no domain to choose.
    if (GetDomainCount(pin.GetValueDomType()) > 0)
        element.AddText("ValueDomain", Key(GetValueDomainKey(pin.GetValueDomain())));
    if (pin.Fixed)
        element.AddComplex("Fixed");
}

void AddValueAndSource(TXMLComplexElement& element, const TSountoryOutputTarget& target)
{
    int counter = 0;
    if (target.GetHasConstant()) {
        ++counter;
        TXMLComplexElement* value = element.AddComplex("Value");
        if (target.IsWaveTarget()) {
            value->AddText("NameSound", target.GetConstantSoundName());
        } else {
            TSntValue constant = target.GetConstant();
            value->AddText("Double", FormatFactoryNumber(constant.value));
            value->AddText("ValueType", Key(GetValueTypeKey(constant.valueType)));
            value->AddText("UnitKind", Key(GetMeasureName(target.GetConstantUnitKind())));
        }
    }
    if (TSountoryInputSource* SountoryInputSource = target.GetSource()) {
        ++counter;
        TXMLComplexElement* source = element.AddComplex("ValueSource");
        if (TSountoryNodeOutput* output = SountoryInputSource->AsNodeOutput()) {
            source->AddText("NameNode", output->GetNode()->Name);
            source->AddText("NameNodeOutput", output->Name);
        } else {
            KV_SOFT_ASSERT(SountoryInputSource->GetSntSountorySourceKind() ==
                           sntSountoryObjectInput);
            source->AddText("NameInput", SountoryInputSource->GetSourceName());
        }
    }
    KV_SOFT_ASSERT(counter < 2);
}

void AddNode(TXMLComplexElement& factory, const TSountoryNode& node)
{
    TXMLComplexElement* element = factory.AddComplex("Node");
    element->AddText("Name", node.Name);
    if (node.DefaultName)
        element->AddComplex("DefaultName");
    const TSountoryRectangle& r = node.GetRect();
    TXMLComplexElement* rectangle = element->AddComplex("Rectangle");
    AddInteger(*rectangle, "Left", r.left);
    AddInteger(*rectangle, "Top", r.top);
    AddInteger(*rectangle, "Width", int64_t{r.right} - r.left);
    AddInteger(*rectangle, "Height", int64_t{r.bottom} - r.top);
    element->AppendChild(node.KindToXml());
    for (const auto& in : node.Inputs()) {
        TXMLComplexElement* pin = element->AddComplex("NodeInput");
        pin->AddText("Name", in->Name);
        AddPinPlace(*pin, *in);
        AddValueAndSource(*pin, *in);
    }
    for (const auto& out : node.Outputs()) {
        TXMLComplexElement* pin = element->AddComplex("NodeOutput");
        pin->AddText("Name", out->Name);
        AddPinPlace(*pin, *out);
    }
}

std::unique_ptr<TXMLComplexElement> ViewToXml(const TFactoryView& view)
{
    auto element = std::make_unique<TXMLComplexElement>("View");
    element->AddComplex(view.Mode == ModeDrag ? "ModeDrag" : "ModeConnect");
    if (view.ShowHints)
        element->AddComplex("ShowHints");
    AddInteger(*element, "HorScrollPos", view.HorScrollPos);
    AddInteger(*element, "VertScrollPos", view.VertScrollPos);
    return element;
}

} // namespace

std::unique_ptr<TXMLComplexElement> TUnitSountory::ToXmlTree() const
{
    auto root = std::make_unique<TXMLComplexElement>(factoryFileRoot);
    root->AddText("Version", factoryFileVersion);
    root->AppendChild(ViewToXml(View));
    TXMLComplexElement* factory = root->AddComplex("Factory");
    TXMLComplexElement* size = factory->AddComplex("RectangleSize");
    AddInteger(*size, "Width", int64_t{FactoryRect.right} - FactoryRect.left);
    AddInteger(*size, "Height", int64_t{FactoryRect.bottom} - FactoryRect.top);
    if (KV_SOFT_ASSERT(FactoryKind < factoryKindElements.size()))
        factory->AddComplex("FactoryKind")->AddComplex(factoryKindElements[FactoryKind]);
    if (KV_SOFT_ASSERT(NodesCombination < combinationElements.size()))
        factory->AddComplex("NodesCombination")->AddComplex(combinationElements[NodesCombination]);
    const std::pair<const char*, bool> switches[] = {{"ShowNameIO", ShowNameIO},
                                                     {"ShowTypeIO", ShowTypeIO},
                                                     {"ShowNameNIO", ShowNameNIO},
                                                     {"ShowTypeNIO", ShowTypeNIO}};
    for (const auto& [name, on] : switches)
        if (on)
            factory->AddComplex(name);
    for (const auto& node : nodes)
        AddNode(*factory, *node);
    for (const auto& in : inputs) {
        TXMLComplexElement* pin = factory->AddComplex("Input");
        pin->AddText("Name", in->Name);
        AddPinPlace(*pin, *in);
        if (in->CanChangeWaveSubtype)
            pin->AddComplex("CanChangeWaveSubtype");
    }
    for (const auto& out : outputs) {
        TXMLComplexElement* pin = factory->AddComplex("Output");
        pin->AddText("Name", out->Name);
        AddPinPlace(*pin, *out);
        if (out->CanChangeWaveSubtype)
            pin->AddComplex("CanChangeWaveSubtype");
        AddValueAndSource(*pin, *out);
    }
    return root;
}

// ---- reading ----------------------------------------------------------------------------------

namespace {

const std::string& Text(const TXMLItem* xml)
{
    static const std::string noText;
    return xml && xml->IsText() ? xml->GetText() : noText;
}

std::string Quoted(const std::string& text)
{
    return "\"" + TXMLToken::Quote(text) + "\"";
}

template <class Map, class Key> typename Map::mapped_type Lookup(const Map& map, const Key& key)
{
    auto it = map.find(key);
    return it == map.end() ? nullptr : it->second;
}

// The pins of one owner by name, the first of a name winning. A short list is searched where it
// lies; a long one (only a strange file has one) gets an index the first time it is asked.
template <class Pin> class TPinIndex
{
public:
    Pin* Find(const std::vector<std::unique_ptr<Pin>>& pins, std::string_view name)
    {
        if (pins.size() <= shortList) {
            for (const auto& pin : pins)
                if (pin->Name == name)
                    return pin.get();
            return nullptr;
        }
        auto [it, made] = indexes.try_emplace(&pins);
        if (made)
            for (const auto& pin : pins)
                it->second.try_emplace(pin->Name, pin.get());
        return Lookup(it->second, name);
    }

private:
    static constexpr size_t shortList = 16;
    std::unordered_map<const void*, std::unordered_map<std::string_view, Pin*>> indexes;
};

} // namespace

/// One read of a "UnitFact" tree into an empty factory: the first pass makes the pins and nodes
/// in file order and notes the connections, the second joins them by name.
class TFactoryReader
{
public:
    TFactoryReader(TUnitSountory& document, std::string& message, int32_t& line, int32_t& column)
        : doc(document), message(message), line(line), column(column)
    {
    }

    bool Read(const TXMLItem* root);

private:
    // The children of an element a grammar checked, taken in order.
    struct TChildren
    {
        const TXMLItem* parent;
        const TXMLItem* next;
    };
    struct TPin
    {
        std::string name;
        unitFactorPosMax1 height;
        ValueDomType type = ValueDomType::Factor;
        ValueDomain domain = ValueDomain::AllValues;
        bool fixed = false;
        bool canChangeWaveSubtype = false;
        const TXMLItem* value = nullptr;
        const TXMLItem* source = nullptr;
    };
    // A connection of the file: the target's node (none for a factory output) and pin by name,
    // and the element naming the source.
    struct TLink
    {
        const std::string* node;
        const std::string* pin;
        const TXMLItem* source;
    };

    static TChildren ChildrenOf(const TXMLItem* xml) { return {xml, FirstChild(xml)}; }
    bool Fail(const TXMLItem* at, std::string text)
    {
        return viewxml::Fail(at, std::move(text), message, line, column);
    }
    static const TXMLItem* Take(TChildren& children, const char* name)
    {
        if (!IsElement(children.next, name))
            return nullptr;
        const TXMLItem* taken = children.next;
        children.next = taken->GetNext();
        return taken;
    }
    bool Need(TChildren& children, const char* name, const TXMLItem*& out)
    {
        out = Take(children, name);
        return out || viewxml::Missing(children.parent, children.next, name, message, line, column);
    }
    bool Integer(const TXMLItem* xml, int32_t& out)
    {
        unitInteger value;
        if (!value.ReadXML(xml, message, line, column))
            return false;
        out = value.GetValue();
        return true;
    }
    bool Within(const TXMLItem* xml, int64_t coordinate)
    {
        if (coordinate >= -factoryCoordinateLimit && coordinate <= factoryCoordinateLimit)
            return true;
        return Fail(xml, "In " + xml->GetElement() + ": The rectangle must lie between -" +
                             std::to_string(factoryCoordinateLimit) + " and " +
                             std::to_string(factoryCoordinateLimit) + ".");
    }
    // A left or top side.
    bool Coordinate(TChildren& children, const char* name, int32_t& out)
    {
        const TXMLItem* xml = nullptr;
        return Need(children, name, xml) && Integer(xml, out) && Within(xml, out);
    }
    // A width or height, giving the far side of a rectangle whose near side is at origin. A
    // rectangle of no size would stand beside its neighbours everywhere.
    bool Extent(TChildren& children, const char* name, int32_t origin, int32_t& far)
    {
        const TXMLItem* xml = nullptr;
        unitIntegerPosMore size(1, EHNone);
        if (!Need(children, name, xml) || !size.ReadXML(xml, message, line, column) ||
            !Within(xml, int64_t{origin} + size.GetValue()))
            return false;
        far = origin + size.GetValue();
        return true;
    }
    // The index of the element's first child among the names; -1 with the message when none.
    int32_t Choice(const TXMLItem* xml, std::span<const char* const> names)
    {
        const TXMLItem* chosen = FirstChild(xml);
        for (size_t i = 0; i < names.size(); ++i)
            if (IsElement(chosen, names[i]))
                return static_cast<int32_t>(i);
        viewxml::Missing(xml, chosen, names[0], message, line, column);
        return -1;
    }

    bool ReadFactory(const TXMLItem* xml);
    bool ReadNode(const TXMLItem* xml);
    bool ReadRectangle(const TXMLItem* xml, TSountoryRectangle& rect);
    bool MakeNode(TChildren& children, const std::string& name, const TSountoryRectangle& rect,
                  std::unique_ptr<TSountoryNode>& node);
    bool ReadPin(const TXMLItem* xml, TPin& pin);
    bool ReadConstant(const TXMLItem* xml, const TPin& pin, TSountoryOutputTarget& target);
    bool ReadFactoryPin(const TXMLItem* xml, bool output);
    void Connect();
    TSountoryInputSource* Resolve(const TXMLItem* source);
    bool ReadView(const TXMLItem* xml);

    TUnitSountory& doc;
    std::string& message;
    int32_t& line;
    int32_t& column;
    std::vector<TLink> outputLinks;
    std::vector<TLink> nodeLinks;
    std::unordered_map<std::string_view, TSountoryNode*> nodesByName;
    TPinIndex<TSountoryInput> inputs;
    TPinIndex<TSountoryOutput> outputs;
    TPinIndex<TSountoryNodeInput> nodeInputs;
    TPinIndex<TSountoryNodeOutput> nodeOutputs;
};

bool TFactoryReader::Read(const TXMLItem* root)
{
    if (!IsElement(root, factoryFileRoot))
        return viewxml::Missing(root, root, factoryFileRoot, message, line, column);
    TChildren top = ChildrenOf(root);
    const TXMLItem* version = nullptr;
    const TXMLItem* view = nullptr;
    const TXMLItem* factory = nullptr;
    if (!Need(top, "Version", version))
        return false;
    if (Text(version) != factoryFileVersion)
        return Fail(version, "Version " + Quoted(Text(version)) +
                                 " is no version of a Factory file that can be read (" +
                                 factoryFileVersion + ").");
    if (!Need(top, "View", view) || !Need(top, "Factory", factory))
        return false;
    // Each node goes in front of the ones read before it. They are appended while they are
    // read and turned round at the end: putting each at the head would move all the others.
    size_t before = doc.nodes.size();
    bool ok = ReadFactory(factory);
    std::reverse(doc.nodes.begin() + static_cast<ptrdiff_t>(before), doc.nodes.end());
    std::rotate(doc.nodes.begin(), doc.nodes.begin() + static_cast<ptrdiff_t>(before),
                doc.nodes.end());
    if (!ok)
        return false;
    Connect();
    return ReadView(view);
}

bool TFactoryReader::ReadFactory(const TXMLItem* xml)
{
    TChildren children = ChildrenOf(xml);
    const TXMLItem* size = nullptr;
    const TXMLItem* kind = nullptr;
    const TXMLItem* combination = nullptr;
    if (!Need(children, "RectangleSize", size))
        return false;
    TChildren sizes = ChildrenOf(size);
    TSountoryRectangle& area = doc.FactoryRect;
    if (!Extent(sizes, "Width", area.left, area.right) ||
        !Extent(sizes, "Height", area.top, area.bottom))
        return false;

    if (!Need(children, "FactoryKind", kind))
        return false;
    int32_t kindIndex = Choice(kind, factoryKindElements);
    if (kindIndex < 0)
        return false;
    // The pins come from the file: none is made, fixed or deleted for the kind.
    doc.FactoryKind = static_cast<uint8_t>(kindIndex);
    if (!Need(children, "NodesCombination", combination))
        return false;
    int32_t mode = Choice(combination, combinationElements);
    if (mode < 0)
        return false;
    doc.SetNodesCombination(static_cast<uint8_t>(mode));
    doc.ShowNameIO = Take(children, "ShowNameIO") != nullptr;
    doc.ShowTypeIO = Take(children, "ShowTypeIO") != nullptr;
    doc.ShowNameNIO = Take(children, "ShowNameNIO") != nullptr;
    doc.ShowTypeNIO = Take(children, "ShowTypeNIO") != nullptr;
    while (const TXMLItem* node = Take(children, "Node"))
        if (!ReadNode(node))
            return false;
    while (const TXMLItem* input = Take(children, "Input"))
        if (!ReadFactoryPin(input, false))
            return false;
    while (const TXMLItem* output = Take(children, "Output"))
        if (!ReadFactoryPin(output, true))
            return false;
    return true;
}

bool TFactoryReader::ReadRectangle(const TXMLItem* xml, TSountoryRectangle& rect)
{
    TChildren children = ChildrenOf(xml);
    return Coordinate(children, "Left", rect.left) && Coordinate(children, "Top", rect.top) &&
           Extent(children, "Width", rect.left, rect.right) &&
           Extent(children, "Height", rect.top, rect.bottom);
}

bool TFactoryReader::MakeNode(TChildren& children, const std::string& name,
                              const TSountoryRectangle& rect, std::unique_ptr<TSountoryNode>& node)
{
    if (const TXMLItem* builtin = Take(children, "BuiltinNode")) {
        TChildren inner = ChildrenOf(builtin);
        const TXMLItem* action = nullptr;
        if (!Need(inner, "NameBuiltinAction", action))
            return false;
        const TBuiltinNodeMaker* maker = FindService<TBuiltinNodeMaker>();
        int32_t kind = maker ? maker->FindKind(Text(action)) : -1;
        if (kind < 0)
            return Fail(action, "NameBuiltinAction " + Quoted(Text(action)) + " does not exists.");
        // Made without pins: the node has exactly the pins the file lists.
        node = maker->Make(&doc, name, kind, rect);
        return true;
    }
    const TXMLItem* user = Take(children, "UserNode");
    const TXMLItem* repeat = user ? nullptr : Take(children, "RepeatNode");
    if (!user && !repeat)
        return viewxml::Missing(children.parent, children.next, "BuiltinNode", message, line,
                                column);
    TChildren inner = ChildrenOf(user ? user : repeat);
    const TXMLItem* nameFactory = nullptr;
    if (!Need(inner, "NameFactory", nameFactory))
        return false;
    // The factory it runs is looked for by the next validation.
    if (user)
        node = std::make_unique<TSountoryNodeUser>(&doc, name, Text(nameFactory), rect);
    else
        node = std::make_unique<TSountoryNodeLoop>(&doc, name, Text(nameFactory), rect, false);
    return true;
}

bool TFactoryReader::ReadNode(const TXMLItem* xml)
{
    TChildren children = ChildrenOf(xml);
    const TXMLItem* name = nullptr;
    const TXMLItem* rectangle = nullptr;
    if (!Need(children, "Name", name))
        return false;
    bool defaultName = Take(children, "DefaultName") != nullptr;
    TSountoryRectangle rect;
    std::unique_ptr<TSountoryNode> made;
    if (!Need(children, "Rectangle", rectangle) || !ReadRectangle(rectangle, rect) ||
        !MakeNode(children, Text(name), rect, made))
        return false;
    made->DefaultName = defaultName;
    TSountoryNode* node = made.get();
    doc.nodes.push_back(std::move(made));

    while (const TXMLItem* input = Take(children, "NodeInput")) {
        TPin pin;
        if (!ReadPin(input, pin))
            return false;
        TSountoryNodeInput* in =
            node->AddInput(pin.name, pin.height, pin.fixed, pin.type, pin.domain);
        if (pin.value && !ReadConstant(pin.value, pin, *in))
            return false;
        if (pin.source)
            nodeLinks.push_back({&node->Name, &in->Name, pin.source});
    }
    while (const TXMLItem* output = Take(children, "NodeOutput")) {
        TPin pin;
        if (!ReadPin(output, pin))
            return false;
        node->AddOutput(pin.name, pin.height, pin.fixed, pin.type, pin.domain);
    }
    return true;
}

bool TFactoryReader::ReadPin(const TXMLItem* xml, TPin& pin)
{
    TChildren children = ChildrenOf(xml);
    const TXMLItem* name = nullptr;
    const TXMLItem* height = nullptr;
    const TXMLItem* type = nullptr;
    if (!Need(children, "Name", name) || !Need(children, "Height", height) ||
        !pin.height.ReadXML(height, message, line, column))
        return false;
    pin.name = Text(name);
    // A place read from a file is shown as a plain number, whatever unit its text had.
    pin.height.SetUnit(EHNone);
    if (!Need(children, "ValueDomType", type))
        return false;
    int found = FindValueDomType(Text(type));
    if (found < 0)
        return Fail(type, "ValueDomType " + Quoted(Text(type)) + " does not exists.");
    pin.type = static_cast<ValueDomType>(found);
    if (const TXMLItem* domain = Take(children, "ValueDomain")) {
        found = FindValueDomain(Text(domain));
        if (found < 0)
            return Fail(domain, "ValueDomain " + Quoted(Text(domain)) + " does not exists.");
        pin.domain = static_cast<ValueDomain>(found);
    }
    pin.fixed = Take(children, "Fixed") != nullptr;
    pin.canChangeWaveSubtype = Take(children, "CanChangeWaveSubtype") != nullptr;
    pin.value = Take(children, "Value");
    pin.source = Take(children, "ValueSource");
    return true;
}

// The grammar lets either form of a constant stand on any pin; a wave pin holds the name of an
// open wave, every other pin a number, and the run could use neither in the other's place.
bool TFactoryReader::ReadConstant(const TXMLItem* xml, const TPin& pin,
                                  TSountoryOutputTarget& target)
{
    TChildren children = ChildrenOf(xml);
    const std::string typeKey(GetValueDomTypeKey(pin.type));
    if (const TXMLItem* sound = Take(children, "NameSound")) {
        if (pin.type != ValueDomType::Wave)
            return Fail(sound, "NameSound " + Quoted(Text(sound)) +
                                   " is no value of a pin of ValueDomType \"" + typeKey + "\".");
        target.SetConstantSound(Text(sound));
        return true;
    }
    const TXMLItem* number = nullptr;
    const TXMLItem* type = nullptr;
    const TXMLItem* unitKind = nullptr;
    if (!Need(children, "Double", number))
        return false;
    if (pin.type == ValueDomType::Wave)
        return Fail(number, "Double " + Quoted(Text(number)) +
                                " is no value of a pin of ValueDomType \"" + typeKey + "\".");
    double value = 0.0;
    MeasureUnitKind typed = EHNone;
    std::string reason;
    if (!ParseFactor(Text(number), 0, value, typed, reason))
        return Fail(number, "Double " + Quoted(Text(number)) + " is not a valid value: " + reason);
    if (!Need(children, "ValueType", type))
        return false;
    int valueType = FindValueType(Text(type));
    if (valueType < 0)
        return Fail(type, "ValueType " + Quoted(Text(type)) + " does not exists.");
    if (static_cast<ValueType>(valueType) == ValueType::Wave)
        return Fail(type, "ValueType " + Quoted(Text(type)) + " is no type of a number.");
    if (!Need(children, "UnitKind", unitKind))
        return false;
    int unit = FindMeasureName(Text(unitKind));
    if (unit < 0)
        return Fail(unitKind, "UnitKind " + Quoted(Text(unitKind)) + " does not exists.");
    target.SetConstantValue(TSntValue(value, static_cast<ValueType>(valueType)),
                            static_cast<MeasureUnitKind>(unit));
    return true;
}

bool TFactoryReader::ReadFactoryPin(const TXMLItem* xml, bool output)
{
    TPin pin;
    if (!ReadPin(xml, pin))
        return false;
    if (!output) {
        TSountoryInput* in = doc.CreateInput(pin.name, pin.height, pin.fixed, pin.type, pin.domain);
        in->CanChangeWaveSubtype = pin.canChangeWaveSubtype;
        return true;
    }
    TSountoryOutput* out = doc.CreateOutput(pin.name, pin.height, pin.fixed, pin.type, pin.domain);
    out->CanChangeWaveSubtype = pin.canChangeWaveSubtype;
    if (pin.value && !ReadConstant(pin.value, pin, *out))
        return false;
    if (pin.source)
        outputLinks.push_back({nullptr, &out->Name, pin.source});
    return true;
}

// Names resolve to the first match from the head of each list, as every lookup of the factory
// does; the indexes keep that order (the first entry of a name stays) and keep the pass linear.
void TFactoryReader::Connect()
{
    if (outputLinks.empty() && nodeLinks.empty())
        return;
    nodesByName.reserve(doc.nodes.size());
    for (const auto& node : doc.nodes)
        nodesByName.try_emplace(node->Name, node.get());
    // A source that is not found leaves the target without one; the file was accepted when it
    // was made, so no compatibility question is asked.
    for (const TLink& link : outputLinks)
        if (TSountoryOutput* target = outputs.Find(doc.outputs, *link.pin))
            target->SetSource(Resolve(link.source));
    for (const TLink& link : nodeLinks) {
        const TSountoryNode* node = Lookup(nodesByName, std::string_view(*link.node));
        if (TSountoryNodeInput* target =
                node ? nodeInputs.Find(node->Inputs(), *link.pin) : nullptr)
            target->SetSource(Resolve(link.source));
    }
}

TSountoryInputSource* TFactoryReader::Resolve(const TXMLItem* source)
{
    TChildren children = ChildrenOf(source);
    if (const TXMLItem* input = Take(children, "NameInput"))
        return inputs.Find(doc.inputs, Text(input));
    const TXMLItem* nodeName = Take(children, "NameNode");
    const TXMLItem* outputName = Take(children, "NameNodeOutput");
    const TSountoryNode* node =
        nodeName ? Lookup(nodesByName, std::string_view(Text(nodeName))) : nullptr;
    return node && outputName ? nodeOutputs.Find(node->Outputs(), Text(outputName)) : nullptr;
}

bool TFactoryReader::ReadView(const TXMLItem* xml)
{
    TChildren children = ChildrenOf(xml);
    const TXMLItem* mode = children.next;
    if (!IsElement(mode, "ModeDrag") && !IsElement(mode, "ModeConnect"))
        return viewxml::Missing(xml, mode, "ModeDrag", message, line, column);
    children.next = mode->GetNext();
    TFactoryView view;
    view.Mode = IsElement(mode, "ModeDrag") ? ModeDrag : ModeConnect;
    view.ShowHints = Take(children, "ShowHints") != nullptr;
    const TXMLItem* horizontal = nullptr;
    const TXMLItem* vertical = nullptr;
    if (!Need(children, "HorScrollPos", horizontal) || !Integer(horizontal, view.HorScrollPos) ||
        !Need(children, "VertScrollPos", vertical) || !Integer(vertical, view.VertScrollPos))
        return false;
    doc.View = view;
    return true;
}

bool TUnitSountory::FromXml(const TXMLItem* root, std::string& message, int32_t& line,
                            int32_t& column)
{
    TFactoryReader reader(*this, message, line, column);
    return reader.Read(root);
}

// ---- the document's file operations ------------------------------------------------------------

namespace {

// The tokens checked for their version and against the grammar: the tree under holder.
bool ParseTokens(const TXMLToken& tokens, const std::string& version, TXMLComplexElement& holder,
                 std::string& message)
{
    if (tokens.GetTokenKind() == xmlTokenError) {
        message = tokens.GetError();
        return false;
    }
    // Nothing of a file of another version is read: its elements may mean something else.
    if (version != factoryFileVersion) {
        message = "Version " + Quoted(version) +
                  " is no version of a Factory file that can be read (" + factoryFileVersion + ").";
        return false;
    }
    const TXMLToken* cursor = &tokens;
    bool fatal = false;
    return FactoryGrammar()->Parse(holder, cursor, message, fatal);
}

bool FillFrom(TUnitSountory& doc, const TXMLItem* root, std::string& message)
{
    int32_t line = 0;
    int32_t column = 0;
    if (doc.FromXml(root, message, line, column))
        return true;
    message += viewxml::AtPosition(line, column);
    return false;
}

// What the reader would refuse is not written: the tree is read into a scratch factory first.
bool ReadsBack(const TUnitSountory& doc, const TXMLItem& tree, std::string& error)
{
    TUnitSountory check(doc.GetName(), "", doc.GetHost());
    int32_t line = 0;
    int32_t column = 0;
    return check.FromXml(&tree, error, line, column);
}

} // namespace

bool ReadFactoryTokens(TUnitSountory& doc, const TXMLToken& tokens, const std::string& version,
                       std::string& message)
{
    TXMLArenaScope arena;
    TXMLComplexElement holder("Root");
    return ParseTokens(tokens, version, holder, message) &&
           FillFrom(doc, holder.GetFirstChild(), message);
}

bool FormatFactoryFile(const TUnitSountory& doc, std::string& out, std::string& error)
{
    std::unique_ptr<TXMLComplexElement> tree = doc.ToXmlTree();
    return ReadsBack(doc, *tree, error) && FormatXMLFile(*tree, factoryDoctypeSuffix, out, error);
}

bool TUnitSountory::LoadFromFile(const std::string& fileName, std::string& message)
{
    std::string version;
    TXMLToken tokens(fileName, version);
    return ReadFactoryTokens(*this, tokens, version, message);
}

bool TUnitSountory::DuplicateFrom(const TUnitSountory& other, std::string& message)
{
    std::unique_ptr<TXMLComplexElement> tree = other.ToXmlTree();
    return FillFrom(*this, tree.get(), message);
}

bool TUnitSountory::Save()
{
    return SaveAs(GetFileName());
}

bool TUnitSountory::SaveAs(const std::string& fileName)
{
    std::unique_ptr<TXMLComplexElement> tree = ToXmlTree();
    std::string error;
    bool ok = ReadsBack(*this, *tree, error) &&
              WriteXMLFile(*tree, fileName, error, factoryDoctypeSuffix);
    if (!ok)
        Messages().Show("Cannot save Factory: " + error, "FileError", MsgIcon::Information,
                        MsgButtons::Ok);
    return ok;
}

bool TUnitSountory::Revert(std::string& message, std::string& failedFile)
{
    std::string version;
    TXMLToken tokens(GetFileName(), version);
    TXMLArenaScope arena;
    TXMLComplexElement holder("Root");
    // The file is read into a scratch factory first, so a file that fails leaves this one; the
    // same tree then fills this one.
    TUnitSountory fresh(GetName(), "", host);
    bool ok = ParseTokens(tokens, version, holder, message) &&
              FillFrom(fresh, holder.GetFirstChild(), message);
    if (ok) {
        Clear();
        ok = FillFrom(*this, holder.GetFirstChild(), message);
    }
    if (!ok) {
        failedFile = GetFileName();
        return false;
    }
    Modified = false;
    return true;
}

} // namespace kelvorn
