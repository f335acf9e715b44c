#include "XMLTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <sys/stat.h>
#include <thread>

using namespace kelvorn;
using namespace kelvorn::xmltest;
using Tokens = std::vector<std::string>;

namespace {

Tokens Read(const std::string& body, std::string* version = nullptr)
{
    std::string ignored;
    auto head = TXMLToken::FromMemory(header + body, version ? *version : ignored);
    if (head->GetTokenKind() == xmlTokenError) {
        EXPECT_EQ(head->GetNext(), nullptr) << "a failed read keeps no chain";
        return {Describe(*head)};
    }
    EXPECT_EQ(head->GetTokenKind(), xmlTokenFile);
    return Chain(*head);
}

} // namespace

// Every state's refusal. The column counts letters, digits, blanks, "/", "<" and ">" only, and
// drops back by one at the end of every token, errors included; the head stands at the error.
TEST(Tokenizer, RefusalsGiveTheByteLineAndColumn)
{
    struct Row
    {
        std::string body;
        std::string found; // "" for the end of the file
        int line, column;
    };
    // clang-format off
    const Row rows[] = {
        {">", ">", 3, 1}, {"ab>", ">", 3, 3}, {"ab", "", 3, 2}, {"<-", "-", 3, 1},
        {"<<", "<", 3, 2}, {"<>", ">", 3, 2}, {"<", "", 3, 1}, {"<a-b>", "-", 3, 2},
        {"<a<", "<", 3, 3}, {"<ab", "", 3, 3}, {"<a b>", "b", 3, 4}, {"<a 1>", "1", 3, 4},
        {"<a =>", "=", 3, 3}, {"<a <", "<", 3, 4}, {"<a ", "", 3, 3}, {"<a/b>", "b", 3, 4},
        {"<a/1>", "1", 3, 4}, {"<a/.>", ".", 3, 3}, {"<a//>", "/", 3, 4}, {"<a/<", "<", 3, 4},
        {"<a /", "", 3, 4}, {"</.>", ".", 3, 2}, {"<//>", "/", 3, 3}, {"</<", "<", 3, 3},
        {"</>", ">", 3, 3}, {"</", "", 3, 2}, {"</a.>", ".", 3, 3}, {"</a/>", "/", 3, 4},
        {"</a<", "<", 3, 4}, {"</a", "", 3, 3}, {"</a b>", "b", 3, 5}, {"</a 1>", "1", 3, 5},
        {"</a ->", "-", 3, 4}, {"</a />", "/", 3, 5}, {"</a <", "<", 3, 5}, {"</a ", "", 3, 4},
        {"<a\n\nb>", "b", 5, 1}, {"<a\xe9>", "\xe9", 3, 2}, {"<a\r>", "\r", 3, 2},
        {std::string("<\0>", 3), std::string(1, '\0'), 3, 1},
        {"<A>\n  <B>x</B>\n  y > z\n</A>\n", ">", 5, 5},
        {"<A>\n<B>x</B>\n<C>y>z</C></A>", ">", 5, 4}, {"<A/>\n<", "", 4, 1},
        {"<A/>\ntail", "", 4, 4},
        // what follows the root element is read too
    };
    // clang-format on
    for (const Row& r : rows) {
        std::string what = r.found.empty() ? "end-of-file " : "'" + r.found + "'";
        EXPECT_EQ(Read(r.body),
                  Tokens{"ERR:unexpected " + what + " found in line " + std::to_string(r.line) +
                         ", column " + std::to_string(r.column) + ".@" + std::to_string(r.line) +
                         "," + std::to_string(r.column)})
            << r.body;
    }
}

