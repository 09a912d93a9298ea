#include "engine/date_time_pattern.h"

#include <QLocale>
#include <QRegularExpression>
#include <cctype>

#include "config/date_time.h"

namespace sievo {

namespace {

char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (Upper(text[i]) != prefix[i])
            return false;
    return true;
}

// Padded in place: GCC 12 at -O3 takes "0" + text for a possible overlap (-Wrestrict).
std::string TwoDigits(int value) {
    std::string digits = std::to_string(value);
    if (value < 10)
        digits.insert(digits.begin(), '0');
    return digits;
}

std::string Number(int value, std::size_t count) {
    return count >= 2 ? TwoDigits(value) : std::to_string(value);
}

// The first character of the locale's short date format that is no part of a field.
std::string SeparatorOf(const QString& format, const char* fallback) {
    const auto match = QRegularExpression(QStringLiteral("[^A-Za-z'\\s]")).match(format);
    return match.hasMatch() ? match.captured().toStdString() : fallback;
}

class PatternFormatter {
public:
    PatternFormatter(std::string_view pattern, const QDateTime& when)
        : pattern_(pattern), when_(when) {}

    std::string Run() {
        while (pos_ < pattern_.size())
            Step();
        return out_;
    }

private:
    void Step() {
        char token = Upper(pattern_[pos_]);
        if (token >= 'A' && token <= 'Z') {
            if (token == 'M' && lastLetter_ == 'H')
                token = 'N';
            lastLetter_ = token;
        }
        switch (token) {
            case 'C':
                TakeRun('C');
                out_ += FormatDateTimeText(when_);
                break;
            case 'D':
                Day(TakeRun('D'));
                break;
            case 'M':
                Month(TakeRun('M'));
                break;
            case 'Y':
                Year(TakeRun('Y'));
                break;
            case 'H':
                Hour(TakeRun('H'));
                break;
            case 'N':
                out_ += Number(when_.time().minute(), TakeRun(Upper(pattern_[pos_])));
                break;
            case 'S':
                out_ += Number(when_.time().second(), TakeRun('S'));
                break;
            case 'T':
                Time(TakeRun('T'));
                break;
            case 'A':
                Marker();
                break;
            case '/':
                ++pos_;
                out_ += SeparatorOf(locale_.dateFormat(QLocale::ShortFormat), "/");
                break;
            case ':':
                ++pos_;
                out_ += SeparatorOf(locale_.timeFormat(QLocale::LongFormat), ":");
                break;
            case '\'':
            case '"':
                Quoted();
                break;
            default:
                out_ += pattern_[pos_++];
                break;
        }
    }

    std::size_t TakeRun(char upper) {
        std::size_t count = 0;
        while (pos_ < pattern_.size() && Upper(pattern_[pos_]) == upper)
            ++pos_, ++count;
        return count;
    }

    void Day(std::size_t count) {
        const QDate date = when_.date();
        switch (count) {
            case 1:
            case 2:
                out_ += Number(date.day(), count);
                break;
            case 3:
                out_ += locale_.dayName(date.dayOfWeek(), QLocale::ShortFormat).toStdString();
                break;
            case 4:
                out_ += locale_.dayName(date.dayOfWeek(), QLocale::LongFormat).toStdString();
                break;
            case 5:
                out_ += FormatShortDate(date);
                break;
            default:
                out_ += locale_.toString(date, QLocale::LongFormat).toStdString();
                break;
        }
    }

    void Month(std::size_t count) {
        const int month = when_.date().month();
        if (count <= 2)
            out_ += Number(month, count);
        else
            out_ +=
                locale_.monthName(month, count == 3 ? QLocale::ShortFormat : QLocale::LongFormat)
                    .toStdString();
    }

    void Year(std::size_t count) {
        const int year = when_.date().year();
        out_ += count <= 2 ? TwoDigits(year % 100) : std::to_string(year);
    }

    void Hour(std::size_t count) {
        int hour = when_.time().hour();
        if (TwelveHourMarkerFollows())
            hour = hour % 12 == 0 ? 12 : hour % 12;
        out_ += Number(hour, count);
    }

    // The hour is on a 12-hour clock when the next "a" outside quotes, before any further
    // hour, begins a 12-hour marker.
    bool TwelveHourMarkerFollows() const {
        bool quoted = false;
        for (std::size_t i = pos_; i < pattern_.size(); ++i) {
            const char c = Upper(pattern_[i]);
            if (c == '\'' || c == '"')
                quoted = !quoted;
            if (quoted)
                continue;
            if (c == 'H')
                return false;
            if (c == 'A') {
                const auto rest = pattern_.substr(i);
                return StartsWithNoCase(rest, "AM/PM") || StartsWithNoCase(rest, "A/P") ||
                       StartsWithNoCase(rest, "AMPM");
            }
        }
        return false;
    }

    void Time(std::size_t count) {
        const QTime time = when_.time();
        out_ += count == 1 ? locale_.toString(time, QLocale::ShortFormat).toStdString()
                           : FormatLongTime(time);
    }

    // am/pm and a/p keep the letter case written in the pattern; ampm uses the locale's texts.
    void Marker() {
        const auto rest = pattern_.substr(pos_);
        const bool afternoon = when_.time().hour() >= 12;
        if (StartsWithNoCase(rest, "AM/PM")) {
            out_ += rest.substr(afternoon ? 3 : 0, 2);
            pos_ += 5;
        } else if (StartsWithNoCase(rest, "A/P")) {
            out_ += rest.substr(afternoon ? 2 : 0, 1);
            pos_ += 3;
        } else if (StartsWithNoCase(rest, "AMPM")) {
            out_ += (afternoon ? locale_.pmText() : locale_.amText()).toStdString();
            pos_ += 4;
        } else {
            out_ += pattern_[pos_++];
        }
    }

    void Quoted() {
        const char quote = pattern_[pos_++];
        const auto close = pattern_.find(quote, pos_);
        const auto end = close == std::string_view::npos ? pattern_.size() : close;
        out_ += pattern_.substr(pos_, end - pos_);
        pos_ = close == std::string_view::npos ? end : end + 1;
    }

    std::string_view pattern_;
    QDateTime when_;
    QLocale locale_;
    std::size_t pos_ = 0;
    char lastLetter_ = 0;
    std::string out_;
};

}  // namespace

std::string FormatDateTimePattern(std::string_view pattern, const QDateTime& when) {
    if (pattern.empty())
        return FormatDateTimeText(when);
    return PatternFormatter(pattern, when).Run();
}

}  // namespace sievo
