#pragma once

#include <cstdint>
#include <string>

namespace sievo {

// What an update shows and asks: message boxes, the default beep and the progress window
// of a download. The windowed program supplies them with its dialogs.
class UpdatePrompts {
public:
    virtual ~UpdatePrompts() = default;

    virtual void ShowMessage(const std::string& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    virtual void DefaultBeep() = 0;

    virtual void ShowTransferProgress() = 0;
    virtual void SetTransferProgress(int percent, std::int64_t bytes) = 0;
    virtual void CloseTransferProgress() = 0;
};

}  // namespace sievo
