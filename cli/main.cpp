// trapezola-cli: the billiard core for scripts. Parses, calls the core, prints.
// Bad input gives one line on standard error and exit status 2.
#include <csignal>
#include <cstdio>

#include "cli/run.h"
#include "files/whole_file.h"

int main(int argc, char** argv) {
  // A closed pipe (a reader such as head that stops early) then fails the write
  // with EPIPE, which the tool reports with status 1, instead of killing the
  // process without a word.
  std::signal(SIGPIPE, SIG_IGN);
  // Before any other thread: SIGINT, SIGTERM and SIGHUP (Ctrl+C, Slurm's
  // pre-emption, a closed terminal) remove the temporary files of the writers
  // still open, then end the tool by the same signal.
  trapezola::watchTerminationSignals();
  return trapezola::cli::runCli(argc, argv, stdout, stderr);
}
