// Small widgets of the shell: the cursor table, the look of disabled fields and the tool
// window slot.
#include "window_base/CursorTable.h"
#include "window_base/EditFields.h"
#include "window_base/ToolWindow.h"

#include "platform/test/FakeScreen.h"

#include <QApplication>
#include <QBitmap>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QShowEvent>
#include <QTextEdit>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace kelvorn;

namespace {

// Whether a pixel within radius of (x, y) is drawn (not fully transparent).
bool DrawnNear(const QImage& image, int x, int y, int radius)
{
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx) {
            QPoint p(x + dx, y + dy);
            if (image.valid(p) && qAlpha(image.pixel(p)) > 0)
                return true;
        }
    return false;
}

TEST(CursorTable, SevenDistinctPaintedCursorsPointWhereTheyDraw)
{
    CursorTable table;
    std::vector<QImage> images;
    for (int i = 1; i < CursorCount; ++i) {
        SCOPED_TRACE(CursorName(i));
        const QCursor& cursor = table.At(i);
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
        QImage image = cursor.pixmap().toImage().convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(image.size(), QSize(CursorTable::CursorSize, CursorTable::CursorSize));
        QPoint hot = cursor.hotSpot();
        EXPECT_TRUE(image.rect().contains(hot)) << hot.x() << "," << hot.y();
        EXPECT_TRUE(DrawnNear(image, hot.x(), hot.y(), 2));
        // Black and white both show, so the cursor reads on any background.
        bool black = false;
        bool white = false;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                QRgb p = image.pixel(x, y);
                black |= qAlpha(p) == 255 && qGray(p) < 40;
                white |= qAlpha(p) == 255 && qGray(p) > 215;
            }
        EXPECT_TRUE(black);
        EXPECT_TRUE(white);
        for (size_t j = 0; j < images.size(); ++j)
            EXPECT_NE(image, images[j]) << "same as " << CursorName(int(j) + 1);
        images.push_back(image);
    }
    EXPECT_EQ(table.At(CursorId::ZoomOut).hotSpot(), table.At(7).hotSpot());
}

TEST(CursorTable, NamesTheEightCursorsZeroAndOutsideAreTheArrow)
{
    CursorTable own;
    for (int id : {0, int(CursorId::Arrow), -1, 8})
        EXPECT_EQ(own.At(id).shape(), Qt::ArrowCursor) << id;
    const CursorTable* table = ProgramCursors();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(ProgramCursors(), table);
    EXPECT_EQ(ProgramCursor(CursorCount).shape(), Qt::ArrowCursor);
    const char* expected[] = {"ARROW",  "DRAW", "DELETE", "SIL",
                              "REJECT", "NOTE", "ZOOM",   "ZOOMOUT"};
    for (int i = 0; i < CursorCount; ++i)
        EXPECT_STREQ(CursorName(i), expected[i]);
    EXPECT_STREQ(CursorName(-1), "");
    EXPECT_STREQ(CursorName(CursorCount), "");
}

struct FieldKind
{
    const char* name;
    std::function<QWidget*()> make;
    const char* property; // the text as a property
};

class EditFields : public ::testing::TestWithParam<FieldKind>
{
};

QColor Background(QWidget* w, QPalette::ColorGroup group = QPalette::Active)
{
    return w->palette().color(group, QPalette::Base);
}

