#pragma once
// The display properties of the volume diagram: the grid the background writer computes (its
// columns over the wave and its frequency bands) and how the computed cells are coloured. The
// main window keeps a default copy, every wave window's pane group its own, and the merge
// records carry copies. The record is passed and stored by value; it owns its colour palette.
//
// The record writes itself as the element "ViewVolume" of the wave side file and reads itself
// back from such an element after the side-file grammar has checked it.

#include "general/palette/ColorPalette1D.h"
#include "general/values/ValueUnits.h"
#include "general/xml/XMLElement.h"
#include "general/xml/XMLGrammar.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kelvorn {

/// The most cells (columns times bands) one volume grid may hold. A grid is allocated per
/// channel while the diagram is shown, so the limit keeps it to tens of megabytes.
inline constexpr int64_t maxVolumeCells = int64_t(1) << 24;

/// Whether a grid of xResolution columns by yResolution bands may be computed: both at least 1
/// and their product (in 64 bits) at most maxVolumeCells. Otherwise false and message holds
/// "In Resolution: Horizontal times Vertical must not be more than 16777216 cells." The volume
/// view dialog and the side-file reader refuse such a grid with it.
bool CheckVolumeResolution(int64_t xResolution, int64_t yResolution, std::string& message);

/// How the band frequencies are spread between bottom and top.
enum : uint8_t { freqAxisLinFreq = 0, freqAxisLog = 1, freqAxisLinTime = 2 };
/// The sensitivity curve applied to a cell's volume: square, linear, square root, fourth root.
enum : uint8_t { sensLow = 0, sensNormal = 1, sensHigh = 2, sensVeryHigh = 3 };

class TVoldViewProps
{
public:
    /// The defaults of a new window.
    TVoldViewProps();
    // Copying deep-copies the palette (TColorPalette1DItem copies its chain).
    TVoldViewProps(const TVoldViewProps&) = default;
    TVoldViewProps& operator=(const TVoldViewProps&) = default;

    /// Every field by value (the display units of the values are not compared), the palettes
    /// stop for stop.
    bool operator==(const TVoldViewProps& other) const;
    bool operator!=(const TVoldViewProps& other) const { return !(*this == other); }

    /// Whether going from other to this record makes the computed grid invalid: the axis kind,
    /// the two frequency limits, either resolution or the band width differ. Sensitivity,
    /// strength, colours, palette and DrawSingle only change how the grid is drawn.
    bool NeedsRecalculation(const TVoldViewProps& other) const;

    /// The five colours and every palette colour become BlendColor(color, own colour, t).
    void BlendColors(int32_t color, double t);

    /// A new "ViewVolume" element holding this record; the caller owns it.
    std::unique_ptr<TXMLComplexElement> WriteXml() const;

    /// Fills this record from a "ViewVolume" element that passed the grammar. Before each value
    /// is parsed its element's line and column go to the out-parameters. On failure false with
    /// the value's message; the fields read before keep their new values, the rest their old
    /// ones, and the palette stays whole. A grid of more than maxVolumeCells cells is refused at
    /// "YResolution".
    bool ReadXml(const TXMLItem* xmlViewVolume, std::string& message, int32_t& line,
                 int32_t& column);

    unitIntegerPosMore XResolution;
    unitIntegerPosMore YResolution;
    unitTimePosMore TimeTop;
    unitTimePosMore TimeBottom;
    unitFactorPosMore YWidth;
    uint8_t FreqAxisKind;
    uint8_t DrawSingle;
    uint8_t SensKind;
    unitFactorPosMore Strength;
    int32_t BackgroundColor;
    int32_t SingleColor;
    int32_t LeftColor;
    int32_t RightColor;
    int32_t CursorColor;
    uint8_t UseColorPalette1D;
    TColorPalette1DItem ColorPalette1D;
};

/// Builds the grammar of the "ViewVolume" element into grammar, which owns the objects, and
/// returns the element; the palette inside is the palette element's own grammar.
const TDTDCompound* CreateViewVolumeGrammar(TDTDGrammar& grammar);

} // namespace kelvorn
