#include "window_base/CursorTable.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>
#include <memory>

namespace kelvorn {

namespace {

constexpr int S = CursorTable::CursorSize;

// Every shape is stroked twice, wide in white and narrow in black, so that the cursor shows
// on dark waves and on light backgrounds alike.
void Outlined(QPainter& p, const QPainterPath& path, bool filled)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(Qt::black, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(filled ? QBrush(Qt::black) : QBrush(Qt::NoBrush));
    p.drawPath(path);
}

QPainterPath Crosshair(QPointF c, double arm)
{
    QPainterPath path;
    path.moveTo(c.x() - arm, c.y());
    path.lineTo(c.x() - 3, c.y());
    path.moveTo(c.x() + 3, c.y());
    path.lineTo(c.x() + arm, c.y());
    path.moveTo(c.x(), c.y() - arm);
    path.lineTo(c.x(), c.y() - 3);
    path.moveTo(c.x(), c.y() + 3);
    path.lineTo(c.x(), c.y() + arm);
    return path;
}

QCursor Painted(const std::function<void(QPainter&)>& paint, int hotX, int hotY)
{
    QPixmap pixmap(S, S);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        paint(p);
    }
    return QCursor(pixmap, hotX, hotY);
}

// A pencil whose point is the hot spot.
QCursor DrawCursor()
{
    return Painted(
        [](QPainter& p) {
            QPainterPath body;
            body.moveTo(2, 29);
            body.lineTo(5, 20);
            body.lineTo(22, 3);
            body.lineTo(28, 9);
            body.lineTo(11, 26);
            body.closeSubpath();
            Outlined(p, body, false);
            QPainterPath tip;
            tip.moveTo(2, 29);
            tip.lineTo(5, 20);
            tip.lineTo(11, 26);
            tip.closeSubpath();
            Outlined(p, tip, true);
        },
        2, 29);
}

// A crosshair with a small cross beside it: remove a drawing point.
QCursor DeleteCursor()
{
    return Painted(
        [](QPainter& p) {
            Outlined(p, Crosshair({12, 12}, 10), false);
            QPainterPath cross;
            cross.moveTo(20, 20);
            cross.lineTo(29, 29);
            cross.moveTo(29, 20);
            cross.lineTo(20, 29);
            Outlined(p, cross, false);
        },
        12, 12);
}

// A crosshair with a flat line beside it: silence.
QCursor SilCursor()
{
    return Painted(
        [](QPainter& p) {
            Outlined(p, Crosshair({12, 12}, 10), false);
            QPainterPath flat;
            flat.moveTo(18, 25);
            flat.lineTo(30, 25);
            flat.moveTo(18, 21);
            flat.lineTo(18, 29);
            flat.moveTo(30, 21);
            flat.lineTo(30, 29);
            Outlined(p, flat, false);
        },
        12, 12);
}

// A ring with a bar: not allowed here.
QCursor RejectCursor()
{
    return Painted(
        [](QPainter& p) {
            QPainterPath sign;
            sign.addEllipse(QPointF(15.5, 15.5), 11, 11);
            sign.moveTo(7.7, 23.3);
            sign.lineTo(23.3, 7.7);
            Outlined(p, sign, false);
        },
        15, 15);
}

// A quaver whose head is the hot spot.
QCursor NoteCursor()
{
    return Painted(
        [](QPainter& p) {
            QPainterPath head;
            head.addEllipse(QPointF(11, 24), 5.5, 4);
            Outlined(p, head, true);
            QPainterPath stem;
            stem.moveTo(16, 23);
            stem.lineTo(16, 3);
            stem.cubicTo(18, 8, 26, 9, 24, 17);
            Outlined(p, stem, false);
        },
        11, 24);
}

// A magnifying glass whose lens centre is the hot spot, with "+" or "-" in the lens.
QCursor Magnifier(bool plus)
{
    return Painted(
        [plus](QPainter& p) {
            QPainterPath glass;
            glass.addEllipse(QPointF(12, 12), 9, 9);
            glass.moveTo(18.5, 18.5);
            glass.lineTo(29, 29);
            Outlined(p, glass, false);
            QPainterPath sign;
            sign.moveTo(8, 12);
            sign.lineTo(16, 12);
            if (plus) {
                sign.moveTo(12, 8);
                sign.lineTo(12, 16);
            }
            Outlined(p, sign, false);
        },
        12, 12);
}

} // namespace

CursorTable::CursorTable()
    : cursors{QCursor(Qt::ArrowCursor), DrawCursor(), DeleteCursor(),  SilCursor(),
              RejectCursor(),           NoteCursor(), Magnifier(true), Magnifier(false)}
{
}

const QCursor& CursorTable::At(int index) const
{
    return index >= 0 && index < CursorCount ? cursors[index] : cursors[0];
}

namespace {

// The painted pixmaps must go while the application that made them still stands, so the
// table is freed with the application rather than at the program's exit.
std::unique_ptr<CursorTable>& ProgramTable()
{
    static std::unique_ptr<CursorTable> table;
    return table;
}

void FreeProgramTable()
{
    ProgramTable().reset();
}

} // namespace

const CursorTable* ProgramCursors()
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return nullptr;
    std::unique_ptr<CursorTable>& table = ProgramTable();
    if (!table) {
        table = std::make_unique<CursorTable>();
        qAddPostRoutine(FreeProgramTable);
    }
    return table.get();
}

QCursor ProgramCursor(int index)
{
    const CursorTable* table = ProgramCursors();
    return table ? table->At(index) : QCursor(Qt::ArrowCursor);
}

} // namespace kelvorn
