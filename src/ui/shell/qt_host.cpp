#include "ui/shell/qt_host.h"

#include <QProcess>

#include "ui/common/message_boxes.h"
#include "ui/shell/clean_progress_dialog.h"
#include "ui/shell/deletion_confirm_dialog.h"
#include "ui/shell/sound_player.h"
#include "ui/shell/transfer_progress_window.h"
#include "ui/shell/tray_icons.h"

namespace sievo {

QtHost::QtHost(SoundPlayer& sounds, TfrmCleanProg& cleanProg, TrayIcons& tray,
               std::function<void()> refreshRuleList)
    : sounds_(sounds),
      cleanProg_(cleanProg),
      tray_(tray),
      refreshRuleList_(std::move(refreshRuleList)) {
    SetHost(this);
}

QtHost::~QtHost() {
    SetHost(nullptr);
}

void QtHost::ShowMessage(const std::string& text) {
    ShowUserMessage(nullptr, QString::fromStdString(text));
}

bool QtHost::AskYesNo(const std::string& text) {
    return AskUserYesNo(nullptr, QString::fromStdString(text));
}

void QtHost::PumpEvents() {
    pump_.Pump();
}

bool QtHost::PlaySoundFile(const std::string& path) {
    return sounds_.Play(path);
}

void QtHost::DefaultBeep() {
    sounds_.Beep();
}

void QtHost::ShowScanProgress(const TSievoUser& account) {
    cleanProg_.ShowFor(account);
}

bool QtHost::ScanProgressVisible() const {
    return cleanProg_.isVisible();
}

void QtHost::SetScanProgress(int position, int count, const std::string& text) {
    cleanProg_.SetProgress(position, count, text);
}

void QtHost::CloseScanProgress() {
    cleanProg_.hide();
}

std::vector<bool> QtHost::ConfirmDeletions(const std::vector<DeletionRow>& rows) {
    TfrmDeletePrev window(rows, viewDeletion_);
    // Both buttons accept; anything else (the program ending meanwhile) deletes nothing.
    if (window.exec() != QDialog::Accepted)
        return std::vector<bool>(rows.size(), false);
    return window.Ticked();
}

void QtHost::SetMailIcon(bool visible, const std::string& hint) {
    tray_.SetMail(visible, hint);
}

void QtHost::RefreshRuleList() {
    if (refreshRuleList_)
        refreshRuleList_();
}

bool QtHost::StartProgram(const std::string& program, const std::vector<std::string>& arguments) {
    QStringList list;
    for (const auto& argument : arguments)
        list.append(QString::fromStdString(argument));
    return QProcess::startDetached(QString::fromStdString(program), list);
}

void QtHost::ShowTransferProgress() {
    transfer_ = std::make_unique<TransferProgressWindow>();
    transfer_->show();
}

void QtHost::SetTransferProgress(int percent, std::int64_t bytes) {
    if (transfer_)
        transfer_->SetProgress(percent, bytes);
}

void QtHost::CloseTransferProgress() {
    transfer_.reset();
}

}  // namespace sievo
