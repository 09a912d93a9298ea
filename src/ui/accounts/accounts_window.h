#pragma once

#include <QDialog>

#include "ui/accounts/account_context.h"

class QBoxLayout;
class QTreeWidget;

namespace sievo {

// "Mail Accounts": the list of accounts with Add (the welcome wizard), Remove and
// Properties ("Account Settings").
class TfrmAccounts : public QDialog {
    Q_OBJECT

public:
    TfrmAccounts(const AccountContext& context, QWidget* parent = nullptr);

    void PROCDeleteAccount();
    void Add();
    void Properties();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AddButtons(QBoxLayout* column);
    void AddPopupMenu();

    const AccountContext& context_;
    QTreeWidget* lstVAccounts_;
    bool deleting_ = false;
};

}  // namespace sievo
