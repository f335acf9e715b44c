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
