#include "general/xml/XMLToken.h"

#include "general/Assert.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kelvorn {

namespace {

// The two header lines are skipped without being read, each up to this many bytes.
constexpr size_t headerLineLimit = 98;

enum CharClass : uint8_t {
    clsBlank,
    clsLetter,
    clsDigit,
    clsOther,
    clsSlash,
    clsOpen,
    clsClose,
    clsEnd,
};

// What the text loop does with a byte: count a column and go on, go on without counting (the
// "other" class), or look closer (line ends, tabs, carriage returns, tag brackets, NUL, which
// may be the end of the buffer).
enum TextAction : uint8_t { textCounted, textUncounted, textSpecial };

struct CharTables
{
    std::array<CharClass, 256> cls{};
    std::array<TextAction, 256> text{};
};

constexpr CharTables MakeTables()
{
    CharTables t{};
    for (int c = 0; c < 256; ++c) {
        CharClass k = clsOther;
        if (c == ' ' || c == '\t' || c == '\n')
            k = clsBlank;
        else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
            k = clsLetter;
        else if (c >= '0' && c <= '9')
            k = clsDigit;
        else if (c == '/')
            k = clsSlash;
        else if (c == '<')
            k = clsOpen;
        else if (c == '>')
            k = clsClose;
        t.cls[c] = k;
        TextAction a = k == clsOther ? textUncounted : textCounted;
        if (c == '\n' || c == '\t' || c == '\r' || c == '<' || c == '>' || c == 0)
            a = textSpecial;
        t.text[c] = a;
    }
    return t;
}

constexpr CharTables tables = MakeTables();

int32_t Clamp32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

bool ReadWholeFile(const std::string& fileName, std::string& bytes)
{
    int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info
    {
    };
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        bytes.reserve(static_cast<size_t>(info.st_size));
    bool ok = true;
    std::vector<char> chunk;
    for (;;) {
        // Read straight into the string's spare room when the size is known.
        size_t room = bytes.capacity() - bytes.size();
        if (room < 4096) {
            chunk.resize(65536);
            ssize_t got = ::read(fd, chunk.data(), chunk.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                ok = got == 0;
                break;
            }
            bytes.append(chunk.data(), static_cast<size_t>(got));
        } else {
            size_t old = bytes.size();
            bytes.resize(old + room);
            ssize_t got = ::read(fd, bytes.data() + old, room);
            bytes.resize(old + (got > 0 ? static_cast<size_t>(got) : 0));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                ok = got == 0;
                break;
            }
        }
    }
    ::close(fd);
    return ok;
}

const std::string noText;

// Without a population-count instruction in the baseline instruction set, the library call
// would cost more than the scan around it.
inline int Count16(unsigned mask)
{
    mask = mask - ((mask >> 1) & 0x5555u);
    mask = (mask & 0x3333u) + ((mask >> 2) & 0x3333u);
    mask = (mask + (mask >> 4)) & 0x0F0Fu;
    return static_cast<int>((mask + (mask >> 8)) & 0x1Fu);
}

// The reading position and the counters of one token's scan, kept in registers while it runs.
struct Scan
{
    unsigned char* p;
    unsigned char* end;
    int64_t ln;
    int64_t col;
    unsigned char current = 0;

    // Reads one byte, classifies it and moves the counters as its class says.
    CharClass Next()
    {
        if (p == end)
            return clsEnd;
        current = *p++;
        CharClass k = tables.cls[current];
        if (k != clsOther) {
            if (current == '\n') {
                ++ln;
                col = 1;
            } else {
                ++col;
            }
        }
        return k;
    }

    // The rest of a name after its first byte; name bytes count one column each.
    void SkipName()
    {
        unsigned char* q = p;
        while (tables.cls[*q] == clsLetter || tables.cls[*q] == clsDigit)
            ++q;
        col += q - p;
        p = q;
    }
};

