// SHA-256 (FIPS 180-4) of a byte string, as 64 lower-case hex digits: what
// sha256sum prints, so that a user can check an atlas CSV against its sidecar
// by hand.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace trapezola {

// The digest of bytes that arrive in pieces (a CSV written row by row).
class Sha256 {
 public:
  void update(std::string_view bytes);
  // The 64 hex digits; call it once, after the last update.
  std::string hex();

 private:
  std::array<std::uint32_t, 8> h_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                     0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  unsigned char block_[64] = {};
  std::size_t used_ = 0;      // bytes in block_
  std::uint64_t length_ = 0;  // bytes so far
};

std::string sha256Hex(std::string_view bytes);

}  // namespace trapezola
