#include "config/activity_log.h"

#include "config/ini_file.h"
#include "config/settings.h"
#include "log_lines.h"
#include "temp_home.h"

namespace sievo {
namespace {

class RecordingListener : public ActivityLogListener {
public:
    void OnActivity(const std::string& text, const std::string&, bool kept) override {
        activity.push_back({text, kept});
    }
    void OnError(std::uint16_t count, const std::string& message) override {
        errorCount = count;
        lastError = message;
    }
    void OnCleared() override {}

    std::vector<std::pair<std::string, bool>> activity;  // each text, and whether it was kept
    std::uint16_t errorCount = 0;
    std::string lastError;
};

class ActivityLogTest : public testing::TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        log.AddListener(&listener);
        log.SetEarlyErrorDisplay([this](const std::string& text) { shown.push_back(text); });
    }

    std::vector<std::string> shown;  // errors shown while the log is not open
    RecordingListener listener;
    ActivityLogModel log;
};

TEST_F(ActivityLogTest, ErrorsAreCountedAndShownOnlyBeforeTheLogIsOpen) {
    log.Log("early line", false, nullptr);
    log.Error("Cannot move file x");
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_TRUE(listener.activity.empty());
    EXPECT_EQ(log.ErrorCount(), 1);
    log.Open();
    log.Error("boom");
    EXPECT_EQ(shown, std::vector<std::string>{"Cannot move file x"});
    EXPECT_EQ(testing::WithoutStamp(log.Lines()[0]), "-SV_ERROR-boom");
    EXPECT_EQ(listener.lastError, "boom");
    EXPECT_EQ(listener.errorCount, 2);
}

TEST_F(ActivityLogTest, DetailLinesAreKeptOnlyInVerboseModeButAlwaysReported) {
    log.Open();
    log.Log("detail one", true, nullptr);
    TIniFile(settings::SettingsPath()).WriteBool("LogFile", "Verbose", true);
    log.Log("detail two", true, nullptr);
    TIniFile(settings::SettingsPath()).WriteBool("LogFile", "Verbose", false);
    log.Log("normal", false, nullptr);

    ASSERT_EQ(log.Lines().size(), 2u);
    EXPECT_EQ(testing::WithoutStamp(log.Lines()[0]), "normal");  // newest first
    EXPECT_EQ(testing::WithoutStamp(log.Lines()[1]), "detail two");
    EXPECT_EQ(listener.activity,
              (decltype(listener.activity){
                  {"detail one", false}, {"detail two", true}, {"normal", true}}));
}

TEST_F(ActivityLogTest, OnlyTheNewestLinesAreKeptAcrossARestart) {
    const std::size_t limit = ActivityLogModel::kMaxLines;
    std::string file;
    for (std::size_t n = limit + 2; n > 0; --n)  // newest first, as the file is written
        file += "stamp -- line " + std::to_string(n) + "\r\n";
    WriteFile("logfile.txt", file);
    log.Open();
    ASSERT_EQ(log.Lines().size(), limit);
    EXPECT_EQ(log.Lines().front(), "stamp -- line " + std::to_string(limit + 2));
    log.Log("newest", false, nullptr);
    ASSERT_EQ(log.Lines().size(), limit);
    EXPECT_EQ(testing::WithoutStamp(log.Lines().front()), "newest");
    EXPECT_EQ(log.Lines().back(), "stamp -- line 4");
    log.Save();
    EXPECT_TRUE(ReadFile("logfile.txt").ends_with("\r\nstamp -- line 4\r\n"));
}

}  // namespace
}  // namespace sievo
