#pragma once

#include <memory>

#include "update/update_prompts.h"

namespace sievo {

class SoundPlayer;
class TransferProgressWindow;

// The windowed program's side of a spammer-list update: message boxes, the beep and the
// download's progress window.
class UpdateDialogs : public UpdatePrompts {
public:
    explicit UpdateDialogs(SoundPlayer& sounds);
    ~UpdateDialogs() override;
    UpdateDialogs(const UpdateDialogs&) = delete;
    UpdateDialogs& operator=(const UpdateDialogs&) = delete;

    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    void DefaultBeep() override;
    void ShowTransferProgress() override;
    void SetTransferProgress(int percent, std::int64_t bytes) override;
    void CloseTransferProgress() override;

private:
    SoundPlayer& sounds_;
    std::unique_ptr<TransferProgressWindow> transfer_;
};

}  // namespace sievo
