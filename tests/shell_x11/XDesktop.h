#pragma once
// The program under a real X server with a window manager (scripts/x-test-server.sh, which
// ./test.sh starts): the X server's own view of the program's top-level windows, the user's
// mouse and keys as the X server makes them, and the main window with its commands and tool
// windows. Without the server every test is skipped and says why.

#include "ShellSupport.h"

#include "platform/qt/QtWindowOwners.h"
#include "shell/ViewCommands.h"

#include <xcb/xcb.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace kelvorn::test {

/// The key symbols the tests type through XStacking::Key.
namespace keysym {
inline constexpr uint32_t Alt = 0xffe9;
inline constexpr uint32_t Ctrl = 0xffe3;
inline constexpr uint32_t Escape = 0xff1b;
inline constexpr uint32_t Return = 0xff0d;
inline constexpr uint32_t F4 = 0xffc1;
inline constexpr uint32_t C = 0x63;
inline constexpr uint32_t F = 0x66;
inline constexpr uint32_t H = 0x68;
inline constexpr uint32_t L = 0x6c;
inline constexpr uint32_t N = 0x6e;
inline constexpr uint32_t O = 0x6f;
inline constexpr uint32_t P = 0x70;
} // namespace keysym

/// Why no X server can be used, or "" when KELVORN_X_DISPLAY names one that answers.
std::string& NoServer();

/// The X server as the window manager and the user see it, through a connection of its own, so
/// that the program's own event handling sees none of these requests.
class XStacking
{
public:
    XStacking();
    ~XStacking();
    XStacking(const XStacking&) = delete;
    XStacking& operator=(const XStacking&) = delete;

    /// Whether a window manager announced itself on the root window.
    bool HasWindowManager() const;
    /// The place of the window among the windows the window manager manages, bottom first
    /// (_NET_CLIENT_LIST_STACKING); -1 while it manages no such window.
    int Place(const QWidget& widget) const;
    /// Whether the window manager made widget's window the active one.
    bool IsActive(const QWidget& widget) const;
    /// The active window once the window manager has settled: the same one for a few tenths of
    /// a second (none after five seconds without).
    xcb_window_t SettledActive() const;
    /// The title the window manager shows (_NET_WM_NAME, UTF-8).
    std::string Title(const QWidget& widget) const;
    /// The title of the window the window manager made active, or "none".
    std::string ActiveTitle() const;
    /// Whether the X server shows widget's window: mapped, and its parents too.
    bool Viewable(const QWidget& widget) const;
    /// Where the top left of widget's window is on the screen, as the X server has it.
    QPoint Origin(const QWidget& widget) const;
    /// widget's window on the screen, without the frame.
    QRect Inner(const QWidget& widget) const;
    /// The window with the frame the window manager drew around it (_NET_FRAME_EXTENTS), on the
    /// screen; null before the window manager framed it.
    QRect Frame(const QWidget& widget) const;

    /// A click of a mouse button (1 the first, 3 the right one) at global, as the user's mouse
    /// makes it: the window manager sees it too.
    void Click(QPoint global, uint8_t button = 1) const;
    /// A key pressed with the modifiers held (key symbols, e.g. 0xffe3 for the left Ctrl).
    void Key(uint32_t keysym, std::initializer_list<uint32_t> modifiers = {}) const;
    /// The user drags widget's window to global and gives it width: the window manager moves
    /// it (_NET_MOVERESIZE_WINDOW), as it does for a drag of the title bar.
    void MoveByUser(const QWidget& widget, QPoint global, int width) const;
    /// The user clicks widget's close box: the window manager asks the window to close.
    void CloseByUser(const QWidget& widget) const;

private:
    xcb_atom_t Atom(const char* name) const;
    std::vector<char> Property(xcb_window_t window, const char* name, xcb_atom_t type) const;
    std::vector<xcb_window_t> Windows(xcb_window_t window, const char* name) const;
    std::string TitleOf(xcb_window_t window) const;
    void AskWindowManager(const QWidget& widget, const char* message,
                          std::initializer_list<uint32_t> data) const;
    // XTEST FakeInput: the event type, its detail (button or key code) and, for a motion, where.
    void FakeInput(uint8_t type, uint8_t detail, QPoint at) const;
    uint8_t KeyCode(uint32_t keysym) const;

    xcb_connection_t* connection;
    xcb_window_t root = XCB_WINDOW_NONE;
};

/// The main window with its commands and view commands under the window manager.
class XDesktopTest : public CommandsTest
{
protected:
    using Tool = TMainForm::Tool;

    void SetUp() override;

    /// Every tool window the program has, shown (Edit Name first) and on the screen.
    std::vector<QWidget*> ShowToolWindows();
    /// Shows the main window maximised or normal, and waits until the window manager has done
    /// it: the frame is as wide as the screen, or less.
    void ShowMainWindow(bool maximised);
    /// Whether the window manager has framed window and the program knows the window's place and
    /// size as the X server has them; it gets five seconds.
    ::testing::AssertionResult Framed(const QWidget& window);
    /// Whether the window manager stacks each of windows above below; it gets five seconds to
    /// finish what it was asked.
    ::testing::AssertionResult Above(const std::vector<QWidget*>& windows, const QWidget& below);
    /// Whether window has the keyboard as both the window manager and the program see it, for
    /// a fifth of a second in a row; it gets five seconds.
    ::testing::AssertionResult Active(const QWidget& window);
    /// Activates window as a click on it would, and waits until it is Active. The program may
    /// hear of the keyboard before the window manager has settled: a tool window it has just
    /// shown can still take the keyboard, and a box opened then would open over that one.
    ::testing::AssertionResult Activate(QWidget& window);

    QtWindowOwners owners;
    XStacking x;
    std::unique_ptr<TViewCommands> view;
};

} // namespace kelvorn::test