// Runs over the rest of a text, rewriting tab, line feed and carriage return as blanks, up to the
// byte that ends it: "<" (left unread for the next token, but counted: the token's end takes the
// count back), ">" (read; an error) or the end of the bytes (an error). Returns that byte's class.
// The bytes are NUL-terminated, so the scan needs no bounds check until it meets a NUL.
CharClass ScanText(Scan& s)
{
    unsigned char* p = s.p;
    int64_t ln = s.ln;
    int64_t col = s.col;
    CharClass stop;
    for (;;) {
#if defined(__SSE2__)
        // Sixteen bytes at a time while none of them needs a closer look.
        while (s.end - p >= 16) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            __m128i special =
                _mm_or_si128(_mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\n')),
                                                       _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'))),
                                          _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\r')),
                                                       _mm_cmpeq_epi8(v, _mm_setzero_si128()))),
                             _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('<')),
                                          _mm_cmpeq_epi8(v, _mm_set1_epi8('>'))));
            // Letters, digits, blanks and slashes count a column; "other" bytes do not.
            __m128i lower = _mm_or_si128(v, _mm_set1_epi8(0x20));
            __m128i letter = _mm_cmplt_epi8(_mm_add_epi8(lower, _mm_set1_epi8(char(128 - 'a'))),
                                            _mm_set1_epi8(char(-128 + 26)));
            __m128i digit = _mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(char(128 - '0'))),
                                           _mm_set1_epi8(char(-128 + 10)));
            __m128i counted = _mm_or_si128(_mm_or_si128(letter, digit),
                                           _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8(' ')),
                                                        _mm_cmpeq_epi8(v, _mm_set1_epi8('/'))));
            unsigned specialMask = static_cast<unsigned>(_mm_movemask_epi8(special));
            unsigned countedMask = static_cast<unsigned>(_mm_movemask_epi8(counted));
            if (specialMask == 0) {
                col += Count16(countedMask);
                p += 16;
                continue;
            }
            unsigned first = static_cast<unsigned>(__builtin_ctz(specialMask));
            col += Count16(countedMask & ((1u << first) - 1));
            p += first;
            break;
        }
#endif
        TextAction a = tables.text[*p];
        if (a == textCounted) {
            ++col;
            ++p;
            continue;
        }
        if (a == textUncounted) {
            ++p;
            continue;
        }
        unsigned char c = *p;
        if (c == '\n') {
            *p++ = ' ';
            ++ln;
            col = 1;
        } else if (c == '\t') {
            *p++ = ' ';
            ++col;
        } else if (c == '\r') {
            *p++ = ' ';
        } else if (c == 0) {
            if (p == s.end) {
                stop = clsEnd;
                break;
            }
            ++p;
        } else if (c == '<') {
            ++col;
            stop = clsOpen;
            break;
        } else {
            s.current = c;
            ++col;
            ++p;
            stop = clsClose;
            break;
        }
    }
    s.p = p;
    s.ln = ln;
    s.col = col;
    return stop;
}

} // namespace

struct TXMLToken::Extra
{
    std::string error;
    // Heads only: the file's bytes and the blocks that hold the chain.
    std::unique_ptr<TXMLSource> source;

    // The chain's tokens are built in raw blocks and never destroyed one by one: a token of a
    // kept chain owns nothing (only error tokens carry an Extra, and a chain that meets one is
    // released after taking its message), so freeing the blocks releases everything at once.
    struct Slot
    {
        alignas(TXMLToken) unsigned char bytes[sizeof(TXMLToken)];
    };
    std::vector<std::unique_ptr<Slot[]>> blocks;
    size_t used = 0;
    size_t blockSize = 0;

    TXMLToken* NewToken()
    {
        if (used == blockSize) {
            // Blocks grow so that a small file costs little and a large one few allocations.
            blockSize = blocks.empty() ? 256 : std::min<size_t>(blockSize * 2, 65536);
            blocks.emplace_back(new Slot[blockSize]);
            used = 0;
        }
        return new (&blocks.back()[used++]) TXMLToken();
    }
};

