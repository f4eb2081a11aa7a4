// What a file is besides its contents, carried over to the file that
// replaces it.
#pragma once

#include <sys/stat.h>

namespace parasort::files {

// Gives `replacement` (a new, private file) the owner and group that
// `original` has, as `originalStatus` describes it. False when the caller
// may not give them (not root, and not the owner or not in the group).
bool takeOwnership(int replacement, const struct stat& originalStatus);

// Gives `replacement` the extended attributes of `original` (its POSIX ACLs
// among them, and only those it has), then its permission bits. Call it
// after writing the contents: writing clears set-user-ID bits and file
// capabilities. False when any of them cannot be carried over.
bool copyAttributes(int original, const struct stat& originalStatus, int replacement);

}  // namespace parasort::files
