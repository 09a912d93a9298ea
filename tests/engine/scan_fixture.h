#pragma once

#include <cstdlib>
#include <memory>

#include "config/account.h"
#include "config/activity_log.h"
#include "config/file_io.h"
#include "config/ini_file.h"
#include "config/settings.h"
#include "dovecot_server.h"
#include "engine/mail_engine.h"
#include "engine/trash.h"
#include "log_lines.h"
#include "mailbox_account.h"
#include "recording_sender.h"
#include "recording_user.h"
#include "store/accounts_store.h"
#include "temp_home.h"
#include "test_rules.h"

namespace sievo::testing {

// A mail of the test mailboxes: message n from `from` with `subject`.
inline std::string Mail(int n, const std::string& from, const std::string& subject) {
    return "From: " + from + "\r\nTo: sam@localhost\r\nSubject: " + subject + "\r\nMessage-ID: <" +
           std::to_string(n) + "@scan.test>\r\nDate: Mon, 7 Dec 2026 " +
           "10:00:00 +0000\r\n\r\nBody of message " + std::to_string(n) + "\r\n";
}

// An engine with a recording user and sender, a Dovecot mailbox for account 1 and a reply
// message named "Go away".
class ScanTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        setenv("XDG_DATA_HOME", (Home() + "xdg").c_str(), 1);
        TIniFile(settings::SettingsPath()).WriteBool("LogFile", "Verbose", true);
        TheActivityLog().Open();
        WriteFile("Go away.msg", "Subject: Not interested\r\n\r\nGo away\r\n");
        auto sender = std::make_unique<RecordingSender>();
        smtp = sender.get();
        engine = std::make_unique<MailEngine>(user.Interfaces(), std::move(sender));
        watch = std::make_unique<LogWatch>();
    }
    void TearDown() override {
        engine.reset();
        dovecot.reset();
        unsetenv("XDG_DATA_HOME");
        unsetenv("SIEVOMATIC_DRY_RUN");
        TempHomeTest::TearDown();
    }

    // Account 1 alone, its mailbox holding `messages`; answers them.
    std::vector<std::string> StartMailbox(const std::vector<std::string>& messages,
                                          bool imap = false) {
        DovecotServer::Options options{messages, "", ""};
        options.imap = imap;
        dovecot = std::make_unique<DovecotServer>(options);
        EXPECT_TRUE(dovecot->Started()) << dovecot->Error();
        UseAccount(imap ? dovecot->ImapAddress() : dovecot->PlainAddress(), imap);
        return messages;
    }
    void UseAccount(const std::string& address, bool imap) const {
        std::remove(AccountsPath().c_str());
        AppendMailboxAccount(address);
        if (imap) {
            Account("Protocol", "IMAP");
            Account("POPSecurity", "NONE");
        }
    }
    void Account(const char* key, const std::string& value, const char* user = "USER1") const {
        TIniFile(AccountsPath()).WriteString(user, key, value);
    }
    std::string AccountValue(const char* key) const {
        return TIniFile(AccountsPath()).ReadString("USER1", key, "<missing>");
    }

    void Scan(PassMode mode = PassMode::kUserStarted) {
        watch = std::make_unique<LogWatch>();
        TSievoUser account = accounts::ForCheck(1);
        engine->ScanMailbox(mode, account);
    }
    std::vector<std::string> Stored() {
        EXPECT_TRUE(dovecot->WaitForSessionsEnded(sessions += 1));
        return dovecot->StoredMessages();
    }
    std::string TrashFile(const std::string& name) const {
        return ReadWholeFile(TrashFolder() + "/files/" + name).value_or("<missing>");
    }

    RecordingUser user;
    RecordingSender* smtp = nullptr;
    std::unique_ptr<MailEngine> engine;
    std::unique_ptr<DovecotServer> dovecot;
    std::unique_ptr<LogWatch> watch;
    int sessions = 0;
};

}  // namespace sievo::testing
