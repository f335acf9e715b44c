#pragma once
// Symbolic links on the way to a document's file. A document reached through a link is the file
// the link names: the writer replaces or writes that file, and every file named after a
// document's own file (a project's copy folder, a wave's side file) is named after it too, so
// that the work is the same whichever name the user took.

#include <string>

namespace kelvorn {

/// The file a chain of symbolic links ends at, or path itself when it is no link. A link that
/// names a file that does not exist yet gives that file. False, with errno set, when the chain
/// loops, is longer than the system would follow, or a link cannot be read.
bool FollowLinks(const std::string& path, std::string& file);

/// The file a chain of symbolic links ends at, as FollowLinks; path itself when the chain cannot
/// be followed, so that a looping link fails where it is used, as it did before.
std::string ResolveLinks(const std::string& path);

} // namespace kelvorn
