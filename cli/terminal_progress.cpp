#include "cli/terminal_progress.h"

#include <unistd.h>

namespace trapezola::cli {

std::string clockText(double seconds) {
  const auto whole = static_cast<long long>(seconds + 0.5);
  char text[32];
  std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

TerminalProgress::TerminalProgress(std::FILE* err, const char* command, const char* unit)
    : err_(err), command_(command), unit_(unit), begin_(std::chrono::steady_clock::now()) {}

TerminalProgress::~TerminalProgress() {
  std::fputs("\r\033[K", err_);
  std::fflush(err_);
}

std::unique_ptr<TerminalProgress> TerminalProgress::onTerminal(std::FILE* err, const char* command,
                                                               const char* unit) {
  if (::isatty(::fileno(err)) == 0) return nullptr;
  return std::make_unique<TerminalProgress>(err, command, unit);
}

void TerminalProgress::progress(std::int64_t done, std::int64_t total) {
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin_).count();
  std::string left = "estimating";
  if (done > 0) {
    left = clockText(elapsed * static_cast<double>(total - done) / static_cast<double>(done)) + " left";
  }
  show(done, total, left);
}

void TerminalProgress::progress(std::int64_t done, std::int64_t total, std::int64_t bouncesDone) {
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin_).count();
  std::string rate = "estimating";
  if (done > 0 && elapsed > 0) {
    const double left = elapsed * static_cast<double>(total - done) / static_cast<double>(done);
    char text[64];
    std::snprintf(text, sizeof text, "%.3g bounces/s, ", static_cast<double>(bouncesDone) / elapsed);
    rate = text + clockText(left) + " left";
  }
  show(done, total, rate);
}

void TerminalProgress::show(std::int64_t done, std::int64_t total, const std::string& tail) {
  std::fprintf(err_, "\r\033[K%s: %lld of %lld %s, %s", command_, static_cast<long long>(done),
               static_cast<long long>(total), unit_, tail.c_str());
  std::fflush(err_);
}

}  // namespace trapezola::cli
