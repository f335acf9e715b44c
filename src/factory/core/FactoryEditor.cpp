#include "factory/core/FactoryEditor.h"

#include "factory/core/BuiltinNodeMaker.h"
#include "factory/core/UserNodes.h"
#include "general/Assert.h"
#include "general/Services.h"

#include <algorithm>
#include <functional>

namespace kelvorn {

namespace {

bool IsPin(uint8_t object)
{
    return object == sntSountoryObjectInput || object == sntSountoryObjectOutput ||
           object == sntSountoryObjectNodeInput || object == sntSountoryObjectNodeOutput;
}

TSountoryInputSource* SourceOf(const TSntHit& hit)
{
    if (hit.input)
        return hit.input;
    return hit.nodeOutput;
}

TSountoryOutputTarget* TargetOf(const TSntHit& hit)
{
    if (hit.output)
        return hit.output;
    return hit.nodeInput;
}

TSntPinPlace* PlaceOf(const TSntHit& hit)
{
    if (hit.input)
        return hit.input;
    if (hit.output)
        return hit.output;
    if (hit.nodeInput)
        return hit.nodeInput;
    return hit.nodeOutput;
}

/// The source and the target of a connection between the dragged pin and the hit one, in either
/// order; false when the two are not a source and a target.
bool PairOf(const TSntHit& dragged, const TSntHit& hit, TSountoryInputSource*& source,
            TSountoryOutputTarget*& target)
{
    source = SourceOf(dragged);
    target = TargetOf(hit);
    if (source && target)
        return true;
    source = SourceOf(hit);
    target = TargetOf(dragged);
    return source && target;
}

int32_t MatchOf(const TSountoryInputSource& source, const TSountoryOutputTarget& target)
{
    return CanMatch(source.GetSourceDomain(), source.GetSourceDomType(), target.GetTargetDomain(),
                    target.GetTargetDomType());
}

bool operator!=(const TSountoryRectangle& a, const TSountoryRectangle& b)
{
    return a.left != b.left || a.top != b.top || a.right != b.right || a.bottom != b.bottom;
}

/// The wanted rectangle for a drag of part by (dx, dy): the dragged edges move, the inside moves
/// them all.
TSountoryRectangle Dragged(TSountoryRectangle rect, uint8_t part, int32_t dx, int32_t dy)
{
    const bool inside = part == sntTouchInside;
    if (inside || IsLeftPart(part))
        rect.left += dx;
    if (inside || IsRightPart(part))
        rect.right += dx;
    if (inside || IsTopPart(part))
        rect.top += dy;
    if (inside || IsBottomPart(part))
        rect.bottom += dy;
    return rect;
}

/// How far the mouse reference follows what the limits let happen, so that a drag caught at a
/// limit goes on from there when the mouse comes back.
void Follow(uint8_t part, const TSountoryRectangle& wanted, const TSountoryRectangle& result,
            PixelPoint& point)
{
    const bool inside = part == sntTouchInside;
    if (inside || IsLeftPart(part))
        point.x += result.left - wanted.left;
    else if (IsRightPart(part))
        point.x += result.right - wanted.right;
    if (inside || IsTopPart(part))
        point.y += result.top - wanted.top;
    else if (IsBottomPart(part))
        point.y += result.bottom - wanted.bottom;
}

bool IsReference(const TSountoryNode& node)
{
    return node.GetSntNodeKind() == sntNodeUser || node.GetSntNodeKind() == sntNodeLoop;
}

template <class Find> std::string FreePinName(const std::string& base, Find exists)
{
    std::string name = base;
    for (int32_t n = 2; exists(name); ++n)
        name = base + " " + std::to_string(n);
    return name;
}

} // namespace

EditorCursor CursorForPart(uint8_t part, bool movable)
{
    switch (part) {
    case sntTouchLeft:
    case sntTouchRight:
        return EditorCursor::SizeHor;
    case sntTouchTop:
    case sntTouchBottom:
        return EditorCursor::SizeVer;
    case sntTouchTopLeft:
    case sntTouchBottomRight:
        return EditorCursor::SizeFDiag;
    case sntTouchTopRight:
    case sntTouchBottomLeft:
        return EditorCursor::SizeBDiag;
    default:
        return movable ? EditorCursor::Drag : EditorCursor::Default;
    }
}

std::string DeleteConnectionCaption(int32_t count)
{
    return count == 1 ? "Delete Connection" : "Delete Connections";
}

std::string MakeConnectionCaption(int32_t kind)
{
    switch (kind) {
    case 0:
        return "Add &Connection";
    case 1:
        return "Replace &Connection";
    default:
        return "Oops &Connection";
    }
}

TFactoryEditor::TFactoryEditor(TUnitSountory& factory, TFactoryEditorView& view)
    : factory(&factory), view(view)
{
}

void TFactoryEditor::SetFactory(TUnitSountory& newFactory)
{
    // Nothing of the factory that goes is touched: it may be gone already.
    if (dragCursorShown)
        view.EndDragCursor();
    dragCursorShown = false;
    dragging = false;
    connecting = false;
    drag = TSntHit{};
    highlighted = nullptr;
    hintObject = nullptr;
    view.HideHint();
    factory = &newFactory;
    UpdateView();
}

// ---- modes ----

uint8_t TFactoryEditor::GetMode() const
{
    return factory->View.Mode;
}

void TFactoryEditor::SetMode(uint8_t mode)
{
    MarkModified();
    factory->View.Mode = mode == ModeConnect ? ModeConnect : ModeDrag;
}

bool TFactoryEditor::GetShowHints() const
{
    return factory->View.ShowHints;
}

void TFactoryEditor::ToggleShowHints()
{
    MarkModified();
    factory->View.ShowHints = !factory->View.ShowHints;
    HideHint();
}

// ---- helpers ----

bool TFactoryEditor::HitAt(TSntHit& hit, bool forDragging) const
{
    return PointInObject(*factory, dragPoint, hit, forDragging);
}

void TFactoryEditor::UpdateView()
{
    view.Invalidate();
    factory->ShowFactoryKind();
}

void TFactoryEditor::MarkModified()
{
    factory->SetModified();
}

const TSountoryTouchable* TFactoryEditor::GetConnectingPin() const
{
    return connecting && IsPin(drag.object) ? drag.touchable : nullptr;
}

// ---- highlight and hint ----

void TFactoryEditor::SetHighlight(TSountoryTouchable* element, uint8_t state)
{
    if (highlighted && highlighted != element) {
        highlighted->HighlightState = 0;
        UpdateView();
    }
    if (element && element != highlighted) {
        element->HighlightState = state;
        UpdateView();
    }
    highlighted = element;
}

void TFactoryEditor::ClearHighlight()
{
    // Every mouse move over an empty spot comes here: the view is painted again only when the
    // picture changes.
    if (!highlighted)
        return;
    highlighted->HighlightState = 0;
    highlighted = nullptr;
    UpdateView();
}

void TFactoryEditor::ShowHintFor(TSountoryTouchable* element, PixelPoint point)
{
    if (!factory->View.ShowHints)
        return;
    if (element && element != hintObject)
        view.ShowHint(element->GetHintText(), point);
    hintObject = element;
}

void TFactoryEditor::HideHint()
{
    hintObject = nullptr;
    view.HideHint();
}

// ---- the mouse ----

void TFactoryEditor::StartDrag()
{
    TSntHit hit;
    if (!HitAt(hit, true))
        return;
    dragging = true;
    drag = hit;
    const bool shaped =
        hit.object == sntSountoryObjectSountory || hit.object == sntSountoryObjectNode;
    if (dragCursorShown)
        view.EndDragCursor();
    view.SetDragCursor(shaped ? CursorForPart(hit.part, true) : EditorCursor::Default);
    dragCursorShown = true;
}

void TFactoryEditor::EndDrag()
{
    dragging = false;
    if (dragCursorShown)
        view.EndDragCursor();
    dragCursorShown = false;
}

void TFactoryEditor::StartConnect()
{
    TSntHit hit;
    if (!HitAt(hit, false))
        return;
    connecting = true;
    drag = hit;
}

void TFactoryEditor::EndConnect()
{
    const bool drawn = connecting;
    connecting = false;
    ClearHighlight();
    HideHint();
    if (drawn)
        UpdateView();
}

void TFactoryEditor::MouseDown(uint8_t button, PixelPoint point)
{
    dragPoint = point;
    if (connecting || button != ButtonLeft)
        return;
    TSntHit hit;
    if (!HitAt(hit, false))
        return;
    if (GetMode() == ModeConnect && IsPin(hit.object))
        StartConnect();
    else
        StartDrag();
    if (hit.object == sntSountoryObjectNode) {
        factory->BringNodeToFront(hit.node);
        UpdateView();
    }
}

void TFactoryEditor::Hover(PixelPoint point)
{
    TSntHit hit;
    if (!PointInObject(*factory, point, hit, true)) {
        view.SetCursor(EditorCursor::Default);
        ClearHighlight();
        HideHint();
    } else if (!IsPin(hit.object)) {
        ClearHighlight();
        HideHint();
        view.SetCursor(CursorForPart(hit.part, false));
    } else {
        view.SetCursor(EditorCursor::Default);
        SetHighlight(hit.touchable, 1);
        ShowHintFor(hit.touchable, point);
    }
}

void TFactoryEditor::DragBy(int32_t dx, int32_t dy, PixelPoint& corrected)
{
    switch (drag.object) {
    case sntSountoryObjectSountory: {
        const TSountoryRectangle wanted = Dragged(factory->FactoryRect, drag.part, dx, dy);
        TSountoryRectangle rect = wanted;
        FitFactoryRect(*factory, drag.part, rect);
        if (rect != factory->FactoryRect)
            MarkModified();
        factory->FactoryRect = rect;
        Follow(drag.part, wanted, rect, corrected);
        break;
    }
    case sntSountoryObjectNode: {
        const TSountoryRectangle old = drag.node->GetRect();
        const TSountoryRectangle wanted = Dragged(old, drag.part, dx, dy);
        TSountoryRectangle rect = wanted;
        // In the shift mode the nodes in the way move (and the area grows) even when this one
        // cannot.
        const bool pushed = DragRectangle(*drag.node, drag.part, rect);
        if (pushed || rect != old)
            MarkModified();
        drag.node->SetRect(rect);
        Follow(drag.part, wanted, rect, corrected);
        break;
    }
    default: {
        TSntPinPlace* place = PlaceOf(drag);
        if (!place)
            return;
        const int32_t old = place->GetY();
        const int32_t wanted = old + dy;
        place->SetHeightFromY(wanted);
        if (place->GetY() != old)
            MarkModified();
        corrected.y += place->GetY() - wanted;
        break;
    }
    }
    UpdateView();
}

void TFactoryEditor::TrackConnection()
{
    TSntHit hit;
    TSountoryInputSource* source = nullptr;
    TSountoryOutputTarget* target = nullptr;
    if (HitAt(hit, false) && IsPin(hit.object) && PairOf(drag, hit, source, target)) {
        SetHighlight(hit.touchable, target->CanConnect(source)
                                        ? GetMatchHighlight(MatchOf(*source, *target))
                                        : uint8_t(5));
    } else {
        ClearHighlight();
        HideHint();
    }
    view.SetCursor(EditorCursor::Drag);
    UpdateView();
}

void TFactoryEditor::MouseMove(uint8_t held, PixelPoint point)
{
    PixelPoint corrected = point;
    if (!dragging && !connecting)
        Hover(point);
    if (dragging && (held & (ButtonLeft | ButtonRight)))
        DragBy(point.x - dragPoint.x, point.y - dragPoint.y, corrected);
    // The partner under the mouse is looked for where the mouse was at the event before.
    if (connecting)
        TrackConnection();
    dragPoint = corrected;
}

void TFactoryEditor::FinishConnection()
{
    TSntHit hit;
    TSountoryInputSource* source = nullptr;
    TSountoryOutputTarget* target = nullptr;
    if (HitAt(hit, false) && IsPin(hit.object) && PairOf(drag, hit, source, target) &&
        target->CanConnect(source)) {
        if (MatchOf(*source, *target) != MatchNever ||
            factory->GetHost().ConfirmWarning(NeverMatchWarning, "Make Connection")) {
            target->SetSource(source);
            MarkModified();
        }
    }
    EndConnect();
}

void TFactoryEditor::MouseUp(uint8_t held)
{
    if (held & ButtonLeft)
        return;
    if (connecting)
        FinishConnection();
    EndDrag();
}

// ---- the pop-up menu ----

bool TFactoryEditor::FindNodePlace(TSountoryRectangle& rect) const
{
    TSntHit hit;
    return HitAt(hit, false) && hit.object == sntSountoryObjectSountory &&
           FindNewNodePlace(*factory, ToFactoryPoint(*factory, dragPoint), rect);
}

bool TFactoryEditor::CanPlaceNode() const
{
    TSountoryRectangle rect;
    return FindNodePlace(rect);
}

TFactoryMenuState TFactoryEditor::PreparePopup()
{
    using I = FactoryMenuItem;
    EndDrag();
    EndConnect();
    TFactoryMenuState menu;
    TSntHit hit;
    if (!HitAt(hit, false)) {
        menu.connDelCaption = DeleteConnectionCaption(0);
        return menu;
    }
    auto set = [&menu](I item, bool enabled, bool visible = true) {
        menu[item].visible = visible;
        menu[item].enabled = visible && enabled;
    };
    set(I::Properties, true);
    set(I::Delete, true);
    switch (hit.object) {
    case sntSountoryObjectSountory: {
        set(I::Delete, false);
        const bool place = CanPlaceNode();
        set(I::AddBuiltinNode, place);
        set(I::AddUserNode, place);
        set(I::AddLoopNode, true);
        set(I::AddInput, true);
        set(I::AddOutput, factory->GetFactoryKind() == FactoryFree);
        set(I::SetOutputValues, factory->CountOutputs() > 0);
        set(I::SetOutputTypes, factory->CountTypeChoiceOutputs() > 0);
        menu.connDelCaption = DeleteConnectionCaption(0);
        break;
    }
    case sntSountoryObjectNode: {
        TSountoryNode& node = *hit.node;
        const bool reference = IsReference(node);
        const bool builtin = node.GetSntNodeKind() == sntNodeBuiltin;
        const int32_t connections = node.CountConnections();
        set(I::AddInput, true, reference);
        set(I::AddOutput, node.GetSntNodeKind() != sntNodeLoop, reference);
        set(I::AddInputOperand, node.CanAddOperand(), builtin);
        set(I::ConnDel, connections > 0);
        set(I::CreateFactoryForNode, true);
        set(I::SetInputValues, node.CountInputs() > 0);
        set(I::SetInputTypes, node.CountTypeChoiceInputs() > 0);
        set(I::HelpBuiltin, true, builtin);
        menu.connDelCaption = DeleteConnectionCaption(connections);
        break;
    }
    default: {
        int32_t partners = 0;
        int32_t connected = 0;
        if (TSountoryInputSource* source = SourceOf(hit)) {
            source->CountTargets(connected, partners);
            menu.connMakeCaption = MakeConnectionCaption(0);
        } else {
            TSountoryOutputTarget* target = TargetOf(hit);
            partners = target->CountSources();
            connected = target->GetSource() ? 1 : 0;
            menu.connMakeCaption = MakeConnectionCaption(connected);
        }
        const bool fixed = PlaceOf(hit)->Fixed;
        set(I::Delete, !fixed || (hit.nodeInput && hit.node->CanRemoveOperand()));
        set(I::ConnMake, partners > 0);
        set(I::ConnDel, connected > 0);
        menu.connDelCaption = DeleteConnectionCaption(connected);
        break;
    }
    }
    return menu;
}

void TFactoryEditor::Run(FactoryMenuItem item)
{
    using I = FactoryMenuItem;
    TSntHit hit;
    switch (item) {
    case I::Properties:
        EditProperties();
        return;
    case I::ConnMake:
        StartConnect();
        return;
    case I::ConnDel:
        DeleteConnections();
        return;
    case I::SetInputTypes:
    case I::SetInputValues:
        if (HitAt(hit, false) && hit.object == sntSountoryObjectNode &&
            view.EditNodeValues(*hit.node, item == I::SetInputTypes)) {
            MarkModified();
            UpdateView();
        }
        return;
    case I::SetOutputTypes:
    case I::SetOutputValues:
        if (HitAt(hit, false) && hit.object == sntSountoryObjectSountory &&
            view.EditOutputValues(*factory, item == I::SetOutputTypes)) {
            MarkModified();
            UpdateView();
        }
        return;
    case I::AddBuiltinNode:
    case I::AddUserNode:
    case I::AddLoopNode:
        AddNode(item);
        return;
    case I::AddInput:
    case I::AddOutput:
        AddPin(item == I::AddOutput);
        return;
    case I::AddInputOperand:
        if (HitAt(hit, false) && hit.object == sntSountoryObjectNode && hit.node->AddOperand()) {
            MarkModified();
            UpdateView();
        }
        return;
    case I::CreateFactoryForNode:
        if (HitAt(hit, false) && hit.object == sntSountoryObjectNode)
            view.NewFactoryForNode(*hit.node);
        return;
    case I::Delete:
        DeleteElement();
        return;
    case I::HelpBuiltin:
        if (HitAt(hit, false) && hit.object == sntSountoryObjectNode &&
            hit.node->GetHelpContext() >= 0)
            view.ShowHelp(hit.node->GetHelpContext());
        return;
    }
}

void TFactoryEditor::FitReferenceNode(TSountoryNode& node)
{
    TUnitSountory* definition = factory->GetHost().FindFactory(node.GetDisplayName());
    if (!definition)
        return;
    if (auto* user = dynamic_cast<TSountoryNodeUser*>(&node))
        user->PinsFromDefinition(*definition);
    else if (auto* loop = dynamic_cast<TSountoryNodeLoop*>(&node))
        loop->PinsFromDefinition(*definition);
}

void TFactoryEditor::AddNode(FactoryMenuItem item)
{
    TSountoryRectangle rect;
    if (!FindNodePlace(rect))
        return;
    GrowToSize(*factory, 120, 105, rect);
    TSountoryNode* node = nullptr;
    switch (item) {
    case FactoryMenuItem::AddBuiltinNode: {
        const TBuiltinNodeMaker* maker = FindService<TBuiltinNodeMaker>();
        if (!KV_SOFT_ASSERT(maker != NULL))
            return;
        node = factory->AdoptNode(maker->Make(factory, "Builtin", 0, rect));
        if (!node)
            return;
        node->CreatePorts();
        break;
    }
    case FactoryMenuItem::AddUserNode:
        node = factory->CreateNode<TSountoryNodeUser>("User Node ", "Factory", rect);
        break;
    default:
        node = factory->CreateNode<TSountoryNodeLoop>("Mix Loop Node ", "Factory", rect, true);
        break;
    }
    UpdateView();
    bool fit = true;
    if (view.EditNodeProperties(*node, fit)) {
        if (IsReference(*node) && fit)
            FitReferenceNode(*node);
        TSountoryRectangle grown = node->GetRect();
        GrowToSize(*factory, 170,
                   std::max(68, 25 * std::max(node->CountInputs(), node->CountOutputs())), grown);
        node->SetRect(grown);
        MarkModified();
    } else {
        factory->RemoveNode(node);
    }
    UpdateView();
}

void TFactoryEditor::AddPin(bool output)
{
    TSntHit hit;
    if (!HitAt(hit, false))
        return;
    TSountoryRectangle side;
    if (hit.object == sntSountoryObjectSountory)
        side = factory->FactoryRect;
    else if (hit.object == sntSountoryObjectNode)
        side = hit.node->GetDrawRect();
    else
        return;
    // The touch zone reaches past the side: a place outside 0..1 would make a file that its own
    // reader refuses.
    double h = side.bottom != side.top
                   ? double(dragPoint.y - side.top) / double(side.bottom - side.top)
                   : 0.0;
    h = std::clamp(h, 0.0, 1.0);
    const unitFactorPosMax1 height(h, EHPerc);
    const std::string base = output ? "Output" : "Input";
    TSountoryTouchable* pin = nullptr;
    std::function<void()> remove;
    TSountoryNode* node = hit.node;
    if (!node && !output) {
        auto* made = factory->CreateInput(
            FreePinName(base, [this](const std::string& n) { return factory->FindInput(n); }),
            height, false, ValueDomType::Wave, ValueDomain::AllValues);
        pin = made;
        remove = [this, made] { factory->RemoveInput(made); };
    } else if (!node) {
        auto* made = factory->CreateOutput(
            FreePinName(base, [this](const std::string& n) { return factory->FindOutput(n); }),
            height, false, ValueDomType::Wave, ValueDomain::AllValues);
        pin = made;
        remove = [this, made] { factory->RemoveOutput(made); };
    } else if (!output) {
        auto* made = node->AddInput(
            FreePinName(base, [node](const std::string& n) { return node->FindInputByName(n); }),
            height, false, ValueDomType::Wave, ValueDomain::AllValues);
        pin = made;
        remove = [node, made] { node->DeleteInput(made); };
    } else {
        auto* made = node->AddOutput(
            FreePinName(base, [node](const std::string& n) { return node->FindOutputByName(n); }),
            height, false, ValueDomType::Wave, ValueDomain::AllValues);
        pin = made;
        remove = [node, made] { node->DeleteOutput(made); };
    }
    UpdateView();
    if (view.EditPinProperties(*pin)) {
        MarkModified();
    } else {
        ClearHighlight();
        HideHint();
        remove();
    }
    UpdateView();
}

void TFactoryEditor::EditProperties()
{
    TSntHit hit;
    if (!HitAt(hit, false))
        return;
    bool ok = false;
    bool fit = false;
    if (hit.object == sntSountoryObjectSountory)
        ok = view.EditFactoryProperties(*factory);
    else if (hit.object == sntSountoryObjectNode)
        ok = view.EditNodeProperties(*hit.node, fit);
    else
        ok = view.EditPinProperties(*hit.touchable);
    if (!ok)
        return;
    UpdateView();
    if (hit.object == sntSountoryObjectNode && IsReference(*hit.node) && fit)
        FitReferenceNode(*hit.node);
    MarkModified();
}

void TFactoryEditor::DeleteElement()
{
    TSntHit hit;
    if (!HitAt(hit, false))
        return;
    // Whatever goes may be the element highlighted or hinted.
    ClearHighlight();
    HideHint();
    switch (hit.object) {
    case sntSountoryObjectInput:
        if (hit.input->Fixed)
            return;
        factory->RemoveInput(hit.input);
        break;
    case sntSountoryObjectOutput:
        if (hit.output->Fixed)
            return;
        factory->RemoveOutput(hit.output);
        break;
    case sntSountoryObjectNode:
        factory->RemoveNode(hit.node);
        break;
    case sntSountoryObjectNodeInput: {
        const bool operand = hit.node->CanRemoveOperand();
        if (hit.nodeInput->Fixed && !operand)
            return;
        hit.node->DeleteInput(hit.nodeInput);
        if (operand)
            hit.node->RenumberOperands();
        break;
    }
    case sntSountoryObjectNodeOutput:
        if (hit.nodeOutput->Fixed)
            return;
        hit.node->DeleteOutput(hit.nodeOutput);
        break;
    default:
        return;
    }
    MarkModified();
    UpdateView();
}

void TFactoryEditor::DeleteConnections()
{
    TSntHit hit;
    if (!HitAt(hit, false) || hit.object == sntSountoryObjectSountory)
        return;
    if (hit.object == sntSountoryObjectNode)
        hit.node->DisconnectAll();
    else if (TSountoryInputSource* source = SourceOf(hit))
        source->DisconnectAll();
    else
        TargetOf(hit)->ClearSource();
    MarkModified();
    UpdateView();
}

// ---- scrolling ----

void TFactoryEditor::PlaceArea(int32_t horPosition, int32_t vertPosition)
{
    TSountoryRectangle& area = factory->FactoryRect;
    const int32_t width = area.right - area.left;
    const int32_t height = area.bottom - area.top;
    area.left = AreaLeft - horPosition;
    area.top = AreaTop - vertPosition;
    area.right = area.left + width;
    area.bottom = area.top + height;
}

TEditorScrollBar TFactoryEditor::HorScroll(int32_t clientWidth) const
{
    const TSountoryRectangle& area = factory->FactoryRect;
    return {clientWidth / 10, AreaLeft - area.left, area.right - area.left + 2 * AreaLeft};
}

TEditorScrollBar TFactoryEditor::VertScroll(int32_t clientHeight) const
{
    const TSountoryRectangle& area = factory->FactoryRect;
    return {clientHeight / 10, AreaTop - area.top, area.bottom - area.top + 2 * AreaTop};
}

} // namespace kelvorn
