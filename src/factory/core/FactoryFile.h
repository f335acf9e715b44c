#pragma once
// The factory file (".kvf"): its grammar, the text form of its numbers, and the reading of a
// token chain that a caller made itself (from memory, say). The document's own members write
// and read the tree (TUnitSountory::ToXmlTree, FromXml, LoadFromFile, DuplicateFrom, Save,
// SaveAs and Revert, in FactoryFile.cpp).
//
// A file is read in two passes: the first makes the pins and nodes in file order (each node goes
// in front of the ones before it, so a load reverses the node order), the second joins the
// connections by name, the first match winning as it does everywhere in the factory.

#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLToken.h"

#include <cstdint>
#include <string>

namespace kelvorn {

class TUnitSountory;

inline constexpr const char* factoryFileRoot = "UnitFact";
inline constexpr const char* factoryFileVersion = "9.0";
/// The document type line names the root with this behind it.
inline constexpr const char* factoryDoctypeSuffix = "_v9_0";
/// Coordinates of the factory area and of the nodes stay within this size either way, so that
/// any sum of two of them still fits in 32 bits.
inline constexpr int32_t factoryCoordinateLimit = 1000000000;
/// The widest and highest area the editor makes: half the limit, so that its far side stays
/// within the limit wherever a reader or a scroll position puts its near side.
inline constexpr int32_t factoryAreaLimit = factoryCoordinateLimit / 2;

/// The grammar every factory file must match, built on first use and kept for the program's
/// life; its root element is "UnitFact".
const TDTDCompound* FactoryGrammar();

/// A place or a constant as the file holds it: 15 significant digits without trailing zeros,
/// fixed-point unless it is below 0.00001, then as digits, "E-" and the power of ten ("1.5E-6").
std::string FormatFactoryNumber(double x);

/// LoadFromFile after the tokenizing: tokens is the head of a chain without a lexical error,
/// version the "Version" text the tokenizer reported. Reads into doc, which must be new; on
/// failure false with the reason (and, for a reader failure, " At line L, column C.").
bool ReadFactoryTokens(TUnitSountory& doc, const TXMLToken& tokens, const std::string& version,
                       std::string& message);

/// The bytes SaveAs would write, appended to out; false with the reason a save would give.
bool FormatFactoryFile(const TUnitSountory& doc, std::string& out, std::string& error);

} // namespace kelvorn
