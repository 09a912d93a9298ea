#pragma once

#include <string>

namespace sievo {

// The folder that holds every data file, with a trailing "/": SIEVOMATIC_HOME when set,
// else the executable's folder when it already holds settings.ini (a portable copy), else
// $XDG_DATA_HOME/sievomatic/ (~/.local/share/sievomatic/ by default). Created if missing.
std::string ProgramFolder();

// ProgramFolder() + name.
std::string ProgramFile(const std::string& name);

// The bin folder for messages kept for the Trash, created with missing parents.
std::string EnsureTempFolder();

}  // namespace sievo
