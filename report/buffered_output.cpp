#include "report/buffered_output.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace trapezola {

void BufferedOutput::text(std::string_view s) {
  if (s.size() > capacity - used_) flush();
  if (s.size() > capacity) {
    if (!failed_ && std::fwrite(s.data(), 1, s.size(), file_) != s.size()) failed_ = true;
    return;
  }
  std::memcpy(buffer_ + used_, s.data(), s.size());
  used_ += s.size();
}

void BufferedOutput::real(double v) {
  reserve(longestNumber);
  const auto result = std::to_chars(buffer_ + used_, buffer_ + capacity, v, std::chars_format::general, 17);
  used_ = static_cast<std::size_t>(result.ptr - buffer_);
}

void BufferedOutput::jsonReal(double v) {
  if (std::isfinite(v)) {
    real(v);
  } else {
    text("null");
  }
}

void BufferedOutput::integer(std::int64_t v) {
  reserve(longestNumber);
  const auto result = std::to_chars(buffer_ + used_, buffer_ + capacity, v);
  used_ = static_cast<std::size_t>(result.ptr - buffer_);
}

void BufferedOutput::flush() {
  if (!failed_ && used_ > 0 && std::fwrite(buffer_, 1, used_, file_) != used_) failed_ = true;
  used_ = 0;
  if (!failed_ && (std::fflush(file_) != 0 || std::ferror(file_))) failed_ = true;
}

}  // namespace trapezola
