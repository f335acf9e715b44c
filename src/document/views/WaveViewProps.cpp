#include "document/views/WaveViewProps.h"

#include "document/views/ViewXml.h"
#include "general/Assert.h"
#include "general/numeric/NumericHelpers.h"

namespace kelvorn {

using viewxml::IsElement;
using viewxml::Missing;

TWaveViewProps::TWaveViewProps()
    : DrawKind(drawKindLines), DistKind(distKindConstant), ValuesPerPixel(15, EHNone), UseGrid(1),
      GridColor(0x808080), CursorColor(0xFF00FF), Strength(1.0, EHNone), BackgroundColor(0xFFFFFF),
      SingleColor(0x000000), DrawSingle(1), LeftColor(0x0000FF), RightColor(0x808000),
      FrontKind(frontMixed), DrawEnvelope(0), EnvelopeStrength(0.4, EHPerc)
{
}

bool TWaveViewProps::operator==(const TWaveViewProps& other) const
{
    return DrawKind == other.DrawKind && DistKind == other.DistKind &&
           GridColor == other.GridColor && CursorColor == other.CursorColor &&
           BackgroundColor == other.BackgroundColor && SingleColor == other.SingleColor &&
           LeftColor == other.LeftColor && RightColor == other.RightColor &&
           UseGrid == other.UseGrid && DrawSingle == other.DrawSingle &&
           FrontKind == other.FrontKind && Strength.GetValue() == other.Strength.GetValue() &&
           EnvelopeStrength.GetValue() == other.EnvelopeStrength.GetValue() &&
           ValuesPerPixel.GetValue() == other.ValuesPerPixel.GetValue() &&
           EnvelopeName == other.EnvelopeName && DrawEnvelope == other.DrawEnvelope;
}

void TWaveViewProps::BlendColors(int32_t color, double t)
{
    BackgroundColor = BlendColor(color, BackgroundColor, t);
    SingleColor = BlendColor(color, SingleColor, t);
    LeftColor = BlendColor(color, LeftColor, t);
    RightColor = BlendColor(color, RightColor, t);
    CursorColor = BlendColor(color, CursorColor, t);
    GridColor = BlendColor(color, GridColor, t);
}

namespace {

const char* const frontNames[] = {"FrontNone", "FrontLeft", "FrontRight"};

// Whether the caption holds more than blanks and control characters, which a file cannot hold.
bool HasName(const unitUnitWave& wave)
{
    for (char c : wave.GetCaption())
        if (static_cast<unsigned char>(c) > ' ')
            return true;
    return false;
}

} // namespace

std::unique_ptr<TXMLComplexElement> TWaveViewProps::WriteXml() const
{
    auto xml = std::make_unique<TXMLComplexElement>("ViewWave");
    KV_SOFT_ASSERT(DrawKind <= drawKindPoints);
    xml->AddComplex(DrawKind == drawKindPoints ? "DrawPixels" : "DrawLines");
    KV_SOFT_ASSERT(DistKind <= distKindRandom);
    xml->AddComplex(DistKind == distKindRandom ? "DistRandom" : "DistPeriod");
    ValuesPerPixel.AddToXML(*xml, "ValuesPerPixel");
    if (UseGrid)
        xml->AddComplex("UseGrid");
    viewxml::AddColor(*xml, "GridColor", GridColor);
    viewxml::AddColor(*xml, "CursorColor", CursorColor);
    Strength.AddToXML(*xml, "Strength");
    viewxml::AddColor(*xml, "SingleColor", SingleColor);
    viewxml::AddColor(*xml, "BackgroundColor", BackgroundColor);
    viewxml::AddColor(*xml, "LeftColor", LeftColor);
    viewxml::AddColor(*xml, "RightColor", RightColor);
    uint8_t front = FrontKind;
    if (!KV_SOFT_ASSERT(front <= frontRight))
        front = frontMixed;
    xml->AddComplex(frontNames[front]);
    xml->AddComplex(DrawSingle ? "DrawSingle" : "DrawJoined");
    if (DrawEnvelope && HasName(EnvelopeName)) {
        TXMLComplexElement* envelope = xml->AddComplex("DrawEnvelope");
        envelope->AddText("EnvelopeName", EnvelopeName.GetCaption());
        EnvelopeStrength.AddToXML(*envelope, "Strength");
    }
    return xml;
}

bool TWaveViewProps::ReadXml(const TXMLItem* xmlViewWave, std::string& message, int32_t& line,
                             int32_t& column)
{
    const TXMLItem* parent = xmlViewWave;
    if (!KV_SOFT_ASSERT(IsElement(xmlViewWave, "ViewWave")))
        return Missing(parent, nullptr, "ViewWave", message, line, column);
    const TXMLItem* xml = viewxml::FirstChild(xmlViewWave);

    // A choice of two empty elements: sets flag to 1 for name1, 0 for name0.
    auto pair = [&](uint8_t& field, const char* name0, const char* name1) {
        if (!KV_SOFT_ASSERT(IsElement(xml, name0) || IsElement(xml, name1)))
            return Missing(parent, xml, name0, message, line, column);
        field = IsElement(xml, name1) ? 1 : 0;
        xml = xml->GetNext();
        return true;
    };
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

    if (!pair(DrawKind, "DrawLines", "DrawPixels") || !pair(DistKind, "DistPeriod", "DistRandom") ||
        !value(ValuesPerPixel, "ValuesPerPixel", "ValuesPerPixel"))
        return false;
    UseGrid = IsElement(xml, "UseGrid") ? 1 : 0;
    if (UseGrid)
        xml = xml->GetNext();
    if (!color(GridColor, "GridColor") || !color(CursorColor, "CursorColor") ||
        !value(Strength, "Strength", "Strength") || !color(SingleColor, "SingleColor") ||
        !color(BackgroundColor, "BackgroundColor") || !color(LeftColor, "LeftColor") ||
        !color(RightColor, "RightColor"))
        return false;

    int front = -1;
    for (int i = 0; i <= frontRight; ++i)
        if (IsElement(xml, frontNames[i]))
            front = i;
    if (!KV_SOFT_ASSERT(front >= 0))
        return Missing(parent, xml, "FrontNone", message, line, column);
    FrontKind = static_cast<uint8_t>(front);
    xml = xml->GetNext();
    if (!pair(DrawSingle, "DrawJoined", "DrawSingle"))
        return false;

    if (!xml) {
        DrawEnvelope = 0;
        return true;
    }
    if (!KV_SOFT_ASSERT(IsElement(xml, "DrawEnvelope")))
        return Missing(parent, xml, "DrawEnvelope", message, line, column);
    const TXMLItem* xmlEnvelope = xml;
    const TXMLItem* xmlName = viewxml::FirstChild(xmlEnvelope);
    if (!KV_SOFT_ASSERT(IsElement(xmlName, "EnvelopeName") && xmlName->IsText()))
        return Missing(xmlEnvelope, xmlName, "EnvelopeName", message, line, column);
    const TXMLItem* xmlStrength = xmlName->GetNext();
    if (!KV_SOFT_ASSERT(IsElement(xmlStrength, "Strength")))
        return Missing(xmlEnvelope, xmlStrength, "Strength", message, line, column);
    DrawEnvelope = 1;
    EnvelopeName = unitUnitWave(xmlName->GetText());
    if (!viewxml::ReadValue(EnvelopeStrength, xmlStrength, "Strength of DrawEnvelope", message,
                            line, column))
        return false;
    if (!KV_SOFT_ASSERT(xmlStrength->GetNext() == NULL && xmlEnvelope->GetNext() == NULL))
        return Missing(parent, xmlEnvelope->GetNext(), "ViewWave", message, line, column);
    return true;
}

const TDTDCompound* CreateViewWaveGrammar(TDTDGrammar& grammar)
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

    // One "Strength" serves the curve and the envelope.
    const TDTDItem* strength = text("Strength");
    const TDTDItem* drawEnvelope =
        grammar.Make<TDTDCompound>("DrawEnvelope", sequence({text("EnvelopeName"), strength}));
    return grammar.Make<TDTDCompound>(
        "ViewWave", sequence({choice({kind("DrawLines"), kind("DrawPixels")}),
                              choice({kind("DistPeriod"), kind("DistRandom")}),
                              text("ValuesPerPixel"), grammar.Make<TDTDOptional>(kind("UseGrid")),
                              text("GridColor"), text("CursorColor"), strength, text("SingleColor"),
                              text("BackgroundColor"), text("LeftColor"), text("RightColor"),
                              choice({kind("FrontNone"), kind("FrontLeft"), kind("FrontRight")}),
                              choice({kind("DrawSingle"), kind("DrawJoined")}),
                              grammar.Make<TDTDOptional>(drawEnvelope)}));
}

} // namespace kelvorn
