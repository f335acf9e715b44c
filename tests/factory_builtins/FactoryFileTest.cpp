// The factory file: its exact bytes, round trips, the messages of a refused file, the second
// pass's name rules, failed saves, duplicates and reverts.
#include "factory_builtins/BuiltinKit.h"

#include "general/files/SafeFile.h"
#include "general/values/ValueText.h"

#include <filesystem>
#include <functional>

namespace kelvorn::test {
namespace {

using Texts = std::vector<std::string>;

TEST(FactoryNumbers, FifteenDigitsExponentOnlyBelowOneHundredThousandth)
{
    struct Case
    {
        double x;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {1, "1"},
        {0.1, "0.1"},
        {1.0 / 6, "0.166666666666667"},
        {5.0 / 6, "0.833333333333333"},
        {-2.5, "-2.5"},
        {123456.75, "123456.75"},
        {1e15, "1000000000000000"},
        {123456789012345678.0, "123456789012346000"},
        {99999.99999999999, "100000"},
        {0.000123456789012345678, "0.000123456789012346"},
        {0.00001, "0.00001"},
        {0.0000099, "9.9E-6"},
        {-1.5e-6, "-1.5E-6"},
        {2.0 / 3 * 1e-7, "6.66666666666667E-8"},
        {1e-300, "1E-300"},
        // Rounded to 15 digits it is 0.00001: the rounded number decides the form.
        {0.0000099999999999999999, "0.00001"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatFactoryNumber(c.x), c.text) << c.x;
        double back = 0;
        MeasureUnitKind unit = EHNone;
        std::string reason;
        ASSERT_TRUE(ParseFactor(c.text, 0, back, unit, reason)) << c.text << reason;
        EXPECT_EQ(FormatFactoryNumber(back), c.text);
    }
}

// Each builder makes a factory whose file is in the corpus as written.
struct Source
{
    const char* file;
    std::function<void(TUnitSountory&, TUnitSountory&)> build;
};

std::vector<Source> Sources()
{
    std::vector<Source> sources;
    static const char* const templates[] = {"template-0.kvf", "template-1.kvf", "template-2.kvf",
                                            "template-3.kvf", "template-4.kvf", "template-5.kvf"};
    for (int t = 0; t < 6; ++t)
        sources.push_back({templates[t], [t](TUnitSountory& f, TUnitSountory& other) {
                               TSountoryNode* node = nullptr;
                               if (t == 3)
                                   node = other.CreateNode<TSountoryNodeBuiltin>(
                                       "B", uint8_t(BuiltinBalance), TSountoryRectangle{0, 0, 9, 9},
                                       true);
                               if (t == 5)
                                   node = other.CreateNode<TSountoryNodeLoop>(
                                       "R", "Loop", TSountoryRectangle{0, 0, 9, 9}, true);
                               f.InitFromTemplate(t, node);
                           }});
    sources.push_back(
        {"all-kinds.kvf", [](TUnitSountory& f, TUnitSountory&) { BuildAllKinds(f); }});
    return sources;
}

struct File : FileFixture
{
    // A new factory read from the text, which must load.
    std::unique_ptr<TUnitSountory> Load(const std::string& text)
    {
        auto loaded = std::make_unique<TUnitSountory>("L", "/tmp/l.kvf", host);
        EXPECT_TRUE(ReadText(*loaded, text, message)) << message;
        return loaded;
    }
};

TEST_F(File, WrittenAsTheGoldenFilesAndReadBackByteForByte)
{
    for (const Source& source : Sources()) {
        SCOPED_TRACE(source.file);
        TUnitSountory f("F", "", host);
        TUnitSountory other("O", "", host);
        source.build(f, other);
        std::string first = FileText(f);
        EXPECT_EQ(first, CorpusFile(source.file));
        // Each load puts the last node of the file in front: the second file lists them
        // reversed, the third is the first again.
        auto once = Load(first);
        std::string second = FileText(*once);
        Texts names = NamesOf(f.Nodes());
        std::reverse(names.begin(), names.end());
        EXPECT_EQ(NamesOf(once->Nodes()), names);
        EXPECT_EQ(first == second, f.Nodes().size() < 2);
        EXPECT_EQ(FileText(*Load(second)), first);
        EXPECT_FALSE(once->IsModified());
        EXPECT_TRUE(host.warnings.empty());
    }
}

TEST_F(File, EveryReadableCorpusFileReadsAndWritesBack)
{
    int readable = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KELVORN_FACTORY_CORPUS)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("refused-", 0) == 0)
            continue;
        SCOPED_TRACE(name);
        std::string text = ReadAll(entry.path());
        EXPECT_EQ(FileText(*Load(FileText(*Load(text)))), text);
        ++readable;
    }
    EXPECT_GE(readable, 8);
}

