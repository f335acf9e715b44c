#include "music/core/MuzFile.h"

#include "document/views/ViewXml.h"
#include "general/Assert.h"
#include "general/Messages.h"
#include "general/values/ValueText.h"
#include "general/values/ValueUnits.h"
#include "general/xml/XMLWriter.h"
#include "music/core/NotePlayer.h"
#include "music/core/Stave.h"
#include "music/core/UnitMuz.h"

#include <algorithm>
#include <array>
#include <climits>
#include <map>
#include <tuple>
#include <vector>

namespace kelvorn {

using viewxml::FirstChild;
using viewxml::IsElement;

// ---- grammars ---------------------------------------------------------------------------------

namespace {

struct TGrammarMaker
{
    TDTDGrammar& g;
    const TDTDItem* empty = g.Make<TDTDEmpty>();

    const TDTDItem* Text(const char* name) { return g.Make<TDTDContentText>(name); }
    const TDTDItem* Mark(const char* name) { return g.Make<TDTDCompound>(name, empty); }
    const TDTDCompound* Element(const char* name, std::initializer_list<const TDTDItem*> items)
    {
        return g.Make<TDTDCompound>(name, viewxml::Sequence(g, items));
    }
    const TDTDItem* Opt(const TDTDItem* item) { return g.Make<TDTDOptional>(item); }
    const TDTDItem* Star(const TDTDItem* item) { return g.Make<TDTDRepeatMin0>(item); }
    const TDTDItem* Plus(const TDTDItem* item) { return g.Make<TDTDRepeatMin1>(item); }
    const TDTDItem* Or(std::initializer_list<const TDTDItem*> items)
    {
        return viewxml::Choice(g, items);
    }

    const TDTDItem* Stick() { return Opt(Or({Mark("NoteStickUp"), Mark("NoteStickDown")})); }
    const TDTDItem* NoteShift()
    {
        return Opt(Or({Mark("ShiftDoubleMol"), Mark("ShiftMol"), Mark("ShiftNormal"),
                       Mark("ShiftCross"), Mark("ShiftDoubleCross")}));
    }
    const TDTDItem* Tuplet()
    {
        return Opt(Or({Mark("Duool"), Mark("Triool"), Mark("Kwartool"), Mark("Kwintool")}));
    }
    const TDTDItem* Key()
    {
        const TDTDItem* shift =
            Element("KeyNoteShift", {Or({Mark("ShiftCross"), Mark("ShiftMol")}), Text("Height")});
        return Element("Key",
                       {Text("Position"), Text("KeyKind"), Opt(Text("OctavesUp")), Star(shift)});
    }
    const TDTDItem* Player()
    {
        auto tail = [this](std::initializer_list<const TDTDItem*> head) {
            std::vector<const TDTDItem*> items(head);
            items.push_back(Opt(Text("FreqUp")));
            items.push_back(Text("VolumeFactor"));
            const TDTDItem* seq = items.back();
            for (size_t i = items.size() - 1; i-- > 0;)
                seq = g.Make<TDTDConcat>(items[i], seq);
            return seq;
        };
        auto player = [this](const char* name, const TDTDItem* content) {
            return g.Make<TDTDCompound>(name, content);
        };
        return g.Make<TDTDCompound>(
            "CompoundPlayer",
            Plus(Or({player("SimpleOneSampler", tail({Text("BasicFreq"), Text("SampleWave")})),
                     player("RollOutSampler", tail({Text("BasicFreq"), Text("SampleWave")})),
                     player("ResonantSampler", tail({Text("ResFactor"), Text("SampleWave")})),
                     player("RepeatWaveForm", tail({Text("SampleWave")})),
                     player("RollOutWaveForm", tail({Text("SampleWave")}))})));
    }
    const TDTDItem* Shape() { return Or({Mark("NoteShapeNormal"), Mark("NoteShapeRectangle")}); }
    const TDTDItem* StaveHead(bool old)
    {
        if (old)
            return viewxml::Sequence(g,
                                     {Text("RoomUp"), Text("RoomDown"), Opt(Mark("AllowJoinFlags")),
                                      Opt(Mark("AutoStick")), Opt(Mark("Mute")),
                                      Text("ForegroundColor"), Text("BackgroundColor")});
        return viewxml::Sequence(g, {Text("RoomUp"), Text("RoomDown"), Opt(Mark("AllowJoinFlags")),
                                     Opt(Mark("Mute")), Opt(Mark("ExtraLines")),
                                     Text("ForegroundColor"), Text("BackgroundColor")});
    }
};

} // namespace

const TDTDCompound* CreateMuzDTD70(TDTDGrammar& grammar)
{
    TGrammarMaker m{grammar};
    const TDTDItem* silence =
        m.Element("Silence", {m.Text("Position"), m.Text("Length"), m.Opt(m.Text("Points"))});
    const TDTDItem* note =
        m.Element("Note", {m.Text("Position"), m.Text("Length"), m.Opt(m.Text("Points")),
                           m.Text("Height"), m.NoteShift()});
    const TDTDItem* group = m.Element(
        "NoteGroup", {m.Text("NoteColor"), m.Shape(), m.Stick(), m.Player(), m.Star(note)});
    const TDTDItem* key = m.Key();
    const TDTDItem* stave =
        m.Element("Stave", {m.StaveHead(true), key, m.Star(m.Or({key, silence})), m.Plus(group)});
    const TDTDItem* bar = m.Element("Bar", {m.Text("Count"), m.Text("Length")});
    return m.Element(muzFileRoot, {m.Text("Version"), m.Text("Tempo"), bar, m.Plus(stave)});
}

const TDTDCompound* CreateMuzDTD71(TDTDGrammar& grammar)
{
    TGrammarMaker m{grammar};
    const TDTDItem* partNode =
        m.Element("PartNode", {m.Opt(m.Text("PartLabel")), m.Opt(m.Mark("Expanded")),
                               m.Opt(m.Mark("Selected"))});
    const TDTDItem* bar =
        m.Element("Bar", {m.Text("Count"), m.Text("Length"), m.Opt(m.Text("CountFirstBar"))});
    const TDTDItem* single = m.Element("SingleMuzPart", {bar, partNode});
    const TDTDItem* concat = m.Mark("ConcatMuzPart");
    const TDTDItem* loop = m.Element("LoopMuzPart", {m.Text("Count"), partNode});
    const TDTDItem* turn =
        m.Element("SelectMuzPartTurn", {m.Text("Count"), m.Opt(m.Text("Pitch")), partNode});
    const TDTDItem* select = m.Element("SelectMuzPart", {m.Star(turn), partNode});

    const TDTDItem* silence =
        m.Element("Silence", {m.Text("Position"), m.Text("Length"), m.Opt(m.Text("Points")),
                              m.Tuplet(), m.Opt(m.Text("PosInOol"))});
    const TDTDItem* key = m.Key();
    const TDTDItem* keyPart = m.Element("KeyPart", {key, m.Star(m.Or({key, silence}))});
    const TDTDItem* art =
        m.Opt(m.Or({m.Mark("ArtStaccatissimo"), m.Mark("ArtStaccato"), m.Mark("ArtNormal"),
                    m.Mark("ArtPortato"), m.Mark("ArtLegato")}));
    const TDTDItem* note = m.Element(
        "Note", {m.Text("Position"), m.Text("Length"), m.Opt(m.Text("Points")), m.Text("Height"),
                 m.NoteShift(), m.Tuplet(), m.Opt(m.Text("PosInOol")), art, m.Stick()});
    const TDTDItem* notePart = grammar.Make<TDTDCompound>("NotePart", m.Star(note));
    const TDTDItem* group = m.Element(
        "NoteGroup", {m.Text("NoteColor"), m.Shape(), m.Stick(), m.Player(), m.Plus(notePart)});
    const TDTDItem* stave =
        m.Element("Stave", {m.StaveHead(false), m.Plus(keyPart), m.Plus(group)});
    return m.Element(muzFileRoot, {m.Text("Version"), m.Text("Tempo"),
                                   m.Plus(m.Or({single, concat, loop, select})), m.Plus(stave)});
}

TMuzGrammars::TMuzGrammars() : dtd70(CreateMuzDTD70(grammar)), dtd71(CreateMuzDTD71(grammar)) {}

const TMuzGrammars& MuzGrammars()
{
    static const TMuzGrammars built;
    return built;
}

// ---- the single parts in play order -----------------------------------------------------------

namespace {

// The tree is walked with a work list: a file may nest parts thousands deep.
template <class Visit> void PostOrder(const TPartMuz* top, Visit visit)
{
    struct Frame
    {
        const TPartMuz* part;
        int32_t next;
    };
    std::vector<Frame> stack;
    if (top)
        stack.push_back({top, 0});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next < frame.part->ChildCount()) {
            const TPartMuz* child = frame.part->Child(frame.next++);
            if (child)
                stack.push_back({child, 0});
            continue;
        }
        const TPartMuz* part = frame.part;
        stack.pop_back();
        visit(part);
    }
}

