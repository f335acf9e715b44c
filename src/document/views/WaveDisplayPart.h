#pragma once
// What a wave window's pane group keeps in the wave side file: the splitter's ratio, the zoom
// of each pane, which diagram the window shows and both view records. The side file writes and
// reads these six elements through the window; this record is their model form, so that the
// pane group and the side file share one reader, one writer and one grammar, and a document
// without a window still writes a file its reader takes.

#include "document/views/VoldViewProps.h"
#include "document/views/WaveViewProps.h"

#include "general/xml/XMLElement.h"
#include "general/xml/XMLGrammar.h"

#include <cstdint>
#include <string>

namespace kelvorn {

/// The samples [begin, end) a pane shows; not zoomed means the whole wave.
struct TPaneZoom
{
    bool zoomed = false;
    int32_t begin = 0;
    int32_t end = 0;

    bool operator==(const TPaneZoom& other) const = default;
};

class TWaveDisplayPart
{
public:
    enum : uint8_t { waveWindWave = 0, waveWindVolume = 1 };

    bool operator==(const TWaveDisplayPart& other) const;

    /// Appends "SplitPosition", two "View", "ShowWave" or "ShowVolume", "ViewWave" and
    /// "ViewVolume" to parent.
    void WriteXml(TXMLComplexElement& parent) const;

    /// Reads the six elements from first ("SplitPosition") on, after the grammar has checked
    /// them. Before each value its element's line and column go to the out-parameters. False
    /// with the message at the first value that does not parse, and for a zoom whose end does
    /// not lie after its begin. On success after receives the element that follows "ViewVolume"
    /// (or nullptr).
    bool ReadXml(const TXMLItem* first, std::string& message, int32_t& line, int32_t& column,
                 const TXMLItem** after = nullptr);

    /// The first pane's share of both panes' width, 0 to 1.
    double SplitPosition = 0.5;
    TPaneZoom View[2];
    uint8_t WaveWindKind = waveWindWave;
    TWaveViewProps WaveViewProps;
    TVoldViewProps VoldViewProps;
};

/// Builds the six elements' grammar (a sequence, not an element) into grammar and returns it;
/// formats that hold a pane group's state embed it.
const TDTDItem* CreateViewGroupGrammar(TDTDGrammar& grammar);

} // namespace kelvorn
