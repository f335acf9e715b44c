#include "general/xml/XMLWriter.h"

#include "general/files/SafeFile.h"
#include "general/xml/XMLToken.h"

#include <new>
#include <vector>

namespace kelvorn {

namespace {

// Both header lines are skipped blindly by the reader, up to 98 bytes each with the line feed.
constexpr size_t headerLineLimit = 98;

bool IsNameByte(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

std::string ElementWords(const std::string& name)
{
    return "Cannot write element \"" + TXMLToken::Quote(name) + "\": ";
}

bool CheckName(const std::string& name, std::string& error)
{
    bool ok = !name.empty();
    for (unsigned char c : name)
        ok = ok && IsNameByte(c);
    if (!ok)
        error = ElementWords(name) + "an element name holds ASCII letters and digits only.";
    return ok;
}

// The reader stops a text at "<", refuses ">", and trims every byte below 33 from both ends; a
// text that trims to nothing is refused by the grammars.
bool CheckText(const std::string& name, const std::string& text, std::string& error)
{
    bool visible = false;
    for (unsigned char c : text) {
        if (c == '<' || c == '>') {
            error = ElementWords(name) + "its text \"" + TXMLToken::Quote(text) +
                    "\" holds \"<\" or \">\".";
            return false;
        }
        visible = visible || c > 32;
    }
    if (!visible) {
        error = ElementWords(name) + "its text is empty.";
        return false;
    }
    return true;
}

void Indent(std::string& out, int depth)
{
    out.append(static_cast<size_t>(depth) * 2, ' ');
}

} // namespace

bool WriteXMLElement(const TXMLItem& element, int depth, std::string& out, std::string& error)
{
    // Complex elements whose children are being written, each with the child that comes next.
    struct Open
    {
        const TXMLItem* element;
        const TXMLItem* nextChild;
        int depth;
    };
    std::vector<Open> open;

    auto begin = [&](const TXMLItem& item, int itemDepth) {
        const std::string& name = item.GetElement();
        if (!CheckName(name, error))
            return false;
        Indent(out, itemDepth);
        out += '<';
        out += name;
        if (item.IsText()) {
            const std::string& text = item.GetText();
            if (!CheckText(name, text, error))
                return false;
            out += '>';
            out += text;
            out += "</";
            out += name;
            out += ">\n";
            return true;
        }
        const TXMLItem* first = static_cast<const TXMLComplexElement&>(item).GetFirstChild();
        if (!first) {
            out += " />\n";
            return true;
        }
        out += ">\n";
        open.push_back({&item, first, itemDepth});
        return true;
    };

    if (!begin(element, depth))
        return false;
    while (!open.empty()) {
        Open& top = open.back();
        if (const TXMLItem* child = top.nextChild) {
            top.nextChild = child->GetNext();
            if (!begin(*child, top.depth + 1))
                return false;
            continue;
        }
        Indent(out, top.depth);
        out += "</";
        out += top.element->GetElement();
        out += ">\n";
        open.pop_back();
    }
    return true;
}

bool FormatXMLFile(const TXMLItem& root, const std::string& doctypeSuffix, std::string& out,
                   std::string& error)
{
    const std::string& name = root.GetElement();
    if (!CheckName(name, error))
        return false;
    for (unsigned char c : doctypeSuffix) {
        if (c < 32 || c > 126) {
            error = ElementWords(name) + "the document type suffix holds a control character.";
            return false;
        }
    }
    std::string type = name + doctypeSuffix;
    std::string doctype = "<!DOCTYPE " + type + " SYSTEM \"" + type + ".dtd\">\n";
    if (doctype.size() > headerLineLimit) {
        error = ElementWords(name) + "the name is too long for the document type line.";
        return false;
    }
    out += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";
    out += doctype;
    out += '\n';
    return WriteXMLElement(root, 0, out, error);
}

bool WriteXMLFile(const TXMLItem& root, const std::string& fileName, std::string& error,
                  const std::string& doctypeSuffix)
{
    std::string text;
    try {
        if (!FormatXMLFile(root, doctypeSuffix, text, error))
            return false;
    } catch (const std::bad_alloc&) {
        error = "not enough memory to write file.";
        return false;
    }
    SafeFileWriter writer(fileName);
    if (writer.Open() && writer.Write(text) && writer.Commit())
        return true;
    if (writer.OpenFailed())
        error = "Operating System cannot open file for writing, maybe the file is readonly.";
    else
        error =
            "Operating System cannot write file, maybe the disk is full (" + writer.Reason() + ").";
    return false;
}

} // namespace kelvorn
