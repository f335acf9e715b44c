// The music file: what the writer writes, that it reads back to the same piece, the conversion
// of old files, every refusal of the reader with its position, and saving, opening, reverting
// and duplicating a document.

#include "document/records/WaveFileProps.h"
#include "general/files/SafeFile.h"
#include "support/Files.h"
#include "support/MusicKit.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace kelvorn::test {
namespace {

/// The names of xml's children, joined by ",".
std::string Children(const TXMLItem* xml)
{
    std::string names;
    for (const TXMLItem* c = xml->GetFirstChild(); c; c = c->GetNext())
        names += (names.empty() ? "" : ",") + c->GetElement();
    return names;
}

/// Every piece of the file format at least once: Concat(Loop(Select(intro)), outro).
struct KitchenSink : MusicDoc
{
    TSinglePartMuz* outro = nullptr;
    TLoopPartMuz* loop = nullptr;
    TSelectPartMuz* select = nullptr;
    TNoteStave* lower = nullptr;

    KitchenSink()
    {
        TStartPartMuz* root = doc.GetRootPart();
        root->SetChild(nullptr);
        part->SetLabel("intro");
        select = new TSelectPartMuz(&doc, part);
        select->AddCountSelectPartItem(1, 0);
        select->AddCountSelectPartItem(3, -5)->SetLabel("third");
        // Pitch 0 is left out of the file: the turns next to it show that only 0 is.
        select->AddCountSelectPartItem(2, 1);
        select->AddCountSelectPartItem(4, -1);
        loop = new TLoopPartMuz(&doc, select, 4);
        loop->SetLabel("again");
        loop->expanded = 0;
        outro = new TSinglePartMuz(&doc);
        new TMuzBar(outro, 8, 6, 2);
        outro->CreateKeys();
        root->SetChild(new TConcatPartMuz(&doc, loop, outro));
        doc.SetSelectedTreeItem(select->GetSelectPartItems()->GetNext()->GetNext());
        doc.tempo = unitTimePosMore(1.5, EHMS);

        stave->Mute = 1;
        stave->ExtraLines = 1;
        stave->drawFlagKind = 0;
        stave->ForegroundColor = 0x0000FF;
        lower = doc.AddStave(stave);
        lower->RoomUp.SetValue(120);
        // A border dragged as far as it goes leaves a room of 30, which a typed value cannot be.
        lower->RoomDown.SetValue(30);
        lower->BackgroundColor = 0xC0FFEE;
        lower->GetFirstNoteGroup()->SetDefaultStem(drawStickDown);
        AddPlayers();
        AddClefs();
        AddSymbols();
    }

    void AddPlayers()
    {
        auto compound = std::make_unique<TCompoundPlayer>(&doc);
        TOnePlayer* after = nullptr;
        for (int kind = 0; kind < 5; ++kind) {
            TOnePlayerProps props(unitFactor(0.25 * kind, EHPerc),
                                  unitFreq(kind % 2 ? 12.5 * kind : 0.0, EHHZ));
            unitUnitWave wave("wave " + std::to_string(kind));
            if (kind == 0)
                props.SetSimpleSamplerProps({wave, unitTimePosMore(0.002, EHMS)});
            else if (kind == 1)
                props.SetResonantSamplerProps({wave, unitFactorPosMax1(0.3, EHNone)});
            else if (kind == 2)
                props.SetRepeatWaveFormProps({wave});
            else if (kind == 3)
                props.SetRollOutSamplerProps({wave, unitTimePosMore(0.004, EHHZ)});
            else
                props.SetRollOutWaveFormProps({wave});
            auto* player = new TOnePlayer(compound.get(), props);
            compound->InsertOnePlayer(after, player);
            after = player;
        }
        stave->InsertNoteGroup(
            Group(), new TNoteGroup(stave, std::move(compound), 0x00FF00, 1, drawStickAuto));
    }

    void AddClefs()
    {
        TKey* opening = part->GetOpeningKey(stave);
        opening->SetOctavesUp(2);
        opening->SetKeyNoteShift(3, noteShiftKruis);
        opening->SetKeyNoteShift(0, noteShiftKruis);
        auto* c = new TKey(&doc, keyKindC, -2, 1.0, stave, 1, part);
        c->SetKeyNoteShift(6, noteShiftMol);
        part->InsertSymbol(c);
        part->InsertSymbol(new TKey(&doc, keyKindF, 0, 1.0, stave, 2, part));
        outro->InsertSymbol(new TKey(&doc, keyKindF, 0, 0.5, lower, 1, outro));
    }