std::vector<TSinglePartMuz*> SingleParts(const TPartMuz* top)
{
    std::vector<TSinglePartMuz*> singles;
    PostOrder(top, [&singles](const TPartMuz* part) {
        if (part->GetKind() == partSingle)
            singles.push_back(
                const_cast<TSinglePartMuz*>(static_cast<const TSinglePartMuz*>(part)));
    });
    return singles;
}

// ---- writing ----------------------------------------------------------------------------------

void AddInteger(TXMLComplexElement& parent, const char* name, int32_t value)
{
    parent.AddText(name, std::to_string(value));
}

void AddPosition(TXMLComplexElement& parent, double position)
{
    unitFactorPos(position, EHNone).AddToXML(parent, "Position");
}

const char* TupletName(MultiOol ool)
{
    static const char* const names[] = {"", "", "Duool", "Triool", "Kwartool", "Kwintool"};
    return ool >= duool && ool <= kwintool ? names[ool] : nullptr;
}

const char* StickName(uint8_t stick)
{
    return stick == drawStickUp     ? "NoteStickUp"
           : stick == drawStickDown ? "NoteStickDown"
                                    : nullptr;
}

void AddPartNode(TXMLComplexElement& parent, const TMusTreeItem& item, const uint8_t* expanded,
                 const TMusTreeItem* selected)
{
    TXMLComplexElement* node = parent.AddComplex("PartNode");
    if (!item.GetLabel().empty())
        node->AddText("PartLabel", item.GetLabel());
    if (expanded && *expanded)
        node->AddComplex("Expanded");
    if (&item == selected)
        node->AddComplex("Selected");
}

void WritePart(TXMLComplexElement& root, const TPartMuz& part, const TMusTreeItem* selected)
{
    switch (part.GetKind()) {
    case partSingle: {
        const auto& single = static_cast<const TSinglePartMuz&>(part);
        TXMLComplexElement* element = root.AddComplex("SingleMuzPart");
        TXMLComplexElement* bar = element->AddComplex("Bar");
        const TMuzBar* MuzBar = single.GetMuzBar();
        if (KV_SOFT_ASSERT(MuzBar != NULL)) {
            AddInteger(*bar, "Count", MuzBar->GetCount());
            AddInteger(*bar, "Length", MuzBar->GetLength());
            if (MuzBar->GetCountFirstBar() != 0)
                AddInteger(*bar, "CountFirstBar", MuzBar->GetCountFirstBar());
        }
        AddPartNode(*element, part, nullptr, selected);
        break;
    }
    case partConcat:
        root.AddComplex("ConcatMuzPart");
        break;
    case partLoop: {
        const auto& loop = static_cast<const TLoopPartMuz&>(part);
        TXMLComplexElement* element = root.AddComplex("LoopMuzPart");
        AddInteger(*element, "Count", loop.Count.GetValue());
        AddPartNode(*element, part, &loop.expanded, selected);
        break;
    }
    case partSelect: {
        const auto& select = static_cast<const TSelectPartMuz&>(part);
        TXMLComplexElement* element = root.AddComplex("SelectMuzPart");
        for (const TSelectPartItem* item = select.GetSelectPartItems()->GetNext(); item;
             item = item->GetNext()) {
            const auto* turn = static_cast<const TCountSelectPartItem*>(item);
            TXMLComplexElement* xmlTurn = element->AddComplex("SelectMuzPartTurn");
            AddInteger(*xmlTurn, "Count", turn->Count.GetValue());
            if (turn->Pitch.GetValue() != 0)
                AddInteger(*xmlTurn, "Pitch", turn->Pitch.GetValue());
            AddPartNode(*xmlTurn, *turn, nullptr, selected);
        }
        AddPartNode(*element, part, &select.expanded, selected);
        break;
    }
    case partStart:
        break;
    }
}

void WriteTimeTail(TXMLComplexElement& element, const TStaveTimeSymbol& symbol)
{
    if (const char* tuplet = TupletName(symbol.GetMultiOol()))
        element.AddComplex(tuplet);
    if (symbol.GetPosInOol() > 0)
        AddInteger(element, "PosInOol", symbol.GetPosInOol());
}

void WriteKeyPart(TXMLComplexElement& xmlStave, const TSinglePartMuz& single,
                  const TNoteStave* stave)
{
    TXMLComplexElement* keyPart = xmlStave.AddComplex("KeyPart");
    bool first = true;
    for (TStaveSymbol* symbol = const_cast<TSinglePartMuz&>(single).FirstSymbol(); symbol;
         symbol = symbol->GetNext()) {
        if (symbol->GetNoteStave() != stave || symbol->GetStaveSymbolKind() == staveSymbolNote)
            continue;
        if (TKey* key = symbol->AsKey()) {
            TXMLComplexElement* xmlKey = keyPart->AddComplex("Key");
            AddPosition(*xmlKey, key->GetPosition());
            xmlKey->AddText("KeyKind", key->GetKeyKind() == keyKindF   ? "F"
                                       : key->GetKeyKind() == keyKindG ? "G"
                                                                       : "C");
            if (key->GetOctavesUp() != 0)
                AddInteger(*xmlKey, "OctavesUp", key->GetOctavesUp());
            for (int32_t step = 0; step < 7; ++step) {
                NoteShiftKind shift = key->GetKeyNoteShift(step);
                if (shift != noteShiftKruis && shift != noteShiftMol)
                    continue;
                TXMLComplexElement* xmlShift = xmlKey->AddComplex("KeyNoteShift");
                xmlShift->AddComplex(shift == noteShiftMol ? "ShiftMol" : "ShiftCross");
                AddInteger(*xmlShift, "Height", step);
            }
        } else {
            KV_SOFT_ASSERT(!first);
            const auto* silence = static_cast<const TStaveTimeSymbol*>(symbol);
            TXMLComplexElement* xmlSilence = keyPart->AddComplex("Silence");
            AddPosition(*xmlSilence, silence->GetPosition());
            AddInteger(*xmlSilence, "Length", silence->GetNoteLengthKind());
            if (silence->GetPoints() > 0)
                AddInteger(*xmlSilence, "Points", silence->GetPoints());
            WriteTimeTail(*xmlSilence, *silence);
        }
        first = false;
    }
    KV_SOFT_ASSERT(!first);
}