TEST(Tokenizer, ChainsOfTokens)
{
    // clang-format off
    const std::pair<std::string, Tokens> rows[] = {
        // the counters run one short per further token on a line
        {"<A><B>x</B></A>", {"B:A@3,3", "B:B@3,5", "T:x@3,6", "E:B@3,9", "E:A@3,12", "EOF@3,11"}},
        {"<A>  x   y </A>\n", {"B:A@3,3", "T:x   y@3,11", "E:A@3,14", "EOF@4,0"}},
        {"<A>x\ty\nz</A>", {"B:A@3,3", "T:x y z@4,2", "E:A@4,5", "EOF@4,4"}},
        {"<A>\n  <B />\n\t<C/>\n</A>\n", {"B:A@3,3", "M:B@4,7", "M:C@5,5", "E:A@6,4", "EOF@7,0"}},
        {"< A >x</ A >", {"B:A@3,5", "T:x@3,6", "E:A@3,11", "EOF@3,10"}},
        {"<A>a.b,c</A>", {"B:A@3,3", "T:a.b,c@3,6", "E:A@3,9", "EOF@3,8"}},
        // control bytes and blanks are trimmed from a text's ends, "!" and high bytes are not
        {"<A>\x01 \xe9t\xe9 \x02</A>", {"B:A@3,3", "T:\xe9t\xe9@3,6", "E:A@3,9", "EOF@3,8"}},
        {"<A> \x1f!x!\x20 </A>", {"B:A@3,3", "T:!x!@3,7", "E:A@3,10", "EOF@3,9"}},
        {"<A>!</A>", {"B:A@3,3", "T:!@3,3", "E:A@3,6", "EOF@3,5"}},
        // a text of control bytes alone is a blank, as spaces are: no token
        {"<A>\r</A>", {"B:A@3,3", "E:A@3,6", "EOF@3,5"}},
        {"<A>\x13</A><B> \x01\x0c\x1b\x1f </B>",
         {"B:A@3,3", "E:A@3,6", "B:B@3,8", "E:B@3,13", "EOF@3,12"}},
        {std::string("<A>x\0y</A>", 10),
         {"B:A@3,3", std::string("T:x\0y@3,5", 9), "E:A@3,8", "EOF@3,7"}},
        {"<7>9</7>", {"B:7@3,3", "T:9@3,4", "E:7@3,7", "EOF@3,6"}},
        {"/x<A/>", {"T:/x@3,3", "M:A@3,6", "EOF@3,5"}}, {"", {"EOF@3,0"}},
        {"  \n \t ", {"EOF@4,3"}},
        // only the carriage return before a line feed is dropped
        {"<A>x\r\r\ny</A>", {"B:A@3,3", "T:x  y@4,2", "E:A@4,5", "EOF@4,4"}},
        {"<A/>\r\r\n<B/>", {"M:A@3,4", "M:B@4,4", "EOF@4,3"}},
        {WithCrLf("<A>\n  <B>x\ny</B>\n  <C />\n</A>\n"),
         {"B:A@3,3", "B:B@4,5", "T:x y@5,2", "E:B@5,5", "M:C@6,7", "E:A@7,4", "EOF@8,0"}}};
    // clang-format on
    for (const auto& [body, tokens] : rows)
        EXPECT_EQ(Read(body), tokens) << body;
}

