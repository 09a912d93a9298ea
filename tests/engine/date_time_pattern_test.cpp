#include "engine/date_time_pattern.h"

#include <QLocale>

#include "config/date_time.h"
#include "gtest/gtest.h"

namespace sievo {
namespace {

class DateTimePatternTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale("en_US")); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    const QDateTime afternoon{QDate(2026, 3, 7), QTime(15, 4, 9)};
    const QDateTime morning{QDate(2026, 11, 23), QTime(9, 30, 0)};
};

TEST_F(DateTimePatternTest, SpecifiersInAnyLetterCase) {
    const std::pair<const char*, const char*> cases[] = {
        {"yyyy-mm-dd", "2026-03-07"},
        {"YYYY-MM-DD", "2026-03-07"},
        {"d/m/yy", "7/3/26"},
        {"ddd dddd", "Sat Saturday"},
        {"mmm mmmm", "Mar March"},
        {"hh:nn:ss", "15:04:09"},
        {"h:n:s", "15:4:9"},
        {"hh:mm", "15:04"},  // m after an hour is the minute
        {"mm hh mm", "03 15 04"},
        {"h:nn am/pm", "3:04 pm"},
        {"h:nn AM/PM", "3:04 PM"},
        {"hh a/p", "03 p"},
        {"h ampm", "3 PM"},
        {"'at' hh 'o''clock'", "at 15 oclock"},
        {"\"yyyy\" yyyy", "yyyy 2026"},
        {"x_y!", "x_26!"},
        {"hh 'am/pm'", "15 am/pm"},  // a marker in quotes leaves the 24-hour clock
    };
    for (const auto& [pattern, expected] : cases)
        EXPECT_EQ(FormatDateTimePattern(pattern, afternoon), expected) << pattern;
    EXPECT_EQ(FormatDateTimePattern("hh:nn AM/PM", morning), "09:30 AM");
    EXPECT_EQ(FormatDateTimePattern("h a/p", QDateTime(QDate(2026, 1, 1), QTime(0, 5))), "12 a");
}

TEST_F(DateTimePatternTest, WholeFormatsFollowTheLocale) {
    EXPECT_EQ(FormatDateTimePattern("", afternoon), FormatDateTimeText(afternoon));
    EXPECT_EQ(FormatDateTimePattern("c", afternoon), FormatDateTimeText(afternoon));
    EXPECT_EQ(FormatDateTimePattern("ddddd", afternoon), FormatShortDate(afternoon.date()));
    EXPECT_EQ(FormatDateTimePattern("tt", afternoon), FormatLongTime(afternoon.time()));
    QLocale::setDefault(QLocale("de_DE"));
    EXPECT_EQ(FormatDateTimePattern("dd/mm/yyyy", afternoon), "07.03.2026");
    EXPECT_EQ(FormatDateTimePattern("mmmm", afternoon), "März");
}

}  // namespace
}  // namespace sievo
