#include "waveui/dialogs/PaletteDialog.h"
#include "window_base/ColorCombo.h"

#include "platform/test/ScriptedColorDialog.h"
#include "platform/test/ScriptedDialogs.h"
#include "platform/test/ScriptedFileDialogs.h"
#include "platform/test/ScriptedMessages.h"
#include "support/Files.h"
#include "window_base/QtModalDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace kelvorn;

namespace {

constexpr int32_t kBlack = 0x000000;
constexpr int32_t kWhite = 0xFFFFFF;
constexpr int32_t kRed = 0x0000FF;
constexpr int32_t kBlue = 0xFF0000;
constexpr int32_t kGreen = 0x008000;

/// Black at 0, red at 25 %, blue at 50 % (leaving green), white at 1.
TColorPalette1DItem FourStops()
{
    TColorPalette1DItem head(kBlack, kWhite);
    head.Insert(0.25, kRed);
    TColorPalette1DItem* blue = head.Insert(0.5, kBlue);
    blue->SetUseColorAfter(true);
    blue->SetColorAfter(kGreen);
    return head;
}

std::vector<double> Positions(const TColorPalette1DItem& head)
{
    std::vector<double> positions;
    for (const TColorPalette1DItem* s = &head; s; s = s->GetNext())
        positions.push_back(s->GetDPosition());
    return positions;
}

class PaletteDialogTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        EXPECT_TRUE(messages.Unexpected().empty())
            << messages.Unexpected().front().caption << ": " << messages.Unexpected().front().text;
        EXPECT_EQ(messages.Pending(), 0u);
        EXPECT_TRUE(files.Unexpected().empty());
        EXPECT_EQ(files.Pending(), 0u);
        EXPECT_TRUE(colors.Unexpected().empty());
        EXPECT_EQ(colors.Pending(), 0u);
    }

    /// The typed text taken as when the user leaves the field.
    static void Type(TDlgColorPalette1D& dialog, const char* text)
    {
        dialog.editPosition->setText(QString::fromLatin1(text));
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(dialog.editPosition, &out);
    }

    ScriptedMessages messages;
    ScriptedFileDialogs files;
    ScriptedColorDialog colors;
};

// ---- buttons and fields per stop --------------------------------------------------------

struct StopCase
{
    int index;
    const char* position;
    /// Enabled: First, Previous, colour Previous, Next, Last, colour Next, Delete, the
    /// position and its check box; then checked: colour after; enabled: colour after.
    const char* states;
    int32_t before;
    int32_t leaving;
};

class PaletteStopTest : public PaletteDialogTest, public ::testing::WithParamInterface<StopCase>
{
};

TEST_P(PaletteStopTest, ShowsTheStopAndEnablesWhatApplies)
{
    const StopCase& c = GetParam();
    TDlgColorPalette1D dialog(nullptr, FourStops());
    dialog.btnPalItemLastClick();
    dialog.btnPalItemFirstClick();
    for (int i = 0; i < c.index; ++i)
        dialog.btnPalItemNext->click();
    EXPECT_EQ(dialog.editPosition->text().toStdString(), c.position);
    std::string states;
    for (bool on : {dialog.btnPalItemFirst->isEnabled(), dialog.btnPalItemPrevious->isEnabled(),
                    dialog.btnColorPrevious->isEnabled(), dialog.btnPalItemNext->isEnabled(),
                    dialog.btnPalItemLast->isEnabled(), dialog.btnColorNext->isEnabled(),
                    dialog.btnPalItemDelete->isEnabled(), dialog.editPosition->isEnabled(),
                    dialog.chkColorAfter->isEnabled(), dialog.chkColorAfter->isChecked(),
                    dialog.cboColorAfter->isEnabled()})
        states += on ? '1' : '0';
    EXPECT_EQ(states, c.states);
    EXPECT_TRUE(dialog.btnPalItemAdd->isEnabled());
    EXPECT_EQ(dialog.cboColorBefore->Color(), c.before);
    EXPECT_EQ(dialog.cboColorAfter->Color(), c.leaving);
}

INSTANTIATE_TEST_SUITE_P(Stops, PaletteStopTest,
                         ::testing::Values(StopCase{0, "0 %", "00011100000", kBlack, kBlack},
                                           StopCase{1, "25 %", "11111111100", kRed, kRed},
                                           StopCase{2, "50 %", "11111111111", kBlue, kGreen},
                                           StopCase{3, "100 %", "11100000000", kWhite, kWhite}));

// ---- the position field -------------------------------------------------------------------

struct BadPositionCase
{
    const char* text;
    const char* message;
};

class PaletteBadPositionTest : public PaletteDialogTest,
                               public ::testing::WithParamInterface<BadPositionCase>
{
};

TEST_P(PaletteBadPositionTest, ShowsTheBoxAndRestoresTheOldPosition)
{
    const BadPositionCase& c = GetParam();
    TDlgColorPalette1D dialog(nullptr, FourStops());
    dialog.btnPalItemNext->click();
    messages.Expect();
    Type(dialog, c.text);
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].text, c.message);
    EXPECT_EQ(messages.Shown()[0].caption, "Input Error");
    EXPECT_EQ(messages.Shown()[0].icon, MsgIcon::Information);
    EXPECT_EQ(dialog.editPosition->text().toStdString(), "25 %");
    EXPECT_EQ(dialog.CurrentStop()->GetDPosition(), 0.25);
    EXPECT_EQ(Positions(dialog.GetColorPalette()), (std::vector<double>{0, 0.25, 0.5, 1}));
    // The field is clean again: leaving it once more shows nothing.
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(dialog.editPosition, &out);
    EXPECT_EQ(messages.Shown().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PaletteBadPositionTest,
    ::testing::Values(BadPositionCase{"0 %",
                                      "In Position: Value must be positive and more than 0."},
                      BadPositionCase{"100 %", "In Position: Value must be less than 1."},
                      BadPositionCase{"50 %", "This Position already exists in the pallette."},
                      BadPositionCase{"0.5", "This Position already exists in the pallette."}));