void WriteNote(TXMLComplexElement& notePart, const TMuzNote& note)
{
    static const char* const shifts[] = {"ShiftDoubleCross", "ShiftCross",     nullptr,
                                         "ShiftMol",         "ShiftDoubleMol", nullptr};
    static const char* const arts[] = {nullptr, "ArtStaccato", "ArtStaccatissimo", "ArtPortato",
                                       "ArtLegato"};
    TXMLComplexElement* xmlNote = notePart.AddComplex("Note");
    AddPosition(*xmlNote, note.GetPosition());
    AddInteger(*xmlNote, "Length", note.GetNoteLengthKind());
    if (note.GetPoints() > 0)
        AddInteger(*xmlNote, "Points", note.GetPoints());
    AddInteger(*xmlNote, "Height", note.GetPitch());
    if (note.GetNoteShiftKind() <= noteShiftNone && shifts[note.GetNoteShiftKind()])
        xmlNote->AddComplex(shifts[note.GetNoteShiftKind()]);
    WriteTimeTail(*xmlNote, note);
    if (note.GetNoteArtKind() <= noteArtLegato && arts[note.GetNoteArtKind()])
        xmlNote->AddComplex(arts[note.GetNoteArtKind()]);
    if (const char* stick = StickName(note.GetDrawStickKind()))
        xmlNote->AddComplex(stick);
}

void WritePlayer(TXMLComplexElement& compound, const TOnePlayer& player)
{
    const TOnePlayerProps& props = player.OnePlayerProps;
    TXMLComplexElement* element = nullptr;
    auto sampleWave = [&element](const unitUnitWave& wave) {
        element->AddText("SampleWave", wave.GetCaption());
    };
    switch (props.GetKind()) {
    case notePlayerSimpleSampler:
        element = compound.AddComplex("SimpleOneSampler");
        props.GetSimpleSamplerProps().BasicFreq.AddToXML(*element, "BasicFreq");
        sampleWave(props.GetSimpleSamplerProps().SampleWave);
        break;
    case notePlayerRollOutSampler:
        element = compound.AddComplex("RollOutSampler");
        props.GetRollOutSamplerProps().BasicFreq.AddToXML(*element, "BasicFreq");
        sampleWave(props.GetRollOutSamplerProps().SampleWave);
        break;
    case notePlayerResonantSampler:
        element = compound.AddComplex("ResonantSampler");
        props.GetResonantSamplerProps().ResFactor.AddToXML(*element, "ResFactor");
        sampleWave(props.GetResonantSamplerProps().SampleWave);
        break;
    case notePlayerRepeatWaveForm:
        element = compound.AddComplex("RepeatWaveForm");
        sampleWave(props.GetRepeatWaveFormProps().SampleWave);
        break;
    case notePlayerRollOutWaveForm:
        element = compound.AddComplex("RollOutWaveForm");
        sampleWave(props.GetRollOutWaveFormProps().SampleWave);
        break;
    default:
        KV_SOFT_ASSERT(false);
        return;
    }
    if (props.FreqUp.value != 0.0)
        props.FreqUp.AddToXML(*element, "FreqUp");
    props.VolumeFactor.AddToXML(*element, "VolumeFactor");
}

void WriteStave(TXMLComplexElement& root, const TNoteStave& stave,
                const std::vector<TSinglePartMuz*>& singles)
{
    TXMLComplexElement* xmlStave = root.AddComplex("Stave");
    AddInteger(*xmlStave, "RoomUp", stave.RoomUp.GetValue());
    AddInteger(*xmlStave, "RoomDown", stave.RoomDown.GetValue());
    if (stave.drawFlagKind == 1)
        xmlStave->AddComplex("AllowJoinFlags");
    if (stave.Mute)
        xmlStave->AddComplex("Mute");
    if (stave.ExtraLines)
        xmlStave->AddComplex("ExtraLines");
    viewxml::AddColor(*xmlStave, "ForegroundColor", static_cast<int32_t>(stave.ForegroundColor));
    viewxml::AddColor(*xmlStave, "BackgroundColor", static_cast<int32_t>(stave.BackgroundColor));
    for (const TSinglePartMuz* single : singles)
        WriteKeyPart(*xmlStave, *single, &stave);
    KV_SOFT_ASSERT(stave.GetFirstNoteGroup() != NULL);
    for (const TNoteGroup* group = stave.GetFirstNoteGroup(); group; group = group->GetNext()) {
        TXMLComplexElement* xmlGroup = xmlStave->AddComplex("NoteGroup");
        viewxml::AddColor(*xmlGroup, "NoteColor", static_cast<int32_t>(group->NoteColor));
        KV_SOFT_ASSERT(group->NoteShape <= 1);
        xmlGroup->AddComplex(group->NoteShape == 1 ? "NoteShapeRectangle" : "NoteShapeNormal");
        if (const char* stick = StickName(group->GetDefaultStem()))
            xmlGroup->AddComplex(stick);
        TXMLComplexElement* compound = xmlGroup->AddComplex("CompoundPlayer");
        KV_SOFT_ASSERT(group->GetPlayer()->GetFirstOnePlayer() != NULL);
        for (const TOnePlayer* player = group->GetPlayer()->GetFirstOnePlayer(); player;
             player = player->GetNext())
            WritePlayer(*compound, *player);
        for (TSinglePartMuz* single : singles) {
            TXMLComplexElement* notePart = xmlGroup->AddComplex("NotePart");
            for (TStaveSymbol* symbol = single->FirstSymbol(); symbol; symbol = symbol->GetNext())
                if (const TMuzNote* note = symbol->AsNote(); note && note->GetNoteGroup() == group)
                    WriteNote(*notePart, *note);
        }
    }
}

} // namespace

std::unique_ptr<TXMLComplexElement> TUnitMuz::CreateXml() const
{
    auto root = std::make_unique<TXMLComplexElement>(muzFileRoot);
    root->AddText("Version", muzFileVersion);
    tempo.AddToXML(*root, "Tempo");
    PostOrder(rootPart->GetChild(),
              [this, &root](const TPartMuz* part) { WritePart(*root, *part, selectedTreeItem); });
    std::vector<TSinglePartMuz*> singles = SingleParts(rootPart->GetChild());
    for (const TNoteStave* stave = firstStave; stave; stave = stave->GetNext())
        WriteStave(*root, *stave, singles);
    return root;
}

// ---- reading ----------------------------------------------------------------------------------

/// One read of a "UnitMuz" tree into a just constructed document. The parts are rebuilt on a
/// stack that owns them until the tree takes them, so a refusal loses nothing.
class TMuzReader
{
public:
    TMuzReader(TUnitMuz& document, std::string& message, int32_t& line, int32_t& column)
        : doc(document), message(message), line(line), column(column)
    {
    }

    bool ReadUnitMuz(const TXMLItem* xml);

private:
    struct TStacked
    {
        std::unique_ptr<TPartMuz> part;
        int32_t depth;
    };
    // What a note or rest reads before the subclass's own values.
    struct TTimeFields
    {
        const TXMLItem* element = nullptr;
        const TXMLItem* xmlLength = nullptr;
        const TXMLItem* xmlPoints = nullptr;
        const TXMLItem* xmlPosInOol = nullptr;
        double position = 0.0;
        uint8_t length = 4;
        int32_t points = 0;
        MultiOol ool = sool;
        int32_t posInOol = 0;
    };

    bool Fail(const TXMLItem* xml, std::string text)
    {
        return viewxml::Fail(xml, std::move(text), message, line, column);
    }
    bool Refuse(const TXMLItem* xml, const std::string& label, const std::string& reason)
    {
        return Fail(xml, "In " + label + ": " + reason);
    }
    // Inlined, so that the name's length is known where it is compared: a note asks three times.
    [[gnu::always_inline]] bool Need(const TXMLItem* parent, const TXMLItem* at,
                                     std::string_view name)
    {
        return IsElement(at, name) || Missing(parent, at, name);
    }
    bool Missing(const TXMLItem* parent, const TXMLItem* at, std::string_view name)
    {
        return viewxml::Missing(parent, at, std::string(name), message, line, column);
    }
    // Labels are only read when a value is refused: the hot ones are made once (TTimeLabels).
    bool Value(unit& value, const TXMLItem* xml, const std::string& label)
    {
        return viewxml::ReadValue(value, xml, label, message, line, column);
    }
    bool InRange(int64_t x, int32_t low, int32_t high, const TXMLItem* xml, std::string_view label)
    {
        // Nearly every value is in range: the message's numbers are only put together when not.
        if (x >= low && x <= high)
            return true;
        std::string reason;
        if (CheckUserBound(3, static_cast<double>(x), low, reason) &&
            CheckUserBound(2, static_cast<double>(x), high, reason))
            return true;
        return Refuse(xml, std::string(label), reason);
    }
    bool Integer(const TXMLItem* xml, const char* label, int32_t low, int32_t high, int32_t& out)
    {
        unitInteger value;
        if (!Value(value, xml, label) || !InRange(value.GetValue(), low, high, xml, label))
            return false;
        out = value.GetValue();
        return true;
    }

