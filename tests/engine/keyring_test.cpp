#include <gmock/gmock.h>

#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <memory>

#include "config/ini_file.h"
#include "config/password.h"
#include "engine/keyring_vault.h"
#include "server_process.h"
#include "store/accounts_store.h"
#include "temp_home.h"

namespace sievo {
namespace {

// A private session bus (without activation, so nothing else starts on it) and a GNOME
// Keyring on it, unlocked with a password of its own or left locked.
class PrivateKeyring {
public:
    bool Start() {
        const QString config = dir_.filePath("bus.conf");
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return false;
        file.write(
            "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
            "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
            "<allow eavesdrop=\"true\"/><allow own=\"*\"/>"
            "</policy></busconfig>");
        file.close();
        if (!bus_.Start("dbus-daemon", {"--config-file=" + config, "--nofork", "--print-address"}))
            return false;
        const std::string address = bus_.WaitForOutputLine("unix:");
        if (address.empty())
            return false;
        qputenv("DBUS_SESSION_BUS_ADDRESS", QByteArray::fromStdString("unix:" + address));
        qputenv("XDG_DATA_HOME", dir_.filePath("data").toUtf8());
        qputenv("XDG_RUNTIME_DIR", dir_.path().toUtf8());
        return StartDaemon(true);
    }
    // The keyring's own process, stopped by its id; a new one finds the keyring file again.
    bool StartDaemon(bool unlocked) {
        daemon_.kill();
        daemon_.waitForFinished();
        QStringList arguments{"--foreground", "--components=secrets"};
        if (unlocked)
            arguments << "--unlock";
        daemon_.start("gnome-keyring-daemon", arguments);
        if (!daemon_.waitForStarted())
            return false;
        daemon_.write("test-password");
        daemon_.waitForBytesWritten();
        daemon_.closeWriteChannel();
        // Asked from outside, so this process makes no bus connection before a test forks.
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

PrivateKeyring* keyring = nullptr;

class KeyringTest : public testing::TempHomeTest {
protected:
    static void SetUpTestSuite() {
        keyring = new PrivateKeyring;
        started = keyring->Start();
    }
    static void TearDownTestSuite() { delete keyring; }
    void SetUp() override {
        ASSERT_TRUE(started) << "dbus-daemon and gnome-keyring-daemon must run for this test";
        TempHomeTest::SetUp();
        WriteFile("accounts.ini", "[ENTRYCOUNT]\nNumEntries=1\n[USER1]\nPOPUser=ann\nPOPAddress=" +
                                      Unique() + "\nPassword=" + PasswordToIni("pw in file") +
                                      "\nSMTPPassword=" + PasswordToIni("smtp in file") + "\n");
    }
    void TearDown() override {
        InstallPasswordVault(nullptr);
        TempHomeTest::TearDown();
    }
    // A server name of the test's own, so no test finds another's entries.
    static std::string Unique() {
        return ::testing::UnitTest::GetInstance()->current_test_info()->name() +
               std::string(".test");
    }
    std::string Key(const char* key) const {
        return TIniFile(PathOf("accounts.ini")).ReadString("USER1", key, "<none>");
    }

    static inline bool started = false;
};

// Dies as a killed program would: after the keyring has given back its last entry and
// before accounts.ini is written.
struct DyingVault : KeyringVault {
    int readsLeft;
    explicit DyingVault(int reads) : readsLeft(reads) {}
    std::optional<std::string> Read(const std::string& key) override {
        auto password = KeyringVault::Read(key);
        if (--readsLeft == 0)
            raise(SIGKILL);
        return password;
    }
};

// First, while this process has no bus connection of its own to carry into the child.
TEST_F(KeyringTest, AMoveKilledHalfWayLosesNothingAndTheNextStartFinishesIt) {
    const std::string before = ReadFile("accounts.ini");
    EXPECT_EXIT(
        {
            InstallPasswordVault(std::make_unique<DyingVault>(2));
            accounts::MovePasswordsToKeyring();
        },
        ::testing::KilledBySignal(SIGKILL), "");
    EXPECT_EQ(ReadFile("accounts.ini"), before);

    InstallDesktopKeyring();
    EXPECT_EQ(accounts::MovePasswordsToKeyring(), 1);
    EXPECT_EQ(Key("Password") + Key("SMTPPassword") + Key("PasswordStore"), "<none><none>KEYRING");
    const TSievoUser account = accounts::ForCheck(1);
    EXPECT_EQ(account.Password + "/" + account.SMTPPassword, "pw in file/smtp in file");
}

TEST_F(KeyringTest, ANewAccountsPasswordsLandInTheKeyringAndNotInTheFile) {
    InstallDesktopKeyring();
    StoredAccount account;
    account.popUser = "bob";
    account.popAddress = Unique();
    account.password = "bob's secret";
    accounts::Save(1, account);
    EXPECT_EQ(Key("Password") + Key("PasswordStore"), "<none>KEYRING");
    EXPECT_THAT(ReadFile("accounts.ini"), ::testing::Not(::testing::HasSubstr("secret")));
    QProcess lookup;
    lookup.start("secret-tool", {"lookup", "server", "sievomatic", "user",
                                 QString::fromStdString("bob@" + Unique())});
    lookup.waitForFinished();
    EXPECT_EQ(lookup.readAll().toStdString(), "bob's secret");
    EXPECT_EQ(accounts::ForCheck(1).Password, "bob's secret");
}

// Last: it leaves the keyring locked. A locked keyring that cannot ask counts as none,
// at once, and the passwords stay in the file.
TEST_F(KeyringTest, ALockedKeyringIsNoKeyring) {
    ASSERT_TRUE(keyring->StartDaemon(false));
    InstallDesktopKeyring();
    EXPECT_EQ(accounts::MovePasswordsToKeyring(), 0);
    EXPECT_EQ(Key("PasswordStore"), "<none>");
    EXPECT_EQ(accounts::ForCheck(1).Password, "pw in file");
}

}  // namespace
}  // namespace sievo
