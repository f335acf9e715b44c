#include "document/views/WaveDisplayPart.h"

#include "document/views/ViewXml.h"
#include "general/Assert.h"

namespace kelvorn {

using viewxml::IsElement;
using viewxml::Missing;

bool TWaveDisplayPart::operator==(const TWaveDisplayPart& other) const
{
    return SplitPosition == other.SplitPosition && View[0] == other.View[0] &&
           View[1] == other.View[1] && WaveWindKind == other.WaveWindKind &&
           WaveViewProps == other.WaveViewProps && VoldViewProps == other.VoldViewProps;
}

void TWaveDisplayPart::WriteXml(TXMLComplexElement& parent) const
{
    unitFactorPosMax1(SplitPosition, EHNone).AddToXML(parent, "SplitPosition");
    for (const TPaneZoom& zoom : View) {
        TXMLComplexElement* view = parent.AddComplex("View");
        if (zoom.zoomed) {
            TXMLComplexElement* xmlZoom = view->AddComplex("Zoom");
            unitInteger(zoom.begin, EHNone).AddToXML(*xmlZoom, "WavePos");
            unitInteger(zoom.end, EHNone).AddToXML(*xmlZoom, "WavePos");
        }
    }
    KV_SOFT_ASSERT(WaveWindKind <= waveWindVolume);
    parent.AddComplex(WaveWindKind == waveWindVolume ? "ShowVolume" : "ShowWave");
    parent.AppendChild(WaveViewProps.WriteXml());
    parent.AppendChild(VoldViewProps.WriteXml());
}

namespace {

bool ReadView(TPaneZoom& zoom, const TXMLItem* xmlView, std::string& message, int32_t& line,
              int32_t& column)
{
    const TXMLItem* xmlZoom = viewxml::FirstChild(xmlView);
    if (!xmlZoom) {
        zoom = TPaneZoom();
        return true;
    }
    if (!KV_SOFT_ASSERT(IsElement(xmlZoom, "Zoom")))
        return Missing(xmlView, xmlZoom, "Zoom", message, line, column);
    const TXMLItem* xmlBegin = viewxml::FirstChild(xmlZoom);
    const TXMLItem* xmlEnd = xmlBegin ? xmlBegin->GetNext() : nullptr;
    if (!KV_SOFT_ASSERT(IsElement(xmlBegin, "WavePos") && IsElement(xmlEnd, "WavePos")))
        return Missing(xmlZoom, xmlEnd ? xmlEnd : xmlBegin, "WavePos", message, line, column);
    unitIntegerPos begin;
    unitIntegerPos end;
    if (!viewxml::ReadValue(begin, xmlBegin, "Zoom WavePos 1", message, line, column) ||
        !viewxml::ReadValue(end, xmlEnd, "Zoom WavePos 2", message, line, column))
        return false;
    // A pane maps its samples over its width: a zoom of no samples would divide by zero.
    if (end.GetValue() <= begin.GetValue()) {
        message = "In Zoom WavePos 2: Value must be more than Zoom WavePos 1.";
        return false;
    }
    zoom.zoomed = true;
    zoom.begin = begin.GetValue();
    zoom.end = end.GetValue();
    return true;
}

} // namespace

bool TWaveDisplayPart::ReadXml(const TXMLItem* first, std::string& message, int32_t& line,
                               int32_t& column, const TXMLItem** after)
{
    const TXMLItem* xml = first;
    if (!KV_SOFT_ASSERT(IsElement(xml, "SplitPosition")))
        return Missing(xml, xml, "SplitPosition", message, line, column);
    unitFactorPosMax1 split(SplitPosition, EHNone);
    if (!viewxml::ReadValue(split, xml, "SplitPosition", message, line, column))
        return false;
    SplitPosition = split.GetValue();
    for (TPaneZoom& zoom : View) {
        xml = xml->GetNext();
        if (!KV_SOFT_ASSERT(IsElement(xml, "View")))
            return Missing(first, xml, "View", message, line, column);
        if (!ReadView(zoom, xml, message, line, column))
            return false;
    }
    xml = xml->GetNext();
    if (!KV_SOFT_ASSERT(IsElement(xml, "ShowWave") || IsElement(xml, "ShowVolume")))
        return Missing(first, xml, "ShowWave", message, line, column);
    WaveWindKind = IsElement(xml, "ShowVolume") ? waveWindVolume : waveWindWave;
    xml = xml->GetNext();
    if (!KV_SOFT_ASSERT(IsElement(xml, "ViewWave")))
        return Missing(first, xml, "ViewWave", message, line, column);
    if (!WaveViewProps.ReadXml(xml, message, line, column))
        return false;
    xml = xml->GetNext();
    if (!KV_SOFT_ASSERT(IsElement(xml, "ViewVolume")))
        return Missing(first, xml, "ViewVolume", message, line, column);
    if (!VoldViewProps.ReadXml(xml, message, line, column))
        return false;
    if (after)
        *after = xml->GetNext();
    return true;
}

const TDTDItem* CreateViewGroupGrammar(TDTDGrammar& grammar)
{
    auto* empty = grammar.Make<TDTDEmpty>();
    const TDTDItem* wavePos = grammar.Make<TDTDContentText>("WavePos");
    const TDTDItem* zoom =
        grammar.Make<TDTDCompound>("Zoom", grammar.Make<TDTDConcat>(wavePos, wavePos));
    const TDTDItem* view = grammar.Make<TDTDCompound>("View", grammar.Make<TDTDOptional>(zoom));
    return viewxml::Sequence(
        grammar, {grammar.Make<TDTDContentText>("SplitPosition"), view, view,
                  viewxml::Choice(grammar, {grammar.Make<TDTDCompound>("ShowWave", empty),
                                            grammar.Make<TDTDCompound>("ShowVolume", empty)}),
                  CreateViewWaveGrammar(grammar), CreateViewVolumeGrammar(grammar)});
}

} // namespace kelvorn
