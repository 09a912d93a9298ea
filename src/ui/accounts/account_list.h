#pragma once

#include <QString>
#include <string>

class QTreeWidget;
class QWidget;

namespace sievo {

// The words the account list shows for an account's Method (and its Service for RAS).
QString ConnectionDescription(const std::string& method, const std::string& service);

// A report-style list with the columns "Account", "Connection" and "Next Scan Time".
QTreeWidget* NewAccountListView(const char* objectName, QWidget* parent);

// One row per account of accounts.ini, each carrying its account number; the first row
// is selected and focused.
void PROCFillAccountList(QTreeWidget& list);

}  // namespace sievo
