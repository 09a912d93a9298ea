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

int AppendNumberedSection(const TIniFile& file, const SectionCount& count,
                          const std::function<void(IniEdit&, int)>& write) {
    const int entry = ReadSectionCount(file, count) + 1;
    file.Edit([&](IniEdit& edit) {
        // A section past the stated count is one no reader sees; none of its keys may
        // become part of the new entry.
        const std::string section = count.prefix + std::to_string(entry);
        edit.EraseSection(section);
        write(edit, entry);
        edit.WriteInteger(count.section, count.key, entry);
    });
    return entry;
}

}  // namespace sievo
