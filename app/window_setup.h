// Start-up of the windows, shared by the program and the window tests.
#pragma once

#include "ui/toolkit/application.h"

namespace trapezola {

// Creates the three windows in their fixed order, Form1 (which becomes the main
// window), Form2 and Form3, all owned by the application. The shared state
// already holds its start values: every record is initialised statically,
// before any window exists.
void createWindows(toolkit::TApplication& application);

}  // namespace trapezola