TEST_F(File, ModesSwitchesAndViewComeBack)
{
    struct Case
    {
        uint8_t mode;
        int switches;
        TFactoryView view;
    };
    const Case cases[] = {
        {NodesOverlap, 0, {ModeDrag, true, 0, 0}},
        {NodesFixed, 15, {ModeConnect, false, -40, 2000000000}},
        {NodesShift, 5, {ModeDrag, false, 7, -1}},
        {NodesFixed, 10, {ModeConnect, true, 1, 2}},
    };
    for (const Case& c : cases) {
        TUnitSountory f("F", "", host);
        f.SetNodesCombination(c.mode);
        f.ShowNameIO = c.switches & 1;
        f.ShowTypeIO = c.switches & 2;
        f.ShowNameNIO = c.switches & 4;
        f.ShowTypeNIO = c.switches & 8;
        f.View = c.view;
        std::string text = FileText(f);
        auto loaded = Load(text);
        EXPECT_EQ(FileText(*loaded), text);
        EXPECT_EQ(loaded->GetNodesCombination(), c.mode);
        EXPECT_EQ(loaded->ShowNameIO + 2 * loaded->ShowTypeIO + 4 * loaded->ShowNameNIO +
                      8 * loaded->ShowTypeNIO,
                  c.switches);
        EXPECT_EQ(loaded->View.Mode, c.view.Mode);
        EXPECT_EQ(loaded->View.ShowHints, c.view.ShowHints);
        EXPECT_EQ(loaded->View.HorScrollPos, c.view.HorScrollPos);
        EXPECT_EQ(loaded->View.VertScrollPos, c.view.VertScrollPos);
    }
}

TEST_F(File, CommaPlacesAndPinsWithoutDomain)
{
    std::string text = CorpusFile("small.kvf");
    size_t at = text.find("<Height>0.4</Height>");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 20, "<Height>0,4</Height>");
    auto loaded = Load(text);
    EXPECT_DOUBLE_EQ(loaded->FindInput("Select Begin")->GetHeightValue(), 0.4);
    EXPECT_EQ(loaded->FindInput("Select Begin")->Height.GetUnit(), EHNone);

    // A Boolean pin has no domain to write; read, it gets the first.
    In("Flag", ValueDomType::Boolean, ValueDomain::Positive);
    std::string written = FileText(factory);
    EXPECT_EQ(written.find("<ValueDomain>"), std::string::npos);
    EXPECT_EQ(Load(written)->FindInput("Flag")->GetValueDomain(), ValueDomain::AllValues);
}

