#include "music/core/MuzTree.h"

#include "general/Assert.h"
#include "general/values/ValueText.h"
#include "music/core/MuzFile.h"
#include "music/core/UnitMuz.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace kelvorn {

namespace {

/// The leftmost (rightmost) part of a chain of concatenations: the first (last) node in it.
TPartMuz* EdgeNode(TPartMuz* part, bool last)
{
    while (part && part->GetKind() == partConcat) {
        auto* concat = static_cast<TConcatPartMuz*>(part);
        part = last ? concat->GetSecondPart() : concat->GetFirstPart();
    }
    return part;
}

/// The sibling node after (before) part in the chain of concatenations that holds it.
TPartMuz* SiblingNode(const TPartMuz& part, bool next)
{
    const TPartMuz* child = &part;
    for (TPartMuz* parent = part.GetParent(); parent && parent->GetKind() == partConcat;
         child = parent, parent = parent->GetParent()) {
        auto* concat = static_cast<TConcatPartMuz*>(parent);
        if (next && concat->GetFirstPart() == child)
            return EdgeNode(concat->GetSecondPart(), false);
        if (!next && concat->GetSecondPart() == child)
            return EdgeNode(concat->GetFirstPart(), true);
    }
    return nullptr;
}

bool IsLoopOrSelect(const TPartMuz* part)
{
    return part && (part->GetKind() == partLoop || part->GetKind() == partSelect);
}

/// Parts between the root and part, part included: a part right under the root is on level 1.
int32_t Level(const TPartMuz& part)
{
    int32_t level = 0;
    for (const TPartMuz* p = &part; p && p->GetKind() != partStart; p = p->GetParent())
        ++level;
    return level;
}

/// Levels of part's subtree: 1 for a single part.
int32_t Height(const TPartMuz& part)
{
    int32_t below = 0;
    for (int32_t i = 0; i < part.ChildCount(); ++i)
        if (const TPartMuz* child = part.Child(i))
            below = std::max(below, Height(*child));
    return below + 1;
}

/// The refusal of an edit that would put a part on level deepest; "" while a file holds it.
std::string DepthRefusal(int64_t deepest)
{
    if (deepest <= muzPartDepthMax)
        return {};
    return "Music Parts cannot be nested deeper than " + std::to_string(muzPartDepthMax) +
           " levels.";
}

TTreeEdit Refused(std::string reason)
{
    TTreeEdit edit;
    edit.refusal = std::move(reason);
    return edit;
}

TTreeEdit Selecting(TMusTreeItem* item)
{
    TTreeEdit edit;
    edit.select = item;
    return edit;
}

/// Puts replacement where a detached part stood (the detaching told the piece).
void Attach(const TPartMuz::TDetached& place, TPartMuz* replacement)
{
    if (KV_SOFT_ASSERT(place.link != nullptr)) {
        *place.link = replacement;
        replacement->SetParent(place.parent);
    }
}

/// Takes the content out of a loop or select part, which is left empty.
TPartMuz* TakeContent(TPartMuz& holder)
{
    if (holder.GetKind() == partLoop)
        return static_cast<TLoopPartMuz&>(holder).SetLoopPart(nullptr);
    return static_cast<TSelectPartMuz&>(holder).SetSelectPart(nullptr);
}

void SetContent(TPartMuz& holder, TPartMuz* content)
{
    if (holder.GetKind() == partLoop)
        static_cast<TLoopPartMuz&>(holder).SetLoopPart(content);
    else
        static_cast<TSelectPartMuz&>(holder).SetSelectPart(content);
}

/// Takes part out of the concatenation that holds it, which gives way to its other part.
void LeaveConcatenation(TPartMuz& part)
{
    const TPartMuz::TDetached place = part.Detach();
    if (KV_SOFT_ASSERT(place.parent && place.parent->GetKind() == partConcat))
        TConcatPartMuz::Collapse(static_cast<TConcatPartMuz*>(place.parent));
}

/// The turn items of select in the order the window lists them: by count, equal counts in
/// list order.
std::vector<TCountSelectPartItem*> TurnItemsByCount(const TSelectPartMuz& select)
{
    std::vector<TCountSelectPartItem*> items;
    for (TSelectPartItem* i = select.GetSelectPartItems()->GetNext(); i; i = i->GetNext())
        items.push_back(static_cast<TCountSelectPartItem*>(i));
    std::stable_sort(items.begin(), items.end(), [](const auto* a, const auto* b) {
        return a->Count.GetValue() < b->Count.GetValue();
    });
    return items;
}

void AddToTree(TPartTreeView& view, TPartMuz& part, TPartTreeView::Node parent,
               const TMusTreeItem* selected)
{
    auto node = [&](TMusTreeItem& item, TPartTreeView::Node under, int32_t image) {
        TPartTreeView::Node added = view.AddNode(under, item, item.GetShowLabel(), image);
        if (&item == selected)
            view.SelectNode(added);
        return added;
    };
    switch (part.GetKind()) {
    case partSingle:
        node(part, parent, treeImageSingle);
        return;
    case partLoop: {
        auto& loop = static_cast<TLoopPartMuz&>(part);
        TPartTreeView::Node added = node(loop, parent, treeImageLoop);
        if (loop.GetLoopPart())
            AddToTree(view, *loop.GetLoopPart(), added, selected);
        view.SetExpanded(added, loop.expanded != 0);
        return;
    }
    case partSelect: {
        auto& select = static_cast<TSelectPartMuz&>(part);
        TPartTreeView::Node added = node(select, parent, treeImageSelect);
        for (TCountSelectPartItem* item : TurnItemsByCount(select))
            node(*item, added, treeImageTurn);
        if (select.GetSelectPart())
            AddToTree(view, *select.GetSelectPart(), added, selected);
        view.SetExpanded(added, select.expanded != 0);
        return;
    }
    case partConcat:
    case partStart:
        // No node of their own: their parts hang under the node above.
        for (int32_t i = 0; i < part.ChildCount(); ++i)
            if (TPartMuz* child = part.Child(i))
                AddToTree(view, *child, parent, selected);
        return;
    }
}

} // namespace

