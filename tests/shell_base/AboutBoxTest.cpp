#include "shell/base/AboutBox.h"

#include "general/view/PixelRect.h"
#include "platform/test/FakeScreen.h"
#include "platform/test/ScriptedDialogs.h"
#include "shell/base/QtModalDialog.h"

#include <QImage>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace kelvorn;

namespace {

struct PlacementCase
{
    const char* name;
    QSize screen;
    PixelRect available;
    QSize outer;
    QPoint expected;
};

class AboutPlacement : public ::testing::TestWithParam<PlacementCase>
{
};

} // namespace

TEST_P(AboutPlacement, FormulaThenKeptOnTheScreen)
{
    const PlacementCase& c = GetParam();
    EXPECT_EQ(AboutBoxPlacement(c.screen, c.outer, c.available), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, AboutPlacement,
    ::testing::Values(
        // 512 - 137 = 375; 384 - 200.55... = 183.44... truncated.
        PlacementCase{"Screen1024x768", {1024, 768}, {0, 0, 1024, 768}, {361, 275}, {183, 375}},
        // A top of 960 - 137 = 823 would hide the bottom 30 pixels: the box moves up.
        PlacementCase{"Wide1920x1080", {1920, 1080}, {0, 0, 1920, 1080}, {361, 275}, {339, 805}},
        PlacementCase{"Wide3840x1080", {3840, 1080}, {0, 0, 3840, 1080}, {361, 275}, {339, 805}},
        // A panel along the bottom takes 40 pixels.
        PlacementCase{"PanelBelow", {1920, 1080}, {0, 0, 1920, 1040}, {361, 275}, {339, 765}},
        // On a portrait screen the left grows too large.
        PlacementCase{"Portrait", {768, 1366}, {0, 0, 768, 1366}, {361, 275}, {407, 247}},
        // A box larger than the screen shows its top-left corner.
        PlacementCase{"Tiny", {300, 200}, {0, 0, 300, 200}, {361, 275}, {0, 0}},
        PlacementCase{"OffsetScreen", {1024, 768}, {100, 50, 1124, 818}, {361, 275}, {183, 375}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AboutBox, CaptionButtonAndSize)
{
    TAboutBox box;
    EXPECT_EQ(box.windowTitle(), "About Kelvorn 9.0");
    EXPECT_EQ(box.size(), QSize(355, 249));
    EXPECT_EQ(box.OKButton->geometry(), QRect(128, 202, 97, 33));
    EXPECT_EQ(box.OKButton->text(), "OK");
    EXPECT_TRUE(box.OKButton->isDefault());
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
}

TEST(AboutBox, OpensWhereTheFormulaSaysOnTheScreen)
{
    struct
    {
        int width;
        int height;
    } screens[] = {{1024, 768}, {3840, 1080}};
    for (auto size : screens) {
        FakeScreen screen(size.width, size.height);
        ScriptedDialogs dialogs;
        TAboutBox box;
        QRect frame;
        bool focused = false;
        dialogs.When(
            "TAboutBox",
            [&](ModalDialog&) {
                frame = box.frameGeometry();
                focused = box.focusWidget() == box.OKButton;
            },
            DialogResult::Accepted);
        EXPECT_EQ(RunDialog(box), DialogResult::Accepted);
        EXPECT_TRUE(focused);
        EXPECT_EQ(frame.topLeft(), AboutBoxPlacement(QSize(size.width, size.height), frame.size(),
                                                     screen.AvailableGeometry()));
        EXPECT_GE(frame.top(), 0);
        EXPECT_LE(frame.bottom() + 1, size.height);
        EXPECT_LE(frame.right() + 1, size.width);
    }
}

TEST(AboutBox, EscapeDoesNotCloseItEnterDoes)
{
    FakeScreen screen;
    ScriptedDialogs dialogs;
    TAboutBox box;
    bool openAfterEscape = false;
    dialogs.When(
        "TAboutBox",
        [&](ModalDialog& modal) {
            QTest::keyClick(&box, Qt::Key_Escape);
            QTest::keyClick(box.OKButton, Qt::Key_Escape);
            openAfterEscape = modal.IsOpen();
            QTest::keyClick(box.OKButton, Qt::Key_Return);
        },
        DialogResult::Rejected);
    EXPECT_EQ(RunDialog(box), DialogResult::Accepted);
    EXPECT_TRUE(openAfterEscape);
}

TEST(AboutBox, TheCloseBoxClosesIt)
{
    FakeScreen screen;
    ScriptedDialogs dialogs;
    TAboutBox box;
    bool closed = false;
    dialogs.When(
        "TAboutBox", [&](ModalDialog& modal) { closed = box.close() && !modal.IsOpen(); },
        DialogResult::Accepted);
    EXPECT_EQ(RunDialog(box), DialogResult::Rejected);
    EXPECT_TRUE(closed);
}

TEST(AboutBox, PaintsTheWordsInTheirColours)
{
    TAboutBox box;
    QImage image = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const double ux = (box.width() / 100) * 1.1;
    const int uy = box.height() / 100;
    auto count = [&image](QRect area, auto match) {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += image.valid(x, y) && match(QColor(image.pixel(x, y)));
        return n;
    };
    auto darkGreen = [](QColor c) { return c.red() < 40 && c.green() > 70 && c.blue() < 40; };
    auto black = [](QColor c) { return c.red() < 50 && c.green() < 50 && c.blue() < 50; };
    // "envelope" runs down from (65, 47), "based" from (71, 57).
    EXPECT_GT(count(QRect(int(65 * ux), 47 * uy, 12, 90), darkGreen), 20);
    EXPECT_GT(count(QRect(int(71 * ux), 57 * uy, 12, 60), darkGreen), 10);
    EXPECT_EQ(count(QRect(int(65 * ux), 47 * uy, 12, 90), black), 0);
    // "version 9.0" at (73, 47), the credits from (10, 61).
    EXPECT_GT(count(QRect(int(73 * ux) + 10, 47 * uy, 80, 16), black), 20);
    EXPECT_GT(count(QRect(int(10 * ux), 61 * uy, 100, 60), black), 40);
    // The grey background stays grey away from the drawing.
    EXPECT_EQ(QColor(image.pixel(3, 240)), QColor(192, 192, 192));
}