TEST_F(File, RefusedFilesNameTheElementAtFault)
{
    struct Case
    {
        const char* file;
        const char* message;
    };
    const Case cases[] = {
        {"version", "Version \"8.0\" is no version of a Factory file that can be read (9.0)."},
        {"tokens", "unexpected '>' found in line 146, column 14."},
        {"grammar", "unexpected begin of element \"NodesCombinations\", expect begin of element "
                    "\"NodesCombination\", at line 20, column 23."},
        {"factory-width", "In Width: Invalid value: \"wide\". At line 14, column 14."},
        {"factory-height",
         "In Height: Value must be positive and more than 0. At line 15, column 15."},
        {"node-width", "In Width: Value must be positive and more than 0. At line 30, column 16."},
        {"node-left", "In Left: The rectangle must lie between -1000000000 and 1000000000. At "
                      "line 28, column 15."},
        {"node-right", "In Width: The rectangle must lie between -1000000000 and 1000000000. At "
                       "line 109, column 16."},
        {"node-bottom", "In Height: The rectangle must lie between -1000000000 and 1000000000. "
                        "At line 110, column 17."},
        {"pin-height", "In Height: Value must be no more than 1. At line 48, column 17."},
        {"value-dom-type", "ValueDomType \"X\" does not exists. At line 163, column 21."},
        {"value-domain", "ValueDomain \"Upward\" does not exists. At line 185, column 20."},
        {"double",
         "Double \"half\" is not a valid value: Input has no value. At line 122, column 19."},
        {"value-type", "ValueType \"Fraction\" does not exists. At line 123, column 22."},
        {"value-type-wave", "ValueType \"Wave\" is no type of a number. At line 123, column 22."},
        {"unit-kind", "UnitKind \"EHPints\" does not exists. At line 124, column 21."},
        {"builtin", "NameBuiltinAction \"plus\" does not exists. At line 113, column 28."},
        {"sound-on-number", "NameSound \"Drums\" is no value of a pin of ValueDomType "
                            "\"AllComputable\". At line 122, column 22."},
        {"number-on-wave", "Double \"0.5\" is no value of a pin of ValueDomType \"Wave\". At "
                           "line 64, column 19."},
        {"scroll", "In HorScrollPos: Invalid value: \"left\". At line 9, column 19."},
    };
    for (const Case& c : cases) {
        std::string file = std::string(KELVORN_FACTORY_CORPUS) + "/refused-" + c.file + ".kvf";
        TUnitSountory f("F", file, host);
        EXPECT_FALSE(f.LoadFromFile(file, message)) << c.file;
        EXPECT_EQ(message, c.message);
    }
    // Without the builtin functions installed no builtin node can be read.
    ScopedService<TBuiltinNodeMaker> none(nullptr);
    TUnitSountory f("F", "", host);
    EXPECT_FALSE(ReadText(f, CorpusFile("small.kvf"), message));
    EXPECT_EQ(message, "NameBuiltinAction \"Volume\" does not exists. At line 34, column 28.");
}

// A tree no grammar checked (a duplicate reads one) is read with the same care: what is missing
// or unknown is named.
TEST_F(File, TreesWithoutTheGrammarNameWhatIsMissing)
{
    auto child = [](TXMLItem* parent, const char* name) {
        return static_cast<TXMLComplexElement*>(parent->GetChild(name));
    };
    struct Case
    {
        std::function<void(TXMLComplexElement&)> spoil;
        const char* message;
    };
    const Case cases[] = {
        {[&](TXMLComplexElement& root) { root.DeleteChildrenAfter(root.GetFirstChild()); },
         "In UnitFact: element \"View\" expected."},
        {[&](TXMLComplexElement& root) {
             TXMLComplexElement* factory = child(&root, "Factory");
             factory->DeleteChildrenAfter(factory->GetChild("FactoryKind"));
         },
         "In Factory: element \"NodesCombination\" expected."},
        {[&](TXMLComplexElement& root) {
             TXMLComplexElement* mode = child(child(&root, "Factory"), "NodesCombination");
             mode->DeleteChildrenAfter(nullptr);
             mode->AddComplex("NodesSideways");
         },
         "In NodesCombination: element \"NodesOverlap\" expected."},
        {[&](TXMLComplexElement& root) {
             TXMLComplexElement* kind = child(child(&root, "Factory"), "FactoryKind");
             kind->DeleteChildrenAfter(nullptr);
         },
         "In FactoryKind: element \"FactoryFree\" expected."},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TXMLComplexElement> tree = factory.ToXmlTree();
        c.spoil(*tree);
        TUnitSountory f("F", "", host);
        int32_t line = -1, column = -1;
        EXPECT_FALSE(f.FromXml(tree.get(), message, line, column));
        EXPECT_EQ(message, c.message);
    }
}

