#include "general/xml/XMLGrammar.h"

#include "general/Assert.h"

#include <charconv>
#include <cstdint>
#include <cstring>

namespace kelvorn {

namespace {

TXMLTokenKind KindOf(const TXMLToken* token)
{
    return token ? token->GetTokenKind() : xmlTokenEof;
}

void AppendNumber(std::string& out, int32_t value)
{
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, result.ptr);
}

void AppendQuoted(std::string& out, std::string_view text)
{
    out += '"';
    out += TXMLToken::Quote(text);
    out += '"';
}

// "unexpected text \"T\", " and its kin: what the parser found where it expected something else.
void AppendFound(std::string& out, const TXMLToken* token)
{
    switch (KindOf(token)) {
    case xmlTokenAttr:
        out += "unexpected text ";
        AppendQuoted(out, token->GetText());
        out += ", ";
        break;
    case xmlTokenBegin:
        out += "unexpected begin of element ";
        AppendQuoted(out, token->GetName());
        out += ", ";
        break;
    case xmlTokenEnd:
        out += "unexpected end of element ";
        AppendQuoted(out, token->GetName());
        out += ", ";
        break;
    case xmlTokenEmpty:
        out += "unexpected empty element ";
        AppendQuoted(out, token->GetName());
        out += ", ";
        break;
    default:
        out += "unexpected end-of-file, ";
        break;
    }
}

// Undoes a failed attempt: the cursor goes back and the children it appended are deleted.
void Backtrack(TXMLComplexElement& parent, TXMLItem* lastBefore, const TXMLToken*& cursor,
               const TXMLToken* start)
{
    cursor = start;
    if (parent.GetLastChild() != lastBefore)
        parent.DeleteChildrenAfter(lastBefore);
}

// An error token never reaches a grammar: the file reader keeps no chain after one.
bool FailOnBadToken(const TXMLToken* token, TDTDFailure& failure)
{
    const TXMLTokenKind xmlTokenKind = KindOf(token);
    KV_SOFT_ASSERT(xmlTokenKind != xmlTokenError);
    failure.fatal = true;
    failure.expectation = TDTDFailure::badToken;
    failure.found = token;
    return false;
}

// What an operand contributes to CanBeEmpty; nullptr stands for the empty expression.
bool MatchesNothing(const TDTDItem* item)
{
    return !item || item->CanBeEmpty();
}

const TDTDEmpty& SharedEmpty()
{
    static const TDTDEmpty empty;
    return empty;
}

} // namespace

// ---------------------------------------------------------------------------------------------

bool TDTDFailure::Fail(bool isFatal, Expectation what, const TXMLToken* token,
                       const std::string& element, int32_t atLine, int32_t atColumn)
{
    fatal = isFatal;
    expectation = what;
    found = token;
    name = &element;
    line = atLine;
    column = atColumn;
    return false;
}

std::string TDTDFailure::Message() const
{
    std::string out;
    AppendMessage(out);
    return out;
}

void TDTDFailure::AppendMessage(std::string& out) const
{
    switch (expectation) {
    case composed:
        out += message;
        return;
    case badToken:
        if (KindOf(found) == xmlTokenError)
            out += found->GetError();
        else
            out += "unexpected token.";
        return;
    case shouldNotBeEmpty:
        out += "element ";
        AppendQuoted(out, *name);
        out += " should not be empty,";
        break;
    case endMismatch:
        out += "end of element ";
        AppendQuoted(out, found->GetName());
        out += " does not match begin of element ";
        AppendQuoted(out, *name);
        out += ',';
        break;
    case expectBeginComma:
    case expectBeginStop:
        AppendFound(out, found);
        out += "expect begin of element ";
        AppendQuoted(out, *name);
        // Kept: text elements end this part with a full stop, compound elements with a comma.
        out += expectation == expectBeginStop ? '.' : ',';
        break;
    case expectText:
        AppendFound(out, found);
        out += "expect text,";
        break;
    case expectEnd:
        AppendFound(out, found);
        out += "expect end of element ";
        AppendQuoted(out, *name);
        out += ',';
        break;
    }
    out += " at line ";
    AppendNumber(out, line);
    out += ", column ";
    AppendNumber(out, column);
    out += '.';
}

