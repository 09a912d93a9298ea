#include "app/headless.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>
#include <iostream>

#include "app/command_line.h"
#include "app/console_log.h"
#include "app/default_files.h"
#include "config/activity_log.h"
#include "config/data_folder.h"
#include "config/host.h"
#include "config/settings.h"
#include "engine/mail_engine.h"
#include "update/spam_list_updater.h"

namespace sievo {

namespace {

int signalPipe[2] = {-1, -1};

void ForwardSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const auto written = write(signalPipe[1], &byte, 1);
}

// Runs the schedule until SIGINT or SIGTERM; the handler only writes to a pipe, which the
// event loop reads, since nothing else may run inside a signal handler.
void RunScheduleUntilStopped(MailEngine& engine) {
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        ActivityLog("Cannot watch for signals; the schedule does not run.");
        return;
    }
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });
    std::signal(SIGINT, ForwardSignal);
    std::signal(SIGTERM, ForwardSignal);
    engine.Timer1.start();
    ActivityLog("Auto-check is on: checking on schedule until stopped.");
    QCoreApplication::exec();
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    close(signalPipe[0]);
    close(signalPipe[1]);
}

int RunProgram(const CommandLineRequest& request) {
    MailEngine engine;
    // A spammer list downloaded earlier but not yet in place takes effect now. The check
    // for a new list asks the user, so it waits for the windowed program.
    FBOOLDoUpdate(ProgramFile("spamlist.new"), ProgramFile("sievo.lst"));
    if (!request.complaint.empty())
        TheHost().ShowMessage(request.complaint);
    int status = 0;
    if (request.singlePass) {
        engine.RunSinglePass();
        status = engine.LastPassErrors() == 0 ? 0 : 1;
    } else if (settings::AutoEnabled()) {
        RunScheduleUntilStopped(engine);
    } else {
        ActivityLog(
            "Auto-check is off: nothing to do. Use /SINGLEPASS to check every account once.");
    }
    engine.Shutdown();
    return status;
}

}  // namespace

int RunHeadless(const std::vector<std::string>& parameters) {
    ConsoleLog console(std::cout);
    TheActivityLog().AddListener(&console);
    int status = 1;
    try {
        InstallDefaultFiles();
        TheActivityLog().Open();
        status = RunProgram(ParseCommandLine(parameters));
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
