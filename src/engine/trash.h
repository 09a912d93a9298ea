#pragma once

#include <string>

namespace sievo {

// The user's Trash folder ($XDG_DATA_HOME/Trash, ~/.local/share/Trash by default).
std::string TrashFolder();

// Moves a file into the Trash with the information a file manager needs to restore it;
// returns the file's new path. Raises an error when the file cannot be moved.
std::string MoveToTrash(const std::string& path);

// Sends path to the Trash; a path ending in "*.*" or "*" stands for every file of its
// folder. Answers 0 when every file went, otherwise the number of files that could not.
int FLINTdeleteToBin(const std::string& path);

}  // namespace sievo
