#pragma once
// The editing of a factory with the mouse and the pop-up menu, as its editor window offers it:
// dragging the area's right and bottom edges, nodes (moved and resized in the placement mode of
// the factory) and the places of pins; drawing connections from pin to pin with the partners
// highlighted by how well their values match; adding and deleting nodes, pins and connections;
// and the property and values dialogs of what lies under the mouse. The window hands its mouse
// events and its pop-up menu here and answers through TFactoryEditorView; everything the editor
// decides is model code, so it is tested without a display.
//
// The editor keeps pointers into the factory (the element dragged, the pin highlighted, the
// element whose hint shows). SetFactory forgets them all, so a factory that replaces the shown
// one (a revert) never finds them pointing into the one that went.

#include "factory/core/Placement.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvorn {

/// The mouse cursors of the editor.
enum class EditorCursor : uint8_t {
    Default,
    Drag,
    SizeHor,
    SizeVer,
    /// Top-left to bottom-right.
    SizeFDiag,
    /// Top-right to bottom-left.
    SizeBDiag,
};

/// The cursor over a part of the area or a node; the inside shows the drag cursor only for an
/// element that is being moved.
EditorCursor CursorForPart(uint8_t part, bool movable);

/// Mouse buttons, as a set of bits.
enum EditorButton : uint8_t { ButtonLeft = 1, ButtonRight = 2, ButtonMiddle = 4 };

/// The pop-up menu's items in menu order (the separators are the window's).
enum class FactoryMenuItem : uint8_t {
    Properties,
    ConnMake,
    ConnDel,
    SetInputTypes,
    SetInputValues,
    SetOutputTypes,
    SetOutputValues,
    AddBuiltinNode,
    AddUserNode,
    AddLoopNode,
    AddInput,
    AddOutput,
    AddInputOperand,
    CreateFactoryForNode,
    Delete,
    HelpBuiltin,
};
inline constexpr size_t FactoryMenuItemCount = 16;

/// What the pop-up shows for the element under the mouse: each item's state and the two
/// captions that change.
struct TFactoryMenuState
{
    struct Item
    {
        bool visible = false;
        bool enabled = false;
    };
    std::array<Item, FactoryMenuItemCount> items{};
    std::string connMakeCaption;
    std::string connDelCaption;

    const Item& operator[](FactoryMenuItem item) const { return items[size_t(item)]; }
    Item& operator[](FactoryMenuItem item) { return items[size_t(item)]; }
};

/// "Delete Connection" for one connection, "Delete Connections" otherwise.
std::string DeleteConnectionCaption(int32_t count);
/// "Add &Connection" for 0, "Replace &Connection" for 1, "Oops &Connection" otherwise.
std::string MakeConnectionCaption(int32_t kind);

/// One scroll bar of the editor window: its step, its position and the whole scrollable size
/// (the page included).
struct TEditorScrollBar
{
    int32_t increment = 1;
    int32_t position = 0;
    int32_t range = 0;
};

/// What the editor needs of its window: repaints, cursors, the hint and the dialogs.
class TFactoryEditorView
{
public:
    virtual ~TFactoryEditorView() = default;
    /// The window paints again soon.
    virtual void Invalidate() = 0;
    /// The cursor over the window.
    virtual void SetCursor(EditorCursor cursor) = 0;
    /// The cursor of the whole program while a drag lasts, until EndDragCursor.
    virtual void SetDragCursor(EditorCursor cursor) = 0;
    virtual void EndDragCursor() = 0;
    /// Shows text in the hint window with its top-left corner 25 pixels below the window point.
    virtual void ShowHint(const std::string& text, PixelPoint windowPoint) = 0;
    virtual void HideHint() = 0;
    /// The property dialogs; true when OK wrote them.
    virtual bool EditFactoryProperties(TUnitSountory& factory) = 0;
    virtual bool EditPinProperties(TSountoryTouchable& pin) = 0;
    /// A user or repeat node's dialog hands fit back as the user left it.
    virtual bool EditNodeProperties(TSountoryNode& node, bool& fit) = 0;
    /// The values dialog of a node's inputs or of the factory's outputs, on its types page
    /// when types is set.
    virtual bool EditNodeValues(TSountoryNode& node, bool types) = 0;
    virtual bool EditOutputValues(TUnitSountory& factory, bool types) = 0;
    /// A new factory made for the node (its pins mirrored), in a window of its own.
    virtual void NewFactoryForNode(const TSountoryNode& node) = 0;
    virtual void ShowHelp(int32_t context) = 0;
};

