#include "shell/KindRegistry.h"

#include "window_base/ChildKelvorn.h"

#include <algorithm>
#include <cctype>

namespace kelvorn {

TMDIChildKelvorn* WindowOfKind(TMDIChildKelvorn* window, DocumentKind kind)
{
    return window && window->GetUnit() && window->GetKind() == kind ? window : nullptr;
}

TFileUnit* UnitOfKind(TFileUnit* unit, DocumentKind kind)
{
    return unit && unit->GetKind() == kind ? unit : nullptr;
}

void TKindRegistry::Register(std::unique_ptr<TDocumentKindUI> kind, const DocumentKindFacts* facts)
{
    if (!kind)
        return;
    if (facts && facts->kind == kind->GetKind())
        AddDocumentKind(*facts);
    for (auto& known : kinds)
        if (known->GetKind() == kind->GetKind()) {
            known = std::move(kind);
            return;
        }
    kinds.push_back(std::move(kind));
}

void TKindRegistry::Unregister(DocumentKind kind)
{
    kinds.erase(std::remove_if(kinds.begin(), kinds.end(),
                               [kind](const auto& known) { return known->GetKind() == kind; }),
                kinds.end());
}

TDocumentKindUI* TKindRegistry::Find(DocumentKind kind) const
{
    for (const auto& known : kinds)
        if (known->GetKind() == kind)
            return known.get();
    return nullptr;
}

TDocumentKindUI* TKindRegistry::Of(const TMDIChildKelvorn* window) const
{
    return window && window->GetUnit() ? Find(window->GetKind()) : nullptr;
}

TDocumentKindUI* TKindRegistry::ForExtension(std::string extension) const
{
    if (!extension.empty() && extension.front() != '.')
        extension.insert(extension.begin(), '.');
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (const DocumentKindFacts& facts : DocumentKinds())
        if (facts.extension == extension)
            return Find(facts.kind);
    return nullptr;
}

} // namespace kelvorn
