#pragma once

#include <QDateTime>
#include <string>

namespace sievo {

// accounts.ini in the data folder.
std::string AccountsPath();

// One mail account as a check uses it: built from the accounts store for one check (the
// store's accounts::ForCheck) and dropped after it.
class TSievoUser {
public:
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

    // How the incoming server is read: "POP3" or "IMAP" (upper case).
    std::string Protocol = "POP3";
    // IMAP only: the folder judged, where a condemned message goes (empty: the folder the
    // server marks as junk, else "Junk"), and whether it is deleted for good instead.
    std::string IMAPFolder = "INBOX";
    std::string SpamFolder;
    bool ExpungeSpam = false;

    // Transport security per server: "NONE", "SSL" or "STARTTLS" (upper case).
    std::string POPSecurity;
    std::string SMTPSecurity;
    // True when the account names POPSecurity itself: only then may a "NONE" let an IMAP
    // password travel without TLS.
    bool POPSecurityExplicit = false;
    // True when the account names SMTPSecurity itself, not just by default: only then
    // may a "NONE" let the SMTP password travel without TLS.
    bool SMTPSecurityExplicit = false;
    // Log-in for the SMTP server; empty when the server takes mail without one.
    std::string SMTPUser;
    std::string SMTPPassword;  // plain text

    // The name the user's own server writes first in its Authentication-Results fields;
    // when set, only a field of that server is trusted. Empty: the topmost field.
    std::string AuthServId;
    // The ManageSieve server when it is not the incoming server's host on port 4190.
    std::string SieveServer;
};

}  // namespace sievo
