#include "music/ui/MusicWindow.h"

#include "general/Assert.h"
#include "general/Services.h"
#include "music/core/MuzFile.h"
#include "music/core/Stave.h"
#include "music/ui/MusicWindowHost.h"
#include "music/ui/ScorePainter.h"
#include "window_base/CursorTable.h"
#include "window_base/QtCanvas.h"

#include <QAbstractScrollArea>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>
#include <cmath>

namespace kelvorn {

namespace {

std::unique_ptr<TUnitMuz> Document(std::unique_ptr<TUnitMuz> unit)
{
    // A window without a document would have nothing to paint or to answer with.
    if (KV_SOFT_ASSERT(unit != NULL))
        return unit;
    return std::make_unique<TUnitMuz>(std::string(), std::string());
}

int32_t ToInt32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT_MIN, INT_MAX));
}

/// Moves bar so that [from, to] of a client size pixels wide lies between the fractions near and
/// far of it; when both ends are out, the far one wins.
void AutoScroll(QScrollBar& bar, double size, double near, double far, int32_t from, int32_t to)
{
    int64_t d = 0;
    if (from < near * size)
        d = static_cast<int64_t>(std::trunc(from - near * size));
    if (to > far * size)
        d = static_cast<int64_t>(std::trunc(to - far * size));
    bar.setValue(ToInt32(bar.value() + d));
}

} // namespace

// The client area: it shows the backing image, scrolls by repainting it, and hands its mouse
// to the window.
class TMDIChildMuz::ScoreView final : public QAbstractScrollArea
{
public:
    explicit ScoreView(TMDIChildMuz& window) : window(window)
    {
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        // The score repaints whole; nothing shows through from behind.
        viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
        viewport()->setMouseTracking(true);
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        window.PaintScore();
        QPainter painter(viewport());
        const QRect area = event->rect();
        painter.drawImage(area, window.Image(), area);
    }
    void scrollContentsBy(int, int) override { viewport()->update(); }
    void mousePressEvent(QMouseEvent* event) override
    {
        const QPoint at = event->position().toPoint();
        pressed = true;
        window.EvFormMouseDown(at.x(), at.y());
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const QPoint at = event->position().toPoint();
        window.EvFormMouseMove(event->buttons(), at.x(), at.y());
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        window.EvFormMouseUp(event->buttons());
        if (pressed && event->buttons() == Qt::NoButton) {
            pressed = false;
            window.FormClick();
        }
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        // The keys of the selection walk it rather than scroll the view.
        if (!window.FormKeyDown(event->key(), event->modifiers()))
            QAbstractScrollArea::keyPressEvent(event);
    }

private:
    TMDIChildMuz& window;
    bool pressed = false;
};

TMDIChildMuz::TMDIChildMuz(QWidget* owner, std::unique_ptr<TUnitMuz> unit)
    : TMDIChildKelvorn(owner), backing(std::make_unique<QtCanvas>(1, 1))
{
    setObjectName(QStringLiteral("MDIChildMuz"));
    setWindowTitle(QStringLiteral("Music"));
    std::unique_ptr<TUnitMuz> document = Document(std::move(unit));
    TUnitMuz* raw = document.get();
    SetUnit(std::move(document));
    raw->SetChildMuz(this);
    painter = std::make_unique<TScorePainter>(*raw);
    view = new ScoreView(*this);
    setWidget(view);
}

TMDIChildMuz::~TMDIChildMuz()
{
    // The view paints from the painter and the document, which go before the base deletes it.
    delete view;
    view = nullptr;
    GetUnitMuz().SetChildMuz(nullptr);
}

TUnitMuz& TMDIChildMuz::GetUnitMuz() const
{
    return *UnitMuzOf(this);
}

void TMDIChildMuz::SetUnitMuz(std::unique_ptr<TUnitMuz> unit)
{
    std::unique_ptr<TUnitMuz> document = Document(std::move(unit));
    TUnitMuz* raw = document.get();
    dragging = false;
    DragStaveBorderPrevious = nullptr;
    // The painter lays out the document it was made for.
    painter = std::make_unique<TScorePainter>(*raw);
    std::unique_ptr<TFileUnit> old = ExchangeUnit(std::move(document));
    if (auto* oldMuz = dynamic_cast<TUnitMuz*>(old.get()))
        oldMuz->SetChildMuz(nullptr);
    raw->SetChildMuz(this);
    Redraw();
}

