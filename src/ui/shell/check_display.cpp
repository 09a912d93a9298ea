#include "ui/shell/check_display.h"

#include "ui/shell/clean_progress_dialog.h"
#include "ui/shell/tray_icons.h"

namespace sievo {

CheckDisplay::CheckDisplay(TfrmCleanProg& cleanProg, TrayIcons& tray,
                           std::function<void()> refreshRuleList)
    : cleanProg_(cleanProg), tray_(tray), refreshRuleList_(std::move(refreshRuleList)) {}

void CheckDisplay::ShowScanProgress(const TSievoUser& account) {
    cleanProg_.ShowFor(account);
}

bool CheckDisplay::ScanProgressVisible() const {
    return cleanProg_.isVisible();
}

void CheckDisplay::SetScanProgress(int position, int count, const std::string& text) {
    cleanProg_.SetProgress(position, count, text);
}

void CheckDisplay::CloseScanProgress() {
    cleanProg_.hide();
}

void CheckDisplay::SetMailIcon(bool visible, const std::string& hint) {
    tray_.SetMail(visible, hint);
}

void CheckDisplay::RefreshRuleList() {
    refreshRuleList_();
}

}  // namespace sievo
