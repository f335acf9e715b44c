// Tokenize, check against the grammar and read a factory file from memory, validate the factory,
// then write it and read it back. Invariant: no input reaches an assertion or a question; a
// refused file or a failed validation comes with a message; a factory read saves a file that
// reads back, and, its nodes named apart, writes the same bytes again.
#include "FuzzSupport.h"

#include "factory/builtins/BuiltinNode.h"
#include "factory/core/FactoryFile.h"
#include "factory/core/UnitSountory.h"
#include "general/xml/XMLToken.h"

#include <cstdint>
#include <memory>
#include <set>
#include <string>

using namespace kelvorn;
using kelvorn::fuzz::Require;

namespace {

// Every factory a node runs is the one being read, so validation reaches the user and repeat
// nodes' synchronisation and the recursion check.
class SelfHost final : public FactoryHost
{
public:
    SoundPtr FindWaveSound(const std::string&) override { return nullptr; }
    TUnitSountory* FindFactory(const std::string&) override { return current; }
    std::vector<TUnitSountory*> ListFactories(const TUnitSountory*) override { return {}; }
    bool CheckUniqueName(const std::string&, const TUnitSountory*) override { return true; }
    void ShowStatusText(const std::string&) override {}
    bool ConfirmWarning(const std::string&, const std::string&) override
    {
        Require(false);
        return false;
    }

    TUnitSountory* current = nullptr;
};

bool Read(TUnitSountory& doc, std::string bytes, std::string& message)
{
    std::string version;
    auto tokens = TXMLToken::FromMemory(std::move(bytes), version);
    return ReadFactoryTokens(doc, *tokens, version, message);
}

// Connections name their nodes, and a load reverses the nodes: of two nodes named alike, the
// one a name finds changes with each load.
bool NodeNamesUnique(const TUnitSountory& doc)
{
    std::set<std::string> names;
    for (const auto& node : doc.Nodes())
        if (!names.insert(node->Name).second)
            return false;
    return true;
}

std::string Write(const TUnitSountory& doc)
{
    std::string text;
    std::string error;
    Require(FormatFactoryFile(doc, text, error));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    kelvorn::fuzz::InstallNoBoxes();
    static TBuiltinNodeMaker* installed =
        (InstallService<TBuiltinNodeMaker>(&GetBuiltinNodeMaker()), &GetBuiltinNodeMaker());
    (void)installed;

    SelfHost host;
    TUnitSountory doc("fuzz", "", host);
    host.current = &doc;
    std::string message;
    if (!Read(doc, std::string(reinterpret_cast<const char*>(data), size), message)) {
        Require(!message.empty());
        return 0;
    }
    std::string validation;
    if (!doc.ValidateFactory(1, validation))
        Require(!validation.empty());
    const std::string written = Write(doc);

    TUnitSountory again("again", "", host);
    host.current = &again;
    Require(Read(again, written, message));
    // The second file lists the nodes in reverse; read once more it is the first again.
    TUnitSountory third("third", "", host);
    Require(Read(third, Write(again), message));
    Require(Write(third) == written || !NodeNamesUnique(doc));
    return 0;
}
