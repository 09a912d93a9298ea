#pragma once

#include <QDate>
#include <QDateTime>
#include <optional>
#include <string>

namespace sievo {

// The user's date-time text as written to files and the log: short date with a four-digit
// year, a blank, the long time without a time-zone name; the time is left out at midnight.
std::string FormatDateTimeText(const QDateTime& when);

// The two halves of that text.
std::string FormatShortDate(const QDate& date);
std::string FormatLongTime(const QTime& time);

// Reads a text written by FormatDateTimeText under the current locale (a date alone means
// midnight); nothing when it does not convert.
std::optional<QDateTime> ParseDateTimeText(const std::string& text);

// "yyyymmdd" to a date: characters 1-4 the year, 5-6 the month, 7-8 the day.
// Raises an error for a text that is not such a date.
QDate FDTCorDateFromString(const std::string& text);

// A date as "yyyymmdd".
std::string FormatCompactDate(const QDate& date);

}  // namespace sievo
