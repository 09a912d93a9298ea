#pragma once

#include <QDateTime>
#include <QDialog>

#include "engine/server_check.h"
#include "store/accounts_store.h"
#include "ui/accounts/account_context.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabWidget;

namespace sievo {

class ConnectionChoice;
class IncomingServerBox;

// "Account Settings": every setting of one account on six pages; it loads the account
// when built and saves it on OK.
class TfrmSettings : public QDialog {
    Q_OBJECT

public:
    TfrmSettings(int account, const AccountContext& context, QWidget* parent);

    void accept() override;
    void done(int result) override;

private:
    QWidget* NamePage();
    QWidget* IntervalPage();
    QWidget* ServerPage();
    QWidget* ConnectionPage();
    QWidget* SoundsPage();
    QWidget* ProgramPage();
    QLineEdit* Field(const char* objectName, bool secret = false);
    void Load();
    void LoadPasswords();
    void Save() const;
    void SetNextScan(const QDateTime& when);
    void ChangeDates();
    void RunTest();
    // The account as the dialog shows it now: what OK saves and what Test tries.
    StoredAccount Entered() const;

    int account_;
    const AccountContext& context_;
    QTabWidget* pages_;
    QLineEdit* edtEMailAddr_;
    QSlider* trkInterval_;
    QLabel* lblInterval_;
    QLabel* lblNextScan_;
    IncomingServerBox* incoming_;
    QLineEdit* edtSMTPAddress_;
    QComboBox* cboSMTPSecurity_;
    QLineEdit* edtSMTPUser_;
    QLineEdit* edtSMTPPassword_;
    QLabel* lblPasswordPlace_;  // where the mail password is kept
    QPushButton* btnTest_;
    QLabel* lblTestResult_;
    ConnectionChoice* connection_;
    QCheckBox* chkMailNotify_;
    QLineEdit* edtMailNotifyWAV_;
    QLineEdit* edtCommandLine_;
    QCheckBox* chkRunAfterManual_;
    QCheckBox* chkRunAfterAuto_;
    QDateTime nextScan_;
    StoredAccount stored_;  // as loaded; keys the dialog does not show are saved unchanged
    ServerCheck check_;
};

// Runs "Account Settings" for the account of list row `rowIndex` (account rowIndex + 1);
// true when it was confirmed.
bool PROCAccountProperties(int rowIndex, const AccountContext& context, QWidget* parent);

}  // namespace sievo
