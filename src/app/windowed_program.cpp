#include "app/windowed_program.h"

#include <QApplication>
#include <cstdlib>

#include "app/default_files.h"
#include "app/private_data.h"
#include "app/stop_signals.h"
#include "config/activity_log.h"
#include "engine/keyring_vault.h"
#include "ui/shell/main_window.h"
#include "ui/shell/single_instance.h"
#include "ui/shell/sound_player.h"

namespace sievo {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

}  // namespace

bool WindowsWanted() {
    const std::string headless = Environment("SIEVOMATIC_HEADLESS");
    if (headless == "1")
        return false;
    return headless == "0" || !Environment("DISPLAY").empty() ||
           !Environment("WAYLAND_DISPLAY").empty();
}

int RunWindowed(int& argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Corvane Sievomatic");
    QApplication::setApplicationDisplayName("Corvane Sievomatic");
    // Closing the last window leaves the program in the tray.
    QApplication::setQuitOnLastWindowClosed(false);
    const std::vector<std::string> parameters(argv + 1, argv + argc);
    const CommandLineRequest request = ParseCommandLine(parameters);

    SingleInstance instance;
    if (!request.singlePass && instance.HandOver(parameters))
        return 0;
    Guarded([] { InstallDefaultFiles(); });
    // Before the welcome wizard, which may save a new account's passwords.
    InstallDesktopKeyring();

    TfrmMain main(std::make_unique<SystemSoundPlayer>());
    // A signal cancels a running check at once, without committing anything of it, and
    // ends the program as its Close command does.
    const StopSignals stopSignals([&main] {
        main.Engine().Abort();
        main.FormCloseQuery();
    });
    main.FormCreate();
    // A signal during a start-up dialog (the welcome wizard, an update question) ends the
    // program there.
    if (stopSignals.ExitStatus() != 0)
        return stopSignals.ExitStatus();
    main.CreateStatusWindow();
    KeepDataPrivate();
    if (main.HandleCommandLine(request)) {
        if (stopSignals.ExitStatus() != 0)
            return stopSignals.ExitStatus();
        return main.Engine().LastPassErrors() == 0 ? 0 : 1;
    }
    main.RegisterHotKeys();
    instance.Listen(
        [&main](const std::vector<std::string>& parameters) { main.HandleLaterStart(parameters); });
    QApplication::exec();
    Guarded([] { TheActivityLog().Save(); });
    return stopSignals.ExitStatus();
}

}  // namespace sievo
