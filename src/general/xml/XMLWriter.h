#pragma once
// The writer of the program's XML dialect: a fixed declaration line, a DOCTYPE line naming the
// root element, an empty line, then the tree with two blanks of indentation per depth, childless
// complex elements as empty-element tags, text elements on one line, no attributes and no
// escapes. The whole text is put together in memory first and then saved safely (temporary file,
// checked writes, rename), so a failed save leaves the previous file as it was.
//
// A writer must never write a file its own reader refuses, so a tree that holds an element name
// other than ASCII letters and digits, a text with "<" or ">", or a text that is empty after
// trimming is refused with a message and nothing is written.

#include "general/xml/XMLElement.h"

#include <string>

namespace kelvorn {

/// Writes the tree under root as a file of the dialect; the DOCTYPE line names root's name
/// followed by doctypeSuffix (factory files pass "_v9_0"). On failure sets error and returns
/// false, and the file is left as it was.
bool WriteXMLFile(const TXMLItem& root, const std::string& fileName, std::string& error,
                  const std::string& doctypeSuffix = "");

/// The whole text WriteXMLFile would write, appended to out.
bool FormatXMLFile(const TXMLItem& root, const std::string& doctypeSuffix, std::string& out,
                   std::string& error);

/// Appends element and its subtree, indented by two blanks per depth, to out. False with a
/// message at the first element the reader would refuse.
bool WriteXMLElement(const TXMLItem& element, int depth, std::string& out, std::string& error);

} // namespace kelvorn
