#include "cli/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/arguments.h"

namespace trapezola::cli {

WholeFileWriter::WholeFileWriter(std::string path) : path_(std::move(path)) {
  struct stat st {};
  if (::stat(path_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) throw FileWriteError("cannot write " + quoted(path_) + ": it is a folder");
    if (!S_ISREG(st.st_mode)) {
      fd_ = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
      if (fd_ < 0) fail("cannot open", errno);
      return;
    }
  }
  // The process id keeps two runs writing the same file from sharing a
  // temporary one; O_EXCL never takes over a file that is there already.
  tempPath_ = path_ + ".tmp" + std::to_string(::getpid());
  fd_ = ::open(tempPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd_ < 0) {
    const int error = errno;
    tempPath_.clear();
    fail("cannot create", error);
  }
}

WholeFileWriter::~WholeFileWriter() {
  discard();
}

void WholeFileWriter::commit(std::span<const char> bytes) {
  if (fd_ < 0) throw FileWriteError("the file " + quoted(path_) + " was already written");
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd_, p, left);
    if (n < 0 && errno == EINTR) continue;
    // A write of 0 bytes on a non-empty request would loop forever.
    if (n <= 0) fail("cannot write", n < 0 ? errno : EIO);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  // A device or pipe has nothing to flush to a disk.
  if (!tempPath_.empty() && ::fsync(fd_) != 0) fail("cannot write", errno);
  const int fd = fd_;
  fd_ = -1;
  if (::close(fd) != 0) fail("cannot write", errno);
  if (!tempPath_.empty() && ::rename(tempPath_.c_str(), path_.c_str()) != 0) fail("cannot replace", errno);
  tempPath_.clear();
}

void WholeFileWriter::discard() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
}

void WholeFileWriter::fail(const std::string& what, int error) {
  discard();
  throw FileWriteError(what + " " + quoted(path_) + ": " + std::strerror(error));
}

}  // namespace trapezola::cli
