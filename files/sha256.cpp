// Notation as in FIPS 180-4, section 6.2: W the message schedule, a..h the
// working variables, H the hash value, K the round constants.
#include "files/sha256.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace trapezola {

namespace {

constexpr std::array<std::uint32_t, 64> K = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t rotr(std::uint32_t x, int n) {
  return (x >> n) | (x << (32 - n));
}

void compress(std::array<std::uint32_t, 8>& H, const unsigned char* block) {
  std::array<std::uint32_t, 64> W{};
  for (int t = 0; t < 16; ++t) {
    W[t] = (std::uint32_t{block[4 * t]} << 24) | (std::uint32_t{block[4 * t + 1]} << 16) |
           (std::uint32_t{block[4 * t + 2]} << 8) | std::uint32_t{block[4 * t + 3]};
  }
  for (int t = 16; t < 64; ++t) {
    const std::uint32_t s0 = rotr(W[t - 15], 7) ^ rotr(W[t - 15], 18) ^ (W[t - 15] >> 3);
    const std::uint32_t s1 = rotr(W[t - 2], 17) ^ rotr(W[t - 2], 19) ^ (W[t - 2] >> 10);
    W[t] = W[t - 16] + s0 + W[t - 7] + s1;
  }
  std::uint32_t a = H[0], b = H[1], c = H[2], d = H[3], e = H[4], f = H[5], g = H[6], h = H[7];
  for (int t = 0; t < 64; ++t) {
    const std::uint32_t S1 = rotr(e, 6) ^ rotr(e, 11) ^ rotr(e, 25);
    const std::uint32_t ch = (e & f) ^ (~e & g);
    const std::uint32_t T1 = h + S1 + ch + K[t] + W[t];
    const std::uint32_t S0 = rotr(a, 2) ^ rotr(a, 13) ^ rotr(a, 22);
    const std::uint32_t maj = (a & b) ^ (a & c) ^ (b & c);
    const std::uint32_t T2 = S0 + maj;
    h = g;
    g = f;
    f = e;
    e = d + T1;
    d = c;
    c = b;
    b = a;
    a = T1 + T2;
  }
  H[0] += a;
  H[1] += b;
  H[2] += c;
  H[3] += d;
  H[4] += e;
  H[5] += f;
  H[6] += g;
  H[7] += h;
}

}  // namespace

void Sha256::update(std::string_view bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t left = bytes.size();
  length_ += left;
  while (left > 0) {
    if (used_ == 0 && left >= 64) {
      compress(h_, data);
      data += 64;
      left -= 64;
      continue;
    }
    const std::size_t take = std::min(left, 64 - used_);
    for (std::size_t i = 0; i < take; ++i) block_[used_ + i] = data[i];
    used_ += take;
    data += take;
    left -= take;
    if (used_ == 64) {
      compress(h_, block_);
      used_ = 0;
    }
  }
}

std::string Sha256::hex() {
  // The rest, a 1 bit, zeros, and the length in bits, in one or two blocks.
  const std::uint64_t bits = length_ * 8;
  unsigned char tail[128] = {};
  for (std::size_t i = 0; i < used_; ++i) tail[i] = block_[i];
  tail[used_] = 0x80;
  const std::size_t tailSize = used_ + 1 + 8 <= 64 ? 64 : 128;
  for (int i = 0; i < 8; ++i) tail[tailSize - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
  compress(h_, tail);
  if (tailSize == 128) compress(h_, tail + 64);

  static constexpr char digits[] = "0123456789abcdef";
  std::string text;
  text.reserve(64);
  for (const std::uint32_t word : h_) {
    for (int shift = 28; shift >= 0; shift -= 4) text += digits[(word >> shift) & 0xF];
  }
  return text;
}

std::string sha256Hex(std::string_view bytes) {
  Sha256 digest;
  digest.update(bytes);
  return digest.hex();
}

}  // namespace trapezola