// ---------------------------------------------------------------------------------------------

bool TDTDItem::Parse(TXMLComplexElement& parent, const TXMLToken*& cursor, std::string& error,
                     bool& fatal) const
{
    TXMLArenaScope arena;
    TDTDFailure failure;
    if (Match(parent, cursor, failure))
        return true;
    error = failure.Message();
    fatal = failure.fatal;
    return false;
}

const TDTDItem* TDTDItem::Operand(const TDTDItem* item)
{
    if (KV_SOFT_ASSERT(item != nullptr))
        return item;
    return &SharedEmpty();
}

void TDTDItem::MayBeginAs(const TDTDItem* item)
{
    for (std::string_view name : item->firstNames)
        MayBeginAs(name);
}

void TDTDItem::MayBeginAs(std::string_view elementName)
{
    for (std::string_view known : firstNames)
        if (known == elementName)
            return;
    firstNames.push_back(elementName);
}

// ---------------------------------------------------------------------------------------------

// Every element ends with it: the matching end tag is stepped over where the element is matched,
// and only a failure takes a call.
[[gnu::always_inline]] inline bool TDTDElement::MatchEndTag(const TXMLToken*& cursor,
                                                            TDTDFailure& failure) const
{
    const TXMLToken* token = cursor;
    if (KindOf(token) == xmlTokenEnd && TXMLName::Same(token->GetName(), key)) {
        cursor = token->GetNext();
        return true;
    }
    return NoEndTag(token, failure);
}

bool TDTDElement::NoEndTag(const TXMLToken* token, TDTDFailure& failure) const
{
    int32_t line = token ? token->GetLine() : 0;
    int32_t column = token ? token->GetColumn() : 0;
    switch (KindOf(token)) {
    case xmlTokenEnd:
        return failure.Fail(true, TDTDFailure::endMismatch, token, name.Text(), line, column);
    case xmlTokenAttr:
    case xmlTokenBegin:
    case xmlTokenEmpty:
    case xmlTokenEof:
        return failure.Fail(true, TDTDFailure::expectEnd, token, name.Text(), line, column);
    default:
        return FailOnBadToken(token, failure);
    }
}

bool TDTDElement::CheckEndTag(const TXMLToken*& cursor, std::string& error, bool& fatal) const
{
    TDTDFailure failure;
    if (MatchEndTag(cursor, failure))
        return true;
    error = failure.Message();
    fatal = failure.fatal;
    return false;
}

bool TDTDContentText::Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
                            TDTDFailure& failure) const
{
    // Only a root grammar meets the head; text elements are never roots, but step past it alike.
    if (KindOf(cursor) == xmlTokenFile)
        cursor = cursor->GetNext();
    const TXMLToken* begin = cursor;
    int32_t line = begin ? begin->GetLine() : 0;
    int32_t column = begin ? begin->GetColumn() : 0;
    switch (KindOf(begin)) {
    case xmlTokenAttr:
    case xmlTokenEof:
        return failure.Fail(true, TDTDFailure::expectBeginStop, begin, name.Text(), line, column);
    case xmlTokenEnd:
    case xmlTokenEmpty:
        return failure.Fail(false, TDTDFailure::expectBeginStop, begin, name.Text(), line, column);
    case xmlTokenBegin:
        if (!TXMLName::Same(begin->GetName(), key))
            return failure.Fail(false, TDTDFailure::expectBeginStop, begin, name.Text(), line,
                                column);
        break;
    default:
        return FailOnBadToken(begin, failure);
    }

    const TXMLToken* text = begin->GetNext();
    switch (KindOf(text)) {
    case xmlTokenAttr:
        break;
    case xmlTokenBegin:
    case xmlTokenEnd:
    case xmlTokenEmpty:
    case xmlTokenEof:
        // The begin tag has matched: from here on every failure is fatal.
        return failure.Fail(true, TDTDFailure::expectText, text, name.Text(), line, column);
    default:
        return FailOnBadToken(text, failure);
    }
    auto element = std::make_unique<TXMLStringElement>(name, text->GetText());
    element->SetPosition(line, column);
    parent.AppendChild(std::move(element));
    cursor = text->GetNext();
    return MatchEndTag(cursor, failure);
}

