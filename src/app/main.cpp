#include <QCoreApplication>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/headless.h"
#include "app/stop_signals.h"
#include "app/windowed_program.h"
#include "engine/command_line.h"

int main(int argc, char** argv) {
    sievo::IgnoreFileSizeSignal();
    const std::vector<std::string> parameters(argv + 1, argv + argc);
    const sievo::CommandLineRequest request = sievo::ParseCommandLine(parameters);
    if (request.help || request.version) {
        std::cout << (request.help ? sievo::UsageText() : sievo::VersionText());
        return 0;
    }
    if (!request.sieveFile.empty() && request.complaint.empty()) {
        QCoreApplication app(argc, argv);
        return sievo::ExportSieveScript(request.sieveFile);
    }
    // The engine asks the environment, for every check of this run.
    if (request.dryRun)
        setenv("SIEVOMATIC_DRY_RUN", "1", 1);
    if (sievo::WindowsWanted())
        return sievo::RunWindowed(argc, argv);
    // Without a display nobody sees a message box: the mistake ends the run before any
    // file is read or any server asked.
    if (!request.complaint.empty()) {
        std::cerr << request.complaint << "\nTry 'sievomatic --help' for more information.\n";
        return sievo::kCommandLineStatus;
    }
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Corvane Sievomatic");
    return sievo::RunHeadless(request);
}
