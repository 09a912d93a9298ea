#include "program_run.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace sievo::testing {

ProgramRun RunProgram(const std::string& program, const QStringList& arguments,
                      const std::map<std::string, std::string>& changes,
                      const std::function<void(QProcess&)>& meanwhile,
                      const std::function<void()>& inChild) {
    constexpr int kPassLimitMs = 180000;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("SIEVOMATIC_HEADLESS", "1");
    for (const auto& [name, value] : changes) {
        if (value.empty())
            environment.remove(QString::fromStdString(name));
        else
            environment.insert(QString::fromStdString(name), QString::fromStdString(value));
    }
    QProcess process;
    process.setProcessEnvironment(environment);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(QString::fromStdString(program), arguments);
    ProgramRun run;
    if (meanwhile)
        meanwhile(process);
    const bool ended =
        process.state() == QProcess::NotRunning || process.waitForFinished(kPassLimitMs);
    if (!ended) {
        process.kill();
        process.waitForFinished();
        ADD_FAILURE() << program << " did not end";
        return run;
    }
    if (process.exitStatus() == QProcess::NormalExit)
        run.exitCode = process.exitCode();
    run.output = (process.readAllStandardOutput() + process.readAllStandardError()).toStdString();
    return run;
}

}  // namespace sievo::testing
