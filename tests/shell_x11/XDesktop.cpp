#include "XDesktop.h"

#include "window_base/ToolWindow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>

#include <xcb/xcbext.h>

#include <sys/uio.h>

#include <cstdlib>
#include <cstring>

namespace kelvorn::test {

std::string& NoServer()
{
    static std::string why;
    return why;
}

namespace {

// One QApplication for the binary: on the private X server when it answers, else offscreen.
class XApplicationEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        const QByteArray display = qgetenv("KELVORN_X_DISPLAY");
        if (display.isEmpty()) {
            NoServer() = "KELVORN_X_DISPLAY is not set: no private X server with a window manager "
                         "(./test.sh starts one with scripts/x-test-server.sh)";
        } else {
            xcb_connection_t* probe = xcb_connect(display.constData(), nullptr);
            if (xcb_connection_has_error(probe))
                NoServer() = "the X server " + display.toStdString() + " does not answer";
            xcb_disconnect(probe);
        }
        if (NoServer().empty()) {
            qputenv("DISPLAY", display);
            qputenv("QT_QPA_PLATFORM", "xcb");
        } else {
            qputenv("QT_QPA_PLATFORM", "offscreen");
        }
        app = std::make_unique<QApplication>(argc, argv);
        // As the program starts: the titles the window manager shows come with the program's.
        SetApplicationTitle();
    }
    void TearDown() override { app.reset(); }

private:
    int argc = 1;
    char name[32] = "kelvorn_x_test";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> app;
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new XApplicationEnvironment);

xcb_window_t WindowOf(const QWidget& widget)
{
    return static_cast<xcb_window_t>(widget.winId());
}

} // namespace

// ---- XStacking ------------------------------------------------------------------------------

XStacking::XStacking() : connection(xcb_connect(qgetenv("DISPLAY").constData(), nullptr))
{
    root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

XStacking::~XStacking()
{
    xcb_disconnect(connection);
}

bool XStacking::HasWindowManager() const
{
    return Property(root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).size() == 4;
}

int XStacking::Place(const QWidget& widget) const
{
    const std::vector<xcb_window_t> stacking = Windows(root, "_NET_CLIENT_LIST_STACKING");
    for (size_t i = 0; i < stacking.size(); ++i)
        if (stacking[i] == WindowOf(widget))
            return static_cast<int>(i);
    return -1;
}

bool XStacking::IsActive(const QWidget& widget) const
{
    const std::vector<xcb_window_t> active = Windows(root, "_NET_ACTIVE_WINDOW");
    return active.size() == 1 && active[0] == WindowOf(widget);
}

xcb_window_t XStacking::SettledActive() const
{
    xcb_window_t last = XCB_WINDOW_NONE;
    int same = 0;
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired() && same < 30; QTest::qWait(10)) {
        const std::vector<xcb_window_t> active = Windows(root, "_NET_ACTIVE_WINDOW");
        const xcb_window_t now = active.size() == 1 ? active[0] : xcb_window_t(XCB_WINDOW_NONE);
        same = now == last && now != XCB_WINDOW_NONE ? same + 1 : 0;
        last = now;
    }
    return same < 30 ? xcb_window_t(XCB_WINDOW_NONE) : last;
}

std::string XStacking::Title(const QWidget& widget) const
{
    return TitleOf(WindowOf(widget));
}

std::string XStacking::ActiveTitle() const
{
    const std::vector<xcb_window_t> active = Windows(root, "_NET_ACTIVE_WINDOW");
    if (active.size() != 1 || active[0] == XCB_WINDOW_NONE)
        return "none";
    return "\"" + TitleOf(active[0]) + "\"";
}

std::string XStacking::TitleOf(xcb_window_t window) const
{
    const std::vector<char> title = Property(window, "_NET_WM_NAME", Atom("UTF8_STRING"));
    return std::string(title.begin(), title.end());
}

bool XStacking::Viewable(const QWidget& widget) const
{
    auto* reply = xcb_get_window_attributes_reply(
        connection, xcb_get_window_attributes(connection, WindowOf(widget)), nullptr);
    const bool viewable = reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
    std::free(reply);
    return viewable;
}

QPoint XStacking::Origin(const QWidget& widget) const
{
    auto* reply = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, WindowOf(widget), root, 0, 0), nullptr);
    const QPoint origin = reply ? QPoint(reply->dst_x, reply->dst_y) : QPoint(-1, -1);
    std::free(reply);
    return origin;
}

QRect XStacking::Inner(const QWidget& widget) const
{
    auto* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, WindowOf(widget)), nullptr);
    const QRect inner =
        geometry ? QRect(Origin(widget), QSize(geometry->width, geometry->height)) : QRect();
    std::free(geometry);
    return inner;
}

