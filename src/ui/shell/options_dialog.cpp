#include "ui/shell/options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "config/date_time.h"
#include "store/settings_store.h"
#include "ui/common/dialog_helpers.h"
#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"
#include "ui/shell/main_window.h"

namespace sievo {

namespace {

// The spammer list's last update for the label. A stored text that is no date does not
// keep the user out of the options; the label says what is known.
QString LastUpdateText(const std::string& stored) {
    if (stored.empty())
        return QObject::tr("Never Updated");
    try {
        return QString::fromStdString(FormatShortDate(FDTCorDateFromString(stored)));
    } catch (const std::exception&) {
        return QObject::tr("Unknown (\"%1\" is no date)").arg(QString::fromStdString(stored));
    }
}

QCheckBox* NewCheckBox(const QString& text, const char* objectName, QWidget* parent) {
    auto* box = new QCheckBox(text, parent);
    Name(box, objectName, QString(text).remove('&'));
    return box;
}

}  // namespace

TfrmOptions::TfrmOptions(std::function<void()> checkForUpgrade, QWidget* parent)
    : QDialog(parent), checkForUpgrade_(std::move(checkForUpgrade)) {
    Name(this, "frmOptions", tr("Options"));
    setWindowTitle(tr("Options"));
    auto* pages = new QTabWidget(this);
    pages->setObjectName("pgcOptions");
    pages->addTab(GeneralPage(), tr("General"));
    pages->addTab(AutoUpdatePage(), tr("AutoUpdate"));
    pages->addTab(ProxyPage(), tr("Proxy"));
    pages->addTab(ProgramsPage(), tr("External Programs"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(OkCancelButtons(this));
    Load();
}

QWidget* TfrmOptions::GeneralPage() {
    auto* page = new QWidget(this);
    chkVerbose_ = NewCheckBox(tr("&Verbose entries in logfile (for troubleshooting purposes)"),
                              "chkVerbose", page);
    chkDisableSounds_ =
        NewCheckBox(tr("&Disable all sounds regardless of rules"), "chkDisableSounds", page);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(NoteLabel(tr("These are options that will apply to all accounts.  To "
                                   "access individual account settings, select Tools | "
                                   "Accounts ."),
                                page));
    layout->addWidget(chkVerbose_);
    layout->addWidget(chkDisableSounds_);
    layout->addStretch();
    return page;
}

QWidget* TfrmOptions::AutoUpdatePage() {
    auto* page = new QWidget(this);
    optUpdateYes_ = new QRadioButton(tr("&Yes, automatically update my spam list"), page);
    optUpdateNo_ = new QRadioButton(tr("&No, I will update it manually"), page);
    Name(optUpdateYes_, "optUpdateYes", tr("Yes, automatically update my spam list"));
    Name(optUpdateNo_, "optUpdateNo", tr("No, I will update it manually"));
    optUpdateNo_->setChecked(true);
    lblLastUpdate_ = new QLabel(page);
    Name(lblLastUpdate_, "lblLastUpdate", tr("Last update of the spam list"));
    auto* btnCheckNow = new QPushButton(tr("&Check for upgrade now..."), page);
    Name(btnCheckNow, "btnCheckNow", tr("Check for upgrade now"));
    connect(btnCheckNow, &QPushButton::clicked, this, [this] {
        if (checkForUpgrade_)
            Guarded(checkForUpgrade_);
        Guarded(
            [this] { lblLastUpdate_->setText(LastUpdateText(settings::SpamListLastUpdate())); });
    });
    auto* last = new QHBoxLayout;
    last->addWidget(new QLabel(tr("You last updated your spam list on:"), page));
    last->addWidget(lblLastUpdate_, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(NoteLabel(tr("Sievomatic can automatically update the spam list for you, "
                                   "would you like to use this feature?"),
                                page));
    layout->addWidget(optUpdateYes_);
    layout->addWidget(optUpdateNo_);
    layout->addLayout(last);
    layout->addWidget(btnCheckNow, 0, Qt::AlignLeft);
    layout->addStretch();
    return page;
}

QWidget* TfrmOptions::ProxyPage() {
    auto* page = new QWidget(this);
    chkUseProxy_ = NewCheckBox(tr("&Obtain updates using a proxy server"), "chkUseProxy", page);
    edtProxyAddress_ = new QLineEdit(page);
    edtProxyAddress_->setObjectName("edtProxyAddress");
    edtProxyPort_ = new QLineEdit(page);
    edtProxyPort_->setObjectName("edtProxyPort");
    auto* group = new QGroupBox(tr("Proxy Server"), page);
    lblProxyAddress_ = BuddyLabel(tr("&Address:"), edtProxyAddress_, group);
    lblProxyPort_ = BuddyLabel(tr("&Port:"), edtProxyPort_, group);
    auto* form = new QFormLayout(group);
    form->addRow(chkUseProxy_);
    form->addRow(lblProxyAddress_, edtProxyAddress_);
    form->addRow(lblProxyPort_, edtProxyPort_);
    connect(chkUseProxy_, &QCheckBox::toggled, this, &TfrmOptions::ApplyProxyRule);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(NoteLabel(tr("If your network uses a proxy server for HTTP requests please "
                                   "specify the settings here.  If you are not sure, ask your "
                                   "network administrator."),
                                page));
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

QWidget* TfrmOptions::ProgramsPage() {
    auto* page = new QWidget(this);
    edtBrowser_ = new QLineEdit(page);
    edtBrowser_->setObjectName("edtBrowser");
    auto* path = new QHBoxLayout;
    path->addWidget(edtBrowser_, 1);
    path->addWidget(BrowseButton(edtBrowser_, "btnBrowseBrowser", tr("Select Program File"),
                                 tr("Program Files (*)"), QString(), page));
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(NoteLabel(
        tr("Please select the browser you wish to use when launching web sites with Sievomatic."),
        page));
    layout->addWidget(BuddyLabel(tr("&Path to Browser"), edtBrowser_, page));
    layout->addLayout(path);
    layout->addWidget(NoteLabel(tr("This browser opens the pages of the \"Corvane on the Web\" "
                                   "menu. The mail program is set on the \"External Mail "
                                   "Program\" page of each account's settings."),
                                page));
    layout->addStretch();
    return page;
}

void TfrmOptions::Load() {
    const settings::ProgramOptions options = settings::LoadOptions();
    chkVerbose_->setChecked(options.verboseLog);
    chkDisableSounds_->setChecked(options.soundsDisabled);
    edtBrowser_->setText(QString::fromStdString(options.browserCommandLine));
    if (options.autoUpdate)
        optUpdateYes_->setChecked(true);
    lblLastUpdate_->setText(LastUpdateText(settings::SpamListLastUpdate()));
    chkUseProxy_->setChecked(options.useProxy);
    if (options.useProxy) {
        edtProxyAddress_->setText(QString::fromStdString(options.proxyAddress));
        edtProxyPort_->setText(QString::fromStdString(options.proxyPort));
    }
    ApplyProxyRule();
}

// Disabled fields take the colour of button faces by themselves.
void TfrmOptions::ApplyProxyRule() {
    const bool on = chkUseProxy_->isChecked();
    for (QWidget* widget :
         {static_cast<QWidget*>(lblProxyAddress_), static_cast<QWidget*>(lblProxyPort_),
          static_cast<QWidget*>(edtProxyAddress_), static_cast<QWidget*>(edtProxyPort_)})
        widget->setEnabled(on);
}

void TfrmOptions::accept() {
    if (RunShowingFailure(this, [this] { Save(); }))
        QDialog::accept();
}

void TfrmOptions::Save() const {
    settings::ProgramOptions options;
    options.verboseLog = chkVerbose_->isChecked();
    options.soundsDisabled = chkDisableSounds_->isChecked();
    options.browserCommandLine = edtBrowser_->text().toStdString();
    options.autoUpdate = optUpdateYes_->isChecked();
    options.useProxy = chkUseProxy_->isChecked();
    options.proxyAddress = edtProxyAddress_->text().toStdString();
    options.proxyPort = edtProxyPort_->text().toStdString();
    settings::SaveOptions(options);
}

void PROCShowOptions(std::function<void()> checkForUpgrade, QWidget* parent) {
    TfrmOptions options(std::move(checkForUpgrade), parent);
    options.exec();
}

}  // namespace sievo
