#pragma once

#include <string>

namespace sievo {

// The folder that holds every data file, with a trailing "/": SIEVOMATIC_HOME when set,
// else the executable's folder when it already holds settings.ini (a portable copy), else
// $XDG_DATA_HOME/sievomatic/ (~/.local/share/sievomatic/ by default). Created if missing,
// for its owner alone (0700).
std::string ProgramFolder();

// Takes the group's and others' access away from the data folder and accounts.ini where
// they have any. Answers a line for the log when it changed something or could not, else
// an empty text.
std::string TightenProgramFolder();

// ProgramFolder() + name.
std::string ProgramFile(const std::string& name);

// The bin folder for messages kept for the Trash, created with missing parents.
std::string EnsureTempFolder();

}  // namespace sievo
