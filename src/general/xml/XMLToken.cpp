#include "general/xml/XMLToken.h"

#include "general/Assert.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
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
    std::array<bool, 256> name{}; // letters and digits
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
        t.name[c] = k == clsLetter || k == clsDigit;
        TextAction a = k == clsOther ? textUncounted : textCounted;
        if (c == '\n' || c == '\t' || c == '\r' || c == '<' || c == '>' || c == 0)
            a = textSpecial;
        t.text[c] = a;
    }
    return t;
}

constexpr CharTables tables = MakeTables();

// A token's size is kept in 48 bits; no buffer in memory comes near it.
constexpr size_t sourceLimit = size_t(1) << 48;

int32_t Clamp32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
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

#if defined(__SSE2__)
inline __m128i Load16(const unsigned char* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline unsigned Mask16(__m128i v)
{
    return static_cast<unsigned>(_mm_movemask_epi8(v));
}

inline __m128i Equal(__m128i v, char c)
{
    return _mm_cmpeq_epi8(v, _mm_set1_epi8(c));
}

// Letters and digits: the bytes of a name.
inline __m128i NameBytes(__m128i v)
{
    __m128i lower = _mm_or_si128(v, _mm_set1_epi8(0x20));
    __m128i letter = _mm_cmplt_epi8(_mm_add_epi8(lower, _mm_set1_epi8(char(128 - 'a'))),
                                    _mm_set1_epi8(char(-128 + 26)));
    __m128i digit = _mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(char(128 - '0'))),
                                   _mm_set1_epi8(char(-128 + 10)));
    return _mm_or_si128(letter, digit);
}
#endif

// Whether the n bytes at a equal those at b, for a name of 1 to 16 bytes; both lie in the padded
// source, so sixteen bytes may be read at each.
inline bool SameNameBytes(const unsigned char* a, const unsigned char* b, size_t n)
{
#if defined(__SSE2__)
    const unsigned same = Mask16(_mm_cmpeq_epi8(Load16(a), Load16(b)));
    const unsigned wanted = (1u << n) - 1u;
    return (same & wanted) == wanted;
#else
    return std::memcmp(a, b, n) == 0;
#endif
}

// The reading position and the counters of one token's scan, kept in registers while it runs.
// The bytes after end are NUL padding (TXMLSource::padding), so scans may look ahead.
struct Scan
{
    unsigned char* p;
    unsigned char* end;
    int64_t ln;
    int64_t col;
    unsigned char current = 0;
    // The name of the last begin tag read the short way, which the next end tag most often
    // repeats (after a text); none after an end tag.
    const unsigned char* open = nullptr;
    size_t openSize = 0;

    // Reads one byte that is no blank, classifies it and counts its column unless it is an
    // "other" byte.
    CharClass NextAfterBlanks()
    {
        if (p == end)
            return clsEnd;
        current = *p++;
        CharClass k = tables.cls[current];
        col += k != clsOther;
        return k;
    }

    // Skips blanks, counting a column for each and starting a line at each line feed. Byte by
    // byte: the runs are short indentations, and a loop whose branches the processor predicts
    // lets it run ahead, where a wide scan would make every next load wait for the count.
    void SkipBlanks()
    {
        for (;;) {
            unsigned char* q = p;
            while (*q == ' ')
                ++q;
            col += q - p;
            p = q;
            const unsigned char c = *p;
            if (c == '\n') {
                ++ln;
                col = 1;
            } else if (c == '\t') {
                ++col;
            } else {
                return;
            }
            ++p;
        }
    }

    // The rest of a name after its first byte; name bytes count one column each. The padding's
    // NUL bytes end every name.
    void SkipName()
    {
        unsigned char* q = p;
        while (tables.name[*q])
            ++q;
        col += q - p;
        p = q;
    }
};

