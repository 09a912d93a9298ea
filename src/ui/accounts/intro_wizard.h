#pragma once

#include <QWizard>
#include <optional>
#include <string>

#include "engine/security_probe.h"
#include "ui/accounts/account_context.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace sievo {

class ConnectionChoice;
struct StoredAccount;

// "Welcome Wizard": the five steps to one new mail account. When step 2 is left it finds
// out in the background whether the server offers IMAP or POP3 over TLS.
class TfrmIntro : public QWizard {
    Q_OBJECT

public:
    TfrmIntro(const AccountContext& context, QWidget* parent = nullptr);

    // Pre-fills the fields from the account (normally one not stored yet: the defaults).
    void PreFill(const StoredAccount& account);

    // The ports the security check tries (IMAPS, IMAP with STARTTLS, POP3S, POP3 with STLS).
    void SetProbePorts(SecurityProbe::Ports ports) { probePorts_ = ports; }
    // The check's outcome; nothing while it is due or running.
    std::optional<SecurityProbe::Outcome> ProbeOutcome() const { return probeOutcome_; }

    bool validateCurrentPage() override;
    void done(int result) override;

private:
    // Adds the account after the last one, with its count, in one write.
    void AppendAccount() const;
    class QWizardPage* StepPage(int step, const QString& heading);
    void AddAddressPage();
    void AddServerPage();
    void AddSmtpPage();
    void AddConnectionPage();
    void AddIntervalPage();
    QWidget* ProbeBox();
    void LeaveStep1();
    void LeaveStep2();
    void StartProbe();
    void ShowProbeOutcome();
    void PlaceProbeBox(int pageId);

    const AccountContext& context_;
    QLineEdit* edtEMailAddr_;
    QLineEdit* edtPOPAddress_;
    QLineEdit* edtPOPUser_;
    QLineEdit* edtPassword_;
    QLineEdit* edtSMTPAddress_;
    ConnectionChoice* connection_;
    QSlider* trkInterval_;
    QLabel* lblInterval_;
    QWidget* probeBox_;
    QLabel* lblProbe_;
    QPushButton* btnSkipProbe_;
    bool atSignWarned_ = false;
    SecurityProbe probe_;
    SecurityProbe::Ports probePorts_;
    std::optional<SecurityProbe::Outcome> probeOutcome_;
    bool probeAgain_ = false;
    std::string probedServer_;
};

// Runs the welcome wizard and, when it is finished, appends the new account to
// accounts.ini and marks the program as set up. A file that cannot be read or written is
// reported in a message box.
void PROCAddAccountWizard(const AccountContext& context, QWidget* parent = nullptr);

}  // namespace sievo
