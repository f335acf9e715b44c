#include "XMLTestSupport.h"

#include "general/xml/XMLGrammar.h"

#include <gtest/gtest.h>

#include <map>

using namespace kelvorn;
using namespace kelvorn::xmltest;

namespace {

struct Outcome
{
    bool ok = false;
    bool fatal = false;
    std::string error;
    std::string tree;
};

Outcome ParseBody(const TDTDItem& grammar, const std::string& body)
{
    std::string version;
    auto head = TXMLToken::FromMemory(header + body, version);
    EXPECT_EQ(head->GetTokenKind(), xmlTokenFile) << body;
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = head.get();
    Outcome out;
    out.ok = grammar.Parse(root, cursor, out.error, out.fatal);
    out.tree = Render(root);
    return out;
}

// The grammars of the tests, built once as a format builds its grammar.
class Grammars
{
public:
    Grammars()
    {
        auto* empty = g.Make<TDTDEmpty>();
        auto* left = g.Make<TDTDContentText>("Left");
        auto* top = g.Make<TDTDContentText>("Top");
        auto* a = g.Make<TDTDContentText>("A");
        auto* b = g.Make<TDTDContentText>("B");
        auto* c = g.Make<TDTDContentText>("C");
        auto* ab = g.Make<TDTDConcat>(a, b);
        auto* ac = g.Make<TDTDConcat>(a, c);

        named["frame"] = g.Make<TDTDCompound>("Frame", g.Make<TDTDConcat>(left, top));
        named["normal"] = g.Make<TDTDCompound>("Normal", empty);
        named["doc"] = g.Make<TDTDCompound>(
            "Doc", g.Make<TDTDConcat>(g.Make<TDTDOptional>(g.Make<TDTDContentText>("File")),
                                      g.Make<TDTDContentText>("Name")));
        named["window"] = g.Make<TDTDCompound>(
            "Window", g.Make<TDTDChoice>(g.Make<TDTDCompound>("Factory", empty),
                                         g.Make<TDTDChoice>(g.Make<TDTDCompound>("Wave", empty),
                                                            g.Make<TDTDCompound>("Music", empty))));
        named["project"] = g.Make<TDTDCompound>(
            "Project", g.Make<TDTDRepeatMin0>(g.Make<TDTDCompound>("Window", empty)));
        named["retry"] =
            g.Make<TDTDCompound>("Doc", g.Make<TDTDConcat>(g.Make<TDTDRepeatMin0>(ab), ac));
        named["choice"] = g.Make<TDTDCompound>("Doc", g.Make<TDTDChoice>(ab, ac));
        named["optional"] =
            g.Make<TDTDCompound>("Doc", g.Make<TDTDConcat>(g.Make<TDTDOptional>(ab), ac));
        named["min1"] =
            g.Make<TDTDCompound>("Doc", g.Make<TDTDRepeatMin1>(g.Make<TDTDContentText>("V")));
        named["shared"] = g.Make<TDTDCompound>(
            "Doc", g.Make<TDTDConcat>(g.Make<TDTDCompound>("P", g.Make<TDTDOptional>(left)),
                                      g.Make<TDTDCompound>("Q", left)));
    }

    const TDTDItem& operator[](const std::string& name) const { return *named.at(name); }

private:
    TDTDGrammar g;
    std::map<std::string, const TDTDItem*> named;
};

const Grammars& TheGrammars()
{
    static const Grammars grammars;
    return grammars;
}

} // namespace

// ----- accepted files and the trees they give --------------------------------------------------

struct AcceptCase
{
    const char* grammar;
    std::string body;
    std::string tree;
};

class GrammarAccepts : public ::testing::TestWithParam<AcceptCase>
{
};

