// The two view dialogs: what OK reads back (every field), the boxes of bad input, the
// frequency limits and the resolution limit.
#include "support/WaveWindows.h"

#include "platform/test/ScriptedColorDialog.h"
#include "waveui/dialogs/ViewDialogs.h"
#include "window_base/ColorCombo.h"

#include <QCheckBox>
#include <QPushButton>

using namespace kelvorn;
using namespace kelvorn::test;

namespace {

std::string Text(const QLineEdit* edit)
{
    return edit->text().toLatin1().toStdString();
}

class ViewDialogs : public DialogTest
{
protected:
    ViewDialogs() { waves.extra.push_back({"Wave 3", nullptr}); }
    ~ViewDialogs() override { EXPECT_EQ(colors.Pending(), 0u); }

    ScriptedColorDialog colors;
};

// ---- Wave View ---------------------------------------------------------------------------------

TWaveViewProps OddWaveProps()
{
    TWaveViewProps p;
    p.DrawKind = drawKindPoints;
    p.DistKind = distKindRandom;
    p.ValuesPerPixel.SetValue(7);
    p.UseGrid = 0;
    p.GridColor = 0x102030;
    p.CursorColor = 0x405060;
    p.Strength.SetValue(0.5);
    p.BackgroundColor = 0x708090;
    p.SingleColor = 0xA0B0C0;
    p.DrawSingle = 0;
    p.LeftColor = 0x010203;
    p.RightColor = 0x040506;
    p.FrontKind = frontRight;
    p.DrawEnvelope = 1;
    p.EnvelopeStrength.SetValue(0.25);
    p.EnvelopeName.SetCaption("Wave 3");
    return p;
}

TEST_F(ViewDialogs, WaveViewReadsEveryFieldBack)
{
    TDlgWaveViewProps dialog(nullptr, nullptr, TWaveViewProps());
    const TWaveViewProps expected = OddWaveProps();
    // The six colour boxes in the order they are chosen below.
    for (int32_t color : {expected.GridColor, expected.CursorColor, expected.SingleColor,
                          expected.LeftColor, expected.RightColor, expected.BackgroundColor})
        colors.WhenPick(color);
    EXPECT_TRUE(Ok(dialog, [&] {
        SetCheckedIndex(*dialog.rgrDraw, 1);
        SetCheckedIndex(*dialog.rgrDistribution, 1);
        SetCheckedIndex(*dialog.rgrCombine, 2);
        Type(dialog.editValuesPerPixel, "7");
        for (TColorCombo* box : {dialog.colbGrid, dialog.colbCursor, dialog.colbSingleWave,
                                 dialog.colbLeft, dialog.colbRight, dialog.colbBackground})
            box->ChooseRow(box->CustomRow());
        dialog.chkDrawGrid->setChecked(false);
        Type(dialog.editStrength, "0.5");
        dialog.chk2Waves->setChecked(false);
        dialog.cboDrawEnvelope->setEditText("Wave 3");
        Type(dialog.editDrawEnvelopeStrength, "25 %");
    }));
    EXPECT_EQ(dialog.GetProps(), expected);
    EXPECT_EQ(dialog.GetProps().EnvelopeName.GetCaption(), "Wave 3");
    EXPECT_EQ(dialog.GetProps().DrawEnvelope, 1);
    // The boxes started from the default colours.
    const TWaveViewProps defaults;
    std::vector<int32_t> started;
    for (const ScriptedColorDialog::Shown& shown : colors.ShownDialogs())
        started.push_back(shown.initial);
    EXPECT_EQ(started, (std::vector<int32_t>{defaults.GridColor, defaults.CursorColor,
                                             defaults.SingleColor, defaults.LeftColor,
                                             defaults.RightColor, defaults.BackgroundColor}));
}

struct BadField
{
    const char* field;
    const char* text;
    const char* message;
};

class WaveViewBadFields : public ViewDialogs, public ::testing::WithParamInterface<BadField>
{
};

TEST_P(WaveViewBadFields, StayOpenWithTheFieldsLabel)
{
    const BadField& c = GetParam();
    TWaveViewProps start;
    start.DrawEnvelope = 0;
    TDlgWaveViewProps dialog(nullptr, nullptr, start);
    QLineEdit* edit = dialog.findChild<QLineEdit*>(QString::fromLatin1(c.field));
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(Ok(dialog, [&] { Type(edit, c.text); }, {c.message}));
    // The first bad field stops the reading: nothing after it reached the record.
    EXPECT_EQ(dialog.GetProps().EnvelopeStrength.GetValue(), start.EnvelopeStrength.GetValue());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, WaveViewBadFields,
    ::testing::Values(
        BadField{"editValuesPerPixel", "0",
                 "In Values per Pixel: Value must be positive and more than 0."},
        BadField{"editValuesPerPixel", "many", "In Values per Pixel: Invalid value: \"many\"."},
        BadField{"editStrength", "0", "In Strength: Value must be positive and more than 0."},
        BadField{"editDrawEnvelopeStrength", "101 %",
                 "In Background Strength: Value must be no more than 1."}));

// ---- Volume Diagram ----------------------------------------------------------------------------

TVoldViewProps OddVoldProps()
{
    TVoldViewProps p;
    p.XResolution.SetValue(640);
    p.YResolution.SetValue(80);
    p.TimeTop.SetValue(1.0 / 8000);
    p.TimeBottom.SetValue(1.0 / 50);
    p.YWidth.SetValue(2.5);
    p.FreqAxisKind = freqAxisLinTime;
    p.DrawSingle = 0;
    p.SensKind = sensVeryHigh;
    p.Strength.SetValue(0.75);
    p.BackgroundColor = 0x111111;
    p.SingleColor = 0x222222;
    p.LeftColor = 0x333333;
    p.RightColor = 0x444444;
    p.CursorColor = 0x555555;
    p.UseColorPalette1D = 1;
    return p;
}

TEST_F(ViewDialogs, VolumeDiagramTextsAsTheUserKnowsThem)
{
    TDlgVoldViewProps dialog(nullptr, 2, 200, 600, 44100, nullptr, TVoldViewProps());
    auto items = [](const QGroupBox& group) {
        std::vector<std::string> texts;
        for (const QAbstractButton* button :
             group.findChildren<QAbstractButton*>(Qt::FindDirectChildrenOnly))
            texts.push_back(button->text().toStdString());
        return texts;
    };
    EXPECT_EQ(items(*dialog.rgrHorDistribution),
              (std::vector<std::string>{"Frequency Linear", "Logaritmic", "Time Linear"}));
    EXPECT_EQ(items(*dialog.rgrSensitivity),
              (std::vector<std::string>{"Low (Kwadratic)", "Normal (Linear)", "High (Square root)",
                                        "Very High (Fourth root)"}));
    EXPECT_EQ(dialog.chk2Waves->text(), "2 Single Diagrams when Stereo");
    EXPECT_EQ(dialog.chkSingleColorPalette->text(), "Use Palette for Single Diagrams");
    EXPECT_EQ(dialog.btnSingleColorPalette->text(), "Edit Palette...");
    EXPECT_EQ(dialog.chkDefault->text(), "Use As Default");
    EXPECT_EQ(dialog.btnXResWindow->text(), "< Window");
}

TEST_F(ViewDialogs, VolumeDiagramReadsEveryFieldBack)
{
    TVoldViewProps start;
    TDlgVoldViewProps dialog(nullptr, 2, 200, 600, 44100, nullptr, start);
    const TVoldViewProps expected = OddVoldProps();
    for (int32_t color : {expected.BackgroundColor, expected.SingleColor, expected.LeftColor,
                          expected.RightColor, expected.CursorColor})
        colors.WhenPick(color);
    EXPECT_TRUE(Ok(dialog, [&] {
        Type(dialog.editHorizontal, "640");
        Type(dialog.editVertical, "80");
        Type(dialog.editTop, "8 kHz");
        Type(dialog.editBottom, "50 Hz");
        Type(dialog.editWidth, "2.5");
        Type(dialog.editStrength, "0.75");
        SetCheckedIndex(*dialog.rgrHorDistribution, 2);
        SetCheckedIndex(*dialog.rgrSensitivity, 3);
        dialog.chk2Waves->setChecked(false);
        for (TColorCombo* box : {dialog.colbBackground, dialog.colbSingle, dialog.colbLeft,
                                 dialog.colbRight, dialog.colbCursor})
            box->ChooseRow(box->CustomRow());
        dialog.chkSingleColorPalette->setChecked(true);
    }));
    EXPECT_EQ(dialog.GetProps(), expected);
}

TEST_F(ViewDialogs, ATopAboveHalfTheSampleFrequencyOpensLowered)
{
    // 20 kHz over a wave of 11025 Hz: shown and kept as 5512.5 Hz.
    TDlgVoldViewProps dialog(nullptr, 1, 100, 300, 11025, nullptr, TVoldViewProps());
    std::string shown;
    EXPECT_TRUE(Ok(dialog, [&] { shown = Text(dialog.editTop); }));
    EXPECT_EQ(shown, unitTimePosMore(2.0 / 11025, EHKHZ).ToText());
    EXPECT_NEAR(dialog.GetProps().TimeTop.GetValue(), 2.0 / 11025, 1e-12);
    EXPECT_EQ(dialog.GetProps().TimeBottom.GetValue(), 0.05);
}

struct VoldCase
{
    const char* top;
    const char* bottom;
    const char* horizontal;
    const char* vertical;
    const char* message; // "" when accepted
};

class VolumeDiagramFields : public ViewDialogs, public ::testing::WithParamInterface<VoldCase>
{
};

TEST_P(VolumeDiagramFields, AreCheckedInOrder)
{
    const VoldCase& c = GetParam();
    TVoldViewProps start;
    TDlgVoldViewProps dialog(nullptr, 1, 100, 300, 11025, nullptr, start);
    std::vector<std::string> texts;
    if (*c.message)
        texts.push_back(c.message);
    const bool closed = Ok(
        dialog,
        [&] {
            Type(dialog.editTop, c.top);
            Type(dialog.editBottom, c.bottom);
            Type(dialog.editHorizontal, c.horizontal);
            Type(dialog.editVertical, c.vertical);
        },
        texts);
    EXPECT_EQ(closed, texts.empty());
    if (!closed) {
        // A refused grid never reaches the record, even half.
        EXPECT_EQ(dialog.GetProps().XResolution.GetValue(), 500);
        EXPECT_EQ(dialog.GetProps().YResolution.GetValue(), 50);
    }
}

const char* const TooManyCells =
    "In Resolution: Horizontal times Vertical must not be more than 16777216 cells.";
// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, VolumeDiagramFields, ::testing::Values(
    VoldCase{"8 kHz", "20 Hz", "500", "50", ""}, // between half and full sample frequency
    VoldCase{"11025 Hz", "20 Hz", "500", "50", ""},
    VoldCase{"11026 Hz", "20 Hz", "500", "50", "Top Frequency may not be higher than the sample Frequency."},
    VoldCase{"100 Hz", "100 Hz", "500", "50", "Top Frequency and Bottom Frequency must be different."},
    VoldCase{"100 Hz", "12 kHz", "500", "50", "Bottom Frequency may not be higher than the sample Frequency."},
    VoldCase{"xyz", "20 Hz", "500", "50", "In Top Frequency: Input has no value."},
    VoldCase{"8 kHz", "20 Hz", "4096", "4096", ""},
    VoldCase{"8 kHz", "20 Hz", "4097", "4096", TooManyCells},
    VoldCase{"8 kHz", "20 Hz", "2147483647", "2", TooManyCells},
    VoldCase{"8 kHz", "20 Hz", "500", "0", "In Vertical Resolution: Value must be positive and more than 0."}));
// clang-format on

} // namespace
