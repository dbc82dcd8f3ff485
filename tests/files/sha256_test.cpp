// SHA-256 against the test vectors of FIPS 180-4 (its examples) and the
// lengths around the padding's block boundary, whole and in pieces.
#include "files/sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace trapezola {
namespace {

struct Vector {
  std::string message;
  const char* digest;
};

class Sha256Vectors : public ::testing::TestWithParam<Vector> {};

TEST_P(Sha256Vectors, MatchTheStandardsDigest) {
  EXPECT_EQ(sha256Hex(GetParam().message), GetParam().digest);
  // The same bytes in pieces of 7.
  Sha256 pieces;
  for (std::size_t i = 0; i < GetParam().message.size(); i += 7) pieces.update(GetParam().message.substr(i, 7));
  EXPECT_EQ(pieces.hex(), GetParam().digest);
}

INSTANTIATE_TEST_SUITE_P(
    Fips180, Sha256Vectors,
    ::testing::Values(
        Vector{"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        Vector{"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        // 56 bytes: the length no longer fits in the first block.
        Vector{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
               "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        Vector{std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}));

}  // namespace
}  // namespace trapezola
