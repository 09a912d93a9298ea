#include "ui/account_removal.h"

#include <string>

#include "config/account.h"
#include "config/ini_file.h"

namespace sievo {

namespace {

struct CopiedKey {
    const char* name;
    const char* defaultValue;
    // Keys of this program's own additions are copied only when present, so the moved
    // account keeps their defaults otherwise.
    bool onlyWhenPresent = false;
};

// In the order they are written. The security and SMTP log-in keys travel with the
// account too: left behind, a moved account would fall back to plain text.
constexpr CopiedKey kCopiedKeys[] = {
    {"Active", "1"},
    {"Method", ""},
    {"Service", ""},
    {"EMailAddr", ""},
    {"SMTPAddress", ""},
    {"POPAddress", ""},
    {"POPUser", ""},
    {"Password", ""},
    {"Minutes", "15"},
    {"MailNotify", "0"},
    {"MailNotifyWAV", ""},
    {"CommandLine", ""},
    {"RunAfterManual", "0"},
    {"RunAfterAuto", "0"},
    {"NextDateTime", ""},
    {"POPSecurity", "", true},
    {"SMTPSecurity", "", true},
    {"SMTPUser", "", true},
    {"SMTPPassword", "", true},
};

// Booleans and the interval are written as the numbers they read as.
std::string NormalisedValue(const IniSnapshot& ini, const std::string& section,
                            const CopiedKey& key) {
    const std::string name = key.name;
    if (name == "Active" || name == "MailNotify" || name == "RunAfterManual" ||
        name == "RunAfterAuto")
        return ini.ReadBool(section, name, key.defaultValue[0] == '1') ? "1" : "0";
    if (name == "Minutes")
        return std::to_string(ini.ReadInteger(section, name, 15));
    return ini.ReadString(section, name, key.defaultValue);
}

void MoveAccountDown(const TIniFile& file, int from) {
    const IniSnapshot ini = file.Snapshot();
    const std::string source = AccountSection(from);
    const std::string target = AccountSection(from - 1);
    // Nothing of the account that was there before may stay behind with the moved one.
    file.EraseSection(target);
    for (const CopiedKey& key : kCopiedKeys) {
        if (key.onlyWhenPresent && ini.ReadString(source, key.name, "").empty())
            continue;
        file.WriteString(target, key.name, NormalisedValue(ini, source, key));
    }
}

}  // namespace

void RemoveAccount(int number) {
    const TIniFile file(AccountsPath());
    const int count = file.ReadInteger("ENTRYCOUNT", "NumEntries", 1);
    file.EraseSection(AccountSection(number));
    file.WriteInteger("ENTRYCOUNT", "NumEntries", count - 1);
    for (int next = number + 1; next <= count; ++next)
        MoveAccountDown(file, next);
    if (number <= count)
        file.EraseSection(AccountSection(count));
}

}  // namespace sievo
