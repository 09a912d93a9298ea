#pragma once

#include <QObject>
#include <QSystemTrayIcon>
#include <QTimer>
#include <string>

class QMenu;

namespace sievo {

// ICONMAIN with the program's menu and ICONMAIL, shown while mail waits. Where the
// desktop has no tray it says so, and looks again a few times after start.
class TrayIcons : public QObject {
    Q_OBJECT

public:
    explicit TrayIcons(QMenu& menu);

    // Switches ICONMAIN on, or reports that there is no tray yet.
    void Activate();
    void SetMail(bool visible, const std::string& hint);
    // A passing notice from the main icon; false where the desktop shows none.
    bool Notify(const QString& text);
    bool MailVisible() const { return ICONMAIL.isVisible(); }
    QString MailHint() const { return ICONMAIL.toolTip(); }

signals:
    void MainDoubleClicked();
    void MailClicked();
    // missing: the desktop shows no tray (again) or, false, one has turned up.
    void TrayMissing(bool missing);

private:
    void LookForTray();

    QSystemTrayIcon ICONMAIN;
    QSystemTrayIcon ICONMAIL;
    QTimer lookAgain_;
    int looksLeft_ = 0;
};

// An icon of the data folder drawn as SVG, or the theme's icon while the file is missing.
QIcon ProgramIcon(const char* fileName, const char* themeName);

}  // namespace sievo