class TFactoryEditor
{
public:
    /// Where the area stands at scroll position 0, in window coordinates.
    static constexpr int32_t AreaLeft = 23;
    static constexpr int32_t AreaTop = 3;

    TFactoryEditor(TUnitSountory& factory, TFactoryEditorView& view);

    TUnitSountory& Factory() const { return *factory; }
    /// Edits factory from now on: the drag, the connection, the highlight and the hint of the
    /// one before are forgotten without touching it.
    void SetFactory(TUnitSountory& factory);

    // ---- Modes (kept in the factory's view record, so they are saved with it) ----

    uint8_t GetMode() const;
    /// ModeDrag or ModeConnect; marks the factory modified.
    void SetMode(uint8_t mode);
    bool GetShowHints() const;
    /// Shows hints or stops showing them, hides the one shown; marks the factory modified.
    void ToggleShowHints();

    // ---- The mouse (window coordinates) ----

    void MouseDown(uint8_t button, PixelPoint point);
    /// held: the buttons held during the move.
    void MouseMove(uint8_t held, PixelPoint point);
    /// held: the buttons still held after the release.
    void MouseUp(uint8_t held);

    bool IsDragging() const { return dragging; }
    bool IsConnecting() const { return connecting; }
    PixelPoint GetDragPoint() const { return dragPoint; }
    /// The element dragged or connected from.
    const TSntHit& GetDragged() const { return drag; }
    /// The pin a connection is drawn from while one is; null otherwise.
    const TSountoryTouchable* GetConnectingPin() const;
    const TSountoryTouchable* GetHighlighted() const { return highlighted; }
    const TSountoryTouchable* GetHintObject() const { return hintObject; }

    void SetHighlight(TSountoryTouchable* element, uint8_t state);
    void ClearHighlight();
    void ShowHintFor(TSountoryTouchable* element, PixelPoint point);
    void HideHint();
    void EndDrag();
    void EndConnect();

    // ---- The pop-up menu ----

    /// Ends a drag or connection and answers the items for what lies under the drag point.
    TFactoryMenuState PreparePopup();
    /// Runs a menu item for what lies under the drag point.
    void Run(FactoryMenuItem item);
    /// Whether a new node finds a place at the drag point.
    bool CanPlaceNode() const;

    // ---- Scrolling ----

    /// Moves the area (keeping its size) to where the scroll positions put it.
    void PlaceArea(int32_t horPosition, int32_t vertPosition);
    /// The scroll bars for a client of that size, from the area as it stands.
    TEditorScrollBar HorScroll(int32_t clientWidth) const;
    TEditorScrollBar VertScroll(int32_t clientHeight) const;

private:
    bool HitAt(TSntHit& hit, bool forDragging) const;
    void UpdateView();
    void StartDrag();
    void StartConnect();
    void Hover(PixelPoint point);
    void DragBy(int32_t dx, int32_t dy, PixelPoint& corrected);
    void TrackConnection();
    void FinishConnection();
    bool FindNodePlace(TSountoryRectangle& rect) const;
    void AddNode(FactoryMenuItem item);
    void AddPin(bool output);
    void FitReferenceNode(TSountoryNode& node);
    void EditProperties();
    void DeleteElement();
    void DeleteConnections();
    void MarkModified();

    TUnitSountory* factory;
    TFactoryEditorView& view;
    bool dragging = false;
    bool connecting = false;
    bool dragCursorShown = false;
    PixelPoint dragPoint;
    TSntHit drag;
    TSountoryTouchable* highlighted = nullptr;
    TSountoryTouchable* hintObject = nullptr;
};

} // namespace kelvorn