// Runs over the rest of a text, rewriting tab, line feed and carriage return as blanks, up to the
// byte that ends it: "<" (left unread for the next token, but counted: the token's end takes the
// count back), ">" (read; an error) or the end of the bytes (an error). Returns that byte's class.
[[gnu::always_inline]] inline CharClass ScanText(Scan& s)
{
    unsigned char* p = s.p;
    int64_t ln = s.ln;
    int64_t col = s.col;
    CharClass stop;
    for (;;) {
#if defined(__SSE2__)
        // Sixteen bytes at a time while none of them needs a closer look; the padding's NUL
        // bytes stop the loop at the end.
        for (;;) {
            __m128i v = Load16(p);
            __m128i special = _mm_or_si128(
                _mm_or_si128(_mm_or_si128(Equal(v, '\n'), Equal(v, '\t')),
                             _mm_or_si128(Equal(v, '\r'), _mm_cmpeq_epi8(v, _mm_setzero_si128()))),
                _mm_or_si128(Equal(v, '<'), Equal(v, '>')));
            // Letters, digits, blanks and slashes count a column; "other" bytes do not.
            __m128i counted =
                _mm_or_si128(NameBytes(v), _mm_or_si128(Equal(v, ' '), Equal(v, '/')));
            unsigned specialMask = Mask16(special);
            unsigned countedMask = Mask16(counted);
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

// What one token's scan found: its kind and its name or text, or for an error the class of the
// byte that ended the scan.
struct Found
{
    TXMLTokenKind kind = xmlTokenError;
    CharClass stop = clsEnd;
    const char* begin = nullptr;
    size_t size = 0;

    void Take(TXMLTokenKind k, const unsigned char* from, const unsigned char* to)
    {
        kind = k;
        begin = reinterpret_cast<const char*>(from);
        size = static_cast<size_t>(to - from);
    }
};

// Reads one token and ends it by taking one column back, so the running counter is exact for
// the "<" pushed back after a text and one short per further token on the line. Kept: messages
// and loaders count on it. Both the file's loop and the single token's constructor read with
// it, so that both follow the same rules. The counters saturate at the limits of 32 bits; a
// source shorter than 2 GB cannot reach them from the file's start, and its reader leaves the
// clamping out.
template <bool clamp> [[gnu::always_inline]] inline Found ReadToken(Scan& s)
{
    Found f;
    bool endTag = false;
    CharClass k;
    unsigned char* nameBegin;
    unsigned char* nameEnd;
    s.SkipBlanks();
    if (*s.p == '<') {
        // Most tags are "<Name>" or "</Name>", in which every byte counts a column. Anything else
        // is read below from the "<" again.
        unsigned char* q = s.p + 1;
        const bool closing = *q == '/';
        q += closing;
        unsigned char* e = q;
        if (closing && s.openSize - 1 < 16 && q[s.openSize] == '>' &&
            SameNameBytes(q, s.open, s.openSize)) {
            // The end tag of the element just begun: its name needs no scan.
            e = q + s.openSize;
        } else {
            while (tables.name[*e])
                ++e;
        }
        if (e != q && *e == '>') {
            f.Take(closing ? xmlTokenEnd : xmlTokenBegin, q, e);
            s.open = closing ? nullptr : q;
            s.openSize = closing ? 0 : static_cast<size_t>(e - q);
            s.col += e - s.p;
            s.p = e + 1;
            goto counted;
        }
        ++s.p;
        ++s.col;
        goto tag;
    }
    if (*s.p == '>' || s.p == s.end) {
        k = s.NextAfterBlanks();
        if (k == clsClose)
            goto refused;
        f.kind = xmlTokenEof;
        goto done;
    }
    {
        // A text: letters, digits, "other" bytes and slashes run on until "<".
        unsigned char* textBegin = s.p;
        k = ScanText(s);
        if (k != clsOpen)
            goto refused;
        unsigned char* textEnd = s.p;
        while (textBegin < textEnd && *textBegin < 33)
            ++textBegin;
        while (textEnd > textBegin && textEnd[-1] < 33)
            --textEnd;
        if (textBegin != textEnd) {
            f.Take(xmlTokenAttr, textBegin, textEnd);
            goto done;
        }
        // Control bytes alone are blanks like spaces: an empty text token would pass where the
        // grammars want a text, and the writer would then drop the element.
        ++s.p;
    }
tag: // after "<" or "</"
    for (;;) {
        s.SkipBlanks();
        k = s.NextAfterBlanks();
        if (k != clsSlash || endTag)
            break;
        endTag = true;
    }
    if (k != clsLetter && k != clsDigit)
        goto refused;
    nameBegin = s.p - 1;
    s.SkipName();
    nameEnd = s.p;
    // After the name: blanks, then ">", or "/" and ">" for an empty-element tag.
    s.SkipBlanks();
    k = s.NextAfterBlanks();
    if (k == clsClose) {
        f.Take(endTag ? xmlTokenEnd : xmlTokenBegin, nameBegin, nameEnd);
        goto done;
    }
    if (k != clsSlash || endTag)
        goto refused;
    s.SkipBlanks();
    k = s.NextAfterBlanks();
    if (k == clsClose) {
        f.Take(xmlTokenEmpty, nameBegin, nameEnd);
        goto done;
    }
refused:
    f.stop = k;
done:
    --s.col;
counted:
    if constexpr (clamp) {
        s.ln = Clamp32(s.ln);
        s.col = Clamp32(s.col);
    }
    return f;
}

std::string RefusalMessage(const Found& f, unsigned char current, int32_t line, int32_t column)
{
    std::string message = "unexpected ";
    if (f.stop == clsEnd) {
        message += "end-of-file ";
    } else {
        message += '\'';
        message += static_cast<char>(current);
        message += '\'';
    }
    message +=
        " found in line " + std::to_string(line) + ", column " + std::to_string(column) + ".";
    return message;
}

} // namespace

struct TXMLToken::Extra
{
    std::string error;
    // Heads only: the file's bytes, the blocks that hold the chain and its first token.
    std::unique_ptr<TXMLSource> source;

    // The chain's tokens are built in raw blocks and never destroyed one by one: a token of a
    // kept chain owns nothing (only heads and tokens read alone carry an Extra), so freeing the
    // blocks releases everything at once. Each block ends in a spare slot that hands over to the
    // next block.
    struct Slot
    {
        alignas(TXMLToken) unsigned char bytes[sizeof(TXMLToken)];
    };
    std::vector<std::unique_ptr<Slot[]>> blocks;
    const TXMLToken* first = nullptr;
};

// ---------------------------------------------------------------------------------------------

TXMLSource::TXMLSource(std::string_view fileBytes)
{
    if (fileBytes.size() >= sourceLimit)
        throw std::bad_alloc();
    bytes.reset(new char[fileBytes.size() + padding]);
    std::memcpy(bytes.get(), fileBytes.data(), fileBytes.size());
    size = fileBytes.size();
    Prepare();
}

void TXMLSource::Prepare()
{
    if (size >= sourceLimit)
        throw std::bad_alloc();
    // Text mode on the platform the files come from turns CR LF into LF; do the same here, in
    // place, so that CR LF files need nothing further.
    char* data = bytes.get();
    if (const void* cr = std::memchr(data, '\r', size)) {
        size_t w = static_cast<size_t>(static_cast<const char*>(cr) - data);
        for (size_t r = w; r < size; ++r) {
            if (data[r] == '\r' && r + 1 < size && data[r + 1] == '\n')
                continue;
            data[w++] = data[r];
        }
        size = w;
    }
    std::memset(data + size, 0, padding);
}

bool TXMLSource::ReadFile(const std::string& fileName)
{
    int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info
    {
    };
    // Read straight into place when the size is known; a file that turns out longer (or one
    // without a size) grows the buffer.
    size_t capacity = 65536;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0)
        capacity = static_cast<size_t>(info.st_size);
    bool ok = true;
    try {
        if (capacity >= sourceLimit)
            throw std::bad_alloc();
        bytes.reset(new char[capacity + padding]);
        size = 0;
        for (;;) {
            if (size == capacity) {
                // Full: only a read that finds more tells whether the file is longer.
                char probe[4096];
                ssize_t got = ::read(fd, probe, sizeof probe);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0) {
                    ok = got == 0;
                    break;
                }
                capacity = std::max(capacity * 2, size + static_cast<size_t>(got));
                if (capacity >= sourceLimit)
                    throw std::bad_alloc();
                std::unique_ptr<char[]> grown(new char[capacity + padding]);
                std::memcpy(grown.get(), bytes.get(), size);
                std::memcpy(grown.get() + size, probe, static_cast<size_t>(got));
                size += static_cast<size_t>(got);
                bytes = std::move(grown);
                continue;
            }
            ssize_t got = ::read(fd, bytes.get() + size, capacity - size);
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                ok = got == 0;
                break;
            }
            size += static_cast<size_t>(got);
        }
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    if (ok)
        Prepare();
    return ok;
}

