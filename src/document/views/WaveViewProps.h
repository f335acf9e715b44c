#pragma once
// The display properties of the wave curve: how a pixel column's sub-samples are taken and
// drawn, the grid, the colours of mono and stereo curves, and optionally another open wave drawn
// behind this one as its envelope. The main window keeps a default copy, every wave window's
// pane group its own, and the merge records carry copies; the record is passed by value.
//
// The record writes itself as the element "ViewWave" of the wave side file and reads itself back
// from such an element after the side-file grammar has checked it.

#include "document/records/WaveReference.h"
#include "general/values/ValueUnits.h"
#include "general/xml/XMLElement.h"
#include "general/xml/XMLGrammar.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kelvorn {

/// Each pixel column as a stroke from its smallest to its largest sub-sample, or each
/// sub-sample as one pixel.
enum : uint8_t { drawKindLines = 0, drawKindPoints = 1 };
/// Sub-samples of a column at constant spacing or at random places.
enum : uint8_t { distKindConstant = 0, distKindRandom = 1 };
/// Two channels drawn over each other: mixed, left at front, right at front.
enum : uint8_t { frontMixed = 0, frontLeft = 1, frontRight = 2 };

class TWaveViewProps
{
public:
    /// The defaults of a new window.
    TWaveViewProps();
    TWaveViewProps(const TWaveViewProps&) = default;
    TWaveViewProps& operator=(const TWaveViewProps&) = default;

    /// Every field by value (display units are not compared; envelope names by caption).
    bool operator==(const TWaveViewProps& other) const;
    bool operator!=(const TWaveViewProps& other) const { return !(*this == other); }

    /// The six colours become BlendColor(color, own colour, t). The pane draws an envelope wave
    /// from a copy of its window's record blended toward its own background.
    void BlendColors(int32_t color, double t);

    /// A new "ViewWave" element holding this record; the caller owns it. An envelope without a
    /// wave named draws nothing and a file cannot hold an empty name, so it is written as no
    /// envelope.
    std::unique_ptr<TXMLComplexElement> WriteXml() const;

    /// Fills this record from a "ViewWave" element that passed the grammar. Before each value is
    /// parsed its element's line and column go to the out-parameters. On failure false with the
    /// value's message; the fields read before keep their new values, the rest their old ones.
    /// Without "DrawEnvelope" the envelope is switched off but its name and strength stay.
    bool ReadXml(const TXMLItem* xmlViewWave, std::string& message, int32_t& line, int32_t& column);

    uint8_t DrawKind;
    uint8_t DistKind;
    unitIntegerPosMore ValuesPerPixel;
    uint8_t UseGrid;
    int32_t GridColor;
    int32_t CursorColor;
    unitFactorPosMore Strength;
    int32_t BackgroundColor;
    int32_t SingleColor;
    uint8_t DrawSingle;
    int32_t LeftColor;
    int32_t RightColor;
    uint8_t FrontKind;
    uint8_t DrawEnvelope;
    unitFactorPosMax1 EnvelopeStrength;
    unitUnitWave EnvelopeName;
};

/// Builds the grammar of the "ViewWave" element into grammar, which owns the objects, and
/// returns the element.
const TDTDCompound* CreateViewWaveGrammar(TDTDGrammar& grammar);

} // namespace kelvorn
