#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace sievo {

class TSievoUser;

// One row of the deletion-confirmation window.
struct DeletionRow {
    std::string subject;
    std::string from;
    std::string date;
    int index = 0;  // the message's 0-based position in the listing
};

// How the layers below the user interface reach the user. The windowed program, the
// headless single pass and the tests each supply their own.
class Host {
public:
    virtual ~Host() = default;

    // A plain message box (or its stand-in) with the text.
    virtual void ShowMessage(const std::string& text) = 0;
    // A question with Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& text) = 0;
    // Lets pending events run, so timers and buttons keep working during long work.
    virtual void PumpEvents() = 0;

    // Starts playing a sound file without waiting; false when nothing could play.
    virtual bool PlaySoundFile(const std::string& path) = 0;
    virtual void DefaultBeep() = 0;

    // The cleaning progress dialog of a pass the user started.
    virtual void ShowScanProgress(const TSievoUser& account) = 0;
    virtual bool ScanProgressVisible() const = 0;
    virtual void SetScanProgress(int position, int count, const std::string& text) = 0;
    virtual void CloseScanProgress() = 0;

    // The deletion-confirmation window: answers, row by row, whether the row stayed ticked.
    virtual std::vector<bool> ConfirmDeletions(const std::vector<DeletionRow>& rows) = 0;

    // The mail tray icon and its hint.
    virtual void SetMailIcon(bool visible, const std::string& hint) = 0;
    virtual void RefreshRuleList() = 0;

    // Starts a program with its arguments (no shell); false when it could not start.
    virtual bool StartProgram(const std::string& program,
                              const std::vector<std::string>& arguments) = 0;

    // The progress window of a download.
    virtual void ShowTransferProgress() = 0;
    virtual void SetTransferProgress(int percent, std::int64_t bytes) = 0;
    virtual void CloseTransferProgress() = 0;
};

// The host in force; the terminal host until the program installs its own.
Host& TheHost();

// Installs a host (not owned); nullptr restores the terminal host.
void SetHost(Host* host);

// Lets pending events run, at most every few milliseconds: long loops ask thousands of
// times a second, and timers, sockets and clicks are served soon enough that way.
class ThrottledPump {
public:
    void Pump();

private:
    std::chrono::steady_clock::time_point last_;
};

// The host of a terminal without windows: messages go to standard error, nothing plays,
// no program starts, questions are answered No and every confirmation keeps the messages,
// so nothing that asks for the user is done without the user.
class TerminalHost : public Host {
public:
    void ShowMessage(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    void PumpEvents() override;
    bool PlaySoundFile(const std::string&) override { return false; }
    void DefaultBeep() override {}
    void ShowScanProgress(const TSievoUser&) override {}
    bool ScanProgressVisible() const override { return false; }
    void SetScanProgress(int, int, const std::string&) override {}
    void CloseScanProgress() override {}
    std::vector<bool> ConfirmDeletions(const std::vector<DeletionRow>& rows) override;
    void SetMailIcon(bool, const std::string&) override {}
    void RefreshRuleList() override {}
    bool StartProgram(const std::string&, const std::vector<std::string>&) override {
        return false;
    }
    void ShowTransferProgress() override {}
    void SetTransferProgress(int, std::int64_t) override {}
    void CloseTransferProgress() override {}

private:
    ThrottledPump pump_;
};

}  // namespace sievo