    void AddSymbols()
    {
        TNoteGroup* second = Group()->GetNext();
        auto note = [&](TSinglePartMuz* in, TNoteGroup* group, double at, int32_t pitch,
                        uint8_t length, int32_t points, NoteShiftKind shift, MultiOol ool,
                        int32_t pos, NoteArtKind art, DrawStickKind stick) {
            in->InsertSymbol(new TMuzNote(&doc, group, length, points, at, pitch,
                                          group->GetNoteStave(), shift, ool, pos, art, in, stick));
        };
        for (int i = 0; i < 5; ++i)
            note(part, Group(), 0.25 * i, i - 2, 4, i % 4, static_cast<NoteShiftKind>(i), sool, 0,
                 static_cast<NoteArtKind>(i), static_cast<DrawStickKind>(i % 3));
        for (int i = 0; i < 3; ++i)
            note(part, second, 2.0, 43 - i, 8, 0, noteShiftNormal, triool, i, noteArtNormal,
                 drawStickAuto);
        note(part, second, 3.0, -43, 4, 1, noteShiftNormal, duool, 1, noteArtNormal, drawStickUp);
        note(outro, lower->GetFirstNoteGroup(), 0.0, 0, 16, 0, noteShiftMol, kwintool, 4,
             noteArtLegato, drawStickDown);
        part->InsertSymbol(new TSilence(2, 2, 4.0, stave, sool, 0, part));
        outro->InsertSymbol(new TSilence(8, 1, 1.0, lower, kwartool, 3, outro));
    }
};

TEST(FileTest, KitchenSinkWritesReadsAndWritesTheSameBytesAndDuplicates)
{
    KitchenSink k;
    const std::string text = MuzText(k.doc);
    MuzLoad read(text);
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(MuzText(*read.doc), text);

    // A copy holds what the file holds; format and editing state are a new document's.
    k.doc.SetWaveFileProps(TWaveFileProps(1, 22050, 2), TWaveFileProps(2, 44100, 1));
    k.doc.mode = unitMuzDel;
    TUnitMuz copy("copy", "");
    ASSERT_TRUE(copy.Duplicate(k.doc, read.message)) << read.message;
    EXPECT_EQ(MuzText(copy), text);
    EXPECT_EQ(copy.GetSampleFreq(), 22050);
    EXPECT_EQ(copy.GetMonoStereo(), 1);
    EXPECT_EQ(copy.GetBytesPSample(), 2);
    EXPECT_EQ(copy.mode, unitMuzNew);

    // What the bytes alone would not show: which item is selected, the folding, the clefs'
    // numbers and the values whose defaults are left out.
    TUnitMuz& doc = *read.doc;
    auto* concat = static_cast<TConcatPartMuz*>(doc.GetRootPart()->GetChild());
    auto* loop = static_cast<TLoopPartMuz*>(concat->GetFirstPart());
    auto* select = static_cast<TSelectPartMuz*>(loop->GetLoopPart());
    EXPECT_EQ(loop->expanded, 0);
    EXPECT_EQ(select->expanded, 1);
    EXPECT_EQ(loop->Count.GetValue(), 4);
    EXPECT_EQ(doc.GetSelectedTreeItem()->GetLabel(), "third");
    std::vector<std::pair<int, int>> turns;
    for (const TSelectPartItem* i = select->GetSelectPartItems()->GetNext(); i; i = i->GetNext()) {
        const auto* turn = static_cast<const TCountSelectPartItem*>(i);
        turns.push_back({turn->Count.GetValue(), turn->Pitch.GetValue()});
    }
    EXPECT_EQ(turns, (std::vector<std::pair<int, int>>{{1, 0}, {3, -5}, {2, 1}, {4, -1}}));
    auto* outro = static_cast<TSinglePartMuz*>(concat->GetSecondPart());
    EXPECT_EQ(outro->GetMuzBar()->GetCountFirstBar(), 2);
    TNoteGroup* players = doc.GetFirstStave()->GetFirstNoteGroup()->GetNext();
    EXPECT_EQ(players->GetPlayer()->GetFirstOnePlayer()->OnePlayerProps.FreqUp.GetUnit(), EHKHZ);
    EXPECT_EQ(players->NoteShape, 1);
    std::vector<int> kinds;
    for (const TOnePlayer* p = players->GetPlayer()->GetFirstOnePlayer(); p; p = p->GetNext())
        kinds.push_back(p->OnePlayerProps.GetKind());
    EXPECT_EQ(kinds, (std::vector<int>{notePlayerSimpleSampler, notePlayerResonantSampler,
                                       notePlayerRepeatWaveForm, notePlayerRollOutSampler,
                                       notePlayerRollOutWaveForm}));
    EXPECT_EQ(doc.GetSelectedSymbol(), doc.GetRootPart()->FirstSymbol());
    std::vector<std::pair<int, int>> clefsAtOne;
    TSinglePartMuz* intro = doc.GetRootPart()->FirstSinglePart();
    for (TStaveSymbol* s = intro->FirstSymbol(); s; s = s->GetNext())
        if (TKey* key = s->AsKey(); key && key->GetPosition() == 1.0)
            clefsAtOne.push_back({key->GetKeyKind(), key->GetKeyNumber()});
    EXPECT_EQ(clefsAtOne, (std::vector<std::pair<int, int>>{{keyKindC, 1}, {keyKindF, 2}}));
    // The five notes of the first group: accidental, articulation, stem and dots each of kind i.
    std::vector<std::vector<int>> notes;
    for (TStaveSymbol* s = intro->FirstSymbol(); s; s = s->GetNext())
        if (TMuzNote* n = s->AsNote();
            n && n->GetNoteGroup() == doc.GetFirstStave()->GetFirstNoteGroup())
            notes.push_back({n->GetNoteShiftKind(), n->GetNoteArtKind(), n->GetDrawStickKind(),
                             n->GetPoints()});
    EXPECT_EQ(notes, (std::vector<std::vector<int>>{
                         {0, 0, 0, 0}, {1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 0, 3}, {4, 4, 1, 0}}));
    // The file holds each stave apart; every chain comes back in time order, linked both ways.
    for (TSinglePartMuz* p = doc.GetRootPart()->FirstSinglePart(); p;
         p = p->GetParent()->NextSinglePart(p)) {
        std::set<TStaveSymbol*> symbols;
        for (TStaveSymbol* s = p->FirstSymbol(); s; s = s->GetNext())
            symbols.insert(s);
        ExpectChain(*p, symbols);
    }
    EXPECT_EQ(intro->CountSymbols(), k.part->CountSymbols());
    EXPECT_EQ(outro->CountSymbols(), k.outro->CountSymbols());
    // Writing and reading every player kind and both note shapes asserts nothing.
    EXPECT_TRUE(k.messages.Unexpected().empty());
    EXPECT_TRUE(read.messages.Unexpected().empty());
}

TEST(FileTest, WriterKeepsTheFormatsExamples)
{
    KitchenSink k;
    auto tree = k.doc.CreateXml();
    std::string parts;
    for (const TXMLItem* c = tree->GetFirstChild(); c; c = c->GetNext())
        if (c->GetElement().find("MuzPart") != std::string::npos)
            parts += c->GetElement() + " ";
    EXPECT_EQ(parts, "SingleMuzPart SelectMuzPart LoopMuzPart SingleMuzPart ConcatMuzPart ");
    const TXMLItem* stave = tree->GetChild("Stave");
    EXPECT_EQ(stave->GetChild("ForegroundColor")->GetText(), "0000FF");
    EXPECT_EQ(Children(stave), "RoomUp,RoomDown,Mute,ExtraLines,ForegroundColor,BackgroundColor,"
                               "KeyPart,KeyPart,NoteGroup,NoteGroup");
    // The first group has no notes in the outro: an empty NotePart stands for it.
    const TXMLItem* group = stave->GetChild("NoteGroup");
    EXPECT_EQ(Children(group), "NoteColor,NoteShapeNormal,NoteStickUp,CompoundPlayer,NotePart,"
                               "NotePart");
    EXPECT_EQ(group->GetChild("NotePart")->GetNext()->GetFirstChild(), nullptr);
    // The opening clef: two octaves up with sharps on steps 0 and 3, one element each.
    const TXMLItem* clef = stave->GetChild("KeyPart")->GetFirstChild();
    EXPECT_EQ(Children(clef), "Position,KeyKind,OctavesUp,KeyNoteShift,KeyNoteShift");
    std::string steps;
    for (const TXMLItem* c = clef->GetChild("KeyNoteShift"); c; c = c->GetNext())
        steps += Children(c) + "=" + c->GetChild("Height")->GetText() + " ";
    EXPECT_EQ(steps, "ShiftCross,Height=0 ShiftCross,Height=3 ");
    // A natural, normal, untupled, undotted note with an automatic stem.
    MusicDoc plain;
    plain.Note(0.5, 3);
    auto plainTree = plain.doc.CreateXml();
    const TXMLItem* note =
        plainTree->GetChild("Stave")->GetChild("NoteGroup")->GetChild("NotePart")->GetFirstChild();
    EXPECT_EQ(Children(note), "Position,Length,Height");
    EXPECT_EQ(Children(plainTree->GetChild("SingleMuzPart")->GetChild("PartNode")), "");
}

TEST(FileTest, PositionsInSmallStepsUpToTheCapReadBackExactly)
{
    MusicDoc m;
    const double positions[] = {1.0 / 1024, 3.0 / 1024, 0.1, 1234 + 567.0 / 1024,
                                muzPositionLimit - 1.0 / 1024};
    for (double p : positions)
        m.Note(p, 0);
    MuzLoad read(MuzText(m.doc));
    ASSERT_TRUE(read.ok) << read.message;
    std::vector<double> back;
    for (TStaveSymbol* s = read.doc->GetRootPart()->FirstSymbol(); s; s = s->GetNext())
        if (s->AsNote())
            back.push_back(s->GetPosition());
    EXPECT_EQ(back, std::vector<double>(std::begin(positions), std::end(positions)));
}

TEST(FileTest, ClefsAtOnePositionKeepTheirOrderOverReloads)
{
    MusicDoc m;
    m.part->InsertSymbol(new TKey(&m.doc, keyKindF, 0, 0.0, m.stave, 2, m.part));
    m.part->InsertSymbol(new TKey(&m.doc, keyKindC, 1, 0.0, m.stave, 3, m.part));
    std::string text = MuzText(m.doc);
    for (int i = 0; i < 3; ++i) {
        MuzLoad read(text);
        ASSERT_TRUE(read.ok) << read.message;
        std::vector<int> kinds;
        int number = 0;
        for (TStaveSymbol* s = read.doc->GetRootPart()->FirstSymbol(); s; s = s->GetNext()) {
            kinds.push_back(s->AsKey()->GetKeyKind());
            EXPECT_EQ(s->AsKey()->GetKeyNumber(), ++number);
        }
        EXPECT_EQ(kinds, (std::vector<int>{keyKindG, keyKindF, keyKindC}));
        std::string again = MuzText(*read.doc);
        EXPECT_EQ(again, text);
        text = again;
    }
}

// ---- old files ----------------------------------------------------------------------------------

std::string OldFile(const std::string& keys, const std::string& notes)
{
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!DOCTYPE UnitMuz SYSTEM "
           "\"UnitMuz.dtd\">\n\n<UnitMuz>\n<Version>7.0</Version>\n<Tempo>1 s</Tempo>\n<Bar>\n"
           "<Count>2</Count>\n<Length>4</Length>\n</Bar>\n<Stave>\n<RoomUp>80</RoomUp>\n"
           "<RoomDown>80</RoomDown>\n<AllowJoinFlags/><AutoStick/>\n<ForegroundColor>000000"
           "</ForegroundColor>\n<BackgroundColor>ffffff</BackgroundColor>\n" +
           keys +
           "<NoteGroup>\n<NoteColor>000000</NoteColor>\n<NoteShapeNormal/>\n<CompoundPlayer>\n"
           "<RepeatWaveForm><SampleWave>sample</SampleWave><VolumeFactor>1</VolumeFactor>\n"
           "</RepeatWaveForm>\n</CompoundPlayer>\n" +
           notes + "</NoteGroup>\n</Stave>\n</UnitMuz>\n";
}

std::string OldNote(const char* position, int height, const char* shift = "")
{
    return std::string("      <Note><Position>") + position + "</Position><Length>4</Length>" +
           "<Height>" + std::to_string(height) + "</Height>" + shift + "</Note>\n";
}

TEST(FileTest, OldFilesAreConvertedAndSavedAsNew)
{
    // G clef with F sharp (step 6, stored as -1); bars of two quarters. Steps: 0 is G, 6 is F.
    const std::string keys = "    <Key><Position>0</Position><KeyKind>G</KeyKind>"
                             "<KeyNoteShift><ShiftCross/><Height>-1</Height></KeyNoteShift>"
                             "</Key>\n";
    MuzLoad read(OldFile(keys, OldNote("0", 0) + OldNote("0.25", 6) +
                                   OldNote("0.5", -1, "<ShiftMol/>") + OldNote("0.75", -1) +
                                   OldNote("1", -1) + OldNote("1.25", 6)));
    ASSERT_TRUE(read.ok) << read.message;
    TSinglePartMuz* single = read.doc->GetRootPart()->FirstSinglePart();
    EXPECT_EQ(read.doc->GetRootPart()->GetChild(), single);
    EXPECT_EQ(single->GetMuzBar()->GetCountFirstBar(), 0);
    std::vector<std::pair<int, int>> notes;
    for (TStaveSymbol* s = single->FirstSymbol(); s; s = s->GetNext())
        if (TMuzNote* n = s->AsNote())
            notes.push_back({n->GetPitch(), n->GetNoteShiftKind()});
    // Pitch 6 under G; F sharp from the signature; an explicit flat; the same flat carried
    // to the next F of the bar; the signature again after the bar line, in any octave.
    EXPECT_EQ(notes, (std::vector<std::pair<int, int>>{{6, noteShiftNormal},
                                                       {12, noteShiftKruis},
                                                       {5, noteShiftMol},
                                                       {5, noteShiftMol},
                                                       {5, noteShiftKruis},
                                                       {12, noteShiftKruis}}));
    const std::string saved = MuzText(*read.doc);
    EXPECT_NE(saved.find("<Version>7.1</Version>"), std::string::npos);
    MuzLoad again(saved);
    ASSERT_TRUE(again.ok) << again.message;
    EXPECT_EQ(MuzText(*again.doc), saved);
}

// ---- refusals -----------------------------------------------------------------------------------

struct Refusal
{
    const char* name;
    const char* from; // first occurrence in the base file
    std::string to;   // "@" marks the element at fault
    std::string message;
    const char* faultAt = nullptr; // or the element at fault, when "to" cannot hold the mark
    const char* from2 = nullptr;   // a second edit
    const char* to2 = nullptr;
};

std::ostream& operator<<(std::ostream& out, const Refusal& r)
{
    return out << r.name;
}

// One stave, one note and one rest in one single part.
std::string BaseFile()
{
    MusicDoc m;
    m.Note(0.0, 5);
    m.part->InsertSymbol(new TSilence(4, 0, 0.25, m.stave, sool, 0, m.part));
    return MuzText(m.doc);
}

const std::string part = "<SingleMuzPart><Bar><Count>4</Count><Length>4</Length></Bar>"
                         "<PartNode/></SingleMuzPart>";
const std::string twoParts = part + part + "<ConcatMuzPart/>";
const std::string cannot = "Cannot built a ";
const std::string stack =
    ", there are no more Music Parts in the stack for the %s while building the tree of Music "
    "Parts; The combination of Music Parts is wrong.";

std::string Stack(const std::string& kind, const std::string& child)
{
    std::string tail = stack;
    tail.replace(tail.find("%s"), 2, child);
    return cannot + kind + " Music Part" + tail;
}

// loops loops around the part, the last one marked.
std::string Deep(int loops)
{
    const std::string loop = "<LoopMuzPart><Count>2</Count><PartNode/></LoopMuzPart>";
    std::string text;
    for (int i = 1; i < loops; ++i)
        text += loop;
    return text + "@" + loop + "<Stave>";
}

const char* const key = "<KeyKind>G</KeyKind>";
const char* const bar = "<Length>4</Length>\n    </Bar>";

const Refusal refusals[] = {
    {"concat first", "<SingleMuzPart>", "@<ConcatMuzPart/><SingleMuzPart>",
     Stack("Concat", "second child")},
    {"concat of one", "  <Stave>", "@<ConcatMuzPart/><Stave>", Stack("Concat", "first child")},
    {"loop first", "<SingleMuzPart>",
     "@<LoopMuzPart><Count>2</Count><PartNode/></LoopMuzPart><SingleMuzPart>",
     Stack("Loop", "child")},
    {"select first", "<SingleMuzPart>",
     "@<SelectMuzPart><PartNode/></SelectMuzPart><SingleMuzPart>", Stack("Select", "child")},
    {"two parts left", "  <Stave>", part + "@<Stave>",
     "There are existing Music Parts falling outside the tree of Music Parts; The combination "
     "of Music Parts is wrong."},
    {"two selected", "  <Stave>",
     "<LoopMuzPart><Count>2</Count><PartNode><Selected/></PartNode></LoopMuzPart>"
     "<SelectMuzPart><SelectMuzPartTurn><Count>1</Count><PartNode>@<Selected/></PartNode>"
     "</SelectMuzPartTurn><PartNode/></SelectMuzPart><Stave>",
     "At most one Music Part can be selected."},
    {"more key parts", "<NoteGroup>",
     "@<KeyPart><Key><Position>0</Position><KeyKind>C</KeyKind></Key></KeyPart><NoteGroup>",
     "There are more Key Parts than Music Parts"},
    {"more music parts than key parts", "  <Stave>", part + "<ConcatMuzPart/><Stave>",
     "There are more Music Parts than Key Parts", "<NoteGroup>"},
    {"more music parts than note parts", "  <Stave>", part + "<ConcatMuzPart/><Stave>",
     "There are more Music Parts than Note Parts", "<NoteGroup>", "<NoteGroup>",
     "<KeyPart><Key><Position>0</Position><KeyKind>G</KeyKind></Key></KeyPart><NoteGroup>"},
    {"more note parts", "</NoteGroup>", "@<NotePart/></NoteGroup>",
     "There are more Note Parts than Music Parts"},
    {"foreground colour", "<ForegroundColor>000000", "@<ForegroundColor>00G000",
     "In ForegroundColor: Invalid Hexdecimal value: \"00G000\"."},
    {"background colour", "<BackgroundColor>FFFFFF", "@<BackgroundColor>FFFFF-",
     "In BackgroundColor: Invalid Hexdecimal value: \"FFFFF-\"."},
    {"note colour", "<NoteColor>000000", "@<NoteColor>0x12",
     "In NoteColor: Invalid Hexdecimal "
     "value: \"0x12\"."},
    {"key kind", key, "@<KeyKind>A</KeyKind>", "Key Kind \"A\" is not a valid Key Kind."},
    {"rest after its tuplet", "</Silence>", "@<PosInOol>1</PosInOol></Silence>",
     "In PosInSil: Value to High for Normal Silence."},
    {"note after its triool", "</Note>", "<Triool/>@<PosInOol>3</PosInOol></Note>",
     "In PosInNote: Value to High for Triool."},
    {"loop count 0", "  <Stave>", "<LoopMuzPart>@<Count>0</Count><PartNode/></LoopMuzPart><Stave>",
     "In Loop MuzPart Count: Value must be positive and more than 0."},
    {"loop count cap", "  <Stave>",
     "<LoopMuzPart>@<Count>10000</Count><PartNode/></LoopMuzPart><Stave>",
     "In Loop MuzPart Count: Value must be less or equal of 9999."},
    {"turn count cap", "  <Stave>",
     "<SelectMuzPart><SelectMuzPartTurn>@<Count>10000</Count><PartNode/></SelectMuzPartTurn>"
     "<PartNode/></SelectMuzPart><Stave>",
     "In Select MuzPart Count: Value must be less or equal of 9999."},
    {"bar count 0", "<Count>4", "@<Count>0", "In Bar Count: Value must be more or equal of 1."},
    {"bar count 100", "<Count>4", "@<Count>100",
     "In Bar Count: Value must be less or equal of 99."},
    {"bar length 3", bar, "@<Length>3</Length></Bar>",
     "In Bar Length: Value must be 1, 2, 4, 8, 16, 32 or 64."},
    {"count first bar", bar, "<Length>4</Length>@<CountFirstBar>4</CountFirstBar></Bar>",
     "In Bar CountFirstBar: Value must be less or equal of 3."},
    {"note length 0", "<Length>4</Length>\n          <Height>", "@<Length>0</Length><Height>",
     "In Note Length: Value must be 1, 2, 4, 8, 16, 32 or 64."},
    {"rest length 128", "<Length>4</Length>\n      </Silence>", "@<Length>128</Length></Silence>",
     "In Silence Length: Value must be 1, 2, 4, 8, 16, 32 or 64."},
    {"points 4", "<Length>4</Length>\n          <Height>",
     "<Length>4</Length>@<Points>4</Points><Height>",
     "In Note Points: Value must be 0, 1, 2 or 3."},
    {"duool without dot", "</Silence>", "<Duool/></Silence>",
     "In Silence Points: Value must be 1, 2 or 3 in a Duool or a Kwartool.", "<Silence>"},
    {"kwintool of eighths", "<Length>4</Length>\n          <Height>",
     "@<Length>32</Length><Height>5</Height><Kwintool/></Note><Note><Position>1</Position>"
     "<Length>4</Length><Height>",
     "In Note Length: Value must be at most 16 in a Kwintool."},
    {"triool of 64ths", "<Length>4</Length>\n      </Silence>",
     "@<Length>64</Length><Triool/></Silence>",
     "In Silence Length: Value must be at most 32 in "
     "a tuplet."},
    {"pitch 44", "<Height>5", "@<Height>44", "In Note Height: Value must be less or equal of 43."},
    {"pitch -44", "<Height>5", "@<Height>-44",
     "In Note Height: Value must be more or equal of -43."},
    {"negative place in tuplet", "</Note>", "<Triool/>@<PosInOol>-1</PosInOol></Note>",
     "In Position in MultiOol: Value must be positive."},
    {"version", "<Version>7.1", "@<Version>7.2", "7.2"},
    {"expanded single", "<PartNode />", "<PartNode>@<Expanded/></PartNode>",
     "In PartNode: Only a Loop or a Select Music Part can be Expanded."},
    {"expanded turn", "  <Stave>",
     "<SelectMuzPart><SelectMuzPartTurn><Count>1</Count><PartNode>@<Expanded/></PartNode>"
     "</SelectMuzPartTurn><PartNode/></SelectMuzPart><Stave>",
     "In PartNode: Only a Loop or a Select Music Part can be Expanded."},
    {"control byte in a label", "<PartNode />",
     "<PartNode>@<PartLabel>a\x01"
     "b</PartLabel></PartNode>",
     "In PartLabel: A name cannot hold control characters."},
    {"octaves up 3", key, "<KeyKind>G</KeyKind>@<OctavesUp>3</OctavesUp>",
     "In Key OctavesUp: Value must be less or equal of 2."},
    {"first clef later", "<Position>0</Position>\n        <KeyKind>",
     "@<Position>0.5</Position><KeyKind>",
     "In Key Position: The first Key of a Stave in a Music Part must be at Position 0."},
    {"position cap", "<Position>0</Position>\n          <Length>",
     "@<Position>16384</Position><Length>",
     "In Note Position: Value must be less or equal of 16383."},
    {"room cap", "<RoomUp>80", "@<RoomUp>10001",
     "In Room Up: Value must be less or equal of 10000."},
    {"room below a drag's floor", "<RoomDown>80", "@<RoomDown>29",
     "In Room Down: Value must be more than 29."},
    {"tree too deep", "  <Stave>", Deep(muzPartDepthMax),
     "In Music Part depth: Value must be less or equal of 4096."},
};

class RefusalTest : public testing::TestWithParam<Refusal>
{
};

TEST_P(RefusalTest, ReaderRefusesWithItsMessageAndPosition)
{
    const Refusal& r = GetParam();
    std::string text = BaseFile();
    size_t at = text.find(r.from);
    ASSERT_NE(at, std::string::npos) << r.from;
    text.replace(at, std::string(r.from).size(), r.to);
    if (r.from2)
        text.replace(text.find(r.from2), std::string(r.from2).size(), r.to2);
    if (r.faultAt)
        text.insert(text.find(r.faultAt), "@");
    // The element at fault starts a line of its own.
    size_t mark = text.find('@');
    ASSERT_NE(mark, std::string::npos);
    text.insert(mark++, "\n");
    const int line = 1 + static_cast<int>(std::count(text.begin(), text.begin() + mark, '\n'));
    // The position is the begin tag's end: the column after its ">".
    const size_t tagEnd = text.find('>', mark);
    const int column = static_cast<int>(tagEnd - text.rfind('\n', mark));
    text.erase(mark, 1);
    MuzLoad read(text);
    ASSERT_FALSE(read.ok);
    if (std::string(r.name) == "version") {
        EXPECT_NE(read.message.find("\"7.2\""), std::string::npos) << read.message;
        return;
    }
    EXPECT_EQ(read.message, r.message + " At line " + std::to_string(line) + ", column " +
                                std::to_string(column) + ".");
    EXPECT_TRUE(read.messages.Shown().empty());
}

INSTANTIATE_TEST_SUITE_P(All, RefusalTest, testing::ValuesIn(refusals));

TEST(FileTest, OldFilesRefuseWhatTheyCannotHold)
{
    const std::string clefLater = "    <Key><Position>1</Position><KeyKind>G</KeyKind></Key>\n";
    const std::string clef = "    <Key><Position>0</Position><KeyKind>F</KeyKind></Key>\n";
    MuzLoad later(OldFile(clefLater, OldNote("0", 0)));
    EXPECT_EQ(later.message.substr(0, 36), "In Key Position: The first Key of a ");
    MuzLoad high(OldFile(clef, OldNote("0", 50)));
    EXPECT_EQ(high.message.substr(0, 50), "In Note Height: Value must be less or equal of 43.");
}

// ---- the document's file commands
// ----------------------------------------------------------------

TEST(FileTest, SaveOpenAndRevertGoThroughTheFile)
{
    TempDir dir("muz");
    const std::string path = (dir / "piece.kvm").string();
    KitchenSink k;
    ASSERT_TRUE(k.doc.SaveAs(path));
    TUnitMuz opened("piece", path);
    std::string message;
    ASSERT_TRUE(opened.OpenFile(message)) << message;
    EXPECT_EQ(MuzText(opened), MuzText(k.doc));
    EXPECT_EQ(ReadAll(path), MuzText(k.doc));

    opened.AddStave(nullptr);
    opened.SetModified();
    std::string failed;
    ASSERT_TRUE(opened.Revert(message, failed)) << message;
    EXPECT_EQ(MuzText(opened), MuzText(k.doc));
    EXPECT_FALSE(opened.IsModified());

    WriteAll(path, "<?xml version=\"1.0\"?>\n<!DOCTYPE UnitMuz SYSTEM \"UnitMuz.dtd\">\n\n"
                   "<UnitMuz>\n  <Version>7.1</Version>\n</UnitMuz>\n");
    EXPECT_FALSE(opened.Revert(message, failed));
    EXPECT_EQ(failed, path);
    EXPECT_EQ(MuzText(opened), MuzText(k.doc)); // a failed revert keeps the piece
}

TEST(FileTest, FailedSaveKeepsTheOldFileAndTheDocumentModified)
{
    TempDir dir("muz");
    const std::string path = (dir / "piece.kvm").string();
    MusicDoc m;
    WriteAll(path, "old");
    m.doc.SetModified();
    m.messages.Expect();
    SafeFileWriter::FailAfterBytes(100);
    bool saved = m.doc.SaveAs(path);
    SafeFileWriter::FailAfterBytes(-1);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(dir.Count(), 1u);
    ASSERT_EQ(m.messages.Shown().size(), 1u);
    EXPECT_EQ(m.messages.Shown()[0].text.substr(0, 19), "Cannot save Music: ");
    EXPECT_GT(m.messages.Shown()[0].text.size(), 19u);
    EXPECT_EQ(m.messages.Shown()[0].caption, "FileError");
    EXPECT_TRUE(m.doc.IsModified());

    std::filesystem::permissions(path, std::filesystem::perms(0444));
    const std::string before = FileState(path);
    m.messages.Expect();
    EXPECT_FALSE(m.doc.SaveAs(path));
    EXPECT_EQ(m.messages.Shown().back().text,
              "Cannot save Music: "
              "Operating System cannot open file for writing, maybe the file is readonly.");
    EXPECT_EQ(FileState(path), before);
    EXPECT_TRUE(m.doc.IsModified());
}

} // namespace
} // namespace kelvorn::test
