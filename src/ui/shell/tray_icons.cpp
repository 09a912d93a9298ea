#include "ui/shell/tray_icons.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <QMenu>
#include <QStyle>

#include "config/data_folder.h"

namespace sievo {

namespace {

// A tray host often starts together with the desktop, a little after the programs.
constexpr int kTrayLooks = 5;
constexpr int kTrayLookIntervalMs = 3000;

}  // namespace

QIcon ProgramIcon(const char* fileName, const char* themeName) {
    const QString path = QString::fromStdString(ProgramFile(fileName));
    if (QFileInfo(path).isFile())
        return QIcon(path);
    return QIcon::fromTheme(themeName, qApp->style()->standardIcon(QStyle::SP_ComputerIcon));
}

TrayIcons::TrayIcons(QMenu& menu) {
    ICONMAIN.setObjectName("ICONMAIN");
    ICONMAIN.setIcon(ProgramIcon("icons/sievomatic.svg", "mail-mark-junk"));
    ICONMAIN.setToolTip(tr("Corvane Sievomatic"));
    ICONMAIN.setContextMenu(&menu);
    ICONMAIL.setObjectName("ICONMAIL");
    ICONMAIL.setIcon(ProgramIcon("icons/mail.svg", "mail-unread"));
    ICONMAIL.setToolTip(tr("You have Mail Waiting -- click to preview"));

    connect(&ICONMAIN, &QSystemTrayIcon::activated, this, [this](auto reason) {
        if (reason == QSystemTrayIcon::DoubleClick)
            emit MainDoubleClicked();
    });
    connect(&ICONMAIL, &QSystemTrayIcon::activated, this, [this](auto reason) {
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            emit MailClicked();
    });
    lookAgain_.setInterval(kTrayLookIntervalMs);
    connect(&lookAgain_, &QTimer::timeout, this, &TrayIcons::LookForTray);
}

void TrayIcons::Activate() {
    ICONMAIN.show();
    if (QSystemTrayIcon::isSystemTrayAvailable())
        return;
    emit TrayMissing(true);
    looksLeft_ = kTrayLooks;
    lookAgain_.start();
}

void TrayIcons::LookForTray() {
    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        lookAgain_.stop();
        // Shown again, so the icon registers with the tray that has just appeared.
        ICONMAIN.hide();
        ICONMAIN.show();
        emit TrayMissing(false);
    } else if (--looksLeft_ <= 0) {
        lookAgain_.stop();
    }
}

bool TrayIcons::Notify(const QString& text) {
    if (!ICONMAIN.isVisible() || !QSystemTrayIcon::isSystemTrayAvailable() ||
        !QSystemTrayIcon::supportsMessages())
        return false;
    ICONMAIN.showMessage(tr("Corvane Sievomatic"), text);
    return true;
}

void TrayIcons::SetMail(bool visible, const std::string& hint) {
    const QString text = QString::fromStdString(hint);
    // Told once per change, not at every check that finds the same mail still waiting.
    const bool news = visible && (!ICONMAIL.isVisible() || ICONMAIL.toolTip() != text);
    ICONMAIL.setToolTip(text);
    ICONMAIL.setVisible(visible);
    if (news && QSystemTrayIcon::supportsMessages())
        ICONMAIN.showMessage(tr("Corvane Sievomatic"), text, ICONMAIL.icon());
}

}  // namespace sievo
