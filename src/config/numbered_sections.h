#pragma once

#include <functional>

#include "config/section_count.h"

namespace sievo {

class IniEdit;
class TIniFile;

// Deletes entry `index` of a store of numbered sections in one write: every later entry
// moves down one number with all of its keys, the last number is gone and the count drops
// by one. The count is read with `countDefault` when the file states none.
void DeleteNumberedSection(const TIniFile& file, const SectionCount& count, int index,
                           int countDefault);

// Adds an entry after the last one the readers of the store see (a stated count that runs
// past the sections is read as the highest section), so the number a window shows next and
// the number written agree. `write` fills the entry's fresh section; the count is raised in
// the same write. Answers the new entry's number.
int AppendNumberedSection(const TIniFile& file, const SectionCount& count,
                          const std::function<void(IniEdit&, int)>& write);

}  // namespace sievo
