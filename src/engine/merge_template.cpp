#include "engine/merge_template.h"

#include <QDateTime>

#include "config/activity_log.h"
#include "config/date_time.h"
#include "config/text.h"
#include "engine/date_time_pattern.h"
#include "mail/mail_address.h"
#include "mail/message.h"

namespace sievo {

namespace {

// Header texts this long or longer are cut, so a reply never carries a huge header.
constexpr std::size_t kLongestWholeHeaderText = 4000;
constexpr std::size_t kCutHeaderText = 3000;

// "FORMATDATETIME(" takes 15 characters and ")" one more.
constexpr std::size_t kFormatDateTimeOverhead = 16;

std::string CutLongText(const std::string& text) {
    if (text.size() <= kLongestWholeHeaderText)
        return text;
    return std::string(Utf8Truncate(text, kCutHeaderText));
}

std::string AllHeaders(const TmsMessage& source) {
    std::string text;
    for (const auto& line : source.Headers())
        text += line + "\r\n";
    return text;
}

std::string ReplyHeaderValue(const std::string& parameter, const TmsMessage& source) {
    const std::string name = ToUpperAscii(parameter);
    if (name == "FROMNAME")
        return SplitAddress(GetHeaderField(source.Headers(), "From")).second;
    if (name == "FROMADDRESS")
        return SplitAddress(GetHeaderField(source.Headers(), "From")).first;
    if (name == "ALLHEADERS")
        return CutLongText(AllHeaders(source));
    if (name == "BODY")
        return CutLongText(JoinLinesCrLf(source.Body()));
    return GetHeaderField(source.Headers(), parameter);
}

std::string FormatDateTimeValue(const std::string& parameter) {
    const auto open = parameter.find('(');
    if (open == std::string::npos) {
        ActivityLog(
            "The FORMATDATETIME command is missing paramaters, please see the documentation on "
            "how to use this merge code",
            true);
        return "";
    }
    const std::size_t length =
        parameter.size() > kFormatDateTimeOverhead ? parameter.size() - kFormatDateTimeOverhead : 0;
    const std::string pattern = parameter.substr(open + 1, length);
    ActivityLog("Formatting date time according to " + pattern, true);
    return FormatDateTimePattern(pattern, QDateTime::currentDateTime());
}

std::string SystemValue(const std::string& parameter) {
    const std::string name = ToUpperAscii(parameter);
    const QDateTime now = QDateTime::currentDateTime();
    if (name == "DATETIME")
        return FormatDateTimeText(now);
    if (name == "DATE")
        return FormatShortDate(now.date());
    if (name == "TIME")
        return FormatLongTime(now.time());
    if (name.substr(0, 14) == "FORMATDATETIME")
        return FormatDateTimeValue(parameter);
    return "";
}

std::string CodeValue(const std::string& code, const TmsMessage& source) {
    const auto tilde = code.find('~');
    if (tilde == std::string::npos)
        return "";
    const std::string command = code.substr(0, tilde), parameter = code.substr(tilde + 1);
    ActivityLog("Merge template the command is: " + command + " the param is: " + parameter, true);
    const std::string upperCommand = ToUpperAscii(command);
    std::string value;
    if (upperCommand == "REPLYHEADER")
        value = ReplyHeaderValue(parameter, source);
    else if (upperCommand == "SYSTEM")
        value = SystemValue(parameter);
    ActivityLog("the result of the SYSTEM merge code was  " + value, true);
    return value;
}

void ExpandFirstCode(std::string& line, const TmsMessage& source) {
    const auto open = line.find("<<");
    if (open == std::string::npos)
        return;
    // The code ends at the first ">>" after its "<<", so text before it is never doubled.
    const auto close = line.find(">>", open + 2);
    if (close == std::string::npos)
        return;
    const std::string code = line.substr(open + 2, close - open - 2);
    ActivityLog(code, true);
    const std::string value = CodeValue(code, source);
    line =
        line.substr(0, open) + (value.empty() ? kNoValueProvided : value) + line.substr(close + 2);
    ActivityLog("the newline reads  " + line, true);
}

}  // namespace

void PROCMergeTemplate(TmsMessage& templateMessage, const TmsMessage& source) {
    for (auto& line : templateMessage.Body())
        ExpandFirstCode(line, source);
}

}  // namespace sievo