    // A name kept as it stands; a control byte would not survive the writer and the tokenizer.
    bool Name(const TXMLItem* xml, const char* label, std::string& out)
    {
        out = xml->IsText() ? xml->GetText() : "";
        for (char c : out)
            if (static_cast<unsigned char>(c) < ' ')
                return Refuse(xml, label, "A name cannot hold control characters.");
        return true;
    }

    bool Push(std::unique_ptr<TPartMuz> part, int32_t depth, const TXMLItem* xml)
    {
        if (!InRange(depth, 1, muzPartDepthMax, xml, "Music Part depth"))
            return false;
        stack.push_back({std::move(part), depth});
        return true;
    }
    bool Pop(TStacked& out, const TXMLItem* xml, const char* failure)
    {
        if (stack.empty())
            return Fail(xml, failure);
        out = std::move(stack.back());
        stack.pop_back();
        return true;
    }

    bool ReadSinglePart(const TXMLItem* xml);
    bool ReadConcatPart(const TXMLItem* xml);
    bool ReadLoopPart(const TXMLItem* xml);
    bool ReadSelectPart(const TXMLItem* xml);
    bool ReadSelectTurn(const TXMLItem* xml, TSelectPartMuz& select);
    bool ReadPartNode(const TXMLItem* xml, TMusTreeItem& item, uint8_t* expanded);
    bool ReadBar(const TXMLItem* xml, std::unique_ptr<TSinglePartMuz>& single);
    bool ReadStaves(const TXMLItem*& xml);
    bool ReadKeysAndSilences(const TXMLItem*& xml, TSinglePartMuz& single, TNoteStave& stave);
    bool ReadNoteGroup(const TXMLItem* xml, TNoteStave& stave, TNoteGroup*& previous);
    bool ReadPlayer(const TXMLItem* xml, TCompoundPlayer& compound, TOnePlayer*& previous);
    bool ReadNotes(const TXMLItem* xml, TSinglePartMuz& single, TNoteGroup& group);
    // The field labels of a rest's or a note's values.
    struct TTimeLabels
    {
        std::string position;
        std::string length;
        std::string points;
        bool isNote;
    };
    static inline const TTimeLabels silenceLabels{"Silence Position", "Silence Length",
                                                  "Silence Points", false};
    static inline const TTimeLabels noteLabels{"Note Position", "Note Length", "Note Points", true};
    static inline const std::string noteHeight = "Note Height";

    bool ReadTimeHead(const TXMLItem*& xml, const TTimeLabels& labels, TTimeFields& fields);
    bool ReadTimeTail(const TXMLItem*& xml, TTimeFields& fields);
    bool CheckTime(const TTimeLabels& labels, TTimeFields& fields);
    bool AppendKeyFromFile(const TXMLItem* xml, TSinglePartMuz& single, TNoteStave& stave,
                           bool first, std::map<double, int32_t>& numbers);
    bool AppendSilenceFromFile(const TXMLItem* xml, TSinglePartMuz& single, TNoteStave& stave);
    bool AppendNoteFromFile(const TXMLItem* xml, TSinglePartMuz& single, TNoteGroup& group);
    // Symbols are appended as they are read and every chain is sorted once at the end.
    void Append(TSinglePartMuz& single, TStaveSymbol* symbol) { single.AppendSymbol(symbol); }

    // Old files: a note's pitch comes from the clef in force and a note without its own
    // accidental takes the one in force in its bar, from the clefs and the notes of its stave
    // read before its group, and the earlier notes of its own group. What the stave holds so far
    // is kept in order, so that each note finds both by a search instead of a walk of the chain.
    struct TNoteOrder
    {
        double position;
        int32_t negPitch;
        int64_t negRead; // of equal notes the one read last stands first in the chain
        bool operator<(const TNoteOrder& other) const
        {
            return std::tie(position, negPitch, negRead) <
                   std::tie(other.position, other.negPitch, other.negRead);
        }
    };
    struct TOldStave
    {
        /// The clefs in chain order (time, then number), once the stave's run is read.
        std::vector<TKey*> keys;
        /// The notes read so far with their accidental, by note name (pitch modulo 7).
        std::array<std::map<TNoteOrder, NoteShiftKind>, 7> names;
    };
    struct TPendingNote
    {
        TMuzNote* note;
        TNoteOrder order;
        bool implied;
    };
    TKey* KeyInForce(const TOldStave& old, double position) const;
    NoteShiftKind ImpliedNoteShift(const TOldStave& old, double position, int32_t pitch) const;
    void TakeGroupNotes(TOldStave& old);

    TUnitMuz& doc;
    std::string& message;
    int32_t& line;
    int32_t& column;
    bool old = false;
    bool selectedChosen = false;
    std::vector<TStacked> stack;
    std::vector<TSinglePartMuz*> singles;
    // Old files only: the stave being read and the notes of its group being read.
    TOldStave oldStave;
    std::vector<TPendingNote> groupNotes;
    int64_t notesRead = 0;
};

namespace {

const char* const concatSecondFailure =
    "Cannot built a Concat Music Part, there are no more Music Parts in the stack for the second "
    "child while building the tree of Music Parts; The combination of Music Parts is wrong.";
const char* const concatFirstFailure =
    "Cannot built a Concat Music Part, there are no more Music Parts in the stack for the first "
    "child while building the tree of Music Parts; The combination of Music Parts is wrong.";
const char* const loopFailure =
    "Cannot built a Loop Music Part, there are no more Music Parts in the stack for the child "
    "while building the tree of Music Parts; The combination of Music Parts is wrong.";
const char* const selectFailure =
    "Cannot built a Select Music Part, there are no more Music Parts in the stack for the child "
    "while building the tree of Music Parts; The combination of Music Parts is wrong.";
const char* const outsideFailure = "There are existing Music Parts falling outside the tree of "
                                   "Music Parts; The combination of Music Parts is wrong.";

bool IsPartElement(const TXMLItem* xml)
{
    return IsElement(xml, "SingleMuzPart") || IsElement(xml, "ConcatMuzPart") ||
           IsElement(xml, "LoopMuzPart") || IsElement(xml, "SelectMuzPart");
}

int32_t Wrap7(int64_t x)
{
    return static_cast<int32_t>(((x % 7) + 7) % 7);
}

bool IsNoteLength(int32_t length)
{
    return length >= 1 && length <= 64 && (length & (length - 1)) == 0;
}

} // namespace

