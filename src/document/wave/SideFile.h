#pragma once
// The wave side file (".kvw"): everything a wave document and its window need to come back as
// they were that the .wav cannot hold: the positions or the user drawing, the window's display
// part, and for a wave without values its channels, sample frequency and bytes per sample.
//
// The document's own members write and read it (TUnitWave::SaveShadowFile, LoadShadowFile,
// WriteXml, ReadXml, defined in SideFile.cpp); this header adds the name rule, the grammar and
// a reader of a token chain that a caller made itself (from memory, say).
//
// The reader checks the whole file before it changes anything: a file refused with a message
// leaves the document, its window and the caller's sound as they were.

#include "general/xml/XMLGrammar.h"
#include "general/xml/XMLToken.h"
#include "sound/Sound.h"

#include <string>

namespace kelvorn {

class TUnitWave;

/// The root element's name and the version a side file is written as and must have.
inline constexpr const char* sideFileRoot = "UnitWave";
inline constexpr const char* sideFileVersion = "8.0";

/// The side file beside a wave file: a final ".wav" (of any case) replaced by ".kvw", any other
/// name with ".kvw" appended ("a.WAV" gives "a.kvw", "take.wave" gives "take.wave.kvw"). A path
/// that is a symbolic link stands for the file the link names: the side file goes beside that.
std::string SideFileName(const std::string& wavePath);

/// Builds the side file's grammar into grammar and returns its root element ("UnitWave").
const TDTDCompound* CreateUnitWaveGrammar(TDTDGrammar& grammar);
/// The program's side-file grammar, built once on first use and kept for the program's life.
const TDTDCompound& UnitWaveGrammar();

/// LoadShadowFile after the tokenizing: tokens is the head of a chain without a lexical error,
/// version the "Version" text the tokenizer reported. 1 read, 2 failed (the reason in message,
/// ending with the line and column of the value at fault).
int ReadSideFileTokens(TUnitWave& wave, const TXMLToken& tokens, const std::string& version,
                       std::string& message, bool displayFlag, SoundPtr& sound);

} // namespace kelvorn
