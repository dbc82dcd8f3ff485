// What the fuzz targets share: a property check that stops the run with the
// offending text, and a reader that takes fixed-size values off the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace trapezola::fuzz {

// libFuzzer records the input that led to the abort.
inline void check(bool holds, const char* property, std::string_view detail = {}) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s\n  detail: '%.*s'\n", property, static_cast<int>(detail.size()),
               detail.data());
  std::abort();
}

class InputReader {
 public:
  InputReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  // A value from the next sizeof(T) bytes, zero-filled past the end.
  template <typename T>
  T take() {
    unsigned char bytes[sizeof(T)] = {};
    const std::size_t n = size_ < sizeof(T) ? size_ : sizeof(T);
    if (n > 0) std::memcpy(bytes, data_, n);
    data_ += n;
    size_ -= n;
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
  }

  std::string_view rest() const { return {reinterpret_cast<const char*>(data_), size_}; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
};

}  // namespace trapezola::fuzz
