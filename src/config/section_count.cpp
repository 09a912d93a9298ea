#include "config/section_count.h"

#include <algorithm>
#include <map>
#include <utility>

#include "config/activity_log.h"
#include "config/ini_file.h"

namespace sievo {

namespace {

// Counts are read for every message of a check; one line for each wrong state is enough.
void LogOverstatedCount(const std::string& fileName, const SectionCount& count, int stated,
                        int highest) {
    static std::map<std::string, std::pair<int, int>> logged;
    const std::string what = fileName + "|" + count.key;
    if (stated <= highest) {
        logged.erase(what);
        return;
    }
    const auto state = std::make_pair(stated, highest);
    const auto [entry, added] = logged.try_emplace(what, state);
    if (!added && entry->second == state)
        return;
    entry->second = state;
    ActivityLog(fileName + ": " + count.key + "=" + std::to_string(stated) + " is more than the " +
                count.prefix + " sections the file holds; " + std::to_string(highest) +
                " are read.");
}

}  // namespace

int ReadSectionCount(const TIniFile& file, const SectionCount& count) {
    const IniSnapshot ini = file.Snapshot();
    const int stated = ini.ReadInteger(count.section, count.key, 0);
    const int highest = ini.HighestNumberedSection(count.prefix);
    LogOverstatedCount(file.FileName(), count, stated, highest);
    return std::min(stated, highest);
}

}  // namespace sievo
