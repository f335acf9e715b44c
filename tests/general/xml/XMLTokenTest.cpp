#include "XMLTestSupport.h"

#include "general/xml/XMLToken.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>

using namespace kelvorn;
using namespace kelvorn::xmltest;

namespace {

std::vector<std::string> Tokens(const std::string& body, std::string* version = nullptr)
{
    std::string ignored;
    auto head = TXMLToken::FromMemory(header + body, version ? *version : ignored);
    if (head->GetTokenKind() == xmlTokenError)
        return {"ERR:" + head->GetError()};
    EXPECT_EQ(head->GetTokenKind(), xmlTokenFile);
    return Chain(*head);
}

std::string ErrorOf(const std::string& body)
{
    std::string version;
    auto head = TXMLToken::FromMemory(header + body, version);
    EXPECT_EQ(head->GetTokenKind(), xmlTokenError) << body;
    EXPECT_EQ(head->GetNext(), nullptr);
    return head->GetTokenKind() == xmlTokenError ? head->GetError() : "";
}

} // namespace

// ----- every state's refusals, with the counters as the reader leaves them ---------------------

struct ErrorCase
{
    const char* state;
    std::string body;
    std::string message;
};

class TokenizerError : public ::testing::TestWithParam<ErrorCase>
{
};

TEST_P(TokenizerError, GivesItsMessageWithLineAndColumn)
{
    EXPECT_EQ(ErrorOf(GetParam().body), GetParam().message) << GetParam().state;
}

// The column counts letters, digits, blanks, "/", "<" and ">" only, and drops back by one at
// the end of every token, errors included.
INSTANTIATE_TEST_SUITE_P(
    AllStates, TokenizerError,
    ::testing::Values(
        ErrorCase{"start >", ">", "unexpected '>' found in line 3, column 1."},
        ErrorCase{"text >", "ab>", "unexpected '>' found in line 3, column 3."},
        ErrorCase{"text end", "ab", "unexpected end-of-file  found in line 3, column 2."},
        ErrorCase{"tag other", "<-", "unexpected '-' found in line 3, column 1."},
        ErrorCase{"tag <", "<<", "unexpected '<' found in line 3, column 2."},
        ErrorCase{"tag >", "<>", "unexpected '>' found in line 3, column 2."},
        ErrorCase{"tag end", "<", "unexpected end-of-file  found in line 3, column 1."},
        ErrorCase{"name other", "<a-b>", "unexpected '-' found in line 3, column 2."},
        ErrorCase{"name <", "<a<", "unexpected '<' found in line 3, column 3."},
        ErrorCase{"name end", "<ab", "unexpected end-of-file  found in line 3, column 3."},
        ErrorCase{"after name letter", "<a b>", "unexpected 'b' found in line 3, column 4."},
        ErrorCase{"after name digit", "<a 1>", "unexpected '1' found in line 3, column 4."},
        ErrorCase{"after name other", "<a =>", "unexpected '=' found in line 3, column 3."},
        ErrorCase{"after name <", "<a <", "unexpected '<' found in line 3, column 4."},
        ErrorCase{"after name end", "<a ", "unexpected end-of-file  found in line 3, column 3."},
        ErrorCase{"empty letter", "<a/b>", "unexpected 'b' found in line 3, column 4."},
        ErrorCase{"empty digit", "<a/1>", "unexpected '1' found in line 3, column 4."},
        ErrorCase{"empty other", "<a/.>", "unexpected '.' found in line 3, column 3."},
        ErrorCase{"empty slash", "<a//>", "unexpected '/' found in line 3, column 4."},
        ErrorCase{"empty <", "<a/<", "unexpected '<' found in line 3, column 4."},
        ErrorCase{"empty end", "<a /", "unexpected end-of-file  found in line 3, column 4."},
        ErrorCase{"end tag other", "</.>", "unexpected '.' found in line 3, column 2."},
        ErrorCase{"end tag slash", "<//>", "unexpected '/' found in line 3, column 3."},
        ErrorCase{"end tag <", "</<", "unexpected '<' found in line 3, column 3."},
        ErrorCase{"end tag >", "</>", "unexpected '>' found in line 3, column 3."},
        ErrorCase{"end tag end", "</", "unexpected end-of-file  found in line 3, column 2."},
        ErrorCase{"end name other", "</a.>", "unexpected '.' found in line 3, column 3."},
        ErrorCase{"end name slash", "</a/>", "unexpected '/' found in line 3, column 4."},
        ErrorCase{"end name <", "</a<", "unexpected '<' found in line 3, column 4."},
        ErrorCase{"end name end", "</a", "unexpected end-of-file  found in line 3, column 3."},
        ErrorCase{"after end name letter", "</a b>", "unexpected 'b' found in line 3, column 5."},
        ErrorCase{"after end name digit", "</a 1>", "unexpected '1' found in line 3, column 5."},
        ErrorCase{"after end name other", "</a ->", "unexpected '-' found in line 3, column 4."},
        ErrorCase{"after end name slash", "</a />", "unexpected '/' found in line 3, column 5."},
        ErrorCase{"after end name <", "</a <", "unexpected '<' found in line 3, column 5."},
        ErrorCase{"after end name end", "</a ",
                  "unexpected end-of-file  found in line 3, column 4."},
        ErrorCase{"line feeds inside a tag", "<a\n\nb>",
                  "unexpected 'b' found in line 5, column 1."},
        ErrorCase{"high byte in a name", "<a\xe9>", "unexpected '\xe9' found in line 3, column 2."},
        ErrorCase{"NUL in a tag", std::string("<\0>", 3),
                  std::string("unexpected '\0' found in line 3, column 1.", 41)},
        ErrorCase{"lone CR in a tag", "<a\r>", "unexpected '\r' found in line 3, column 2."},
        ErrorCase{"> in a text after elements", "<A>\n  <B>x</B>\n  y > z\n</A>\n",
                  "unexpected '>' found in line 5, column 5."},
        ErrorCase{"error after the root element", "<A/>\n<",
                  "unexpected end-of-file  found in line 4, column 1."}),
    [](const auto& info) {
        std::string name;
        for (char c : std::string(info.param.state))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name + "_" + std::to_string(info.index);
    });

