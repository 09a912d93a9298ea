#pragma once

#include <string>
#include <vector>

namespace sievo {

// Whether the program runs with windows: a display is named (and SIEVOMATIC_HEADLESS is
// not 1), or SIEVOMATIC_HEADLESS=0 asks for windows on a platform without one.
bool WindowsWanted();

// The tray program. A later start hands its command line to the running program and
// ends; a single pass shows the status window, checks every account once and ends.
// Answers the exit status.
int RunWindowed(int& argc, char** argv);

}  // namespace sievo
