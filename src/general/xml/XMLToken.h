#pragma once
// The tokenizer of the program's XML dialect. A file is read whole into memory and turned into a
// chain of tokens (begin tags, end tags, empty-element tags, texts) behind a head token, which
// also captures the text of the file's "Version" element on the way. The grammars of
// XMLGrammar.h then check the chain and build the element tree from it.
//
// The chain's tokens lie side by side in blocks owned by the head, so that the next token is
// found without a pointer, and refer to the head's copy of the file bytes for their names and
// texts: a token takes 24 bytes, memory stays linear in the file size and releasing a chain of
// millions of tokens needs no recursion.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kelvorn {

enum TXMLTokenKind : uint8_t {
    xmlTokenAttr = 0,  // text
    xmlTokenBegin = 1, // begin tag
    xmlTokenEnd = 2,   // end tag
    xmlTokenEmpty = 3, // empty-element tag
    xmlTokenEof = 4,   // end of file
    xmlTokenError = 5, // lexical error
    xmlTokenFile = 6,  // head of a whole file's chain
};

/// The bytes that the token constructor reads, one token at a time. Every carriage return that
/// stands before a line feed is dropped when the source is made, so CR LF files read exactly like
/// LF files; a lone carriage return stays an ordinary byte. Texts are rewritten in place (tab,
/// line feed and carriage return become blanks), so tokens refer to the source's own bytes and
/// the source must outlive them.
class TXMLSource
{
public:
    explicit TXMLSource(std::string_view bytes);
    TXMLSource(const TXMLSource&) = delete;
    TXMLSource& operator=(const TXMLSource&) = delete;

    /// Skips one line blindly: reads at most maxBytes bytes, up to and including its line feed.
    /// A longer line leaves its rest to the tokenizer.
    void SkipLine(size_t maxBytes);

    bool AtEnd() const { return pos == size; }
    /// The offset of the next byte to read.
    size_t Offset() const { return pos; }

    /// NUL bytes kept after the last byte, so that a scan may look at 16 bytes at once from
    /// anywhere up to 16 bytes past the end without a bounds check.
    static constexpr size_t padding = 32;

private:
    friend class TXMLToken;
    TXMLSource() = default;
    /// Drops the carriage returns before line feeds and writes the padding after the bytes.
    void Prepare();
    /// False when the file cannot be opened or read.
    bool ReadFile(const std::string& fileName);

    std::unique_ptr<char[]> bytes;
    size_t size = 0;
    size_t pos = 0;
};

class TXMLToken
{
public:
    /// Reads the whole file into a chain of tokens behind this head. The kind is xmlTokenFile on
    /// success; xmlTokenError on failure, with an empty chain and the message in GetError(). If
    /// the file holds a "Version" text element, version receives its text (the last one wins);
    /// otherwise version is left as the caller set it.
    TXMLToken(const std::string& fileName, std::string& version);

    /// As the file constructor, for a whole file held in memory (declaration and DOCTYPE lines
    /// included).
    static std::unique_ptr<TXMLToken> FromMemory(std::string_view bytes, std::string& version);

    /// Reads one token from source, advancing the caller's line and column counters. The token's
    /// name or text refers to the source's bytes.
    TXMLToken(TXMLSource& source, int32_t& line, int32_t& column);

    ~TXMLToken();
    TXMLToken(const TXMLToken&) = delete;
    TXMLToken& operator=(const TXMLToken&) = delete;

    TXMLTokenKind GetTokenKind() const { return kind; }
    /// The element name of a begin, end or empty-element tag.
    std::string_view GetName() const
    {
        return kind == xmlTokenBegin || kind == xmlTokenEnd || kind == xmlTokenEmpty
                   ? Value()
                   : NameOfOther();
    }
    /// The trimmed text of a text token.
    std::string_view GetText() const { return kind == xmlTokenAttr ? Value() : TextOfOther(); }
    /// The message of an error token, or of a head whose file could not be read.
    const std::string& GetError() const;
    /// The counters when the token ended. A head takes the position of its first token.
    int32_t GetLine() const { return line; }
    int32_t GetColumn() const { return column; }

    /// The following token of the chain, or nullptr after the last one.
    const TXMLToken* GetNext() const { return link == linkFollowing ? this + 1 : FarNext(); }

    /// The longest piece of a token that a message quotes.
    static constexpr size_t quoteLimit = 60;
    /// A token's name or text as a message quotes it: at most quoteLimit bytes, then "...".
    static std::string Quote(std::string_view text);

private:
    struct Extra;

    // How GetNext finds the following token.
    enum Link : uint8_t {
        linkNone = 0,      // the last token of a chain, or a token read alone
        linkFollowing = 1, // the next slot
        linkHandOver = 2,  // the next slot holds the first token of the following block
        linkHead = 3,      // a head: its chain's first token
    };

    TXMLToken() = default;
    TXMLToken(TXMLTokenKind tokenKind, const char* bytes, size_t bytesSize, int32_t atLine,
              int32_t atColumn)
        : text(bytes), sizeLow(static_cast<uint32_t>(bytesSize)), line(atLine), column(atColumn),
          sizeHigh(static_cast<uint16_t>(bytesSize >> 32)), kind(tokenKind), link(linkFollowing)
    {
    }
    void SetError(std::string message);
    void TokenizeFile(TXMLSource& source, std::string& version);
    template <bool clamp> void ReadChain(TXMLSource& source, std::string& version);
    const TXMLToken* FarNext() const;
    std::string_view Value() const
    {
        return {text, static_cast<size_t>(sizeLow) | static_cast<size_t>(sizeHigh) << 32};
    }
    // A name or text asked of a token of another kind: asserted, then whatever the token holds.
    std::string_view NameOfOther() const;
    std::string_view TextOfOther() const;

    union {
        const char* text = nullptr; // name of a tag, text of a text token
        Extra* extra;               // heads and error tokens
        const TXMLToken* handOver;  // the spare slot at the end of a block
    };
    // A token's size in two parts keeps the token at 24 bytes; 48 bits exceed any address space.
    uint32_t sizeLow = 0;
    int32_t line = 0;
    int32_t column = 0;
    uint16_t sizeHigh = 0;
    TXMLTokenKind kind = xmlTokenEof;
    Link link = linkNone;
};

} // namespace kelvorn
