#include "file_attributes.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

namespace parasort::files {
namespace {

// The names of a file's extended attributes; false when they cannot be read.
// A file system without extended attributes has none.
bool attributeNames(int file, std::vector<std::string>& names) {
  names.clear();
  std::string list;
  while (true) {
    const ssize_t size = ::flistxattr(file, nullptr, 0);
    if (size < 0) return errno == ENOTSUP;
    list.resize(static_cast<std::size_t>(size));
    const ssize_t filled = ::flistxattr(file, list.data(), list.size());
    if (filled >= 0) {
      list.resize(static_cast<std::size_t>(filled));
      break;
    }
    if (errno != ERANGE) return false;  // ERANGE: the list grew meanwhile
  }
  for (std::size_t start = 0; start < list.size();) {
    const std::size_t end = list.find('\0', start);
    names.emplace_back(list, start, end - start);
    start = end + 1;
  }
  return true;
}

bool copyAttribute(int original, const std::string& name, int replacement) {
  std::string value;
  while (true) {
    const ssize_t size = ::fgetxattr(original, name.c_str(), nullptr, 0);
    if (size < 0) return false;
    value.resize(static_cast<std::size_t>(size));
    const ssize_t filled = ::fgetxattr(original, name.c_str(), value.data(), value.size());
    if (filled >= 0) {
      value.resize(static_cast<std::size_t>(filled));
      break;
    }
    if (errno != ERANGE) return false;
  }
  return ::fsetxattr(replacement, name.c_str(), value.data(), value.size(), 0) == 0;
}

}  // namespace

bool takeOwnership(int replacement, const struct stat& originalStatus) {
  struct stat status {};
  if (::fstat(replacement, &status) != 0) return false;
  if (status.st_uid == originalStatus.st_uid && status.st_gid == originalStatus.st_gid) return true;
  return ::fchown(replacement, originalStatus.st_uid, originalStatus.st_gid) == 0;
}

bool copyAttributes(int original, const struct stat& originalStatus, int replacement) {
  std::vector<std::string> originalNames, replacementNames;
  if (!attributeNames(original, originalNames) || !attributeNames(replacement, replacementNames)) return false;
  // A new file may have come with attributes of its own (an ACL from its
  // directory's default ACL): it keeps only the original's.
  for (const std::string& name : replacementNames) {
    bool inOriginal = false;
    for (const std::string& originalName : originalNames) inOriginal = inOriginal || originalName == name;
    if (!inOriginal && ::fremovexattr(replacement, name.c_str()) != 0) return false;
  }
  for (const std::string& name : originalNames)
    if (!copyAttribute(original, name, replacement)) return false;
  // Last: setting an ACL sets the group bits too, to the ACL's mask, which
  // the original's mode already agrees with.
  return ::fchmod(replacement, originalStatus.st_mode & 07777) == 0;
}

}  // namespace parasort::files
