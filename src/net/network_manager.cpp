#include "net/network_manager.h"

#include <QProcess>
#include <cstdlib>

#include "net/event_pump.h"

namespace sievo {

namespace {

QString NmcliProgram() {
    const char* replacement = std::getenv(kNmcliVariable);
    return replacement != nullptr && *replacement != '\0' ? QString::fromLocal8Bit(replacement)
                                                          : QStringLiteral("nmcli");
}

void PassLines(QProcess& process, const std::function<void(const std::string&)>& onLine,
               std::string& output) {
    while (process.canReadLine()) {
        QByteArray line = process.readLine();
        output += line.toStdString();
        line = line.trimmed();
        if (onLine && !line.isEmpty())
            onLine(line.toStdString());
    }
}

}  // namespace

NmcliResult NmcliRunner::Run(const std::vector<std::string>& arguments,
                             const std::function<bool()>& stop,
                             const std::function<void(const std::string&)>& onLine) {
    QStringList list;
    for (const auto& argument : arguments)
        list << QString::fromStdString(argument);
    QProcess process;
    NmcliResult result;
    bool failedToStart = false;
    QObject::connect(&process, &QProcess::errorOccurred, [&](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            failedToStart = true;
    });
    process.start(NmcliProgram(), list);
    while (!failedToStart && process.state() != QProcess::NotRunning && !stop()) {
        PumpOnce();
        PassLines(process, onLine, result.output);
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    PassLines(process, onLine, result.output);
    result.output += process.readAll().toStdString();
    result.errorText = QString::fromUtf8(process.readAllStandardError()).trimmed().toStdString();
    result.ran = !failedToStart && process.exitStatus() == QProcess::NormalExit;
    result.exitCode = process.exitCode();
    return result;
}

std::vector<std::string> SplitTerseLine(const std::string& line) {
    std::vector<std::string> fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            fields.back() += line[++i];
        } else if (line[i] == ':') {
            fields.emplace_back();
        } else {
            fields.back() += line[i];
        }
    }
    return fields;
}

}  // namespace sievo
