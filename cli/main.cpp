// trapezola-cli: the billiard core for scripts. Parses, calls the core, prints.
// Bad input gives one line on standard error and exit status 2.
#include <cstdio>

#include "cli/run.h"

int main(int argc, char** argv) {
  return trapezola::cli::runCli(argc, argv, stdout, stderr);
}