TEST_P(GrammarAccepts, BuildsTheTree)
{
    Outcome out = ParseBody(TheGrammars()[GetParam().grammar], GetParam().body);
    EXPECT_TRUE(out.ok) << out.error;
    EXPECT_EQ(out.error, "") << "a success leaves the message alone";
    EXPECT_EQ(out.tree, GetParam().tree);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GrammarAccepts,
    ::testing::Values(
        AcceptCase{"frame", "<Frame>\n  <Left>1</Left>\n  <Top>2</Top>\n</Frame>\n",
                   "Root(Frame(Left=1,Top=2))"},
        AcceptCase{"normal", "<Normal />", "Root(Normal)"},
        AcceptCase{"normal", "<Normal></Normal>", "Root(Normal)"},
        AcceptCase{"doc", "<Doc><Name>n</Name></Doc>", "Root(Doc(Name=n))"},
        AcceptCase{"doc", "<Doc><File>f</File><Name>n</Name></Doc>", "Root(Doc(File=f,Name=n))"},
        AcceptCase{"window", "<Window><Music/></Window>", "Root(Window(Music))"},
        AcceptCase{"window", "<Window><Wave></Wave></Window>", "Root(Window(Wave))"},
        AcceptCase{"window", "<Window><Factory/></Window>", "Root(Window(Factory))"},
        AcceptCase{"project", "<Project>\n  <Window />\n  <Window></Window>\n</Project>\n",
                   "Root(Project(Window,Window))"},
        AcceptCase{"project", "<Project></Project>", "Root(Project)"},
        AcceptCase{"project", "<Project/>", "Root(Project)"},
        // The last A is first taken as the start of another A, B pair; backing off must remove
        // it before A, C takes it again.
        AcceptCase{"retry", "<Doc><A>1</A><B>2</B><A>3</A><C>4</C></Doc>",
                   "Root(Doc(A=1,B=2,A=3,C=4))"},
        AcceptCase{"retry", "<Doc><A>3</A><C>4</C></Doc>", "Root(Doc(A=3,C=4))"},
        AcceptCase{"choice", "<Doc><A>1</A><C>2</C></Doc>", "Root(Doc(A=1,C=2))"},
        AcceptCase{"optional", "<Doc><A>1</A><C>2</C></Doc>", "Root(Doc(A=1,C=2))"},
        AcceptCase{"optional", "<Doc><A>1</A><B>2</B><A>3</A><C>4</C></Doc>",
                   "Root(Doc(A=1,B=2,A=3,C=4))"},
        AcceptCase{"min1", "<Doc><V>1</V><V>2</V></Doc>", "Root(Doc(V=1,V=2))"},
        AcceptCase{"shared", "<Doc><P/><Q><Left>x</Left></Q></Doc>", "Root(Doc(P,Q(Left=x)))"},
        AcceptCase{"frame", "<Frame><Left>1</Left><Top>2</Top></Frame><After/>",
                   "Root(Frame(Left=1,Top=2))"}),
    [](const auto& info) { return std::string(info.param.grammar) + std::to_string(info.index); });

// ----- refused files: exact messages and whether the failure is fatal ----------------------------

struct RefuseCase
{
    const char* grammar;
    std::string body;
    bool fatal;
    std::string error;
};

class GrammarRefuses : public ::testing::TestWithParam<RefuseCase>
{
};

TEST_P(GrammarRefuses, WithItsMessage)
{
    Outcome out = ParseBody(TheGrammars()[GetParam().grammar], GetParam().body);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.fatal, GetParam().fatal);
    EXPECT_EQ(out.error, GetParam().error);
}

