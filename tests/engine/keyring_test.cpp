#include <gmock/gmock.h>

#include <QProcess>
#include <QTemporaryDir>
#include <csignal>

#include "config/file_io.h"
#include "config/password.h"
#include "engine/keyring_vault.h"
#include "server_process.h"
#include "store/accounts_store.h"
#include "temp_home.h"

namespace sievo {
namespace {

// A private session bus (without activation, so nothing else starts on it) and a GNOME
// Keyring on it, unlocked with a password of its own.
class PrivateKeyring {
public:
    bool Start() {
        const QString config = dir_.filePath("bus.conf");
        WriteFileAtomically(
            config.toStdString(),
            "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
            "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
            "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>");
        bus_.Start("dbus-daemon", {"--config-file=" + config, "--nofork", "--print-address"});
        qputenv("DBUS_SESSION_BUS_ADDRESS",
                "unix:" + QByteArray::fromStdString(bus_.WaitForOutputLine("unix:")));
        qputenv("XDG_DATA_HOME", dir_.filePath("data").toUtf8());
        qputenv("XDG_RUNTIME_DIR", dir_.path().toUtf8());
        daemon_.start("gnome-keyring-daemon", {"--foreground", "--components=secrets", "--unlock"});
        daemon_.waitForStarted();
        daemon_.write("test-password");
        daemon_.waitForBytesWritten();
        daemon_.closeWriteChannel();
        // Asked from outside: this process makes no bus connection before the test forks.
        return QProcess::execute("gdbus", {"wait", "--session", "--timeout", "20",
                                           "org.freedesktop.secrets"}) == 0;
    }
    ~PrivateKeyring() {
        daemon_.kill();
        daemon_.waitForFinished();
    }

private:
    QTemporaryDir dir_;
    testing::ServerProcess bus_;
    QProcess daemon_;
};

// Dies as a killed program would: after the keyring has given back its last entry and
// before accounts.ini is written.
struct DyingVault : KeyringVault {
    int readsLeft = 2;
    std::optional<std::string> Read(const std::string& key) override {
        auto password = KeyringVault::Read(key);
        if (--readsLeft == 0)
            raise(SIGKILL);
        return password;
    }
};

using KeyringTest = testing::TempHomeTest;

TEST_F(KeyringTest, PasswordsMoveInEvenAfterAKillANewAccountsGoThereAndALockedKeyringIsNone) {
    PrivateKeyring keyring;
    ASSERT_TRUE(keyring.Start()) << "dbus-daemon and gnome-keyring-daemon must run here";
    WriteFile("accounts.ini",
              "[ENTRYCOUNT]\nNumEntries=1\n[USER1]\nPOPUser=ann\nPOPAddress=p\n"
              "Password=" +
                  PasswordToIni("pw in file") + "\nSMTPPassword=" + PasswordToIni("smtp in file") +
                  "\n");
    const std::string before = ReadFile("accounts.ini");
    EXPECT_EXIT(
        {
            InstallPasswordVault(std::make_unique<DyingVault>());
            accounts::MovePasswordsToKeyring();
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(ReadFile("accounts.ini"), before);
    InstallDesktopKeyring();
    EXPECT_EQ(accounts::MovePasswordsToKeyring(), 1);
    const TSievoUser moved = accounts::ForCheck(1);
    EXPECT_EQ(moved.Password + "/" + moved.SMTPPassword, "pw in file/smtp in file");

    StoredAccount bob;
    bob.popUser = "bob";
    bob.popAddress = "p";
    bob.password = "bob's secret";
    accounts::Append(bob);
    EXPECT_THAT(ReadFile("accounts.ini"), ::testing::Not(::testing::HasSubstr("Password=")));
    QProcess lookup;  // seen from outside, as any program of the desktop sees it
    lookup.start("secret-tool", {"lookup", "server", "sievomatic", "user", "bob@p"});
    lookup.waitForFinished();
    EXPECT_EQ(lookup.readAll().toStdString(), "bob's secret");

    // Locked while the program runs, it counts as none from then on, at once and without an
    // unlock prompt: its accounts are not checked.
    ASSERT_EQ(QProcess::execute("gdbus", {"call", "--session", "--dest", "org.freedesktop.secrets",
                                          "--object-path", "/org/freedesktop/secrets", "--method",
                                          "org.freedesktop.Secret.Service.Lock",
                                          "['/org/freedesktop/secrets/aliases/default']"}),
              0);
    EXPECT_THAT([] { accounts::ForCheck(2); }, ::testing::ThrowsMessage<std::exception>(
                                                   ::testing::HasSubstr("cannot be reached")));
    InstallPasswordVault(nullptr);
}

}  // namespace
}  // namespace sievo
