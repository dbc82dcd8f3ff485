// Writing a result file whole or not at all. The bytes go to a temporary file
// beside the destination, which is flushed to the disk and then renamed over it
// in one step: a reader sees the old file or the complete new one, never half
// of it, and a failed write leaves the destination as it was and no temporary
// file behind. A destination that exists and is not a regular file (a device
// such as /dev/null, a pipe) cannot be replaced; it is written directly, and
// every write is still checked.
#pragma once

#include <span>
#include <stdexcept>
#include <string>

namespace trapezola::cli {

// A file could not be created, written or put in place; the message is one
// line naming the path and the reason.
class FileWriteError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class WholeFileWriter {
 public:
  // Creates the temporary file (or opens the device) at once, so that a
  // destination that cannot be written is known before any work is done.
  // Throws FileWriteError, also for a destination that is a folder.
  explicit WholeFileWriter(std::string path);
  ~WholeFileWriter();
  WholeFileWriter(const WholeFileWriter&) = delete;
  WholeFileWriter& operator=(const WholeFileWriter&) = delete;

  // Writes all the bytes and puts the file in place. Throws FileWriteError,
  // after removing the temporary file, when any step fails. Call it once.
  void commit(std::span<const char> bytes);

  const std::string& path() const { return path_; }

 private:
  void discard() noexcept;
  [[noreturn]] void fail(const std::string& what, int error);

  std::string path_;
  std::string tempPath_;  // empty when writing a device directly
  int fd_ = -1;
};

}  // namespace trapezola::cli