// Connections resolve by name to the first match from the head of each list; the node list is
// reversed by the load, so of two nodes named alike the later in the file wins.
TEST_F(File, ConnectionsResolveByNameAsTheFactoryLooksNamesUp)
{
    Builtin(BuiltinPlus, "A");
    TSountoryNodeBuiltin* later = Builtin(BuiltinMinus, "A");
    TSountoryNodeBuiltin* reader = Builtin(BuiltinSine, "B");
    // Written as B, A (Minus), A (Plus); read back, the Plus node stands in front.
    reader->FindInputByName("Angle")->SetSource(later->FindOutputByName("Expression"));
    // A wave feeding a number never matches; the file's connection is kept without a question.
    TSountoryInput* wave = In("W", ValueDomType::Wave);
    reader->FindInputByName("Factor")->SetSource(wave);
    Out("O1", ValueDomType::Factor)->SetSource(later->FindOutputByName("Expression"));
    Out("O2", ValueDomType::Factor)->SetSource(reader->FindOutputByName("Expression"));
    // Targets are found by name too: the second "D"'s source goes to the first.
    Out("D", ValueDomType::Factor);
    Out("D", ValueDomType::Factor)->SetSource(In("X", ValueDomType::Factor));
    std::string text = FileText(factory);
    // A source named but missing leaves its target without one.
    size_t at = text.rfind("<NameNode>B</NameNode>");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 22, "<NameNode>C</NameNode>");

    auto loaded = Load(text);
    EXPECT_EQ(NamesOf(loaded->Nodes()), (Texts{"A", "A", "B"}));
    TSountoryNode* plus = loaded->Nodes()[0].get();
    TSountoryNode* b = loaded->FindNode("B");
    EXPECT_EQ(b->FindInputByName("Angle")->GetSource(), plus->FindOutputByName("Expression"));
    EXPECT_EQ(b->FindInputByName("Factor")->GetSource(), loaded->FindInput("W"));
    EXPECT_EQ(loaded->FindOutput("O1")->GetSource(), plus->FindOutputByName("Expression"));
    EXPECT_EQ(loaded->FindOutput("O2")->GetSource(), nullptr);
    EXPECT_EQ(loaded->Outputs()[2]->GetSource(), loaded->FindInput("X"));
    EXPECT_EQ(loaded->Outputs()[3]->GetSource(), nullptr);
    EXPECT_TRUE(host.warnings.empty());
}

TEST_F(File, ABuiltinNodeHasExactlyThePinsOfItsFile)
{
    TSountoryNodeBuiltin* node = Builtin(BuiltinVolume, "V");
    node->DeleteInput(node->FindInputByName("Envelope"));
    NodeIn(node, "Extra", ValueDomType::Time, ValueDomain::PositiveNotZero);
    auto loaded = Load(FileText(factory));
    auto* read = dynamic_cast<TSountoryNodeBuiltin*>(loaded->FindNode("V"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetBuiltinAction(), BuiltinVolume);
    EXPECT_EQ(NamesOf(read->Inputs()),
              (Texts{"Wave", "Factor", "Position Begin", "Position End", "Extra"}));
    EXPECT_FALSE(read->Inputs()[4]->Fixed);
    EXPECT_EQ(read->Inputs()[4]->GetValueDomain(), ValueDomain::PositiveNotZero);
    read->FindInputByName("Wave")->SetConstantSound("w");
    read->FindInputByName("Factor")->SetConstantValue(TSntValue(1, ValueType::Factor), EHNone);
    EXPECT_FALSE(read->CheckInputs(message));
    EXPECT_EQ(message, "Input \"Envelope\" does not exists.");
}

TEST_F(File, AFailedSaveKeepsTheOldFile)
{
    TempDir dir("factory-save");
    std::string path = (dir / "f.kvf").string();
    Builtin(BuiltinPlus, "P");
    ASSERT_TRUE(factory.SaveAs(path));
    const std::string old = ReadAll(path);
    EXPECT_EQ(old, FileText(factory));

    struct Case
    {
        std::function<void()> spoil;
        std::string box;
    };
    const Case cases[] = {
        {[&] { factory.Nodes()[0]->Name = "a<b"; },
         "Cannot save Factory: Cannot write element \"Name\": its text \"a<b\" holds \"<\" or "
         "\">\"."},
        {[&] {
             factory.Nodes()[0]->SetRect({10, 10, 10, 50});
         },
         "Cannot save Factory: In Width: Value must be positive and more than 0."},
        {[&] { SafeFileWriter::FailAfterBytes(100); },
         "Cannot save Factory: Operating System cannot write file, maybe the disk is full"},
        {[&] { std::filesystem::permissions(path, std::filesystem::perms(0444)); },
         "Cannot save Factory: "
         "Operating System cannot open file for writing, maybe the file is readonly."},
    };
    for (const Case& c : cases) {
        RecordingMessages boxes;
        TSountoryNode* node = factory.Nodes()[0].get();
        node->Name = "P";
        node->SetRect({10, 20, 110, 100});
        c.spoil();
        factory.SetModified();
        EXPECT_FALSE(factory.SaveAs(path));
        SafeFileWriter::FailAfterBytes(-1);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].text.substr(0, c.box.size()), c.box);
        EXPECT_EQ(boxes.boxes[0].caption, "FileError");
        EXPECT_EQ(boxes.boxes[0].icon, MsgIcon::Information);
        EXPECT_EQ(ReadAll(path), old);
        EXPECT_EQ(dir.Count(), 1u);
        EXPECT_TRUE(factory.IsModified());
    }
}

