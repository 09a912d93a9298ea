#include "ui/stand_in_window.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/widget_names.h"

namespace sievo {

StandInWindow::StandInWindow(const char* objectName, const QString& caption,
                             const QString& description, Kind kind, QWidget* parent)
    : QDialog(parent),
      layout_(new QVBoxLayout(this)),
      lblDetail_(new QLabel(this)),
      lblTrayHint_(new QLabel(this)) {
    Name(this, objectName, caption);
    setWindowTitle(caption);
    auto* lblDescription = new QLabel(description, this);
    lblDescription->setWordWrap(true);
    lblDescription->setMinimumWidth(360);
    Name(lblDescription, "lblDescription", description);
    lblDetail_->setTextFormat(Qt::PlainText);
    lblDetail_->hide();
    Name(lblDetail_, "lblDetail", tr("Opened for"));
    lblTrayHint_->setWordWrap(true);
    lblTrayHint_->hide();
    Name(lblTrayHint_, "lblTrayHint", tr("How to get a tray"));
    layout_->addWidget(lblDescription);
    layout_->addWidget(lblDetail_);
    layout_->addWidget(lblTrayHint_);
    layout_->addStretch();
    AddButtons(kind);
}

void StandInWindow::AddButtons(Kind kind) {
    auto* buttons = new QDialogButtonBox(this);
    if (kind == Kind::Wizard) {
        auto* btnFinish = buttons->addButton(tr("&Finish"), QDialogButtonBox::AcceptRole);
        auto* btnCancel = buttons->addButton(QDialogButtonBox::Cancel);
        Name(btnFinish, "btnFinish", tr("Finish"));
        Name(btnCancel, "btnCancel", tr("Cancel"));
        btnFinish->setDefault(true);
    } else {
        auto* btnClose = buttons->addButton(tr("&Close"), QDialogButtonBox::RejectRole);
        Name(btnClose, "btnClose", tr("Close"));
        btnClose->setDefault(true);
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout_->addWidget(buttons);
}

void StandInWindow::SetTrayMissing(bool missing, QMenu* menu) {
    trayMissing_ = missing;
    lblTrayHint_->setVisible(missing);
    lblTrayHint_->setText(
        tr("Your desktop shows no system tray, so Sievomatic keeps this window open instead. "
           "On GNOME, install and switch on the AppIndicator extension "
           "(gnome-shell-extension-appindicator) to get a tray."));
    if (missing && !layout_->menuBar()) {
        auto* bar = new QMenuBar(this);
        bar->setObjectName("mnuFallback");
        bar->addMenu(menu)->setText(tr("&Sievomatic"));
        layout_->setMenuBar(bar);
    }
    if (layout_->menuBar())
        layout_->menuBar()->setVisible(missing);
}

void StandInWindow::SetDetail(const QString& detail) {
    lblDetail_->setText(detail);
    lblDetail_->show();
}

void StandInWindow::closeEvent(QCloseEvent* event) {
    if (!trayMissing_) {
        QDialog::closeEvent(event);
        return;
    }
    event->ignore();
    showMinimized();
}

void StandInWindow::reject() {
    if (trayMissing_)
        showMinimized();
    else
        QDialog::reject();
}

}  // namespace sievo
