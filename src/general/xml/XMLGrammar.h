#pragma once
// Grammars of the XML dialect and the validating parser. Each document format describes its file
// layout once, in code, as a small acyclic graph of grammar objects: elements holding text,
// elements holding content, and the content operators (sequence, choice, optional, zero or more,
// one or more, empty). Parsing a token chain against the format's root element checks the file
// and builds its element tree in one pass.
//
// Parsing looks one token ahead: a mismatch at the first token of an element is not fatal, so
// that an enclosing optional, repetition or choice may back off and try something else; once an
// element has matched its begin tag every later failure inside it is fatal. Backing off restores
// the cursor and deletes the children appended since, in O(1) per removed child.
//
// Each item knows the elements whose tags can begin it. An optional or a repetition facing an end
// tag or another element's tag knows the outcome without trying (nothing matched, nothing
// fatal), and a choice goes straight to the operand that can begin there: a file's optional
// elements cost a comparison of names, not a failed match with its message.
//
// The parser recurses over the grammar, whose depth the program fixes, never over the file:
// repetitions loop, so a file of 100,000 repeated elements costs linear time and constant stack.

#include "general/xml/XMLElement.h"
#include "general/xml/XMLToken.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kelvorn {

/// How a match failed. Messages are only put together when a failure reaches the caller of
/// Parse or becomes part of a choice's message: most failures are backed off by an optional,
/// repetition or choice, and building their texts would cost more than the parse itself.
struct TDTDFailure
{
    enum Expectation : uint8_t {
        expectBeginComma, // ... expect begin of element "N", at line ...
        expectBeginStop,  // ... expect begin of element "N". at line ...
        expectText,       // ... expect text, at line ...
        expectEnd,        // ... expect end of element "N", at line ...
        shouldNotBeEmpty, // element "N" should not be empty, at line ...
        endMismatch,      // end of element "M" does not match begin of element "N", at line ...
        badToken,         // a token no grammar should see (an error token)
        composed,         // message holds the whole text
    };

    bool fatal = false;
    Expectation expectation = composed;
    const TXMLToken* found = nullptr;  // the offending token; nullptr counts as end of file
    const std::string* name = nullptr; // the grammar element's name N
    int32_t line = 0;
    int32_t column = 0;
    std::string message;

    /// Records a failure and returns false, for the caller to return at once.
    bool Fail(bool isFatal, Expectation what, const TXMLToken* token, const std::string& element,
              int32_t atLine, int32_t atColumn);
    /// The full message.
    std::string Message() const;
    void AppendMessage(std::string& out) const;
};

class TDTDItem
{
public:
    virtual ~TDTDItem() = default;
    TDTDItem(const TDTDItem&) = delete;
    TDTDItem& operator=(const TDTDItem&) = delete;

    /// Whether the item can match no tokens at all.
    bool CanBeEmpty() const { return canBeEmpty; }

    /// Matches the item at cursor. On success the cursor stands after what was matched and the
    /// matched elements have been appended, in order, to parent; error and fatal are untouched.
    /// On failure error holds the message and fatal tells whether an enclosing optional,
    /// repetition or choice may undo it (false) or the whole parse must end (true).
    /// A loader passes a "Root" element as parent and the head of the file's chain as cursor;
    /// the document's root element is then Root's first child.
    bool Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
               bool& fatal) const;

    /// Parse without putting the message together; the operators call it on their operands.
    virtual bool Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
                       TDTDFailure& failure) const = 0;

    /// False when the item cannot begin at token: an end tag, or the begin or empty-element tag
    /// of an element that cannot begin it. Match would then fail without a fatal error, or match
    /// nothing when the item can be empty, and change nothing either way. True for any other
    /// token (a text or the end of the file make elements fail fatally). Asked at nearly every
    /// token, so inline.
    bool MayBeginAt(const TXMLToken* token) const
    {
        if (!token)
            return true;
        switch (token->GetTokenKind()) {
        case xmlTokenEnd:
            return false;
        case xmlTokenBegin:
        case xmlTokenEmpty: {
            const std::string_view tag = token->GetName();
            for (std::string_view name : firstNames)
                if (TXMLName::Same(name, tag))
                    return true;
            return false;
        }
        default:
            return true;
        }
    }

protected:
    explicit TDTDItem(bool matchesNothing) : canBeEmpty(matchesNothing) {}
    /// An operand given as nullptr stands for the empty expression: a program error, asserted.
    static const TDTDItem* Operand(const TDTDItem* item);
    /// Adds the names of the elements that can begin item to this item's own.
    void MayBeginAs(const TDTDItem* item);
    void MayBeginAs(std::string_view elementName);