// ---- colours ------------------------------------------------------------------------------

TEST_F(PaletteDialogTest, ColourBeforeFromTheListAndColourAfterFromTheColourDialog)
{
    TDlgColorPalette1D dialog(nullptr, FourStops());
    dialog.btnPalItemNext->click();
    const int yellow = dialog.cboColorBefore->findText(QStringLiteral("Yellow"));
    ASSERT_GE(yellow, 0);
    dialog.cboColorBefore->ChooseRow(yellow);
    EXPECT_EQ(dialog.CurrentStop()->GetColorBefore(), 0x00FFFF);
    EXPECT_EQ(dialog.cboColorAfter->Color(), 0x00FFFF);

    dialog.chkColorAfter->click();
    EXPECT_TRUE(dialog.CurrentStop()->GetUseColorAfter());
    EXPECT_TRUE(dialog.cboColorAfter->isEnabled());
    colors.WhenPick(0x123456);
    dialog.cboColorAfter->ChooseRow(dialog.cboColorAfter->CustomRow());
    EXPECT_EQ(dialog.CurrentStop()->GetColorAfter(), 0x123456);
    EXPECT_EQ(dialog.cboColorAfter->currentText().toStdString(), "$00123456");
    EXPECT_EQ(dialog.GetColorPalette().GetNext()->GetLeavingColor(), 0x123456);

    // A cancelled colour dialog keeps the colour.
    colors.WhenPick(std::nullopt);
    dialog.cboColorAfter->ChooseRow(dialog.cboColorAfter->CustomRow());
    EXPECT_EQ(dialog.CurrentStop()->GetColorAfter(), 0x123456);
    EXPECT_EQ(dialog.cboColorAfter->Color(), 0x123456);

    dialog.chkColorAfter->click();
    EXPECT_FALSE(dialog.CurrentStop()->GetUseColorAfter());
    EXPECT_FALSE(dialog.cboColorAfter->isEnabled());
    EXPECT_EQ(dialog.cboColorAfter->Color(), 0x00FFFF);
}

// ---- files --------------------------------------------------------------------------------

class PaletteFileTest : public PaletteDialogTest
{
protected:
    std::string Path(const char* name) const { return (dir / name).string(); }

    kelvorn::test::TempDir dir{"palette"};
};

TEST_F(PaletteFileTest, SaveThenOpenGivesThePaletteBackAndTheHeadBecomesCurrent)
{
    const std::string path = Path("four.cp1");
    {
        TDlgColorPalette1D dialog(nullptr, FourStops());
        files.WhenSave(TDlgColorPalette1D::SaveTitle, path);
        dialog.btnSave->click();
        ASSERT_EQ(files.ShownDialogs().size(), 1u);
        EXPECT_EQ(files.ShownDialogs()[0].request.filter, TDlgColorPalette1D::FileFilter);
        EXPECT_EQ(files.ShownDialogs()[0].request.defaultExtension, "cp1");
    }
    ASSERT_TRUE(std::filesystem::exists(path));

    TDlgColorPalette1D dialog(nullptr, TColorPalette1DItem(kWhite, kBlack));
    dialog.btnPalItemLast->click();
    dialog.btnPalItemAdd->click();
    files.WhenOpen(TDlgColorPalette1D::OpenTitle, {path});
    dialog.btnOpen->click();
    EXPECT_TRUE(dialog.GetColorPalette() == FourStops());
    // The stop shown before was freed by the reader; the fields show the head now.
    EXPECT_EQ(dialog.CurrentStop()->GetDPosition(), 0.0);
    EXPECT_EQ(dialog.editPosition->text().toStdString(), "0 %");
    EXPECT_EQ(dialog.cboColorBefore->Color(), kBlack);
    EXPECT_FALSE(dialog.btnPalItemFirst->isEnabled());
    dialog.btnPalItemNext->click();
    EXPECT_EQ(dialog.CurrentStop()->GetColorBefore(), kRed);
}

TEST_F(PaletteFileTest, AFileThatCannotBeReadShowsTheFileErrorAndKeepsThePalette)
{
    const std::string path = Path("missing.cp1");
    TDlgColorPalette1D dialog(nullptr, FourStops());
    dialog.btnPalItemNext->click();
    files.WhenOpen(TDlgColorPalette1D::OpenTitle, {path});
    messages.Expect();
    dialog.btnOpen->click();
    ASSERT_EQ(messages.Shown().size(), 1u) << messages.Shown()[0].text;
    const std::string prefix = "Cannot read file: \"" + path + "\": ";
    EXPECT_EQ(messages.Shown()[0].text.substr(0, prefix.size()), prefix);
    EXPECT_GT(messages.Shown()[0].text.size(), prefix.size());
    EXPECT_EQ(messages.Shown()[0].caption, "File Error");
    EXPECT_EQ(messages.Shown()[0].icon, MsgIcon::Stop);
    EXPECT_TRUE(dialog.GetColorPalette() == FourStops());
    EXPECT_EQ(dialog.CurrentStop()->GetDPosition(), 0.25);
}

} // namespace
