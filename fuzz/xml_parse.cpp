// Tokenize and parse against a small grammar that uses every operator. Invariant: a failure with
// a message, or a consistent tree that the writer writes and the reader reads back unchanged.
#include "FuzzSupport.h"
#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLToken.h"
#include "general/xml/XMLWriter.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::fuzz;

namespace {

// Doc: Version, an optional Head (Title, Tag*), then any number of Item (Name, optional Sub) or
// Note or Blank in any order, then one or more End, and a shared text element "Name".
const TDTDItem* Grammar()
{
    static TDTDGrammar g;
    static const TDTDItem* root = [] {
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
    TXMLComplexElement root("Root");
    const TXMLToken* cursor = head.get();
    std::string error;
    bool fatal = false;
    bool ok = Grammar()->Parse(root, cursor, error, fatal);
    CheckTree(root);
    if (!ok) {
        Require(!error.empty());
        Require(error.find(" at line ") != std::string::npos);
        return 0;
    }
    Require(root.GetFirstChild() && root.GetFirstChild() == root.GetLastChild());
    Require(root.GetFirstChild()->GetElement() == "Doc");

    // Write what was read; read it again; it must give the same text.
    std::string written;
    if (!FormatXMLFile(*root.GetFirstChild(), "", written, error)) {
        // A text of control bytes only trims to nothing on reading.
        Require(error.find("its text is empty.") != std::string::npos);
        return 0;
    }
    std::string again;
    auto head2 = TXMLToken::FromMemory(written, again);
    Require(head2->GetTokenKind() == xmlTokenFile);
    Require(again == root.GetFirstChild()->GetChild("Version")->GetText());
    TXMLComplexElement root2("Root");
    cursor = head2.get();
    Require(Grammar()->Parse(root2, cursor, error, fatal));
    std::string rewritten;
    Require(FormatXMLFile(*root2.GetFirstChild(), "", rewritten, error));
    Require(rewritten == written);
    return 0;
}