// ---- The document's side ---------------------------------------------------------------------

void TUnitMuz::SetSelMusTreeItem(TMusTreeItem* item)
{
    selectedTreeItem = item;
}

void TUnitMuz::SetSelMusTreeItemFromNode(const TPartTreeView& view, void* node)
{
    TMusTreeItem* item = view.ItemOf(node);
    if (KV_SOFT_ASSERT(item != nullptr))
        selectedTreeItem = item;
}

void TUnitMuz::FillPartTree(TPartTreeView& view)
{
    view.BeginFill();
    AddToTree(view, *rootPart, nullptr, selectedTreeItem);
    view.EndFill();
}

bool TUnitMuz::CheckPartTree() const
{
    return rootPart->CheckParents(nullptr);
}

// ---- Nodes and siblings ----------------------------------------------------------------------

TPartSiblings PartSiblings(const TPartMuz& part)
{
    TPartSiblings siblings;
    siblings.previous = SiblingNode(part, false);
    siblings.next = SiblingNode(part, true);
    siblings.topLevel = part.EnclosingLoopOrSelect() == nullptr;
    return siblings;
}

TPartMuz* AsTreePart(TMusTreeItem* item)
{
    return item && !item->IsSelectItem() ? static_cast<TPartMuz*>(item) : nullptr;
}

TCountSelectPartItem* AsTurnItem(TMusTreeItem* item)
{
    return dynamic_cast<TCountSelectPartItem*>(item);
}

bool HoldsTreeItem(const TUnitMuz& doc, const TMusTreeItem* item)
{
    if (!item)
        return false;
    std::vector<const TPartMuz*> open{doc.GetRootPart()};
    while (!open.empty()) {
        const TPartMuz* part = open.back();
        open.pop_back();
        if (part == item)
            return true;
        if (part->GetKind() == partSelect)
            for (TSelectPartItem* i =
                     static_cast<const TSelectPartMuz*>(part)->GetSelectPartItems()->GetNext();
                 i; i = i->GetNext())
                if (i == item)
                    return true;
        for (int32_t i = 0; i < part->ChildCount(); ++i)
            if (const TPartMuz* child = part->Child(i))
                open.push_back(child);
    }
    return false;
}

// ---- Adding ----------------------------------------------------------------------------------

