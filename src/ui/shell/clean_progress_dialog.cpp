#include "ui/shell/clean_progress_dialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "config/account.h"
#include "store/accounts_store.h"
#include "ui/common/widget_names.h"

namespace sievo {

TfrmCleanProg::TfrmCleanProg(std::function<void()> onStop, std::function<void()> onHistory,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowStaysOnTopHint),
      onStop_(std::move(onStop)),
      lblAction_(new QLabel(this)),
      lblProgress_(new QLabel(this)),
      prgMessages_(new QProgressBar(this)),
      chkLaunch_(new QCheckBox(tr("Launch my mail client when done..."), this)) {
    Name(this, "frmCleanProg", tr("Cleaning Mailbox"));
    setWindowTitle(tr("Cleaning Mailbox"));
    Name(lblAction_, "lblAction", tr("Current action"));
    Name(lblProgress_, "lblProgress", tr("Message being listed"));
    Name(prgMessages_, "prgMessages", tr("Listing progress"));
    Name(chkLaunch_, "chkLaunch", tr("Launch my mail client when done"));
    for (QLabel* label : {lblAction_, lblProgress_}) {
        label->setMinimumWidth(360);
        label->setTextFormat(Qt::PlainText);
    }

    auto* btnStop = new QPushButton(tr("Stop"), this);
    auto* btnHide = new QPushButton(tr("&Hide"), this);
    auto* btnHistory = new QPushButton(tr("&History"), this);
    Name(btnStop, "btnStop", tr("Stop"));
    Name(btnHide, "btnHide", tr("Hide"));
    Name(btnHistory, "btnHistory", tr("History"));
    btnHide->setDefault(true);
    connect(btnStop, &QPushButton::clicked, this, [this] {
        onStop_();
        hide();
    });
    connect(btnHide, &QPushButton::clicked, this, &QDialog::hide);
    connect(btnHistory, &QPushButton::clicked, this, std::move(onHistory));
    connect(chkLaunch_, &QCheckBox::clicked, this, &TfrmCleanProg::LaunchClicked);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnStop);
    buttons->addStretch();
    buttons->addWidget(btnHide);
    buttons->addWidget(btnHistory);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblAction_);
    layout->addWidget(lblProgress_);
    layout->addWidget(prgMessages_);
    layout->addWidget(chkLaunch_);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(chkLaunch_, btnStop);
    setTabOrder(btnStop, btnHide);
    setTabOrder(btnHide, btnHistory);

    TheActivityLog().AddListener(this);
}

TfrmCleanProg::~TfrmCleanProg() {
    TheActivityLog().RemoveListener(this);
}

void TfrmCleanProg::ShowFor(const TSievoUser& account) {
    // Only the number is kept: the scan's account object ends before this dialog may.
    accountIndex_ = account.Index;
    chkLaunch_->setChecked(account.RunAfterManual);
    lblAction_->clear();
    lblProgress_->clear();
    prgMessages_->setRange(0, 1);
    prgMessages_->setValue(0);
    show();
}

void TfrmCleanProg::SetProgress(int position, int count, const std::string& text) {
    lblProgress_->setText(QString::fromStdString(text));
    prgMessages_->setRange(0, count);
    prgMessages_->setValue(position);
}

void TfrmCleanProg::OnActivity(const std::string& text, const std::string&, bool) {
    if (isVisible())
        lblAction_->setText(QString::fromStdString(text));
}

void TfrmCleanProg::LaunchClicked(bool checked) {
    try {
        accounts::SaveRunAfterManual(accountIndex_, checked);
    } catch (const std::exception& error) {
        AppException(error);
    }
}

}  // namespace sievo