// ---------------------------------------------------------------------------------------------

TXMLSource::TXMLSource(std::string fileBytes) : bytes(std::move(fileBytes))
{
    // Text mode on the platform the files come from turns CR LF into LF; do the same here, in
    // place, so that CR LF files need nothing further.
    size_t first = bytes.find('\r');
    if (first == std::string::npos)
        return;
    char* data = bytes.data();
    size_t n = bytes.size();
    size_t w = first;
    for (size_t r = first; r < n; ++r) {
        if (data[r] == '\r' && r + 1 < n && data[r + 1] == '\n')
            continue;
        data[w++] = data[r];
    }
    bytes.resize(w);
}

void TXMLSource::SkipLine(size_t maxBytes)
{
    size_t limit = pos + std::min(maxBytes, bytes.size() - pos);
    while (pos < limit) {
        if (bytes[pos++] == '\n')
            break;
    }
}

// ---------------------------------------------------------------------------------------------

TXMLToken::TXMLToken(const std::string& fileName, std::string& version)
{
    kind = xmlTokenFile;
    try {
        std::string bytes;
        if (!ReadWholeFile(fileName, bytes)) {
            SetError("cannot open file.");
            return;
        }
        TokenizeFile(std::move(bytes), version);
    } catch (const std::bad_alloc&) {
        next = nullptr;
        SetError("not enough memory to read file.");
    }
}

std::unique_ptr<TXMLToken> TXMLToken::FromMemory(std::string bytes, std::string& version)
{
    std::unique_ptr<TXMLToken> head(new TXMLToken());
    head->kind = xmlTokenFile;
    try {
        head->TokenizeFile(std::move(bytes), version);
    } catch (const std::bad_alloc&) {
        head->next = nullptr;
        head->SetError("not enough memory to read file.");
    }
    return head;
}

TXMLToken::TXMLToken(TXMLSource& source, int32_t& lineCounter, int32_t& columnCounter)
{
    ReadFrom(source, lineCounter, columnCounter);
}

TXMLToken::~TXMLToken() = default;

void TXMLToken::SetError(std::string message)
{
    kind = xmlTokenError;
    if (!extra)
        extra = std::make_unique<Extra>();
    extra->error = std::move(message);
    // A failed file keeps no chain.
    extra->blocks.clear();
    extra->source.reset();
}

void TXMLToken::TokenizeFile(std::string bytes, std::string& version)
{
    extra = std::make_unique<Extra>();
    extra->error = "Unknown Error";
    extra->source = std::make_unique<TXMLSource>(std::move(bytes));
    TXMLSource& source = *extra->source;
    source.SkipLine(headerLineLimit);
    source.SkipLine(headerLineLimit);

    int32_t lineCounter = 3;
    int32_t columnCounter = 1;
    TXMLToken* previous = this;
    for (;;) {
        TXMLToken* token = extra->NewToken();
        token->ReadFrom(source, lineCounter, columnCounter);
        previous->next = token;
        if (token->kind == xmlTokenError) {
            line = token->line;
            column = token->column;
            next = nullptr;
            std::string message = std::move(token->extra->error);
            token->extra.reset();
            SetError(std::move(message));
            return;
        }
        if (token->kind == xmlTokenAttr && previous->kind == xmlTokenBegin &&
            previous->value == "Version")
            version.assign(token->value);
        previous = token;
        if (token->kind == xmlTokenEof)
            break;
    }
    // The head has no place in the file; it stands where its first token stands, so that a
    // grammar that fails on the first element reports that element's position.
    line = next->line;
    column = next->column;
}

