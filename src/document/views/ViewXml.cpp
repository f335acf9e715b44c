#include "document/views/ViewXml.h"

#include "general/Assert.h"

#include <iterator>
#include <utility>

namespace kelvorn::viewxml {

bool Fail(const TXMLItem* at, std::string text, std::string& message, int32_t& line,
          int32_t& column)
{
    if (at) {
        line = at->GetLine();
        column = at->GetColumn();
    }
    message = std::move(text);
    return false;
}

std::string AtPosition(int32_t line, int32_t column)
{
    return " At line " + std::to_string(line) + ", column " + std::to_string(column + 1) + ".";
}

bool Missing(const TXMLItem* parent, const TXMLItem* at, const std::string& name,
             std::string& message, int32_t& line, int32_t& column)
{
    return Fail(at ? at : parent,
                "In " + (parent ? parent->GetElement() : std::string("?")) + ": element \"" + name +
                    "\" expected.",
                message, line, column);
}

bool ReadValue(unit& value, const TXMLItem* xml, const std::string& label, std::string& message,
               int32_t& line, int32_t& column)
{
    if (!KV_SOFT_ASSERT(xml != NULL))
        return false;
    line = xml->GetLine();
    column = xml->GetColumn();
    static const std::string noText;
    return value.FromText(xml->IsText() ? xml->GetText() : noText, label, message);
}

bool ReadColor(int32_t& color, const TXMLItem* xml, std::string& message, int32_t& line,
               int32_t& column)
{
    unitColor read(color, EHNone);
    if (!read.ReadXML(xml, message, line, column))
        return false;
    color = read.color;
    return true;
}

void AddColor(TXMLComplexElement& parent, const std::string& name, int32_t color)
{
    unitColor(color, EHNone).AddToXML(parent, name);
}

const TDTDItem* Sequence(TDTDGrammar& grammar, std::initializer_list<const TDTDItem*> items)
{
    const TDTDItem* tail = nullptr;
    for (auto it = std::rbegin(items); it != std::rend(items); ++it)
        tail = tail ? grammar.Make<TDTDConcat>(*it, tail) : *it;
    return tail;
}

const TDTDItem* Choice(TDTDGrammar& grammar, std::initializer_list<const TDTDItem*> items)
{
    const TDTDItem* tail = nullptr;
    for (auto it = std::rbegin(items); it != std::rend(items); ++it)
        tail = tail ? grammar.Make<TDTDChoice>(*it, tail) : *it;
    return tail;
}

} // namespace kelvorn::viewxml
