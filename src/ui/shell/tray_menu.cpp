#include "ui/shell/tray_menu.h"

#include <QAction>
#include <QActionGroup>

#include "ui/shell/web_services.h"

namespace sievo {

TrayMenu::TrayMenu() {
    menu_.setObjectName("mnuTray");
    ruleList = Add(menu_, "mnuRuleList", QObject::tr("Rule List (Start Here)..."));
    quickAdd = Add(menu_, "mnuQuickAdd", QObject::tr("Quick &Add..."), Qt::CTRL | Qt::Key_F12);
    cleanNow = Add(menu_, "C3", QObject::tr("Clean Mail Now..."), Qt::CTRL | Qt::Key_F10);
    menu_.addSeparator();
    AddAutoCheck();
    menu_.addSeparator();
    preview =
        Add(menu_, "mnuPreview", QObject::tr("Preview Waiting Messages..."), Qt::CTRL | Qt::Key_F9);
    menu_.addSeparator();
    status = Add(menu_, "mnuStatus", QObject::tr("Status..."));
    AddTools();
    AddHelp();
    menu_.addSeparator();
    close = Add(menu_, "mnuClose", QObject::tr("Close..."));
}

QAction* TrayMenu::Add(QMenu& menu, const char* objectName, const QString& text,
                       const QKeySequence& shortcut) {
    QAction* action = menu.addAction(text);
    action->setObjectName(objectName);
    if (!shortcut.isEmpty()) {
        // Shown in the menu; the keys themselves are the system-wide hot keys.
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setShortcutVisibleInContextMenu(true);
    }
    return action;
}

void TrayMenu::AddAutoCheck() {
    QMenu* autoCheck = menu_.addMenu(QObject::tr("Auto-Check"));
    autoCheck->setObjectName("mnuAutoCheck");
    enableAutoCheck = Add(*autoCheck, "mnuEnableAutoCheck", QObject::tr("Enable Auto-Check"));
    disableAutoCheck = Add(*autoCheck, "mnuDisableAutoCheck", QObject::tr("Disable Auto-Check"));
    auto* group = new QActionGroup(autoCheck);
    for (QAction* action : {enableAutoCheck, disableAutoCheck}) {
        action->setCheckable(true);
        group->addAction(action);
    }
    disableAutoCheck->setChecked(true);
}

void TrayMenu::AddTools() {
    QMenu* tools = menu_.addMenu(QObject::tr("Tools"));
    tools->setObjectName("mnuTools");
    QMenu* lists = tools->addMenu(QObject::tr("Lists"));
    lists->setObjectName("mnuLists");
    friends = Add(*lists, "mnuFriends", QObject::tr("My Friends..."));
    spammers = Add(*lists, "mnuSpammers", QObject::tr("Spammers..."));
    messages = Add(*tools, "mnuMessages", QObject::tr("Reply / Report Messages..."));
    options = Add(*tools, "mnuOptions", QObject::tr("Options..."));
    tools->addSeparator();
    accounts = Add(*tools, "mnuAccounts", QObject::tr("Accounts..."));
}

void TrayMenu::AddHelp() {
    QMenu* help = menu_.addMenu(QObject::tr("Help"));
    help->setObjectName("mnuHelp");
    helpContents = Add(*help, "mnuContents", QObject::tr("Contents..."));
    tellAFriend = Add(*help, "mnuTellAFriend", QObject::tr("Tell a Friend About Sievo..."));
    QMenu* web = help->addMenu(QObject::tr("Corvane on the Web"));
    web->setObjectName("mnuWeb");
    for (const WebLink& link : WebLinks()) {
        if (*link.text == '\0')
            web->addSeparator();
        else
            webLinks.push_back(Add(*web, "mnuWebLink", QObject::tr(link.text)));
    }
    help->addSeparator();
    about = Add(*help, "mnuAbout", QObject::tr("About..."));
}

}  // namespace sievo
