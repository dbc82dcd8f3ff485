#include "files/whole_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "files/quoted.h"

namespace trapezola {

namespace {

// The writes go out in pieces of this size at least.
constexpr std::size_t bufferSize = std::size_t{1} << 16;
// A file name's bytes on Linux file systems (NAME_MAX).
constexpr std::size_t nameMax = 255;
// mkostemp's six random characters and the two dots around NAME.
constexpr std::size_t temporaryExtra = 8;

// The temporary files of every open writer: what the signal watcher removes.
// Created once and never destroyed, so that it outlives every writer, also
// one in a static object.
struct Temporaries {
  std::mutex mutex;
  std::set<std::string> paths;
};

Temporaries& temporaries() {
  static Temporaries* const all = new Temporaries;
  return *all;
}

std::string folderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The umask, read without changing it (umask() would, for a moment, for every
// thread); 022 where /proc does not say.
mode_t currentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtol(line.c_str() + 6, nullptr, 8));
  }
  return 022;
}

std::string reasonText(int error) {
  return std::strerror(error);
}

}  // namespace

WholeFileWriter::WholeFileWriter(std::string path) : path_(std::move(path)) {
  if (path_.empty()) throw FileWriteError("cannot create a file with an empty name");
  struct stat st {};
  mode_t mode = 0666 & ~currentUmask();
  if (::stat(path_.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) throw FileWriteError("cannot write " + quoted(path_) + ": it is a folder");
    if (!S_ISREG(st.st_mode)) {
      fd_ = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
      if (fd_ < 0) fail("cannot open", errno);
      return;
    }
    mode = st.st_mode & 07777;
  }
  if (path_.back() == '/') throw FileWriteError("cannot write " + quoted(path_) + ": it names a folder");
  const std::string name = nameOf(path_);
  const std::string folder = folderOf(path_);
  // Known now, not at the rename after the work: the temporary's own name is
  // cut short to fit.
  const long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  if (name.size() > (longest > 0 ? static_cast<std::size_t>(longest) : nameMax)) fail("cannot create", ENAMETOOLONG);
  std::string pattern = folder + "/." + name.substr(0, nameMax - temporaryExtra) + ".XXXXXX";
  {
    // Created and registered in one step: the signal watcher never misses it.
    Temporaries& all = temporaries();
    const std::lock_guard lock(all.mutex);
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ >= 0) all.paths.insert(pattern);
  }
  if (fd_ < 0) fail("cannot create", errno);
  tempPath_ = std::move(pattern);
  // mkostemp makes the file 0600, readable by its owner alone.
  if (::fchmod(fd_, mode) != 0) fail("cannot create", errno);
}

WholeFileWriter::~WholeFileWriter() {
  discard();
}

void WholeFileWriter::write(std::string_view bytes) {
  if (done_) throw FileWriteError("the file " + quoted(path_) + " was already written");
  if (buffer_.size() + bytes.size() < bufferSize) {
    buffer_.append(bytes);
    return;
  }
  flushBuffer();
  if (bytes.size() < bufferSize) {
    buffer_.append(bytes);
    return;
  }
  // A large piece (a whole CSV) goes out as it is, not through a copy.
  writeOut(bytes);
}

void WholeFileWriter::flushBuffer() {
  writeOut(buffer_);
  buffer_.clear();
}

void WholeFileWriter::writeOut(std::string_view bytes) {
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
}

void WholeFileWriter::close() {
  if (done_) throw FileWriteError("the file " + quoted(path_) + " was already written");
  flushBuffer();
  done_ = true;
  const int fd = fd_;
  fd_ = -1;
  // close() reports the errors of a file system that writes late (NFS, a quota).
  if (::close(fd) != 0) fail("cannot write", errno);
}

// With the temporaries' lock held.
void WholeFileWriter::putInPlace() {
  if (tempPath_.empty()) return;
  if (::rename(tempPath_.c_str(), path_.c_str()) != 0) {
    const int error = errno;
    ::unlink(tempPath_.c_str());
    temporaries().paths.erase(tempPath_);
    tempPath_.clear();
    throw FileWriteError("cannot replace " + quoted(path_) + ": " + reasonText(error));
  }
  temporaries().paths.erase(tempPath_);
  tempPath_.clear();
}

void WholeFileWriter::commit() {
  close();
  Temporaries& all = temporaries();
  const std::lock_guard lock(all.mutex);
  putInPlace();
}

void WholeFileWriter::discard() noexcept {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  done_ = true;
  buffer_.clear();
  if (tempPath_.empty()) return;
  Temporaries& all = temporaries();
  const std::lock_guard lock(all.mutex);
  ::unlink(tempPath_.c_str());
  all.paths.erase(tempPath_);
  tempPath_.clear();
}

void WholeFileWriter::fail(const char* what, int error) {
  discard();
  throw FileWriteError(std::string(what) + " " + quoted(path_) + ": " + reasonText(error));
}

void commitTogether(std::initializer_list<WholeFileWriter*> files) {
  if (files.size() == 0) return;
  for (WholeFileWriter* file : files) file->close();
  // The lock is advice between our own writers; where the file system has no
  // locks of folders (some network file systems), the pair is put in place
  // without it.
  const int folder = ::open(folderOf((*files.begin())->path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    while (::flock(folder, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  std::vector<WholeFileWriter*> placed;
  try {
    Temporaries& all = temporaries();
    const std::lock_guard lock(all.mutex);
    for (WholeFileWriter* file : files) {
      const bool replaces = !file->tempPath_.empty();
      file->putInPlace();
      if (replaces) placed.push_back(file);
    }
  } catch (const FileWriteError&) {
    for (WholeFileWriter* file : placed) ::unlink(file->path_.c_str());
    for (WholeFileWriter* file : files) file->discard();
    if (folder >= 0) ::close(folder);
    throw;
  }
  // Closing the folder releases its lock.
  if (folder >= 0) ::close(folder);
}

void writeWholeFile(const std::string& path, std::string_view bytes) {
  WholeFileWriter file(path);
  file.commit(bytes);
}

void watchTerminationSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction current {};
    // A signal the program was started to ignore (nohup, a background job of a
    // script) stays ignored.
    if (::sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaddset(&signals, signal);
  }
  // Blocked here, in the thread that starts every other: only the watcher's
  // sigwait takes these signals.
  if (::pthread_sigmask(SIG_BLOCK, &signals, nullptr) != 0) return;
  std::thread([signals] {
    int signal = 0;
    while (::sigwait(&signals, &signal) != 0) {
    }
    Temporaries& all = temporaries();
    // Never unlocked: no writer puts a file in place or makes a new temporary
    // between here and the end. A commit in progress ends first, so that a pair
    // is in place whole or not at all.
    all.mutex.lock();
    for (const std::string& path : all.paths) ::unlink(path.c_str());
    std::signal(signal, SIG_DFL);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(signal);
    // Not reached: the signal's default action ends the process.
    std::_Exit(128 + signal);
  }).detach();
}

}  // namespace trapezola
