#pragma once
// The kinds of document. Their numbers are stored in files (a project's windows, the side files
// of old versions), so they never change: 1 wave, 2 music piece, 3 sound factory.
//
// The model keeps one small table of what the stored files say of each kind: the element that
// holds a document in a project, the extension of its files and of its copies, and the words
// the program's messages use for it. The three kinds of the formats are always there, whether
// or not the program can edit them yet; a kind added at run time extends the table.

#include <cstdint>
#include <string>
#include <vector>

namespace kelvorn {

enum class DocumentKind : uint8_t { None = 0, Wave = 1, Music = 2, Factory = 3 };

struct DocumentKindFacts
{
    DocumentKind kind = DocumentKind::None;
    /// The element of a project's "Window" that holds such a document ("Wave").
    std::string projectElement;
    /// The extension of its files and of its copies in a project, with the dot (".wav").
    std::string extension;
    /// The singular word of the close question ("Wave").
    std::string word;
    /// The plural of messages that refuse such documents ("Music pieces").
    std::string pluralWord;
};

/// Every kind known, in the order of their numbers for the built-in ones.
const std::vector<DocumentKindFacts>& DocumentKinds();
/// The facts of kind, or null for a kind nobody added.
const DocumentKindFacts* FindDocumentKind(DocumentKind kind);
/// The kind whose project element is element, or None.
DocumentKind DocumentKindOfElement(const std::string& element);
/// Adds a kind beyond the built-in three, or replaces the facts of one with the same number.
void AddDocumentKind(const DocumentKindFacts& facts);
/// Removes a kind added with AddDocumentKind (the built-in ones stay).
void RemoveDocumentKind(DocumentKind kind);
/// A number that changes whenever the table changes, for what is made from it.
uint32_t DocumentKindsGeneration();

} // namespace kelvorn
