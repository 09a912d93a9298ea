#pragma once

#include <string>
#include <vector>

namespace sievo {

// Lays into the data folder every default file it lacks (lists, sounds, help pages, the
// tell-a-friend message ...), from the copies compiled into the program, so a program
// copied anywhere starts with them. Files already there are kept. Returns the names laid in.
std::vector<std::string> InstallDefaultFiles();

}  // namespace sievo
