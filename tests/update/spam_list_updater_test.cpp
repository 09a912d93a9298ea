#include "update/spam_list_updater.h"

#include "config/activity_log.h"
#include "config/date_time.h"
#include "config/errors.h"
#include "config/file_io.h"
#include "config/ini_file.h"
#include "http_server.h"
#include "log_lines.h"
#include "store/settings_store.h"
#include "temp_home.h"
#include "update/update_prompts.h"

namespace sievo {
namespace {

// Remembers what the update showed and asked, and answers as the test sets it up.
class RecordingPrompts : public UpdatePrompts {
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return answerYes;
    }
    void DefaultBeep() override { sounds.push_back("<beep>"); }
    void ShowTransferProgress() override {
        ++transferWindows;
        transferWindowOpen = true;
    }
    void SetTransferProgress(int, std::int64_t) override {}
    void CloseTransferProgress() override { transferWindowOpen = false; }

    std::vector<std::string> messages, questions, sounds;
    int transferWindows = 0;
    bool transferWindowOpen = false;
    bool answerYes = true;
};

class UpdaterTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        TheActivityLog().Open();
        ASSERT_TRUE(EnsureFolder(PathOf("site")));
        server = std::make_unique<testing::HttpServer>(PathOf("site"));
        ASSERT_NE(server->Port(), 0) << server->Error();
        Set("AUTOUPDATE", "UpdateURL", SiteURL("updates.ini"));
        WriteFile("sievo.lst", "old.example\n");
        WriteFile("site/list.txt", "new.example\n");
    }

    std::string SiteURL(const std::string& file) const {
        return "http://127.0.0.1:" + std::to_string(server->Port()) + "/" + file;
    }
    void Set(const char* section, const char* key, const std::string& value) const {
        TIniFile(settings::SettingsPath()).WriteString(section, key, value);
    }
    void Publish(const std::string& lastUpdate, const std::string& message = "",
                 const std::string& file = "list.txt") const {
        WriteFile("site/updates.ini", "[SPAMLIST]\r\nLastUpdate=" + lastUpdate +
                                          "\r\nDisplayMessage=" + message +
                                          "\r\nFileURL=" + SiteURL(file) + "\r\n");
    }
    static std::string Today() { return FormatCompactDate(QDate::currentDate()); }

    RecordingPrompts host;
    std::unique_ptr<testing::HttpServer> server;
    int connectionAnswer = 0;
    SpamListUpdater updater{host, [this] { return connectionAnswer; }};
};

TEST_F(UpdaterTest, ANewerListIsOfferedAndPutInPlaceOnlyOnYesAndOnlyOnce) {
    Publish(Today(), "Thanks for using Sievomatic");
    host.answerYes = false;  // what No keeps, the start-up tests show
    EXPECT_FALSE(updater.FBOOLGetUpdate("SPAMLIST"));
    EXPECT_TRUE(host.messages.empty());

    host.answerYes = true;
    EXPECT_TRUE(updater.FBOOLGetUpdate("SPAMLIST"));
    EXPECT_EQ(ReadFile("sievo.lst"), "new.example\n");
    EXPECT_EQ(ReadFile("spamlist.new"), "<missing>");
    EXPECT_EQ(host.questions.size(), 2u);
    EXPECT_EQ(host.messages,
              (std::vector<std::string>{"Update complete... to turn on/off Auto-Update click "
                                        "Options from the main screen.",
                                        "Thanks for using Sievomatic"}));
    EXPECT_EQ(settings::SpamListLastUpdate(), Today());
    EXPECT_EQ(settings::LastAutoUpdateDate(), Today());
    EXPECT_GE(host.transferWindows, 2);

    // A list of the very day of the last update is not offered again; its message is.
    EXPECT_FALSE(updater.FBOOLGetUpdate("SPAMLIST"));
    EXPECT_EQ(host.questions.size(), 2u);
    EXPECT_EQ(host.messages.size(), 3u);
}

TEST_F(UpdaterTest, AnErrorPageNeverReplacesTheList) {
    Publish("20260101", "", "missing.txt");
    EXPECT_THROW(updater.FBOOLGetUpdate("SPAMLIST"), Exception);
    EXPECT_EQ(host.messages, std::vector<std::string>{"UPDATER ERROR -- HTTP 404"});
    EXPECT_EQ(ReadFile("sievo.lst"), "old.example\n");
    EXPECT_EQ(ReadFile("spamlist.new"), "<missing>");
    EXPECT_EQ(settings::SpamListLastUpdate(), "");

    Set("AUTOUPDATE", "UpdateURL", SiteURL("no-descriptor.ini"));
    EXPECT_THROW(updater.FBOOLGetUpdate("SPAMLIST"), Exception);
    EXPECT_EQ(host.messages.back(), "UPDATER ERROR -- HTTP 404");

    // Offline, the transfer fails after its window opened but before anything connected.
    const int windows = host.transferWindows;
    Set("AUTOUPDATE", "UpdateURL", "http://127.0.0.1:no-port/updates.ini");
    EXPECT_THROW(updater.FBOOLGetUpdate("SPAMLIST"), Exception);
    EXPECT_EQ(host.transferWindows, windows + 1);
    EXPECT_FALSE(host.transferWindowOpen);
}

