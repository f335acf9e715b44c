#include "waveui/dialogs/ViewDialogs.h"

#include "general/GuiMessages.h"
#include "general/Services.h"
#include "waveui/WaveCombo.h"
#include "waveui/dialogs/OperationDialog.h"
#include "window_base/ColorCombo.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSignalBlocker>

#include <initializer_list>
#include <string>

namespace kelvorn {

namespace {

QString Latin1(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

std::string Latin1(const QString& text)
{
    return text.toLatin1().toStdString();
}

template <class W> W* Named(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A caption of width pixels; one beside a field ends a pixel before it (the helpers below).
QLabel* Caption(QWidget* parent, const char* text, int left, int top, int width)
{
    auto* label = new QLabel(QLatin1String(text), parent);
    label->setGeometry(left, top + 3, width, 15);
    return label;
}

// A titled group of exclusive radio buttons, one below the other; the box's index is the
// record's kind byte.
QGroupBox* Choices(QWidget* parent, const char* name, const char* caption,
                   std::initializer_list<const char*> items, int itemWidth)
{
    auto* box = Named(new QGroupBox(QLatin1String(caption), parent), name);
    auto* group = new QButtonGroup(box);
    int i = 0;
    for (const char* item : items) {
        auto* button = new QRadioButton(QLatin1String(item), box);
        button->setGeometry(10, 18 + i * 20, itemWidth - 4, 17);
        group->addButton(button, i);
        ++i;
    }
    return box;
}

// Wide enough for the longest colour name ("Money Green") beside its swatch.
constexpr int ColorBoxWidth = 112;

/// A colour box with its caption at the left; the caption may be empty.
TColorCombo* ColorBox(QWidget* parent, const char* name, const char* caption, int left, int top,
                      int captionWidth)
{
    if (*caption)
        Caption(parent, caption, left, top, captionWidth - 1);
    auto* box = Named(new TColorCombo(parent), name);
    box->setGeometry(left + captionWidth, top, ColorBoxWidth, 21);
    return box;
}

QLineEdit* Edit(QWidget* parent, const char* name, const char* caption, int left, int top,
                int captionWidth, int width = 80)
{
    if (*caption)
        Caption(parent, caption, left, top, captionWidth - 1);
    auto* edit = Named(new QLineEdit(parent), name);
    edit->setGeometry(left + captionWidth, top, width, 21);
    return edit;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* text, int left, int top, int width)
{
    auto* box = Named(new QCheckBox(QLatin1String(text), parent), name);
    box->setGeometry(left, top + 2, width, 17);
    return box;
}

void ShowValue(QLineEdit* edit, const unit& value)
{
    const QSignalBlocker blocker(edit);
    edit->setText(Latin1(value.ToText()));
}

// The client area of the form, then the buttons in a column at its right.
void Frame(TOKDlg& dialog, int width, int height)
{
    dialog.SetClientSize(width + 92, height);
    dialog.Place(dialog.Bevel1, 8, 8, width - 8, height - 16);
    dialog.Place(dialog.OKBtn, width + 9, 8, 75, 25);
    dialog.Place(dialog.CancelBtn, width + 9, 38, 75, 25);
    dialog.Place(dialog.HelpBtn, width + 9, 68, 75, 25);
    dialog.Bevel1->lower();
}

} // namespace

int CheckedIndex(const QGroupBox& group)
{
    const auto buttons = group.findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    for (qsizetype i = 0; i < buttons.size(); ++i)
        if (buttons[i]->isChecked())
            return int(i);
    return -1;
}

void SetCheckedIndex(QGroupBox& group, int index)
{
    const auto buttons = group.findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    if (index >= 0 && index < buttons.size())
        buttons[index]->setChecked(true);
}

// ---- Wave View ----------------------------------------------------------------------------------

TDlgWaveViewProps::TDlgWaveViewProps(QWidget* owner, TWaveViewProps* defaults,
                                     const TWaveViewProps& props)
    : TOKHelpRightDlg(owner), props(props), defaults(defaults)
{
    setObjectName(QStringLiteral("DlgWaveViewProps"));
    setWindowTitle(QStringLiteral("Wave View"));
    SetHelpContext(HelpContextWaveView);
    Frame(*this, 564, 376);

    rgrDraw = Choices(this, "rgrDraw", "Draw", {"Lines", "Points"}, 120);
    Place(rgrDraw, 16, 16, 140, 62);
    rgrDistribution = Choices(this, "rgrDistribution", "Distribution", {"Constant", "Random"}, 120);
    Place(rgrDistribution, 164, 16, 140, 62);
    editValuesPerPixel = Edit(this, "editValuesPerPixel", "Values per Pixel:", 16, 88, 104);
    chkDrawGrid = Check(this, "chkDrawGrid", "Draw Grid", 16, 116, 100);
    colbGrid = ColorBox(this, "colbGrid", "", 120, 116, 0);
    colbCursor = ColorBox(this, "colbCursor", "Cursor", 16, 144, 104);
    chk2Waves = Check(this, "chk2Waves", "2 Single Waves when Stereo", 16, 172, 240);

    grpColorsWave = Named(new QGroupBox(QStringLiteral("Colors Wave"), this), "grpColorsWave");
    Place(grpColorsWave, 16, 196, 300, 168);
    colbSingleWave = ColorBox(grpColorsWave, "colbSingleWave", "Single Wave", 10, 18, 80);
    editStrength = Edit(grpColorsWave, "editStrength", "Strength", 10, 44, 80, 60);
    grpStereo = Named(new QGroupBox(QStringLiteral("Stereo"), grpColorsWave), "grpStereo");
    grpStereo->setGeometry(8, 70, 284, 96);
    colbLeft = ColorBox(grpStereo, "colbLeft", "Left", 8, 18, 36);
    colbRight = ColorBox(grpStereo, "colbRight", "Right", 8, 44, 36);
    rgrCombine = Choices(grpStereo, "rgrCombine", "Combine",
                         {"Mixed", "Left at Front", "Right at Front"}, 112);
    // Below the Stereo box's title line.
    rgrCombine->setGeometry(160, 15, 120, 80);

    grpBackground = Named(new QGroupBox(QStringLiteral("Background"), this), "grpBackground");
    Place(grpBackground, 324, 16, 232, 132);
    colbBackground = ColorBox(grpBackground, "colbBackground", "Color", 10, 18, 70);
    chkDrawEnvelope = Check(grpBackground, "chkDrawEnvelope", "Draw Envelope", 10, 46, 180);
    Caption(grpBackground, "Envelope", 10, 72, 69);
    cboDrawEnvelope = Named(new QComboBox(grpBackground), "cboDrawEnvelope");
    cboDrawEnvelope->setEditable(true);
    cboDrawEnvelope->setInsertPolicy(QComboBox::NoInsert);
    cboDrawEnvelope->setGeometry(80, 72, 140, 21);
    editDrawEnvelopeStrength =
        Edit(grpBackground, "editDrawEnvelopeStrength", "Strength", 10, 100, 70, 60);
    chkDefault = Check(this, "chkDefault", "Use As Default", 324, 160, 180);

    connect(chkDrawGrid, &QCheckBox::toggled, this, &TDlgWaveViewProps::chkDrawGridClick);
    connect(rgrDraw->findChild<QButtonGroup*>(), &QButtonGroup::idToggled, this,
            &TDlgWaveViewProps::rgrDrawClick);
    connect(cboDrawEnvelope, &QComboBox::editTextChanged, this,
            &TDlgWaveViewProps::ChangeAtDrawEnvelope);
    connect(editDrawEnvelopeStrength, &QLineEdit::textChanged, this,
            &TDlgWaveViewProps::ChangeAtDrawEnvelope);
}

void TDlgWaveViewProps::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        filling = true;
        SetCheckedIndex(*rgrDraw, props.DrawKind);
        SetCheckedIndex(*rgrDistribution, props.DistKind);
        SetCheckedIndex(*rgrCombine, props.FrontKind);
        chkDrawGrid->setChecked(props.UseGrid != 0);
        chk2Waves->setChecked(props.DrawSingle != 0);
        colbSingleWave->SetColor(props.SingleColor);
        colbBackground->SetColor(props.BackgroundColor);
        colbGrid->SetColor(props.GridColor);
        colbCursor->SetColor(props.CursorColor);
        colbLeft->SetColor(props.LeftColor);
        colbRight->SetColor(props.RightColor);
        ShowValue(editValuesPerPixel, props.ValuesPerPixel);
        ShowValue(editStrength, props.Strength);
        ShowValue(editDrawEnvelopeStrength, props.EnvelopeStrength);
        std::vector<WaveChoice> list;
        if (WaveListSource* source = FindService<WaveListSource>())
            source->FillWaveList(list, waveListOthers);
        FillWaveComboItems(*cboDrawEnvelope, list, -1);
        FillWaveCombo(props.EnvelopeName, *cboDrawEnvelope);
        cboDrawEnvelope->setEditText(Latin1(props.EnvelopeName.GetCaption()));
        chkDrawEnvelope->setChecked(props.DrawEnvelope != 0);
        chkDefault->setChecked(false);
        chkDrawGridClick();
        rgrDrawClick();
        filling = false;
        ok = true;
    }
    TOKHelpRightDlg::showEvent(event);
}

void TDlgWaveViewProps::chkDrawGridClick()
{
    colbGrid->setEnabled(chkDrawGrid->isChecked());
}

void TDlgWaveViewProps::rgrDrawClick()
{
    // Lines are always drawn opaque; only points take the strength.
    editStrength->setEnabled(CheckedIndex(*rgrDraw) == drawKindPoints);
}

void TDlgWaveViewProps::ChangeAtDrawEnvelope()
{
    if (!filling)
        chkDrawEnvelope->setChecked(true);
}

void TDlgWaveViewProps::accept()
{
    auto index = [](const QGroupBox& group, uint8_t& field) {
        const int i = CheckedIndex(group);
        if (i >= 0)
            field = static_cast<uint8_t>(i);
    };
    index(*rgrDraw, props.DrawKind);
    index(*rgrDistribution, props.DistKind);
    index(*rgrCombine, props.FrontKind);
    props.UseGrid = chkDrawGrid->isChecked() ? 1 : 0;
    props.DrawSingle = chk2Waves->isChecked() ? 1 : 0;
    props.SingleColor = colbSingleWave->Color();
    props.BackgroundColor = colbBackground->Color();
    props.GridColor = colbGrid->Color();
    props.CursorColor = colbCursor->Color();
    props.LeftColor = colbLeft->Color();
    props.RightColor = colbRight->Color();
    props.ValuesPerPixel.SetTextMsg(ok, Latin1(editValuesPerPixel->text()), "Values per Pixel");
    props.Strength.SetTextMsg(ok, Latin1(editStrength->text()), "Strength");
    if (chkDrawEnvelope->isChecked()) {
        props.DrawEnvelope = 1;
        const std::string name = Latin1(cboDrawEnvelope->currentText());
        const int item = cboDrawEnvelope->findText(cboDrawEnvelope->currentText());
        props.EnvelopeName.Set(unitUnitWave(name).GetCaption(),
                               WaveComboItemDocument(*cboDrawEnvelope, item));
    } else {
        props.DrawEnvelope = 0;
    }
    props.EnvelopeStrength.SetTextMsg(ok, Latin1(editDrawEnvelopeStrength->text()),
                                      "Background Strength");
    if (!ok) {
        ok = true;
        return;
    }
    if (defaults && chkDefault->isChecked())
        *defaults = props;
    TOKHelpRightDlg::accept();
}

// ---- Volume Diagram -----------------------------------------------------------------------------

TDlgVoldViewProps::TDlgVoldViewProps(QWidget* owner, int32_t channels, int32_t paneHeight,
                                     int32_t paneWidth, int32_t sampleFreq,
                                     TVoldViewProps* defaults, const TVoldViewProps& props)
    : TOKHelpRightDlg(owner), props(props), defaults(defaults), sampleFreq(sampleFreq),
      paneWidth(paneWidth), paneHeight(paneHeight), channels(channels),
      palette(props.ColorPalette1D)
{
    setObjectName(QStringLiteral("DlgVoldViewProps"));
    setWindowTitle(QStringLiteral("Volume Diagram"));
    SetHelpContext(HelpContextVolumeView);
    Frame(*this, 560, 364);

    Caption(this, "Resolution", 16, 16, 120);
    editHorizontal = Edit(this, "editHorizontal", "Horizontal", 16, 38, 64, 70);
    btnXResWindow = Named(new QPushButton(QStringLiteral("< Window"), this), "btnXResWindow");
    Place(btnXResWindow, 156, 37, 70, 23);
    editVertical = Edit(this, "editVertical", "Vertical", 16, 64, 64, 70);
    btnYResWindow = Named(new QPushButton(QStringLiteral("< Window"), this), "btnYResWindow");
    Place(btnYResWindow, 156, 63, 70, 23);

    grpFrequency = Named(new QGroupBox(QStringLiteral("Frequency"), this), "grpFrequency");
    Place(grpFrequency, 16, 94, 210, 98);
    editTop = Edit(grpFrequency, "editTop", "Top", 10, 18, 60, 90);
    editBottom = Edit(grpFrequency, "editBottom", "Bottom", 10, 44, 60, 90);
    editWidth = Edit(grpFrequency, "editWidth", "Width", 10, 70, 60, 90);

    rgrHorDistribution = Choices(this, "rgrHorDistribution", "Horizontal Distribution",
                                 {"Frequency Linear", "Logaritmic", "Time Linear"}, 180);
    Place(rgrHorDistribution, 16, 200, 210, 80);
    editStrength = Edit(this, "editStrength", "Strength", 16, 290, 64, 70);
    chkDefault = Check(this, "chkDefault", "Use As Default", 16, 314, 200);

    rgrSensitivity = Choices(
        this, "rgrSensitivity", "Sensitivity",
        {"Low (Kwadratic)", "Normal (Linear)", "High (Square root)", "Very High (Fourth root)"},
        260);
    Place(rgrSensitivity, 236, 16, 316, 100);
    colbCursor = ColorBox(this, "colbCursor", "Cursor", 236, 124, 90);
    chk2Waves = Check(this, "chk2Waves", "2 Single Diagrams when Stereo", 236, 150, 276);

    grpColors = Named(new QGroupBox(QStringLiteral("Colors"), this), "grpColors");
    // Inside the bevel's line.
    Place(grpColors, 236, 174, 316, 180);
    colbBackground = ColorBox(grpColors, "colbBackground", "Background", 10, 18, 140);
    colbSingle = ColorBox(grpColors, "colbSingle", "Volume Single or Both ", 10, 44, 140);
    grpStereo = Named(new QGroupBox(QStringLiteral("Stereo"), grpColors), "grpStereo");
    grpStereo->setGeometry(8, 68, 300, 76);
    colbLeft = ColorBox(grpStereo, "colbLeft", "Volume Left", 8, 20, 76);
    colbRight = ColorBox(grpStereo, "colbRight", "Volume Right", 8, 46, 76);
    chkSingleColorPalette =
        Check(grpColors, "chkSingleColorPalette", "Use Palette for Single Diagrams", 10, 152, 210);
    btnSingleColorPalette = Named(new QPushButton(QStringLiteral("Edit Palette..."), grpColors),
                                  "btnSingleColorPalette");
    btnSingleColorPalette->setGeometry(222, 150, 86, 23);

    connect(btnXResWindow, &QPushButton::clicked, this, &TDlgVoldViewProps::btnXResWindowClick);
    connect(btnYResWindow, &QPushButton::clicked, this, &TDlgVoldViewProps::btnYResWindowClick);
    connect(btnSingleColorPalette, &QPushButton::clicked, this,
            &TDlgVoldViewProps::btnSingleColorPaletteClick);
}

void TDlgVoldViewProps::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        chk2Waves->setChecked(props.DrawSingle != 0);
        colbBackground->SetColor(props.BackgroundColor);
        colbSingle->SetColor(props.SingleColor);
        colbLeft->SetColor(props.LeftColor);
        colbRight->SetColor(props.RightColor);
        colbCursor->SetColor(props.CursorColor);
        chkSingleColorPalette->setChecked(props.UseColorPalette1D != 0);
        // A band above half the sample frequency cannot be told from its mirror below it.
        if (sampleFreq > 0) {
            const double shortest = 2.0 / sampleFreq;
            if (props.TimeTop.GetValue() < shortest)
                props.TimeTop.SetValue(shortest);
            if (props.TimeBottom.GetValue() < shortest)
                props.TimeBottom.SetValue(shortest);
        }
        ShowValue(editStrength, props.Strength);
        ShowValue(editHorizontal, props.XResolution);
        ShowValue(editVertical, props.YResolution);
        ShowValue(editTop, props.TimeTop);
        ShowValue(editBottom, props.TimeBottom);
        ShowValue(editWidth, props.YWidth);
        SetCheckedIndex(*rgrHorDistribution, props.FreqAxisKind);
        SetCheckedIndex(*rgrSensitivity, props.SensKind);
        ok = true;
    }
    TOKHelpRightDlg::showEvent(event);
}