// Blanks, names and texts are scanned sixteen bytes at a time and "<Name>" and "</Name>" take a
// shorter way: runs on either side of sixteen bytes, line feeds at either end of a run, and the
// tags that leave the shorter way, read as everywhere else.
TEST(Tokenizer, LongRunsOfBlanksNamesAndTexts)
{
    const auto blanks = [](int n) { return std::string(static_cast<size_t>(n), ' '); };
    std::vector<std::pair<std::string, Tokens>> rows;
    for (int n : {0, 1, 14, 15, 16, 17, 31, 32, 33, 47}) {
        const std::string at = "@4," + std::to_string(n + 4);
        // a run of blanks after a line feed, then an empty-element tag
        rows.push_back({"<A>\n" + blanks(n) + "<B/></A>",
                        {"B:A@3,3", "M:B" + at, "E:A@4," + std::to_string(n + 7),
                         "EOF@4," + std::to_string(n + 6)}});
        // a line feed at the end of the run and a tab inside it
        rows.push_back(
            {"<A>" + blanks(n) + "\t\n<B/></A>", {"B:A@3,3", "M:B@4,4", "E:A@4,7", "EOF@4,6"}});
        const std::string name(static_cast<size_t>(n + 1), 'n');
        const std::string col = std::to_string(n + 3);
        rows.push_back({"<" + name + ">x</" + name + ">",
                        {"B:" + name + "@3," + col, "T:x@3," + std::to_string(n + 4),
                         "E:" + name + "@3," + std::to_string(2 * n + 7),
                         "EOF@3," + std::to_string(2 * n + 6)}});
        // the same names with a blank before ">" and as empty-element tags
        rows.push_back({"<" + name + " ></" + name + "\t>",
                        {"B:" + name + "@3," + std::to_string(n + 4),
                         "E:" + name + "@3," + std::to_string(2 * n + 8),
                         "EOF@3," + std::to_string(2 * n + 7)}});
        rows.push_back(
            {"<" + name + "/>",
             {"M:" + name + "@3," + std::to_string(n + 4), "EOF@3," + std::to_string(n + 3)}});
        // texts of letters and of uncounted bytes, with a line feed or a tab at the end
        const std::string word(static_cast<size_t>(n + 1), 'w');
        rows.push_back(
            {"<A>" + word + "\n</A>", {"B:A@3,3", "T:" + word + "@4,1", "E:A@4,4", "EOF@4,3"}});
        const std::string dots(static_cast<size_t>(n + 1), '.');
        rows.push_back(
            {"<A>" + dots + "\t</A>", {"B:A@3,3", "T:" + dots + "@3,4", "E:A@3,7", "EOF@3,6"}});
    }
    // an end tag that repeats only the start of the element's name, or more than it
    rows.push_back({"<AB>x</A>", {"B:AB@3,4", "T:x@3,5", "E:A@3,8", "EOF@3,7"}});
    rows.push_back({"<A>x</AB>", {"B:A@3,3", "T:x@3,4", "E:AB@3,8", "EOF@3,7"}});
    rows.push_back({"<A>x</A1/>", {"ERR:unexpected '/' found in line 3, column 8.@3,8"}});
    // tags and texts that end the file, where only the padding follows
    rows.push_back({"<A>x</", {"ERR:unexpected end-of-file  found in line 3, column 5.@3,5"}});
    rows.push_back(
        {"<" + std::string(16, 'n') + ">", {"B:" + std::string(16, 'n') + "@3,18", "EOF@3,17"}});
    rows.push_back({"</A>", {"E:A@3,4", "EOF@3,3"}});
    rows.push_back({"<A>" + std::string(40, 'x'),
                    {"ERR:unexpected end-of-file  found in line 3, "
                     "column 42.@3,42"}});
    rows.push_back({"<A>" + blanks(40), {"B:A@3,3", "EOF@3,42"}});
    rows.push_back({"<A" + blanks(40),
                    {"ERR:unexpected end-of-file  found in line 3, column "
                     "42.@3,42"}});
    for (const auto& [body, tokens] : rows)
        EXPECT_EQ(Read(body), tokens) << body;
}

// A chain's tokens lie in blocks that grow from 256 tokens: the chain reads on across each
// block's end as if it were one list.
TEST(Tokenizer, ChainsReadOnAcrossTheirBlocks)
{
    for (int count : {254, 255, 256, 257, 768, 769, 1792, 5000}) {
        std::string body = "<A>";
        for (int i = 0; i < count; ++i)
            body += "<B" + std::to_string(i) + "/>";
        Tokens expected = {"B:A@3,3"};
        int column = 3;
        for (int i = 0; i < count; ++i) {
            const std::string name = "B" + std::to_string(i);
            // "<", "/" and ">" count besides the name, and every token takes one back
            column += static_cast<int>(name.size()) + 2;
            expected.push_back("M:" + name + "@3," + std::to_string(column));
        }
        expected.push_back("EOF@3," + std::to_string(column - 1));
        EXPECT_EQ(Read(body), expected) << count;
    }
}