QRect XStacking::Frame(const QWidget& widget) const
{
    const std::vector<char> bytes =
        Property(WindowOf(widget), "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
    const QRect inner = Inner(widget);
    if (inner.isNull() || bytes.size() != 4 * sizeof(uint32_t))
        return {};
    uint32_t extents[4]; // left, right, top, bottom
    std::memcpy(extents, bytes.data(), sizeof extents);
    return inner.adjusted(-int(extents[0]), -int(extents[2]), int(extents[1]), int(extents[3]));
}

void XStacking::Click(QPoint global, uint8_t button) const
{
    FakeInput(XCB_MOTION_NOTIFY, 0, global);
    FakeInput(XCB_BUTTON_PRESS, button, {});
    FakeInput(XCB_BUTTON_RELEASE, button, {});
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

void XStacking::Key(uint32_t keysym, std::initializer_list<uint32_t> modifiers) const
{
    for (uint32_t modifier : modifiers)
        FakeInput(XCB_KEY_PRESS, KeyCode(modifier), {});
    FakeInput(XCB_KEY_PRESS, KeyCode(keysym), {});
    FakeInput(XCB_KEY_RELEASE, KeyCode(keysym), {});
    for (uint32_t modifier : modifiers)
        FakeInput(XCB_KEY_RELEASE, KeyCode(modifier), {});
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

void XStacking::MoveByUser(const QWidget& widget, QPoint global, int width) const
{
    // Static gravity: the place is the window's own top left, not its frame's. x, y and
    // width are given; the source is the user's (a pager's) request.
    constexpr uint32_t staticGravity = 10;
    constexpr uint32_t xYWidth = (1u << 8) | (1u << 9) | (1u << 10);
    constexpr uint32_t fromUser = 2u << 12;
    AskWindowManager(widget, "_NET_MOVERESIZE_WINDOW",
                     {staticGravity | xYWidth | fromUser, uint32_t(global.x()),
                      uint32_t(global.y()), uint32_t(width), 0});
}

void XStacking::CloseByUser(const QWidget& widget) const
{
    AskWindowManager(widget, "_NET_CLOSE_WINDOW", {XCB_CURRENT_TIME, 2});
}

xcb_atom_t XStacking::Atom(const char* name) const
{
    auto* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

std::vector<char> XStacking::Property(xcb_window_t window, const char* name, xcb_atom_t type) const
{
    auto* reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, Atom(name), type, 0, 4096), nullptr);
    std::vector<char> bytes;
    if (reply) {
        const auto* value = static_cast<const char*>(xcb_get_property_value(reply));
        bytes.assign(value, value + xcb_get_property_value_length(reply));
    }
    std::free(reply);
    return bytes;
}

std::vector<xcb_window_t> XStacking::Windows(xcb_window_t window, const char* name) const
{
    const std::vector<char> bytes = Property(window, name, XCB_ATOM_WINDOW);
    std::vector<xcb_window_t> windows(bytes.size() / sizeof(xcb_window_t));
    std::memcpy(windows.data(), bytes.data(), windows.size() * sizeof(xcb_window_t));
    return windows;
}

void XStacking::AskWindowManager(const QWidget& widget, const char* message,
                                 std::initializer_list<uint32_t> data) const
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = WindowOf(widget);
    event.type = Atom(message);
    std::copy(data.begin(), data.end(), event.data.data32);
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(connection);
}

void XStacking::FakeInput(uint8_t type, uint8_t detail, QPoint at) const
{
    // Sent as a raw request: only the core protocol's header is installed.
    auto* extension =
        xcb_query_extension_reply(connection, xcb_query_extension(connection, 5, "XTEST"), nullptr);
    ASSERT_TRUE(extension && extension->present) << "the X server has no XTEST extension";
    const uint8_t opcode = extension->major_opcode;
    std::free(extension);
    struct Request
    {
        uint8_t major, minor;
        uint16_t length;
        uint8_t type, detail;
        uint16_t pad0;
        uint32_t time, root;
        uint8_t pad1[8];
        int16_t x, y;
        uint8_t pad2[7];
        uint8_t device;
    } request{};
    static_assert(sizeof(Request) == 36);
    request.major = opcode;
    request.minor = 2;
    request.length = sizeof(Request) / 4;
    request.type = type;
    request.detail = detail;
    request.root = root;
    request.x = static_cast<int16_t>(at.x());
    request.y = static_cast<int16_t>(at.y());
    // xcb keeps two entries in front of the vector for its own use.
    iovec parts[3] = {{}, {}, {&request, sizeof request}};
    xcb_protocol_request_t raw = {1, nullptr, 0, 1};
    xcb_send_request(connection, XCB_REQUEST_RAW, &parts[2], &raw);
}

uint8_t XStacking::KeyCode(uint32_t keysym) const
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const uint8_t first = setup->min_keycode;
    auto* reply = xcb_get_keyboard_mapping_reply(
        connection,
        xcb_get_keyboard_mapping(connection, first, uint8_t(setup->max_keycode - first + 1)),
        nullptr);
    uint8_t code = 0;
    if (reply) {
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(reply);
        const int count = xcb_get_keyboard_mapping_keysyms_length(reply);
        for (int i = 0; i < count && !code; ++i)
            if (syms[i] == keysym)
                code = uint8_t(first + i / reply->keysyms_per_keycode);
    }
    std::free(reply);
    EXPECT_NE(code, 0) << "no key gives the key symbol " << keysym;
    return code;
}

