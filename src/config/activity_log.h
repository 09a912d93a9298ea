#pragma once

#include <QtGlobal>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace sievo {

class TSievoUser;

// What the windows showing the log are told. Every call of ActivityLog reaches
// OnActivity, detail lines included, so labels can show them even when the log does not.
class ActivityLogListener {
public:
    virtual ~ActivityLogListener() = default;
    // text: with the account's name; stamp: the date and time of the call;
    // kept: whether the line went into the log.
    virtual void OnActivity(const std::string& text, const std::string& stamp, bool kept) = 0;
    virtual void OnError(std::uint16_t errorCount, const std::string& message) = 0;
    virtual void OnCleared() = 0;
};

// The activity log, newest line first, kept in logfile.txt between runs. It comes alive
// with Open() (when the status window exists); until then lines are dropped and errors
// are shown as SetEarlyErrorDisplay says.
class ActivityLogModel {
public:
    // The newest lines kept, in memory and in the file: a program that runs for months
    // must not grow without end, and a few months of checks still fit.
    static constexpr std::size_t kMaxLines = 50000;

    // Loads logfile.txt; a missing or unreadable file gives an empty log.
    void Open();
    // Saves the log to logfile.txt; raises "Cannot create file <path>" when refused.
    void Save() const;
    // Empties the log and saves the empty log at once.
    void ClearAll();
    bool IsOpen() const { return open_; }

    void Log(const std::string& text, bool detailOnly, const TSievoUser* account);
    void Error(const std::string& message);

    const std::deque<std::string>& Lines() const { return lines_; }
    std::uint16_t ErrorCount() const { return errorCount_; }

    void AddListener(ActivityLogListener* listener);
    void RemoveListener(ActivityLogListener* listener);

    // How errors are shown while the log is not open; an empty one writes them to standard
    // error, where a program without windows shows them.
    void SetEarlyErrorDisplay(std::function<void(const std::string&)> show);

private:
    const std::string& Stamp();

    bool open_ = false;
    std::string stamp_;
    qint64 stampSecond_ = -1;
    std::deque<std::string> lines_;
    std::uint16_t errorCount_ = 0;  // wraps from 65535 to 0
    std::vector<ActivityLogListener*> listeners_;
    std::function<void(const std::string&)> showEarlyError_;
};

ActivityLogModel& TheActivityLog();

// Writes one line to the log; a detail line only in verbose mode. With an account, the
// text is preceded by its POP user name and " - ".
void ActivityLog(const std::string& text, bool detailOnly = false,
                 const TSievoUser* account = nullptr);

// The handler for errors that nothing else catches: counts the error, shows it and logs
// "-SV_ERROR-" + its message.
void AppException(const std::exception& error);

}  // namespace sievo
