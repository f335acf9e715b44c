#pragma once
// The view-record tests parse element texts against the records' own grammars and render trees
// back to text with the file writer's element layout.

#include "general/xml/XMLElement.h"
#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLToken.h"
#include "general/xml/XMLWriter.h"
#include "document/views/VoldViewProps.h"
#include "document/views/WaveViewProps.h"

#include <memory>
#include <string>

namespace kelvorn::viewtest {

/// The declaration, DOCTYPE and empty line of a file: a body's first line is line 4.
inline const std::string fileHead = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                    "<!DOCTYPE Doc SYSTEM \"Doc.dtd\">\n"
                                    "\n";

/// The two view elements' grammars, built once.
struct ViewGrammars
{
    ViewGrammars()
        : viewWave(CreateViewWaveGrammar(grammar)), viewVolume(CreateViewVolumeGrammar(grammar))
    {
    }
    TDTDGrammar grammar;
    const TDTDCompound* viewWave;
    const TDTDCompound* viewVolume;
};

inline const ViewGrammars& Grammars()
{
    static const ViewGrammars grammars;
    return grammars;
}

/// The tree of one element parsed from body (what follows the file head) under "Root", or the
/// parser's message.
struct Parsed
{
    std::unique_ptr<TXMLComplexElement> root = std::make_unique<TXMLComplexElement>("Root");
    bool ok = false;
    std::string error;
    const TXMLItem* Element() const { return root->GetFirstChild(); }
};

inline Parsed Parse(const TDTDItem& grammar, const std::string& body)
{
    Parsed parsed;
    std::string version;
    auto tokens = TXMLToken::FromMemory(fileHead + body, version);
    if (tokens->GetTokenKind() == xmlTokenError) {
        parsed.error = tokens->GetError();
        return parsed;
    }
    const TXMLToken* cursor = tokens.get();
    bool fatal = false;
    parsed.ok = grammar.Parse(*parsed.root, cursor, parsed.error, fatal);
    return parsed;
}

/// element as the file writer lays it out at the top level.
inline std::string Text(const TXMLItem& element)
{
    std::string out;
    std::string error;
    if (!WriteXMLElement(element, 0, out, error))
        return "refused: " + error;
    return out;
}

} // namespace kelvorn::viewtest
