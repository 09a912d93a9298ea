#include "ui/preview/message_view_window.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "mail/message.h"
#include "ui/common/message_boxes.h"
#include "ui/common/widget_names.h"
#include "ui/preview/readable_body.h"

namespace sievo {

namespace {

// The Reply button keeps this distance from the window's right edge.
constexpr int kRightMargin = 20;

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

QLabel* HeadLine(QWidget* parent, const char* objectName, const QString& accessibleName) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Name(label, objectName, accessibleName);
    return label;
}

}  // namespace

QUrl ReplyAddress(const QString& senderAddress) {
    QUrl url;
    url.setScheme("mailto");
    url.setPath(senderAddress, QUrl::DecodedMode);
    return url;
}

TfrmMessageView::TfrmMessageView(QWidget* parent)
    : QDialog(parent),
      lblFrom_(HeadLine(this, "lblFrom", tr("From"))),
      lblTo_(HeadLine(this, "lblTo", tr("To"))),
      lblSubject_(HeadLine(this, "lblSubject", tr("Subject"))),
      memBody_(new QPlainTextEdit(this)) {
    Name(this, "frmMessageView", tr("View Message"));
    setWindowTitle(tr("View Message"));
    Name(memBody_, "memBody", tr("Message text"));
    memBody_->setReadOnly(true);
    memBody_->setTabChangesFocus(true);

    auto* btnReply = new QPushButton(tr("&Reply"), this);
    auto* btnClose = new QPushButton(tr("&Close"), this);
    Name(btnReply, "btnReply", tr("Reply"));
    Name(btnClose, "btnClose", tr("Close"));
    btnClose->setDefault(true);
    connect(btnReply, &QPushButton::clicked, this, &TfrmMessageView::btnReplyClick);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::hide);

    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnClose);
    buttons->addWidget(btnReply);
    buttons->setContentsMargins(0, 0, std::max(0, kRightMargin - layout->contentsMargins().right()),
                                0);
    layout->addWidget(lblFrom_);
    layout->addWidget(lblTo_);
    layout->addWidget(lblSubject_);
    layout->addWidget(memBody_, 1);
    layout->addLayout(buttons);
    setTabOrder(memBody_, btnReply);
    setTabOrder(btnReply, btnClose);
    resize(560, 420);
}

void TfrmMessageView::ShowMessage(const TmsMessage& message, Heads heads, bool modal) {
    const bool labelled = heads == Heads::Labelled;
    const std::string to = message.Recipients().Empty() ? "" : message.Recipients()[0].Address();
    senderAddress_ = Text(message.Sender().Address());
    lblFrom_->setText((labelled ? "FROM: " : "") + Text(message.Sender().Name()) + " -- " +
                      senderAddress_);
    lblTo_->setText((labelled ? "TO: " : "") + Text(to));
    lblSubject_->setText((labelled ? "\tSUBJECT: " : "") + Text(message.Subject()));
    memBody_->setPlainText(ReadableBody(message));
    // Modality only changes while the window is hidden.
    hide();
    setWindowModality(modal ? Qt::ApplicationModal : Qt::NonModal);
    show();
    raise();
    activateWindow();
}

void TfrmMessageView::btnReplyClick() {
    if (!QDesktopServices::openUrl(ReplyAddress(senderAddress_)))
        ShowUserMessage(
            nullptr,
            tr("The Netscape Navigator mail client does not install proper support for launching "
               "mailto:// file associations.  Contact Netscape for an update, or install MS "
               "Internet Explorer / Internet Mail Client."));
}

}  // namespace sievo
