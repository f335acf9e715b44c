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

// The grammars of the tests, built as a format builds its grammar.
class Grammars
{
public:
    Grammars()
    {
        auto* empty = g.Make<TDTDEmpty>();
        auto* left = g.Make<TDTDContentText>("Left");
        auto* a = g.Make<TDTDContentText>("A");
        auto* ab = g.Make<TDTDConcat>(a, g.Make<TDTDContentText>("B"));
        auto* ac = g.Make<TDTDConcat>(a, g.Make<TDTDContentText>("C"));
        auto doc = [&](TDTDItem* content) { return g.Make<TDTDCompound>("Doc", content); };
        auto none = [&](const char* name) { return g.Make<TDTDCompound>(name, empty); };

        named["frame"] =
            g.Make<TDTDCompound>("Frame", g.Make<TDTDConcat>(left, g.Make<TDTDContentText>("Top")));
        named["normal"] = none("Normal");
        named["doc"] = doc(g.Make<TDTDConcat>(g.Make<TDTDOptional>(g.Make<TDTDContentText>("File")),
                                              g.Make<TDTDContentText>("Name")));
        named["window"] = g.Make<TDTDCompound>(
            "Window",
            g.Make<TDTDChoice>(none("Factory"), g.Make<TDTDChoice>(none("Wave"), none("Music"))));
        named["project"] = g.Make<TDTDCompound>("Project", g.Make<TDTDRepeatMin0>(none("Window")));
        named["retry"] = doc(g.Make<TDTDConcat>(g.Make<TDTDRepeatMin0>(ab), ac));
        named["choice"] = doc(g.Make<TDTDChoice>(ab, ac));
        named["optional"] = doc(g.Make<TDTDConcat>(g.Make<TDTDOptional>(ab), ac));
        named["min1"] = doc(g.Make<TDTDRepeatMin1>(g.Make<TDTDContentText>("V")));
        named["shared"] =
            doc(g.Make<TDTDConcat>(g.Make<TDTDCompound>("P", g.Make<TDTDOptional>(left)),
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

// Accepted bodies give "ok" and their tree, refused ones "fatal" or "soft" and their message:
// "unexpected <got>, expect <expected>, at line 3, column <n>." or ". at" after a begin.
TEST(Grammar, FilesGiveTheirTreeOrTheirMessageAndWhetherItIsFatal)
{
    auto U = [](std::string got, std::string expected, int column, char separator = ',') {
        return "unexpected " + got + ", expect " + expected + separator + " at line 3, column " +
               std::to_string(column) + ".";
    };
    auto B = [](std::string name) { return "begin of element \"" + name + "\""; };
    auto E = [](std::string name) { return "end of element \"" + name + "\""; };
    auto M = [](std::string name) { return "empty element \"" + name + "\""; };
    const std::string F = "fatal ", S = "soft ",
                      first = "Try choices( first choice: ", second = ", Second choice: ";
    // clang-format off
    const std::tuple<const char*, std::string, std::string> rows[] = {
        {"frame", "<Frame>\n  <Left>1</Left>\n  <Top>2</Top>\n</Frame>\n",
         "ok Frame(Left=1,Top=2)"},
        {"frame", "<Frame><Left>1</Left><Top>2</Top></Frame><After/>", "ok Frame(Left=1,Top=2)"},
        {"normal", "<Normal />", "ok Normal"}, {"normal", "<Normal></Normal>", "ok Normal"},
        {"doc", "<Doc><Name>n</Name></Doc>", "ok Doc(Name=n)"},
        {"doc", "<Doc><File>f</File><Name>n</Name></Doc>", "ok Doc(File=f,Name=n)"},
        {"window", "<Window><Music/></Window>", "ok Window(Music)"},
        {"window", "<Window><Wave></Wave></Window>", "ok Window(Wave)"},
        {"window", "<Window><Factory/></Window>", "ok Window(Factory)"},
        {"project", "<Project>\n  <Window />\n  <Window></Window>\n</Project>\n",
         "ok Project(Window,Window)"},
        {"project", "<Project></Project>", "ok Project"}, {"project", "<Project/>", "ok Project"},
        // The last A is first taken as the start of another A, B pair; backing off must remove
        // it before A, C takes it again.
        {"retry", "<Doc><A>1</A><B>2</B><A>3</A><C>4</C></Doc>", "ok Doc(A=1,B=2,A=3,C=4)"},
        {"retry", "<Doc><A>3</A><C>4</C></Doc>", "ok Doc(A=3,C=4)"},
        {"choice", "<Doc><A>1</A><C>2</C></Doc>", "ok Doc(A=1,C=2)"},
        {"optional", "<Doc><A>1</A><C>2</C></Doc>", "ok Doc(A=1,C=2)"},
        {"optional", "<Doc><A>1</A><B>2</B><A>3</A><C>4</C></Doc>", "ok Doc(A=1,B=2,A=3,C=4)"},
        {"min1", "<Doc><V>1</V><V>2</V></Doc>", "ok Doc(V=1,V=2)"},
        {"shared", "<Doc><P/><Q><Left>x</Left></Q></Doc>", "ok Doc(P,Q(Left=x))"},
        // Frame's begin tag has matched, so Left's harmless mismatch becomes fatal.
        {"frame", "<Frame><Top>2</Top><Left>1</Left></Frame>", F + U(B("Top"), B("Left"), 11, '.')},
        {"frame", "<Frame />", F + "element \"Frame\" should not be empty, at line 3, column 9."},
        {"frame", "<Other/>", S + U(M("Other"), B("Frame"), 8)},
        {"frame", "\n\n  <Other>", S + "unexpected " + B("Other") + ", expect " + B("Frame") +
                                  ", at line 5, column 9."},
        {"frame", "</Frame>", S + U(E("Frame"), B("Frame"), 8)},
        {"frame", "junk<Frame/>", F + U("text \"junk\"", B("Frame"), 5)},
        {"frame", "", F + U("end-of-file", B("Frame"), 0)},
        {"frame", "<Frame><Left>1</Left><Top>2</Top>", F + U("end-of-file", E("Frame"), 28)},
        {"frame", "<Frame><Left>1</Top>", F + E("Top") + " does not match " + B("Left") +
                                              ", at line 3, column 18."},
        {"frame", "<Frame><Left>   </Left>", F + U(E("Left"), "text", 12)},
        {"frame", "<Frame><Left><X>", F + U(B("X"), "text", 12)},
        {"frame", "<Frame><Left><X/>", F + U(M("X"), "text", 12)},
        {"frame", "<Frame><Left>", F + U("end-of-file", "text", 12)},
        {"frame", "<Frame><Left>1</Left><Top>2</Top>x</Frame>",
         F + U("text \"x\"", E("Frame"), 30)},
        {"frame", "<Frame><Left>1</Left><Top>2</Top><Top>", F + U(B("Top"), E("Frame"), 33)},
        {"frame", "<Frame><Left>1</Left><Top>2</Top><Top/>", F + U(M("Top"), E("Frame"), 34)},
        {"frame", "<Frame>x<Left>", F + U("text \"x\"", B("Left"), 8, '.')},
        {"frame", "<Frame><Left/>", F + U(M("Left"), B("Left"), 13, '.')},
        {"frame", "<Frame>" + std::string(70, 'x') + "<Left>",
         F + U("text \"" + std::string(60, 'x') + "...\"", B("Left"), 77, '.')},
        {"normal", "<Normal><X/></Normal>", F + U(M("X"), E("Normal"), 11)},
        {"doc", "<Doc><File>f</File></Doc>", F + U(E("Doc"), B("Name"), 22, '.')},
        {"doc", "<Doc><File/><Name>n</Name></Doc>", F + U(M("File"), B("Name"), 11, '.')},
        {"window", "<Window><Other/></Window>",
         F + first + U(M("Other"), B("Factory"), 15) + second + first +
             U(M("Other"), B("Wave"), 15) + second + U(M("Other"), B("Music"), 15) + "))"},
        // A fatal first choice ends the message after "Second choice: ".
        {"window", "<Window><Factory><X/></Factory></Window>",
         F + first + U(M("X"), E("Factory"), 19) + second},
        {"window", "<Window><Music>x</Music></Window>",
         F + first + U(B("Music"), B("Factory"), 14) + second + first +
             U(B("Music"), B("Wave"), 14) + second + U("text \"x\"", E("Music"), 15) + "))"},
        {"project", "<Project><Window/><Frame/></Project>", F + U(M("Frame"), E("Project"), 24)},
        {"choice", "<Doc><A>1</A><D>2</D></Doc>",
         F + first + U(B("D"), B("B"), 13, '.') + second + U(B("D"), B("C"), 13, '.') + ")"},
        {"min1", "<Doc></Doc>", F + U(E("Doc"), B("V"), 10, '.')},
        {"min1", "<Doc/>", F + "element \"Doc\" should not be empty, at line 3, column 6."}};
    // clang-format on
    for (const auto& [grammar, body, expected] : rows) {
        Outcome out = ParseBody(TheGrammars()[grammar], body);
        // the tree without its "Root(" and ")"
        std::string tree = out.tree.size() > 5 ? out.tree.substr(5, out.tree.size() - 6) : "";
        EXPECT_EQ(out.ok ? "ok " + tree + out.error : (out.fatal ? F : S) + out.error, expected)
            << body;
    }
}

TEST(Grammar, OperatorsWithoutAnElementAroundBackOffOrFail)
{
    TDTDGrammar g;
    auto* v = g.Make<TDTDContentText>("V");
    auto* min0 = g.Make<TDTDRepeatMin0>(v);
    auto* optional = g.Make<TDTDOptional>(v);

    // A non-fatal failure of the first item stays non-fatal.
    Outcome out = ParseBody(*g.Make<TDTDRepeatMin1>(v), "<X/>");
    EXPECT_FALSE(out.ok || out.fatal);
    EXPECT_EQ(
        out.error,
        "unexpected empty element \"X\", expect begin of element \"V\". at line 3, column 4.");
    for (const TDTDItem* item :
         {static_cast<const TDTDItem*>(min0), static_cast<const TDTDItem*>(optional)}) {
        out = ParseBody(*item, "<X/>");
        EXPECT_TRUE(out.ok);
        EXPECT_EQ(out.tree + out.error, "Root");
    }
    // Stray text is fatal everywhere, also where an optional part could be left out.
    out = ParseBody(*optional, "x<V>1</V>");
    EXPECT_TRUE(!out.ok && out.fatal);
    // The third V was appended before its end tag failed; a fatal failure is not backed off.
    out = ParseBody(*min0, "<V>1</V><V>2</V><V>3</X>");
    EXPECT_TRUE(!out.ok && out.fatal);
    EXPECT_EQ(out.tree, "Root(V=1,V=2,V=3)");

    // The cursor stands after what matched.
    auto* twice = g.Make<TDTDConcat>(v, optional);
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
}

TEST(Grammar, CanBeEmptyFollowsTheOperators)
{
    TDTDGrammar g;
    auto* text = g.Make<TDTDContentText>("T");
    auto* empty = g.Make<TDTDEmpty>();
    auto* optional = g.Make<TDTDOptional>(text);
    // clang-format off
    const std::pair<const TDTDItem*, bool> rows[] = {
        {text, false}, {g.Make<TDTDCompound>("C", empty), false}, {empty, true}, {optional, true},
        {g.Make<TDTDRepeatMin0>(text), true}, {g.Make<TDTDRepeatMin1>(text), false},
        {g.Make<TDTDConcat>(optional, empty), true}, {g.Make<TDTDConcat>(optional, text), false},
        {g.Make<TDTDConcat>(text, optional), false}, {g.Make<TDTDChoice>(text, optional), true},
        {g.Make<TDTDChoice>(optional, text), true}, {g.Make<TDTDChoice>(text, text), false}};
    // clang-format on
    for (size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rows[i].first->CanBeEmpty(), rows[i].second) << "row " << i;
}

TEST(Grammar, ProgramErrorsAreAssertedButNeitherCrashNorHang)
{
    RecordingSink sink;
    TXMLSource source(">");
    int32_t line = 3;
    int32_t column = 1;
    TXMLToken errorToken(source, line, column);
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = &errorToken;
    Outcome out;
    EXPECT_FALSE(TDTDContentText("V").Parse(root, cursor, out.error, out.fatal));
    EXPECT_TRUE(out.fatal);
    EXPECT_EQ(out.error, "unexpected '>' found in line 3, column 1.");

    // A repetition of something that can match nothing would loop forever.
    TDTDGrammar g;
    auto* a = g.Make<TDTDContentText>("A");
    auto* doc = g.Make<TDTDCompound>("Doc", g.Make<TDTDRepeatMin0>(g.Make<TDTDOptional>(a)));
    out = ParseBody(*doc, "<Doc><A>1</A><A>2</A></Doc>");
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.tree, "Root(Doc(A=1,A=2))");
    // A missing operand stands for the empty expression.
    out = ParseBody(*g.Make<TDTDCompound>("Doc", g.Make<TDTDConcat>(nullptr, a)),
                    "<Doc><A>1</A></Doc>");
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.tree, "Root(Doc(A=1))");

    const char* conditions[] = {"xmlTokenKind != xmlTokenError", "!item->CanBeEmpty()",
                                "item != nullptr"};
    ASSERT_EQ(sink.texts.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(sink.texts[i].find(std::string("\"") + conditions[i] + "\"failed!"),
                  std::string::npos)
            << sink.texts[i];
}

TEST(Grammar, RepetitionOverOneHundredThousandItems)
{
    TDTDGrammar g;
    auto* pitch = g.Make<TDTDOptional>(g.Make<TDTDContentText>("Pitch"));
    auto* note =
        g.Make<TDTDCompound>("Note", g.Make<TDTDConcat>(g.Make<TDTDContentText>("T"), pitch));
    auto* music = g.Make<TDTDCompound>("Music", g.Make<TDTDRepeatMin0>(note));
    std::string body = "<Music>\n";
    for (int i = 0; i < 100000; ++i)
        body += "<Note><T>" + std::to_string(i) + "</T>" + (i % 2 ? "<Pitch>6</Pitch>" : "") +
                "</Note>\n";
    std::string version, error;
    auto head = TXMLToken::FromMemory(header + body + "</Music>\n", version);
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = head.get();
    bool fatal = false;
    ASSERT_TRUE(music->Parse(root, cursor, error, fatal)) << error;
    size_t notes = 0, pitches = 0;
    const TXMLItem* last = nullptr;
    for (const TXMLItem* n = root.GetFirstChild()->GetFirstChild(); n; n = n->GetNext(), ++notes)
        pitches += n->GetChild("Pitch") != nullptr, last = n;
    EXPECT_EQ(std::pair(notes, pitches), std::pair(size_t(100000), size_t(50000)));
    EXPECT_EQ(Render(*last), "Note(T=99999,Pitch=6)");
    EXPECT_EQ(std::pair(last->GetLine(), last->GetColumn()), std::pair(100003, 6)); // 3 + 100000
}

// Control bytes, a lone carriage return among them, trim to nothing like blanks do: such a text
// is refused with the message of a blank one, not taken as an empty text the writer drops.
TEST(Grammar, ATextOfControlBytesIsRefusedLikeABlankOne)
{
    const Outcome blank = ParseBody(TheGrammars()["frame"], "<Frame><Left> </Left><Top>2</Top>");
    ASSERT_FALSE(blank.ok);
    EXPECT_EQ(blank.error,
              "unexpected end of element \"Left\", expect text, at line 3, column 12.");
    for (const char* bytes : {"\x13", "\x01", "\x0c", "\x1b", "\r", "\x1f\x02", " \x01\t\x1f\n"}) {
        const Outcome out = ParseBody(TheGrammars()["frame"],
                                      std::string("<Frame><Left>") + bytes + "</Left><Top>2</Top>");
        EXPECT_FALSE(out.ok) << int(bytes[0]);
        EXPECT_TRUE(out.fatal) << int(bytes[0]);
        EXPECT_EQ(out.error, blank.error) << int(bytes[0]);
    }
}

// Which tokens an item can begin at: the elements first in its content, past the operands that
// can be empty; never an end tag; always a text or the end of the file, which make it fail
// fatally and so must be tried.
TEST(Grammar, MayBeginAtKnowsTheFirstElementsOfItsContent)
{
    TDTDGrammar g;
    auto* a = g.Make<TDTDContentText>("A");
    auto* b = g.Make<TDTDCompound>("B", g.Make<TDTDEmpty>());
    auto* c = g.Make<TDTDContentText>("C");
    auto* optionalA = g.Make<TDTDOptional>(a);
    const std::map<std::string, const TDTDItem*> items = {
        {"A", a},
        {"opt A, B", g.Make<TDTDConcat>(optionalA, b)},
        {"A, opt B", g.Make<TDTDConcat>(a, g.Make<TDTDOptional>(b))},
        {"A*, B*, C", g.Make<TDTDConcat>(g.Make<TDTDRepeatMin0>(a),
                                         g.Make<TDTDConcat>(g.Make<TDTDRepeatMin0>(b), c))},
        {"A | B+", g.Make<TDTDChoice>(a, g.Make<TDTDRepeatMin1>(b))},
        {"empty", g.Make<TDTDEmpty>()},
        {"C(A)", g.Make<TDTDCompound>("C", a)},
    };
    // Per item: whether it may begin at <A>, <B/>, <C>, </A>, text, the end of the file.
    const std::map<std::string, std::string> expected = {
        {"A", "100011"},         {"opt A, B", "110011"}, {"A, opt B", "100011"},
        {"A*, B*, C", "111011"}, {"A | B+", "110011"},   {"empty", "000011"},
        {"C(A)", "001011"},
    };
    std::string version;
    auto head = TXMLToken::FromMemory(header + "<A><B/><C></A>text<D/>", version);
    std::vector<const TXMLToken*> tokens;
    for (const TXMLToken* t = head->GetNext(); t; t = t->GetNext())
        if (t->GetTokenKind() != xmlTokenEmpty || t->GetName() != "D")
            tokens.push_back(t);
    ASSERT_EQ(tokens.size(), 6u); // <A>, <B/>, <C>, </A>, text, end of file
    for (const auto& [name, item] : items) {
        std::string got;
        for (const TXMLToken* t : tokens)
            got += item->MayBeginAt(t) ? '1' : '0';
        EXPECT_EQ(got, expected.at(name)) << name;
    }
}

// Names are compared by their bytes at every length: a name that differs from the grammar's in
// any one byte is another element, one that matches is the element.
TEST(Grammar, NamesOfEveryLengthDifferInAnyByte)
{
    for (size_t length : {1, 2, 3, 4, 5, 7, 8, 9, 12, 15, 16, 17, 24}) {
        std::string name;
        for (size_t i = 0; i < length; ++i)
            name += static_cast<char>('a' + i % 26);
        TDTDGrammar g;
        const TDTDItem& element = *g.Make<TDTDCompound>(name, g.Make<TDTDEmpty>());
        EXPECT_TRUE(ParseBody(element, "<" + name + "/>").ok) << name;
        EXPECT_TRUE(ParseBody(element, "<" + name + "></" + name + ">").ok) << name;
        for (size_t at = 0; at < length; ++at) {
            std::string twin = name;
            twin[at] = 'Z';
            const Outcome out = ParseBody(element, "<" + twin + "/>");
            EXPECT_FALSE(out.ok || out.fatal) << twin;
            // The end tag is compared too.
            EXPECT_TRUE(ParseBody(element, "<" + name + "></" + twin + ">").fatal) << twin;
        }
    }
}
