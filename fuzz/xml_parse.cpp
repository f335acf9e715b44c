// Tokenize and parse against a small grammar that uses every operator, then against the grammar
// of every stored format: project 8.0 and 9.0, wave side file, music 7.0 and 7.1, palette.
// Invariant: a failure with a message that says where, or a consistent tree that the writer
// writes and the reader reads back as the same text. The dictionary xml_parse.dict holds the
// dialect's tokens and every element name of these grammars.
#include "FuzzSupport.h"
#include "document/ProjectFile.h"
#include "document/wave/SideFile.h"
#include "general/palette/ColorPalette1D.h"
#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLToken.h"
#include "general/xml/XMLWriter.h"
#include "music/core/MuzFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::fuzz;

namespace {

// Doc: Version, an optional Head (Title, Tag*), then any number of Item (Name, optional Sub) or
// Note or Blank in any order, then one or more End, and a shared text element "Name".
const TDTDCompound* Grammar()
{
    static TDTDGrammar g;
    static const TDTDCompound* root = [] {
        auto* empty = g.Make<TDTDEmpty>();
        auto* name = g.Make<TDTDContentText>("Name");
        auto* head = g.Make<TDTDCompound>(
            "Head", g.Make<TDTDConcat>(g.Make<TDTDContentText>("Title"),
                                       g.Make<TDTDRepeatMin0>(g.Make<TDTDContentText>("Tag"))));
        auto* item = g.Make<TDTDCompound>(
            "Item", g.Make<TDTDConcat>(name, g.Make<TDTDOptional>(g.Make<TDTDCompound>(
                                                 "Sub", g.Make<TDTDOptional>(name)))));
        auto* body = g.Make<TDTDRepeatMin0>(
            g.Make<TDTDChoice>(item, g.Make<TDTDChoice>(g.Make<TDTDContentText>("Note"),
                                                        g.Make<TDTDCompound>("Blank", empty))));
        auto* ends = g.Make<TDTDRepeatMin1>(g.Make<TDTDCompound>("End", empty));
        return g.Make<TDTDCompound>(
            "Doc", g.Make<TDTDConcat>(g.Make<TDTDContentText>("Version"),
                                      g.Make<TDTDConcat>(g.Make<TDTDOptional>(head),
                                                         g.Make<TDTDConcat>(body, ends))));
    }();
    return root;
}

// Every list ends at its parent's last child and holds only names of the grammar.
void CheckTree(const TXMLComplexElement& root)
{
    std::vector<const TXMLComplexElement*> work{&root};
    while (!work.empty()) {
        const TXMLComplexElement* element = work.back();
        work.pop_back();
        const TXMLItem* last = nullptr;
        for (const TXMLItem* c = element->GetFirstChild(); c; c = c->GetNext()) {
            Require(!c->GetElement().empty());
            if (c->IsText()) {
                Require(c->GetText().find_first_of("<>") == std::string::npos);
            } else {
                work.push_back(static_cast<const TXMLComplexElement*>(c));
            }
            last = c;
        }
        Require(element->GetLastChild() == last);
    }
}

// Parses the chain against grammar. A failure says where; a tree that matched is one root
// element, which the writer writes, which reads back against the same grammar, and which is
// written again as the same text. A text element read is never empty: the writer takes it.
void ParseAndRoundTrip(const TDTDCompound& grammar, const TXMLToken& head)
{
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = &head;
    std::string error;
    bool fatal = false;
    bool ok = grammar.Parse(root, cursor, error, fatal);
    CheckTree(root);
    if (!ok) {
        Require(!error.empty());
        Require(error.find(" at line ") != std::string::npos ||
                error.find("unexpected token.") != std::string::npos);
        return;
    }
    Require(root.GetFirstChild() && root.GetFirstChild() == root.GetLastChild());
    Require(root.GetFirstChild()->GetElement() == grammar.GetName());

    std::string written;
    Require(FormatXMLFile(*root.GetFirstChild(), "", written, error));
    std::string version;
    auto head2 = TXMLToken::FromMemory(written, version);
    Require(head2->GetTokenKind() == xmlTokenFile);
    // Every format opens with its version, which the tokenizer captures on the way.
    if (const TXMLItem* versionElement = root.GetFirstChild()->GetChild("Version"))
        Require(version == versionElement->GetText());
    TXMLComplexElement root2("Root");
    cursor = head2.get();
    Require(grammar.Parse(root2, cursor, error, fatal));
    std::string rewritten;
    Require(FormatXMLFile(*root2.GetFirstChild(), "", rewritten, error));
    Require(rewritten == written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    InstallNoBoxes();

    std::string version;
    auto head =
        TXMLToken::FromMemory(std::string(reinterpret_cast<const char*>(data), size), version);
    if (head->GetTokenKind() == xmlTokenError) {
        Require(!head->GetError().empty());
        return 0;
    }
    ParseAndRoundTrip(*Grammar(), *head);
    ParseAndRoundTrip(*ProjectGrammar("9.0"), *head);
    ParseAndRoundTrip(*ProjectGrammar("8.0"), *head);
    ParseAndRoundTrip(UnitWaveGrammar(), *head);
    ParseAndRoundTrip(*MuzGrammars().dtd70, *head);
    ParseAndRoundTrip(*MuzGrammars().dtd71, *head);
    ParseAndRoundTrip(PaletteFileGrammar(), *head);
    return 0;
}
