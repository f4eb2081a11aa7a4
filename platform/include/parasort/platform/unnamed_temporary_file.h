// Temporary files that nothing can leave behind.
#pragma once

#include <string>

namespace parasort::platform {

// A new file in `directory`, open for reading and writing, that has no name:
// it goes when its descriptor is closed, however the process ends (even by
// SIGKILL). Made with O_TMPFILE where the file system has it, else created
// under a unique name and unlinked at once, with the ending signals held
// back in between. The descriptor (close-on-exec), or -1 with errno set.
int createUnnamedTemporaryFile(const std::string& directory);

}  // namespace parasort::platform
