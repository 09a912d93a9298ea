// The rule list with 1 000 rules under the offscreen platform: the time to fill it from
// rules.ini (target: at most 200 ms) and to sort it by a text column and by the hit counts
// (target: at most 50 ms each). Each figure is the median of several runs.
#include <QApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "config/file_io.h"
#include "offscreen_desktop.h"
#include "silent_sounds.h"
#include "ui/rules/rule_list_window.h"
#include "ui/shell/tray_menu.h"

namespace {

constexpr int kRules = 1000;
constexpr int kRuns = 9;

void WriteRules(const std::string& path) {
    const char* criteria[] = {"FROM", "LIST", "HEADER", "SUBCONT", "FROMNUM"};
    std::string text = "[ProcedureCount]\r\nNumProcs=" + std::to_string(kRules) + "\r\n";
    for (int n = 1; n <= kRules; ++n) {
        const std::string tag = std::to_string(n);
        text += "[PROCEDURE" + tag + "]\r\nCriteria=" + criteria[n % 5] + "\r\nValue=value " +
                std::to_string(n * 7919 % kRules) + "\r\nActive=" + std::to_string(n % 2) +
                "\r\nDeleteAction=1\r\nBeep=0\r\nReply=1\r\nReport=0\r\nConfirm=0\r\n" +
                "SendtoRecycle=1\r\nReplyname=Go away\r\nReplyFile=away1\r\nReportname=\r\n" +
                "ReportFile=\r\nNumHits=" + std::to_string(n * 31 % 977) + "\r\n";
    }
    if (!sievo::WriteFileAtomically(path, text)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(EXIT_FAILURE);
    }
}

// The median time of `run`, each time after `prepare`, which is not timed.
double MedianMs(const std::function<void()>& run, const std::function<void()>& prepare = {}) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const sievo::bench::OffscreenDesktop desktop(argc, argv);
    WriteRules(desktop.Folder() + "rules.ini");

    sievo::TrayMenu menu;
    sievo::bench::SilentSounds sounds;
    sievo::TfrmList window(menu, sounds);
    window.show();
    const double load = MedianMs([&] { window.PROCloadRuleList(); });
    // Every sort starts from the file order, as after a refill.
    const auto refill = [&] { window.PROCloadRuleList(); };
    const double sortText = MedianMs([&] { window.lstVRulesColumnClick(1); }, refill);
    const double sortHits = MedianMs([&] { window.lstVRulesColumnClick(8); }, refill);
    std::printf("PROCloadRuleList, %d rules: %.1f ms (target 200 ms)\n", kRules, load);
    std::printf("sort by Value: %.1f ms, by Hits: %.1f ms (target 50 ms)\n", sortText, sortHits);
    return load <= 200 && sortText <= 50 && sortHits <= 50 ? EXIT_SUCCESS : EXIT_FAILURE;
}
