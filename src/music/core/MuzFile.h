#pragma once
// The music file (".kvm"): the grammars of the two versions a reader takes, and the reading of a
// token chain that a caller made itself (from memory, say). The document's own members write
// and read the element tree (TUnitMuz::CreateXml, ReadXml, OpenFile, Duplicate, SaveAs in
// MuzFile.cpp).
//
// Files are written as "7.1" only; "7.0" files, which have one part and store stave steps
// instead of pitches, are converted while they are read.

#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLToken.h"

#include <cstdint>
#include <string>

namespace kelvorn {

class TUnitMuz;

inline constexpr const char* muzFileRoot = "UnitMuz";
inline constexpr const char* muzFileVersion = "7.1";
inline constexpr const char* muzFileOldVersion = "7.0";

// Caps on sizes a file may ask for, so that no file walks, allocates or nests without bound. The
// editor's fields apply the same ones.
/// Positions are below this many whole notes.
inline constexpr int32_t muzPositionLimit = 16384;
/// The most turns of a loop and the highest turn a select item may name.
inline constexpr int32_t muzCountMax = 9999;
/// The most pixels of room above or below a stave.
inline constexpr int32_t muzRoomMax = 10000;
/// The deepest part tree (a single part alone is one level).
inline constexpr int32_t muzPartDepthMax = 4096;

/// Build the grammar of each version into grammar and return its root element ("UnitMuz").
const TDTDCompound* CreateMuzDTD70(TDTDGrammar& grammar);
const TDTDCompound* CreateMuzDTD71(TDTDGrammar& grammar);

/// The program's two music grammars, built together once and kept for the program's life.
struct TMuzGrammars
{
    TMuzGrammars();
    TDTDGrammar grammar;
    const TDTDCompound* dtd70;
    const TDTDCompound* dtd71;
};
const TMuzGrammars& MuzGrammars();

/// OpenFile after the tokenizing: tokens is the head of a chain without a lexical error, version
/// the "Version" text the tokenizer reported. Reads into doc, which must be just constructed;
/// on failure false with the reason (and, for a reader failure, " At line L, column C.").
bool ReadMuzTokens(TUnitMuz& doc, const TXMLToken& tokens, const std::string& version,
                   std::string& message);

} // namespace kelvorn
