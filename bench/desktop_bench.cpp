// The tray program's responsiveness and footprint:
// - a manual pass over 1 000 messages at 40 ms round trip, run with the windowed host
//   under the offscreen platform, and the longest time its event loop went unserved,
//   seen by a 10 ms timer that records how late it fires (target: at most 100 ms);
// - the time from starting the program until it is in the tray and listening for later
//   starts (target: at most 1 s), and its resident memory once idle (target: 60 MB).
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "config/ini_file.h"
#include "delay_proxy.h"
#include "dovecot_server.h"
#include "ui/main_window.h"
#include "ui/single_instance.h"
#include "ui/sound_player.h"

namespace {

using sievo::testing::DovecotServer;

constexpr int kMessages = 1000;
constexpr auto kOneWayDelay = std::chrono::milliseconds(20);
constexpr int kTickMs = 10;

class SilentPlayer : public sievo::SoundPlayer {
public:
    bool Play(const std::string&) override { return true; }
    void Beep() override {}
};

void WriteAccount(const std::string& home, std::uint16_t port) {
    const sievo::TIniFile accounts(home + "accounts.ini");
    accounts.WriteInteger("ENTRYCOUNT", "NumEntries", 1);
    accounts.WriteString("USER1", "POPAddress", "127.0.0.1:" + std::to_string(port));
    accounts.WriteString("USER1", "POPUser", DovecotServer::kUserName);
    accounts.WriteString("USER1", "ClearPassword", DovecotServer::kPassword);
    accounts.WriteString("USER1", "MailNotify", "0");
    const sievo::TIniFile settings(home + "settings.ini");
    settings.WriteString("Main", "OpenedBefore", "1");
}

void MeasurePass(const std::string& home) {
    const DovecotServer server({DovecotServer::GeneratedMessages(kMessages), "", ""});
    if (!server.Started()) {
        std::fprintf(stderr, "%s\n", server.Error().c_str());
        std::exit(EXIT_FAILURE);
    }
    const std::string address = server.PlainAddress();
    const auto port = static_cast<std::uint16_t>(std::stoi(address.substr(address.rfind(':') + 1)));
    const sievo::bench::DelayProxy proxy(port, kOneWayDelay);
    WriteAccount(home, proxy.Port());

    sievo::TfrmMain main(std::make_unique<SilentPlayer>());
    main.FormCreate();
    main.CreateStatusWindow();
    qint64 worstLateMs = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(kTickMs);
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { worstLateMs = std::max(worstLateMs, sinceTick.restart() - kTickMs); });
    QElapsedTimer pass;
    pass.start();
    sinceTick.start();
    tick.start();
    main.Menu().cleanNow->trigger();
    tick.stop();
    std::printf(
        "manual pass, %d messages, 40 ms round trip: %.1f s; event loop unserved at "
        "most %lld ms (target 100)\n",
        kMessages, pass.elapsed() / 1000.0, static_cast<long long>(worstLateMs));
}

long ResidentKiB(qint64 pid) {
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine())
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return -1;
}

void MeasureStart(const char* program, const std::string& home) {
    constexpr int kIdleMs = 3000;
    QProcess tray;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert("SIEVOMATIC_HOME", QString::fromStdString(home));
    environment.insert("SIEVOMATIC_HEADLESS", "0");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    tray.setProcessEnvironment(environment);
    const QString socket = sievo::SingleInstance().Name();
    QElapsedTimer started;
    started.start();
    tray.start(program);
    // The program listens for later starts right after its tray icon is up.
    while (!QFileInfo::exists(socket) && started.elapsed() < 10000)
        QThread::msleep(1);
    const qint64 toTray = started.elapsed();
    QThread::msleep(kIdleMs);
    std::printf("start to tray: %lld ms (target 1000); idle resident memory: %.1f MB (target 60)\n",
                static_cast<long long>(toTray), ResidentKiB(tray.processId()) / 1024.0);
    tray.terminate();
    tray.waitForFinished();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("SIEVOMATIC_HOME", home.path().toUtf8());
    const std::string folder = home.path().toStdString() + "/";
    MeasurePass(folder);
    if (argc > 1)
        MeasureStart(argv[1], folder);
    return EXIT_SUCCESS;
}
