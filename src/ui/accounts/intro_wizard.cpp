#include "ui/accounts/intro_wizard.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QVBoxLayout>
#include <QWizardPage>
#include <algorithm>
#include <vector>

#include "store/accounts_store.h"
#include "store/settings_store.h"
#include "ui/accounts/connection_choice.h"
#include "ui/common/dialog_helpers.h"
#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"

namespace sievo {

namespace {

enum Step { kAddress, kServer, kSmtp, kConnection, kInterval };

// A page that may be left only when every field it requires holds text.
class RequiredFieldsPage : public QWizardPage {
public:
    using QWizardPage::QWizardPage;

    void Require(QLineEdit* field) {
        required_.push_back(field);
        connect(field, &QLineEdit::textChanged, this, &QWizardPage::completeChanged);
    }
    bool isComplete() const override {
        return std::all_of(required_.begin(), required_.end(),
                           [](const QLineEdit* field) { return !field->text().isEmpty(); });
    }

private:
    std::vector<QLineEdit*> required_;
};

QLineEdit* NewField(const char* objectName, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(objectName);
    return field;
}

QString ProbeText(SecurityProbe::Outcome outcome, const QString& server,
                  SecurityProbe::Ports ports) {
    switch (outcome) {
        case SecurityProbe::Outcome::ImapSsl:
            return QObject::tr(
                       "%1 offers IMAP over a secure connection (SSL/TLS on port %2): the "
                       "account will use it, leave your messages unread and move spam to "
                       "the junk folder.")
                .arg(server)
                .arg(ports.imapSsl);
        case SecurityProbe::Outcome::ImapStartTls:
            return QObject::tr(
                       "%1 offers IMAP over a secure connection (STARTTLS on port %2): the "
                       "account will use it, leave your messages unread and move spam to "
                       "the junk folder.")
                .arg(server)
                .arg(ports.imapPlain);
        case SecurityProbe::Outcome::Ssl:
            return QObject::tr(
                       "%1 offers a secure connection (SSL/TLS on port %2): the account "
                       "will use it.")
                .arg(server)
                .arg(ports.ssl);
        case SecurityProbe::Outcome::StartTls:
            return QObject::tr(
                       "%1 offers a secure connection (STARTTLS on port %2): the "
                       "account will use it.")
                .arg(server)
                .arg(ports.plain);
        case SecurityProbe::Outcome::None:
            return QObject::tr(
                       "WARNING: %1 offers no secure connection. Your password and "
                       "mail will travel as plain text, readable by anyone on the "
                       "way.")
                .arg(server);
        case SecurityProbe::Outcome::Canceled:
            break;
    }
    return QObject::tr(
        "The check was skipped: the account will use plain text. You can "
        "choose its security later in Account Settings.");
}

}  // namespace

TfrmIntro::TfrmIntro(const AccountContext& context, QWidget* parent)
    : QWizard(parent), context_(context) {
    Name(this, "frmIntro", tr("Welcome Wizard"));
    setWindowTitle(tr("Welcome Wizard"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    AddAddressPage();
    AddServerPage();
    AddSmtpPage();
    AddConnectionPage();
    AddIntervalPage();
    probeBox_ = ProbeBox();
    const std::pair<WizardButton, const char*> names[] = {{BackButton, "btnBack"},
                                                          {NextButton, "btnNext"},
                                                          {FinishButton, "btnFinish"},
                                                          {CancelButton, "btnCancel"}};
    for (const auto& [which, name] : names)
        Name(button(which), name, button(which)->text().remove('&').remove('<').remove('>'));
    connect(this, &QWizard::currentIdChanged, this, &TfrmIntro::PlaceProbeBox);
    resize(620, 440);
}

QWizardPage* TfrmIntro::StepPage(int step, const QString& heading) {
    auto* page = new RequiredFieldsPage(this);
    page->setObjectName(QString("pgStep%1").arg(step));
    page->setTitle(tr("Step %1:").arg(step) + "  " + heading);
    page->setSubTitle(
        tr("Welcome to Sievomatic!   This wizard will guide you through entering "
           "the information that this program needs to begin working for you "
           "right away!"));
    new QVBoxLayout(page);
    setPage(step - 1, page);
    return page;
}

void TfrmIntro::AddAddressPage() {
    QWizardPage* page = StepPage(1, tr("Your e-mail address."));
    edtEMailAddr_ = NewField("edtEMailAddr", page);
    auto* layout = static_cast<QVBoxLayout*>(page->layout());
    layout->addWidget(BuddyLabel(tr("Your &e-mail address"), edtEMailAddr_, page));
    layout->addWidget(edtEMailAddr_);
    layout->addWidget(NoteLabel(
        tr("If you are unsure of this please ask your internet service provider."), page));
    layout->addWidget(NoteLabel(tr("For example: jane.doe@example.net"), page));
    layout->addWidget(
        NoteLabel(tr("This information is used only for the \"tell a friend option\"."), page));
    layout->addStretch();
}

void TfrmIntro::AddServerPage() {
    QWizardPage* page = StepPage(2, tr("Your incoming mail server (POP3 or IMAP)"));
    edtPOPAddress_ = NewField("edtPOPAddress", page);
    edtPOPUser_ = NewField("edtPOPUser", page);
    edtPassword_ = NewField("edtPassword", page);
    edtPassword_->setEchoMode(QLineEdit::Password);
    // Next is possible only with all three filled in.
    for (QLineEdit* field : {edtPOPAddress_, edtPOPUser_, edtPassword_})
        static_cast<RequiredFieldsPage*>(page)->Require(field);
    connect(edtPOPUser_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            atSignWarned_ = false;
    });
    auto* form = new QFormLayout;
    form->addRow(BuddyLabel(tr("Your &Incoming Server Address:"), edtPOPAddress_, page),
                 edtPOPAddress_);
    form->addRow(BuddyLabel(tr("Your &User Name"), edtPOPUser_, page), edtPOPUser_);
    form->addRow(BuddyLabel(tr("Your Pass&word"), edtPassword_, page), edtPassword_);
    auto* layout = static_cast<QVBoxLayout*>(page->layout());
    layout->addLayout(form);
    layout->addWidget(NoteLabel(
        tr("If you are unsure of this please ask your internet service provider."), page));
    layout->addWidget(NoteLabel(tr("For example: mail.example.net"), page));
    layout->addStretch();
}

void TfrmIntro::AddSmtpPage() {
    QWizardPage* page = StepPage(3, tr("Your SMTP Address (for outgoing mail)"));
    edtSMTPAddress_ = NewField("edtSMTPAddress", page);
    auto* layout = static_cast<QVBoxLayout*>(page->layout());
    layout->addWidget(BuddyLabel(tr("Your &SMTP Server address."), edtSMTPAddress_, page));
    layout->addWidget(edtSMTPAddress_);
    layout->addWidget(NoteLabel(tr("Sometimes this address is the same as your incoming server "
                                   "address. If you are unsure of this please ask your "
                                   "internet service provider."),
                                page));
    layout->addWidget(NoteLabel(tr("For example: smtp.example.net"), page));
    layout->addStretch();
}

void TfrmIntro::AddConnectionPage() {
    QWizardPage* page = StepPage(4, tr("How do you connect to the internet?"));
    connection_ =
        new ConnectionChoice({tr("I use a &LAN connection"),
                              tr("&Only check if I have already dialed into the Internet."),
                              tr("I use &Dial-up networking"),
                              tr("Please &specify a default connection for use with e-mail.")},
                             page);
    page->layout()->addWidget(connection_);
}

void TfrmIntro::AddIntervalPage() {
    QWizardPage* page = StepPage(5, tr("How often do you want Sievomatic to check your mailbox?"));
    lblInterval_ = new QLabel(page);
    trkInterval_ = NewIntervalSlider(lblInterval_, page);
    trkInterval_->setObjectName("trkInterval");
    trkInterval_->setAccessibleName(tr("Check interval in minutes"));
    auto* layout = static_cast<QVBoxLayout*>(page->layout());
    layout->addWidget(trkInterval_);
    layout->addWidget(lblInterval_);
    layout->addWidget(NoteLabel(tr("Use the left and right arrow keys to adjust precisely"), page));
    layout->addStretch();
}

QWidget* TfrmIntro::ProbeBox() {
    auto* box = new QWidget(this);
    lblProbe_ = new QLabel(box);
    Name(lblProbe_, "lblProbe", tr("Connection security"));
    lblProbe_->setWordWrap(true);
    btnSkipProbe_ = new QPushButton(tr("S&kip check"), box);
    Name(btnSkipProbe_, "btnSkipProbe", tr("Skip check"));
    btnSkipProbe_->setAutoDefault(false);
    btnSkipProbe_->hide();
    connect(btnSkipProbe_, &QPushButton::clicked, this, [this] { probe_.Cancel(); });
    auto* layout = new QHBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lblProbe_, 1);
    layout->addWidget(btnSkipProbe_);
    box->hide();
    return box;
}

// From step 3 on, every page shows how the security check went.
void TfrmIntro::PlaceProbeBox(int pageId) {
    if (pageId < kSmtp || lblProbe_->text().isEmpty()) {
        probeBox_->hide();
        return;
    }
    page(pageId)->layout()->addWidget(probeBox_);
    probeBox_->show();
}

bool TfrmIntro::validateCurrentPage() {
    if (currentId() == kAddress)
        LeaveStep1();
    else if (currentId() == kServer)
        LeaveStep2();
    return QWizard::validateCurrentPage();
}

void TfrmIntro::LeaveStep1() {
    const QString address = edtEMailAddr_->text();
    if (address.isEmpty())
        return;
    const qsizetype at = address.indexOf('@');
    edtPOPUser_->setText(at < 0 ? QString() : address.left(at));
}

void TfrmIntro::LeaveStep2() {
    edtSMTPAddress_->setText(edtPOPAddress_->text());
    if (edtPOPUser_->text().contains('@') && !atSignWarned_) {
        ShowUserMessage(this, tr("The username you have used contains an \"@\" sign.  Your "
                                 "username is usually the text that appears before the \"@\" "
                                 "in your e-mail address."));
        atSignWarned_ = true;
    }
    probeOutcome_.reset();
    QTimer::singleShot(0, this, &TfrmIntro::StartProbe);
}

void TfrmIntro::StartProbe() {
    if (probe_.Running()) {
        // The check of the earlier entries ends first; this one follows it.
        probeAgain_ = true;
        probe_.Cancel();
        return;
    }
    probedServer_ = edtPOPAddress_->text().trimmed().toStdString();
    lblProbe_->setStyleSheet(QString());
    lblProbe_->setText(tr("Checking whether %1 offers a secure connection...")
                           .arg(QString::fromStdString(probedServer_)));
    btnSkipProbe_->show();
    PlaceProbeBox(currentId());
    const auto outcome = probe_.Run(probedServer_, edtPOPUser_->text().toStdString(),
                                    edtPassword_->text().toStdString(), probePorts_);
    btnSkipProbe_->hide();
    if (probeAgain_) {
        probeAgain_ = false;
        QTimer::singleShot(0, this, &TfrmIntro::StartProbe);
        return;
    }
    probeOutcome_ = outcome;
    ShowProbeOutcome();
}

void TfrmIntro::ShowProbeOutcome() {
    const bool plain = *probeOutcome_ == SecurityProbe::Outcome::None;
    lblProbe_->setStyleSheet(plain ? "color: #b00000; font-weight: bold;" : QString());
    lblProbe_->setText(
        ProbeText(*probeOutcome_, QString::fromStdString(probedServer_), probePorts_));
}

// A check still running when the wizard ends is cancelled, so the window never waits.
void TfrmIntro::done(int result) {
    probe_.Cancel();
    // A refused write keeps the wizard open with what the user entered.
    if (result == QDialog::Accepted && !RunShowingFailure(this, [this] { AppendAccount(); }))
        return;
    QWizard::done(result);
}

void TfrmIntro::AppendAccount() const {
    StoredAccount account;
    account.method = connection_->Method();
    if (connection_->UsesService())
        account.service = connection_->Service();
    account.emailAddr = edtEMailAddr_->text().toStdString();
    account.smtpAddress = edtSMTPAddress_->text().toStdString();
    account.popAddress = edtPOPAddress_->text().toStdString();
    account.popUser = edtPOPUser_->text().toStdString();
    account.password = edtPassword_->text().toStdString();
    account.minutes = trkInterval_->value();
    // Without a secure connection found the account stays POP3 as it always was: an IMAP
    // password goes as plain text only when the user names that in Account Settings.
    const std::string security = probeOutcome_ ? SecurityOfOutcome(*probeOutcome_) : "";
    if (!security.empty())
        account.popSecurity = security;
    if (probeOutcome_ && IsImapOutcome(*probeOutcome_))
        account.protocol = "IMAP";
    accounts::Append(account);
}

void TfrmIntro::PreFill(const StoredAccount& account) {
    const std::string current = context_.dialUpService ? context_.dialUpService() : "";
    connection_->SetEntries(
        context_.dialUpEntries ? context_.dialUpEntries() : std::vector<std::string>{},
        [&](const std::string& entry) { return entry == current; });
    connection_->SetMethod(account.method);
    edtSMTPAddress_->setText(QString::fromStdString(account.smtpAddress));
    edtPOPAddress_->setText(QString::fromStdString(account.popAddress));
    edtPOPUser_->setText(QString::fromStdString(account.popUser));
    trkInterval_->setValue(account.minutes.value_or(15));
    lblInterval_->setText(IntervalLabelText(trkInterval_->value()));
}

namespace {

void AddAccount(const AccountContext& context, QWidget* parent) {
    TfrmIntro wizard(context, parent);
    wizard.PreFill(accounts::Load(accounts::Count() + 1));
    if (wizard.exec() != QDialog::Accepted)
        return;
    // Should this write fail, the next start finds the account and runs no wizard again.
    settings::SetOpenedBefore(true);
}

}  // namespace

void PROCAddAccountWizard(const AccountContext& context, QWidget* parent) {
    try {
        AddAccount(context, parent);
    } catch (const std::exception& error) {
        ShowUserMessage(parent, QString::fromStdString(error.what()));
    }
}

}  // namespace sievo
