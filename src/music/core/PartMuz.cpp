#include "music/core/PartMuz.h"

#include "general/Assert.h"
#include "music/core/UnitMuz.h"

namespace kelvorn {

TMusTreeItem::~TMusTreeItem()
{
    if (document)
        document->ForgetTreeItem(this);
}

// ---- Every part ------------------------------------------------------------------------------

void TPartMuz::TreeChanged() const
{
    if (document)
        document->PartsChanged();
}

void TPartMuz::SetEnabled(bool on)
{
    enabled = on ? 1 : 0;
    TreeChanged();
}

bool TPartMuz::IsEnabledAbove() const
{
    for (const TPartMuz* p = Parent; p; p = p->Parent)
        if (!p->IsEnabled())
            return false;
    return true;
}

TPartMuz::TDetached TPartMuz::Detach()
{
    TDetached d;
    if (!KV_SOFT_ASSERT(Parent != nullptr))
        return d;
    TreeChanged();
    d.parent = Parent;
    d.link = Parent->ChildLink(this);
    if (d.link)
        *d.link = nullptr;
    Parent = nullptr;
    return d;
}

void TPartMuz::StaveDeleting(const TNoteStave* stave)
{
    for (int32_t i = 0; i < ChildCount(); ++i)
        if (TPartMuz* c = Child(i))
            c->StaveDeleting(stave);
}

void TPartMuz::GroupDeleting(const TNoteGroup* group)
{
    for (int32_t i = 0; i < ChildCount(); ++i)
        if (TPartMuz* c = Child(i))
            c->GroupDeleting(group);
}

void TPartMuz::FillRests(TNoteStave* stave)
{
    for (int32_t i = 0; i < ChildCount(); ++i)
        if (TPartMuz* c = Child(i))
            c->FillRests(stave);
}

void TPartMuz::StaveAdded(TNoteStave* stave)
{
    for (int32_t i = 0; i < ChildCount(); ++i)
        if (TPartMuz* c = Child(i))
            c->StaveAdded(stave);
}

TStaveSymbol* TPartMuz::FirstSymbol()
{
    TSinglePartMuz* single = FirstSinglePart();
    return single ? single->FirstSymbol() : nullptr;
}

void TPartMuz::InsertSymbol(TStaveSymbol* symbol)
{
    if (symbol && symbol->GetOwner())
        symbol->GetOwner()->InsertSymbol(symbol);
}

void TPartMuz::DeleteSymbol(TStaveSymbol* symbol)
{
    if (symbol && symbol->GetOwner())
        symbol->GetOwner()->DeleteSymbol(symbol);
}

void TPartMuz::MoveSymbol(TStaveSymbol* symbol)
{
    if (symbol && symbol->GetOwner())
        symbol->GetOwner()->MoveSymbol(symbol);
}

bool TPartMuz::CheckParents(const TPartMuz* caller) const
{
    if (Parent != caller)
        return false;
    for (int32_t i = 0; i < ChildCount(); ++i)
        if (TPartMuz* c = Child(i); c && !c->CheckParents(this))
            return false;
    return true;
}

TSinglePartMuz* TPartMuz::NextSinglePart(const TPartMuz*)
{
    return nullptr;
}
TSinglePartMuz* TPartMuz::PrevSinglePart(const TPartMuz*)
{
    return nullptr;
}
TSinglePartMuz* TPartMuz::FirstSinglePart()
{
    return nullptr;
}
TSinglePartMuz* TPartMuz::LastSinglePart()
{
    return nullptr;
}
TPartMuz* TPartMuz::NextPlayPart(const TPartMuz*)
{
    return nullptr;
}
TPartMuz* TPartMuz::PrevPlayPart(const TPartMuz*)
{
    return nullptr;
}
TXTouchMuzSymbol* TPartMuz::NextStaveSymbol(const TNoteStave*, const TPartMuz*)
{
    return nullptr;
}
TXTouchMuzSymbol* TPartMuz::PrevStaveSymbol(const TNoteStave*, const TPartMuz*)
{
    return nullptr;
}

TLoopPartMuz* TPartMuz::EnclosingLoop()
{
    return KV_SOFT_ASSERT(Parent != nullptr) ? Parent->EnclosingLoop() : nullptr;
}

int32_t TPartMuz::GetCurrentTurn() const
{
    return KV_SOFT_ASSERT(Parent != nullptr) ? Parent->GetCurrentTurn() : 1;
}

TPartMuz* TPartMuz::EnclosingLoopOrSelect() const
{
    for (TPartMuz* p = Parent; p; p = p->Parent) {
        const PartMuzKind kind = p->GetKind();
        if (kind == partLoop || kind == partSelect)
            return p;
        if (kind == partStart)
            return nullptr;
    }
    return nullptr;
}

void TPartMuz::ResetTurns()
{
    for (int32_t i = 0; i < ChildCount(); ++i)
        if (TPartMuz* c = Child(i))
            c->ResetTurns();
}

// ---- Concatenation ---------------------------------------------------------------------------

TConcatPartMuz::TConcatPartMuz(TUnitMuz* owner, TPartMuz* firstPart, TPartMuz* secondPart)
    : TPartMuz(owner), FirstPart(firstPart), SecondPart(secondPart)
{
    if (FirstPart)
        FirstPart->SetParent(this);
    if (SecondPart)
        SecondPart->SetParent(this);
}

TConcatPartMuz::~TConcatPartMuz()
{
    delete FirstPart;
    delete SecondPart;
}

TPartMuz** TConcatPartMuz::ChildLink(const TPartMuz* child)
{
    if (child == FirstPart)
        return &FirstPart;
    if (KV_SOFT_ASSERT(child == SecondPart))
        return &SecondPart;
    return nullptr;
}

TPartMuz* TConcatPartMuz::Collapse(TConcatPartMuz* concat)
{
    if (!KV_SOFT_ASSERT(concat->FirstPart == nullptr || concat->SecondPart == nullptr) ||
        !KV_SOFT_ASSERT(concat->FirstPart != nullptr || concat->SecondPart != nullptr))
        return concat;
    concat->TreeChanged();
    TPartMuz* remaining = concat->FirstPart ? concat->FirstPart : concat->SecondPart;
    concat->FirstPart = concat->SecondPart = nullptr;
    const TDetached d = concat->Detach();
    if (d.link) {
        *d.link = remaining;
        remaining->SetParent(d.parent);
    }
    delete concat;
    return remaining;
}

TSinglePartMuz* TConcatPartMuz::NextSinglePart(const TPartMuz* caller)
{
    if (caller == Parent)
        return FirstPart->NextSinglePart(this);
    if (caller == FirstPart)
        return SecondPart->NextSinglePart(this);
    return Parent->NextSinglePart(this);
}

TSinglePartMuz* TConcatPartMuz::PrevSinglePart(const TPartMuz* caller)
{
    if (caller == Parent)
        return SecondPart->PrevSinglePart(this);
    if (caller == SecondPart)
        return FirstPart->PrevSinglePart(this);
    return Parent->PrevSinglePart(this);
}

TPartMuz* TConcatPartMuz::NextPlayPart(const TPartMuz* caller)
{
    if (caller == Parent)
        return FirstPart->NextPlayPart(this);
    if (caller == FirstPart)
        return SecondPart->NextPlayPart(this);
    return Parent->NextPlayPart(this);
}

TPartMuz* TConcatPartMuz::PrevPlayPart(const TPartMuz* caller)
{
    if (caller == Parent)
        return SecondPart->PrevPlayPart(this);
    if (caller == SecondPart)
        return FirstPart->PrevPlayPart(this);
    return Parent->PrevPlayPart(this);
}

TXTouchMuzSymbol* TConcatPartMuz::NextStaveSymbol(const TNoteStave* stave, const TPartMuz* caller)
{
    if (caller == Parent)
        return FirstPart->NextStaveSymbol(stave, this);
    if (caller == FirstPart)
        return SecondPart->NextStaveSymbol(stave, this);
    return Parent->NextStaveSymbol(stave, this);
}

TXTouchMuzSymbol* TConcatPartMuz::PrevStaveSymbol(const TNoteStave* stave, const TPartMuz* caller)
{
    if (caller == Parent)
        return SecondPart->PrevStaveSymbol(stave, this);
    if (caller == SecondPart)
        return FirstPart->PrevStaveSymbol(stave, this);
    return Parent->PrevStaveSymbol(stave, this);
}

// ---- Loop ------------------------------------------------------------------------------------

TLoopPartMuz::TLoopPartMuz(TUnitMuz* owner, TPartMuz* loopPart, int32_t count)
    : TPartMuz(owner), Count(count, EHNone), LoopPart(loopPart),
      LeftLoopSymbol(std::make_unique<TLoopPartSymbol>(this, true)),
      RightLoopSymbol(std::make_unique<TLoopPartSymbol>(this, false))
{
    if (LoopPart)
        LoopPart->SetParent(this);
}

TLoopPartMuz::~TLoopPartMuz()
{
    delete LoopPart;
}

std::string TLoopPartMuz::GetShowLabel() const
{
    return label.empty() ? "repeat " + Count.ToText() : label;
}

TPartMuz** TLoopPartMuz::ChildLink(const TPartMuz* child)
{
    return KV_SOFT_ASSERT(child == LoopPart) ? &LoopPart : nullptr;
}

TPartMuz* TLoopPartMuz::SetLoopPart(TPartMuz* part)
{
    TreeChanged();
    TPartMuz* old = LoopPart;
    LoopPart = part;
    if (part)
        part->SetParent(this);
    if (old)
        old->SetParent(nullptr);
    return old;
}

TXTouchMuzSymbol* TLoopPartMuz::NextOfLoopSymbol(const TNoteStave* stave,
                                                 const TLoopPartSymbol* mark)
{
    if (mark == LeftLoopSymbol.get())
        return LoopPart->NextStaveSymbol(stave, this);
    if (KV_SOFT_ASSERT(mark == RightLoopSymbol.get()))
        return Parent->NextStaveSymbol(stave, this);
    return nullptr;
}

TXTouchMuzSymbol* TLoopPartMuz::PrevOfLoopSymbol(const TNoteStave* stave,
                                                 const TLoopPartSymbol* mark)
{
    if (mark == RightLoopSymbol.get())
        return LoopPart->PrevStaveSymbol(stave, this);
    if (KV_SOFT_ASSERT(mark == LeftLoopSymbol.get()))
        return Parent->PrevStaveSymbol(stave, this);
    return nullptr;
}

TSinglePartMuz* TLoopPartMuz::NextSinglePart(const TPartMuz* caller)
{
    return caller == Parent ? LoopPart->NextSinglePart(this) : Parent->NextSinglePart(this);
}

TSinglePartMuz* TLoopPartMuz::PrevSinglePart(const TPartMuz* caller)
{
    return caller == Parent ? LoopPart->PrevSinglePart(this) : Parent->PrevSinglePart(this);
}

TPartMuz* TLoopPartMuz::NextPlayPart(const TPartMuz* caller)
{
    return caller == Parent ? this : Parent->NextPlayPart(this);
}

TPartMuz* TLoopPartMuz::PrevPlayPart(const TPartMuz* caller)
{
    return caller == Parent ? this : Parent->PrevPlayPart(this);
}

TXTouchMuzSymbol* TLoopPartMuz::NextStaveSymbol(const TNoteStave*, const TPartMuz* caller)
{
    return caller == Parent ? LeftLoopSymbol.get() : RightLoopSymbol.get();
}

TXTouchMuzSymbol* TLoopPartMuz::PrevStaveSymbol(const TNoteStave*, const TPartMuz* caller)
{
    return caller == Parent ? RightLoopSymbol.get() : LeftLoopSymbol.get();
}

void TLoopPartMuz::ResetTurns()
{
    CurrentTurn = 1;
    TPartMuz::ResetTurns();
}

// ---- Select ----------------------------------------------------------------------------------

TSelectPartItem::TSelectPartItem(TSelectPartMuz* owner)
    : TMusTreeItem(owner ? owner->GetDocument() : nullptr), owner(owner)
{
}

std::string TCountSelectPartItem::GetShowLabel() const
{
    return label.empty() ? "turn " + Count.ToText() : label;
}

TSelectPartMuz::TSelectPartMuz(TUnitMuz* owner, TPartMuz* selectPart)
    : TPartMuz(owner), SelectPart(selectPart), items(std::make_unique<TStartSelectPartItem>(this))
{
    if (SelectPart)
        SelectPart->SetParent(this);
}

TSelectPartMuz::~TSelectPartMuz()
{
    TSelectPartItem* item = items->GetNext();
    while (item) {
        TSelectPartItem* next = item->GetNext();
        delete item;
        item = next;
    }
    delete SelectPart;
}

TPartMuz** TSelectPartMuz::ChildLink(const TPartMuz* child)
{
    return KV_SOFT_ASSERT(child == SelectPart) ? &SelectPart : nullptr;
}

TPartMuz* TSelectPartMuz::SetSelectPart(TPartMuz* part)
{
    TreeChanged();
    TPartMuz* old = SelectPart;
    SelectPart = part;
    if (part)
        part->SetParent(this);
    if (old)
        old->SetParent(nullptr);
    return old;
}

TCountSelectPartItem* TSelectPartMuz::AddCountSelectPartItem(int32_t count, int32_t pitch)
{
    TSelectPartItem* last = items.get();
    while (last->GetNext())
        last = last->GetNext();
    auto* item = new TCountSelectPartItem(this, count, pitch);
    last->SetNext(item);
    return item;
}

bool TSelectPartMuz::DeleteTurnItem(int32_t turn)
{
    for (TSelectPartItem* prev = items.get(); prev->GetNext(); prev = prev->GetNext()) {
        auto* item = static_cast<TCountSelectPartItem*>(prev->GetNext());
        if (item->Count.GetValue() == turn) {
            prev->SetNext(item->GetNext());
            delete item;
            return true;
        }
    }
    return false;
}

int32_t TSelectPartMuz::GetLastCount() const
{
    const TSelectPartItem* last = items.get();
    while (last->GetNext())
        last = last->GetNext();
    return last == items.get() ? 0
                               : static_cast<const TCountSelectPartItem*>(last)->Count.GetValue();
}

bool TSelectPartMuz::FindTurn(int32_t turn, int32_t& pitch) const
{
    for (TSelectPartItem* i = items->GetNext(); i; i = i->GetNext()) {
        auto* item = static_cast<TCountSelectPartItem*>(i);
        if (item->Count.GetValue() == turn) {
            pitch = item->Pitch.GetValue();
            return true;
        }
    }
    return false;
}

int32_t TSelectPartMuz::CountTurnItems(int32_t turn) const
{
    int32_t n = 0;
    for (TSelectPartItem* i = items->GetNext(); i; i = i->GetNext())
        if (static_cast<TCountSelectPartItem*>(i)->Count.GetValue() == turn)
            ++n;
    return n;
}

TSinglePartMuz* TSelectPartMuz::NextSinglePart(const TPartMuz* caller)
{
    return caller == Parent ? SelectPart->NextSinglePart(this) : Parent->NextSinglePart(this);
}

TSinglePartMuz* TSelectPartMuz::PrevSinglePart(const TPartMuz* caller)
{
    return caller == Parent ? SelectPart->PrevSinglePart(this) : Parent->PrevSinglePart(this);
}

TPartMuz* TSelectPartMuz::NextPlayPart(const TPartMuz* caller)
{
    return caller == Parent ? this : Parent->NextPlayPart(this);
}

TPartMuz* TSelectPartMuz::PrevPlayPart(const TPartMuz* caller)
{
    return caller == Parent ? this : Parent->PrevPlayPart(this);
}

TXTouchMuzSymbol* TSelectPartMuz::NextStaveSymbol(const TNoteStave* stave, const TPartMuz* caller)
{
    return caller == Parent ? SelectPart->NextStaveSymbol(stave, this)
                            : Parent->NextStaveSymbol(stave, this);
}

TXTouchMuzSymbol* TSelectPartMuz::PrevStaveSymbol(const TNoteStave* stave, const TPartMuz* caller)
{
    return caller == Parent ? SelectPart->PrevStaveSymbol(stave, this)
                            : Parent->PrevStaveSymbol(stave, this);
}

// ---- Root ------------------------------------------------------------------------------------

TStartPartMuz::~TStartPartMuz()
{
    delete PartMuz;
}

TPartMuz** TStartPartMuz::ChildLink(const TPartMuz* child)
{
    return KV_SOFT_ASSERT(child == PartMuz) ? &PartMuz : nullptr;
}

TPartMuz* TStartPartMuz::SetChild(TPartMuz* part)
{
    TreeChanged();
    TPartMuz* old = PartMuz;
    PartMuz = part;
    if (part)
        part->SetParent(this);
    if (old)
        old->SetParent(nullptr);
    return old;
}

TSinglePartMuz* TStartPartMuz::NextSinglePart(const TPartMuz* caller)
{
    return caller == PartMuz || !PartMuz ? nullptr : PartMuz->NextSinglePart(this);
}

TSinglePartMuz* TStartPartMuz::PrevSinglePart(const TPartMuz* caller)
{
    return caller == PartMuz || !PartMuz ? nullptr : PartMuz->PrevSinglePart(this);
}

TSinglePartMuz* TStartPartMuz::FirstSinglePart()
{
    return PartMuz ? PartMuz->FirstSinglePart() : nullptr;
}

TSinglePartMuz* TStartPartMuz::LastSinglePart()
{
    return PartMuz ? PartMuz->LastSinglePart() : nullptr;
}

TPartMuz* TStartPartMuz::NextPlayPart(const TPartMuz* caller)
{
    return caller == PartMuz || !PartMuz ? nullptr : PartMuz->NextPlayPart(this);
}

TPartMuz* TStartPartMuz::PrevPlayPart(const TPartMuz* caller)
{
    return caller == PartMuz || !PartMuz ? nullptr : PartMuz->PrevPlayPart(this);
}

TXTouchMuzSymbol* TStartPartMuz::NextStaveSymbol(const TNoteStave* stave, const TPartMuz* caller)
{
    return caller == PartMuz || !PartMuz ? nullptr : PartMuz->NextStaveSymbol(stave, this);
}

TXTouchMuzSymbol* TStartPartMuz::PrevStaveSymbol(const TNoteStave* stave, const TPartMuz* caller)
{
    return caller == PartMuz || !PartMuz ? nullptr : PartMuz->PrevStaveSymbol(stave, this);
}

} // namespace kelvorn