void TXMLSource::SkipLine(size_t maxBytes)
{
    size_t limit = pos + std::min(maxBytes, size - pos);
    while (pos < limit) {
        if (bytes[pos++] == '\n')
            break;
    }
}

// ---------------------------------------------------------------------------------------------

TXMLToken::TXMLToken(const std::string& fileName, std::string& version)
{
    kind = xmlTokenFile;
    extra = nullptr;
    try {
        auto source = std::unique_ptr<TXMLSource>(new TXMLSource());
        if (!source->ReadFile(fileName)) {
            SetError("cannot open file.");
            return;
        }
        extra = new Extra();
        extra->source = std::move(source);
        TokenizeFile(*extra->source, version);
    } catch (const std::bad_alloc&) {
        SetError("not enough memory to read file.");
    }
}

std::unique_ptr<TXMLToken> TXMLToken::FromMemory(std::string_view bytes, std::string& version)
{
    std::unique_ptr<TXMLToken> head(new TXMLToken());
    head->kind = xmlTokenFile;
    head->extra = nullptr;
    try {
        head->extra = new Extra();
        head->extra->source = std::make_unique<TXMLSource>(bytes);
        head->TokenizeFile(*head->extra->source, version);
    } catch (const std::bad_alloc&) {
        head->SetError("not enough memory to read file.");
    }
    return head;
}