bool TMuzReader::ReadUnitMuz(const TXMLItem* xmlUnitMuz)
{
    if (!Need(nullptr, xmlUnitMuz, muzFileRoot))
        return false;
    const TXMLItem* xml = FirstChild(xmlUnitMuz);
    if (!Need(xmlUnitMuz, xml, "Version"))
        return false;
    const std::string version = xml->IsText() ? xml->GetText() : "";
    if (version != muzFileVersion && version != muzFileOldVersion)
        return Fail(xml, "Version \"" + TXMLToken::Quote(version) +
                             "\" is no version of a Music file that can be read (7.0 or 7.1).");
    old = version == muzFileOldVersion;
    xml = xml->GetNext();
    if (!Need(xmlUnitMuz, xml, "Tempo") || !Value(doc.tempo, xml, "Tempo"))
        return false;
    xml = xml->GetNext();

    TPartMuz* top = nullptr;
    if (old) {
        if (!Need(xmlUnitMuz, xml, "Bar"))
            return false;
        std::unique_ptr<TSinglePartMuz> single;
        if (!ReadBar(xml, single))
            return false;
        top = single.release();
        xml = xml->GetNext();
    } else {
        bool foundMuzPart = false;
        for (; IsPartElement(xml); xml = xml->GetNext()) {
            foundMuzPart = true;
            bool ok = IsElement(xml, "SingleMuzPart")   ? ReadSinglePart(xml)
                      : IsElement(xml, "ConcatMuzPart") ? ReadConcatPart(xml)
                      : IsElement(xml, "LoopMuzPart")   ? ReadLoopPart(xml)
                                                        : ReadSelectPart(xml);
            if (!ok)
                return false;
        }
        if (!KV_SOFT_ASSERT(foundMuzPart))
            return Need(xmlUnitMuz, xml, "SingleMuzPart");
        if (stack.size() != 1)
            return Fail(xml ? xml : xmlUnitMuz, outsideFailure);
        top = stack.back().part.release();
        stack.pop_back();
    }
    TPartMuz* oldPart = doc.rootPart->SetChild(top);
    if (!KV_SOFT_ASSERT(oldPart == NULL))
        delete oldPart;
    singles = SingleParts(top);
    if (!ReadStaves(xml))
        return false;
    // An old file's symbols went into a sorted chain one by one, each after the last one before
    // it: of symbols that the order leaves equal, the one read last stands first.
    for (TSinglePartMuz* single : singles)
        single->SortChain(old);
    return true;
}

bool TMuzReader::ReadBar(const TXMLItem* xmlBar, std::unique_ptr<TSinglePartMuz>& single)
{
    const TXMLItem* xml = FirstChild(xmlBar);
    int32_t count = 4;
    int32_t length = 4;
    int32_t countFirstBar = 0;
    if (!Need(xmlBar, xml, "Count") || !Integer(xml, "Bar Count", 1, 99, count))
        return false;
    xml = xml->GetNext();
    if (!Need(xmlBar, xml, "Length") || !Integer(xml, "Bar Length", 1, 64, length))
        return false;
    if (!IsNoteLength(length))
        return Refuse(xml, "Bar Length", "Value must be 1, 2, 4, 8, 16, 32 or 64.");
    xml = xml->GetNext();
    if (IsElement(xml, "CountFirstBar") &&
        !Integer(xml, "Bar CountFirstBar", 0, count - 1, countFirstBar))
        return false;
    // A single part is never without its bar, not even for a moment.
    single = std::make_unique<TSinglePartMuz>(&doc);
    new TMuzBar(single.get(), static_cast<uint8_t>(length), count, countFirstBar);
    return true;
}

bool TMuzReader::ReadSinglePart(const TXMLItem* xmlPart)
{
    std::unique_ptr<TSinglePartMuz> single;
    const TXMLItem* xml = FirstChild(xmlPart);
    if (!Need(xmlPart, xml, "Bar") || !ReadBar(xml, single))
        return false;
    xml = xml->GetNext();
    if (!Need(xmlPart, xml, "PartNode") || !ReadPartNode(xml, *single, nullptr))
        return false;
    return Push(std::move(single), 1, xmlPart);
}

bool TMuzReader::ReadConcatPart(const TXMLItem* xml)
{
    TStacked second;
    TStacked first;
    if (!Pop(second, xml, concatSecondFailure) || !Pop(first, xml, concatFirstFailure))
        return false;
    int32_t depth = std::max(first.depth, second.depth) + 1;
    auto concat =
        std::make_unique<TConcatPartMuz>(&doc, first.part.release(), second.part.release());
    return Push(std::move(concat), depth, xml);
}

bool TMuzReader::ReadLoopPart(const TXMLItem* xmlLoop)
{
    const TXMLItem* xml = FirstChild(xmlLoop);
    unitIntegerPosMore count(1, EHNone);
    if (!Need(xmlLoop, xml, "Count") || !Value(count, xml, "Loop MuzPart Count") ||
        !InRange(count.GetValue(), 1, muzCountMax, xml, "Loop MuzPart Count"))
        return false;
    TStacked child;
    if (!Pop(child, xmlLoop, loopFailure))
        return false;
    auto loop = std::make_unique<TLoopPartMuz>(&doc, child.part.release(), count.GetValue());
    xml = xml->GetNext();
    if (!Need(xmlLoop, xml, "PartNode") || !ReadPartNode(xml, *loop, &loop->expanded))
        return false;
    return Push(std::move(loop), child.depth + 1, xmlLoop);
}

bool TMuzReader::ReadSelectPart(const TXMLItem* xmlSelect)
{
    TStacked child;
    if (!Pop(child, xmlSelect, selectFailure))
        return false;
    auto select = std::make_unique<TSelectPartMuz>(&doc, child.part.release());
    const TXMLItem* xml = FirstChild(xmlSelect);
    for (; IsElement(xml, "SelectMuzPartTurn"); xml = xml->GetNext())
        if (!ReadSelectTurn(xml, *select))
            return false;
    if (!Need(xmlSelect, xml, "PartNode") || !ReadPartNode(xml, *select, &select->expanded))
        return false;
    return Push(std::move(select), child.depth + 1, xmlSelect);
}

bool TMuzReader::ReadSelectTurn(const TXMLItem* xmlTurn, TSelectPartMuz& select)
{
    const TXMLItem* xml = FirstChild(xmlTurn);
    unitIntegerPosMore count(1, EHNone);
    if (!Need(xmlTurn, xml, "Count") || !Value(count, xml, "Select MuzPart Count") ||
        !InRange(count.GetValue(), 1, muzCountMax, xml, "Select MuzPart Count"))
        return false;
    xml = xml->GetNext();
    unitInteger pitch;
    if (IsElement(xml, "Pitch")) {
        if (!Value(pitch, xml, "Select MuzPart Pitch"))
            return false;
        xml = xml->GetNext();
    }
    TCountSelectPartItem* item = select.AddCountSelectPartItem(count.GetValue(), pitch.GetValue());
    return Need(xmlTurn, xml, "PartNode") && ReadPartNode(xml, *item, nullptr);
}

bool TMuzReader::ReadPartNode(const TXMLItem* xmlNode, TMusTreeItem& item, uint8_t* expanded)
{
    const TXMLItem* xml = FirstChild(xmlNode);
    if (IsElement(xml, "PartLabel")) {
        std::string label;
        if (!Name(xml, "PartLabel", label))
            return false;
        item.SetLabel(label.c_str());
        xml = xml->GetNext();
    }
    // A part read without the mark is folded, although a new part starts unfolded.
    if (expanded)
        *expanded = 0;
    if (IsElement(xml, "Expanded")) {
        if (!expanded)
            return Fail(xml, "In PartNode: Only a Loop or a Select Music Part can be Expanded.");
        *expanded = 1;
        xml = xml->GetNext();
    }
    if (IsElement(xml, "Selected")) {
        if (selectedChosen)
            return Fail(xml, "At most one Music Part can be selected.");
        selectedChosen = true;
        doc.selectedTreeItem = &item;
    }
    return true;
}

