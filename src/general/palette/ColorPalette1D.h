#pragma once
// One-dimensional colour palettes: a chain of stops in position order, from a stop at 0 (the
// head, which stands for the whole palette) to a stop at 1, blending linearly between
// neighbours, with an optional jump of colour at any inner stop. The volume diagram colours its
// cells with one; a palette is saved on its own as a ".cp1" file and, as the element
// "ColorPalette1D", inside the wave side file.
//
// Each stop owns the stops after it. Every walk over a chain (copying, comparing, destruction,
// colour look-up) is a loop, so a chain read from a file of any length never exhausts the stack.

#include "general/values/ValueUnits.h"
#include "general/xml/XMLElement.h"
#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLToken.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kelvorn {

class TColorPalette1DItem
{
public:
    /// A whole palette: a head at 0 with ColorBefore = beginColor, followed by an end stop at 1
    /// with ColorBefore = endColor; no colour-after on either. Positions show in per cent.
    TColorPalette1DItem(int32_t beginColor, int32_t endColor);
    /// One stop without colour-after and without following stops; the position shows in per
    /// cent. Used for the end stop and for new inner stops.
    TColorPalette1DItem(int32_t color, double position);
    /// One stop without following stops, as the reader makes it.
    TColorPalette1DItem(int32_t color, const unitFactorPosMoreLess1& position, bool useColorAfter,
                        int32_t colorAfter);
    /// Copies position, colours and flag, and deep-copies the following stops.
    TColorPalette1DItem(const TColorPalette1DItem& other);
    /// Copies ColorBefore, ColorAfter and UseColorAfter and replaces the following stops by deep
    /// copies of other's; the position stays (a head stays a head).
    TColorPalette1DItem& operator=(const TColorPalette1DItem& other);
    virtual ~TColorPalette1DItem();

    /// Frees item and the stops after it; nothing for nullptr.
    static void DeleteChain(std::unique_ptr<TColorPalette1DItem> item);

    /// The same colours, flag and position value on every stop of the two chains from here on,
    /// and chains of the same length.
    bool operator==(const TColorPalette1DItem& other) const;
    bool operator!=(const TColorPalette1DItem& other) const { return !(*this == other); }

    int32_t GetColorBefore() const { return ColorBefore; }
    int32_t GetColorAfter() const { return ColorAfter; }
    bool GetUseColorAfter() const { return UseColorAfter != 0; }
    /// The colour leaving the stop to the right: ColorAfter when UseColorAfter is set.
    int32_t GetLeavingColor() const { return UseColorAfter ? ColorAfter : ColorBefore; }
    void SetColorBefore(int32_t color) { ColorBefore = color; }
    /// Sets the colour even when UseColorAfter is off, after a soft assertion.
    void SetColorAfter(int32_t color);
    void SetUseColorAfter(bool use) { UseColorAfter = use ? 1 : 0; }

    /// The position object itself: the palette dialog sets typed texts into it and then calls
    /// MoveToPlace on the head.
    unitFactorPosMoreLess1& GetPosition() { return Position; }
    const unitFactorPosMoreLess1& GetPosition() const { return Position; }
    double GetDPosition() const { return Position.GetValue(); }

    TColorPalette1DItem* GetNext() { return next.get(); }
    const TColorPalette1DItem* GetNext() const { return next.get(); }
    /// The last stop of the chain from here.
    TColorPalette1DItem* GetLast();
    const TColorPalette1DItem* GetLast() const;
    /// The stop before item in the chain starting here; nullptr when item is this stop or is
    /// not in the chain.
    TColorPalette1DItem* GetPrevious(const TColorPalette1DItem* item);
    /// Whether a stop of the chain other than excluded (which may be nullptr) lies exactly at
    /// position.
    bool FindPosition(double position, const TColorPalette1DItem* excluded) const;

    /// The colour at position; called on the head. A position below the stop's own is raised
    /// to it (so the head gives its colour for negative positions and for not-a-number); a
    /// position above 1 gives the end stop's colour after a soft assertion. Two stops at the
    /// same position give the right one's ColorBefore there, never a blend by zero.
    virtual int32_t GetColor(double position) const;

    /// Called on the head: a new stop at position with ColorBefore = color, linked in position
    /// order, and returned. The caller checks for an equal position first (an equal one goes
    /// after the existing stop). A position not strictly between 0 and 1 would break the chain:
    /// it is refused with a soft assertion and nullptr is returned.
    TColorPalette1DItem* Insert(double position, int32_t color);

