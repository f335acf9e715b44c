#pragma once
// The part tree as the "Music Parts" window shows and edits it. The window's tree has a node
// for every single, loop and select part and for every turn item; concatenations have none, so
// the parts of a chain of concatenations stand side by side as siblings under the node of the
// nearest loop or select part above them (or at the top). The edits here work on the parts
// behind those nodes: each leaves every parent link right, keeps the tree no deeper than a
// music file may hold, and answers the item the window selects next.

#include "music/core/PartMuz.h"

#include <cstdint>
#include <string>

namespace kelvorn {

class TUnitMuz;

/// The images of the tree's nodes.
enum TreeNodeImage : int32_t {
    treeImageLoop = 0,
    treeImageSingle = 1,
    treeImageTurn = 2,
    treeImageSelect = 3
};

/// The tree view the piece fills; nodes are the view's own handles.
class TPartTreeView
{
public:
    using Node = void*;
    virtual ~TPartTreeView() = default;
    /// Empties the view, with no node selected; the fill ends with EndFill.
    virtual void BeginFill() = 0;
    virtual void EndFill() = 0;
    /// A node for item under parent (null: at the top), showing text with image.
    virtual Node AddNode(Node parent, TMusTreeItem& item, const std::string& text,
                         int32_t image) = 0;
    virtual void SetExpanded(Node node, bool expanded) = 0;
    virtual void SelectNode(Node node) = 0;
    /// The item of node, or null.
    virtual TMusTreeItem* ItemOf(Node node) const = 0;
};

/// The sibling nodes of a part's node that are parts, and whether a loop or select part holds
/// it. A turn item before the first part of a select part is no sibling part.
struct TPartSiblings
{
    TPartMuz* previous = nullptr;
    TPartMuz* next = nullptr;
    bool topLevel = true;
};
TPartSiblings PartSiblings(const TPartMuz& part);

/// The tree item a node stands for as a part, or null for a turn item.
TPartMuz* AsTreePart(TMusTreeItem* item);
/// The turn item a node stands for, or null for a part.
TCountSelectPartItem* AsTurnItem(TMusTreeItem* item);
/// Whether item is a part or turn item of doc's tree (a window's node may outlive its item).
bool HoldsTreeItem(const TUnitMuz& doc, const TMusTreeItem* item);

/// What an edit of the tree did: the item to select next, or none when it refused, with the
/// reason to show under "Input Error".
struct TTreeEdit
{
    TMusTreeItem* select = nullptr;
    std::string refusal;
};

/// A new single part (a 4/4 bar, a G clef on every stave) before or after part, joined with it
/// by a new concatenation that takes part's place; the new part is selected.
TTreeEdit InsertSinglePart(TUnitMuz& doc, TPartMuz& part, bool after);
/// A new loop of 2 turns around part, in its place; the loop is selected.
TTreeEdit WrapInLoop(TUnitMuz& doc, TPartMuz& part);
/// A new select part around part, in its place, playing it in turn 1 unchanged; it is selected.
TTreeEdit WrapInSelect(TUnitMuz& doc, TPartMuz& part);
/// A turn item for the turn after the highest one of select, with no transposition; selected.
TTreeEdit AddTurnItem(TSelectPartMuz& select);
/// The highest Count of select's turn items, 0 without any.
int32_t HighestTurnCount(const TSelectPartMuz& select);

enum class TPartMove : uint8_t {
    Forward,    ///< places with the next sibling part
    Backward,   ///< places with the previous sibling part
    ForwardIn,  ///< into the next sibling, a loop or select part, at its front
    BackwardIn, ///< into the previous sibling, a loop or select part, at its end
    ForwardOut, ///< out of the loop or select part above, just after it
    BackwardOut ///< out of the loop or select part above, just before it
};
/// Whether part's node has the sibling or the parent the move needs.
bool CanMovePart(const TPartMuz& part, TPartMove move);
/// Moves part; the moved part stays selected.
TTreeEdit MovePart(TUnitMuz& doc, TPartMuz& part, TPartMove move);

/// A turn item, a loop or select part, or a single part with a sibling part.
bool CanDeleteTreeItem(TMusTreeItem& item);
/// Removes item: a turn item (its select part is selected), a loop or select part (its content
/// takes its place and is selected), a single part with its music (its concatenation gives way
/// to the other part; the next sibling part, else the previous one, is selected).
TTreeEdit DeleteTreeItem(TUnitMuz& doc, TMusTreeItem& item);

/// The first (last) cursor symbol of stave in part: a loop's left (right) mark, else the
/// opening clef (the last symbol) of the first (last) single part; null for none.
TXTouchMuzSymbol* PartStaveSymbol(TPartMuz& part, const TNoteStave& stave, bool last);

/// semitones as octaves: "1 1/2" for 18, "7/12" for 7, "-1/2" for -6, "-1 1/2" for -18.
std::string OctaveText(int32_t semitones);

} // namespace kelvorn
