#include "ui/accounts/accounts_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "store/accounts_store.h"
#include "ui/accounts/account_list.h"
#include "ui/accounts/account_settings_dialog.h"
#include "ui/common/dialog_helpers.h"
#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"
#include "ui/shell/main_window.h"

namespace sievo {

TfrmAccounts::TfrmAccounts(const AccountContext& context, QWidget* parent)
    : QDialog(parent), context_(context), lstVAccounts_(NewAccountListView("lstVAccounts", this)) {
    Name(this, "frmAccounts", tr("Mail Accounts"));
    setWindowTitle(tr("Mail Accounts"));
    connect(lstVAccounts_, &QTreeWidget::itemDoubleClicked, this,
            [this] { Guarded([this] { Properties(); }); });
    auto* buttons = new QVBoxLayout;
    AddButtons(buttons);
    auto* row = new QHBoxLayout;
    row->addWidget(lstVAccounts_, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(NoteLabel(
        tr("You can optionally set up Sievo to clean more than one e-mail inbox.  This feature "
           "is useful if you have more than one e-mail account such as a work and a private "
           "address."),
        this));
    layout->addLayout(row);
    AddPopupMenu();
    resize(780, 300);
}

void TfrmAccounts::AddButtons(QBoxLayout* column) {
    struct Command {
        const char* name;
        QString text;
        void (TfrmAccounts::*run)();
    };
    const Command commands[] = {
        {"btnAdd", tr("&Add"), &TfrmAccounts::Add},
        {"btnRemove", tr("&Remove"), &TfrmAccounts::PROCDeleteAccount},
        {"btnProperties", tr("&Properties"), &TfrmAccounts::Properties},
        {"btnClose", tr("&Close"), nullptr},
    };
    for (const Command& command : commands) {
        auto* button = new QPushButton(command.text, this);
        Name(button, command.name, QString(command.text).remove('&'));
        button->setAutoDefault(false);
        if (command.run)
            connect(button, &QPushButton::clicked, this,
                    [this, run = command.run] { Guarded([&] { (this->*run)(); }); });
        else
            connect(button, &QPushButton::clicked, this, &QDialog::close);
        column->addWidget(button);
    }
    column->addStretch();
}

void TfrmAccounts::AddPopupMenu() {
    lstVAccounts_->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto add = [this](const QString& text, void (TfrmAccounts::*run)()) {
        auto* action = new QAction(text, lstVAccounts_);
        connect(action, &QAction::triggered, this,
                [this, run] { Guarded([&] { (this->*run)(); }); });
        lstVAccounts_->addAction(action);
    };
    add(tr("Add..."), &TfrmAccounts::Add);
    add(tr("Remove..."), &TfrmAccounts::PROCDeleteAccount);
    auto* separator = new QAction(lstVAccounts_);
    separator->setSeparator(true);
    lstVAccounts_->addAction(separator);
    add(tr("Properties..."), &TfrmAccounts::Properties);
}

void TfrmAccounts::showEvent(QShowEvent* event) {
    Guarded([this] { PROCFillAccountList(*lstVAccounts_); });
    QDialog::showEvent(event);
}

void TfrmAccounts::Add() {
    if (context_.addAccount)
        context_.addAccount();
    PROCFillAccountList(*lstVAccounts_);
}

void TfrmAccounts::PROCDeleteAccount() {
    QTreeWidgetItem* selected = lstVAccounts_->currentItem();
    if (!selected || !selected->isSelected()) {
        ShowUserMessage(this, tr("Please select an item to delete"));
        return;
    }
    // A running pass goes through the accounts by number and writes each one's check
    // times back by number: renumbered under it, it would write into another account.
    const auto refusedWhileChecking = [this] {
        const bool running = context_.checkRunning && context_.checkRunning();
        if (running)
            ShowUserMessage(this, tr("An account cannot be removed while a check is running. "
                                     "Please try again when the check has finished."));
        return running;
    };
    if (refusedWhileChecking())
        return;
    if (!AskUserYesNo(this, tr("Are you sure you want to delete this item?")) || deleting_ ||
        refusedWhileChecking())
        return;
    deleting_ = true;
    if (lstVAccounts_->topLevelItemCount() == 0) {
        ShowUserMessage(this, tr("There is nothing to delete"));
        deleting_ = false;
        return;
    }
    const int number = selected->data(0, Qt::UserRole).toInt();
    {
        const auto done = qScopeGuard([this] { deleting_ = false; });
        QCoreApplication::processEvents();
        accounts::Remove(number);
        QCoreApplication::processEvents();
    }
    PROCFillAccountList(*lstVAccounts_);
}

void TfrmAccounts::Properties() {
    QTreeWidgetItem* selected = lstVAccounts_->currentItem();
    if (!selected || !selected->isSelected()) {
        ShowUserMessage(this, tr("Please select an account to modify"));
        return;
    }
    if (PROCAccountProperties(lstVAccounts_->indexOfTopLevelItem(selected), context_, this))
        PROCFillAccountList(*lstVAccounts_);
}

}  // namespace sievo