const std::string x60(60, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cases, GrammarRefuses,
    ::testing::Values(
        // Frame's begin tag has matched, so Left's harmless mismatch becomes fatal.
        RefuseCase{"frame", "<Frame><Top>2</Top><Left>1</Left></Frame>", true,
                   "unexpected begin of element \"Top\", expect begin of element \"Left\". at "
                   "line 3, column 11."},
        RefuseCase{"frame", "<Frame />", true,
                   "element \"Frame\" should not be empty, at line 3, column 9."},
        RefuseCase{"frame", "<Other/>", false,
                   "unexpected empty element \"Other\", expect begin of element \"Frame\", at "
                   "line 3, column 8."},
        RefuseCase{"frame", "\n\n  <Other>", false,
                   "unexpected begin of element \"Other\", expect begin of element \"Frame\", at "
                   "line 5, column 9."},
        RefuseCase{"frame", "</Frame>", false,
                   "unexpected end of element \"Frame\", expect begin of element \"Frame\", at "
                   "line 3, column 8."},
        RefuseCase{"frame", "junk<Frame/>", true,
                   "unexpected text \"junk\", expect begin of element \"Frame\", at line 3, "
                   "column 5."},
        RefuseCase{"frame", "", true,
                   "unexpected end-of-file, expect begin of element \"Frame\", at line 3, "
                   "column 0."},
        RefuseCase{"frame", "<Frame><Left>1</Left><Top>2</Top>", true,
                   "unexpected end-of-file, expect end of element \"Frame\", at line 3, column "
                   "28."},
        RefuseCase{"frame", "<Frame><Left>1</Top>", true,
                   "end of element \"Top\" does not match begin of element \"Left\", at line 3, "
                   "column 18."},
        RefuseCase{"frame", "<Frame><Left>   </Left>", true,
                   "unexpected end of element \"Left\", expect text, at line 3, column 12."},
        RefuseCase{"frame", "<Frame><Left><X>", true,
                   "unexpected begin of element \"X\", expect text, at line 3, column 12."},
        RefuseCase{"frame", "<Frame><Left><X/>", true,
                   "unexpected empty element \"X\", expect text, at line 3, column 12."},
        RefuseCase{"frame", "<Frame><Left>", true,
                   "unexpected end-of-file, expect text, at line 3, column 12."},
        RefuseCase{"frame", "<Frame><Left>1</Left><Top>2</Top>x</Frame>", true,
                   "unexpected text \"x\", expect end of element \"Frame\", at line 3, column "
                   "30."},
        RefuseCase{"frame", "<Frame><Left>1</Left><Top>2</Top><Top>", true,
                   "unexpected begin of element \"Top\", expect end of element \"Frame\", at "
                   "line 3, column 33."},
        RefuseCase{"frame", "<Frame><Left>1</Left><Top>2</Top><Top/>", true,
                   "unexpected empty element \"Top\", expect end of element \"Frame\", at line "
                   "3, column 34."},
        RefuseCase{"frame", "<Frame>x<Left>", true,
                   "unexpected text \"x\", expect begin of element \"Left\". at line 3, column "
                   "8."},
        RefuseCase{"frame", "<Frame><Left/>", true,
                   "unexpected empty element \"Left\", expect begin of element \"Left\". at "
                   "line 3, column 13."},
        RefuseCase{"frame", "<Frame>" + std::string(70, 'x') + "<Left>", true,
                   "unexpected text \"" + x60 +
                       "...\", expect begin of element \"Left\". at line 3, column 77."},
        RefuseCase{"normal", "<Normal><X/></Normal>", true,
                   "unexpected empty element \"X\", expect end of element \"Normal\", at line "
                   "3, column 11."},
        RefuseCase{"doc", "<Doc><File>f</File></Doc>", true,
                   "unexpected end of element \"Doc\", expect begin of element \"Name\". at line "
                   "3, column 22."},
        RefuseCase{"doc", "<Doc><File/><Name>n</Name></Doc>", true,
                   "unexpected empty element \"File\", expect begin of element \"Name\". at line "
                   "3, column 11."},
        RefuseCase{"window", "<Window><Other/></Window>", true,
                   "Try choices( first choice: unexpected empty element \"Other\", expect begin "
                   "of element \"Factory\", at line 3, column 15., Second choice: Try choices( "
                   "first choice: unexpected empty element \"Other\", expect begin of element "
                   "\"Wave\", at line 3, column 15., Second choice: unexpected empty element "
                   "\"Other\", expect begin of element \"Music\", at line 3, column 15.))"},
        // A fatal first choice ends the message after "Second choice: ".
        RefuseCase{"window", "<Window><Factory><X/></Factory></Window>", true,
                   "Try choices( first choice: unexpected empty element \"X\", expect end of "
                   "element \"Factory\", at line 3, column 19., Second choice: "},
        RefuseCase{"window", "<Window><Music>x</Music></Window>", true,
                   "Try choices( first choice: unexpected begin of element \"Music\", expect "
                   "begin of element \"Factory\", at line 3, column 14., Second choice: Try "
                   "choices( first choice: unexpected begin of element \"Music\", expect begin "
                   "of element \"Wave\", at line 3, column 14., Second choice: unexpected text "
                   "\"x\", expect end of element \"Music\", at line 3, column 15.))"},
        RefuseCase{"project", "<Project><Window/><Frame/></Project>", true,
                   "unexpected empty element \"Frame\", expect end of element \"Project\", at "
                   "line 3, column 24."},
        RefuseCase{"choice", "<Doc><A>1</A><D>2</D></Doc>", true,
                   "Try choices( first choice: unexpected begin of element \"D\", expect begin "
                   "of element \"B\". at line 3, column 13., Second choice: unexpected begin of "
                   "element \"D\", expect begin of element \"C\". at line 3, column 13.)"},
        RefuseCase{"min1", "<Doc></Doc>", true,
                   "unexpected end of element \"Doc\", expect begin of element \"V\". at line 3, "
                   "column 10."},
        RefuseCase{"min1", "<Doc/>", true,
                   "element \"Doc\" should not be empty, at line 3, column 6."}),
    [](const auto& info) { return std::string(info.param.grammar) + std::to_string(info.index); });

// ----- the operators on their own
// -----------------------------------------------------------------

