#pragma once
// The document kinds the program can edit, registered at start. The main window looks a
// window's kind up here; a kind nobody registered has no commands, and its documents are
// refused with a message.

#include "window_base/DocumentKindUI.h"

#include <memory>
#include <vector>

namespace kelvorn {

/// window when its document is of kind, else null.
TMDIChildKelvorn* WindowOfKind(TMDIChildKelvorn* window, DocumentKind kind);

/// unit when it is of kind, else null.
TFileUnit* UnitOfKind(TFileUnit* unit, DocumentKind kind);

class TKindRegistry
{
public:
    /// Takes the kind; one of the same DocumentKind registered before is replaced. A kind the
    /// stored files do not know yet joins their table with facts.
    void Register(std::unique_ptr<TDocumentKindUI> kind, const DocumentKindFacts* facts = nullptr);
    /// Forgets the kind (its owner is going away).
    void Unregister(DocumentKind kind);
    /// The registered kind, or null.
    TDocumentKindUI* Find(DocumentKind kind) const;
    /// The kind of window's document, or null.
    TDocumentKindUI* Of(const TMDIChildKelvorn* window) const;
    /// The kind whose files end in extension (with or without the dot, any case), or null.
    TDocumentKindUI* ForExtension(std::string extension) const;

private:
    std::vector<std::unique_ptr<TDocumentKindUI>> kinds;
};

} // namespace kelvorn
