#include "document/views/ViewXml.h"

#include "general/Assert.h"

#include <iterator>

namespace kelvorn::viewxml {

bool Missing(const TXMLItem* parent, const TXMLItem* at, const std::string& name,
             std::string& message, int32_t& line, int32_t& column)
{
    message = "In " + (parent ? parent->GetElement() : std::string("?")) + ": element \"" + name +
              "\" expected.";
    const TXMLItem* where = at ? at : parent;
    if (where) {
        line = where->GetLine();
        column = where->GetColumn();
    }
    return false;
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
