// The header download as the window shows it: the rows arrive, newest at the top, as the
// preview session lists the mailbox.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "mail/mail_address.h"
#include "ui/preview/preview_window.h"

namespace sievo {

namespace {

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// The address of a From field; a field the address parser cannot read is shown as it
// stands, so one malformed sender never hides the messages listed after it.
QString FromAddress(const TmsHeaders& headers) {
    const std::string from = GetHeaderField(headers, "From");
    const auto address = TryParseAddress(from);
    return Text(address ? address->Address() : from);
}

}  // namespace

PreviewEvents TfrmPrev::SessionEvents() {
    return {[this](const std::string& text) { SetStatus(text); }, [this] { BeginDownload(); },
            [this](int index, int total, const TmsRemoteInfoItem& item) {
                POPPrevNextInfoUpdated(index, total, item);
            },
            [this](bool completed) { EndDownload(completed); }};
}

void TfrmPrev::BeginDownload() {
    lblNum_->clear();
    model_.Clear();
    prgHeaders_->setValue(0);
    prgHeaders_->show();
    btnCancel_->setText(tr("Cancel"));
    btnCancel_->show();
}

// A completed download hides its controls; one that failed or was cancelled leaves Start
// to try again. Either way the list's menu serves whatever rows arrived.
void TfrmPrev::EndDownload(bool completed) {
    model_.ShowPending();
    prgHeaders_->hide();
    btnCancel_->setText(tr("Start"));
    btnCancel_->setVisible(!completed);
    SetPopupEnabled(model_.rowCount() > 0);
}

void TfrmPrev::POPPrevNextInfoUpdated(int Num, int count, const TmsRemoteInfoItem& item) {
    lblNum_->setText(QString("%1 of %2 messages").arg(Num + 1).arg(count));
    prgHeaders_->setMaximum(count);
    prgHeaders_->setValue(Num + 1);
    model_.AddNewest({Text(GetHeaderField(item.Headers, "Subject")), item.Size,
                      Text(GetHeaderField(item.Headers, "Date")), FromAddress(item.Headers), Num,
                      false});
}

}  // namespace sievo
