#pragma once

#include <QDialog>

class QTreeWidget;

namespace sievo {

// "Select Account": which account to preview.
class TfrmSelectAccount : public QDialog {
    Q_OBJECT

public:
    explicit TfrmSelectAccount(QWidget* parent = nullptr);

    int RowCount() const;
    // The chosen row's account number, or -1 when no row is selected.
    int Chosen() const;

private:
    QTreeWidget* lstVAccounts_;
};

// The account number to preview: 1 without asking when there are fewer than two
// accounts, else the user's choice, or -1 when cancelled (or confirmed with no row
// selected).
int FINTSelectAccount(QWidget* parent = nullptr);

}  // namespace sievo