void TDlgVoldViewProps::accept()
{
    props.DrawSingle = chk2Waves->isChecked() ? 1 : 0;
    props.BackgroundColor = colbBackground->Color();
    props.SingleColor = colbSingle->Color();
    props.LeftColor = colbLeft->Color();
    props.RightColor = colbRight->Color();
    props.CursorColor = colbCursor->Color();
    if (const int axis = CheckedIndex(*rgrHorDistribution); axis >= 0)
        props.FreqAxisKind = static_cast<uint8_t>(axis);
    if (const int sens = CheckedIndex(*rgrSensitivity); sens >= 0)
        props.SensKind = static_cast<uint8_t>(sens);

    const double shortest = sampleFreq > 0 ? 1.0 / sampleFreq : 0.0;
    props.TimeTop.SetTextMsg(ok, Latin1(editTop->text()), "Top Frequency");
    if (ok && props.TimeTop.GetValue() < shortest) {
        TGuiMessages::ShowInputError("Top Frequency may not be higher than the sample Frequency.");
        ok = false;
    }
    props.TimeBottom.SetTextMsg(ok, Latin1(editBottom->text()), "Bottom Frequency");
    if (ok && props.TimeTop.GetValue() == props.TimeBottom.GetValue()) {
        TGuiMessages::ShowInputError("Top Frequency and Bottom Frequency must be different.");
        ok = false;
    }
    if (ok && props.TimeBottom.GetValue() < shortest) {
        TGuiMessages::ShowInputError(
            "Bottom Frequency may not be higher than the sample Frequency.");
        ok = false;
    }
    props.Strength.SetTextMsg(ok, Latin1(editStrength->text()), "Strength");
    // The grid is one cell per column and band for each channel: both resolutions are checked
    // together before either is kept, so an oversized grid never reaches the record.
    unitIntegerPosMore xResolution = props.XResolution;
    unitIntegerPosMore yResolution = props.YResolution;
    xResolution.SetTextMsg(ok, Latin1(editHorizontal->text()), "Horizontal Resolution");
    yResolution.SetTextMsg(ok, Latin1(editVertical->text()), "Vertical Resolution");
    if (ok) {
        std::string message;
        if (CheckVolumeResolution(xResolution.GetValue(), yResolution.GetValue(), message)) {
            props.XResolution = xResolution;
            props.YResolution = yResolution;
        } else {
            TGuiMessages::ShowInputError(message);
            ok = false;
        }
    }
    props.YWidth.SetTextMsg(ok, Latin1(editWidth->text()), "Frequency Width");
    props.ColorPalette1D = palette;
    props.UseColorPalette1D = chkSingleColorPalette->isChecked() ? 1 : 0;
    if (!ok) {
        ok = true;
        return;
    }
    if (defaults && chkDefault->isChecked())
        *defaults = props;
    TOKHelpRightDlg::accept();
}

void TDlgVoldViewProps::btnXResWindowClick()
{
    editHorizontal->setText(QString::number(paneWidth));
}

void TDlgVoldViewProps::btnYResWindowClick()
{
    // Two single diagrams share the pane's height.
    const int32_t height =
        channels == 2 && chk2Waves->isChecked() ? (paneHeight + 1) / 2 : paneHeight;
    editVertical->setText(QString::number(height));
}

void TDlgVoldViewProps::btnSingleColorPaletteClick()
{
    TColorPalette1DItem edited(palette);
    if (!EditColorPalette(this, edited))
        return;
    palette = edited;
    chkSingleColorPalette->setChecked(true);
}

} // namespace kelvorn
