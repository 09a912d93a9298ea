#include "config/activity_log.h"

#include <algorithm>
#include <iostream>

#include "config/account.h"
#include "config/data_folder.h"
#include "config/date_time.h"
#include "config/errors.h"
#include "config/file_io.h"
#include "config/settings.h"
#include "config/text.h"

namespace sievo {

namespace {

std::string LogFilePath() {
    return ProgramFile("logfile.txt");
}

}  // namespace

void ActivityLogModel::Open() {
    const auto text = ReadWholeFile(LogFilePath());
    const auto lines = SplitLines(text.value_or(""));
    const std::size_t kept = std::min(lines.size(), kMaxLines);
    lines_.assign(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(kept));
    open_ = true;
}

void ActivityLogModel::Save() const {
    const std::vector<std::string> lines(lines_.begin(), lines_.end());
    if (!WriteFileAtomically(LogFilePath(), JoinLinesCrLf(lines)))
        throw Exception("Cannot create file " + LogFilePath());
}

void ActivityLogModel::ClearAll() {
    lines_.clear();
    for (auto* listener : listeners_)
        listener->OnCleared();
    Save();
}

void ActivityLogModel::Log(const std::string& text, bool detailOnly, const TSievoUser* account) {
    if (!open_)
        return;
    const bool kept = !detailOnly || settings::VerboseLog();
    if (!kept && listeners_.empty())
        return;
    const std::string fullText = account ? account->POPUser + " - " + text : text;
    const std::string& stamp = Stamp();
    if (kept) {
        lines_.push_front(stamp + " -- " + fullText);
        if (lines_.size() > kMaxLines)
            lines_.pop_back();
    }
    for (auto* listener : listeners_)
        listener->OnActivity(fullText, stamp, kept);
}

// A scan logs many lines a second; the text of the time changes only once a second, and
// the local time (which consults the time zone) is worked out only then.
const std::string& ActivityLogModel::Stamp() {
    const qint64 second = QDateTime::currentSecsSinceEpoch();
    if (second != stampSecond_) {
        stamp_ = FormatDateTimeText(QDateTime::currentDateTime());
        stampSecond_ = second;
    }
    return stamp_;
}

void ActivityLogModel::Error(const std::string& message) {
    ++errorCount_;
    if (!open_) {
        if (showEarlyError_)
            showEarlyError_(message);
        else
            std::cerr << message << '\n';
        return;
    }
    for (auto* listener : listeners_)
        listener->OnError(errorCount_, message);
    Log("-SV_ERROR-" + message, false, nullptr);
}

void ActivityLogModel::AddListener(ActivityLogListener* listener) {
    listeners_.push_back(listener);
}

void ActivityLogModel::RemoveListener(ActivityLogListener* listener) {
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

void ActivityLogModel::SetEarlyErrorDisplay(std::function<void(const std::string&)> show) {
    showEarlyError_ = std::move(show);
}

ActivityLogModel& TheActivityLog() {
    static ActivityLogModel log;
    return log;
}

void ActivityLog(const std::string& text, bool detailOnly, const TSievoUser* account) {
    TheActivityLog().Log(text, detailOnly, account);
}

void AppException(const std::exception& error) {
    TheActivityLog().Error(error.what());
}

}  // namespace sievo
