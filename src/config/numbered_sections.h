#pragma once

#include "config/section_count.h"

namespace sievo {

class TIniFile;

// Deletes entry `index` of a store of numbered sections in one write: every later entry
// moves down one number with all of its keys, the last number is gone and the count drops
// by one. The count is read with `countDefault` when the file states none.
void DeleteNumberedSection(const TIniFile& file, const SectionCount& count, int index,
                           int countDefault);

}  // namespace sievo
