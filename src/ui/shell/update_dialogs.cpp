#include "ui/shell/update_dialogs.h"

#include <QString>

#include "engine/sound_player.h"
#include "ui/common/message_boxes.h"
#include "ui/shell/transfer_progress_window.h"

namespace sievo {

UpdateDialogs::UpdateDialogs(SoundPlayer& sounds) : sounds_(sounds) {}

UpdateDialogs::~UpdateDialogs() = default;

void UpdateDialogs::ShowMessage(const std::string& text) {
    ShowUserMessage(nullptr, QString::fromStdString(text));
}

bool UpdateDialogs::AskYesNo(const std::string& text) {
    return AskUserYesNo(nullptr, QString::fromStdString(text));
}

void UpdateDialogs::DefaultBeep() {
    sounds_.Beep();
}

void UpdateDialogs::ShowTransferProgress() {
    transfer_ = std::make_unique<TransferProgressWindow>();
    transfer_->show();
}

void UpdateDialogs::SetTransferProgress(int percent, std::int64_t bytes) {
    if (transfer_)
        transfer_->SetProgress(percent, bytes);
}

void UpdateDialogs::CloseTransferProgress() {
    transfer_.reset();
}

}  // namespace sievo