TEST(Tokenizer, HeaderLinesAreSkippedBlindlyUpTo98Bytes)
{
    // clang-format off
    const std::pair<std::string, Tokens> rows[] = {
        {std::string(97, 'x') + "\n<B/>\n<A/>", {"M:A@3,4", "EOF@3,3"}},
        // 98 bytes before the line feed: the second skip takes the rest of line 1
        {std::string(98, 'x') + "\n<B/>\n<A/>", {"M:B@3,4", "M:A@4,4", "EOF@4,3"}},
        {"<<>>\n>>\n<A/>", {"M:A@3,4", "EOF@3,3"}},
        {WithCrLf(header) + "<A/>", {"M:A@3,4", "EOF@3,3"}}, {"<A/>", {"EOF@3,0"}},
        {"", {"EOF@3,0"}}};
    // clang-format on
    for (const auto& [file, tokens] : rows) {
        std::string version;
        EXPECT_EQ(Chain(*TXMLToken::FromMemory(file, version)), tokens) << file;
    }
}

TEST(Tokenizer, TheVersionIsTheLastTextOfAVersionElement)
{
    // clang-format off
    const std::pair<std::string, std::string> rows[] = {
        {"<P>\n  <Version>8.0</Version>\n  <Frame />\n</P>\n", "8.0"},
        {"<P><Version>8.0</Version><W><Version> 9.0 </Version></W></P>", "9.0"},
        {"<P><Version/><Versions>1</Versions><X>Version</X></P>", "unset"},
        {"<P><version>7</version></P>", "unset"}};
    // clang-format on
    for (const auto& [body, expected] : rows) {
        std::string version = "unset";
        Read(body, &version);
        EXPECT_EQ(version, expected) << body;
    }
}

TEST(Tokenizer, FilesReadLikeMemory)
{
    TempDir dir("xmltoken");
    const std::string body = "<P>\r\n  <Version>9.0</Version>\r\n  <Frame />\r\n</P>\r\n";
    WriteAll(dir / "a.kvp", header + body);
    std::string version;
    TXMLToken head((dir / "a.kvp").string(), version);
    EXPECT_EQ(Describe(head), "FILE@3,3"); // the head stands where its first token stands
    EXPECT_EQ(version, "9.0");
    EXPECT_EQ(Chain(head), Read(body));

    for (std::string name : {(dir / "missing.kvp").string(), dir.path.string(), std::string()}) {
        version = "kept";
        TXMLToken failed(name, version);
        EXPECT_EQ(Describe(failed), "ERR:cannot open file.@0,0") << name;
        EXPECT_EQ(failed.GetNext(), nullptr);
        EXPECT_EQ(version, "kept");
    }
}

// A file without a size, or longer than its size said, is read on until its end: a pipe of
// more bytes than the first read takes reads like the same bytes from memory.
TEST(Tokenizer, FilesWithoutASizeReadToTheirEnd)
{
    TempDir dir("xmltoken");
    const std::string pipe = (dir / "pipe.kvp").string();
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::string body = "<P>\n";
    for (int i = 0; i < 20000; ++i)
        body += "  <Version>" + std::to_string(i) + "</Version>\n";
    body += "</P>\n";
    ASSERT_GT(body.size(), 65536u * 4);
    std::thread writer([&pipe, &body] { WriteAll(pipe, header + body); });
    std::string version;
    TXMLToken head(pipe, version);
    writer.join();
    EXPECT_EQ(version, "19999");
    ASSERT_EQ(head.GetTokenKind(), xmlTokenFile);
    EXPECT_EQ(Chain(head), Read(body));
}

