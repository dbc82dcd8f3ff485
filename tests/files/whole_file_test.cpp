// The one writer of whole files: where its temporary file goes and what it
// never does (follow a planted symlink, take over a stale file, leave a
// temporary behind, splice two writers), what it keeps (a long name, the
// replaced file's mode), and pairs put in place together.
#include "files/whole_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace trapezola {
namespace {

namespace fs = std::filesystem;

class WholeFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("trapezola-whole-file-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  static std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Every entry of the folder but the ones named.
  std::vector<std::string> others(std::initializer_list<std::string> known) const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      const std::string name = entry.path().filename().string();
      bool listed = false;
      for (const std::string& k : known) listed = listed || name == k;
      if (!listed) found.push_back(name);
    }
    return found;
  }

  fs::path folder_;
};

TEST_F(WholeFileTest, WritesTheBytesAndLeavesNothingElse) {
  const fs::path path = folder_ / "s.dat";
  {
    WholeFileWriter file(path.string());
    file.write("first line\n");
    file.write(std::string(200000, 'x'));
    file.commit();
  }
  EXPECT_EQ(contents(path), "first line\n" + std::string(200000, 'x'));
  EXPECT_TRUE(others({"s.dat"}).empty());
}

TEST_F(WholeFileTest, AWriterDestroyedWithoutCommitLeavesTheOldFile) {
  const fs::path path = folder_ / "s.dat";
  std::ofstream(path) << "old";
  {
    WholeFileWriter file(path.string());
    file.write("new");
  }
  EXPECT_EQ(contents(path), "old");
  EXPECT_TRUE(others({"s.dat"}).empty());
}

// Fault: a symlink planted at s.dat.tmp had its target overwritten, and s.dat
// became the symlink. Every name the old writers used is planted here.
TEST_F(WholeFileTest, APlantedSymlinkIsNeverFollowed) {
  const fs::path victim = folder_ / "victim";
  std::ofstream(victim) << "precious";
  const fs::path path = folder_ / "s.dat";
  for (const std::string& name :
       {std::string("s.dat.tmp"), "s.dat.tmp" + std::to_string(::getpid()), std::string(".s.dat.tmp"),
        std::string("s.dat~")}) {
    fs::create_symlink(victim, folder_ / name);
  }
  writeWholeFile(path.string(), "result");
  EXPECT_EQ(contents(victim), "precious");
  EXPECT_FALSE(fs::is_symlink(path));
  EXPECT_EQ(contents(path), "result");
}

// A destination that is a symlink is replaced, not written through.
TEST_F(WholeFileTest, ADestinationSymlinkIsReplacedNotFollowed) {
  const fs::path victim = folder_ / "victim";
  std::ofstream(victim) << "precious";
  const fs::path path = folder_ / "s.dat";
  fs::create_symlink(victim, path);
  writeWholeFile(path.string(), "result");
  EXPECT_EQ(contents(victim), "precious");
  EXPECT_FALSE(fs::is_symlink(path));
  EXPECT_EQ(contents(path), "result");
}

// Fault: a stale "out.csv.tmpPID" of a killed run made a later run with the
// same process id fail with "File exists".
TEST_F(WholeFileTest, StaleFilesOfEarlierRunsAreNoObstacle) {
  const fs::path path = folder_ / "out.csv";
  for (const std::string& name : {std::string("out.csv.tmp"), "out.csv.tmp" + std::to_string(::getpid())}) {
    std::ofstream(folder_ / name) << "stale";
  }
  writeWholeFile(path.string(), "fresh");
  EXPECT_EQ(contents(path), "fresh");
}

// Fault: names of 245 characters and more failed, the suffix passing the 255
// bytes a file name may have. A name longer than that is refused when the
// writer is made, before any work.
TEST_F(WholeFileTest, ANameOfTheLongestLengthIsWritten) {
  for (const std::size_t length : {245u, 250u, 255u}) {
    const fs::path path = folder_ / (std::string(length - 4, 'n') + ".csv");
    writeWholeFile(path.string(), "long");
    EXPECT_EQ(contents(path), "long") << length;
    fs::remove(path);
  }
  const fs::path tooLong = folder_ / (std::string(252, 'n') + ".csv");
  try {
    WholeFileWriter file(tooLong.string());
    FAIL() << "took a name of 256 bytes";
  } catch (const FileWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot create '" + tooLong.string() + "': File name too long");
  }
  EXPECT_TRUE(others({}).empty());
}