TTreeEdit InsertSinglePart(TUnitMuz& doc, TPartMuz& part, bool after)
{
    if (std::string refusal = DepthRefusal(int64_t{Level(part)} + Height(part)); !refusal.empty())
        return Refused(refusal);
    auto* single = new TSinglePartMuz(&doc);
    new TMuzBar(single, 4, 4, 0);
    const TPartMuz::TDetached place = part.Detach();
    Attach(place, after ? new TConcatPartMuz(&doc, &part, single)
                        : new TConcatPartMuz(&doc, single, &part));
    // In the tree, so that every note of the clefs reaches what is kept of the piece.
    single->CreateKeys();
    return Selecting(single);
}

TTreeEdit WrapInLoop(TUnitMuz& doc, TPartMuz& part)
{
    if (std::string refusal = DepthRefusal(int64_t{Level(part)} + Height(part)); !refusal.empty())
        return Refused(refusal);
    const TPartMuz::TDetached place = part.Detach();
    auto* loop = new TLoopPartMuz(&doc, &part, 2);
    Attach(place, loop);
    return Selecting(loop);
}

TTreeEdit WrapInSelect(TUnitMuz& doc, TPartMuz& part)
{
    if (std::string refusal = DepthRefusal(int64_t{Level(part)} + Height(part)); !refusal.empty())
        return Refused(refusal);
    const TPartMuz::TDetached place = part.Detach();
    auto* select = new TSelectPartMuz(&doc, &part);
    select->AddCountSelectPartItem(1, 0);
    Attach(place, select);
    return Selecting(select);
}

int32_t HighestTurnCount(const TSelectPartMuz& select)
{
    int32_t highest = 0;
    for (TSelectPartItem* i = select.GetSelectPartItems()->GetNext(); i; i = i->GetNext())
        highest = std::max(highest, static_cast<TCountSelectPartItem*>(i)->Count.GetValue());
    return highest;
}

TTreeEdit AddTurnItem(TSelectPartMuz& select)
{
    const int32_t highest = HighestTurnCount(select);
    if (highest >= muzCountMax) {
        std::string reason;
        CheckUserBound(2, double(highest) + 1, muzCountMax, reason);
        return Refused("In Count: " + reason);
    }
    TCountSelectPartItem* item = select.AddCountSelectPartItem(highest + 1, 0);
    if (TUnitMuz* doc = select.GetDocument())
        doc->PartsChanged();
    return Selecting(item);
}

// ---- Moving ----------------------------------------------------------------------------------

bool CanMovePart(const TPartMuz& part, TPartMove move)
{
    const TPartSiblings s = PartSiblings(part);
    switch (move) {
    case TPartMove::Forward:
        return s.next != nullptr;
    case TPartMove::Backward:
        return s.previous != nullptr;
    case TPartMove::ForwardIn:
        return IsLoopOrSelect(s.next);
    case TPartMove::BackwardIn:
        return IsLoopOrSelect(s.previous);
    case TPartMove::ForwardOut:
    case TPartMove::BackwardOut:
        return !s.topLevel && (s.next || s.previous);
    }
    return false;
}