// ---- Painting and scrolling -------------------------------------------------------------------

void TMDIChildMuz::Redraw()
{
    if (view)
        view->viewport()->update();
}

void TMDIChildMuz::PaintScore()
{
    const int width = ClientWidth();
    const int height = ClientHeight();
    if (backing->Width() != width || backing->Height() != height)
        backing->Resize(width, height);
    paintedGeneration = GetUnitMuz().GetGeneration();
    painter->Paint(*backing, width, height, HorzScrollBar()->value(), VertScrollBar()->value());
    xOrigin = ToInt32(painter->XOrigin());
    yOrigin = ToInt32(painter->YOrigin());
    xExtent = ToInt32(painter->XExtent());
    yExtent = ToInt32(painter->YExtent());
    vertRange = ToInt32(painter->YExtent() - painter->YOrigin());
    horzRange = ToInt32(painter->XExtent() - painter->XOrigin());
    SetScrollBar(*VertScrollBar(), height / 10, -yOrigin, vertRange, height);
    SetScrollBar(*HorzScrollBar(), width / 10, -xOrigin, horzRange, width);
}

const QImage& TMDIChildMuz::Image() const
{
    return backing->Image();
}

QWidget* TMDIChildMuz::ScoreViewport() const
{
    return view->viewport();
}

QScrollBar* TMDIChildMuz::HorzScrollBar() const
{
    return view->horizontalScrollBar();
}

QScrollBar* TMDIChildMuz::VertScrollBar() const
{
    return view->verticalScrollBar();
}

int TMDIChildMuz::ClientWidth() const
{
    return std::max(1, view->viewport()->width());
}

int TMDIChildMuz::ClientHeight() const
{
    return std::max(1, view->viewport()->height());
}

void TMDIChildMuz::AutoScrollHorz(int32_t left, int32_t right)
{
    AutoScroll(*HorzScrollBar(), ClientWidth(), 0.1, 0.9, left, right);
}

void TMDIChildMuz::AutoScrollVert(int32_t top, int32_t bottom)
{
    AutoScroll(*VertScrollBar(), ClientHeight(), 0.2, 0.8, top, bottom);
}

int32_t TMDIChildMuz::LayOutNow()
{
    PaintScore();
    return xOrigin;
}

// ---- Mouse ------------------------------------------------------------------------------------

void TMDIChildMuz::EvFormMouseDown(int x, int y)
{
    // What lies under the mouse is found in the last paint: one after the last edit.
    if (GetUnitMuz().GetGeneration() != paintedGeneration)
        PaintScore();
    // A border wins in every edit mode, and starts the drag afresh when one is under way.
    if (TNoteStave* stave = painter->HitStaveBorder(x, y)) {
        dragging = true;
        dragY = y;
        DragStaveBorderPrevious = stave;
        splitToggle = true;
        return;
    }
    if (dragging)
        return;
    TUnitMuz& doc = GetUnitMuz();
    TXTouchMuzSymbol* symbol = painter->FindSymbolAt(x, y);
    auto* staveSymbol = symbol && symbol->GetMuzSymbolKind() == muzSymbolStave
                            ? static_cast<TStaveSymbol*>(symbol)
                            : nullptr;
    bool edited = false;
    switch (doc.GetUnitMuzMode()) {
    case unitMuzNew:
        if (doc.GetInsertModeKind() == insertModeNoteShift) {
            if (staveSymbol)
                edited = doc.ApplyNoteShift(
                    staveSymbol, TScorePainter::StepFromY(y, *staveSymbol->GetNoteStave()));
        } else if (TNoteStave* stave = painter->FindStaveAtY(y)) {
            TXTouchMuzSymbol *before = nullptr, *after = nullptr;
            painter->FindNeighbours(x, stave, before, after);
            edited = doc.InsertAt(stave, painter->FindNoteAtX(x, stave),
                                  painter->FindSilenceAtX(x, stave), before, after,
                                  TScorePainter::StepFromY(y, *stave));
        }
        break;
    case unitMuzSel:
        if (symbol) {
            // A second click on the selected symbol takes the selection away.
            doc.SelectSymbol(symbol == doc.GetSelectedSymbol() ? nullptr : symbol);
            doc.Refresh();
        }
        break;
    case unitMuzDel:
        edited = staveSymbol && doc.DeleteStaveSymbol(staveSymbol);
        break;
    }
    if (edited) {
        doc.SetModified();
        doc.Refresh();
    }
}