TEST_F(WholeFileTest, TheNewFileKeepsTheModeOfTheOneItReplaces) {
  const fs::path path = folder_ / "s.dat";
  std::ofstream(path) << "old";
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  writeWholeFile(path.string(), "new");
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(WholeFileTest, ANewFileHasTheUsualModeNotTheTemporarysOwnerOnly) {
  const mode_t mask = ::umask(022);
  const fs::path path = folder_ / "s.dat";
  writeWholeFile(path.string(), "new");
  ::umask(mask);
  EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(WholeFileTest, FailuresNameTheFileAndTheReason) {
  const fs::path missing = folder_ / "no such folder" / "s.dat";
  try {
    WholeFileWriter file(missing.string());
    FAIL() << "created a file in a missing folder";
  } catch (const FileWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot create '" + missing.string() + "': No such file or directory");
  }
  try {
    WholeFileWriter file(folder_.string());
    FAIL() << "took a folder for a file";
  } catch (const FileWriteError& e) {
    EXPECT_EQ(std::string(e.what()), "cannot write '" + folder_.string() + "': it is a folder");
  }
  if (fs::exists("/dev/full")) {
    try {
      writeWholeFile("/dev/full", "bytes");
      FAIL() << "wrote into a full disk";
    } catch (const FileWriteError& e) {
      EXPECT_EQ(std::string(e.what()), "cannot write '/dev/full': No space left on device");
    }
  }
  EXPECT_TRUE(others({}).empty());
}

TEST_F(WholeFileTest, AFailedRenameRemovesTheTemporary) {
  // A folder that appears in the destination's place cannot be renamed over.
  const fs::path path = folder_ / "s.dat";
  WholeFileWriter file(path.string());
  file.write("new");
  fs::create_directories(path / "inside");
  EXPECT_THROW(file.commit(), FileWriteError);
  EXPECT_TRUE(fs::is_directory(path / "inside"));
  EXPECT_TRUE(others({"s.dat"}).empty());
}

// Fault: two runs writing one file at once spliced it from both (28 of 30).
TEST_F(WholeFileTest, TwoWritersOfOneFileLeaveOneWholeFile) {
  const fs::path path = folder_ / "d.dat";
  const std::string a(300000, 'a');
  const std::string b(300000, 'b');
  for (int round = 0; round < 20; ++round) {
    std::atomic<bool> go{false};
    const auto writer = [&](const std::string& text) {
      while (!go.load()) {
      }
      WholeFileWriter file(path.string());
      // In pieces, so that the writes of the two interleave.
      for (std::size_t i = 0; i < text.size(); i += 1000) file.write(std::string_view(text).substr(i, 1000));
      file.commit();
    };
    std::thread first(writer, a);
    std::thread second(writer, b);
    go = true;
    first.join();
    second.join();
    const std::string written = contents(path);
    EXPECT_TRUE(written == a || written == b) << "round " << round << ": a splice";
  }
  EXPECT_TRUE(others({"d.dat"}).empty());
}

TEST_F(WholeFileTest, APairGoesInPlaceTogether) {
  const fs::path csv = folder_ / "a.csv";
  const fs::path json = folder_ / "a.json";
  WholeFileWriter csvFile(csv.string());
  WholeFileWriter jsonFile(json.string());
  csvFile.write("rows");
  jsonFile.write("sidecar");
  commitTogether({&jsonFile, &csvFile});
  EXPECT_EQ(contents(csv), "rows");
  EXPECT_EQ(contents(json), "sidecar");
  EXPECT_TRUE(others({"a.csv", "a.json"}).empty());
}

// When the second of a pair cannot be put in place, the first is taken back:
// no new sidecar stays beside an old CSV.
TEST_F(WholeFileTest, APairWhoseSecondFileFailsLeavesNoNewFirst) {
  const fs::path csv = folder_ / "a.csv";
  const fs::path json = folder_ / "a.json";
  std::ofstream(json) << "old sidecar";
  WholeFileWriter csvFile(csv.string());
  WholeFileWriter jsonFile(json.string());
  csvFile.write("rows");
  jsonFile.write("new sidecar");
  fs::create_directories(csv / "inside");
  EXPECT_THROW(commitTogether({&jsonFile, &csvFile}), FileWriteError);
  EXPECT_FALSE(fs::exists(json));
  EXPECT_TRUE(fs::is_directory(csv));
  EXPECT_TRUE(others({"a.csv"}).empty());
}

}  // namespace
}  // namespace trapezola
