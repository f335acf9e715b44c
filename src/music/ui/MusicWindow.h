#pragma once
// The document window of a music piece: every stave of the piece stacked from top to bottom
// and the symbols of the whole part tree laid out from left to right as one score, painted by
// the score painter onto a backing image and scrollable both ways. Dragging the lower border of
// a stave changes its rooms: the left button moves the border alone, the right button the
// stave with its border, both buttons the border while the middle line follows by half.
//
// The painter keeps the columns that align the staves and answers what lies under a point;
// the window keeps the scroll state, the drag and the link to the main window
// (MusicWindowHost). A click edits by the document's edit mode (insert the tool's symbol, select,
// delete), the cursor over the score says what a click would do, and the cursor keys walk and
// move the selection; the piece's own commands do the work.

#include "music/core/UnitMuz.h"
#include "window_base/ChildKelvorn.h"

#include <QImage>

#include <cstdint>
#include <memory>

class QScrollBar;

namespace kelvorn {

class QtCanvas;
class TNoteStave;
class TScorePainter;

class TMDIChildMuz : public TMDIChildKelvorn, public MusicWindowLink
{
    Q_OBJECT

public:
    /// No room above or below a stave's middle line falls below this many pixels.
    static constexpr int32_t MinRoom = 30;
    /// The score's first rows and columns: above the first stave and left of every stave.
    static constexpr int32_t ScoreTop = 40;

    /// Takes the document and links window and document both ways; caption "Music" until the
    /// document names it.
    TMDIChildMuz(QWidget* owner, std::unique_ptr<TUnitMuz> unit);
    /// Unlinks the document, which goes with the window.
    ~TMDIChildMuz() override;

    TUnitMuz& GetUnitMuz() const;
    /// Shows unit in place of the document, which goes (a revert read a fresh one); a drag
    /// under way ends.
    void SetUnitMuz(std::unique_ptr<TUnitMuz> unit);
    /// What the last paint laid out: the finders answer from it.
    const TScorePainter& Painter() const { return *painter; }

    // ---- Painting and scrolling --------------------------------------------------------

    /// Repaints the whole score (the document calls it after every change).
    void Redraw() override;
    /// Paints the score at the scroll bars' positions into the backing image and sets both
    /// scroll bars from what it reached: increment a tenth of the client size, position minus
    /// the origin, range the extent minus the origin. The paint event runs it.
    void PaintScore();
    /// The backing image of the last paint.
    const QImage& Image() const;
    /// The client area: the mouse and the paint events arrive there.
    QWidget* ScoreViewport() const;
    QScrollBar* HorzScrollBar() const;
    QScrollBar* VertScrollBar() const;
    int ClientWidth() const;
    int ClientHeight() const;
    /// Client x and y of the score's left and top edge, and of the end of the scrollable width
    /// and height, as the last paint found them.
    int32_t GetXOrigin() const { return xOrigin; }
    int32_t GetYOrigin() const { return yOrigin; }
    int32_t GetXExtent() const { return xExtent; }
    int32_t GetYExtent() const { return yExtent; }
    /// The scrollable width and height (extent minus origin) the bars were given.
    int32_t GetHorzRange() const { return horzRange; }
    int32_t GetVertRange() const { return vertRange; }

    /// Scrolls so that a symbol's client columns [left, right] lie inside a tenth of the client
    /// width from either edge; when both edges are out, the right one wins.
    void AutoScrollHorz(int32_t left, int32_t right) override;
    /// The same for rows, with margins of a fifth of the client height.
    void AutoScrollVert(int32_t top, int32_t bottom) override;
    /// Paints the score now, so that what lies under a point is what shows.
    int32_t LayOutNow() override;

    // ---- Mouse ---------------------------------------------------------------------------

    /// A press at client (x, y), whichever button: within 3 pixels above or 2 below a stave's
    /// lower border it starts dragging that border. Elsewhere, with no drag under way, by the
    /// edit mode: insert mode inserts the tool's symbol at the clicked step (the accidental tool
    /// gives the symbol under the mouse its accidental), select mode selects the symbol under the
    /// mouse or, when it is selected already, nothing, delete mode deletes it.
    void EvFormMouseDown(int x, int y);
    /// A move with the buttons held: while dragging, the border follows y (neither the left
    /// nor the right button held ends the drag); over a border the cursor is the vertical
    /// split, elsewhere the cursor of what a click would do.
    void EvFormMouseMove(Qt::MouseButtons held, int x, int y);
    /// A release: the drag ends once neither the left nor the right button is held.
    void EvFormMouseUp(Qt::MouseButtons held);
    /// A click into the window: the main window follows it as it follows an activation.
    void FormClick();
    /// A key in the window: the arrows, Home, End and the page keys walk the selection, with
    /// Ctrl they move the selected symbol in time or pitch (and Ctrl+Up and Down step the clef
    /// tool). Whether the key was one of them; Alt makes none.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

    bool IsDragging() const { return dragging; }
    /// The stave whose lower border is dragged, and the client row the drag was last applied at.
    TNoteStave* DraggedStave() const { return DragStaveBorderPrevious; }
    int32_t DragY() const { return dragY; }
    /// Which half gets the next odd pixel when both buttons drag.
    bool SplitToggle() const { return splitToggle; }

    // ---- Cursors and caption (both bases ask; one answer serves both) -----------------

    /// The window's own cursor (0 arrow, 2 "DELETE", 3 "SIL", 4 "REJECT", 5 "NOTE", ...)
    /// over the score.
    void SetMouseCursor(int index) override;
    /// The cursor shown over the score now; -1 while it is the vertical split of a border.
    int ShownCursor() const { return shownCursor; }
    void UpdateCaption() override { TMDIChildKelvorn::UpdateCaption(); }
    void RefreshCaption(const std::string& oldName) override
    {
        TMDIChildKelvorn::RefreshCaption(oldName);
    }
    void SetDrawCursor() override { TMDIChildKelvorn::SetDrawCursor(); }

private:
    class ScoreView;

    void DragTo(Qt::MouseButtons held, int y);
    void Hover(int x, int y);
    /// The cursor of a click at (x, y) in the edit mode; -1 for the one shown now.
    int ModeCursor(int x, int y) const;

    ScoreView* view = nullptr;
    std::unique_ptr<QtCanvas> backing;
    std::unique_ptr<TScorePainter> painter;
    int32_t xOrigin = 0;
    int32_t xExtent = 0;
    int32_t yOrigin = 0;
    int32_t yExtent = 0;
    int32_t horzRange = 0;
    int32_t vertRange = 0;
    bool dragging = false;
    int32_t dragY = 0;
    TNoteStave* DragStaveBorderPrevious = nullptr;
    bool splitToggle = true;
    int ownCursor = 0;
    int shownCursor = 0;
    uint64_t paintedGeneration = ~uint64_t{0};
};

/// The music document of window, or null for a window of another kind (or none).
TUnitMuz* UnitMuzOf(const TMDIChildKelvorn* window);

} // namespace kelvorn
