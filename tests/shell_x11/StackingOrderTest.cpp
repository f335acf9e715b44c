// Under a real X server with a window manager (scripts/x-test-server.sh, which ./test.sh starts),
// as the window manager reports it: a message box is above every tool window, from whichever
// window it is opened; the tool windows stay above the main window wherever the user clicks into
// it, maximised or not; and each title is the window's caption alone. Offscreen there is no
// stacking to read: without the server the tests are skipped and say why.
#include "ShellSupport.h"

#include "platform/qt/QtMessages.h"
#include "platform/qt/QtWindowOwners.h"
#include "shell/ViewCommands.h"
#include "support/ModalProbe.h"
#include "window_base/ToolWindow.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QScreen>
#include <QTest>

#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <sys/uio.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

// Why no X server can be used, or "" when KELVORN_X_DISPLAY names one that answers.
std::string& NoServer()
{
    static std::string why;
    return why;
}

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

// The X server's view of the program's top-level windows: a connection of its own, so that
// the program's own event handling sees none of these requests.
class XStacking
{
public:
    XStacking() : connection(xcb_connect(qgetenv("DISPLAY").constData(), nullptr))
    {
        root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    }
    ~XStacking() { xcb_disconnect(connection); }
    XStacking(const XStacking&) = delete;
    XStacking& operator=(const XStacking&) = delete;

    /// Whether a window manager announced itself on the root window.
    bool HasWindowManager() const
    {
        return Property(root, "_NET_SUPPORTING_WM_CHECK", XCB_ATOM_WINDOW).size() == 4;
    }

    /// The place of the window among the windows the window manager manages, bottom first
    /// (_NET_CLIENT_LIST_STACKING); -1 while it manages no such window.
    int Place(const QWidget& widget) const
    {
        const std::vector<xcb_window_t> stacking = Windows(root, "_NET_CLIENT_LIST_STACKING");
        for (size_t i = 0; i < stacking.size(); ++i)
            if (stacking[i] == static_cast<xcb_window_t>(widget.winId()))
                return static_cast<int>(i);
        return -1;
    }

    /// Whether the window manager made widget's window the active one.
    bool IsActive(const QWidget& widget) const
    {
        const std::vector<xcb_window_t> active = Windows(root, "_NET_ACTIVE_WINDOW");
        return active.size() == 1 && active[0] == static_cast<xcb_window_t>(widget.winId());
    }

    /// The title the window manager shows (_NET_WM_NAME, UTF-8).
    std::string Title(const QWidget& widget) const
    {
        const std::vector<char> title = Property(static_cast<xcb_window_t>(widget.winId()),
                                                 "_NET_WM_NAME", Atom("UTF8_STRING"));
        return std::string(title.begin(), title.end());
    }

    /// A click of the first mouse button at global, as the user's mouse makes it: the window
    /// manager sees it too. The XTEST extension's fake input is sent as a raw request, since
    /// only the core protocol's header is installed.
    void Click(QPoint global) const
    {
        auto* extension = xcb_query_extension_reply(
            connection, xcb_query_extension(connection, 5, "XTEST"), nullptr);
        ASSERT_TRUE(extension && extension->present) << "the X server has no XTEST extension";
        const uint8_t opcode = extension->major_opcode;
        std::free(extension);
        FakeInput(opcode, XCB_MOTION_NOTIFY, 0, global);
        FakeInput(opcode, XCB_BUTTON_PRESS, 1, {});
        FakeInput(opcode, XCB_BUTTON_RELEASE, 1, {});
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    }

private:
    xcb_atom_t Atom(const char* name) const
    {
        auto* reply = xcb_intern_atom_reply(
            connection,
            xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }

    std::vector<char> Property(xcb_window_t window, const char* name, xcb_atom_t type) const
    {
        auto* reply = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, window, Atom(name), type, 0, 4096),
            nullptr);
        std::vector<char> bytes;
        if (reply) {
            const auto* value = static_cast<const char*>(xcb_get_property_value(reply));
            bytes.assign(value, value + xcb_get_property_value_length(reply));
        }
        std::free(reply);
        return bytes;
    }

    std::vector<xcb_window_t> Windows(xcb_window_t window, const char* name) const
    {
        const std::vector<char> bytes = Property(window, name, XCB_ATOM_WINDOW);
        std::vector<xcb_window_t> windows(bytes.size() / sizeof(xcb_window_t));
        std::memcpy(windows.data(), bytes.data(), windows.size() * sizeof(xcb_window_t));
        return windows;
    }

    // XTEST FakeInput: the event type, its detail (the button) and, for a motion, where to.
    void FakeInput(uint8_t opcode, uint8_t type, uint8_t detail, QPoint at) const
    {
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

    xcb_connection_t* connection;
    xcb_window_t root = XCB_WINDOW_NONE;
};

class StackingOrderTest : public CommandsTest
{
protected:
    using Tool = TMainForm::Tool;

