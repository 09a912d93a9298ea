#pragma once

#include <QDialog>
#include <functional>

#include "config/activity_log.h"

class QCheckBox;
class QLabel;
class QProgressBar;

namespace sievo {

class TSievoUser;

// The cleaning progress dialog of a pass the user started: what the scan is doing, how
// far the listing has come, and the account's "launch my mail client" switch.
class TfrmCleanProg : public QDialog, public ActivityLogListener {
    Q_OBJECT

public:
    // onStop cancels the running session; onHistory shows the status window.
    TfrmCleanProg(std::function<void()> onStop, std::function<void()> onHistory,
                  QWidget* parent = nullptr);
    ~TfrmCleanProg() override;

    // Shows the dialog, reset, for the account being cleaned.
    void ShowFor(const TSievoUser& account);
    void SetProgress(int position, int count, const std::string& text);

    void OnActivity(const std::string& text, const std::string& stamp, bool kept) override;
    void OnError(std::uint16_t, const std::string&) override {}
    void OnCleared() override {}

private:
    void LaunchClicked(bool checked);

    std::function<void()> onStop_;
    int accountIndex_ = 0;
    QLabel* lblAction_;
    QLabel* lblProgress_;
    QProgressBar* prgMessages_;
    QCheckBox* chkLaunch_;
};

}  // namespace sievo
