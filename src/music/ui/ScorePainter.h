#pragma once
// The whole score of a piece on a canvas, without a window: stacked staves with their bands,
// the part tree's symbols laid out left to right and aligned at every bar line, the end bar and
// the lines over the symbols; and what lies under a point. The window only scrolls, shows the
// image and hands its mouse to the finders here.
//
// The layout is kept with the piece (the document owns it as its TMuzKeeper): a paint lays out
// only what an edit made stale, from the bar the edit touched on, and then draws just the bars
// that reach into the window. Laid out once, a piece of any length repaints in the time its
// window's bars take. Touch ranges of the symbols are score columns: a client x plus the
// horizontal scroll; the finders here take client points.

#include "music/core/PartMuz.h"
#include "music/core/UnitMuz.h"
#include "music/ui/StaveLayout.h"
#include "platform/Canvas.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace kelvorn {

/// What the drawing of the part tree asks of whoever shows the score: the columns that keep
/// the staves aligned.
class TScoreColumns
{
public:
    virtual ~TScoreColumns() = default;
    /// The greatest x any stave has reached (never left of the score's origin).
    virtual int32_t GetMaxStaveX() = 0;
    virtual void SetStaveX(int32_t x) = 0;
    /// Lays every stave out to the bar line at position, draws the line across all of them and
    /// moves position to the next bar line; answers false.
    virtual bool DrawBarColumn(Canvas& canvas, const TMuzBar& bar, double& position) = 0;
};

/// The colour of the hatches above, below and instead of the staves.
constexpr uint32_t scoreHatchColor = 0x404040;

class TScorePainter final : public TScoreColumns
{
public:
    explicit TScorePainter(TUnitMuz& document) : document(document) {}

    /// Paints the client area of clientWidth x clientHeight scrolled by (xScroll, yScroll).
    void Paint(Canvas& canvas, int32_t clientWidth, int32_t clientHeight, int32_t xScroll,
               int32_t yScroll);

    int32_t GetMaxStaveX() override;
    void SetStaveX(int32_t x) override;
    bool DrawBarColumn(Canvas& canvas, const TMuzBar& bar, double& position) override;

    /// The ends of the scrollable area in client coordinates, from the last paint.
    int64_t XExtent() const { return xExtent; }
    int64_t YExtent() const { return yExtent; }
    int64_t XOrigin() const { return xOrigin; }
    int64_t YOrigin() const { return yOrigin; }

    // What lies under a point of the client area (as of the last paint).
    TNoteStave* HitStaveBorder(int32_t x, int32_t y) const;
    TNoteStave* FindStaveAtY(int32_t y) const;
    static int32_t StepFromY(int32_t y, const TNoteStave& stave);
    TMuzNote* FindNoteAtX(int32_t x, const TNoteStave* stave) const;
    TSilence* FindSilenceAtX(int32_t x, const TNoteStave* stave) const;
    void FindNeighbours(int32_t x, const TNoteStave* stave, TXTouchMuzSymbol*& before,
                        TXTouchMuzSymbol*& after) const;
    TXTouchMuzSymbol* FindSymbolAt(int32_t x, int32_t y) const;

private:
    friend class TKeptScore;
    void LayOut(class TKeptScore& kept, size_t fromCheckpoint);
    void AddCheckpoint(size_t step, int64_t chainIndex, double maxDone);
    void DrawSinglePart(TSinglePartMuz& part, Canvas& canvas, size_t step, int64_t resumeIndex,
                        double maxDone);
    void DrawLoopMark(TLoopPartSymbol* mark, int32_t count, Canvas& canvas);
    void LayBarLinesUpTo(Canvas& canvas, const TMuzBar& bar, double position);
    TStaveLayout* LayoutOf(const TNoteStave* stave);

    TUnitMuz& document;
    class TKeptScore* kept = nullptr;
    std::vector<std::unique_ptr<TStaveLayout>> layouts;
    TXTouchMuzSymbol* selected = nullptr;
    double barPosition = 0;
    int64_t xOrigin = 0, yOrigin = 0, xExtent = 0, yExtent = 0;
};

/// The symbol of part's subtree nearest to score column x and client row y by the score's
/// squared distances; replaces found only when strictly nearer than best.
void HitTestPart(TPartMuz* part, int32_t x, int32_t y, double& best, TXTouchMuzSymbol*& found);

} // namespace kelvorn
