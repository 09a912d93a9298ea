#include "engine/data_files_check.h"

#include <string>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/errors.h"
#include "config/ini_file.h"
#include "config/settings.h"
#include "store/rule_store.h"

namespace sievo {

bool DataFilesUsable() {
    static std::string reported;
    try {
        for (const auto& path : {settings::SettingsPath(), AccountsPath(), rule_store::Path()})
            TIniFile(path).Snapshot();
        reported.clear();
        return true;
    } catch (const Exception& error) {
        if (reported != error.what())
            AppException(error);
        reported = error.what();
        return false;
    }
}

}  // namespace sievo
