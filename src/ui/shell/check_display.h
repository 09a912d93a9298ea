#pragma once

#include <functional>

#include "engine/check_observer.h"

namespace sievo {

class TfrmCleanProg;
class TrayIcons;

// What the windowed program shows of a check: the cleaning progress dialog, the tray's
// mail icon and the rule list.
class CheckDisplay : public CheckObserver {
public:
    CheckDisplay(TfrmCleanProg& cleanProg, TrayIcons& tray, std::function<void()> refreshRuleList);

    void ShowScanProgress(const TSievoUser& account) override;
    bool ScanProgressVisible() const override;
    void SetScanProgress(int position, int count, const std::string& text) override;
    void CloseScanProgress() override;
    void SetMailIcon(bool visible, const std::string& hint) override;
    void RefreshRuleList() override;

private:
    TfrmCleanProg& cleanProg_;
    TrayIcons& tray_;
    std::function<void()> refreshRuleList_;
};

}  // namespace sievo