void TXMLToken::ReadFrom(TXMLSource& source, int32_t& lineCounter, int32_t& columnCounter)
{
    auto* base = reinterpret_cast<unsigned char*>(source.bytes.data());
    Scan s{base + source.pos, base + source.bytes.size(), lineCounter, columnCounter};
    std::string_view found;
    TXMLTokenKind result = xmlTokenError;
    CharClass k = clsEnd;
    unsigned char* nameBegin = nullptr;
    bool endTag = false;

    do {
        k = s.Next();
    } while (k == clsBlank);
    if (k == clsOpen)
        goto tag;
    if (k == clsClose)
        goto done;
    if (k == clsEnd) {
        result = xmlTokenEof;
        goto done;
    }
    {
        // A text: letters, digits, "other" bytes and slashes run on until "<".
        unsigned char* textBegin = s.p - 1;
        if (*textBegin == '\r')
            *textBegin = ' ';
        k = ScanText(s);
        if (k != clsOpen)
            goto done;
        unsigned char* textEnd = s.p;
        while (textBegin < textEnd && *textBegin < 33)
            ++textBegin;
        while (textEnd > textBegin && textEnd[-1] < 33)
            --textEnd;
        if (textBegin == textEnd) {
            // Control bytes alone are blanks like spaces: an empty text token would pass where
            // the grammars want a text, and the writer would then drop the element.
            ++s.p;
            goto tag;
        }
        found = std::string_view(reinterpret_cast<char*>(textBegin),
                                 static_cast<size_t>(textEnd - textBegin));
        result = xmlTokenAttr;
        goto done;
    }

tag: // after "<" or "</"
    do {
        k = s.Next();
    } while (k == clsBlank);
    if (k == clsSlash && !endTag) {
        endTag = true;
        goto tag;
    }
    if (k != clsLetter && k != clsDigit)
        goto done;
    nameBegin = s.p - 1;
    s.SkipName();
    found =
        std::string_view(reinterpret_cast<char*>(nameBegin), static_cast<size_t>(s.p - nameBegin));
    // After the name: blanks, then ">", or "/" and ">" for an empty-element tag.
    do {
        k = s.Next();
    } while (k == clsBlank);
    if (k == clsClose) {
        result = endTag ? xmlTokenEnd : xmlTokenBegin;
        goto done;
    }
    if (k != clsSlash || endTag)
        goto done;
    do {
        k = s.Next();
    } while (k == clsBlank);
    if (k == clsClose)
        result = xmlTokenEmpty;

done:
    // Every token ends by taking one column back, so the running counter is exact for the "<"
    // pushed back after a text and one short per further token on the line. Kept: messages
    // and loaders count on it.
    --s.col;
    lineCounter = Clamp32(s.ln);
    columnCounter = Clamp32(s.col);
    line = lineCounter;
    column = columnCounter;
    kind = result;
    source.pos = static_cast<size_t>(s.p - base);
    if (result != xmlTokenError) {
        value = found;
        return;
    }
    value = {};
    std::string message = "unexpected ";
    if (k == clsEnd) {
        message += "end-of-file ";
    } else {
        message += '\'';
        message += static_cast<char>(s.current);
        message += '\'';
    }
    message +=
        " found in line " + std::to_string(line) + ", column " + std::to_string(column) + ".";
    SetError(std::move(message));
}

std::string_view TXMLToken::GetName() const
{
    const TXMLTokenKind TokenKind = kind;
    KV_SOFT_ASSERT(TokenKind == xmlTokenBegin || TokenKind == xmlTokenEnd ||
                   TokenKind == xmlTokenEmpty);
    return value;
}

std::string_view TXMLToken::GetText() const
{
    const TXMLTokenKind TokenKind = kind;
    KV_SOFT_ASSERT(TokenKind == xmlTokenAttr);
    return value;
}

const std::string& TXMLToken::GetError() const
{
    const TXMLTokenKind TokenKind = kind;
    KV_SOFT_ASSERT(TokenKind == xmlTokenError);
    return extra ? extra->error : noText;
}

std::string TXMLToken::Quote(std::string_view text)
{
    if (text.size() <= quoteLimit)
        return std::string(text);
    std::string quoted(text.substr(0, quoteLimit));
    quoted += "...";
    return quoted;
}

} // namespace kelvorn
