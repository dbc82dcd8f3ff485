// The numbers go through std::to_chars and std::from_chars rather than printf
// and scanf: those follow the process locale, which a desktop toolkit sets from
// the user's environment, and a decimal comma would break the file format.
// to_chars with a precision rounds exactly, as glibc's printf does.
#include "core/analysis/lgtr_data_file.h"

#include <algorithm>
#include <charconv>
#include <sstream>
#include <string_view>

#include "files/read_file.h"

namespace trapezola {

namespace {

// Room for the widest line: a 308-digit fixed-notation double with its six
// decimals, an int, the blanks and the end of line.
constexpr std::size_t lineCapacity = 400;

// Writes the field right-aligned in at least `width` characters.
char* putField(char* out, const char* text, std::size_t length, std::size_t width) {
  if (length < width) {
    std::fill_n(out, width - length, ' ');
    out += width - length;
  }
  return std::copy_n(text, length, out);
}

std::size_t formatLine(int block, double value, char (&line)[lineCapacity]) {
  char number[lineCapacity];
  char* out = line;
  std::to_chars_result r = std::to_chars(number, number + sizeof number, block);
  out = putField(out, number, static_cast<std::size_t>(r.ptr - number), 4);
  out = std::fill_n(out, 3, ' ');
  r = std::to_chars(number, number + sizeof number, value, std::chars_format::fixed, 6);
  out = putField(out, number, static_cast<std::size_t>(r.ptr - number), 20);
  *out++ = ' ';
  *out++ = '\n';
  return static_cast<std::size_t>(out - line);
}

const char* skipBlanks(const char* p, const char* end) {
  while (p != end && (*p == ' ' || *p == '\t')) ++p;
  return p;
}

// from_chars takes no leading '+', which the file's signed numbers may carry.
const char* skipPlus(const char* p, const char* end) {
  return (p != end && *p == '+') ? p + 1 : p;
}

bool parseLine(std::string_view text, LgTrLine& line) {
  const char* end = text.data() + text.size();
  const char* p = skipPlus(skipBlanks(text.data(), end), end);
  int block = 0;
  std::from_chars_result r = std::from_chars(p, end, block);
  if (r.ec != std::errc()) return false;
  p = skipPlus(skipBlanks(r.ptr, end), end);
  double value = 0;
  r = std::from_chars(p, end, value);
  if (r.ec != std::errc()) return false;
  line.block = block;
  line.value = value;
  return true;
}

std::vector<LgTrLine> readLines(std::istream& in, int lineCount, const std::string& source) {
  std::vector<LgTrLine> lines;
  if (lineCount < 1) return lines;
  lines.reserve(static_cast<std::size_t>(std::min(lineCount, 1 << 16)));
  LgTrLine current;
  std::string text;
  for (int i = 0; i < lineCount; ++i) {
    // An unreadable line, or the end of the file, keeps the previous values.
    if (in && std::getline(in, text)) parseLine(text, current);
    if (in.bad()) throw DataFileError("cannot read " + source);
    lines.push_back(current);
  }
  return lines;
}

}  // namespace

std::string formatLgTrLine(int block, double value) {
  char line[lineCapacity];
  return std::string(line, formatLine(block, value, line));
}

LgTrFileWriter::LgTrFileWriter(std::filesystem::path path) : path_(std::move(path)) {
  try {
    file_.emplace(path_.string());
  } catch (const FileWriteError& e) {
    throw DataFileError(std::string("the data file: ") + e.what());
  }
}

LgTrFileWriter::~LgTrFileWriter() = default;

void LgTrFileWriter::add(int block, double value) {
  if (stage_ != Stage::writing) throw std::logic_error("lg(Tr) line added after the data file was committed");
  if (!failure_.empty()) return;
  char line[lineCapacity];
  try {
    file_->write(std::string_view(line, formatLine(block, value, line)));
  } catch (const FileWriteError& e) {
    failure_ = e.what();
  }
}

void LgTrFileWriter::commit() {
  if (stage_ == Stage::committed) return;
  if (stage_ == Stage::discarded) throw std::logic_error("the data file's failed commit was retried");
  if (failure_.empty()) {
    try {
      file_->commit();
      stage_ = Stage::committed;
      return;
    } catch (const FileWriteError& e) {
      failure_ = e.what();
    }
  }
  stage_ = Stage::discarded;
  file_.reset();
  throw DataFileError("the data file: " + failure_);
}

std::vector<LgTrLine> readLgTrLines(std::istream& in, int lineCount) {
  return readLines(in, lineCount, "the lg(Tr) data");
}

std::vector<LgTrLine> readLgTrFile(const std::filesystem::path& path, int lineCount) {
  std::istringstream in;
  try {
    in.str(readWholeFile(path.string()));
  } catch (const FileReadError& e) {
    throw DataFileError(std::string("the data file: ") + e.what());
  }
  return readLines(in, lineCount, "the data file " + path.string());
}

}  // namespace trapezola
