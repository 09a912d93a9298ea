#include "app/headless.h"

#include <QCoreApplication>
#include <iostream>

#include "app/console_log.h"
#include "app/default_files.h"
#include "app/private_data.h"
#include "app/stop_signals.h"
#include "app/terminal_user.h"
#include "config/activity_log.h"
#include "config/data_folder.h"
#include "config/file_io.h"
#include "engine/keyring_vault.h"
#include "engine/mail_engine.h"
#include "engine/sieve_export.h"
#include "engine/single_pass.h"
#include "store/settings_store.h"
#include "update/spam_list_updater.h"

namespace sievo {

namespace {

int RunProgram(const CommandLineRequest& request) {
    TerminalUser user;
    MailEngine engine(user.Interfaces());
    bool scheduling = false;
    // A signal cancels the running check at once, without committing anything of it.
    const StopSignals stopSignals([&] {
        engine.Abort();
        if (scheduling)
            QCoreApplication::quit();
    });
    // A spammer list downloaded earlier but not yet in place takes effect now. The check
    // for a new list asks the user, so it waits for the windowed program.
    FBOOLDoUpdate(ProgramFile("spamlist.new"), ProgramFile("sievo.lst"));
    int status = 0;
    if (request.singlePass) {
        CheckEveryAccountOnce(engine);
        status = engine.LastPassErrors() == 0 ? 0 : 1;
    } else if (settings::AutoEnabled()) {
        engine.StartSchedule();
        ActivityLog("Auto-check is on: checking on schedule until stopped.");
        scheduling = true;
        QCoreApplication::exec();
        scheduling = false;
    } else {
        ActivityLog(
            "Auto-check is off: nothing to do. Use /SINGLEPASS to check every account once.");
    }
    engine.Shutdown();
    return stopSignals.ExitStatus() != 0 ? stopSignals.ExitStatus() : status;
}

}  // namespace

int ExportSieveScript(const std::string& file) {
    try {
        const SieveScript script = ExportSieve(LoadSieveExportInput(), {});
        if (!WriteFileAtomically(file, script.text)) {
            std::cerr << "Unable to write to " << file << '\n';
            return 1;
        }
        for (const auto& line : script.notExpressed)
            std::cout << "Not as in the program: " << line << '\n';
        std::cout << "The rules are written to " << file << '\n';
        return 0;
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
}

int RunHeadless(const CommandLineRequest& request) {
    ConsoleLog console(std::cout);
    TheActivityLog().AddListener(&console);
    int status = 1;
    try {
        InstallDefaultFiles();
        TheActivityLog().Open();
        InstallDesktopKeyring();
        KeepDataPrivate();
        status = RunProgram(request);
    } catch (const std::exception& error) {
        AppException(error);
    }
    try {
        TheActivityLog().Save();
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        status = 1;
    }
    TheActivityLog().RemoveListener(&console);
    return status;
}

}  // namespace sievo
