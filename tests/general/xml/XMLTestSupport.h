#pragma once
// The XML tests' compact renderings of token chains and element trees, and the file helpers.

#include "general/xml/XMLElement.h"
#include "general/xml/XMLToken.h"
#include "platform/test/RecordingMessages.h"
#include "support/Files.h"

#include <string>
#include <vector>

namespace kelvorn::xmltest {

using RecordingSink = RecordingMessages;
using test::ReadAll;
using test::TempDir;
using test::WithCrLf;
using test::WriteAll;

/// The two lines every file of the dialect starts with; the reader skips them unread.
inline const std::string header = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                  "<!DOCTYPE Doc SYSTEM \"Doc.dtd\">\n";

/// One token as "kind:value@line,column", e.g. "B:Frame@3,7", "T:x y@4,2", "EOF@4,0".
inline std::string Describe(const TXMLToken& token)
{
    static const char* const kinds[] = {"T:", "B:", "E:", "M:", "EOF", "ERR:", "FILE"};
    const TXMLTokenKind kind = token.GetTokenKind();
    std::string s = kinds[kind];
    if (kind == xmlTokenAttr)
        s += token.GetText();
    else if (kind == xmlTokenBegin || kind == xmlTokenEnd || kind == xmlTokenEmpty)
        s += token.GetName();
    else if (kind == xmlTokenError)
        s += token.GetError();
    return s + "@" + std::to_string(token.GetLine()) + "," + std::to_string(token.GetColumn());
}

/// The chain behind a head, one entry per token.
inline std::vector<std::string> Chain(const TXMLToken& head)
{
    std::vector<std::string> out;
    for (const TXMLToken* t = head.GetNext(); t; t = t->GetNext())
        out.push_back(Describe(*t));
    return out;
}

/// A tree as Name(child,child) for complex and Name=text for text elements.
inline std::string Render(const TXMLItem& item)
{
    if (item.IsText())
        return item.GetElement() + "=" + item.GetText();
    std::string s = item.GetElement();
    const TXMLItem* child = item.GetFirstChild();
    if (!child)
        return s;
    for (char sep = '('; child; child = child->GetNext(), sep = ',')
        s += sep + Render(*child);
    return s + ")";
}

} // namespace kelvorn::xmltest