TEST_P(EditFields, DisableKeepsOrClearsTheTextAndShowsTheButtonFace)
{
    const FieldKind& kind = GetParam();
    QColor window = QApplication::palette().color(QPalette::Active, QPalette::Base);
    QColor buttonFace = QApplication::palette().color(QPalette::Active, QPalette::Button);
    // The point of the colours: a disabled field looks different from an enabled one.
    ASSERT_NE(window, buttonFace);

    std::unique_ptr<QWidget> field(kind.make());
    field->setProperty(kind.property, "Wave 1");
    auto text = [&] { return field->property(kind.property).toString(); };
    ASSERT_EQ(text(), "Wave 1");

    DisableEdit(field.get(), false);
    EXPECT_FALSE(field->isEnabled());
    EXPECT_EQ(text(), "Wave 1");
    EXPECT_EQ(Background(field.get()), buttonFace);
    EXPECT_EQ(Background(field.get(), QPalette::Disabled), buttonFace);

    EnableEdit(field.get());
    EXPECT_TRUE(field->isEnabled());
    EXPECT_EQ(text(), "Wave 1");
    EXPECT_EQ(Background(field.get()), window);

    DisableEdit(field.get(), true);
    EXPECT_FALSE(field->isEnabled());
    EXPECT_EQ(text(), "");
    EXPECT_EQ(Background(field.get(), QPalette::Disabled), buttonFace);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, EditFields,
    ::testing::Values(FieldKind{"LineEdit", [] { return new QLineEdit; }, "text"},
                      FieldKind{"TextEdit", [] { return new QTextEdit; }, "plainText"},
                      FieldKind{"PlainTextEdit", [] { return new QPlainTextEdit; }, "plainText"},
                      FieldKind{"EditableComboBox",
                                [] {
                                    auto* combo = new QComboBox;
                                    combo->setEditable(true);
                                    return combo;
                                },
                                "currentText"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ToolWindow, IsCreatedOnFirstUseOnlyAndHiddenOnClose)
{
    QWidget owner;
    owner.show();
    int made = 0;
    int notices = 0;
    ToolWindow<QLabel> tool(&owner, [&made](QWidget* parent) {
        ++made;
        auto* label = new QLabel("tool", parent);
        // Even a window that would delete itself on close is only hidden.
        label->setAttribute(Qt::WA_DeleteOnClose, true);
        return label;
    });
    tool.SetClosedNotice([&notices] { ++notices; });
    EXPECT_FALSE(tool.Exists());
    EXPECT_EQ(tool.Existing(), nullptr);
    EXPECT_EQ(made, 0);

    EXPECT_TRUE(tool.Toggle());
    QPointer<QLabel> first = tool.Existing();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isWindow());
    EXPECT_TRUE(first->windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(first->parentWidget(), &owner);
    EXPECT_TRUE(first->isVisible());

    EXPECT_FALSE(tool.Toggle());
    EXPECT_FALSE(first->isVisible());
    EXPECT_EQ(notices, 1);

    EXPECT_TRUE(tool.Toggle());
    first->close(); // its own close box
    EXPECT_EQ(notices, 2);
    ASSERT_FALSE(first.isNull());
    EXPECT_FALSE(tool.IsVisible());

    tool.Show();
    tool.Show();
    EXPECT_EQ(tool.Window(), first.data());
    EXPECT_EQ(made, 1);
    EXPECT_EQ(tool.Creations(), 1);
    tool.Close();
    EXPECT_EQ(notices, 3);
}

// A window shown before its owner is on the screen counts as shown and comes on the screen once,
// right after the owner's own window (the window manager then knows whose window it is); one
// closed meanwhile stays closed, with its notice.
TEST(ToolWindow, AWindowShownBeforeItsOwnerComesUpRightAfterTheOwnerOnly)
{
    struct ShowCounter final : QObject
    {
        QWidget* owner = nullptr;
        int shows = 0;
        bool ownerOnScreen = false;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Show) {
                ++shows;
                ownerOnScreen = owner->windowHandle() && owner->windowHandle()->isVisible();
            }
            return false;
        }
    };
    QWidget owner;
    int notices = 0;
    ToolWindow<QWidget> early(&owner);
    ToolWindow<QWidget> closed(&owner);
    ShowCounter earlyShows, closedShows;
    for (auto [tool, counter] :
         {std::pair{&early, &earlyShows}, std::pair{&closed, &closedShows}}) {
        tool->SetClosedNotice([&notices] { ++notices; });
        counter->owner = &owner;
        tool->Window()->installEventFilter(counter);
        EXPECT_TRUE(tool->Toggle());
        EXPECT_FALSE(tool->Existing()->isVisible());
    }
    EXPECT_FALSE(closed.Toggle());
    EXPECT_EQ(notices, 1);

    owner.show();
    EXPECT_EQ(earlyShows.shows, 1);
    EXPECT_TRUE(earlyShows.ownerOnScreen);
    EXPECT_TRUE(early.IsVisible() && early.Existing()->isVisible());
    EXPECT_FALSE(early.Existing()->testAttribute(Qt::WA_ShowWithoutActivating))
        << "only the first show leaves the keyboard to the owner";
    EXPECT_EQ(closedShows.shows, 0);
    EXPECT_FALSE(closed.IsVisible());
    EXPECT_EQ(notices, 1) << "the owner's show hides nothing";

    owner.hide();
    owner.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(earlyShows.shows, 1) << "the slot shows it once only";
    EXPECT_EQ(closedShows.shows, 0);
}