// ---- XDesktopTest ---------------------------------------------------------------------------

void XDesktopTest::SetUp()
{
    if (!NoServer().empty())
        GTEST_SKIP() << NoServer();
    // The window manager may still be starting: it gets a few seconds to announce itself.
    for (QDeadlineTimer deadline(5000); !x.HasWindowManager(); QTest::qWait(20))
        if (deadline.hasExpired())
            GTEST_SKIP() << "no window manager runs on " << qgetenv("DISPLAY").toStdString();
    view = std::make_unique<TViewCommands>(*form);
}

std::vector<QWidget*> XDesktopTest::ShowToolWindows()
{
    std::vector<QWidget*> tools;
    for (Tool tool : {Tool::EditName, Tool::SelZoom, Tool::Music, Tool::MusicParts}) {
        if (!form->ToolSlot(tool).IsVisible())
            form->ToggleToolWindow(tool);
        tools.push_back(form->ToolSlot(tool).Existing());
        EXPECT_TRUE(tools.back() && QTest::qWaitForWindowExposed(tools.back()));
    }
    return tools;
}

void XDesktopTest::ShowMainWindow(bool maximised)
{
    TMainForm& main = *form;
    if (maximised)
        main.showMaximized();
    else
        main.showNormal();
    const int screenWidth = main.screen()->availableGeometry().width();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return (main.frameGeometry().width() >= screenWidth) == maximised; }, 5000));
}

::testing::AssertionResult XDesktopTest::Framed(const QWidget& window)
{
    // The program's idea of the frame may lag behind: the window's own place and size do not.
    const auto settled = [&] {
        return window.isVisible() && !x.Frame(window).isNull() &&
               x.Inner(window) == window.geometry();
    };
    if (QTest::qWaitFor(settled, 5000))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "\"" << window.windowTitle().toStdString() << "\" framed at "
           << ::testing::PrintToString(x.Frame(window)) << ", at "
           << ::testing::PrintToString(x.Inner(window)) << " to the X server, at "
           << ::testing::PrintToString(window.geometry()) << " to the program";
}

::testing::AssertionResult XDesktopTest::Above(const std::vector<QWidget*>& windows,
                                               const QWidget& below)
{
    std::string faults;
    for (QDeadlineTimer deadline(5000);; QTest::qWait(10)) {
        faults.clear();
        const int floor = x.Place(below);
        for (const QWidget* window : windows) {
            const int place = x.Place(*window);
            if (floor < 0 || place <= floor)
                faults += " \"" + window->windowTitle().toStdString() + "\" at " +
                          std::to_string(place) + ",";
        }
        if (faults.empty())
            return ::testing::AssertionSuccess();
        if (deadline.hasExpired())
            return ::testing::AssertionFailure()
                   << "not above \"" << below.windowTitle().toStdString() << "\" at "
                   << x.Place(below) << ":" << faults;
    }
}

::testing::AssertionResult XDesktopTest::Active(const QWidget& window)
{
    const std::function<bool()> agreed = [&] {
        return x.IsActive(window) && QApplication::activeWindow() == &window;
    };
    for (QDeadlineTimer deadline(5000); !deadline.hasExpired();)
        if (QTest::qWaitFor(agreed, int(deadline.remainingTime())) && HeldFor(agreed, 200))
            return ::testing::AssertionSuccess();
    const QWidget* program = QApplication::activeWindow();
    return ::testing::AssertionFailure()
           << "\"" << window.windowTitle().toStdString()
           << "\" does not have the keyboard: the window manager made " << x.ActiveTitle()
           << " active, the program "
           << (program ? "\"" + program->windowTitle().toStdString() + "\"" : "none");
}

::testing::AssertionResult XDesktopTest::Activate(QWidget& window)
{
    if (!Focus(&window))
        return ::testing::AssertionFailure()
               << "the window manager never gave \"" << window.windowTitle().toStdString()
               << "\" the keyboard";
    return Active(window);
}

} // namespace kelvorn::test
