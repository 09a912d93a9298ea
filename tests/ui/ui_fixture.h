#pragma once

#include <QLineEdit>
#include <memory>
#include <string>
#include <vector>

#include "config/ini_file.h"
#include "temp_home.h"
#include "ui/accounts/intro_wizard.h"
#include "ui/shell/main_window.h"
#include "ui/shell/sound_player.h"

namespace sievo::testing {

// Remembers the sounds instead of playing them.
class RecordingSoundPlayer : public SoundPlayer {
public:
    explicit RecordingSoundPlayer(std::vector<std::string>& played) : played_(played) {}
    bool Play(const std::string& path) override {
        played_.push_back(path);
        return true;
    }
    void Beep() override { played_.push_back("<beep>"); }

private:
    std::vector<std::string>& played_;
};

// A fresh data folder and the program's hidden main window over it.
class MainWindowTest : public TempHomeTest {
protected:
    void TearDown() override {
        main_.reset();
        TempHomeTest::TearDown();
    }

    TfrmMain& Main() {
        if (!main_)
            main_ = std::make_unique<TfrmMain>(std::make_unique<RecordingSoundPlayer>(sounds));
        return *main_;
    }
    // Ends the program, so the next Main() is a later start over the same folder.
    void Restart() { main_.reset(); }
    void WriteSetting(const char* section, const char* key, const std::string& value) const {
        TIniFile(PathOf("settings.ini")).WriteString(section, key, value);
    }

    std::vector<std::string> sounds;

private:
    std::unique_ptr<TfrmMain> main_;
};

// Fills in the welcome wizard's address, the server 127.0.0.1 and the password, and moves
// on to the page of the security check, which tries `ports`.
inline void FillInMailbox(TfrmIntro& wizard, SecurityProbe::Ports ports, const QString& address,
                          const QString& password) {
    wizard.SetProbePorts(ports);
    wizard.findChild<QLineEdit*>("edtEMailAddr")->setText(address);
    wizard.next();
    wizard.findChild<QLineEdit*>("edtPOPAddress")->setText("127.0.0.1");
    wizard.findChild<QLineEdit*>("edtPassword")->setText(password);
    wizard.next();
}

}  // namespace sievo::testing