TXMLToken::TXMLToken(TXMLSource& source, int32_t& lineCounter, int32_t& columnCounter)
{
    auto* base = reinterpret_cast<unsigned char*>(source.bytes.get());
    Scan s{base + source.pos, base + source.size, lineCounter, columnCounter};
    const Found f = ReadToken<true>(s);
    source.pos = static_cast<size_t>(s.p - base);
    lineCounter = static_cast<int32_t>(s.ln);
    columnCounter = static_cast<int32_t>(s.col);
    line = lineCounter;
    column = columnCounter;
    if (f.kind != xmlTokenError) {
        kind = f.kind;
        text = f.begin;
        sizeLow = static_cast<uint32_t>(f.size);
        sizeHigh = static_cast<uint16_t>(f.size >> 32);
        return;
    }
    kind = xmlTokenError;
    extra = nullptr;
    SetError(RefusalMessage(f, s.current, line, column));
}

TXMLToken::~TXMLToken()
{
    if (kind == xmlTokenFile || kind == xmlTokenError)
        delete extra;
}

void TXMLToken::SetError(std::string message)
{
    // Only heads and error tokens come here, and both keep their Extra in the union.
    if (!extra)
        extra = new Extra();
    kind = xmlTokenError;
    link = linkNone;
    extra->error = std::move(message);
    // A failed file keeps no chain.
    extra->blocks.clear();
    extra->first = nullptr;
    extra->source.reset();
}

