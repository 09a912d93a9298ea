#pragma once

#include <QDialog>

#include "config/activity_log.h"

class QLabel;
class QPlainTextEdit;

namespace sievo {

// The status window: the activity log, newest line first, with the error count, the last
// error and the last message. Closing only hides it.
class TfrmStatus : public QDialog, public ActivityLogListener {
    Q_OBJECT

public:
    explicit TfrmStatus(QWidget* parent = nullptr);
    ~TfrmStatus() override;

    // Shows the window unless it is visible already.
    void ShowStatus();

    void OnActivity(const std::string& text, const std::string& stamp, bool kept) override;
    void OnError(std::uint16_t errorCount, const std::string& message) override;
    void OnCleared() override;

private:
    void ClearAllClick();
    void DropOldestBeyondLimit();

    QPlainTextEdit* memLog_;
    QLabel* lblErrorCount_;
    QLabel* lblLastError_;
    QLabel* lblLastMessage_;
};

}  // namespace sievo