// ----- token chains -----------------------------------------------------------------------------

struct ChainCase
{
    const char* what;
    std::string body;
    std::vector<std::string> tokens;
};

class TokenizerChain : public ::testing::TestWithParam<ChainCase>
{
};

TEST_P(TokenizerChain, GivesTheTokens)
{
    EXPECT_EQ(Tokens(GetParam().body), GetParam().tokens) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TokenizerChain,
    ::testing::Values(
        ChainCase{"counters run one short per further token on a line",
                  "<A><B>x</B></A>",
                  {"B:A@3,3", "B:B@3,5", "T:x@3,6", "E:B@3,9", "E:A@3,12", "EOF@3,11"}},
        ChainCase{"inner blanks kept, outer trimmed",
                  "<A>  x   y </A>\n",
                  {"B:A@3,3", "T:x   y@3,11", "E:A@3,14", "EOF@4,0"}},
        ChainCase{"tab and line feed in a text become blanks",
                  "<A>x\ty\nz</A>",
                  {"B:A@3,3", "T:x y z@4,2", "E:A@4,5", "EOF@4,4"}},
        ChainCase{"white space between tags yields no token",
                  "<A>\n  <B />\n\t<C/>\n</A>\n",
                  {"B:A@3,3", "M:B@4,7", "M:C@5,5", "E:A@6,4", "EOF@7,0"}},
        ChainCase{"blanks after < and </ and before > are accepted",
                  "< A >x</ A >",
                  {"B:A@3,5", "T:x@3,6", "E:A@3,11", "EOF@3,10"}},
        ChainCase{"other bytes are not counted in the column",
                  "<A>a.b,c</A>",
                  {"B:A@3,3", "T:a.b,c@3,6", "E:A@3,9", "EOF@3,8"}},
        ChainCase{"control bytes are trimmed, high bytes are kept",
                  "<A>\x01 \xe9t\xe9 \x02</A>",
                  {"B:A@3,3", "T:\xe9t\xe9@3,6", "E:A@3,9", "EOF@3,8"}},
        ChainCase{"a lone carriage return is a text that trims to nothing",
                  "<A>\r</A>",
                  {"B:A@3,3", "T:@3,3", "E:A@3,6", "EOF@3,5"}},
        ChainCase{"NUL inside a text is kept",
                  std::string("<A>x\0y</A>", 10),
                  {"B:A@3,3", std::string("T:x\0y@3,5", 9), "E:A@3,8", "EOF@3,7"}},
        ChainCase{"digits start names and texts",
                  "<7>9</7>",
                  {"B:7@3,3", "T:9@3,4", "E:7@3,7", "EOF@3,6"}},
        ChainCase{"a slash starts a text", "/x<A/>", {"T:/x@3,3", "M:A@3,6", "EOF@3,5"}},
        ChainCase{"what follows the root element is tokenized too",
                  "<A/>\ntail",
                  {"ERR:unexpected end-of-file  found in line 4, column 4."}},
        ChainCase{"an empty body is a single end of file", "", {"EOF@3,0"}},
        ChainCase{"blanks only", "  \n \t ", {"EOF@4,3"}}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// ----- line ends
// ----------------------------------------------------------------------------------

TEST(Tokenizer, CrLfFilesReadLikeLfFiles)
{
    const std::string lf = "<A>\n  <B>x\ny</B>\n  <C />\n</A>\n";
    std::string crlf;
    for (char c : lf)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    std::string headerCrLf;
    for (char c : header)
        headerCrLf += c == '\n' ? std::string("\r\n") : std::string(1, c);

    std::string v1, v2;
    auto a = TXMLToken::FromMemory(header + lf, v1);
    auto b = TXMLToken::FromMemory(headerCrLf + crlf, v2);
    ASSERT_EQ(b->GetTokenKind(), xmlTokenFile);
    EXPECT_EQ(Chain(*a), Chain(*b));
    EXPECT_EQ(Chain(*b)[2], "T:x y@5,2");
}

TEST(Tokenizer, OnlyTheCarriageReturnBeforeALineFeedIsDropped)
{
    // CR CR LF reads as CR LF: the first carriage return stays an "other" byte.
    EXPECT_EQ(Tokens("<A>x\r\r\ny</A>"),
              (std::vector<std::string>{"B:A@3,3", "T:x  y@4,2", "E:A@4,5", "EOF@4,4"}));
    EXPECT_EQ(Tokens("<A/>\r\r\n<B/>"),
              (std::vector<std::string>{"M:A@3,4", "T:@4,1", "M:B@4,4", "EOF@4,3"}));
}

// ----- the two header lines --------------------------------------------------------------------

TEST(Tokenizer, HeaderLinesAreSkippedBlindlyUpTo98Bytes)
{
    std::string version;
    // 97 bytes and a line feed: the whole line goes.
    auto whole = TXMLToken::FromMemory(std::string(97, 'x') + "\n<B/>\n<A/>", version);
    EXPECT_EQ(Chain(*whole), (std::vector<std::string>{"M:A@3,4", "EOF@3,3"}));
    // 98 bytes before the line feed: the second skip takes the rest of line 1, and line 2 is
    // read as the body.
    auto longer = TXMLToken::FromMemory(std::string(98, 'x') + "\n<B/>\n<A/>", version);
    EXPECT_EQ(Chain(*longer), (std::vector<std::string>{"M:B@3,4", "M:A@4,4", "EOF@4,3"}));
    // The header lines are not looked at: anything goes there.
    auto junk = TXMLToken::FromMemory("<<>>\n>>\n<A/>", version);
    EXPECT_EQ(Chain(*junk), (std::vector<std::string>{"M:A@3,4", "EOF@3,3"}));
    // Short files.
    auto oneLine = TXMLToken::FromMemory("<A/>", version);
    EXPECT_EQ(Chain(*oneLine), (std::vector<std::string>{"EOF@3,0"}));
    auto none = TXMLToken::FromMemory("", version);
    EXPECT_EQ(Chain(*none), (std::vector<std::string>{"EOF@3,0"}));
}

// ----- the version ------------------------------------------------------------------------------

TEST(Tokenizer, VersionCaptureTakesTheLastVersionText)
{
    std::string version = "unset";
    Tokens("<P>\n  <Version>8.0</Version>\n  <Frame />\n</P>\n", &version);
    EXPECT_EQ(version, "8.0");

    version = "unset";
    Tokens("<P><Version>8.0</Version><W><Version> 9.0 </Version></W></P>", &version);
    EXPECT_EQ(version, "9.0");

    version = "unset";
    Tokens("<P><Version/><Versions>1</Versions><X>Version</X></P>", &version);
    EXPECT_EQ(version, "unset");

    version = "unset";
    Tokens("<P><version>7</version></P>", &version);
    EXPECT_EQ(version, "unset");
}

// ----- the file constructor --------------------------------------------------------------------

TEST(Tokenizer, FileConstructorReadsLikeTheMemoryEntry)
{
    TempDir dir("xmltoken");
    const std::string body = "<P>\r\n  <Version>9.0</Version>\r\n  <Frame />\r\n</P>\r\n";
    WriteAll(dir.path / "a.kvp", header + body);
    std::string version;
    TXMLToken head((dir.path / "a.kvp").string(), version);
    ASSERT_EQ(head.GetTokenKind(), xmlTokenFile);
    EXPECT_EQ(version, "9.0");
    EXPECT_EQ(Chain(head), Tokens(body));
    // The head stands where its first token stands.
    EXPECT_EQ(head.GetLine(), 3);
    EXPECT_EQ(head.GetColumn(), 3);
}

TEST(Tokenizer, UnreadableFilesGiveCannotOpen)
{
    TempDir dir("xmltoken");
    for (std::string name :
         {(dir.path / "missing.kvp").string(), dir.path.string(), std::string()}) {
        std::string version = "kept";
        TXMLToken head(name, version);
        EXPECT_EQ(head.GetTokenKind(), xmlTokenError) << name;
        EXPECT_EQ(head.GetError(), "cannot open file.");
        EXPECT_EQ(head.GetNext(), nullptr);
        EXPECT_EQ(version, "kept");
    }
}

TEST(Tokenizer, AFailedReadKeepsNoChainAndReportsTheError)
{
    std::string version;
    auto head = TXMLToken::FromMemory(header + "<A>\n<B>x</B>\n<C>y>z</C></A>", version);
    EXPECT_EQ(head->GetTokenKind(), xmlTokenError);
    EXPECT_EQ(head->GetError(), "unexpected '>' found in line 5, column 4.");
    EXPECT_EQ(head->GetNext(), nullptr);
    EXPECT_EQ(head->GetLine(), 5);
    EXPECT_EQ(head->GetColumn(), 4);
}

// ----- the token constructor and accessors --------------------------------------------------

TEST(Tokenizer, TokenConstructorAdvancesTheCallersCounters)
{
    TXMLSource source("<Left>\r\n 12 </Left>");
    int32_t line = 10;
    int32_t column = 5;
    TXMLToken begin(source, line, column);
    EXPECT_EQ(Describe(begin), "B:Left@10,10");
    EXPECT_EQ(line, 10);
    EXPECT_EQ(column, 10);
    TXMLToken text(source, line, column);
    EXPECT_EQ(Describe(text), "T:12@11,5");
    TXMLToken end(source, line, column);
    EXPECT_EQ(Describe(end), "E:Left@11,11");
    TXMLToken eof(source, line, column);
    EXPECT_EQ(Describe(eof), "EOF@11,10");
    EXPECT_TRUE(source.AtEnd());
    EXPECT_EQ(begin.GetNext(), nullptr);
}

TEST(Tokenizer, CountersSaturateInsteadOfOverflowing)
{
    TXMLSource source("abc\n\n<A>\n");
    int32_t line = INT32_MAX - 1;
    int32_t column = INT32_MAX - 1;
    TXMLToken text(source, line, column);
    EXPECT_EQ(text.GetTokenKind(), xmlTokenAttr);
    EXPECT_EQ(text.GetLine(), INT32_MAX);
    TXMLToken begin(source, line, column);
    EXPECT_EQ(line, INT32_MAX);
    EXPECT_EQ(column, 3);

    TXMLSource wide("abcdef<");
    line = 1;
    column = INT32_MAX - 2;
    TXMLToken longText(wide, line, column);
    EXPECT_EQ(column, INT32_MAX);
    EXPECT_EQ(longText.GetColumn(), INT32_MAX);
}

TEST(Tokenizer, AccessorsOnTheWrongKindAssert)
{
    RecordingSink sink;
    std::string version;
    auto head = TXMLToken::FromMemory(header + "<A>x</A>", version);
    const TXMLToken* begin = head->GetNext();
    const TXMLToken* text = begin->GetNext();
    EXPECT_EQ(text->GetText(), "x");
    EXPECT_EQ(begin->GetName(), "A");
    EXPECT_TRUE(sink.texts.empty());

    EXPECT_EQ(begin->GetText(), "A");
    EXPECT_EQ(text->GetError(), "");
    EXPECT_EQ(text->GetName(), "x");
    ASSERT_EQ(sink.texts.size(), 3u);
    EXPECT_NE(sink.texts[0].find("Condition \"TokenKind == xmlTokenAttr\"failed!"),
              std::string::npos);
    EXPECT_EQ(sink.texts[0].rfind("Assertion failed: In XMLToken.cpp line ", 0), 0u);
    EXPECT_NE(sink.texts[1].find("Condition \"TokenKind == xmlTokenError\"failed!"),
              std::string::npos);
}

TEST(Tokenizer, QuotesAtMostSixtyBytes)
{
    EXPECT_EQ(TXMLToken::Quote(std::string(60, 'a')), std::string(60, 'a'));
    EXPECT_EQ(TXMLToken::Quote(std::string(61, 'a')), std::string(60, 'a') + "...");
}

// ----- hostile files ----------------------------------------------------------------------------

TEST(Tokenizer, HugeTokensAndMillionsOfTokensStayLinear)
{
    std::string version;
    std::string name(1 << 20, 'n');
    auto big = TXMLToken::FromMemory(
        header + "<" + name + ">" + std::string(1 << 20, 't') + "</" + name + ">", version);
    ASSERT_EQ(big->GetTokenKind(), xmlTokenFile);
    EXPECT_EQ(big->GetNext()->GetName().size(), name.size());
    EXPECT_EQ(big->GetNext()->GetNext()->GetText().size(), size_t(1) << 20);

    std::string many = header + "<A>";
    for (int i = 0; i < 500000; ++i)
        many += "<B/>";
    many += "</A>";
    auto chain = TXMLToken::FromMemory(std::move(many), version);
    size_t count = 0;
    for (const TXMLToken* t = chain->GetNext(); t; t = t->GetNext())
        ++count;
    EXPECT_EQ(count, 500003u);
    chain.reset(); // releasing must not recurse over the chain
}
