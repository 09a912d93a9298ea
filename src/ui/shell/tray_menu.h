#pragma once

#include <QMenu>
#include <vector>

class QAction;

namespace sievo {

// The main tray icon's menu, in the program's order; the owner connects the commands.
class TrayMenu {
public:
    TrayMenu();

    QMenu& Menu() { return menu_; }

    QAction* ruleList;
    QAction* quickAdd;
    QAction* cleanNow;
    QAction* enableAutoCheck;
    QAction* disableAutoCheck;
    QAction* preview;
    QAction* status;
    QAction* friends;
    QAction* spammers;
    QAction* messages;
    QAction* options;
    QAction* accounts;
    QAction* helpContents;
    QAction* tellAFriend;
    QAction* about;
    QAction* close;
    // One per web link, in the order of WebLinks() without its separators.
    std::vector<QAction*> webLinks;

private:
    QAction* Add(QMenu& menu, const char* objectName, const QString& text,
                 const QKeySequence& shortcut = {});
    void AddAutoCheck();
    void AddTools();
    void AddHelp();

    QMenu menu_;
};

}  // namespace sievo
