// The progress line that long commands (portrait, atlas) show while standard
// error is a terminal: one line, rewritten in place, erased when the run ends.
// It is the progress report of both the many-orbit portrait and the atlas.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "core/analysis/chaos_atlas.h"
#include "explorer/multi_orbit_portrait.h"

namespace trapezola::cli {

// A duration in seconds as "minutes:seconds" (rounded).
std::string clockText(double seconds);

class TerminalProgress final : public OrbitProgress, public AtlasProgress {
 public:
  // "COMMAND: DONE of TOTAL UNIT, ..."
  TerminalProgress(std::FILE* err, const char* command, const char* unit);
  ~TerminalProgress() override;

  // Done and total in bounces, and the time left.
  void progress(std::int64_t done, std::int64_t total) override;
  // Done and total in the command's unit (cells), with the rate in bounces per
  // second and the time left.
  void progress(std::int64_t done, std::int64_t total, std::int64_t bouncesDone) override;

  // A progress line on `err` when it is a terminal, otherwise none.
  static std::unique_ptr<TerminalProgress> onTerminal(std::FILE* err, const char* command, const char* unit);

 private:
  void show(std::int64_t done, std::int64_t total, const std::string& tail);
  std::FILE* err_;
  const char* command_;
  const char* unit_;
  std::chrono::steady_clock::time_point begin_;
};

}  // namespace trapezola::cli
