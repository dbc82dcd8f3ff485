// One whole run of trapezola-cli: picks the subcommand from argv[1], runs it
// and turns every refusal into one line on `err` and exit status 2. Results go
// to `out`; main passes the standard streams.
#pragma once

#include <cstdio>

namespace trapezola::cli {

// Exit status 0 on success, 2 on bad input (nothing written to `out`), 1 on any
// other failure.
int runCli(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace trapezola::cli