void TMDIChildMuz::EvFormMouseMove(Qt::MouseButtons held, int x, int y)
{
    if (dragging) {
        if (held & (Qt::LeftButton | Qt::RightButton)) {
            DragTo(held, y);
            return;
        }
        dragging = false;
    }
    Hover(x, y);
}

void TMDIChildMuz::EvFormMouseUp(Qt::MouseButtons held)
{
    if (dragging && !(held & (Qt::LeftButton | Qt::RightButton)))
        dragging = false;
}

void TMDIChildMuz::FormClick()
{
    if (MusicWindowHost* host = FindService<MusicWindowHost>())
        host->MuzChildActivated(*this);
}

void TMDIChildMuz::DragTo(Qt::MouseButtons held, int y)
{
    TNoteStave* stave = DragStaveBorderPrevious;
    if (!KV_SOFT_ASSERT(DragStaveBorderPrevious != NULL)) {
        dragging = false;
        return;
    }
    const int64_t yDiff = int64_t(y) - dragY;
    const int64_t up = stave->RoomUp.GetValue();
    const int64_t down = stave->RoomDown.GetValue();
    int64_t newUp = up;
    int64_t newDown = down;
    if ((held & Qt::LeftButton) && (held & Qt::RightButton)) {
        int64_t yDiffUp = yDiff / 2;
        int64_t yDiffDown = yDiff / 2;
        if (yDiff % 2 != 0) {
            // The odd pixel goes to each room in turn, so that the middle line follows the
            // border by half over a run of steps.
            const int64_t spare = yDiff < 0 ? -1 : 1;
            if ((yDiff < 0) == splitToggle)
                yDiffDown += spare;
            else
                yDiffUp += spare;
            splitToggle = !splitToggle;
        }
        // The halves make the whole step until the rooms' floor takes pixels back: checked
        // here, since the floor may rightly leave a step that cannot be made at all undone.
        KV_SOFT_ASSERT(yDiffDown + yDiffUp == yDiff);
        if (up + yDiffUp < MinRoom) {
            const int64_t d = MinRoom - up - yDiffUp;
            yDiffUp += d;
            yDiffDown -= d;
        }
        if (down + yDiffDown < MinRoom) {
            const int64_t d = MinRoom - down - yDiffDown;
            yDiffDown += d;
            yDiffUp -= d;
        }
        if (up + yDiffUp < MinRoom)
            yDiffUp = MinRoom - up;
        newUp = up + yDiffUp;
        newDown = down + yDiffDown;
    } else if (held & Qt::LeftButton) {
        newDown = down + std::max<int64_t>(yDiff, MinRoom - down);
    } else {
        newUp = up + std::max<int64_t>(yDiff, MinRoom - up);
    }
    // A room beyond what the music file holds would make the piece unsavable.
    newUp = std::min<int64_t>(newUp, std::max<int64_t>(up, muzRoomMax));
    newDown = std::min<int64_t>(newDown, std::max<int64_t>(down, muzRoomMax));
    dragY = ToInt32(dragY + (newUp - up) + (newDown - down));
    stave->RoomUp.SetValue(ToInt32(newUp));
    stave->RoomDown.SetValue(ToInt32(newDown));
    GetUnitMuz().StavesChanged();
    if (MusicWindowHost* host = FindService<MusicWindowHost>())
        host->NoteStaveChanged(*stave);
    GetUnitMuz().SetModified();
    Redraw();
}

void TMDIChildMuz::Hover(int x, int y)
{
    // Over a border the split shows what a press would do in every mode.
    if (painter->HitStaveBorder(x, y)) {
        if (shownCursor != -1) {
            view->viewport()->setCursor(Qt::SplitVCursor);
            shownCursor = -1;
        }
        return;
    }
    const int cursor = ModeCursor(x, y);
    if (cursor >= 0 && cursor != shownCursor)
        SetMouseCursor(cursor);
    else if (cursor < 0 && shownCursor == -1)
        SetMouseCursor(ownCursor);
}

