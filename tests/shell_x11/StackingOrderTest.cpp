// Under a real X server with a window manager (scripts/x-test-server.sh, which ./test.sh starts):
// the stacking order the X server reports puts a message box above the Edit Name window, from
// whichever of the two windows it is opened. Offscreen there is no stacking to read: without
// the server the test is skipped and says why.
#include "ShellSupport.h"

#include "platform/qt/QtMessages.h"
#include "platform/qt/QtWindowOwners.h"
#include "support/ModalProbe.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

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
        const char name[] = "_NET_SUPPORTING_WM_CHECK";
        auto* atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 1, sizeof name - 1, name), nullptr);
        if (!atom)
            return false;
        auto* property = xcb_get_property_reply(
            connection, xcb_get_property(connection, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1),
            nullptr);
        const bool found = property && xcb_get_property_value_length(property) == 4;
        std::free(property);
        std::free(atom);
        return found;
    }

    /// The place of window's frame among the root's children, bottom first, while the frame
    /// is viewable; -1 otherwise. A window manager puts each client window into a frame of its
    /// own: the frame is the client's ancestor that the root holds.
    int Place(const QWidget& widget) const
    {
        xcb_window_t frame = static_cast<xcb_window_t>(widget.winId());
        for (;;) {
            auto* tree =
                xcb_query_tree_reply(connection, xcb_query_tree(connection, frame), nullptr);
            if (!tree)
                return -1;
            const xcb_window_t parent = tree->parent;
            std::free(tree);
            if (parent == root || parent == XCB_WINDOW_NONE)
                break;
            frame = parent;
        }
        auto* attributes = xcb_get_window_attributes_reply(
            connection, xcb_get_window_attributes(connection, frame), nullptr);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        std::free(attributes);
        if (!viewable)
            return -1;
        auto* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
        if (!tree)
            return -1;
        const xcb_window_t* children = xcb_query_tree_children(tree);
        int place = -1;
        for (int i = 0; i < xcb_query_tree_children_length(tree); ++i)
            if (children[i] == frame)
                place = i;
        std::free(tree);
        return place;
    }

private:
    xcb_connection_t* connection;
    xcb_window_t root = XCB_WINDOW_NONE;
};

class StackingOrderTest : public ShellTest
{
protected:
    void SetUp() override
    {
        if (!NoServer().empty())
            GTEST_SKIP() << NoServer();
        // The window manager may still be starting: it gets a few seconds to announce itself.
        for (QDeadlineTimer deadline(5000); !x.HasWindowManager(); QTest::qWait(20))
            if (deadline.hasExpired())
                GTEST_SKIP() << "no window manager runs on " << qgetenv("DISPLAY").toStdString();
    }

    QtWindowOwners owners;
    XStacking x;
};

TEST_F(StackingOrderTest, TheMessageBoxIsAboveEditNameWhicheverWindowOpensIt)
{
    TMainForm& main = Start();
    QtMessages boxes;
    ScopedService<MessageSink> installBoxes(&boxes);
    TDlgEditName* editName = main.EditNameWindow();
    ASSERT_NE(editName, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main) && QTest::qWaitForWindowExposed(editName));
    for (QWidget* active : {static_cast<QWidget*>(&main), static_cast<QWidget*>(editName)}) {
        SCOPED_TRACE(active->objectName().toStdString());
        ASSERT_TRUE(Focus(active));
        int boxPlace = -1;
        int editNamePlace = -1;
        ModalProbe probe([&](QDialog& box) {
            // The window manager maps and stacks the box on its own time: wait until it has,
            // or for five seconds.
            for (QDeadlineTimer deadline(5000); !deadline.hasExpired(); QTest::qWait(10)) {
                boxPlace = x.Place(box);
                editNamePlace = x.Place(*editName);
                if (boxPlace >= 0 && editNamePlace >= 0 && boxPlace > editNamePlace)
                    break;
            }
        });
        Messages().Show("You have unsaved changes in \"Wave 1\". Save them?", "Kelvorn",
                        MsgIcon::Question, MsgButtons::YesNoCancel);
        ASSERT_TRUE(probe.Seen());
        ASSERT_GE(editNamePlace, 0) << "Edit Name is not viewable";
        ASSERT_GE(boxPlace, 0) << "the box never became viewable";
        EXPECT_GT(boxPlace, editNamePlace) << "the box is below Edit Name";
    }
}

} // namespace
