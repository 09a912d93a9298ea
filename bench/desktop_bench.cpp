// The tray program's responsiveness and footprint:
// - a manual pass over 1 000 messages at 40 ms round trip, and the preview's listing of
//   10 000 messages at 0 ms and of 1 000 at 40 ms round trip, run with the windowed program
//   under the offscreen platform, each with the longest time its event loop went unserved,
//   seen by a 10 ms timer that records how late it fires (target: at most 100 ms);
// - the time from starting the program until it is in the tray and listening for later
//   starts (target: at most 1 s), and its resident memory once idle (target: 60 MB).
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "config/ini_file.h"
#include "delay_proxy.h"
#include "dovecot_server.h"
#include "offscreen_desktop.h"
#include "silent_sounds.h"
#include "ui/shell/main_window.h"
#include "ui/shell/single_instance.h"

namespace {

using sievo::testing::DovecotServer;

constexpr int kMessages = 1000;
constexpr int kPreviewMessages = 10000;
constexpr auto kOneWayDelay = std::chrono::milliseconds(20);
constexpr int kTickMs = 10;

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

// A private Dovecot with `messages` messages, reached through a proxy with the one-way
// delay (directly without one), as the only account.
class Mailbox {
public:
    Mailbox(const std::string& home, int messages, std::chrono::milliseconds oneWayDelay)
        : server_({DovecotServer::GeneratedMessages(messages), "", ""}) {
        if (!server_.Started()) {
            std::fprintf(stderr, "%s\n", server_.Error().c_str());
            std::exit(EXIT_FAILURE);
        }
        const std::string address = server_.PlainAddress();
        auto port = static_cast<std::uint16_t>(std::stoi(address.substr(address.rfind(':') + 1)));
        if (oneWayDelay.count() > 0) {
            proxy_ = std::make_unique<sievo::bench::DelayProxy>(port, oneWayDelay);
            port = proxy_->Port();
        }
        WriteAccount(home, port);
    }

private:
    DovecotServer server_;
    std::unique_ptr<sievo::bench::DelayProxy> proxy_;
};

// Runs the command and prints how long it took and how late the event loop was served.
void MeasureLateness(const std::string& what, const std::function<void()>& command) {
    qint64 worstLateMs = 0;
    QElapsedTimer sinceTick;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(kTickMs);
    QObject::connect(&tick, &QTimer::timeout,
                     [&] { worstLateMs = std::max(worstLateMs, sinceTick.restart() - kTickMs); });
    QElapsedTimer elapsed;
    elapsed.start();
    sinceTick.start();
    tick.start();
    command();
    tick.stop();
    std::printf("%s: %.1f s; event loop unserved at most %lld ms (target 100)\n", what.c_str(),
                elapsed.elapsed() / 1000.0, static_cast<long long>(worstLateMs));
}

void MeasurePass(const std::string& home) {
    const Mailbox mailbox(home, kMessages, kOneWayDelay);
    sievo::TfrmMain main(std::make_unique<sievo::bench::SilentSounds>());
    main.FormCreate();
    main.CreateStatusWindow();
    MeasureLateness("manual pass, 1000 messages, 40 ms round trip",
                    [&main] { main.Menu().cleanNow->trigger(); });
}

void MeasurePreview(const std::string& home, int messages, std::chrono::milliseconds oneWayDelay) {
    const Mailbox mailbox(home, messages, oneWayDelay);
    sievo::TfrmMain main(std::make_unique<sievo::bench::SilentSounds>());
    main.FormCreate();
    main.CreateStatusWindow();
    MeasureLateness("preview, " + std::to_string(messages) + " messages, " +
                        std::to_string(2 * oneWayDelay.count()) + " ms round trip",
                    [&main] { main.Menu().preview->trigger(); });
    if (main.Preview().List().rowCount() != messages) {
        std::fprintf(stderr, "the preview listed %d of %d messages\n",
                     main.Preview().List().rowCount(), messages);
        std::exit(EXIT_FAILURE);
    }
    main.Preview().hide();
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
    const sievo::bench::OffscreenDesktop desktop(argc, argv);
    const std::string folder = desktop.Folder();
    MeasurePass(folder);
    MeasurePreview(folder, kPreviewMessages, std::chrono::milliseconds(0));
    MeasurePreview(folder, kMessages, kOneWayDelay);
    if (argc > 1)
        MeasureStart(argv[1], folder);
    return EXIT_SUCCESS;
}