TEST(Tokenizer, TheTokenConstructorAdvancesTheCallersCountersAndSaturates)
{
    TXMLSource source("<Left>\r\n 12 </Left>");
    int32_t line = 10;
    int32_t column = 5;
    Tokens tokens;
    for (int i = 0; i < 4; ++i) {
        TXMLToken token(source, line, column);
        tokens.push_back(Describe(token) + " " + std::to_string(line) + "," +
                         std::to_string(column));
        EXPECT_EQ(token.GetNext(), nullptr);
    }
    EXPECT_EQ(tokens, (Tokens{"B:Left@10,10 10,10", "T:12@11,5 11,5", "E:Left@11,11 11,11",
                              "EOF@11,10 11,10"}));
    EXPECT_TRUE(source.AtEnd());

    TXMLSource tall("abc\n\n<A>\n");
    line = INT32_MAX - 1;
    column = INT32_MAX - 1;
    EXPECT_EQ(Describe(TXMLToken(tall, line, column)), "T:abc@2147483647,1");
    TXMLToken begin(tall, line, column);
    EXPECT_EQ(line, INT32_MAX);
    EXPECT_EQ(column, 3);

    TXMLSource wide("abcdef<");
    line = 1;
    column = INT32_MAX - 2;
    EXPECT_EQ(Describe(TXMLToken(wide, line, column)), "T:abcdef@1,2147483647");
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
    const char* conditions[] = {"TokenKind == xmlTokenAttr", "TokenKind == xmlTokenError",
                                ("TokenKind == xmlTokenBegin || TokenKind == xmlTokenEnd || "
                                 "TokenKind == xmlTokenEmpty")};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(sink.texts[i].rfind("Assertion failed: In XMLToken.cpp line ", 0), 0u);
        EXPECT_NE(sink.texts[i].find(std::string("Condition \"") + conditions[i] + "\"failed!"),
                  std::string::npos)
            << sink.texts[i];
    }
    EXPECT_EQ(TXMLToken::Quote(std::string(60, 'a')), std::string(60, 'a'));
    EXPECT_EQ(TXMLToken::Quote(std::string(61, 'a')), std::string(60, 'a') + "...");
}

// A token keeps either its name or text or, for a head and an error, its message in one place:
// a wrong-kind accessor asserts and never takes the one for the other.
TEST(Tokenizer, WrongKindAccessorsNeverMistakeANameForAMessage)
{
    RecordingSink sink;
    std::string version;
    const std::string name(40, 'N');
    auto head = TXMLToken::FromMemory(
        header + "<" + name + ">" + std::string(40, 't') + "</" + name + ">", version);
    const TXMLToken* begin = head->GetNext();
    const TXMLToken* text = begin->GetNext();
    const TXMLToken* eof = text->GetNext()->GetNext();
    ASSERT_EQ(eof->GetTokenKind(), xmlTokenEof);
    EXPECT_EQ(begin->GetError(), "");
    EXPECT_EQ(text->GetError(), "");
    EXPECT_EQ(eof->GetError(), "");
    EXPECT_EQ(head->GetError(), "Unknown Error"); // a read that succeeded keeps its first text
    EXPECT_EQ(head->GetName(), "");
    EXPECT_EQ(head->GetText(), "");
    EXPECT_EQ(eof->GetName(), "");

    TXMLSource source(">");
    int32_t line = 3;
    int32_t column = 1;
    TXMLToken error(source, line, column);
    EXPECT_EQ(error.GetName(), "");
    EXPECT_EQ(error.GetText(), "");
    EXPECT_EQ(error.GetError(), "unexpected '>' found in line 3, column 1.");
    EXPECT_EQ(sink.texts.size(), 9u);
}

TEST(Tokenizer, HugeTokensAndMillionsOfTokens)
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
    auto chain = TXMLToken::FromMemory(std::move(many) + "</A>", version);
    size_t count = 0;
    for (const TXMLToken* t = chain->GetNext(); t; t = t->GetNext())
        ++count;
    EXPECT_EQ(count, 500003u);
    chain.reset(); // releasing must not recurse over the chain
}
