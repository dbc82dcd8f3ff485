// trapezola-cli: the billiard core for scripts. Parses, calls the core, prints.
// Bad input gives one line on standard error and exit status 2.
#include <cstdio>
#include <cstring>
#include <exception>

#include "cli/arguments.h"
#include "cli/commands.h"

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
    "  analyse  period, monodromy and lg(Tr) series of one phase point, as JSON\n"
#endif
    "\n"
    "'trapezola-cli COMMAND --help' describes each command's options.\n";

struct Command {
  const char* name;
  int (*run)(int, const char* const*);
};

constexpr Command commands[] = {
    {"table", trapezola::cli::tableCommand},
    {"orbit", trapezola::cli::orbitCommand},
#ifdef TRAPEZOLA_CLI_RENDER
    {"render", trapezola::cli::renderCommand},
    {"analyse", trapezola::cli::analyseCommand},
#endif
};

}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc < 2) {
      std::fputs(usage, stderr);
      return 2;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
      std::fputs(usage, stdout);
      return 0;
    }
    for (const Command& c : commands) {
      if (std::strcmp(argv[1], c.name) == 0) return c.run(argc, argv);
    }
    std::fprintf(stderr, "trapezola-cli: unknown command '%s' (try --help)\n", argv[1]);
    return 2;
  } catch (const trapezola::cli::UsageError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 2;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "trapezola-cli: %s\n", e.what());
    return 1;
  }
}
