#include "ui/accounts/account_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <map>
#include <optional>
#include <vector>

#include "config/date_time.h"
#include "config/text.h"
#include "store/accounts_store.h"
#include "ui/accounts/change_dates_dialog.h"
#include "ui/accounts/connection_choice.h"
#include "ui/accounts/incoming_server_box.h"
#include "ui/accounts/security_choice.h"
#include "ui/common/dialog_helpers.h"
#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"

namespace sievo {

namespace {

std::string Text(const QLineEdit* field) {
    return field->text().toStdString();
}

// Gives the forms one label column, so that their fields line up.
void AlignLabelColumns(std::initializer_list<QFormLayout*> forms) {
    std::vector<QWidget*> labels;
    int width = 0;
    for (QFormLayout* form : forms) {
        for (int row = 0; row < form->rowCount(); ++row) {
            const QLayoutItem* item = form->itemAt(row, QFormLayout::LabelRole);
            if (item && item->widget()) {
                labels.push_back(item->widget());
                width = std::max(width, item->widget()->sizeHint().width());
            }
        }
    }
    for (QWidget* label : labels)
        label->setMinimumWidth(width);
}

QString NextScanText(const QDateTime& when) {
    return QObject::tr("The next scan time is: ") +
           QString::fromStdString(FormatDateTimeText(when));
}

}  // namespace

TfrmSettings::TfrmSettings(int account, const AccountContext& context, QWidget* parent)
    : QDialog(parent),
      account_(account),
      context_(context),
      pages_(new QTabWidget(this)),
      lblInterval_(new QLabel(this)),
      lblNextScan_(new QLabel(this)),
      btnTest_(new QPushButton(tr("&Test"), this)),
      lblTestResult_(new QLabel(this)) {
    Name(this, "frmSettings", tr("Account Settings"));
    setWindowTitle(tr("Account Settings"));
    pages_->setObjectName("pgcSettings");
    pages_->setUsesScrollButtons(false);  // every page's name in view
    pages_->addTab(NamePage(), tr("Account Name"));
    pages_->addTab(IntervalPage(), tr("Auto-Clean Interval"));
    pages_->addTab(ServerPage(), tr("Server"));
    pages_->addTab(ConnectionPage(), tr("Connection"));
    pages_->addTab(SoundsPage(), tr("Sounds"));
    pages_->addTab(ProgramPage(), tr("External Mail Program"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addWidget(OkCancelButtons(this));
    Load();
}

QLineEdit* TfrmSettings::Field(const char* objectName, bool secret) {
    auto* field = new QLineEdit(this);
    field->setObjectName(objectName);
    if (secret)
        field->setEchoMode(QLineEdit::Password);
    return field;
}

QWidget* TfrmSettings::NamePage() {
    auto* page = new QWidget(this);
    edtEMailAddr_ = Field("edtEMailAddr");
    auto* layout = new QFormLayout(page);
    layout->addRow(BuddyLabel(tr("&E-Mail Address"), edtEMailAddr_, page), edtEMailAddr_);
    layout->addRow(NoteLabel(tr("This address will be utilized to indentify the account."), page));
    return page;
}

QWidget* TfrmSettings::IntervalPage() {
    auto* page = new QWidget(this);
    trkInterval_ = NewIntervalSlider(lblInterval_, page);
    trkInterval_->setObjectName("trkInterval");
    Name(lblNextScan_, "lblNextScan", tr("Next scan time"));
    auto* btnChange = new QPushButton(tr("&Change"), page);
    Name(btnChange, "btnChange", tr("Change"));
    connect(btnChange, &QPushButton::clicked, this, &TfrmSettings::ChangeDates);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(NoteLabel(tr("How often do you want Sievomatic to check your mailbox?  "
                                   "This setting also applies to mail notification features."),
                                page));
    layout->addWidget(BuddyLabel(tr("&Scan Interval"), trkInterval_, page));
    layout->addWidget(trkInterval_);
    layout->addWidget(lblInterval_);
    auto* next = new QHBoxLayout;
    next->addWidget(lblNextScan_, 1);
    next->addWidget(btnChange);
    layout->addLayout(next);
    layout->addWidget(NoteLabel(
        tr("NOTE: You can disable/enable automatic mailbox cleaning by selecting the Auto-Clean "
           "menu option.  If Auto-Clean is disabled then these settings have no effect."),
        page));
    layout->addStretch();
    return page;
}

QWidget* TfrmSettings::ServerPage() {
    auto* page = new QWidget(this);
    incoming_ = new IncomingServerBox(page);
    auto* outgoing = new QGroupBox(tr("Outgoing server"), page);
    edtSMTPAddress_ = Field("edtSMTPAddress");
    cboSMTPSecurity_ = NewSecurityBox("cboSMTPSecurity", this);
    edtSMTPUser_ = Field("edtSMTPUser");
    edtSMTPPassword_ = Field("edtSMTPPassword", true);
    lblPasswordPlace_ = NoteLabel(QString(), page);
    Name(lblPasswordPlace_, "lblPasswordPlace", tr("Where the password is kept"));
    Name(btnTest_, "btnTest", tr("Test"));
    Name(lblTestResult_, "lblTestResult", tr("Test result"));
    lblTestResult_->setWordWrap(true);
    lblTestResult_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    connect(btnTest_, &QPushButton::clicked, this, &TfrmSettings::RunTest);

    auto* smtp = new QFormLayout(outgoing);
    smtp->addRow(BuddyLabel(tr("&SMTP Server Address:"), edtSMTPAddress_, page), edtSMTPAddress_);
    smtp->addRow(NoteLabel(tr("This address will be utilized for any outgoing \"reply "
                              "messages\""),
                           page));
    smtp->addRow(BuddyLabel(tr("SMTP Securit&y:"), cboSMTPSecurity_, page), cboSMTPSecurity_);
    smtp->addRow(BuddyLabel(tr("SMTP User &Name:"), edtSMTPUser_, page), edtSMTPUser_);
    smtp->addRow(BuddyLabel(tr("SMTP Pass&word:"), edtSMTPPassword_, page), edtSMTPPassword_);
    auto* test = new QHBoxLayout;
    test->addWidget(btnTest_, 0, Qt::AlignTop);
    test->addWidget(lblTestResult_, 1);
    AlignLabelColumns({static_cast<QFormLayout*>(incoming_->layout()), smtp});
    auto* layout = new QVBoxLayout(page);
    incoming_->AddPasswordNote(lblPasswordPlace_);
    layout->addWidget(incoming_);
    layout->addWidget(outgoing);
    layout->addLayout(test);
    layout->addStretch();

    std::vector<QWidget*> order = incoming_->TabOrder();
    order.insert(order.end(),
                 {edtSMTPAddress_, cboSMTPSecurity_, edtSMTPUser_, edtSMTPPassword_, btnTest_});
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    return page;
}

QWidget* TfrmSettings::ConnectionPage() {
    auto* page = new QWidget(this);
    connection_ = new ConnectionChoice(
        {tr("I use a &LAN connection."),
         tr("&Only check if I have already dialed into the "
            "Internet."),
         tr("Use a &Dial-up networking connection."), tr("Please &specify a connection to use.")},
        page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(NoteLabel(tr("What method do you use to connect to the Internet?"), page));
    layout->addWidget(connection_);
    return page;
}

QWidget* TfrmSettings::SoundsPage() {
    auto* page = new QWidget(this);
    chkMailNotify_ = new QCheckBox(tr("Play &sound when new mail is waiting on server"), page);
    Name(chkMailNotify_, "chkMailNotify", tr("Play sound when new mail is waiting on server"));
    edtMailNotifyWAV_ = Field("edtMailNotifyWAV");
    auto* path = new QHBoxLayout;
    path->addWidget(edtMailNotifyWAV_, 1);
    path->addWidget(BrowseButton(edtMailNotifyWAV_, "btnBrowseWAV", tr("Select WAV File"),
                                 tr("Sound Files (*.wav);;All Files (*)"), "wav", page));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(chkMailNotify_);
    layout->addWidget(BuddyLabel(tr("&Path to .WAV file"), edtMailNotifyWAV_, page));
    layout->addLayout(path);
    layout->addWidget(NoteLabel(tr("NOTE: If a filename is not specified then a default "
                                   "Windows \"beep\" will be used."),
                                page));
    layout->addStretch();
    return page;
}

QWidget* TfrmSettings::ProgramPage() {
    auto* page = new QWidget(this);
    edtCommandLine_ = Field("edtCommandLine");
    auto* path = new QHBoxLayout;
    path->addWidget(edtCommandLine_, 1);
    path->addWidget(BrowseButton(edtCommandLine_, "btnBrowseProgram", tr("Select Program File"),
                                 tr("Program Files (*)"), QString(), page));
    auto* group = new QGroupBox(tr("Launch mail program when I have mail"), page);
    chkRunAfterManual_ = new QCheckBox(tr("After performing a &manual mailbox clean."), group);
    chkRunAfterAuto_ = new QCheckBox(tr("After performing an &automatic mailbox clean."), group);
    Name(chkRunAfterManual_, "chkRunAfterManual", tr("After performing a manual mailbox clean"));
    Name(chkRunAfterAuto_, "chkRunAfterAuto", tr("After performing an automatic mailbox clean"));
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(chkRunAfterManual_);
    groupLayout->addWidget(chkRunAfterAuto_);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(BuddyLabel(tr("My mail &program is located at the following path:"),
                                 edtCommandLine_, page));
    layout->addLayout(path);
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

// A keyring that cannot be read leaves the fields empty and the passwords where they are,
// unless new ones are typed.
void TfrmSettings::LoadPasswords() {
    static const std::map<accounts::PasswordPlace, QString> kPlaces = {
        {accounts::PasswordPlace::kFile, tr("Kept in accounts.ini (scrambled)")},
        {accounts::PasswordPlace::kKeyring, tr("Kept in the keyring")},
        {accounts::PasswordPlace::kCommand, tr("From a command")},
    };
    lblPasswordPlace_->setText(kPlaces.at(accounts::IncomingPasswordPlace(stored_)));
    RunShowingFailure(this, [this] { stored_ = accounts::FetchKeyringPasswords(stored_); });
}

void TfrmSettings::Load() {
    stored_ = accounts::Load(account_);
    LoadPasswords();
    const auto show = [](QLineEdit* field, const std::string& text) {
        field->setText(QString::fromStdString(text));
    };
    const std::string service = ToUpperAscii(TrimBlanks(stored_.service.value_or("")));
    connection_->SetEntries(
        context_.dialUpEntries ? context_.dialUpEntries() : std::vector<std::string>{},
        [&](const std::string& entry) { return ToUpperAscii(TrimBlanks(entry)) == service; });
    connection_->SetMethod(stored_.method);
    // As the checks read it: an account the wizard made has no key and plays the sound.
    chkMailNotify_->setChecked(stored_.mailNotify);
    show(edtMailNotifyWAV_, stored_.mailNotifyWav);
    show(edtCommandLine_, stored_.commandLine);
    chkRunAfterManual_->setChecked(stored_.runAfterManual);
    chkRunAfterAuto_->setChecked(stored_.runAfterAuto);
    show(edtEMailAddr_, stored_.emailAddr);
    show(edtSMTPAddress_, stored_.smtpAddress);
    incoming_->Load(stored_);
    SelectSecurity(cboSMTPSecurity_, stored_.smtpSecurity.value_or("NONE"));
    show(edtSMTPUser_, stored_.smtpUser);
    show(edtSMTPPassword_, stored_.smtpPassword);
    trkInterval_->setValue(stored_.minutes.value_or(15));
    lblInterval_->setText(IntervalLabelText(trkInterval_->value()));
    // A text that does not convert would otherwise keep the user out of the account
    // for good; it shows as now, as the scan treats it.
    const QDateTime now = QDateTime::currentDateTime();
    SetNextScan(ParseDateTimeText(stored_.nextDateTime.value_or("")).value_or(now));
}

void TfrmSettings::SetNextScan(const QDateTime& when) {
    nextScan_ = when;
    lblNextScan_->setText(NextScanText(when));
}

void TfrmSettings::ChangeDates() {
    TfrmChange change(nextScan_.time(), this);
    if (change.exec() == QDialog::Accepted)
        SetNextScan(change.Chosen());
}

StoredAccount TfrmSettings::Entered() const {
    StoredAccount account = stored_;
    account.method = connection_->Method();
    if (connection_->UsesService())
        account.service = connection_->Service();
    account.mailNotify = chkMailNotify_->isChecked();
    account.mailNotifyWav = Text(edtMailNotifyWAV_);
    account.commandLine = Text(edtCommandLine_);
    account.runAfterManual = chkRunAfterManual_->isChecked();
    account.runAfterAuto = chkRunAfterAuto_->isChecked();
    account.emailAddr = Text(edtEMailAddr_);
    account.smtpAddress = Text(edtSMTPAddress_);
    incoming_->Store(account);
    // "NONE" is stored only when chosen on purpose: it lets an SMTP password go unencrypted.
    if (stored_.SmtpSecurityNamed() || SecurityKey(cboSMTPSecurity_) != "NONE")
        account.smtpSecurity = SecurityKey(cboSMTPSecurity_);
    account.smtpUser = Text(edtSMTPUser_);
    account.smtpPassword = Text(edtSMTPPassword_);
    if (!account.password.empty() || !account.smtpPassword.empty())
        account.passwordsInKeyring = false;  // typed anew: kept where the store keeps them now
    account.minutes = trkInterval_->value();
    account.nextDateTime = FormatDateTimeText(nextScan_);
    return account;
}

void TfrmSettings::RunTest() {
    btnTest_->setEnabled(false);
    lblTestResult_->setText(tr("Testing..."));
    // The passwords may come from the keyring or a command, either of which can fail.
    std::optional<TSievoUser> account;
    if (!RunShowingFailure(this, [&] { account = accounts::ForCheck(Entered(), account_); })) {
        lblTestResult_->clear();
        btnTest_->setEnabled(true);
        return;
    }
    const QString result = check_.Run(*account);
    lblTestResult_->setText(result);
    if (!check_.Folders().empty())
        incoming_->SetServerFolders(check_.Folders());
    btnTest_->setEnabled(true);
}

void TfrmSettings::done(int result) {
    check_.Cancel();
    QDialog::done(result);
}

void TfrmSettings::accept() {
    if (RunShowingFailure(this, [this] { Save(); }))
        QDialog::accept();
}

void TfrmSettings::Save() const {
    accounts::Save(account_, Entered());
    if (context_.setAutoCheck)
        context_.setAutoCheck(trkInterval_->value() != 0);
}

bool PROCAccountProperties(int rowIndex, const AccountContext& context, QWidget* parent) {
    const SchedulePause pause = context.pauseSchedule ? context.pauseSchedule() : SchedulePause();
    TfrmSettings settings(rowIndex + 1, context, parent);
    return settings.exec() == QDialog::Accepted;
}

}  // namespace sievo
