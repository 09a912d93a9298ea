#pragma once

#include <functional>
#include <memory>

#include "config/host.h"

namespace sievo {

class SoundPlayer;
class TfrmCleanProg;
class TrayIcons;
class TransferProgressWindow;

// The host of the windowed program: message boxes, the progress dialogs, the
// confirmation window, the tray's mail icon, sounds and detached programs. Installed
// for its lifetime.
class QtHost : public Host {
public:
    QtHost(SoundPlayer& sounds, TfrmCleanProg& cleanProg, TrayIcons& tray,
           std::function<void()> refreshRuleList);
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    // How the deletion confirmation shows a message at a listing position.
    void SetDeletionViewer(std::function<void(int index)> view) { viewDeletion_ = std::move(view); }

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    void PumpEvents() override;
    bool PlaySoundFile(const std::string& path) override;
    void DefaultBeep() override;
    void ShowScanProgress(const TSievoUser& account) override;
    bool ScanProgressVisible() const override;
    void SetScanProgress(int position, int count, const std::string& text) override;
    void CloseScanProgress() override;
    std::vector<bool> ConfirmDeletions(const std::vector<DeletionRow>& rows) override;
    void SetMailIcon(bool visible, const std::string& hint) override;
    void RefreshRuleList() override;
    bool StartProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override;
    void ShowTransferProgress() override;
    void SetTransferProgress(int percent, std::int64_t bytes) override;
    void CloseTransferProgress() override;

private:
    SoundPlayer& sounds_;
    TfrmCleanProg& cleanProg_;
    TrayIcons& tray_;
    std::function<void()> refreshRuleList_;
    std::function<void(int index)> viewDeletion_;
    std::unique_ptr<TransferProgressWindow> transfer_;
    ThrottledPump pump_;
};

}  // namespace sievo
