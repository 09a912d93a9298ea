#pragma once

#include <functional>
#include <string>
#include <vector>

#include "config/host.h"

namespace sievo::testing {

// A host that remembers what it was asked and answers as the test sets it up; installed
// for its lifetime.
class RecordingHost : public Host {
public:
    RecordingHost() { SetHost(this); }
    ~RecordingHost() override { SetHost(nullptr); }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    bool AskYesNo(const std::string& text) override {
        questions.push_back(text);
        return answerYes;
    }
    void PumpEvents() override {
        ++pumps;
        if (onPump)
            onPump();
    }
    bool PlaySoundFile(const std::string& path) override {
        sounds.push_back(path);
        return true;
    }
    void DefaultBeep() override { sounds.push_back("<beep>"); }
    void ShowScanProgress(const TSievoUser&) override { progressVisible = true; }
    bool ScanProgressVisible() const override { return progressVisible; }
    void SetScanProgress(int position, int count, const std::string& text) override {
        progress.push_back(std::to_string(position) + "/" + std::to_string(count) + " " + text);
    }
    void CloseScanProgress() override { progressVisible = false; }
    std::vector<bool> ConfirmDeletions(const std::vector<DeletionRow>& rows) override {
        confirmations.push_back(rows);
        if (duringConfirmation)
            duringConfirmation();
        std::vector<bool> ticked(rows.size(), true);
        for (std::size_t i = 0; i < rows.size() && i < untick.size(); ++i)
            ticked[i] = !untick[i];
        return ticked;
    }
    void SetMailIcon(bool visible, const std::string& hint) override {
        mailIconVisible = visible;
        mailIconHint = hint;
    }
    void RefreshRuleList() override { ++ruleListRefreshes; }
    bool StartProgram(const std::string& program,
                      const std::vector<std::string>& arguments) override {
        std::string line = program;
        for (const auto& argument : arguments)
            line += " " + argument;
        programs.push_back(line);
        return true;
    }
    void ShowTransferProgress() override {
        ++transferWindows;
        transferWindowOpen = true;
    }
    void SetTransferProgress(int, std::int64_t bytes) override { transferredBytes = bytes; }
    void CloseTransferProgress() override { transferWindowOpen = false; }

    // What the host was asked.
    std::vector<std::string> messages, questions, sounds, progress, programs;
    std::vector<std::vector<DeletionRow>> confirmations;
    int pumps = 0;
    int ruleListRefreshes = 0;
    int transferWindows = 0;
    bool transferWindowOpen = false;
    std::int64_t transferredBytes = 0;
    bool progressVisible = false;
    bool mailIconVisible = false;
    std::string mailIconHint;

    // How it answers.
    bool answerYes = true;
    std::vector<bool> untick;                  // rows of the confirmation window the user unticks
    std::function<void()> duringConfirmation;  // what the user does while the window is open
    std::function<void()> onPump;              // what happens while events are let through
};

}  // namespace sievo::testing