TEST_F(UpdaterTest, ADownloadedListReplacesTheOldOneOnlyWhenItHoldsAddresses) {
    const char* const kMissing = "<missing>";
    const struct {
        const char *waiting, *inUse;  // spamlist.new, sievo.lst before
        bool replaced;
        const char *waitingAfter, *inUseAfter;
    } cases[] = {
        {"new.example\n", kMissing, true, kMissing, "new.example\n"},
        {"new.example\n", "old.example\n", true, kMissing, "new.example\n"},
        {"", "old.example\n", false, "", "old.example\n"},
        {" \r\n\r\n", "old.example\n", false, " \r\n\r\n", "old.example\n"},
        {"", kMissing, true, kMissing, ""},
        {"", "\r\n", true, kMissing, ""},
        {kMissing, "old.example\n", false, kMissing, "old.example\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.waiting) + " over " + c.inUse);
        for (const auto& [name, bytes] :
             {std::pair{"spamlist.new", c.waiting}, std::pair{"sievo.lst", c.inUse}}) {
            std::remove(PathOf(name).c_str());
            if (bytes != kMissing)
                WriteFile(name, bytes);
        }
        const auto linesBefore = TheActivityLog().Lines().size();
        EXPECT_EQ(FBOOLDoUpdate(PathOf("spamlist.new"), PathOf("sievo.lst")), c.replaced);
        EXPECT_EQ(ReadFile("spamlist.new"), c.waitingAfter);
        EXPECT_EQ(ReadFile("sievo.lst"), c.inUseAfter);
        const bool keptAside = !c.replaced && c.waiting != kMissing;
        EXPECT_EQ(TheActivityLog().Lines().size(), linesBefore + (keptAside ? 1 : 0));
    }
}

TEST_F(UpdaterTest, AnEmptyDownloadIsReportedAndWaitsAside) {
    WriteFile("site/empty.txt", "");
    Publish("20260101", "", "empty.txt");
    EXPECT_TRUE(updater.FBOOLGetUpdate("SPAMLIST"));
    EXPECT_EQ(host.messages, std::vector<std::string>{
                                 EmptyListKeptText(PathOf("spamlist.new"), PathOf("sievo.lst"))});
}

TEST_F(UpdaterTest, NoConnectionEndsTheCheckQuietly) {
    Publish("20260101");
    connectionAnswer = -1;
    EXPECT_FALSE(updater.FBOOLGetUpdate("SPAMLIST"));
    EXPECT_EQ(settings::LastAutoUpdateDate(), Today());
    EXPECT_EQ(ReadFile("updates.ini"), "<missing>");
}

TEST_F(UpdaterTest, IncompleteProxySettingsBeepAndGoDirect) {
    Set("AUTOUPDATE", "UseProxy", "1");
    Set("AUTOUPDATE", "ProxyAddress", "proxy.example");
    Publish("19900101");
    EXPECT_FALSE(updater.FBOOLGetUpdate("SPAMLIST"));
    EXPECT_EQ(host.sounds, std::vector<std::string>{"<beep>"});
    EXPECT_EQ(testing::LatestLogText(), "The proxy settings are not correct");
}

TEST_F(UpdaterTest, TheAutomaticCheckIsDueAfterItsInterval) {
    const QDateTime now = QDateTime::currentDateTime();
    auto daysAgo = [](int days) { return FormatCompactDate(QDate::currentDate().addDays(-days)); };
    Set("AUTOUPDATE", "LastAutoUpdateDate", daysAgo(3));
    EXPECT_FALSE(AutoUpdateDue(now));  // switched off
    Set("AUTOUPDATE", "ENABLED", "1");
    EXPECT_TRUE(AutoUpdateDue(now));
    Set("AUTOUPDATE", "LastAutoUpdateDate", daysAgo(2));
    EXPECT_FALSE(AutoUpdateDue(now));
    Set("AUTOUPDATE", "AutoUpdateInterval", "0x1");
    EXPECT_TRUE(AutoUpdateDue(now));
    Set("AUTOUPDATE", "LastAutoUpdateDate", "2026-1-1");
    EXPECT_THROW(AutoUpdateDue(now), Exception);
}

}  // namespace
}  // namespace sievo