TEST(Grammar, OperatorsBackOffOrFailWithoutAnElementAround)
{
    TDTDGrammar g;
    auto* v = g.Make<TDTDContentText>("V");
    auto* min1 = g.Make<TDTDRepeatMin1>(v);
    auto* min0 = g.Make<TDTDRepeatMin0>(v);
    auto* optional = g.Make<TDTDOptional>(v);

    // A non-fatal failure of the first item stays non-fatal.
    Outcome out = ParseBody(*min1, "<X/>");
    EXPECT_FALSE(out.ok);
    EXPECT_FALSE(out.fatal);
    EXPECT_EQ(
        out.error,
        "unexpected empty element \"X\", expect begin of element \"V\". at line 3, column 4.");

    for (const TDTDItem* item : std::vector<const TDTDItem*>{min0, optional}) {
        out = ParseBody(*item, "<X/>");
        EXPECT_TRUE(out.ok);
        EXPECT_EQ(out.tree, "Root");
        EXPECT_EQ(out.error, "");
    }
    // Stray text is fatal everywhere, also where an optional part could be left out.
    out = ParseBody(*optional, "x<V>1</V>");
    EXPECT_FALSE(out.ok);
    EXPECT_TRUE(out.fatal);
    out = ParseBody(*min0, "<V>1</V><V>2</V><V>3</X>");
    EXPECT_FALSE(out.ok);
    EXPECT_TRUE(out.fatal);
    // The third V was appended before its end tag failed; a fatal failure is not backed off.
    EXPECT_EQ(out.tree, "Root(V=1,V=2,V=3)");
}

TEST(Grammar, ACursorStandsAfterWhatMatched)
{
    TDTDGrammar g;
    auto* v = g.Make<TDTDContentText>("V");
    auto* twice = g.Make<TDTDConcat>(v, g.Make<TDTDOptional>(v));
    std::string version;
    auto head = TXMLToken::FromMemory(header + "<V>1</V><V>2</V><V>3</V><End/>", version);
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = head.get();
    std::string error;
    bool fatal = false;
    ASSERT_TRUE(twice->Parse(root, cursor, error, fatal));
    EXPECT_EQ(Describe(*cursor), "B:V@3,15");
    ASSERT_TRUE(twice->Parse(root, cursor, error, fatal));
    EXPECT_EQ(Describe(*cursor), "M:End@3,24");
    EXPECT_EQ(Render(root), "Root(V=1,V=2,V=3)");

    // CheckEndTag on its own.
    auto frame = TXMLToken::FromMemory(header + "</Frame></Other>", version);
    TDTDCompound compound("Frame", g.Make<TDTDEmpty>());
    cursor = frame->GetNext();
    EXPECT_TRUE(compound.CheckEndTag(cursor, error, fatal));
    EXPECT_FALSE(compound.CheckEndTag(cursor, error, fatal));
    EXPECT_TRUE(fatal);
    EXPECT_EQ(error,
              "end of element \"Other\" does not match begin of element \"Frame\", at line 3, "
              "column 15.");
}

TEST(Grammar, ElementsKeepTheirBeginTagsPositions)
{
    std::string version;
    auto head = TXMLToken::FromMemory(
        header + "<Frame>\n  <Left>1</Left>\n  <Top>2</Top>\n</Frame>\n", version);
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = head.get();
    std::string error;
    bool fatal = false;
    ASSERT_TRUE(TheGrammars()["frame"].Parse(root, cursor, error, fatal));
    const TXMLItem* frame = root.GetFirstChild();
    EXPECT_EQ(frame->GetLine(), 3);
    EXPECT_EQ(frame->GetColumn(), 7);
    EXPECT_EQ(frame->GetChild("Left")->GetLine(), 4);
    EXPECT_EQ(frame->GetChild("Left")->GetColumn(), 8);
    EXPECT_EQ(frame->GetChild("Top")->GetLine(), 5);
    EXPECT_EQ(frame->GetChild("Top")->GetColumn(), 7);
}

