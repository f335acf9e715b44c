#pragma once
// The table of the program's mouse cursors 0..7 (platform/Cursors.h). Cursor 0 is the arrow;
// the other seven are painted here, so the program needs no cursor files. Painting needs a
// QGuiApplication, so the program's one table is made on first use, not at start-up.

#include "platform/Cursors.h"

#include <QCursor>

#include <array>

namespace kelvorn {

class CursorTable
{
public:
    /// The size of the painted cursors, in device-independent pixels.
    static constexpr int CursorSize = 32;

    CursorTable();

    /// Cursor index; an index outside 0..7 gives the arrow.
    const QCursor& At(int index) const;
    const QCursor& At(CursorId id) const { return At(static_cast<int>(id)); }

private:
    std::array<QCursor, CursorCount> cursors;
};

/// The program's table, made on the first call while a QGuiApplication exists and freed with
/// that application; nullptr without one.
const CursorTable* ProgramCursors();

/// The program's cursor index; the arrow without a QGuiApplication.
QCursor ProgramCursor(int index);

} // namespace kelvorn