TEST(ToolWindow, TheOwnerDeletesItsWindow)
{
    auto owner = std::make_unique<QWidget>();
    ToolWindow<QWidget> tool(owner.get());
    tool.Show();
    QPointer<QWidget> window = tool.Existing();
    ASSERT_FALSE(window.isNull());
    owner.reset();
    EXPECT_TRUE(window.isNull());
    EXPECT_FALSE(tool.Exists());
}

TEST(ToolWindow, WithoutOwnerTheSlotDeletesItsWindow)
{
    QPointer<QWidget> window;
    {
        ToolWindow<QWidget> tool(nullptr);
        int notices = 0;
        tool.SetClosedNotice([&notices] { ++notices; });
        tool.Show();
        window = tool.Existing();
        ASSERT_FALSE(window.isNull());
        EXPECT_TRUE(window->windowFlags().testFlag(Qt::Tool));
        EXPECT_EQ(notices, 0);
    }
    EXPECT_TRUE(window.isNull());
}

// ---- First place of a tool window --------------------------------------------------------------

struct FirstPlaceCase
{
    const char* name;
    PixelRect available; // of a 1280 x 1024 screen; empty: no screen known
    QRect main;
    QSize own;
    std::vector<QRect> shown;
    QPoint expected;
};

class ToolWindowFirstPlace : public ::testing::TestWithParam<FirstPlaceCase>
{
};

TEST_P(ToolWindowFirstPlace, OnTheScreenBesideTheWindowsShownWhereThereIsRoom)
{
    const FirstPlaceCase& c = GetParam();
    FakeScreen screen(1280, 1024);
    screen.SetAvailableGeometry(c.available);
    const bool known = c.available.Width() > 0;
    ScopedService<Screen> installScreen(known ? static_cast<Screen*>(&screen) : nullptr);
    const QPoint place = ToolWindowPlace(c.main, c.own, c.shown);
    EXPECT_EQ(place, c.expected) << place.x() << ", " << place.y();
}

const QRect Maximised(0, 0, 1280, 1024);
// "Music Parts" at the lower right of a 1280 x 1024 screen, and the frame size of "Music".
const QRect PartsAtCorner(798, 569, 482, 455);
const QSize Music(702, 665);

