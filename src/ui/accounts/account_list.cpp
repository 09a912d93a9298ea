#include "ui/accounts/account_list.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "config/account.h"
#include "config/ini_file.h"
#include "config/text.h"
#include "ui/common/widget_names.h"

namespace sievo {

QString ConnectionDescription(const std::string& method, const std::string& service) {
    const std::string upper = ToUpperAscii(method);
    if (upper == "RAS")
        return QObject::tr("Perform automatic dial - ") + QString::fromStdString(service);
    if (upper == "MANUAL")
        return QObject::tr("Do not perform dial - Auto-Check Only When Connected");
    if (upper == "LAN")
        return QObject::tr("Do not perform dial  - Always Connected");
    return QString();
}

QTreeWidget* NewAccountListView(const char* objectName, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    Name(list, objectName, QObject::tr("Mail accounts"));
    list->setHeaderLabels(
        {QObject::tr("Account"), QObject::tr("Connection"), QObject::tr("Next Scan Time")});
    list->setRootIsDecorated(false);
    list->setSortingEnabled(false);
    list->header()->setSectionsClickable(false);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->resizeSection(0, 200);
    list->header()->resizeSection(1, 260);
    return list;
}

void PROCFillAccountList(QTreeWidget& list) {
    list.clear();
    // The accounts the checks see: a count past the sections shows no empty rows.
    const int count = AccountCount();
    const IniSnapshot ini = TIniFile(AccountsPath()).Snapshot();
    for (int n = 1; n <= count; ++n) {
        const std::string section = AccountSection(n);
        auto text = [&](const char* key, const char* defaultValue = "") {
            return QString::fromStdString(ini.ReadString(section, key, defaultValue));
        };
        auto* row = new QTreeWidgetItem(
            &list, {text("EMailAddr"),
                    ConnectionDescription(ini.ReadString(section, "Method", ""),
                                          ini.ReadString(section, "Service", "Unknown")),
                    text("NextDateTime")});
        row->setData(0, Qt::UserRole, n);
    }
    if (list.topLevelItemCount() > 0) {
        list.setCurrentItem(list.topLevelItem(0));
        list.setFocus();
    }
}

}  // namespace sievo
