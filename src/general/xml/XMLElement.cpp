#include "general/xml/XMLElement.h"

#include "general/Assert.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <mutex>
#include <unordered_set>
#include <vector>

namespace kelvorn {

namespace {

const std::string emptyText;

// Elements need no more than pointers do; packing them to that saves memory on large files.
constexpr size_t itemAlignment = alignof(void*);
static_assert(alignof(TXMLComplexElement) <= itemAlignment &&
              alignof(TXMLStringElement) <= itemAlignment);

// Elements of one parse, side by side in large blocks.
class Arena
{
public:
    void* Allocate(size_t bytes)
    {
        bytes = (bytes + itemAlignment - 1) & ~(itemAlignment - 1);
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

thread_local Arena* currentArena = nullptr;
// The memory operator new last took from an arena: the constructor that runs in it records the
// arena, which delete needs, in the item itself.
thread_local void* arenaAllocation = nullptr;

// Names are short: their length and their first and last eight (or four) bytes spread them well
// enough over a thread's slots, and cost no loop.
size_t HashName(std::string_view name)
{
    const size_t n = name.size();
    const char* p = name.data();
    uint64_t a = 0;
    uint64_t b = 0;
    if (n >= 8) {
        a = TXMLName::Load<uint64_t>(p);
        b = TXMLName::Load<uint64_t>(p + n - 8);
    } else if (n >= 4) {
        a = TXMLName::Load<uint32_t>(p);
        b = TXMLName::Load<uint32_t>(p + n - 4);
    } else if (n > 0) {
        a = static_cast<unsigned char>(p[0]) | static_cast<unsigned char>(p[n / 2]) << 8 |
            static_cast<unsigned char>(p[n - 1]) << 16;
    }
    const uint64_t h = a * 0x9E3779B97F4A7C15ull ^ (b + n) * 0xC2B2AE3D27D4EB4Full;
    return static_cast<size_t>(h ^ (h >> 29));
}

// The names of all threads, for the program's life; never destroyed, so that trees destroyed
// during the program's exit still find their names.
const std::string* SharedName(std::string_view name)
{
    static std::mutex mutex;
    static auto* names = new std::unordered_set<std::string>();
    std::lock_guard<std::mutex> lock(mutex);
    return &*names->emplace(name).first;
}

} // namespace

TXMLName::TXMLName(std::string_view name)
{
    // Each thread remembers the names it met last, so that a writer making a file's elements
    // takes no lock.
    thread_local std::array<const std::string*, 1024> recent{};
    const std::string*& slot = recent[HashName(name) % recent.size()];
    if (!slot || !TXMLName::Same(*slot, name))
        slot = SharedName(name);
    text = slot;
}

TXMLItem::TXMLItem(TXMLName elementName, Kind itemKind)
    : name(&elementName.Text()),
      arena(this == arenaAllocation ? static_cast<void*>(currentArena) : nullptr), kind(itemKind)
{
}

void* TXMLItem::operator new(size_t size)
{
    if (Arena* arena = currentArena) {
        void* memory = arena->Allocate(size);
        arenaAllocation = memory;
        return memory;
    }
    return ::operator new(size);
}

void TXMLItem::operator delete(TXMLItem* item, std::destroying_delete_t) noexcept
{
    if (!item)
        return;
    auto* arena = static_cast<Arena*>(item->arena);
    if (item->kind == KindText)
        static_cast<TXMLStringElement*>(item)->~TXMLStringElement();
    else
        static_cast<TXMLComplexElement*>(item)->~TXMLComplexElement();
    if (arena)
        arena->Release();
    else
        ::operator delete(static_cast<void*>(item));
}

void TXMLItem::operator delete(void* memory) noexcept
{
    // Only a constructor that threw comes here, right after operator new, within one scope.
    if (memory == arenaAllocation && currentArena)
        currentArena->Release();
    else
        ::operator delete(memory);
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

TXMLItem* TXMLItem::GetChild(const std::string& childName) const
{
    if (kind == KindComplex)
        return static_cast<const TXMLComplexElement*>(this)->GetChild(childName);
    KV_SOFT_ASSERT(!"GetChild on a text element");
    return nullptr;
}

TXMLItem* TXMLItem::ChildOfText() const
{
    KV_SOFT_ASSERT(!"GetFirstChild on a text element");
    return nullptr;
}

const std::string& TXMLItem::TextOfComplex() const
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
    if (!doomed)
        return;
    std::vector<TXMLItem*> work;
    DestroyChain(doomed, work);
}

namespace {

// Frees a complex element whose children have been taken.
void FreeEmptied(TXMLComplexElement* complex)
{
    // The children now belong to the walk: detach them so the element's own destructor finds
    // nothing to free.
    complex->ReleaseChildrenForDestruction();
    delete complex;
}

} // namespace

void TXMLComplexElement::DestroyChain(TXMLItem* first, std::vector<TXMLItem*>& work)
{
    if (first->arena) {
        // An arena's elements are read once more and freed with their arena: depth first in
        // document order, the order a parse allocated them in, so that memory is read forward
        // as the processor's prefetcher expects. The siblings still to come wait on the work
        // list.
        TXMLItem* item = first;
        for (;;) {
            if (!item) {
                if (work.empty())
                    return;
                item = work.back();
                work.pop_back();
            }
            TXMLItem* following = item->next;
            if (item->IsText()) {
                delete item;
                item = following;
                continue;
            }
            auto* complex = static_cast<TXMLComplexElement*>(item);
            TXMLItem* children = complex->firstChild;
            FreeEmptied(complex);
            if (!children) {
                item = following;
                continue;
            }
            if (following)
                work.push_back(following);
            item = children;
        }
    }
    // Heap elements go back to the allocator, which hands the memory freed last out first. The
    // complex elements wait on the work list and are taken last first: freed in document order
    // instead, a save of 40,000 notes (which builds a tree and frees it) took about half as long
    // again.
    auto takeList = [&work](TXMLItem* item) {
        while (item) {
            TXMLItem* following = item->next;
            __builtin_prefetch(following);
            if (item->IsText())
                delete item;
            else
                work.push_back(item);
            item = following;
        }
    };
    takeList(first);
    while (!work.empty()) {
        auto* complex = static_cast<TXMLComplexElement*>(work.back());
        work.pop_back();
        TXMLItem* children = complex->firstChild;
        FreeEmptied(complex);
        takeList(children);
    }
}

} // namespace kelvorn