    /// Called on the head after item's position changed: item is taken out from behind
    /// previous and linked in again where its position belongs, before or after its former
    /// place. The head and the end stop are never moved (soft assertion).
    void MoveToPlace(TColorPalette1DItem* item, TColorPalette1DItem* previous);

    /// Called on the head: unlinks and frees the inner stop current and returns the stop before
    /// it. The head, the end stop or a stop not in the chain is left in place (soft assertion)
    /// and current itself is returned.
    TColorPalette1DItem* DeleteInner(TColorPalette1DItem* current);

    /// Every stop's ColorBefore and ColorAfter become BlendColor(color, own colour, t): t = 1
    /// keeps the palette, t = 0 paints it in color.
    void BlendColors(int32_t color, double t);

    /// Called on the head: appends the stops to parent (the "ColorPalette1D" element): a
    /// "BeginColor" for a stop at exactly 0, a "ColorPalette1DItem" (Position, ColorBefore, an
    /// empty UseColorAfter when set, ColorAfter) for each inner stop, an "EndColor" for a stop
    /// at exactly 1.
    void AddToXML(TXMLComplexElement& parent) const;

    /// Whether the chain from here is a whole palette: this stop at 0, at least one more stop,
    /// positions strictly increasing, the last one at 1.
    bool IsConsistent() const;

private:
    friend bool ReadColorPalette1D(TColorPalette1DItem& head, const TXMLItem* xmlPalette,
                                   std::string& message, int32_t& line, int32_t& column);

    // The names are those of the soft assertions' texts.
    int32_t ColorBefore;
    uint8_t UseColorAfter;
    int32_t ColorAfter;
    unitFactorPosMoreLess1 Position;
    std::unique_ptr<TColorPalette1DItem> next;
};

/// Replaces the chain behind head by the one in xmlPalette (a "ColorPalette1D" element); head
/// takes the colour of its "BeginColor" and no colour-after. Inner stops must have strictly
/// increasing positions and the element must end with "EndColor". On failure false with the message
/// and the line and column of the element at fault; head and its chain are then left exactly as
/// they were.
bool ReadColorPalette1D(TColorPalette1DItem& head, const TXMLItem* xmlPalette, std::string& message,
                        int32_t& line, int32_t& column);

/// Builds the grammar of the "ColorPalette1D" element into grammar, which owns the objects, and
/// returns the element. Formats that embed a palette build it into their own grammar.
const TDTDCompound* CreateColorPalette1DGrammar(TDTDGrammar& grammar);
/// Builds the grammar of a ".cp1" file ("UnitColorPalette1D": "Version", then the palette
/// element given) into grammar and returns its root element.
const TDTDCompound* CreatePaletteFileGrammar(TDTDGrammar& grammar, const TDTDItem* colorPalette1D);

/// The program's grammars, built once on first use and kept for the program's life; the file
/// grammar reuses the element grammar.
const TDTDCompound& ColorPalette1DGrammar();
const TDTDCompound& PaletteFileGrammar();

/// The root element's name, version and default extension of the palette file.
inline constexpr const char* paletteFileRoot = "UnitColorPalette1D";
inline constexpr const char* paletteFileVersion = "1.0";
inline constexpr const char* paletteFileExtension = "cp1";

/// The tree that WritePaletteFile writes: "UnitColorPalette1D" with "Version" and the palette.
std::unique_ptr<TXMLComplexElement> PaletteFileTree(const TColorPalette1DItem& head);

/// Writes head's palette as a ".cp1" file, safely: a failed save leaves the old file as it was.
/// On failure shows "Cannot save Color Palette File: <reason>." under "FileError" and returns
/// false.
bool WritePaletteFile(const TColorPalette1DItem& head, const std::string& fileName);

/// Reads a ".cp1" file into head. On failure false with the message; head is left as it was.
bool ReadPaletteFile(TColorPalette1DItem& head, const std::string& fileName, std::string& message);

/// ReadPaletteFile after the tokenizing: tokens is the head of a file's chain that the reader
/// made without an error, version the version it reported.
bool ReadPaletteTokens(TColorPalette1DItem& head, const TXMLToken& tokens,
                       const std::string& version, std::string& message);

} // namespace kelvorn
