#pragma once

#include <QDate>
#include <string>

#include "config/settings.h"

// settings.ini, read anew at every use so that a change takes effect at the next one.
namespace sievo::settings {

bool OpenedBefore();  // [Main] OpenedBefore, default false
void SetOpenedBefore(bool value);
bool AutoEnabled();  // [Main] AutoEnabled, default false
void SetAutoEnabled(bool value);

bool AutoUpdateEnabled();          // [AUTOUPDATE] ENABLED, default false
int AutoUpdateInterval();          // [AUTOUPDATE] AutoUpdateInterval, days, default 3
std::string LastAutoUpdateDate();  // [AUTOUPDATE] LastAutoUpdateDate, default "19900101"
void SetLastAutoUpdateDate(const QDate& day);
bool UseProxy();             // [AUTOUPDATE] UseProxy, default false
std::string ProxyAddress();  // [AUTOUPDATE] ProxyAddress, default empty
std::string ProxyPort();     // [AUTOUPDATE] ProxyPort, the text typed, default empty

// [AUTOUPDATE] UpdateURL: where the update descriptor is fetched; empty for the maker's.
std::string UpdateURL();

std::string SpamListLastUpdate();  // [UPDATES] SpamListLastUpdate, default empty
void SetSpamListLastUpdate(const QDate& day);

bool SoundsDisabled();             // [Sounds] Disbable (sic), default false
std::string BrowserCommandLine();  // [Browser] CommandLine, default empty

// What the Options window edits.
struct ProgramOptions {
    bool verboseLog = false;
    bool soundsDisabled = false;
    std::string browserCommandLine;
    bool autoUpdate = false;
    bool useProxy = false;
    std::string proxyAddress;
    // Read as a number, as the window shows it; written as typed, as the updater reads it.
    std::string proxyPort = "0";

    bool operator==(const ProgramOptions&) const = default;
};

ProgramOptions LoadOptions();
// One write: a refused one raises "Unable to write to <file>" and changes nothing. A proxy
// switched off keeps its address and port for the next time it is switched on.
void SaveOptions(const ProgramOptions& options);

}  // namespace sievo::settings
