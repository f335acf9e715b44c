#pragma once
// Helpers shared by the XML tests: a message sink that records assertion boxes, a compact
// rendering of token chains and element trees, and file helpers.

#include "general/Messages.h"
#include "platform/test/RecordingMessages.h"
#include "general/xml/XMLElement.h"
#include "general/xml/XMLToken.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace kelvorn::xmltest {

using RecordingSink = RecordingMessages;

/// The two lines every file of the dialect starts with; the reader skips them unread.
inline const std::string header = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                  "<!DOCTYPE Doc SYSTEM \"Doc.dtd\">\n";


/// One token as "kind:value@line,column", e.g. "B:Frame@3,7", "T:x y@4,2", "EOF@4,0".
inline std::string Describe(const TXMLToken& token)
{
    std::string s;
    switch (token.GetTokenKind()) {
    case xmlTokenAttr:
        s = "T:" + std::string(token.GetText());
        break;
    case xmlTokenBegin:
        s = "B:" + std::string(token.GetName());
        break;
    case xmlTokenEnd:
        s = "E:" + std::string(token.GetName());
        break;
    case xmlTokenEmpty:
        s = "M:" + std::string(token.GetName());
        break;
    case xmlTokenEof:
        s = "EOF";
        break;
    case xmlTokenError:
        s = "ERR:" + token.GetError();
        break;
    case xmlTokenFile:
        s = "FILE";
        break;
    }
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

/// A tree as Name(child, child) for complex and Name=text for text elements, without recursion
/// over siblings (the trees of the tests are shallow).
inline std::string Render(const TXMLItem& item)
{
    if (item.IsText())
        return item.GetElement() + "=" + item.GetText();
    std::string s = item.GetElement();
    const TXMLItem* child = item.GetFirstChild();
    if (!child)
        return s;
    s += "(";
    // Appended in steps: "text" + std::string&& draws a false g++ 12 warning at -O2.
    for (bool first = true; child; child = child->GetNext(), first = false) {
        if (!first)
            s += ",";
        s += Render(*child);
    }
    return s + ")";
}

inline std::string ReadAll(const std::filesystem::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteAll(const std::filesystem::path& p, const std::string& bytes)
{
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << bytes;
}

/// A private directory for one test, removed afterwards.
class TempDir
{
public:
    explicit TempDir(const std::string& tag)
        : path(std::filesystem::temp_directory_path() /
               ("kv-" + tag + "-" + std::to_string(::getpid())))
    {
        std::filesystem::remove_all(path);
        std::filesystem::create_directories(path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    size_t Count() const
    {
        return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(path),
                                                 std::filesystem::directory_iterator()));
    }
    std::filesystem::path path;
};

} // namespace kelvorn::xmltest
