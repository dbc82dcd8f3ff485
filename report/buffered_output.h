// Buffered text output for the command-line tool: numbers with 17 significant
// digits (enough to give back the same double), written through one large
// buffer so that streaming millions of rows costs little beyond the rows
// themselves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace trapezola {

class BufferedOutput {
 public:
  explicit BufferedOutput(std::FILE* file) : file_(file) {}
  BufferedOutput(const BufferedOutput&) = delete;
  BufferedOutput& operator=(const BufferedOutput&) = delete;
  ~BufferedOutput() { flush(); }

  void text(std::string_view s);
  void character(char c) {
    if (used_ == capacity) flush();
    buffer_[used_++] = c;
  }
  // %.17g; NaN and infinities as "nan", "inf", "-inf".
  void real(double v);
  // As real(), but a non-finite value becomes JSON's null.
  void jsonReal(double v);
  void integer(std::int64_t v);
  // Writes out the buffer. A failed write (a full disk, a closed pipe) sets
  // failed(); later flushes write nothing more.
  void flush();
  // Whether a write has failed: a command that streams stops producing then.
  bool failed() const { return failed_; }

 private:
  static constexpr std::size_t capacity = 1 << 16;
  static constexpr std::size_t longestNumber = 32;
  void reserve(std::size_t n) {
    if (capacity - used_ < n) flush();
  }
  std::FILE* file_;
  std::size_t used_ = 0;
  bool failed_ = false;
  char buffer_[capacity];
};

}  // namespace trapezola
