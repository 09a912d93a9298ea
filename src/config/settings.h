#pragma once

#include <string>

// settings.ini. Its keys are the settings store's (store/settings_store.h), all but the
// activity log's switch, which the log in this layer reads itself.
namespace sievo::settings {

std::string SettingsPath();

inline constexpr char kLogSection[] = "LogFile";
inline constexpr char kVerboseKey[] = "Verbose";

// [LogFile] Verbose, default false; read anew within every step of judging.
bool VerboseLog();

}  // namespace sievo::settings