bool TDTDCompound::Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
                         TDTDFailure& failure) const
{
    // The position is taken before the head is stepped over; a head stands where its first
    // token stands.
    int32_t line = cursor ? cursor->GetLine() : 0;
    int32_t column = cursor ? cursor->GetColumn() : 0;
    if (KindOf(cursor) == xmlTokenFile)
        cursor = cursor->GetNext();
    const TXMLToken* token = cursor;
    switch (KindOf(token)) {
    case xmlTokenAttr:
    case xmlTokenEof:
        return failure.Fail(true, TDTDFailure::expectBeginComma, token, name.Text(), line, column);
    case xmlTokenEnd:
        return failure.Fail(false, TDTDFailure::expectBeginComma, token, name.Text(), line, column);
    case xmlTokenEmpty:
        if (!TXMLName::Same(token->GetName(), key))
            return failure.Fail(false, TDTDFailure::expectBeginComma, token, name.Text(), line,
                                column);
        if (!content->CanBeEmpty())
            return failure.Fail(true, TDTDFailure::shouldNotBeEmpty, token, name.Text(), line,
                                column);
        {
            auto element = std::make_unique<TXMLComplexElement>(name);
            element->SetPosition(line, column);
            parent.AppendChild(std::move(element));
        }
        cursor = token->GetNext();
        return true;
    case xmlTokenBegin:
        if (!TXMLName::Same(token->GetName(), key))
            return failure.Fail(false, TDTDFailure::expectBeginComma, token, name.Text(), line,
                                column);
        break;
    default:
        return FailOnBadToken(token, failure);
    }

    cursor = token->GetNext();
    auto element = std::make_unique<TXMLComplexElement>(name);
    element->SetPosition(line, column);
    if (!content->Match(*element, cursor, failure)) {
        // The begin tag has matched, so nothing else may be tried; the content's message stands.
        failure.fatal = true;
        return false;
    }
    parent.AppendChild(std::move(element));
    return MatchEndTag(cursor, failure);
}

// ---------------------------------------------------------------------------------------------

bool TDTDEmpty::Match(TXMLComplexElement&, const TXMLToken*&, TDTDFailure&) const
{
    return true;
}

TDTDConcat::TDTDConcat(const TDTDItem* firstItem, const TDTDItem* secondItem)
    : TDTDExpression(MatchesNothing(firstItem) && MatchesNothing(secondItem))
{
    const TDTDItem* first = Operand(firstItem);
    const TDTDItem* second = Operand(secondItem);
    MayBeginAs(first);
    if (first->CanBeEmpty())
        MayBeginAs(second);
    // A long sequence is a chain of concatenations: one loop over its operands saves a call
    // per operand and element.
    for (const TDTDItem* operand : {first, second}) {
        if (const auto* nested = dynamic_cast<const TDTDConcat*>(operand))
            items.insert(items.end(), nested->items.begin(), nested->items.end());
        else
            items.push_back(operand);
    }
}

bool TDTDConcat::Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
                       TDTDFailure& failure) const
{
    for (const TDTDItem* item : items) {
        // An operand that may be left out and cannot begin here matches nothing: no call.
        if (item->CanBeEmpty() && !item->MayBeginAt(cursor))
            continue;
        if (!item->Match(parent, cursor, failure))
            return false;
    }
    return true;
}

