#pragma once
// The program's mouse cursors, numbered 0 to 7: the document windows and views choose theirs
// by number. 0 is the ordinary arrow; the others are drawn by the program itself.

namespace kelvorn {

enum class CursorId : int {
    Arrow = 0,
    Draw = 1,
    Delete = 2,
    Sil = 3,
    Reject = 4,
    Note = 5,
    Zoom = 6,
    ZoomOut = 7,
};

inline constexpr int CursorCount = 8;

/// The name of cursor index: "ARROW", "DRAW", "DELETE", "SIL", "REJECT", "NOTE", "ZOOM",
/// "ZOOMOUT"; "" outside 0..7.
inline const char* CursorName(int index)
{
    static const char* const names[CursorCount] = {"ARROW",  "DRAW", "DELETE", "SIL",
                                                   "REJECT", "NOTE", "ZOOM",   "ZOOMOUT"};
    return index >= 0 && index < CursorCount ? names[index] : "";
}

} // namespace kelvorn