bool TMuzReader::ReadStaves(const TXMLItem*& xml)
{
    TNoteStave* previous = nullptr;
    for (; IsElement(xml, "Stave"); xml = xml->GetNext()) {
        const TXMLItem* xmlStave = xml;
        const TXMLItem* x = FirstChild(xmlStave);
        unitIntegerMoreUser roomUp(80, EHNone);
        unitIntegerMoreUser roomDown(80, EHNone);
        // A typed room must exceed 30, but dragging a stave border stops at 30 itself: a piece
        // dragged that far is saved with 30 and must read back.
        roomUp.SetBound(29);
        roomDown.SetBound(29);
        if (!Need(xmlStave, x, "RoomUp") || !Value(roomUp, x, "Room Up") ||
            !InRange(roomUp.GetValue(), 30, muzRoomMax, x, "Room Up"))
            return false;
        x = x->GetNext();
        if (!Need(xmlStave, x, "RoomDown") || !Value(roomDown, x, "Room Down") ||
            !InRange(roomDown.GetValue(), 30, muzRoomMax, x, "Room Down"))
            return false;
        x = x->GetNext();
        auto flag = [&x](const char* name) -> uint8_t {
            if (!IsElement(x, name))
                return 0;
            x = x->GetNext();
            return 1;
        };
        uint8_t joinFlags = flag("AllowJoinFlags");
        flag("AutoStick");
        uint8_t mute = flag("Mute");
        uint8_t extraLines = flag("ExtraLines");
        int32_t foreground = 0;
        int32_t background = 0;
        if (!Need(xmlStave, x, "ForegroundColor") ||
            !viewxml::ReadColor(foreground, x, message, line, column))
            return false;
        x = x->GetNext();
        if (!Need(xmlStave, x, "BackgroundColor") ||
            !viewxml::ReadColor(background, x, message, line, column))
            return false;
        x = x->GetNext();
        TNoteStave* stave = doc.CreateStave(
            previous, roomUp.GetValue(), roomDown.GetValue(), joinFlags, mute, extraLines,
            static_cast<uint32_t>(foreground), static_cast<uint32_t>(background));
        if (!previous)
            doc.currentStave = stave;
        previous = stave;

        if (old) {
            oldStave = TOldStave();
            if (!ReadKeysAndSilences(x, *singles.front(), *stave))
                return false;
            std::sort(oldStave.keys.begin(), oldStave.keys.end(), [](TKey* a, TKey* b) {
                return std::make_pair(a->GetPosition(), a->GetKeyNumber()) <
                       std::make_pair(b->GetPosition(), b->GetKeyNumber());
            });
        } else {
            size_t index = 0;
            for (; IsElement(x, "KeyPart"); x = x->GetNext(), ++index) {
                if (index >= singles.size())
                    return Fail(x, "There are more Key Parts than Music Parts");
                const TXMLItem* run = FirstChild(x);
                if (!ReadKeysAndSilences(run, *singles[index], *stave))
                    return false;
            }
            if (index < singles.size())
                return Fail(x ? x : xmlStave, "There are more Music Parts than Key Parts");
        }
        TNoteGroup* group = nullptr;
        for (; IsElement(x, "NoteGroup"); x = x->GetNext())
            if (!ReadNoteGroup(x, *stave, group))
                return false;
        if (!group)
            return Need(xmlStave, x, "NoteGroup");
    }
    return true;
}

bool TMuzReader::ReadKeysAndSilences(const TXMLItem*& xml, TSinglePartMuz& single,
                                     TNoteStave& stave)
{
    // Clefs at one Position are numbered in file order, which is their chain order.
    std::map<double, int32_t> numbers;
    bool first = true;
    for (; IsElement(xml, "Key") || IsElement(xml, "Silence"); xml = xml->GetNext()) {
        bool ok = IsElement(xml, "Key") ? AppendKeyFromFile(xml, single, stave, first, numbers)
                                        : AppendSilenceFromFile(xml, single, stave);
        if (!ok)
            return false;
        first = false;
    }
    return true;
}

bool TMuzReader::AppendKeyFromFile(const TXMLItem* xmlKey, TSinglePartMuz& single,
                                   TNoteStave& stave, bool first,
                                   std::map<double, int32_t>& numbers)
{
    const TXMLItem* xml = FirstChild(xmlKey);
    unitFactorPos position(0.0, EHNone);
    if (!Need(xmlKey, xml, "Position") || !Value(position, xml, "Key Position"))
        return false;
    if (position.GetValue() >= muzPositionLimit)
        return InRange(muzPositionLimit, 0, muzPositionLimit - 1, xml, "Key Position");
    // Every stave of a part opens with a clef at 0: the editor keeps that one, and the layout
    // and the writer rely on it.
    if (first && position.GetValue() != 0.0)
        return Refuse(xml, "Key Position",
                      "The first Key of a Stave in a Music Part must be at Position 0.");
    xml = xml->GetNext();
    if (!Need(xmlKey, xml, "KeyKind"))
        return false;
    const std::string kindText = xml->IsText() ? xml->GetText() : "";
    KeyKind kind = keyKindC;
    if (kindText == "F")
        kind = keyKindF;
    else if (kindText == "G")
        kind = keyKindG;
    else if (kindText != "C")
        return Fail(xml, "Key Kind \"" + kindText + "\" is not a valid Key Kind.");
    xml = xml->GetNext();
    int32_t octavesUp = 0;
    if (IsElement(xml, "OctavesUp")) {
        if (!Integer(xml, "Key OctavesUp", -2, 2, octavesUp))
            return false;
        xml = xml->GetNext();
    }
    auto key = std::make_unique<TKey>(&doc, kind, octavesUp, position.GetValue(), &stave,
                                      ++numbers[position.GetValue()], &single);
    for (; IsElement(xml, "KeyNoteShift"); xml = xml->GetNext()) {
        const TXMLItem* xmlShift = FirstChild(xml);
        NoteShiftKind shift = IsElement(xmlShift, "ShiftMol") ? noteShiftMol : noteShiftKruis;
        const TXMLItem* xmlHeight = xmlShift ? xmlShift->GetNext() : nullptr;
        unitInteger height;
        if (!Need(xml, xmlHeight, "Height") || !Value(height, xmlHeight, "Key NoteShift Height"))
            return false;
        key->SetKeyNoteShift(Wrap7(height.GetValue()), shift);
    }
    if (old)
        oldStave.keys.push_back(key.get());
    Append(single, key.release());
    return true;
}

bool TMuzReader::ReadTimeHead(const TXMLItem*& xml, const TTimeLabels& labels, TTimeFields& fields)
{
    const TXMLItem* parent = fields.element;
    unitFactorPos position(0.0, EHNone);
    if (!Need(parent, xml, "Position") || !Value(position, xml, labels.position))
        return false;
    if (position.GetValue() >= muzPositionLimit)
        return InRange(muzPositionLimit, 0, muzPositionLimit - 1, xml, labels.position);
    fields.position = position.GetValue();
    xml = xml->GetNext();
    unitIntegerPos length;
    if (!Need(parent, xml, "Length") || !Value(length, xml, labels.length))
        return false;
    if (!IsNoteLength(length.GetValue()))
        return Refuse(xml, labels.length, "Value must be 1, 2, 4, 8, 16, 32 or 64.");
    fields.length = static_cast<uint8_t>(length.GetValue());
    fields.xmlLength = xml;
    xml = xml->GetNext();
    if (IsElement(xml, "Points")) {
        unitIntegerPos points;
        if (!Value(points, xml, labels.points))
            return false;
        fields.points = points.GetValue();
        fields.xmlPoints = xml;
        xml = xml->GetNext();
    }
    return true;
}

bool TMuzReader::ReadTimeTail(const TXMLItem*& xml, TTimeFields& fields)
{
    static const char* const tuplets[] = {"Duool", "Triool", "Kwartool", "Kwintool"};
    for (int32_t i = 0; i < 4; ++i) {
        if (IsElement(xml, tuplets[i])) {
            fields.ool = static_cast<MultiOol>(duool + i);
            xml = xml->GetNext();
            break;
        }
    }
    if (IsElement(xml, "PosInOol")) {
        unitIntegerPos posInOol;
        if (!Value(posInOol, xml, "Position in MultiOol"))
            return false;
        fields.posInOol = posInOol.GetValue();
        fields.xmlPosInOol = xml;
        xml = xml->GetNext();
    }
    return true;
}