TTreeEdit MovePart(TUnitMuz& doc, TPartMuz& part, TPartMove move)
{
    if (!KV_SOFT_ASSERT(CanMovePart(part, move)))
        return {};
    const TPartSiblings s = PartSiblings(part);
    const bool forward =
        move == TPartMove::Forward || move == TPartMove::ForwardIn || move == TPartMove::ForwardOut;
    // The sibling swapped with or moved into; the out moves have none (nor need one).
    TPartMuz* neighbour = forward ? s.next : s.previous;
    const int32_t height = Height(part);
    switch (move) {
    case TPartMove::Forward:
    case TPartMove::Backward: {
        TPartMuz& other = *neighbour;
        // Each takes the other's place: each subtree moves to the other's level.
        if (std::string refusal = DepthRefusal(std::max(int64_t{Level(other)} + height - 1,
                                                        int64_t{Level(part)} + Height(other) - 1));
            !refusal.empty())
            return Refused(refusal);
        TPartMuz* partParent = part.GetParent();
        TPartMuz* otherParent = other.GetParent();
        TPartMuz** partLink = partParent->ChildLink(&part);
        TPartMuz** otherLink = otherParent->ChildLink(&other);
        *partLink = &other;
        *otherLink = &part;
        other.SetParent(partParent);
        part.SetParent(otherParent);
        doc.PartsChanged();
        break;
    }
    case TPartMove::ForwardIn:
    case TPartMove::BackwardIn: {
        TPartMuz& other = *neighbour;
        // The content of other goes one level down, and part comes in beside it.
        if (std::string refusal = DepthRefusal(std::max(int64_t{Level(other)} + Height(other),
                                                        int64_t{Level(other)} + 1 + height));
            !refusal.empty())
            return Refused(refusal);
        LeaveConcatenation(part);
        TPartMuz* content = TakeContent(other);
        SetContent(other, forward ? new TConcatPartMuz(&doc, &part, content)
                                  : new TConcatPartMuz(&doc, content, &part));
        doc.PartsChanged();
        break;
    }
    case TPartMove::ForwardOut:
    case TPartMove::BackwardOut: {
        TPartMuz* holder = part.EnclosingLoopOrSelect();
        if (std::string refusal = DepthRefusal(std::max(int64_t{Level(*holder)} + Height(*holder),
                                                        int64_t{Level(*holder)} + height));
            !refusal.empty())
            return Refused(refusal);
        LeaveConcatenation(part);
        const TPartMuz::TDetached place = holder->Detach();
        Attach(place, forward ? new TConcatPartMuz(&doc, holder, &part)
                              : new TConcatPartMuz(&doc, &part, holder));
        break;
    }
    }
    return Selecting(&part);
}

// ---- Deleting --------------------------------------------------------------------------------

bool CanDeleteTreeItem(TMusTreeItem& item)
{
    if (AsTurnItem(&item))
        return true;
    TPartMuz* part = AsTreePart(&item);
    if (!part)
        return false;
    if (IsLoopOrSelect(part))
        return true;
    const TPartSiblings s = PartSiblings(*part);
    return part->GetKind() == partSingle && (s.next || s.previous);
}

TTreeEdit DeleteTreeItem(TUnitMuz& doc, TMusTreeItem& item)
{
    if (!KV_SOFT_ASSERT(CanDeleteTreeItem(item)))
        return {};
    if (TCountSelectPartItem* turn = AsTurnItem(&item)) {
        // The very item shown goes, whichever of two equal counts it is.
        TSelectPartMuz* select = turn->GetSelectPart();
        for (TSelectPartItem* prev = select->GetSelectPartItems(); prev; prev = prev->GetNext())
            if (prev->GetNext() == turn) {
                prev->SetNext(turn->GetNext());
                break;
            }
        delete turn;
        doc.PartsChanged();
        return Selecting(select);
    }
    TPartMuz& part = *AsTreePart(&item);
    if (IsLoopOrSelect(&part)) {
        TPartMuz* content = TakeContent(part);
        const TPartMuz::TDetached place = part.Detach();
        Attach(place, content);
        delete &part;
        return Selecting(EdgeNode(content, false));
    }
    const TPartSiblings s = PartSiblings(part);
    TPartMuz* neighbour = s.next ? s.next : s.previous;
    if (!doc.DeletePart(&part))
        return {};
    return Selecting(neighbour);
}

// ---- Symbols and texts -----------------------------------------------------------------------

TXTouchMuzSymbol* PartStaveSymbol(TPartMuz& part, const TNoteStave& stave, bool last)
{
    // Entered from above, a part answers its first (last) cursor symbol of the stave.
    return last ? part.PrevStaveSymbol(&stave, part.GetParent())
                : part.NextStaveSymbol(&stave, part.GetParent());
}

std::string OctaveText(int32_t semitones)
{
    const int32_t octaves = semitones / 12;
    const int32_t rest = semitones % 12;
    const int32_t denominator = 12 / std::gcd(rest < 0 ? -rest : rest, 12);
    if (denominator == 1)
        return std::to_string(octaves);
    int32_t numerator = semitones / (12 / denominator) - octaves * denominator;
    if (octaves < 0)
        numerator = -numerator;
    const std::string fraction = std::to_string(numerator) + "/" + std::to_string(denominator);
    return octaves == 0 ? fraction : std::to_string(octaves) + " " + fraction;
}

} // namespace kelvorn
