#pragma once

#include <string>
#include <vector>

namespace sievo {

// Where the files for a new data folder come from: the installed share/sievomatic/
// beside the executable's folder, else the source tree's data/ folder.
std::string DefaultFilesFolder();

// Copies every default file that the data folder lacks; files already there are kept.
// Returns the names copied.
std::vector<std::string> InstallDefaultFiles();

}  // namespace sievo
