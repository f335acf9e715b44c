#include "document/DocumentKind.h"

#include <algorithm>

namespace kelvorn {

namespace {

std::vector<DocumentKindFacts>& Table()
{
    static std::vector<DocumentKindFacts> table{
        {DocumentKind::Wave, "Wave", ".wav", "Wave", "Waves"},
        {DocumentKind::Music, "Music", ".kvm", "Music", "Music pieces"},
        {DocumentKind::Factory, "Factory", ".kvf", "Factory", "Sound factories"},
    };
    return table;
}

uint32_t generation = 1;

bool IsBuiltIn(DocumentKind kind)
{
    return kind == DocumentKind::Wave || kind == DocumentKind::Music ||
           kind == DocumentKind::Factory;
}

} // namespace

const std::vector<DocumentKindFacts>& DocumentKinds()
{
    return Table();
}

const DocumentKindFacts* FindDocumentKind(DocumentKind kind)
{
    const auto& table = Table();
    auto found = std::find_if(table.begin(), table.end(), [kind](const DocumentKindFacts& facts) {
        return facts.kind == kind;
    });
    return found == table.end() ? nullptr : &*found;
}

DocumentKind DocumentKindOfElement(const std::string& element)
{
    for (const DocumentKindFacts& facts : Table())
        if (facts.projectElement == element)
            return facts.kind;
    return DocumentKind::None;
}

void AddDocumentKind(const DocumentKindFacts& facts)
{
    if (facts.kind == DocumentKind::None)
        return;
    auto& table = Table();
    for (DocumentKindFacts& known : table)
        if (known.kind == facts.kind) {
            known = facts;
            ++generation;
            return;
        }
    table.push_back(facts);
    ++generation;
}

void RemoveDocumentKind(DocumentKind kind)
{
    if (IsBuiltIn(kind))
        return;
    auto& table = Table();
    table.erase(
        std::remove_if(table.begin(), table.end(),
                       [kind](const DocumentKindFacts& facts) { return facts.kind == kind; }),
        table.end());
    ++generation;
}

uint32_t DocumentKindsGeneration()
{
    return generation;
}

} // namespace kelvorn
