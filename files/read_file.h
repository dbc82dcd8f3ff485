// Reading a file whole, with one line that says why it cannot be read, and
// telling whether two paths name the same file.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace trapezola {

// A file could not be read. what() is one line naming the file ("cannot read
// 'a.json': it is a folder"); reason() is the part after the colon, for a
// caller that names the file in its own words.
class FileReadError : public std::runtime_error {
 public:
  FileReadError(const std::string& path, const std::string& reason);
  const std::string& reason() const { return reason_; }

 private:
  std::string reason_;
};

// The bytes of the regular file at `path` (a device or pipe is read to its
// end, too). Throws FileReadError for a folder, a missing file and every
// failed read.
std::string readWholeFile(const std::string& path);

// What identifies a file whatever path names it: its device and inode.
struct FileIdentity {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file at `path` (symlinks followed), or none when there
// is no such file.
std::optional<FileIdentity> fileIdentity(const std::string& path);

}  // namespace trapezola
