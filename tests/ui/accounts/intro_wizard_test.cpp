#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTcpServer>
#include <QTimer>

#include "dovecot_server.h"
#include "modal_action.h"
#include "server_process.h"
#include "store/accounts_store.h"
#include "store/settings_store.h"
#include "test_certificates.h"
#include "ui/accounts/intro_wizard.h"
#include "ui_fixture.h"

namespace sievo::testing {
namespace {

class IntroWizardTest : public MainWindowTest {
protected:
    AccountContext context;
};

TEST_F(IntroWizardTest, FinishingAfterTwoAccountsWritesTheThird) {
    accounts::Append({});
    accounts::Append({});
    ModalAction walk("frmIntro", [](QWidget& window) {
        auto& wizard = static_cast<TfrmIntro&>(window);
        // Nothing listens on these ports, so the security check ends at once.
        FillInMailbox(wizard, {FreePort(), FreePort(), FreePort(), FreePort()},
                      "three@example.test", "pass word");
        wizard.next();
        wizard.findChild<QRadioButton*>("optRAS")->setChecked(true);  // no entries exist
        wizard.next();
        wizard.findChild<QSlider*>("trkInterval")->setValue(90);
        EXPECT_EQ(wizard.findChild<QLabel*>("lblInterval")->text(), "Every 1 Hours");
        wizard.button(QWizard::FinishButton)->click();
    });
    Main().Menu().accounts->trigger();
    QWidget* window = TopLevel("frmAccounts");
    ASSERT_NE(window, nullptr);
    window->findChild<QPushButton*>("btnAdd")->click();

    ASSERT_TRUE(walk.Done());
    EXPECT_EQ(accounts::Count(), 3);
    StoredAccount expected;  // POPSecurity NONE: finished before the check had run
    expected.method = "RAS";
    expected.service = "";
    expected.emailAddr = "three@example.test";
    expected.smtpAddress = expected.popAddress = "127.0.0.1";
    expected.popUser = "three";
    expected.password = "pass word";
    expected.minutes = 90;
    EXPECT_EQ(accounts::Load(3), expected);
    EXPECT_TRUE(settings::OpenedBefore());
}

// The server offers what the check should find: IMAPS only or IMAP with STARTTLS only
// (beside POP3S, which comes later), POP3S, STLS only, or IMAP and POP3 without TLS.
struct ProbeCase {
    SecurityProbe::Outcome outcome;
    const char* protocol;
    const char* security;
    const char* saying;
};

class SecurityProbeTest : public IntroWizardTest, public ::testing::WithParamInterface<ProbeCase> {
    TrustedTestCa trust;
};

// A port the server listens on, or one where nothing does.
std::uint16_t OrFree(std::uint16_t port) {
    return port != 0 ? port : FreePort();
}

TEST_P(SecurityProbeTest, ChoosesTheFirstSecurityThatWorks) {
    using Outcome = SecurityProbe::Outcome;
    const ProbeCase& row = GetParam();
    DovecotServer::Options options;
    if (row.outcome != Outcome::None) {
        options.certificateFile = SharedTestCertificates().Path("server.pem");
        options.keyFile = SharedTestCertificates().Path("server.key");
    }
    options.imap = row.outcome != Outcome::Ssl && row.outcome != Outcome::StartTls;
    options.imapPlain = row.outcome != Outcome::ImapSsl;
    options.imapSsl = row.outcome != Outcome::ImapStartTls;
    DovecotServer dovecot(options);
    ASSERT_TRUE(dovecot.Started()) << dovecot.Error();
    // Without POP3S the check finds nothing listening on the secure port.
    const std::uint16_t ssl = row.outcome == Outcome::StartTls || row.outcome == Outcome::None
                                  ? FreePort()
                                  : dovecot.TlsPort();

    TfrmIntro wizard(context);
    wizard.show();
    FillInMailbox(
        wizard,
        {OrFree(dovecot.ImapTlsPort()), OrFree(dovecot.ImapPort()), ssl, dovecot.PlainPort()},
        "sam@example.test", DovecotServer::kPassword);
    EXPECT_EQ(wizard.currentId(), 2);  // the window moved on at once
    ASSERT_TRUE(WaitUntil([&] { return wizard.ProbeOutcome().has_value(); }, 60000));
    EXPECT_EQ(*wizard.ProbeOutcome(), row.outcome);
    EXPECT_TRUE(wizard.findChild<QLabel*>("lblProbe")->text().contains(row.saying))
        << wizard.findChild<QLabel*>("lblProbe")->text().toStdString();

    wizard.accept();
    EXPECT_EQ(accounts::Load(1).protocol.value_or("POP3"), row.protocol);
    EXPECT_EQ(accounts::Load(1).popSecurity.value_or("NONE"), row.security);
}

INSTANTIATE_TEST_SUITE_P(
    Servers, SecurityProbeTest,
    ::testing::Values(ProbeCase{SecurityProbe::Outcome::ImapSsl, "IMAP", "SSL",
                                "IMAP over a secure connection "
                                "(SSL/TLS on port"},
                      ProbeCase{SecurityProbe::Outcome::ImapStartTls, "IMAP", "STARTTLS",
                                "IMAP over a secure connection (STARTTLS on"},
                      ProbeCase{SecurityProbe::Outcome::Ssl, "POP3", "SSL", "SSL/TLS on port"},
                      ProbeCase{SecurityProbe::Outcome::StartTls, "POP3", "STARTTLS",
                                "STARTTLS on"},
                      ProbeCase{SecurityProbe::Outcome::None, "POP3", "NONE",
                                "WARNING: 127.0.0.1 offers no secure connection"}));

TEST_F(IntroWizardTest, TheCheckCanBeSkipped) {
    TfrmIntro wizard(context);
    // A server that accepts and then says nothing would hold the check for its time-out.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    wizard.show();
    const std::uint16_t port = silent.serverPort();
    FillInMailbox(wizard, {port, port, port, port}, "sam@example.test", "x");
    // The check runs in the window's event loop, so the click comes from there too.
    auto* skip = wizard.findChild<QPushButton*>("btnSkipProbe");
    bool skipShown = false;
    QTimer::singleShot(300, skip, [&] {
        skipShown = skip->isVisible();
        skip->click();
    });
    ASSERT_TRUE(WaitUntil([&] { return wizard.ProbeOutcome().has_value(); }, 5000));
    EXPECT_TRUE(skipShown);
    EXPECT_EQ(*wizard.ProbeOutcome(), SecurityProbe::Outcome::Canceled);
    EXPECT_TRUE(wizard.findChild<QLabel*>("lblProbe")->text().startsWith("The check was skipped"));
    wizard.reject();
}

}  // namespace
}  // namespace sievo::testing
