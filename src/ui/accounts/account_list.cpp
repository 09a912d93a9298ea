#include "ui/accounts/account_list.h"

#include <QHeaderView>
#include <QTreeWidget>

#include "config/text.h"
#include "store/accounts_store.h"
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
    int number = 0;
    for (const StoredAccount& account : accounts::LoadAll()) {
        auto* row = new QTreeWidgetItem(
            &list, {QString::fromStdString(account.emailAddr),
                    ConnectionDescription(account.method, account.service.value_or("Unknown")),
                    QString::fromStdString(account.nextDateTime.value_or(""))});
        row->setData(0, Qt::UserRole, ++number);
    }
    if (list.topLevelItemCount() > 0) {
        list.setCurrentItem(list.topLevelItem(0));
        list.setFocus();
    }
}

}  // namespace sievo
