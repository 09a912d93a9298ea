#pragma once

#include <string>

namespace sievo {

class TIniFile;

// Where a store of numbered sections keeps its count: [ENTRYCOUNT] NumEntries counts the
// sections [USER1] to [USERn].
struct SectionCount {
    const char* section;
    const char* key;
    const char* prefix;  // of the numbered sections
};

// The count as the file states it, but never more than the highest numbered section the
// file holds: a count that runs past them would have every missing entry read with its
// defaults, up to two thousand million of them. Such a count is logged once for each
// distinct pair of stated count and highest section.
int ReadSectionCount(const TIniFile& file, const SectionCount& count);

}  // namespace sievo