TEST(Grammar, CanBeEmptyFollowsTheOperators)
{
    TDTDGrammar g;
    auto* text = g.Make<TDTDContentText>("T");
    auto* empty = g.Make<TDTDEmpty>();
    auto* optional = g.Make<TDTDOptional>(text);
    EXPECT_FALSE(text->CanBeEmpty());
    EXPECT_FALSE(g.Make<TDTDCompound>("C", empty)->CanBeEmpty());
    EXPECT_TRUE(empty->CanBeEmpty());
    EXPECT_TRUE(optional->CanBeEmpty());
    EXPECT_TRUE(g.Make<TDTDRepeatMin0>(text)->CanBeEmpty());
    EXPECT_FALSE(g.Make<TDTDRepeatMin1>(text)->CanBeEmpty());
    EXPECT_TRUE(g.Make<TDTDConcat>(optional, empty)->CanBeEmpty());
    EXPECT_FALSE(g.Make<TDTDConcat>(optional, text)->CanBeEmpty());
    EXPECT_FALSE(g.Make<TDTDConcat>(text, optional)->CanBeEmpty());
    EXPECT_TRUE(g.Make<TDTDChoice>(text, optional)->CanBeEmpty());
    EXPECT_TRUE(g.Make<TDTDChoice>(optional, text)->CanBeEmpty());
    EXPECT_FALSE(g.Make<TDTDChoice>(text, text)->CanBeEmpty());
}

// ----- program errors
// ------------------------------------------------------------------------------

TEST(Grammar, AnErrorTokenIsAssertedAndFatal)
{
    RecordingSink sink;
    TXMLSource source(">");
    int32_t line = 3;
    int32_t column = 1;
    TXMLToken error(source, line, column);
    TDTDContentText text("V");
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = &error;
    std::string message;
    bool fatal = false;
    EXPECT_FALSE(text.Parse(root, cursor, message, fatal));
    EXPECT_TRUE(fatal);
    EXPECT_EQ(message, "unexpected '>' found in line 3, column 1.");
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_NE(sink.texts[0].find("Condition \"xmlTokenKind != xmlTokenError\"failed!"),
              std::string::npos);
}

TEST(Grammar, BadBuildersAreAssertedButCannotHang)
{
    RecordingSink sink;
    TDTDGrammar g;
    auto* a = g.Make<TDTDContentText>("A");
    // A repetition of something that can match nothing would loop forever.
    auto* doc = g.Make<TDTDCompound>("Doc", g.Make<TDTDRepeatMin0>(g.Make<TDTDOptional>(a)));
    ASSERT_EQ(sink.texts.size(), 1u);
    EXPECT_NE(sink.texts[0].find("!item->CanBeEmpty()"), std::string::npos);
    Outcome out = ParseBody(*doc, "<Doc><A>1</A><A>2</A></Doc>");
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.tree, "Root(Doc(A=1,A=2))");

    // A missing operand stands for the empty expression.
    auto* missing = g.Make<TDTDCompound>("Doc", g.Make<TDTDConcat>(nullptr, a));
    EXPECT_EQ(sink.texts.size(), 2u);
    out = ParseBody(*missing, "<Doc><A>1</A></Doc>");
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.tree, "Root(Doc(A=1))");
}

// ----- size
// ----------------------------------------------------------------------------------------

TEST(Grammar, RepetitionOverOneHundredThousandItems)
{
    TDTDGrammar g;
    auto* note = g.Make<TDTDCompound>(
        "Note", g.Make<TDTDConcat>(g.Make<TDTDContentText>("Time"),
                                   g.Make<TDTDOptional>(g.Make<TDTDContentText>("Pitch"))));
    auto* music = g.Make<TDTDCompound>(
        "Music", g.Make<TDTDConcat>(g.Make<TDTDRepeatMin0>(note),
                                    g.Make<TDTDOptional>(g.Make<TDTDContentText>("End"))));
    const int count = 100000;
    std::string body = "<Music>\n";
    for (int i = 0; i < count; ++i) {
        body += "  <Note>\n    <Time>" + std::to_string(i) + "</Time>\n";
        if (i % 2)
            body += "    <Pitch>60</Pitch>\n";
        body += "  </Note>\n";
    }
    body += "</Music>\n";

    std::string version;
    auto head = TXMLToken::FromMemory(header + body, version);
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = head.get();
    std::string error;
    bool fatal = false;
    ASSERT_TRUE(music->Parse(root, cursor, error, fatal)) << error;
    int notes = 0;
    int pitches = 0;
    const TXMLItem* last = nullptr;
    for (const TXMLItem* n = root.GetFirstChild()->GetFirstChild(); n; n = n->GetNext()) {
        ++notes;
        pitches += n->GetChild("Pitch") != nullptr;
        last = n;
    }
    EXPECT_EQ(notes, count);
    EXPECT_EQ(pitches, count / 2);
    EXPECT_EQ(last->GetChild("Time")->GetText(), std::to_string(count - 1));
    EXPECT_EQ(last->GetLine(), 3 + 1 + (count / 2) * 3 + (count / 2) * 4 - 4);
}