private:
    bool canBeEmpty;
    /// The names of the elements whose tags can begin the item; few, so a list is fastest.
    std::vector<std::string_view> firstNames;
};

/// An element with a name; it cannot be empty, since it matches at least its own tag.
class TDTDElement : public TDTDItem
{
public:
    const std::string& GetName() const { return name.Text(); }

    /// Expects this element's end tag at cursor and steps past it. Every failure is fatal.
    bool CheckEndTag(const TXMLToken*& cursor, std::string& error, bool& fatal) const;
    bool MatchEndTag(const TXMLToken*& cursor, TDTDFailure& failure) const;

protected:
    explicit TDTDElement(std::string_view elementName)
        : TDTDItem(false), name(elementName), key(name.Text())
    {
        MayBeginAs(key);
    }

    const TXMLName name;
    /// The name's bytes, compared with every tag the element meets.
    const std::string_view key;

private:
    bool NoEndTag(const TXMLToken* token, TDTDFailure& failure) const;
};

/// An element that holds text only; the text must not be empty after trimming.
class TDTDContentText final : public TDTDElement
{
public:
    explicit TDTDContentText(std::string_view elementName) : TDTDElement(elementName) {}

    bool Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
               TDTDFailure& failure) const override;
};

/// An element whose children match its content. With content that can be empty it may be
/// written as an empty-element tag or as a begin tag directly followed by its end tag.
class TDTDCompound final : public TDTDElement
{
public:
    TDTDCompound(std::string_view elementName, const TDTDItem* elementContent)
        : TDTDElement(elementName), content(Operand(elementContent))
    {
    }

    bool Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
               TDTDFailure& failure) const override;

private:
    const TDTDItem* content;
};

/// Base of the content operators.
class TDTDExpression : public TDTDItem
{
protected:
    explicit TDTDExpression(bool matchesNothing) : TDTDItem(matchesNothing) {}
};

/// Matches nothing: the content of an element without children.
class TDTDEmpty final : public TDTDExpression
{
public:
    TDTDEmpty() : TDTDExpression(true) {}

    bool Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
               TDTDFailure& failure) const override;
};

/// first, then second. Longer sequences nest to the right: a, b, c is Concat(a, Concat(b, c)).
class TDTDConcat final : public TDTDExpression
{
public:
    TDTDConcat(const TDTDItem* firstItem, const TDTDItem* secondItem);

    bool Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
               TDTDFailure& failure) const override;

private:
    /// The operands of the nested concatenations in order, matched in one loop.
    std::vector<const TDTDItem*> items;
};

/// first or else second. Longer choices nest to the right: a | b | c is Choice(a, Choice(b, c)).
/// Its message reads "Try choices( first choice: " + first's + ", Second choice: " + second's
/// + ")".
class TDTDChoice final : public TDTDExpression
{
public:
    TDTDChoice(const TDTDItem* firstItem, const TDTDItem* secondItem);

    bool Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
               TDTDFailure& failure) const override;

private:
    const TDTDItem* first;
    const TDTDItem* second;
};

/// item zero or one time.
class TDTDOptional final : public TDTDExpression
{
public:
    explicit TDTDOptional(const TDTDItem* repeatedItem)
        : TDTDExpression(true), item(Operand(repeatedItem))
    {
        MayBeginAs(item);
    }

    bool Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
               TDTDFailure& failure) const override;

private:
    const TDTDItem* item;
};

/// item zero or more times. The item must consume at least one token whenever it matches.
class TDTDRepeatMin0 final : public TDTDExpression
{
public:
    explicit TDTDRepeatMin0(const TDTDItem* repeatedItem);

    bool Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
               TDTDFailure& failure) const override;

private:
    const TDTDItem* item;
};

/// item one or more times. The item must consume at least one token whenever it matches.
class TDTDRepeatMin1 final : public TDTDExpression
{
public:
    explicit TDTDRepeatMin1(const TDTDItem* repeatedItem);

    bool Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
               TDTDFailure& failure) const override;

private:
    const TDTDItem* item;
};

/// Owns the objects of one grammar. Operands are plain pointers that one object may share with
/// several parents; the grammar keeps them all alive together, normally for the program's life.
class TDTDGrammar
{
public:
    TDTDGrammar() = default;
    TDTDGrammar(const TDTDGrammar&) = delete;
    TDTDGrammar& operator=(const TDTDGrammar&) = delete;

    template <class T, class... Args> T* Make(Args&&... args)
    {
        auto item = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = item.get();
        items.push_back(std::move(item));
        return raw;
    }

private:
    std::vector<std::unique_ptr<TDTDItem>> items;
};

} // namespace kelvorn
