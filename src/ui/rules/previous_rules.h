#pragma once

#include <string>

namespace sievo {

// Where a previous version kept its rules.
std::string PreviousRulesPath();

// Offers to take over a previous version's rule file. operation: "Move" (rename, else
// copy), "Copy" or "Rename". Raises "Cannot move file <old>" when the file cannot be
// taken over.
void PROCMovePreviousRules(const std::string& operation, const std::string& oldPath,
                           const std::string& newPath);

}  // namespace sievo
