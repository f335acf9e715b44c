#include "general/xml/XMLElement.h"

#include "general/Assert.h"

#include <vector>

namespace kelvorn {

namespace {

const std::string emptyText;

// Frees a detached chain of siblings and everything below them without recursion: each complex
// element's children are spliced onto the work list before the element itself is deleted.
void DestroyChain(TXMLItem* first, std::vector<TXMLItem*>& work);

} // namespace

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

TXMLStringElement* TXMLComplexElement::AddText(const std::string& childName, const std::string& text)
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
    for (TXMLItem* item = first; item;) {
        TXMLItem* following = item->GetNext();
        work.push_back(item);
        item = following;
    }
    while (!work.empty()) {
        TXMLItem* item = work.back();
        work.pop_back();
        if (!item->IsText()) {
            auto* complex = static_cast<TXMLComplexElement*>(item);
            for (TXMLItem* c = complex->GetFirstChild(); c; c = c->GetNext())
                work.push_back(c);
            // The children now live on the work list: detach them so the element's own
            // destructor finds nothing to free.
            complex->ReleaseChildrenForDestruction();
        }
        delete item;
    }
}

} // namespace

} // namespace kelvorn
