// Small widgets of the shell: the cursor table, the look of disabled fields and the tool
// window slot.
#include "window_base/CursorTable.h"
#include "window_base/EditFields.h"
#include "window_base/ToolWindow.h"

#include <QApplication>
#include <QBitmap>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextEdit>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

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

} // namespace