bool TMuzReader::CheckTime(const TTimeLabels& labels, TTimeFields& fields)
{
    const bool isNote = labels.isNote;
    if (fields.posInOol >= fields.ool) {
        static const char* const names[] = {"", "", "Duool", "Triool", "Kwartool", "Kwintool"};
        std::string name =
            fields.ool == sool ? (isNote ? "Normal Note" : "Normal Silence") : names[fields.ool];
        return Fail(fields.xmlPosInOol ? fields.xmlPosInOol : fields.element,
                    std::string(isNote ? "In PosInNote" : "In PosInSil") + ": Value to High for " +
                        name + ".");
    }
    // A tuplet's members are written one value shorter than the whole, and the shortest
    // written value is 1/64.
    if (fields.ool == kwintool && fields.length > 16)
        return Refuse(fields.xmlLength, labels.length, "Value must be at most 16 in a Kwintool.");
    if (fields.ool != sool && fields.length > 32)
        return Refuse(fields.xmlLength, labels.length, "Value must be at most 32 in a tuplet.");
    const TXMLItem* xmlPoints = fields.xmlPoints ? fields.xmlPoints : fields.element;
    if (fields.ool == duool || fields.ool == kwartool) {
        if (fields.points < 1 || fields.points > 3)
            return Refuse(xmlPoints, labels.points,
                          "Value must be 1, 2 or 3 in a Duool or a Kwartool.");
    } else if (fields.points > 3) {
        return Refuse(xmlPoints, labels.points, "Value must be 0, 1, 2 or 3.");
    }
    return true;
}

bool TMuzReader::AppendSilenceFromFile(const TXMLItem* xmlSilence, TSinglePartMuz& single,
                                       TNoteStave& stave)
{
    TTimeFields fields;
    fields.element = xmlSilence;
    const TXMLItem* xml = FirstChild(xmlSilence);
    if (!ReadTimeHead(xml, silenceLabels, fields) || !ReadTimeTail(xml, fields) ||
        !CheckTime(silenceLabels, fields))
        return false;
    Append(single, new TSilence(fields.length, fields.points, fields.position, &stave, fields.ool,
                                fields.posInOol, &single));
    return true;
}

bool TMuzReader::ReadNoteGroup(const TXMLItem* xmlGroup, TNoteStave& stave, TNoteGroup*& previous)
{
    const TXMLItem* xml = FirstChild(xmlGroup);
    int32_t color = 0;
    if (!Need(xmlGroup, xml, "NoteColor") || !viewxml::ReadColor(color, xml, message, line, column))
        return false;
    xml = xml->GetNext();
    uint8_t shape = IsElement(xml, "NoteShapeRectangle") ? 1 : 0;
    xml = xml ? xml->GetNext() : nullptr;
    uint8_t stem = drawStickAuto;
    if (IsElement(xml, "NoteStickUp") || IsElement(xml, "NoteStickDown")) {
        stem = IsElement(xml, "NoteStickUp") ? drawStickUp : drawStickDown;
        xml = xml->GetNext();
    }
    if (!Need(xmlGroup, xml, "CompoundPlayer"))
        return false;
    auto compound = std::make_unique<TCompoundPlayer>(&doc);
    TOnePlayer* player = nullptr;
    for (const TXMLItem* x = FirstChild(xml); x; x = x->GetNext())
        if (!ReadPlayer(x, *compound, player))
            return false;
    if (!player)
        return Need(xml, nullptr, "SimpleOneSampler");
    auto* group =
        new TNoteGroup(&stave, std::move(compound), static_cast<uint32_t>(color), shape, stem);
    stave.InsertNoteGroup(previous, group);
    if (!previous)
        stave.SetSelectedNoteGroup(group);
    previous = group;
    xml = xml->GetNext();

    if (old) {
        if (!ReadNotes(xml, *singles.front(), *group))
            return false;
        TakeGroupNotes(oldStave);
        return true;
    }
    size_t index = 0;
    for (; IsElement(xml, "NotePart"); xml = xml->GetNext(), ++index) {
        if (index >= singles.size())
            return Fail(xml, "There are more Note Parts than Music Parts");
        if (!ReadNotes(FirstChild(xml), *singles[index], *group))
            return false;
    }
    if (index < singles.size())
        return Fail(xml ? xml : xmlGroup, "There are more Music Parts than Note Parts");
    return true;
}

bool TMuzReader::ReadPlayer(const TXMLItem* xmlPlayer, TCompoundPlayer& compound,
                            TOnePlayer*& previous)
{
    static const char* const names[] = {"SimpleOneSampler", "ResonantSampler", "RepeatWaveForm",
                                        "RollOutSampler", "RollOutWaveForm"};
    int32_t kind = 0;
    while (kind < 5 && !IsElement(xmlPlayer, names[kind]))
        ++kind;
    if (kind == 5)
        return Need(nullptr, xmlPlayer, names[0]);
    const TXMLItem* xml = FirstChild(xmlPlayer);
    unitTimePosMore basicFreq(1.0 / 440.0, EHHZ);
    unitFactorPosMax1 resFactor(0.05, EHPerc);
    if (kind == notePlayerSimpleSampler || kind == notePlayerRollOutSampler) {
        if (!Need(xmlPlayer, xml, "BasicFreq") || !Value(basicFreq, xml, "BasicFreq"))
            return false;
        xml = xml->GetNext();
    } else if (kind == notePlayerResonantSampler) {
        if (!Need(xmlPlayer, xml, "ResFactor") || !Value(resFactor, xml, "ResFactor"))
            return false;
        xml = xml->GetNext();
    }
    std::string caption;
    if (!Need(xmlPlayer, xml, "SampleWave") || !Name(xml, "SampleWave", caption))
        return false;
    unitUnitWave sampleWave(caption);
    xml = xml->GetNext();
    unitFreq freqUp(0.0, EHKHZ);
    if (IsElement(xml, "FreqUp")) {
        if (!Value(freqUp, xml, "FreqUp"))
            return false;
        xml = xml->GetNext();
    }
    unitFactor volume(1.0, EHNone);
    if (!Need(xmlPlayer, xml, "VolumeFactor") || !Value(volume, xml, "VolumeFactor"))
        return false;
    TOnePlayerProps props(volume, freqUp);
    switch (kind) {
    case notePlayerSimpleSampler:
        props.SetSimpleSamplerProps({sampleWave, basicFreq});
        break;
    case notePlayerRollOutSampler:
        props.SetRollOutSamplerProps({sampleWave, basicFreq});
        break;
    case notePlayerResonantSampler:
        props.SetResonantSamplerProps({sampleWave, resFactor});
        break;
    case notePlayerRepeatWaveForm:
        props.SetRepeatWaveFormProps({sampleWave});
        break;
    default:
        props.SetRollOutWaveFormProps({sampleWave});
        break;
    }
    auto* player = new TOnePlayer(&compound, props);
    compound.InsertOnePlayer(previous, player);
    previous = player;
    return true;
}

bool TMuzReader::ReadNotes(const TXMLItem* xml, TSinglePartMuz& single, TNoteGroup& group)
{
    for (; IsElement(xml, "Note"); xml = xml->GetNext())
        if (!AppendNoteFromFile(xml, single, group))
            return false;
    return true;
}