TDTDChoice::TDTDChoice(const TDTDItem* firstItem, const TDTDItem* secondItem)
    : TDTDExpression(MatchesNothing(firstItem) || MatchesNothing(secondItem)),
      first(Operand(firstItem)), second(Operand(secondItem))
{
    MayBeginAs(first);
    MayBeginAs(second);
}

bool TDTDChoice::Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
                       TDTDFailure& failure) const
{
    const TXMLToken* start = cursor;
    TXMLItem* lastBefore = parent.GetLastChild();
    TDTDFailure firstFailure;
    // A first operand that cannot begin here would fail harmlessly: its failure is only needed
    // for the message, when the second operand fails too.
    const bool firstTried = first->CanBeEmpty() || first->MayBeginAt(start);
    if (firstTried) {
        if (first->Match(parent, cursor, firstFailure))
            return true;
        if (firstFailure.fatal) {
            std::string message = "Try choices( first choice: ";
            firstFailure.AppendMessage(message);
            message += ", Second choice: ";
            failure.fatal = true;
            failure.expectation = TDTDFailure::composed;
            failure.message = std::move(message);
            return false;
        }
        Backtrack(parent, lastBefore, cursor, start);
    }
    TDTDFailure secondFailure;
    if (second->Match(parent, cursor, secondFailure))
        return true;
    if (!firstTried) {
        Backtrack(parent, lastBefore, cursor, start);
        first->Match(parent, cursor, firstFailure);
        Backtrack(parent, lastBefore, cursor, start);
    }
    std::string message = "Try choices( first choice: ";
    firstFailure.AppendMessage(message);
    message += ", Second choice: ";
    secondFailure.AppendMessage(message);
    message += ')';
    failure.fatal = secondFailure.fatal;
    failure.expectation = TDTDFailure::composed;
    failure.message = std::move(message);
    return false;
}

bool TDTDOptional::Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
                         TDTDFailure& failure) const
{
    if (!item->MayBeginAt(cursor))
        return true;
    const TXMLToken* start = cursor;
    TXMLItem* lastBefore = parent.GetLastChild();
    if (item->Match(parent, cursor, failure))
        return true;
    if (failure.fatal)
        return false;
    Backtrack(parent, lastBefore, cursor, start);
    return true;
}

namespace {

// Zero or more further matches of item; a loop, so the item count never reaches the stack.
bool RepeatItem(const TDTDItem* item, TXMLComplexElement& parent, const TXMLToken*& cursor,
                TDTDFailure& failure)
{
    for (;;) {
        if (!item->MayBeginAt(cursor))
            return true;
        const TXMLToken* start = cursor;
        TXMLItem* lastBefore = parent.GetLastChild();
        if (item->Match(parent, cursor, failure)) {
            // An item that matched nothing would match nothing forever.
            if (cursor == start)
                return true;
            continue;
        }
        if (failure.fatal)
            return false;
        Backtrack(parent, lastBefore, cursor, start);
        return true;
    }
}

} // namespace

TDTDRepeatMin0::TDTDRepeatMin0(const TDTDItem* repeatedItem)
    : TDTDExpression(true), item(Operand(repeatedItem))
{
    KV_SOFT_ASSERT(!item->CanBeEmpty());
    MayBeginAs(item);
}

bool TDTDRepeatMin0::Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
                           TDTDFailure& failure) const
{
    return RepeatItem(item, parent, cursor, failure);
}

TDTDRepeatMin1::TDTDRepeatMin1(const TDTDItem* repeatedItem)
    : TDTDExpression(MatchesNothing(repeatedItem)), item(Operand(repeatedItem))
{
    KV_SOFT_ASSERT(!item->CanBeEmpty());
    MayBeginAs(item);
}

bool TDTDRepeatMin1::Match(TXMLComplexElement& parent, const TXMLToken*& cursor,
                           TDTDFailure& failure) const
{
    if (!item->Match(parent, cursor, failure))
        return false;
    return RepeatItem(item, parent, cursor, failure);
}

} // namespace kelvorn
