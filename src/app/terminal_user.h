#pragma once

#include "engine/check_observer.h"
#include "engine/launcher.h"
#include "engine/mail_engine.h"
#include "engine/sound_player.h"
#include "engine/user_questions.h"

namespace sievo {

// The user of a terminal without windows: messages go to standard error, nothing is shown
// of a check, nothing plays, no program starts, and every confirmation keeps the messages,
// so nothing that asks for the user is done without the user.
class TerminalUser : public CheckObserver,
                     public UserQuestions,
                     public SoundPlayer,
                     public Launcher {
public:
    EngineUser Interfaces() { return {*this, *this, *this, *this}; }

    void ShowScanProgress(const TSievoUser&) override {}
    bool ScanProgressVisible() const override { return false; }
    void SetScanProgress(int, int, const std::string&) override {}
    void CloseScanProgress() override {}
    void SetMailIcon(bool, const std::string&) override {}
    void RefreshRuleList() override {}

    void ShowMessage(const std::string& text) override;
    std::vector<bool> ConfirmDeletions(const std::vector<DeletionRow>& rows) override;

    bool Play(const std::string&) override { return false; }
    void Beep() override {}

    bool StartProgram(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
};

}  // namespace sievo
