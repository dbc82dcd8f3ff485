// Reading a file whole: one line for a folder, a missing file; the identity
// that finds one file under two names.
#include "files/read_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace trapezola {
namespace {

namespace fs = std::filesystem;

class ReadFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() / ("trapezola-read-file-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }
  fs::path folder_;
};

TEST_F(ReadFileTest, ReadsEveryByte) {
  const std::string bytes = std::string("a\0b\n", 4) + std::string(100000, 'z');
  std::ofstream(folder_ / "f", std::ios::binary) << bytes;
  EXPECT_EQ(readWholeFile((folder_ / "f").string()), bytes);
}

// Fault: a sidecar that was a folder ended in "basic_filebuf::underflow error".
TEST_F(ReadFileTest, AFolderOrAMissingFileIsOneLine) {
  const std::string folder = (folder_ / "a.json").string();
  fs::create_directories(folder);
  try {
    readWholeFile(folder);
    FAIL() << "read a folder";
  } catch (const FileReadError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot read '" + folder + "': it is a folder, not a file");
    EXPECT_EQ(e.reason(), "it is a folder, not a file");
  }
  const std::string missing = (folder_ / "b.json").string();
  try {
    readWholeFile(missing);
    FAIL() << "read a missing file";
  } catch (const FileReadError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot read '" + missing + "': No such file or directory");
  }
}

TEST_F(ReadFileTest, OneFileUnderTwoNamesHasOneIdentity) {
  std::ofstream(folder_ / "s1.csv") << "x";
  std::ofstream(folder_ / "s2.csv") << "x";
  fs::create_hard_link(folder_ / "s1.csv", folder_ / "hard.csv");
  fs::create_symlink(folder_ / "s1.csv", folder_ / "soft.csv");
  const auto id = fileIdentity((folder_ / "s1.csv").string());
  ASSERT_TRUE(id.has_value());
  EXPECT_EQ(fileIdentity((folder_ / "." / "s1.csv").string()), id);
  EXPECT_EQ(fileIdentity((folder_ / "hard.csv").string()), id);
  EXPECT_EQ(fileIdentity((folder_ / "soft.csv").string()), id);
  EXPECT_NE(fileIdentity((folder_ / "s2.csv").string()), id);
  EXPECT_FALSE(fileIdentity((folder_ / "none.csv").string()).has_value());
}

}  // namespace
}  // namespace trapezola
