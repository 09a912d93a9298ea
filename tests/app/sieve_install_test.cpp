#include <algorithm>

#include "../engine/test_rules.h"
#include "config/ini_file.h"
#include "config/password.h"
#include "dovecot_server.h"
#include "engine/sieve_install.h"
#include "program_run.h"
#include "store/accounts_store.h"
#include "temp_home.h"
#include "test_certificates.h"

namespace sievo {
namespace {

using testing::DovecotServer;

// The messages, each with the verdict the rules below give it.
struct Mail {
    const char* fields;
    bool spam;
};
const Mail kMailbox[] = {
    {"From: a@x.test\r\nSubject: Big CASINO win", true},         // case ignored
    {"From: a@x.test\r\nSubject: Casino invoice", false},        // the last rule decides
    {"From: Pal <PAL@friends.test>\r\nSubject: casino", false},  // a friend's address
    {"From: boss@trusted.test\r\nSubject: casino", false},       // a friend's domain
    {"From: 12345@numbers.test\r\nSubject: hello", true},
    {"From: a12@numbers.test\r\nSubject: hello", false},
    {"From: Seller <Seller@Bulk.test>\r\nSubject: offer", true},  // a listed address
    {"From: x@spammers.test\r\nSubject: offer", true},            // a listed domain
    {"From: x@sub.spammers.test\r\nSubject: offer", false},
    {"From: News <n@letters.test>\r\nSubject: news\r\nX-Mailer: MassMailer 2.0", true},
    {"From: promo@shop.test\r\nSubject: Deals", true},
    {"From: Bob <bob@work.test>\r\nSubject: Meeting", false},
};
constexpr int kMails = int(std::size(kMailbox));

std::string MessageOf(int n) {
    return std::string(kMailbox[n].fields) + "\r\nTo: sam@example.org\r\nMessage-ID: <" +
           std::to_string(n) + ".sieve@example.org>\r\n\r\nBody\r\n";
}

bool Holds(const std::vector<std::string>& folder, int n) {
    return std::any_of(folder.begin(), folder.end(), [n](const std::string& text) {
        return text.find("<" + std::to_string(n) + ".sieve@") != std::string::npos;
    });
}

class SieveInstallTest : public testing::TlsServerTest {
protected:
    void SetUp() override {
        TlsServerTest::SetUp();
        std::vector<std::string> messages;
        for (int n = 0; n < kMails; ++n)
            messages.push_back(MessageOf(n));
        DovecotServer::Options options{messages, certificates().Path("server.pem"),
                                       certificates().Path("server.key")};
        options.sieve = true;
        dovecot = std::make_unique<DovecotServer>(options);
        ASSERT_TRUE(dovecot->Started()) << dovecot->Error();
        WriteAccount(1, {{"POPAddress", dovecot->PlainAddress()},
                         {"POPUser", DovecotServer::kUserName},
                         {"Password", PasswordToIni(DovecotServer::kPassword)},
                         {"POPSecurity", "STARTTLS"},
                         {"SieveServer", dovecot->SieveAddress()},
                         {"MailNotify", "0"}});
        TIniFile(PathOf("accounts.ini")).WriteInteger("ENTRYCOUNT", "NumEntries", 1);
        testing::AddRule({"SUBCONT", "casino"});
        testing::AddRule({"SUBCONT", "INVOICE", false});
        testing::AddRule({"FROMNUM", ""});
        testing::AddRule({"LIST", ""});
        testing::AddRule({"HEADER", "x-mailer: massmailer"});
        testing::AddRule({"FROM", "Promo@"});
        WriteFile("sievo.lst", "seller@bulk.test\r\nSPAMMERS.test\r\n");
        WriteFile("friends.lst", "pal@friends.test\r\ntrusted.test\r\n");
    }

    testing::ProgramRun Run(const QStringList& arguments) const {
        return testing::RunProgram(SIEVOMATIC_PROGRAM, arguments,
                                   {{"SIEVOMATIC_HOME", Home()}, {"XDG_DATA_HOME", PathOf("xdg")}});
    }

    std::unique_ptr<DovecotServer> dovecot;
};

// The program's check over POP3 and the server's own delivery with the installed script
// put every message on the same side.
TEST_F(SieveInstallTest, TheServerJudgesEveryMessageAsTheProgramDoes) {
    const auto check = Run({"--single-pass"});
    ASSERT_EQ(check.exitCode, 0) << check.output;
    ASSERT_TRUE(dovecot->WaitForSessionsEnded(1));
    const std::vector<std::string> keptByProgram = dovecot->StoredMessages();

    const auto exported = Run({"--export-sieve", QString::fromStdString(PathOf("rules.sieve"))});
    ASSERT_EQ(exported.exitCode, 0) << exported.output;
    {
        SieveInstallation installation(accounts::ForCheck(1));
        EXPECT_EQ(installation.ActiveScript(), std::nullopt);
        // The server has the regex extension, so its script is the command line's.
        EXPECT_EQ(installation.Script().text, ReadFile("rules.sieve"));
        installation.Install();
    }

    for (int n = 0; n < kMails; ++n)
        ASSERT_EQ(dovecot->DeliverThroughAgent(MessageOf(n)), "0 ") << n;
    const std::vector<std::string> junk = dovecot->StoredMessages("Junk");
    for (int n = 0; n < kMails; ++n) {
        SCOPED_TRACE(kMailbox[n].fields);
        EXPECT_EQ(!Holds(keptByProgram, n), kMailbox[n].spam) << "by the program";
        EXPECT_EQ(Holds(junk, n), kMailbox[n].spam) << "by the server";
    }
    EXPECT_EQ(dovecot->StoredMessages().size(), keptByProgram.size() * 2);
}

}  // namespace
}  // namespace sievo
