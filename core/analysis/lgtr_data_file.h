// The lg(Tr) data file: the last series, one text line per block, written by
// each analysis and read back by the linear fit.
//
// Line format: the block index right-aligned in 4 characters, three blanks, the
// value in fixed notation with six decimals right-aligned in 20 characters, one
// blank, end of line; printf's "%4i   %20f \n". Longer numbers widen their
// field. The decimal point is always '.', whatever the process locale, so a file
// written under one locale reads back under another.
//
// Where the file lives is the caller's choice; these functions take its path.
#pragma once

#include <filesystem>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "files/whole_file.h"

namespace trapezola {

// The data file could not be created, written, replaced or read. The message
// names the path.
class DataFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct LgTrLine {
  int block = 0;
  double value = 0;
};

// The text of one line, end of line included.
std::string formatLgTrLine(int block, double value);

// Writes a series into the data file without ever leaving it half written,
// through the one writer of whole files (files/whole_file.h): the lines go to a
// temporary file of its own in the same folder, and commit() renames that over
// the path in one step. Until then the previous file stays as it was; a writer
// destroyed without commit removes its temporary file. Two analyses writing the
// same file at once leave one whole series, never a splice of both.
class LgTrFileWriter {
 public:
  // Creates the temporary file; throws DataFileError, naming the path and the
  // system's reason, when it cannot (a missing folder, a folder in the file's
  // place).
  explicit LgTrFileWriter(std::filesystem::path path);
  ~LgTrFileWriter();
  LgTrFileWriter(const LgTrFileWriter&) = delete;
  LgTrFileWriter& operator=(const LgTrFileWriter&) = delete;

  // Appends one line. Write errors surface at commit(). Throws std::logic_error
  // once commit() has been called.
  void add(int block, double value);

  // Closes the temporary file and puts it in place of the path. Throws
  // DataFileError, and removes the temporary file, when any write, the close or
  // the rename failed; the previous file is then untouched. Throws
  // std::logic_error when called again after a failure.
  void commit();

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
  std::optional<WholeFileWriter> file_;
  std::string failure_;  // the first failed write's words
  enum class Stage { writing, committed, discarded } stage_ = Stage::writing;
};

// Reads lineCount lines in order. A line whose index (an int) and value (a
// decimal number, optionally signed) cannot both be read, and every line asked
// for past the end, repeats the previous line's index and value; before any
// line they are 0. A lineCount below 1 reads nothing. Throws DataFileError on a
// read error of the stream.
std::vector<LgTrLine> readLgTrLines(std::istream& in, int lineCount);

// The same from a file; throws DataFileError naming the path when the file
// cannot be opened or read.
std::vector<LgTrLine> readLgTrFile(const std::filesystem::path& path, int lineCount);

}  // namespace trapezola
