#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sievo {

// The whole file, or nothing when it is missing or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Replaces the file by way of a temporary file in the same folder and a rename, so a crash
// or a full disk leaves either the old or the new file, never half of one.
// A new file is readable by its owner alone; a replaced one keeps its mode.
// False when the system refuses; the old file is then untouched.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

// Creates the folder and its missing parents; false when that fails.
bool EnsureFolder(const std::string& path);

}  // namespace sievo
