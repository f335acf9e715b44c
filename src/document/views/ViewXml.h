#pragma once
// What the readers and writers of the view elements share: a walk over an element's children
// that a grammar has already checked, and the reading of one value or colour with its position.
// A child that is missing or misplaced can only come from a tree no grammar checked: the caller
// shows the assertion box and stops with a message naming the element it expected.

#include "general/values/ValueUnits.h"
#include "general/xml/XMLElement.h"
#include "general/xml/XMLGrammar.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <string_view>

namespace kelvorn::viewxml {

[[gnu::always_inline]] inline bool IsElement(const TXMLItem* xml, std::string_view name)
{
    // Readers ask this of every element, mostly with a literal name: its length is known where
    // the call is made, and the bytes are compared in place (so always inlined).
    if (xml == nullptr)
        return false;
    const std::string& element = xml->GetElement();
    return element.size() == name.size() &&
           std::memcmp(element.data(), name.data(), name.size()) == 0;
}

/// The first child of a complex element; nullptr for none or for a text element.
inline const TXMLItem* FirstChild(const TXMLItem* xml)
{
    return xml != nullptr && !xml->IsText() ? xml->GetFirstChild() : nullptr;
}

/// text as the message, with the position of at when it is given; returns false.
bool Fail(const TXMLItem* at, std::string text, std::string& message, int32_t& line,
          int32_t& column);

/// " At line <line>, column <column>.", the end of a reader's message (columns count from 1).
std::string AtPosition(int32_t line, int32_t column);

/// "In <parent>: element "<name>" expected." with the position of at (or of parent when at is
/// nullptr); returns false.
bool Missing(const TXMLItem* parent, const TXMLItem* at, const std::string& name,
             std::string& message, int32_t& line, int32_t& column);

/// Stores xml's line and column, then parses its text into value under label.
bool ReadValue(unit& value, const TXMLItem* xml, const std::string& label, std::string& message,
               int32_t& line, int32_t& column);

/// Stores xml's line and column, then reads its text as a colour:
/// "In <name>: Invalid Hexdecimal value: "<text>"." on failure.
bool ReadColor(int32_t& color, const TXMLItem* xml, std::string& message, int32_t& line,
               int32_t& column);

/// Appends a text element holding the colour as six upper-case hexadecimal digits.
void AddColor(TXMLComplexElement& parent, const std::string& name, int32_t color);

/// a, b, c, ... as Concat(a, Concat(b, Concat(c, ...))), made in grammar. At least one item.
const TDTDItem* Sequence(TDTDGrammar& grammar, std::initializer_list<const TDTDItem*> items);
/// a | b | c ... as Choice(a, Choice(b, ...)), made in grammar. At least one item.
const TDTDItem* Choice(TDTDGrammar& grammar, std::initializer_list<const TDTDItem*> items);

} // namespace kelvorn::viewxml
