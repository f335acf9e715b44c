#pragma once
// The table of the program's mouse cursors 0..7 (platform/Cursors.h). Cursor 0 is the arrow;
// the other seven are painted here, so the program needs no cursor files. Needs a
// QGuiApplication; QtServices installs one table for the program.

#include "platform/Cursors.h"

#include <QCursor>

#include <array>

namespace kelvorn {

class CursorTable
{
public:
    static constexpr const char* ServiceName = "CursorTable";

    /// The size of the painted cursors, in device-independent pixels.
    static constexpr int CursorSize = 32;

    CursorTable();

    /// Cursor index; an index outside 0..7 gives the arrow.
    const QCursor& At(int index) const;
    const QCursor& At(CursorId id) const { return At(static_cast<int>(id)); }

private:
    std::array<QCursor, CursorCount> cursors;
};

} // namespace kelvorn
