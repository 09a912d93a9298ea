#include "config/date_time.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>

#include "config/errors.h"

namespace sievo {

namespace {

// Qt reads two-digit years as 19xx, so the year is always written in full.
QString ShortDateFormat() {
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QLatin1String("yyyy")))
        format.replace(QLatin1String("yy"), "yyyy");
    return format;
}

// Qt reads summer-time zone names as UTC, so the zone is left out.
QString LongTimeFormat() {
    QString format = QLocale().timeFormat(QLocale::LongFormat);
    format.remove(QRegularExpression(QStringLiteral("\\s*t+\\s*")));
    return format.trimmed();
}

}  // namespace

std::string FormatShortDate(const QDate& date) {
    return QLocale().toString(date, ShortDateFormat()).toStdString();
}

std::string FormatLongTime(const QTime& time) {
    return QLocale().toString(time, LongTimeFormat()).toStdString();
}

std::string FormatDateTimeText(const QDateTime& when) {
    std::string text = FormatShortDate(when.date());
    if (when.time() != QTime(0, 0))
        text += ' ' + FormatLongTime(when.time());
    return text;
}

std::optional<QDateTime> ParseDateTimeText(const std::string& text) {
    const QLocale locale;
    const QString trimmed = QString::fromStdString(text).trimmed();
    const QDateTime full = locale.toDateTime(trimmed, ShortDateFormat() + ' ' + LongTimeFormat());
    if (full.isValid())
        return full;
    const QDate dateOnly = locale.toDate(trimmed, ShortDateFormat());
    if (dateOnly.isValid())
        return QDateTime(dateOnly, QTime(0, 0));
    return std::nullopt;
}

QDate FDTCorDateFromString(const std::string& text) {
    const bool eightDigits = text.size() == 8 && std::all_of(text.begin(), text.end(), [](char c) {
                                 return c >= '0' && c <= '9';
                             });
    const QDate date = eightDigits
                           ? QDate(std::stoi(text.substr(0, 4)), std::stoi(text.substr(4, 2)),
                                   std::stoi(text.substr(6, 2)))
                           : QDate();
    if (!date.isValid())
        throw Exception("'" + text + "' is not a valid date");
    return date;
}

std::string FormatCompactDate(const QDate& date) {
    return date.toString(QStringLiteral("yyyyMMdd")).toStdString();
}

}  // namespace sievo
