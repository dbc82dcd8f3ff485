// The window's one fatal guard: a bounce whose hit names no arc 1..4 (a ball
// that was never launched and never hit anything). The engine reports it as a
// status; the window ends the program on it, on its own thread.
#pragma once

namespace trapezola {

// Writes "problem!" to standard output and ends the process with exit status 1.
[[noreturn]] void endOnBadArcIndex();

}  // namespace trapezola
