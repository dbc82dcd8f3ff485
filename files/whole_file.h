// Writing a file whole or not at all: the one writer of every file that
// trapezola-cli, the window and the Python module write (CSV, JSON, pictures,
// the lg(Tr) data file).
//
// The bytes go to a temporary file created exclusively in the destination's
// folder: mkostemp's O_CREAT | O_EXCL never follows a planted symlink and never
// takes over a stale file, whatever name it had. The temporary is called
// ".NAME.XXXXXX", hidden from globs such as shard*.csv, with NAME cut short
// where the whole would pass the 255 bytes a file name may have. commit()
// writes what is left in the buffer, closes the file (every write checked) and
// renames it over the destination in one step, so that a reader, or a second
// writer of the same file, finds the old file or one complete new one, never a
// splice. There is no fsync: the rename of a completely written file is what
// makes it whole for every reader of a running system; surviving a power cut is
// left to the file system.
//
// The temporary is removed on every failure, by a writer destroyed without
// commit, and by the signal watcher of trapezola-cli when SIGINT, SIGTERM or
// SIGHUP ends the program. A SIGKILL leaves it, under a name no later run takes.
//
// The new file gets the mode of the file it replaces, or 0666 less the umask. A
// destination that is a symlink is replaced by the new file, not written
// through. A destination that exists and is neither a regular file nor a folder
// (a device such as /dev/null or /dev/full, a pipe) cannot be replaced: it is
// written directly, every write still checked.
#pragma once

#include <initializer_list>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

namespace trapezola {

// A file could not be created, written or put in place. The message is one
// line naming the file and the system's reason ("cannot write 'a.csv': No
// space left on device").
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

  // Appends bytes, through a buffer. Throws FileWriteError, after removing the
  // temporary file, when a write fails.
  void write(std::string_view bytes);

  // Writes the rest and puts the file in place. Throws FileWriteError, after
  // removing the temporary file, when any step fails; the destination is then
  // as it was. Call it once.
  void commit();
  void commit(std::string_view bytes) {
    write(bytes);
    commit();
  }
  void commit(const std::string& bytes) { commit(std::string_view(bytes)); }
  void commit(std::span<const char> bytes) { commit(std::string_view(bytes.data(), bytes.size())); }

  const std::string& path() const { return path_; }

 private:
  friend void commitTogether(std::initializer_list<WholeFileWriter*> files);
  void flushBuffer();
  void writeOut(std::string_view bytes);
  void close();
  void putInPlace();
  void discard() noexcept;
  [[noreturn]] void fail(const char* what, int error);

  std::string path_;
  std::string tempPath_;  // empty when writing a device directly, and once in place
  std::string buffer_;
  int fd_ = -1;
  bool done_ = false;
};

// Puts files that belong together (an atlas CSV and its sidecar, in one
// folder) in place as a pair: each is written out and closed first, so that a
// failure there (a full disk) leaves every destination as it was; then they
// are renamed in the order given, under an exclusive flock of their folder, so
// that two runs writing the same pair leave one run's pair, not one file of
// each. Should a rename fail, the files of the list already renamed are
// removed again: no new first file stays beside an old second one. Throws
// FileWriteError.
void commitTogether(std::initializer_list<WholeFileWriter*> files);

// Writes bytes to `path` whole or not at all.
void writeWholeFile(const std::string& path, std::string_view bytes);

// For a program's main, before it starts any thread: SIGINT, SIGTERM and SIGHUP
// (unless ignored, as under nohup) are taken by a thread of their own, which
// removes every temporary file of the writers still open and then ends the
// program by the same signal, so that its exit status stays the signal's.
void watchTerminationSignals();

}  // namespace trapezola
