#pragma once

#include <string>

namespace sievo {

class TSievoUser;

// What a check shows while it runs: the cleaning progress dialog of a pass the user
// started, the tray's mail icon and the rule list's hit counts. A terminal shows none of it.
class CheckObserver {
public:
    virtual ~CheckObserver() = default;

    virtual void ShowScanProgress(const TSievoUser& account) = 0;
    virtual bool ScanProgressVisible() const = 0;
    virtual void SetScanProgress(int position, int count, const std::string& text) = 0;
    virtual void CloseScanProgress() = 0;

    // The mail tray icon and its hint.
    virtual void SetMailIcon(bool visible, const std::string& hint) = 0;
    // The rules' hit counts changed.
    virtual void RefreshRuleList() = 0;
};

}  // namespace sievo
