#include "ui/shell/web_services.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "config/data_folder.h"
#include "store/settings_store.h"
#include "ui/shell/detached_launcher.h"

namespace sievo {

bool LFUNClaunchWebSite(const std::string& address) {
    const QString browser = QString::fromStdString(settings::BrowserCommandLine());
    const QStringList words = QProcess::splitCommand(browser);
    if (words.isEmpty())
        return QDesktopServices::openUrl(QUrl(QString::fromStdString(address)));
    std::vector<std::string> arguments;
    for (qsizetype i = 1; i < words.size(); ++i)
        arguments.push_back(words[i].toStdString());
    arguments.push_back(address);
    return DetachedLauncher().StartProgram(words.front().toStdString(), arguments);
}

bool OpenHelpTopic(const std::string& anchor) {
    QUrl page = QUrl::fromLocalFile(QString::fromStdString(ProgramFile("help/index.html")));
    page.setFragment(QString::fromStdString(anchor));
    return LFUNClaunchWebSite(page.toString().toStdString());
}

// The maker's pages are long gone; each link opens the part of the program's own help
// that answers what the page was for.
const std::vector<WebLink>& WebLinks() {
    static const std::vector<WebLink> links = {
        {"Visit Corvane...", "What_Is_Sievomatic"},
        {"Subscribe to CorvaneNews Newsletter...", "What_Is_Sievomatic"},
        {"Contact Corvane...", "Introduction"},
        {"Other Great Products...", "What_Is_Sievomatic"},
        {"Technical Support...", "Introduction"},
        {"", ""},
        {"Report a Spammer to Corvane...", "Mail_Preview_Center"},
        {"", ""},
        {"Sievo Home Page...", "Introduction"},
    };
    return links;
}

}  // namespace sievo
