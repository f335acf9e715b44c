#include "document/views/VoldViewProps.h"

#include "document/views/ViewXml.h"
#include "general/Assert.h"
#include "general/numeric/NumericHelpers.h"

namespace kelvorn {

using viewxml::IsElement;
using viewxml::Missing;

bool CheckVolumeResolution(int64_t xResolution, int64_t yResolution, std::string& message)
{
    // Each factor is checked first, so the product of two in-range factors cannot overflow.
    if (xResolution >= 1 && yResolution >= 1 && xResolution <= maxVolumeCells &&
        yResolution <= maxVolumeCells && xResolution * yResolution <= maxVolumeCells)
        return true;
    message = "In Resolution: Horizontal times Vertical must not be more than " +
              std::to_string(maxVolumeCells) + " cells.";
    return false;
}

TVoldViewProps::TVoldViewProps()
    : XResolution(500, EHNone), YResolution(50, EHNone), TimeTop(5e-05, EHKHZ),
      TimeBottom(0.05, EHHZ), YWidth(1.0, EHNone), FreqAxisKind(freqAxisLog), DrawSingle(1),
      SensKind(sensNormal), Strength(1.3, EHNone), BackgroundColor(0x000000), SingleColor(0xFFFFFF),
      LeftColor(0x0000FF), RightColor(0x808000), CursorColor(0xFF00FF), UseColorPalette1D(0),
      ColorPalette1D(0x000000, 0xFFFFFF)
{
}

bool TVoldViewProps::operator==(const TVoldViewProps& other) const
{
    return SensKind == other.SensKind && FreqAxisKind == other.FreqAxisKind &&
           DrawSingle == other.DrawSingle && BackgroundColor == other.BackgroundColor &&
           SingleColor == other.SingleColor && LeftColor == other.LeftColor &&
           RightColor == other.RightColor && CursorColor == other.CursorColor &&
           Strength.GetValue() == other.Strength.GetValue() &&
           TimeTop.GetValue() == other.TimeTop.GetValue() &&
           TimeBottom.GetValue() == other.TimeBottom.GetValue() &&
           XResolution.GetValue() == other.XResolution.GetValue() &&
           YResolution.GetValue() == other.YResolution.GetValue() &&
           YWidth.GetValue() == other.YWidth.GetValue() && ColorPalette1D == other.ColorPalette1D &&
           UseColorPalette1D == other.UseColorPalette1D;
}

bool TVoldViewProps::NeedsRecalculation(const TVoldViewProps& other) const
{
    return FreqAxisKind != other.FreqAxisKind || TimeTop.GetValue() != other.TimeTop.GetValue() ||
           TimeBottom.GetValue() != other.TimeBottom.GetValue() ||
           XResolution.GetValue() != other.XResolution.GetValue() ||
           YResolution.GetValue() != other.YResolution.GetValue() ||
           YWidth.GetValue() != other.YWidth.GetValue();
}

void TVoldViewProps::BlendColors(int32_t color, double t)
{
    BackgroundColor = BlendColor(color, BackgroundColor, t);
    SingleColor = BlendColor(color, SingleColor, t);
    LeftColor = BlendColor(color, LeftColor, t);
    RightColor = BlendColor(color, RightColor, t);
    CursorColor = BlendColor(color, CursorColor, t);
    ColorPalette1D.BlendColors(color, t);
}

namespace {

const char* const axisNames[] = {"YLinFreq", "YLog", "YLinTime"};
const char* const sensNames[] = {"SensLow", "SensNormal", "SensHigh", "SensVeryHigh"};

// The index of xml's name in names, or -1.
template <size_t N> int KindOf(const TXMLItem* xml, const char* const (&names)[N])
{
    for (size_t i = 0; i < N; ++i)
        if (IsElement(xml, names[i]))
            return static_cast<int>(i);
    return -1;
}

// A kind out of its range is a program error; the default is written in its place.
template <size_t N>
void AddKind(TXMLComplexElement& parent, uint8_t kind, const char* const (&names)[N],
             uint8_t fallback)
{
    if (!KV_SOFT_ASSERT(kind < N))
        kind = fallback;
    parent.AddComplex(names[kind]);
}

} // namespace

std::unique_ptr<TXMLComplexElement> TVoldViewProps::WriteXml() const
{
    auto xml = std::make_unique<TXMLComplexElement>("ViewVolume");
    TimeTop.AddToXML(*xml, "TimeTop");
    TimeBottom.AddToXML(*xml, "TimeBottom");
    XResolution.AddToXML(*xml, "XResolution");
    YResolution.AddToXML(*xml, "YResolution");
    YWidth.AddToXML(*xml, "YWidth");
    AddKind(*xml, FreqAxisKind, axisNames, freqAxisLog);
    AddKind(*xml, SensKind, sensNames, sensNormal);
    Strength.AddToXML(*xml, "Strength");
    viewxml::AddColor(*xml, "SingleColor", SingleColor);
    viewxml::AddColor(*xml, "BackgroundColor", BackgroundColor);
    viewxml::AddColor(*xml, "LeftColor", LeftColor);
    viewxml::AddColor(*xml, "RightColor", RightColor);
    viewxml::AddColor(*xml, "CursorColor", CursorColor);
    if (UseColorPalette1D)
        xml->AddComplex("UseColorPalette1D");
    ColorPalette1D.AddToXML(*xml->AddComplex("ColorPalette1D"));
    xml->AddComplex(DrawSingle ? "DrawSingle" : "DrawJoined");
    return xml;
}

bool TVoldViewProps::ReadXml(const TXMLItem* xmlViewVolume, std::string& message, int32_t& line,
                             int32_t& column)
{
    const TXMLItem* parent = xmlViewVolume;
    if (!KV_SOFT_ASSERT(IsElement(xmlViewVolume, "ViewVolume")))
        return Missing(parent, nullptr, "ViewVolume", message, line, column);
    const TXMLItem* xml = viewxml::FirstChild(xmlViewVolume);

    // One value element: its name must be expected, its text parses under label.
    auto value = [&](unit& field, const char* expected, const char* label) {
        if (!KV_SOFT_ASSERT(IsElement(xml, expected)))
            return Missing(parent, xml, expected, message, line, column);
        if (!viewxml::ReadValue(field, xml, label, message, line, column))
            return false;
        xml = xml->GetNext();
        return true;
    };
    auto color = [&](int32_t& field, const char* expected) {
        if (!KV_SOFT_ASSERT(IsElement(xml, expected)))
            return Missing(parent, xml, expected, message, line, column);
        if (!viewxml::ReadColor(field, xml, message, line, column))
            return false;
        xml = xml->GetNext();
        return true;
    };

    // Kept: the label is spelt "Timebottom", as the program always reported it.
    if (!value(TimeTop, "TimeTop", "TimeTop") || !value(TimeBottom, "TimeBottom", "Timebottom") ||
        !value(XResolution, "XResolution", "XResolution"))
        return false;
    unitIntegerPosMore yResolution(YResolution);
    const TXMLItem* xmlYResolution = xml;
    if (!value(yResolution, "YResolution", "YResolution"))
        return false;
    if (!CheckVolumeResolution(XResolution.GetValue(), yResolution.GetValue(), message)) {
        line = xmlYResolution->GetLine();
        column = xmlYResolution->GetColumn();
        return false;
    }
    YResolution = yResolution;
    if (!value(YWidth, "YWidth", "YWidth"))
        return false;

    int axis = KindOf(xml, axisNames);
    if (!KV_SOFT_ASSERT(axis >= 0))
        return Missing(parent, xml, "YLog", message, line, column);
    FreqAxisKind = static_cast<uint8_t>(axis);
    xml = xml->GetNext();
    int sens = KindOf(xml, sensNames);
    if (!KV_SOFT_ASSERT(sens >= 0))
        return Missing(parent, xml, "SensNormal", message, line, column);
    SensKind = static_cast<uint8_t>(sens);
    xml = xml->GetNext();

    if (!value(Strength, "Strength", "Strength") || !color(SingleColor, "SingleColor") ||
        !color(BackgroundColor, "BackgroundColor") || !color(LeftColor, "LeftColor") ||
        !color(RightColor, "RightColor") || !color(CursorColor, "CursorColor"))
        return false;

    UseColorPalette1D = IsElement(xml, "UseColorPalette1D") ? 1 : 0;
    if (UseColorPalette1D)
        xml = xml->GetNext();
    if (!KV_SOFT_ASSERT(IsElement(xml, "ColorPalette1D")))
        return Missing(parent, xml, "ColorPalette1D", message, line, column);
    if (!ReadColorPalette1D(ColorPalette1D, xml, message, line, column))
        return false;
    xml = xml->GetNext();

    if (!KV_SOFT_ASSERT(IsElement(xml, "DrawSingle") || IsElement(xml, "DrawJoined")))
        return Missing(parent, xml, "DrawSingle", message, line, column);
    DrawSingle = IsElement(xml, "DrawSingle") ? 1 : 0;
    if (!KV_SOFT_ASSERT(xml->GetNext() == NULL))
        return Missing(parent, xml->GetNext(), "ViewVolume", message, line, column);
    return true;
}

const TDTDCompound* CreateViewVolumeGrammar(TDTDGrammar& grammar)
{
    auto* empty = grammar.Make<TDTDEmpty>();
    auto text = [&grammar](const char* name) { return grammar.Make<TDTDContentText>(name); };
    auto kind = [&grammar, empty](const char* name) {
        return grammar.Make<TDTDCompound>(name, empty);
    };
    auto sequence = [&grammar](std::initializer_list<const TDTDItem*> items) {
        return viewxml::Sequence(grammar, items);
    };
    auto choice = [&grammar](std::initializer_list<const TDTDItem*> items) {
        return viewxml::Choice(grammar, items);
    };

    return grammar.Make<TDTDCompound>(
        "ViewVolume",
        sequence(
            {text("TimeTop"), text("TimeBottom"), text("XResolution"), text("YResolution"),
             text("YWidth"), choice({kind("YLinFreq"), kind("YLog"), kind("YLinTime")}),
             choice({kind("SensLow"), kind("SensNormal"), kind("SensHigh"), kind("SensVeryHigh")}),
             text("Strength"), text("SingleColor"), text("BackgroundColor"), text("LeftColor"),
             text("RightColor"), text("CursorColor"),
             grammar.Make<TDTDOptional>(kind("UseColorPalette1D")),
             CreateColorPalette1DGrammar(grammar),
             choice({kind("DrawSingle"), kind("DrawJoined")})}));
}

} // namespace kelvorn
