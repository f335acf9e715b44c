#include "general/xml/XMLElement.h"

#include "general/Assert.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace kelvorn {

namespace {

const std::string emptyText;

// Elements of one parse, side by side in large blocks. Each element is preceded by a header
// naming its arena (or none, for heap elements), so that delete finds its way back.
class Arena
{
public:
    void* Allocate(size_t bytes)
    {
        bytes = (bytes + 15) & ~size_t(15);
        if (static_cast<size_t>(end - bump) < bytes) {
            blockSize = std::min<size_t>(blockSize * 2, 1 << 20);
            size_t size = std::max(blockSize, bytes);
            blocks.emplace_back(new std::max_align_t[(size + sizeof(std::max_align_t) - 1) /
                                                     sizeof(std::max_align_t)]);
            bump = reinterpret_cast<char*>(blocks.back().get());
            end = bump + size;
        }
        void* p = bump;
        bump += bytes;
        ++users;
        return p;
    }

    // One user per element and one for the scope; the last one out frees the blocks.
    void Release()
    {
        if (--users == 0)
            delete this;
    }
    void AddUser() { ++users; }

private:
    std::vector<std::unique_ptr<std::max_align_t[]>> blocks;
    char* bump = nullptr;
    char* end = nullptr;
    size_t blockSize = 32 << 10;
    size_t users = 0;
};

struct alignas(16) ElementHeader
{
    Arena* arena;
};

thread_local Arena* currentArena = nullptr;

// Frees a detached chain of siblings and everything below them without recursion.
void DestroyChain(TXMLItem* first, std::vector<TXMLItem*>& work);

} // namespace

void* TXMLItem::operator new(size_t size)
{
    ElementHeader* header;
    if (Arena* arena = currentArena) {
        header = static_cast<ElementHeader*>(arena->Allocate(sizeof(ElementHeader) + size));
        header->arena = arena;
    } else {
        header = static_cast<ElementHeader*>(::operator new(sizeof(ElementHeader) + size));
        header->arena = nullptr;
    }
    return header + 1;
}

void TXMLItem::operator delete(void* item) noexcept
{
    if (!item)
        return;
    ElementHeader* header = static_cast<ElementHeader*>(item) - 1;
    if (header->arena)
        header->arena->Release();
    else
        ::operator delete(header);
}

TXMLArenaScope::TXMLArenaScope() : arena(new Arena()), previous(currentArena)
{
    static_cast<Arena*>(arena)->AddUser();
    currentArena = static_cast<Arena*>(arena);
}

TXMLArenaScope::~TXMLArenaScope()
{
    currentArena = static_cast<Arena*>(previous);
    static_cast<Arena*>(arena)->Release();
}

TXMLItem* TXMLItem::GetChild(const std::string&) const
{
    KV_SOFT_ASSERT(!"GetChild on a text element");
    return nullptr;
}

TXMLItem* TXMLItem::GetFirstChild() const
{
    KV_SOFT_ASSERT(!"GetFirstChild on a text element");
    return nullptr;
}

const std::string& TXMLItem::GetText() const
{
    KV_SOFT_ASSERT(!"GetText on a complex element");
    return emptyText;
}

TXMLComplexElement::~TXMLComplexElement()
{
    DeleteChildrenAfter(nullptr);
}

TXMLItem* TXMLComplexElement::GetChild(const std::string& childName) const
{
    for (TXMLItem* item = firstChild; item; item = item->next) {
        if (item->GetElement() == childName)
            return item;
    }
    return nullptr;
}

TXMLItem* TXMLComplexElement::AppendChild(std::unique_ptr<TXMLItem> item)
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

TXMLComplexElement* TXMLComplexElement::AddComplex(const std::string& childName)
{
    auto child = std::make_unique<TXMLComplexElement>(childName);
    TXMLComplexElement* raw = child.get();
    AppendChild(std::move(child));
    return raw;
}

TXMLStringElement* TXMLComplexElement::AddText(const std::string& childName,
                                               const std::string& text)
{
    auto child = std::make_unique<TXMLStringElement>(childName, text);
    TXMLStringElement* raw = child.get();
    AppendChild(std::move(child));
    return raw;
}

void TXMLComplexElement::DeleteChildrenAfter(TXMLItem* child)
{
    TXMLItem* doomed;
    if (child) {
        doomed = child->next;
        child->next = nullptr;
        lastChild = child;
    } else {
        doomed = firstChild;
        firstChild = nullptr;
        lastChild = nullptr;
    }
    std::vector<TXMLItem*> work;
    DestroyChain(doomed, work);
}

namespace {

void DestroyChain(TXMLItem* first, std::vector<TXMLItem*>& work)
{
    // Depth first in document order, which is the order a parse allocated the elements in:
    // memory is read forward, as the processor's prefetcher expects. A complex element is freed
    // once its children are taken, and the siblings still to come wait on the work list, so the
    // stack never grows with the tree.
    TXMLItem* item = first;
    for (;;) {
        if (!item) {
            if (work.empty())
                return;
            item = work.back();
            work.pop_back();
        }
        TXMLItem* following = item->GetNext();
        if (item->IsText()) {
            delete item;
            item = following;
            continue;
        }
        auto* complex = static_cast<TXMLComplexElement*>(item);
        TXMLItem* children = complex->GetFirstChild();
        // The children now belong to this walk: detach them so the element's own destructor
        // finds nothing to free.
        complex->ReleaseChildrenForDestruction();
        delete complex;
        if (!children) {
            item = following;
            continue;
        }
        if (following)
            work.push_back(following);
        item = children;
    }
}

} // namespace

} // namespace kelvorn