// clang-format off
INSTANTIATE_TEST_SUITE_P(Places, ToolWindowFirstPlace, ::testing::Values(
    FirstPlaceCase{"CornerOnTheScreen", {0, 0, 1280, 1024}, {100, 100, 600, 400}, {482, 455}, {},
                   {700, 500}},
    FirstPlaceCase{"CornerOfAMaximisedMainWindow", {0, 0, 1280, 1024}, Maximised, {482, 455}, {},
                   {798, 569}},
    // Panels take the top 30 and the left 48 pixels, or the bottom 40.
    FirstPlaceCase{"PanelsAboveAndLeft", {48, 30, 1280, 1024}, {48, 30, 1232, 994}, Music, {},
                   {578, 359}},
    FirstPlaceCase{"PanelBelow", {0, 0, 1280, 984}, Maximised, Music, {}, {578, 319}},
    // A main window moved partly off the screen's top left.
    FirstPlaceCase{"MainWindowOffTheTopLeft", {0, 0, 1280, 1024}, {-1200, -900, 1000, 800},
                   {300, 200}, {}, {0, 0}},
    // Larger than the area: its title bar stays on it.
    FirstPlaceCase{"LargerThanTheArea", {64, 0, 704, 480}, {0, 0, 640, 480}, Music, {},
                   {64, 0}},
    FirstPlaceCase{"NoScreenKnown", {}, {900, 700, 400, 300}, {482, 455}, {}, {1300, 1000}},
    // Music after Music Parts: to its left, where the screen has room.
    FirstPlaceCase{"MusicLeftOfMusicParts", {0, 0, 1280, 1024}, Maximised, Music,
                   {PartsAtCorner}, {96, 359}},
    // A frame that only touches the corner's place is not covered.
    FirstPlaceCase{"TouchingIsNotCovering", {0, 0, 1280, 1024}, {0, 0, 100, 100}, {50, 50},
                   {{0, 0, 100, 100}, {150, 100, 50, 50}}, {100, 100}},
    // No room to the left: above it.
    FirstPlaceCase{"AboveWithoutRoomToTheLeft", {0, 0, 1280, 1024}, Maximised, {700, 300},
                   {{500, 700, 780, 324}}, {580, 400}},
    // Both fit: the nearer one, to the left here and above there.
    FirstPlaceCase{"LeftWhenNearer", {0, 0, 1280, 1024}, Maximised, {200, 300},
                   {{1080, 724, 200, 300}}, {880, 724}},
    FirstPlaceCase{"AboveWhenNearer", {0, 0, 1280, 1024}, Maximised, {300, 200},
                   {{980, 824, 300, 200}}, {980, 624}},
    // Left of the window at the corner lies another: above it, nearer than left of both; with
    // another above it, left of it.
    FirstPlaceCase{"AboveWhenAnotherLiesLeft", {0, 0, 1280, 1024}, Maximised, {400, 300},
                   {{880, 724, 400, 300}, {500, 724, 380, 300}}, {880, 424}},
    FirstPlaceCase{"LeftWhenAnotherLiesAbove", {0, 0, 1280, 1024}, Maximised, {400, 300},
                   {{880, 724, 400, 300}, {700, 400, 580, 324}}, {480, 724}},
    // Edit Name left of Music Parts leaves Music no room beside them on a smaller screen: it
    // takes the corner's place.
    FirstPlaceCase{"NoRoomTheCorner", {0, 0, 1024, 768}, {0, 0, 1024, 768}, Music,
                   {{542, 313, 482, 455}, {100, 100, 306, 71}}, {322, 103}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

// The first show places the window beside the tool windows its owner shows (a hidden one is not
// in the way); the user's place and a show after a hide stay where they were.
TEST(ToolWindow, TheFirstShowPlacesItBesideTheShownToolWindowsOfItsOwnerOnce)
{
    struct Placed final : QWidget
    {
        QRect main;
        explicit Placed(QWidget* owner, QSize size) : QWidget(owner) { resize(size); }
        void showEvent(QShowEvent* event) override
        {
            if (!event->spontaneous())
                PlaceOnFirstShow(*this, main);
            QWidget::showEvent(event);
        }
    };
    FakeScreen screen(1280, 1024);
    QWidget owner;
    owner.setGeometry(0, 0, 1280, 1024);
    owner.show();
    const QRect main = owner.frameGeometry();
    const auto slot = [&owner, &main](QSize size) {
        return std::make_unique<ToolWindow<Placed>>(&owner, [main, size](QWidget* parent) {
            auto* made = new Placed(parent, size);
            made->main = main;
            return made;
        });
    };
    auto parts = slot({480, 430});
    auto music = slot({700, 640});
    auto other = slot({300, 200});
    const auto frameAt = [](ToolWindowSlot& tool) {
        return tool.Existing()->frameGeometry().topLeft();
    };
    const QRect outer = owner.frameGeometry();
    const QRect inner = owner.geometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                         outer.right() - inner.right(), outer.bottom() - inner.bottom());
    const QSize partsFrame = QSize(480, 430).grownBy(frame);

    parts->Show();
    const QPoint corner(1280 - partsFrame.width(), 1024 - partsFrame.height());
    EXPECT_EQ(frameAt(*parts), corner);
    music->Show();
    EXPECT_FALSE(parts->Existing()->frameGeometry().intersects(music->Existing()->frameGeometry()));
    EXPECT_EQ(frameAt(*music).x() + QSize(700, 640).grownBy(frame).width(), corner.x());
    // The user moves Music Parts; hidden, it is in no one's way.
    parts->Existing()->move(10, 10);
    parts->Close();
    other->Show();
    EXPECT_EQ(frameAt(*other),
              QPoint(1280, 1024) - QPoint(300, 200) -
                  QPoint(frame.left() + frame.right(), frame.top() + frame.bottom()));
    parts->Show();
    EXPECT_EQ(frameAt(*parts), QPoint(10, 10));
}

} // namespace
