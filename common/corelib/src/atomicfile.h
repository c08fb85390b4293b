// Replacing an output file so that readers see either the old or the new
// content, never a half-written file.
#pragma once

#include <string>

namespace corelib {

// Writes text to a fresh temporary file beside the target, syncs it and
// renames it over the target. A symbolic link of this user or root is
// followed, so the file it leads to is replaced and the link stays; another
// user's link is refused. An existing target of this user keeps its
// permission bits, any other gets 0644 less the umask. A device or pipe
// cannot be replaced and is written in place instead. On failure the target
// is untouched, no temporary file remains and error (when given) says why.
bool ReplaceFileAtomically(const std::string& target, const std::string& text,
                           std::string* error);

}  // namespace corelib
