#include "store/password_command.h"

#include <signal.h>
#include <unistd.h>
#include <QProcess>

#include "config/errors.h"

namespace sievo {

namespace {

[[noreturn]] void Fail(const std::string& account, const std::string& why) {
    throw Exception("The password command of account " + account + " " + why);
}

std::string FirstLine(const QByteArray& output) {
    const qsizetype end = output.indexOf('\n');
    QByteArray line = end < 0 ? output : output.left(end);
    if (line.endsWith('\r'))
        line.chop(1);
    return line.toStdString();
}

}  // namespace

// The command is a local program that answers at once (a password manager, secret-tool),
// so the wait does not serve the interface; the deadline bounds it.
std::string RunPasswordCommand(const std::string& command, const std::string& account,
                               std::chrono::milliseconds deadline) {
    const int waitMs = static_cast<int>(deadline.count());
    QProcess process;
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    // A group of its own, so the deadline ends whatever the shell started as well.
    process.setChildProcessModifier([] { setsid(); });
    process.start("/bin/sh", {"-c", QString::fromStdString(command)});
    if (!process.waitForStarted(waitMs))
        Fail(account, "could not be started");
    if (!process.waitForFinished(waitMs)) {
        ::kill(-static_cast<pid_t>(process.processId()), SIGKILL);
        process.waitForFinished();
        Fail(account, "gave no answer within " + std::to_string(waitMs) + " ms");
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        Fail(account, "failed with status " + std::to_string(process.exitCode()));
    const std::string password = FirstLine(process.readAllStandardOutput());
    if (password.empty())
        Fail(account, "printed no password");
    return password;
}

}  // namespace sievo
