#include "config/numbered_sections.h"

#include <algorithm>
#include <string>

#include "config/ini_file.h"

namespace sievo {

void DeleteNumberedSection(const TIniFile& file, const SectionCount& count, int index,
                           int countDefault) {
    const auto name = [&count](int number) { return count.prefix + std::to_string(number); };
    file.Edit([&](IniEdit& edit) {
        // A count below the entry deleted would leave the entries after it where they are.
        const int last = std::max(edit.ReadInteger(count.section, count.key, countDefault), index);
        edit.EraseSection(name(index));
        edit.WriteInteger(count.section, count.key, last - 1);
        for (int next = index + 1; next <= last; ++next)
            edit.RenameSection(name(next), name(next - 1));
    });
}

}  // namespace sievo
