// The spammer list editor with a list of 1 000 000 addresses (target: open in at most
// 2 s, Find instant): the time to show the window (read, split, count, first paint) and
// the time of a Find whose text is on the last line and of one that occurs nowhere,
// under the offscreen platform. Prints the figures; it is no timed test.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <cstdio>
#include <functional>
#include <string>

#include "config/file_io.h"
#include "offscreen_desktop.h"
#include "resource_usage.h"
#include "ui/lists/list_editor.h"

namespace {

constexpr int kLines = 1000000;

std::string GeneratedList() {
    std::string text;
    text.reserve(kLines * 28);
    for (int n = 0; n < kLines; ++n)
        text += "spammer" + std::to_string(n) + "@bulk-mail.example\r\n";
    return text;
}

double Milliseconds(const std::function<void()>& step) {
    QElapsedTimer timer;
    timer.start();
    step();
    return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    const sievo::bench::OffscreenDesktop desktop(argc, argv);
    const std::string path = desktop.Folder() + "sievo.lst";
    if (!sievo::WriteFileAtomically(path, GeneratedList()))
        return 1;

    sievo::TfrmSpamList window;
    const double open = Milliseconds([&] {
        window.show();
        QApplication::processEvents();
    });
    auto* find = window.findChild<QLineEdit*>("edtFind");
    find->setText(QString("spammer%1@").arg(kLines - 1));
    const double last = Milliseconds([&] { window.Find(); });
    find->setText("nowhere@example");
    const double miss = Milliseconds([&] { window.Find(); });
    const double close = Milliseconds([&] { window.close(); });
    std::printf(
        "lines %d: open %.0f ms, find on the last line %.1f ms, find a miss %.1f ms, "
        "close with save %.0f ms, peak memory %ld MB\n",
        kLines, open, last, miss, close, sievo::bench::PeakMegabytes());
    return 0;
}
