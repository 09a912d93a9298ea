#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/check_observer.h"
#include "engine/launcher.h"
#include "engine/mail_engine.h"
#include "engine/sound_player.h"
#include "engine/user_questions.h"

namespace sievo::testing {

// The user's side of the engine: remembers what a check showed and asked, and answers the
// confirmation as the test sets it up. Messages and sounds reach no one; no program starts.
class RecordingUser : public CheckObserver,
                      public UserQuestions,
                      public SoundPlayer,
                      public Launcher {
public:
    EngineUser Interfaces() { return {*this, *this, *this, *this}; }

    void ShowScanProgress(const TSievoUser&) override { progressVisible = true; }
    bool ScanProgressVisible() const override { return progressVisible; }
    void SetScanProgress(int position, int count, const std::string& text) override {
        progress.push_back(std::to_string(position) + "/" + std::to_string(count) + " " + text);
    }
    void CloseScanProgress() override { progressVisible = false; }
    void SetMailIcon(bool visible, const std::string& hint) override {
        mailIconVisible = visible;
        mailIconHint = hint;
    }
    void RefreshRuleList() override { ++ruleListRefreshes; }

    void ShowMessage(const std::string&) override {}
    std::vector<bool> ConfirmDeletions(const std::vector<DeletionRow>& rows) override {
        confirmations.push_back(rows);
        if (duringConfirmation)
            duringConfirmation();
        std::vector<bool> ticked(rows.size(), true);
        for (std::size_t i = 0; i < rows.size() && i < untick.size(); ++i)
            ticked[i] = !untick[i];
        return ticked;
    }

    bool Play(const std::string&) override { return true; }
    void Beep() override {}
    bool StartProgram(const std::string&, const std::vector<std::string>&) override {
        return false;
    }

    // What the check showed and asked.
    std::vector<std::string> progress;
    std::vector<std::vector<DeletionRow>> confirmations;
    int ruleListRefreshes = 0;
    bool progressVisible = false;
    bool mailIconVisible = false;
    std::string mailIconHint;

    // How the user answers.
    std::vector<bool> untick;                  // rows of the confirmation window the user unticks
    std::function<void()> duringConfirmation;  // what the user does while the window is open
};

}  // namespace sievo::testing
