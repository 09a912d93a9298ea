#pragma once

#include <QDateTime>
#include <string>

#include "config/section_count.h"

namespace sievo {

class IniSnapshot;

// [ENTRYCOUNT] NumEntries counts the accounts [USER1] to [USERn].
inline constexpr SectionCount kAccountCount{"ENTRYCOUNT", "NumEntries", "USER"};

// accounts.ini in the data folder.
std::string AccountsPath();

// "USER" + index: the section of account number index.
std::string AccountSection(int index);

// [ENTRYCOUNT] NumEntries: how many accounts there are, at most the last [USERn] present.
int AccountCount();

// The log-in password of an account section: the scrambled Password, else the plain
// ClearPassword a user may have written by hand.
std::string AccountPassword(const IniSnapshot& ini, const std::string& section);

// One mail account as read from its section of accounts.ini, built for one check.
class TSievoUser {
public:
    // Reads section "USER" + index; missing keys take their defaults, never fails on them.
    explicit TSievoUser(int index);

    bool Active = true;
    std::string POPUser;
    std::string Password;  // plain text
    std::string EMailAddr;
    std::string Method;   // upper case: "LAN", "MANUAL" or "RAS"
    std::string Service;  // upper case
    std::string SMTPAddress;
    std::string POPAddress;
    int Minutes = 10;
    std::string TempPath;  // the bin folder
    QDateTime NextDateTime;
    bool MailNotify = true;
    std::string CommandLine;
    std::string MailNotifyWAV;
    bool RunAfterManual = false;
    bool RunAfterAuto = false;
    int Index = 0;

    // Transport security per server: "NONE", "SSL" or "STARTTLS" (upper case).
    std::string POPSecurity;
    std::string SMTPSecurity;
    // True when the account names SMTPSecurity itself, not just by default: only then
    // may a "NONE" let the SMTP password travel without TLS.
    bool SMTPSecurityExplicit = false;
    // Log-in for the SMTP server; empty when the server takes mail without one.
    std::string SMTPUser;
    std::string SMTPPassword;  // plain text
};

}  // namespace sievo
