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
//
// A file of 40,000 notes makes 160,000 elements, so an element is kept small: no virtual
// table (the kind says what an element is, and delete dispatches on it), and its name is a
// pointer to the one copy of that name the program keeps (TXMLName).

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace kelvorn {

class TXMLComplexElement;
class TXMLStringElement;

/// An element name, kept once for the program's life: the names of a program's formats are
/// few, and every element that bears one points to the same copy. Making one from a text costs
/// a lookup; copying one costs a pointer.
class TXMLName
{
public:
    explicit TXMLName(std::string_view name);

    const std::string& Text() const { return *text; }

    /// Whether two names are the same. Names are short and compared at nearly every tag: up to
    /// sixteen bytes are compared as two words or two half words, overlapping where the name is
    /// shorter, with no call.
    static bool Same(std::string_view a, std::string_view b)
    {
        const size_t n = a.size();
        if (n != b.size())
            return false;
        const char* p = a.data();
        const char* q = b.data();
        if (n > 16)
            return std::memcmp(p, q, n) == 0;
        if (n >= 8)
            return Load<uint64_t>(p) == Load<uint64_t>(q) &&
                   Load<uint64_t>(p + n - 8) == Load<uint64_t>(q + n - 8);
        if (n >= 4)
            return Load<uint32_t>(p) == Load<uint32_t>(q) &&
                   Load<uint32_t>(p + n - 4) == Load<uint32_t>(q + n - 4);
        for (size_t i = 0; i < n; ++i)
            if (p[i] != q[i])
                return false;
        return true;
    }

    template <class Word> static Word Load(const char* bytes)
    {
        Word word;
        std::memcpy(&word, bytes, sizeof word);
        return word;
    }

private:
    const std::string* text;
};

class TXMLItem
{
public:
    enum Kind : uint8_t { KindComplex = 0, KindText = 1 };

    TXMLItem(const TXMLItem&) = delete;
    TXMLItem& operator=(const TXMLItem&) = delete;

    /// From the arena of the current TXMLArenaScope of this thread, or from the heap.
    static void* operator new(size_t size);
    /// Destroys the element as what its kind says it is, then frees it where it came from.
    static void operator delete(TXMLItem* item, std::destroying_delete_t) noexcept;
    /// Frees the memory of an element whose construction failed.
    static void operator delete(void* memory) noexcept;

    /// The element name.
    const std::string& GetElement() const { return *name; }
    uint8_t GetKind() const { return kind; }
    bool IsText() const { return kind == KindText; }

    /// The first direct child with exactly this name, or nullptr. Complex elements only.
    TXMLItem* GetChild(const std::string& childName) const;
    /// The first child, or nullptr. Complex elements only.
    TXMLItem* GetFirstChild() const;
    /// The text. Text elements only.
    const std::string& GetText() const;

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

    /// Not virtual: delete goes through the destroying operator delete above, which destroys the
    /// element as its kind says.
    ~TXMLItem() = default;

protected:
    TXMLItem(TXMLName elementName, Kind itemKind);

private:
    friend class TXMLComplexElement;
    // What a wrong-kind accessor asserts, out of line.
    TXMLItem* ChildOfText() const;
    const std::string& TextOfComplex() const;

    TXMLItem* next = nullptr; // owned by the parent's list, not by this item
    const std::string* name;
    void* arena; // the arena the item came from, or nullptr for the heap and the stack
    int32_t line = 0;
    int32_t column = 0;
    Kind kind;
};

class TXMLComplexElement final : public TXMLItem
{
public:
    explicit TXMLComplexElement(TXMLName elementName) : TXMLItem(elementName, KindComplex) {}
    explicit TXMLComplexElement(std::string_view elementName)
        : TXMLComplexElement(TXMLName(elementName))
    {
    }
    ~TXMLComplexElement();

    TXMLItem* GetChild(const std::string& childName) const;
    TXMLItem* GetFirstChild() const { return firstChild; }
    TXMLItem* GetLastChild() const { return lastChild; }

    /// Takes ownership of item, appends it as the last child and returns the previous last
    /// child (nullptr when there was none).
    TXMLItem* AppendChild(std::unique_ptr<TXMLItem> item)
    {
        TXMLItem* previousLast = lastChild;
        TXMLItem* raw = item.release();
        raw->next = nullptr;
        if (lastChild)
            lastChild->next = raw;
        else
            firstChild = raw;
        lastChild = raw;
        return previousLast;
    }

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
    /// Frees a detached chain of siblings and everything below them without recursion.
    static void DestroyChain(TXMLItem* first, std::vector<TXMLItem*>& work);

    TXMLItem* firstChild = nullptr;
    TXMLItem* lastChild = nullptr;
};

class TXMLStringElement final : public TXMLItem
{
public:
    TXMLStringElement(TXMLName elementName, std::string_view elementText)
        : TXMLItem(elementName, KindText), text(elementText)
    {
    }
    TXMLStringElement(std::string_view elementName, std::string_view elementText)
        : TXMLStringElement(TXMLName(elementName), elementText)
    {
    }

    const std::string& GetText() const { return text; }
    void SetText(std::string newText) { text = std::move(newText); }

private:
    std::string text;
};

inline TXMLItem* TXMLItem::GetFirstChild() const
{
    return kind == KindComplex ? static_cast<const TXMLComplexElement*>(this)->GetFirstChild()
                               : ChildOfText();
}

inline const std::string& TXMLItem::GetText() const
{
    return kind == KindText ? static_cast<const TXMLStringElement*>(this)->GetText()
                            : TextOfComplex();
}

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