int TMDIChildMuz::ModeCursor(int x, int y) const
{
    const TUnitMuz& doc = GetUnitMuz();
    auto id = [](CursorId cursor) { return static_cast<int>(cursor); };
    switch (doc.GetUnitMuzMode()) {
    case unitMuzSel:
        return id(CursorId::Arrow);
    case unitMuzDel:
        return id(doc.CanDeleteSymbol(painter->FindSymbolAt(x, y)) ? CursorId::Delete
                                                                   : CursorId::Reject);
    case unitMuzNew:
        break;
    }
    switch (doc.GetInsertModeKind()) {
    case insertModeNote:
        return id(CursorId::Note);
    case insertModeKey:
    case insertModeSilence:
        return id(CursorId::Sil);
    case insertModeNoteShift:
        break;
    }
    TXTouchMuzSymbol* symbol = painter->FindSymbolAt(x, y);
    if (!symbol || symbol->GetMuzSymbolKind() != muzSymbolStave)
        return -1;
    switch (static_cast<TStaveSymbol*>(symbol)->GetStaveSymbolKind()) {
    case staveSymbolNote:
        return id(CursorId::Note);
    case staveSymbolKey: {
        // A signature holds no double accidentals.
        const NoteShiftKind shift = doc.GetInsertNoteShift();
        const bool fits =
            shift == noteShiftKruis || shift == noteShiftNormal || shift == noteShiftMol;
        return id(fits ? CursorId::Note : CursorId::Reject);
    }
    default:
        return id(CursorId::Reject);
    }
}

bool TMDIChildMuz::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    struct KeyRow
    {
        Qt::KeyboardModifiers held;
        int key;
        void (TUnitMuz::*run)();
        /// Null for a walk that finds its target itself.
        bool (TUnitMuz::*can)() const;
        /// Runs after, whatever run did.
        void (TUnitMuz::*then)();
    };
    using U = TUnitMuz;
    const Qt::KeyboardModifiers none{}, shift = Qt::ShiftModifier, ctrl = Qt::ControlModifier;
    static const KeyRow rows[] = {
        {none, Qt::Key_Left, &U::SelectPrevExecute, &U::CanSelectPrevExecute, nullptr},
        {none, Qt::Key_Right, &U::SelectNextExecute, &U::CanSelectNextExecute, nullptr},
        {none, Qt::Key_Up, &U::SelectUpExecute, &U::CanSelectUpExecute, nullptr},
        {none, Qt::Key_Down, &U::SelectDownExecute, &U::CanSelectDownExecute, nullptr},
        {none, Qt::Key_Home, &U::SelectStaveStart, nullptr, nullptr},
        {none, Qt::Key_End, &U::SelectStaveEnd, nullptr, nullptr},
        {none, Qt::Key_PageUp, &U::SelectStaveUp, nullptr, nullptr},
        {none, Qt::Key_PageDown, &U::SelectStaveDown, nullptr, nullptr},
        {shift, Qt::Key_PageUp, &U::SelectFirstStave, nullptr, nullptr},
        {shift, Qt::Key_PageDown, &U::SelectLastStave, nullptr, nullptr},
        {ctrl, Qt::Key_Left, &U::MovePrevExecute, &U::CanMovePrevExecute, nullptr},
        {ctrl, Qt::Key_Right, &U::MoveNextExecute, &U::CanMoveNextExecute, nullptr},
        {ctrl, Qt::Key_Up, &U::MoveUpExecute, &U::CanMoveUpExecute, &U::ClefUpExecute},
        {ctrl, Qt::Key_Down, &U::MoveDownExecute, &U::CanMoveDownExecute, &U::ClefDownExecute},
        {ctrl | shift, Qt::Key_Up, &U::MoveOctUpExecute, &U::CanMoveOctUpExecute, nullptr},
        {ctrl | shift, Qt::Key_Down, &U::MoveOctDownExecute, &U::CanMoveOctDownExecute, nullptr},
    };
    if (modifiers & Qt::AltModifier)
        return false;
    const Qt::KeyboardModifiers held = modifiers & (Qt::ShiftModifier | Qt::ControlModifier);
    TUnitMuz& doc = GetUnitMuz();
    for (const KeyRow& row : rows) {
        if (row.key != key || row.held != held)
            continue;
        if (!row.can || (doc.*row.can)())
            (doc.*row.run)();
        if (row.then)
            (doc.*row.then)();
        return true;
    }
    return false;
}

void TMDIChildMuz::SetMouseCursor(int index)
{
    ownCursor = index;
    shownCursor = index;
    view->viewport()->setCursor(ProgramCursor(index));
}

TUnitMuz* UnitMuzOf(const TMDIChildKelvorn* window)
{
    return window ? dynamic_cast<TUnitMuz*>(window->GetUnit()) : nullptr;
}

} // namespace kelvorn