bool TMuzReader::AppendNoteFromFile(const TXMLItem* xmlNote, TSinglePartMuz& single,
                                    TNoteGroup& group)
{
    TNoteStave* stave = group.GetNoteStave();
    TTimeFields fields;
    fields.element = xmlNote;
    const TXMLItem* xml = FirstChild(xmlNote);
    if (!ReadTimeHead(xml, noteLabels, fields))
        return false;
    unitInteger height;
    if (!Need(xmlNote, xml, "Height") || !Value(height, xml, noteHeight))
        return false;
    const TXMLItem* xmlHeight = xml;
    int64_t pitch = height.GetValue();
    if (old) {
        // Old files store the stave step; the clef in force gives its pitch.
        TKey* key = KeyInForce(oldStave, fields.position);
        if (!key)
            return Fail(xmlNote, "In Note Position: A Note cannot stand before the first Key of "
                                 "its Stave.");
        pitch += key->GetPitchOfStep(0);
    }
    if (!InRange(pitch, GetMinPitch(), GetMaxPitch(), xmlHeight, noteHeight))
        return false;
    xml = xml->GetNext();
    static const char* const shifts[] = {"ShiftDoubleCross", "ShiftCross", "ShiftNormal",
                                         "ShiftMol", "ShiftDoubleMol"};
    NoteShiftKind shift = noteShiftNone;
    for (int32_t i = 0; i < 5; ++i) {
        if (IsElement(xml, shifts[i])) {
            shift = static_cast<NoteShiftKind>(i);
            xml = xml->GetNext();
            break;
        }
    }
    if (!ReadTimeTail(xml, fields))
        return false;
    static const char* const arts[] = {"ArtNormal", "ArtStaccato", "ArtStaccatissimo", "ArtPortato",
                                       "ArtLegato"};
    NoteArtKind art = noteArtNormal;
    for (int32_t i = 0; i < 5; ++i) {
        if (IsElement(xml, arts[i])) {
            art = static_cast<NoteArtKind>(i);
            xml = xml->GetNext();
            break;
        }
    }
    DrawStickKind stick = drawStickAuto;
    if (IsElement(xml, "NoteStickUp") || IsElement(xml, "NoteStickDown"))
        stick = IsElement(xml, "NoteStickUp") ? drawStickUp : drawStickDown;
    if (!CheckTime(noteLabels, fields))
        return false;
    // Without its own accidental a note is natural; an old file's takes the one in force once
    // its whole group is read (TakeGroupNotes).
    const bool implied = shift == noteShiftNone;
    if (implied)
        shift = noteShiftNormal;
    auto* note = new TMuzNote(&doc, &group, fields.length, fields.points, fields.position,
                              static_cast<int32_t>(pitch), stave, shift, fields.ool,
                              fields.posInOol, art, &single, stick);
    Append(single, note);
    if (old)
        groupNotes.push_back(
            {note, {fields.position, -static_cast<int32_t>(pitch), -notesRead++}, implied});
    return true;
}

TKey* TMuzReader::KeyInForce(const TOldStave& stave, double position) const
{
    // The last clef not later than position, in chain order.
    auto after =
        std::upper_bound(stave.keys.begin(), stave.keys.end(), position,
                         [](double time, const TKey* key) { return time < key->GetPosition(); });
    return after == stave.keys.begin() ? nullptr : *(after - 1);
}

// Old files leave out an accidental that the signature or an earlier note of the bar implies:
// the latest of the clef in force and the last earlier note of the same name in the bar decides
// (a clef and a note at one time: the clef stands first), and the signature where neither is in
// the bar.
NoteShiftKind TMuzReader::ImpliedNoteShift(const TOldStave& stave, double position,
                                           int32_t pitch) const
{
    const TKey* key = KeyInForce(stave, position);
    if (!KV_SOFT_ASSERT(key != nullptr))
        return noteShiftNormal;
    const NoteShiftKind signature = key->GetKeyNoteShift(Wrap7(key->GetStepOfPitch(pitch)));
    const auto& name = stave.names[static_cast<size_t>(Wrap7(pitch))];
    // Notes at the note's own time are chord mates, which never count.
    auto earlier = name.lower_bound({position, INT32_MIN, INT64_MIN});
    if (earlier == name.begin())
        return signature;
    --earlier;
    const double time = earlier->first.position;
    const TMuzBar* bar = singles.front()->GetMuzBar();
    const double barEnd = bar ? bar->GetNextBarLine(time) : time + 1.0;
    return time >= key->GetPosition() && barEnd > position ? earlier->second : signature;
}

// The notes of a group just read, in chain order: each takes the accidental in force from what
// stands before it, then counts for the notes after it.
void TMuzReader::TakeGroupNotes(TOldStave& stave)
{
    std::sort(groupNotes.begin(), groupNotes.end(),
              [](const TPendingNote& a, const TPendingNote& b) { return a.order < b.order; });
    for (const TPendingNote& pending : groupNotes) {
        TMuzNote& note = *pending.note;
        if (pending.implied)
            note.SetNoteShiftKind(ImpliedNoteShift(stave, note.GetPosition(), note.GetPitch()));
        stave.names[static_cast<size_t>(Wrap7(note.GetPitch()))].emplace(pending.order,
                                                                         note.GetNoteShiftKind());
    }
    groupNotes.clear();
}

// ---- the document's file operations ------------------------------------------------------------

bool TUnitMuz::ReadXml(const TXMLItem* xmlUnitMuz, std::string& message, int32_t& line,
                       int32_t& column)
{
    KV_SOFT_ASSERT(selectedTreeItem == NULL);
    TMuzReader reader(*this, message, line, column);
    return reader.ReadUnitMuz(xmlUnitMuz);
}

namespace {

bool ReadTree(TUnitMuz& doc, const TXMLItem* xml, std::string& message)
{
    int32_t line = 0;
    int32_t column = 0;
    if (doc.ReadXml(xml, message, line, column))
        return true;
    message += viewxml::AtPosition(line, column);
    return false;
}

} // namespace

bool ReadMuzTokens(TUnitMuz& doc, const TXMLToken& tokens, const std::string& version,
                   std::string& message)
{
    const TDTDCompound* grammar = version == muzFileVersion      ? MuzGrammars().dtd71
                                  : version == muzFileOldVersion ? MuzGrammars().dtd70
                                                                 : nullptr;
    if (!grammar) {
        message = "Version \"" + TXMLToken::Quote(version) +
                  "\" is no version of a Music file that can be read (7.0 or 7.1).";
        return false;
    }
    TXMLArenaScope arena;
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = &tokens;
    bool fatal = false;
    if (!grammar->Parse(root, cursor, message, fatal))
        return false;
    if (!ReadTree(doc, root.GetFirstChild(), message))
        return false;
    doc.SetSelectedSymbol(doc.GetRootPart()->FirstSymbol());
    return true;
}

bool TUnitMuz::OpenFile(std::string& message)
{
    std::string version;
    TXMLToken tokens(GetFileName(), version);
    if (tokens.GetTokenKind() == xmlTokenError) {
        message = tokens.GetError();
        return false;
    }
    return ReadMuzTokens(*this, tokens, version, message);
}

bool TUnitMuz::Duplicate(const TUnitMuz& other, std::string& message)
{
    std::unique_ptr<TXMLComplexElement> tree = other.CreateXml();
    if (!ReadTree(*this, tree.get(), message))
        return false;
    SetSelectedSymbol(rootPart->FirstSymbol());
    return true;
}

bool TUnitMuz::Save()
{
    return SaveAs(GetFileName());
}

bool TUnitMuz::SaveAs(const std::string& fileName)
{
    std::unique_ptr<TXMLComplexElement> tree = CreateXml();
    // What the reader would refuse is not written: the piece is read back from the tree first.
    std::string error;
    TUnitMuz check(GetName(), "");
    bool ok = ReadTree(check, tree.get(), error) && WriteXMLFile(*tree, fileName, error);
    if (!ok)
        Messages().Show("Cannot save Music: " + error, "FileError", MsgIcon::Information,
                        MsgButtons::Ok);
    return ok;
}

bool TUnitMuz::Revert(std::string& message, std::string& failedFile)
{
    // The file is read into a scratch document first, so a file that fails leaves this one.
    TUnitMuz fresh(GetName(), GetFileName());
    if (!fresh.OpenFile(message)) {
        failedFile = GetFileName();
        return false;
    }
    Clear();
    if (!OpenFile(message)) {
        failedFile = GetFileName();
        return false;
    }
    modified = 0;
    return true;
}

void TUnitMuz::Clear()
{
    SelectedSymbol = nullptr;
    SelectedInStave = nullptr;
    selectedTreeItem = nullptr;
    rootPart.reset();
    rootPart = std::make_unique<TStartPartMuz>(this);
    while (TNoteStave* stave = firstStave) {
        firstStave = stave->GetNext();
        delete stave;
    }
    currentStave = nullptr;
    staveCursor = nullptr;
}

} // namespace kelvorn