    void SetUp() override
    {
        if (!NoServer().empty())
            GTEST_SKIP() << NoServer();
        // The window manager may still be starting: it gets a few seconds to announce itself.
        for (QDeadlineTimer deadline(5000); !x.HasWindowManager(); QTest::qWait(20))
            if (deadline.hasExpired())
                GTEST_SKIP() << "no window manager runs on " << qgetenv("DISPLAY").toStdString();
        view = std::make_unique<TViewCommands>(*form);
    }

    /// Every tool window the program has, shown (Edit Name first) and on the screen.
    std::vector<QWidget*> ShowToolWindows()
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

    /// Whether the window manager stacks each of windows above below; it gets five seconds to
    /// finish what it was asked.
    ::testing::AssertionResult Above(const std::vector<QWidget*>& windows, const QWidget& below)
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

    QtWindowOwners owners;
    XStacking x;
    std::unique_ptr<TViewCommands> view;
};

TEST_F(StackingOrderTest, TheMessageBoxIsAboveEveryToolWindowWhicheverWindowOpensIt)
{
    TMainForm& main = *form;
    QtMessages boxes;
    ScopedService<MessageSink> installBoxes(&boxes);
    const std::vector<QWidget*> tools = ShowToolWindows();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    for (QWidget* active : {static_cast<QWidget*>(&main), tools[0]}) {
        SCOPED_TRACE(active->objectName().toStdString());
        ASSERT_TRUE(Focus(active));
        ::testing::AssertionResult boxAbove = ::testing::AssertionFailure() << "no box";
        std::string title;
        ModalProbe probe([&](QDialog& box) {
            boxAbove = Above({&box}, *active);
            for (QWidget* tool : tools)
                if (boxAbove)
                    boxAbove = Above({&box}, *tool);
            title = x.Title(box);
        });
        Messages().Show("Invalid floating point operation.", "Runtime error", MsgIcon::Error,
                        MsgButtons::Ok);
        ASSERT_TRUE(probe.Seen());
        EXPECT_TRUE(boxAbove);
        EXPECT_EQ(title, "Runtime error");
        // The keyboard goes back where it was when the box opened, not to the main window.
        EXPECT_TRUE(QTest::qWaitFor([&] { return x.IsActive(*active); }, 5000));
    }
}

TEST_F(StackingOrderTest, ToolWindowsStayAboveTheMainWindowWhereverItIsClicked)
{
    TMainForm& main = *form;
    TMDIChildKelvorn* document = OpenWave("Wave 1", 1, 100);
    document->setGeometry(0, 0, 300, 200);
    const std::vector<QWidget*> tools = ShowToolWindows();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const auto covered = [&tools](QPoint global) {
        return std::any_of(tools.begin(), tools.end(), [global](const QWidget* tool) {
            return tool->frameGeometry().contains(global);
        });
    };
    const int screenWidth = main.screen()->availableGeometry().width();
    for (bool maximised : {false, true}) {
        SCOPED_TRACE(maximised ? "maximised" : "normal");
        if (maximised)
            main.showMaximized();
        else
            main.showNormal();
        // The window manager has done it when the frame is as wide as the screen, or less.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return (main.frameGeometry().width() >= screenWidth) == maximised; }, 5000));
        const QRect documentArea(document->mapToGlobal(QPoint(0, 0)), document->size());
        // A place of the frame that neither a tool window nor the document window covers.
        QPoint frame;
        const QRect frameArea(main.Frame()->mapToGlobal(QPoint(0, 0)), main.Frame()->size());
        for (int y = frameArea.top() + 10; y < frameArea.bottom() && frame.isNull(); y += 20)
            for (int left = frameArea.left() + 10; left < frameArea.right(); left += 20)
                if (!covered({left, y}) && !documentArea.contains(left, y)) {
                    frame = {left, y};
                    break;
                }
        ASSERT_FALSE(frame.isNull());
        ASSERT_FALSE(covered(documentArea.center()));
        for (QPoint click : {frame, documentArea.center()}) {
            SCOPED_TRACE(click == frame ? "the frame" : "the document window");
            // Another window has the keyboard first: the click is what makes the main window
            // active.
            ASSERT_TRUE(Focus(tools[0]));
            ASSERT_TRUE(QTest::qWaitFor([&] { return x.IsActive(*tools[0]); }, 5000));
            x.Click(click);
            ASSERT_TRUE(QTest::qWaitFor([&] { return x.IsActive(main); }, 5000))
                << "the click did not reach the main window";
            EXPECT_TRUE(Above(tools, main));
        }
    }
}

TEST_F(StackingOrderTest, EachTitleIsTheWindowsCaptionAlone)
{
    TMainForm& main = *form;
    const std::vector<QWidget*> tools = ShowToolWindows();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const std::string project = Path("live.kvp");
    main.SetProjectFile(project);
    const std::string expected = "Kelvorn 9.0 - " + project;
    // The window manager reads the new title on its own time.
    if (!QTest::qWaitFor([&] { return x.Title(main) == expected; }, 5000)) {
        EXPECT_EQ(x.Title(main), expected);
    }
    for (const QWidget* tool : tools) {
        ASSERT_FALSE(tool->windowTitle().isEmpty());
        EXPECT_EQ(x.Title(*tool), tool->windowTitle().toStdString());
    }
}

} // namespace
