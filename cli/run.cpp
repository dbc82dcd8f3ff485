#include "cli/run.h"

#include <cstring>
#include <exception>
#include <new>
#include <string>

#include "cli/arguments.h"
#include "cli/commands.h"
#include "core/jobs/parallel_for.h"

namespace trapezola::cli {

namespace {

constexpr const char* usage =
    "usage: trapezola-cli COMMAND [OPTIONS]\n"
    "\n"
    "Computes billiard orbits in the circular trapezoid without a window.\n"
    "\n"
    "commands:\n"
    "  table    the table's geometry as JSON\n"
    "  orbit    the bounces of one orbit as CSV\n"
#ifdef TRAPEZOLA_CLI_RENDER
    "  render   the phase portrait of a fresh run as a picture\n"
    "  portrait the phase portrait of many orbits, one colour each, on every core\n"
#endif
#ifdef TRAPEZOLA_CLI_ANALYSE
    "  analyse  period, monodromy and lg(Tr) series of one phase point, as JSON\n"
    "  periodic a periodic orbit by Newton from a guess, or the Birkhoff catalogue\n"
    "  continue one periodic orbit followed along b or R8/R, with its bifurcations\n"
#endif
#ifdef TRAPEZOLA_CLI_ATLAS
    "  atlas    how chaotic each table of a (b, R8/R) grid is, as CSV, on every\n"
    "           core or as one shard of a cluster run\n"
    "  atlas-merge  joins atlas shards into the file of a single run\n"
#endif
#if defined(TRAPEZOLA_CLI_ATLAS) && defined(TRAPEZOLA_CLI_RENDER)
    "  atlas-plot   the heat map of one atlas column as a picture\n"
#endif
    "\n"
    "'trapezola-cli COMMAND --help' describes each command's options;\n"
    "'trapezola-cli --version' prints the version. Options are written\n"
    "'--name value' or '--name=value', each at most once. Exit status: 0 done,\n"
    "1 a failure after the arguments were accepted (a write that failed, an orbit\n"
    "that left the table), 2 arguments refused.\n";

struct Command {
  const char* name;
  int (*run)(int, const char* const*, std::FILE*, std::FILE*);
};

constexpr Command commands[] = {
    {"table", tableCommand},          {"orbit", orbitCommand},
#ifdef TRAPEZOLA_CLI_RENDER
    {"render", renderCommand},        {"portrait", portraitCommand},
#endif
#ifdef TRAPEZOLA_CLI_ANALYSE
    {"analyse", analyseCommand},      {"periodic", periodicCommand},
    {"continue", continueCommand},
#endif
#ifdef TRAPEZOLA_CLI_ATLAS
    {"atlas", atlasCommand},          {"atlas-merge", atlasMergeCommand},
#endif
#if defined(TRAPEZOLA_CLI_ATLAS) && defined(TRAPEZOLA_CLI_RENDER)
    {"atlas-plot", atlasPlotCommand},
#endif
};

// A command's output goes through stdio, whose failed writes (a full disk, a
// closed pipe) only set the stream's error flag: a run that looked successful
// but lost output ends with status 1 and says so.
int outputWritten(int status, std::FILE* out, std::FILE* err) {
  const bool flushed = std::fflush(out) == 0;
  if (flushed && !std::ferror(out)) return status;
  std::fputs("trapezola-cli: could not write the output\n", err);
  return status == 0 ? 1 : status;
}

}  // namespace

int runCli(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  // "trapezola-cli atlas", for the lines of failures that no command caught.
  std::string who = "trapezola-cli";
  try {
    if (argc < 2) {
      std::fputs(usage, err);
      return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
      std::fputs(usage, out);
      return outputWritten(0, out, err);
    }
    if (std::strcmp(argv[1], "--version") == 0) {
      std::fputs("trapezola-cli " TRAPEZOLA_VERSION "\n", out);
      return outputWritten(0, out, err);
    }
    for (const Command& c : commands) {
      if (std::strcmp(argv[1], c.name) != 0) continue;
      who += std::string(" ") + c.name;
      return outputWritten(c.run(argc, argv, out, err), out, err);
    }
    std::fprintf(err, "trapezola-cli: unknown command %s (try --help)\n", quoted(argv[1]).c_str());
    return 2;
  } catch (const UsageError& e) {
    std::fprintf(err, "%s\n", e.what());
    return 2;
  } catch (const ThreadStartError& e) {
    std::fprintf(err, "%s: %s: ask for fewer with --threads\n", who.c_str(), e.what());
    return 1;
  } catch (const std::bad_alloc&) {
    std::fprintf(err, "%s: the memory ran out: the system would give no more (ask for less: fewer cells, orbits or threads)\n",
                 who.c_str());
    return 1;
  } catch (const std::exception& e) {
    std::fprintf(err, "%s: %s\n", who.c_str(), e.what());
    return 1;
  }
}

}  // namespace trapezola::cli