void TXMLToken::TokenizeFile(TXMLSource& source, std::string& version)
{
    extra->error = "Unknown Error";
    source.SkipLine(headerLineLimit);
    source.SkipLine(headerLineLimit);
    // From line 3, column 1, each byte moves a counter by one at most.
    if (source.size - source.pos < size_t(INT32_MAX) - 3)
        ReadChain<false>(source, version);
    else
        ReadChain<true>(source, version);
    if (kind == xmlTokenError)
        return;
    // The head has no place in the file; it stands where its first token stands, so that a
    // grammar that fails on the first element reports that element's position.
    link = linkHead;
    line = extra->first->line;
    column = extra->first->column;
}

template <bool clamp> void TXMLToken::ReadChain(TXMLSource& source, std::string& version)
{
    auto* base = reinterpret_cast<unsigned char*>(source.bytes.get());
    Scan s{base + source.pos, base + source.size, 3, 1};
    // Blocks grow so that a small file costs little and a large one few allocations.
    auto newBlock = [this](size_t slots) {
        extra->blocks.emplace_back(new Extra::Slot[slots + 1]);
        return reinterpret_cast<TXMLToken*>(extra->blocks.back().get());
    };
    size_t blockSize = 256;
    TXMLToken* slot = newBlock(blockSize);
    TXMLToken* spare = slot + blockSize;
    extra->first = slot;
    bool afterVersion = false;
    for (;;) {
        const Found f = ReadToken<clamp>(s);
        const auto tokenLine = static_cast<int32_t>(s.ln);
        const auto tokenColumn = static_cast<int32_t>(s.col);
        if (f.kind == xmlTokenError) {
            line = tokenLine;
            column = tokenColumn;
            SetError(RefusalMessage(f, s.current, tokenLine, tokenColumn));
            return;
        }
        if (slot == spare) {
            blockSize = std::min<size_t>(blockSize * 2, 65536);
            TXMLToken* block = newBlock(blockSize);
            (spare - 1)->link = linkHandOver;
            new (spare) TXMLToken();
            spare->handOver = block;
            slot = block;
            spare = block + blockSize;
        }
        TXMLToken* token = new (slot++) TXMLToken(f.kind, f.begin, f.size, tokenLine, tokenColumn);
        if (afterVersion && f.kind == xmlTokenAttr)
            version.assign(f.begin, f.size);
        afterVersion = f.kind == xmlTokenBegin && token->Value() == "Version";
        if (f.kind == xmlTokenEof) {
            token->link = linkNone;
            break;
        }
    }
    source.pos = static_cast<size_t>(s.p - base);
}

const TXMLToken* TXMLToken::FarNext() const
{
    switch (link) {
    case linkFollowing:
        return this + 1;
    case linkHandOver:
        return (this + 1)->handOver;
    case linkHead:
        return extra->first;
    default:
        return nullptr;
    }
}

std::string_view TXMLToken::NameOfOther() const
{
    const TXMLTokenKind TokenKind = kind;
    KV_SOFT_ASSERT(TokenKind == xmlTokenBegin || TokenKind == xmlTokenEnd ||
                   TokenKind == xmlTokenEmpty);
    return kind <= xmlTokenEof ? Value() : std::string_view();
}

std::string_view TXMLToken::TextOfOther() const
{
    const TXMLTokenKind TokenKind = kind;
    KV_SOFT_ASSERT(TokenKind == xmlTokenAttr);
    return kind <= xmlTokenEof ? Value() : std::string_view();
}

const std::string& TXMLToken::GetError() const
{
    const TXMLTokenKind TokenKind = kind;
    KV_SOFT_ASSERT(TokenKind == xmlTokenError);
    return (kind == xmlTokenError || kind == xmlTokenFile) && extra ? extra->error : noText;
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
