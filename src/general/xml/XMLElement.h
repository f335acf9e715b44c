#pragma once
// The element tree every document format builds to save itself and that every load produces.
// A complex element holds child elements only, a text element a text only. Children form a
// singly linked list owned by their parent; the parent keeps its last child so that appending
// (and the parser's backtracking) costs O(1), and destruction walks the tree with an explicit
// work list so that neither a million siblings nor a deep tree can exhaust the stack.
//
// Elements that a parse creates come from one arena per parse (see TXMLArenaScope): they lie
// side by side in memory, cost a pointer bump to create and nothing to free one by one, and the
// arena's blocks go when its last element is destroyed. Elements made elsewhere use the heap.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace kelvorn {

class TXMLComplexElement;
class TXMLStringElement;

class TXMLItem
{
public:
    enum Kind : uint8_t { KindComplex = 0, KindText = 1 };

    virtual ~TXMLItem() = default;
    TXMLItem(const TXMLItem&) = delete;
    TXMLItem& operator=(const TXMLItem&) = delete;

    /// From the arena of the current TXMLArenaScope of this thread, or from the heap.
    static void* operator new(size_t size);
    static void operator delete(void* item) noexcept;

    /// The element name.
    const std::string& GetElement() const { return name; }
    uint8_t GetKind() const { return kind; }
    bool IsText() const { return kind == KindText; }

    /// The first direct child with exactly this name, or nullptr. Complex elements only.
    virtual TXMLItem* GetChild(const std::string& childName) const;
    /// The first child, or nullptr. Complex elements only.
    virtual TXMLItem* GetFirstChild() const;
    /// The text. Text elements only.
    virtual const std::string& GetText() const;

    /// The next sibling, or nullptr.
    TXMLItem* GetNext() const { return next; }

    /// Where the begin tag stood in the file it was read from; 0, 0 for elements built in memory.
    int32_t GetLine() const { return line; }
    int32_t GetColumn() const { return column; }
    void SetPosition(int32_t lineNumber, int32_t columnNumber)
    {
        line = lineNumber;
        column = columnNumber;
    }

protected:
    // Names and texts are copied once, straight into place: a parse makes millions of them.
    TXMLItem(std::string_view elementName, Kind itemKind) : name(elementName), kind(itemKind) {}

private:
    friend class TXMLComplexElement;
    TXMLItem* next = nullptr; // owned by the parent's list, not by this item
    std::string name;
    Kind kind;
    int32_t line = 0;
    int32_t column = 0;
};

class TXMLComplexElement final : public TXMLItem
{
public:
    explicit TXMLComplexElement(std::string_view elementName) : TXMLItem(elementName, KindComplex)
    {
    }
    ~TXMLComplexElement() override;

    TXMLItem* GetChild(const std::string& childName) const override;
    TXMLItem* GetFirstChild() const override { return firstChild; }
    TXMLItem* GetLastChild() const { return lastChild; }

    /// Takes ownership of item, appends it as the last child and returns the previous last
    /// child (nullptr when there was none).
    TXMLItem* AppendChild(std::unique_ptr<TXMLItem> item);

    /// Convenience: appends a new childless complex element and returns it.
    TXMLComplexElement* AddComplex(const std::string& childName);
    /// Convenience: appends a new text element and returns it.
    TXMLStringElement* AddText(const std::string& childName, const std::string& text);

    /// Destroys every child after the given one and ends the list there; with nullptr destroys
    /// all children. The parser backtracks with it.
    void DeleteChildrenAfter(TXMLItem* child);

    /// Forgets the children without freeing them; only the tree's own destruction uses it,
    /// after it has taken the children onto its work list.
    void ReleaseChildrenForDestruction()
    {
        firstChild = nullptr;
        lastChild = nullptr;
    }

private:
    TXMLItem* firstChild = nullptr;
    TXMLItem* lastChild = nullptr;
};

class TXMLStringElement final : public TXMLItem
{
public:
    TXMLStringElement(std::string_view elementName, std::string_view elementText)
        : TXMLItem(elementName, KindText), text(elementText)
    {
    }

    const std::string& GetText() const override { return text; }
    void SetText(std::string newText) { text = std::move(newText); }

private:
    std::string text;
};

/// While one lives, the elements this thread creates are allocated together from one arena. The
/// arena lives on until the scope has ended and the last of its elements is destroyed, so trees
/// built under a scope may be kept and destroyed whenever their owner likes. Memory of elements
/// destroyed early (a parser backing off) is only reclaimed with the whole arena. A tree must
/// not be destroyed on two threads at once (no tree is ever shared between threads).
class TXMLArenaScope
{
public:
    TXMLArenaScope();
    ~TXMLArenaScope();
    TXMLArenaScope(const TXMLArenaScope&) = delete;
    TXMLArenaScope& operator=(const TXMLArenaScope&) = delete;

private:
    void* arena;
    void* previous;
};

} // namespace kelvorn
