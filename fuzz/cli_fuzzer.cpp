// A whole trapezola-cli run (table, orbit, --help and the dispatch) with argv
// split from the input at its zero bytes, so that arguments may hold any other
// byte, newlines included. Both streams are written to memory. Property: exit
// status 0 with output and nothing on standard error; exit status 1 (an orbit
// that left the table) with whole lines of output and exactly one line on
// standard error; or exit status 2 with exactly one line on standard error and
// nothing on standard output. The one exception is a call without any
// argument, which prints the usage on standard error.
//
// Runs with --bounces above a few thousand are skipped here to keep every input
// fast; the tool itself accepts any count.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/run.h"
#include "fuzz/fuzz_check.h"

namespace {

constexpr std::int64_t maxBounces = 5000;
constexpr std::size_t maxArguments = 64;

// A text the tool may read as a bounce count above maxBounces, given as
// "--bounces N" or "--bounces=N".
bool tooManyBounces(const std::vector<std::string>& args) {
  const std::string joined = "--bounces=";
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string t;
    if (args[i] == "--bounces" && i + 1 < args.size()) {
      t = args[i + 1];
    } else if (args[i].rfind(joined, 0) == 0) {
      t = args[i].substr(joined.size());
    } else {
      continue;
    }
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
    if (ec == std::errc::result_out_of_range || (ec == std::errc() && n > maxBounces)) return true;
  }
  return false;
}

// Standard output or error of one run, captured in memory.
class MemoryStream {
 public:
  MemoryStream() : file_(open_memstream(&buffer_, &size_)) {
    if (file_ == nullptr) std::abort();
  }
  ~MemoryStream() {
    if (file_ != nullptr) std::fclose(file_);
    std::free(buffer_);
  }
  std::FILE* file() { return file_; }
  std::string text() {
    std::fflush(file_);
    return std::string(buffer_, size_);
  }

 private:
  char* buffer_ = nullptr;
  std::size_t size_ = 0;
  std::FILE* file_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using trapezola::fuzz::check;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> args;
  if (!input.empty()) {
    std::size_t start = 0;
    while (true) {
      const std::size_t stop = input.find('\0', start);
      args.emplace_back(
          input.substr(start, stop == std::string_view::npos ? std::string_view::npos : stop - start));
      if (stop == std::string_view::npos) break;
      start = stop + 1;
    }
  }
  if (args.size() > maxArguments || tooManyBounces(args)) return 0;

  std::vector<const char*> argv{"trapezola-cli"};
  for (const std::string& a : args) argv.push_back(a.c_str());
  argv.push_back(nullptr);
  const int argc = static_cast<int>(argv.size()) - 1;

  MemoryStream out, err;
  const int status = trapezola::cli::runCli(argc, argv.data(), out.file(), err.file());
  const std::string outText = out.text();
  const std::string errText = err.text();

  if (argc < 2) {
    check(status == 2 && outText.empty() && errText.rfind("usage: ", 0) == 0, "no argument prints the usage",
          errText);
    return 0;
  }
  if (status == 0) {
    check(errText.empty(), "a successful run writes nothing on standard error", errText);
    check(!outText.empty() && outText.back() == '\n', "a successful run writes whole lines", outText);
    return 0;
  }
  const bool oneErrorLine = !errText.empty() && errText.find('\n') == errText.size() - 1;
  if (status == 1) {
    check(oneErrorLine && errText.find("left the table") != std::string::npos,
          "a run that fails after its arguments writes one line saying why", errText);
    check(!outText.empty() && outText.back() == '\n', "a failed run's output is whole lines", outText);
    return 0;
  }
  check(status == 2, "a run ends with status 0, 1 or 2", errText);
  check(outText.empty(), "a refused run writes nothing on standard output", outText);
  check(oneErrorLine, "a refused run writes exactly one line on standard error", errText);
  return 0;
}