TEST_F(File, DuplicateKeepsConnectionsConstantsSettingsAndView)
{
    BuildAllKinds(factory);
    TUnitSountory copy("Copy", "", host);
    ASSERT_TRUE(copy.DuplicateFrom(factory, message)) << message;
    // The copy is what a load of the file gives; a copy of the copy is the original again.
    EXPECT_EQ(FileText(copy), FileText(*Load(FileText(factory))));
    TUnitSountory again("Again", "", host);
    ASSERT_TRUE(again.DuplicateFrom(copy, message));
    EXPECT_EQ(FileText(again), FileText(factory));
    EXPECT_EQ(copy.View.Mode, ModeConnect);
    EXPECT_EQ(copy.View.VertScrollPos, -8);
    EXPECT_EQ(copy.FindOutput("Copy")->GetSource(), copy.FindInput("Wave"));
    EXPECT_EQ(copy.FindNode("Sub")->FindInputByName("Level")->GetSource(),
              copy.FindNode("N40")->FindOutputByName("Expression"));
}

TEST_F(File, RevertReadsTheFileAgainOrLeavesTheFactory)
{
    TempDir dir("factory-revert");
    std::string path = (dir / "r.kvf").string();
    WriteAll(path, CorpusFile("small.kvf"));
    TUnitSountory f("R", path, host);
    ASSERT_TRUE(f.LoadFromFile(path, message)) << message;
    f.ValidationStamp = 7; // as after a run
    f.RemoveNode(f.FindNode("Add"));
    f.View.HorScrollPos = 99;
    f.FactoryRect = {40, 30, 400, 300};
    f.SetModified();
    std::string failed;
    ASSERT_TRUE(f.Revert(message, failed)) << message;
    EXPECT_FALSE(f.IsModified());
    EXPECT_EQ(f.View.HorScrollPos, 0);
    EXPECT_EQ(FileText(*Load(FileText(f))), CorpusFile("small.kvf"));
    // The file holds the area's size; where it starts and what was validated are a new
    // factory's again.
    const TSountoryRectangle opened = Load(CorpusFile("small.kvf"))->FactoryRect;
    EXPECT_EQ(std::tuple(f.FactoryRect.left, f.FactoryRect.top, f.FactoryRect.right,
                         f.FactoryRect.bottom),
              std::tuple(opened.left, opened.top, opened.right, opened.bottom));
    EXPECT_EQ(f.ValidationStamp, 0u);

    WriteAll(path, CorpusFile("refused-double.kvf"));
    f.RemoveNode(f.FindNode("Add"));
    std::string before = FileText(f);
    EXPECT_FALSE(f.Revert(message, failed));
    EXPECT_EQ(message,
              "Double \"half\" is not a valid value: Input has no value. At line 122, column 19.");
    EXPECT_EQ(failed, path);
    EXPECT_EQ(FileText(f), before);
}

} // namespace
} // namespace kelvorn::test
