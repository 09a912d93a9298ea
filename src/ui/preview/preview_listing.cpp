// The header download of the preview: the main window's POPPrev lists the mailbox and
// the rows arrive, newest at the top, as the listing proceeds.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScopedValueRollback>

#include "config/activity_log.h"
#include "config/data_folder.h"
#include "mail/account_clients.h"
#include "mail/header_cache.h"
#include "mail/mail_address.h"
#include "net/event_pump.h"
#include "net/net_errors.h"
#include "ui/preview/preview_window.h"

namespace sievo {

namespace {

// The listing of the preview may wait on a slow server this long for each reply.
constexpr int kListingTimeOutSeconds = 120;

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

void TfrmPrev::ConnectListingClient() {
    listingClient_.SetTimeOut(kListingTimeOutSeconds);
    listingClient_.OnError = [this](TagSocket&, const std::string& text) {
        ActivityLog(text);
        SetStatus(text);
    };
    listingClient_.OnNextInfoUpdated = [this](TagSocket&, int Num) { POPPrevNextInfoUpdated(Num); };
    listingClient_.OnUpdatingInfo = [this](TagSocket&) { CancelWhenClosing(); };
    listingClient_.OnRetrieving = [this](TagSocket&, int) { CancelWhenClosing(); };
}

TfrmPrev::~TfrmPrev() {
    listingClient_.OnError = nullptr;
    listingClient_.OnNextInfoUpdated = nullptr;
    listingClient_.OnUpdatingInfo = nullptr;
    listingClient_.OnRetrieving = nullptr;
}

void TfrmPrev::CancelWhenClosing() {
    if (shuttingDown_)
        listingClient_.Cancel();
}

void TfrmPrev::Shutdown() {
    shuttingDown_ = true;
    if (listingClient_.Connected())
        listingClient_.Cancel();
}

// One session at a time: a second listing on the same connection would read the first
// one's replies. A request that comes while one runs (the window closed and opened again
// for another account) is the one the user wants now: the running listing stops and the
// loop below lists the account asked for last.
void TfrmPrev::DownloadHeaders(const TSievoUser& account) {
    requested_ = account;
    if (busy_) {
        if (listing_)
            listingClient_.Cancel();
        return;
    }
    const QScopedValueRollback busy(busy_, true);
    while (requested_) {
        account_ = std::move(*requested_);
        requested_.reset();
        ListAccount();
    }
}

void TfrmPrev::ListAccount() {
    const QScopedValueRollback listing(listing_, true);
    commands_.prepareConnection(*account_);
    PumpEvents();
    if (requested_)
        return;
    BeginDownload(*account_);
    canceledByUser_ = false;
    bool completed = false;
    try {
        ListHeaders(*account_);
        completed = true;
    } catch (const std::exception& error) {
        ReportListingFailure(error);
    }
    if (completed) {
        PumpEvents();
        const int n = listingClient_.RemoteInfo().Count();
        SetStatus(n > 0 ? account_->EMailAddr + " has " + std::to_string(n) +
                              " new mail messages -- click to view"
                        : account_->EMailAddr + " has no mail waiting");
        listingClient_.Close();
    }
    EndDownload(completed);
}

// Told once, here: the error has ended the download, and nothing else reports it again.
void TfrmPrev::ReportListingFailure(const std::exception& error) {
    listingClient_.Cancel();
    // Neither the user's own Cancel, nor a newer request, nor the program's end is a
    // failure.
    const bool meant = canceledByUser_ || requested_ || shuttingDown_;
    if (meant && dynamic_cast<const ECanceledError*>(&error)) {
        SetStatus("Message Preview Canceled");
        return;
    }
    AppException(error);
    SetStatus(error.what());
}

void TfrmPrev::BeginDownload(const TSievoUser& account) {
    SetStatus("Please wait while " + account.EMailAddr + " message headers are downloaded");
    ApplyPopAccount(listingClient_, account);
    listingClient_.HeaderCacheFile =
        ProgramFile(HeaderCacheName(account.POPUser, account.POPAddress));
    listingClient_.KeepConnection = false;
    lblNum_->clear();
    model_.Clear();
    ActivityLog("Message preview requested", false, &account);
    prgHeaders_->setValue(0);
    prgHeaders_->show();
    btnCancel_->setText(tr("Cancel"));
    btnCancel_->show();
}

void TfrmPrev::ListHeaders(const TSievoUser& account) {
    SetStatus("Logging in...");
    if (!listingClient_.Connected())
        listingClient_.ConnectAndLogin();
    ActivityLog("Downloading Headers for message preview", true, &account);
    PumpEvents();
    // A cancel while the events ran has closed the connection already.
    if (!listingClient_.Connected())
        throw ECanceledError(SocketMessageText(kMsgCanceled));
    SetStatus("Downloading Headers for user " + account.EMailAddr);
    listingClient_.UpdateInfo();
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

void TfrmPrev::POPPrevNextInfoUpdated(int Num) {
    const int count = listingClient_.MessageCount();
    lblNum_->setText(QString("%1 of %2 messages").arg(Num + 1).arg(count));
    prgHeaders_->setMaximum(count);
    prgHeaders_->setValue(Num + 1);
    const TmsRemoteInfoItem& item = listingClient_.RemoteInfo()[Num];
    model_.AddNewest({Text(GetHeaderField(item.Headers, "Subject")), item.Size,
                      Text(GetHeaderField(item.Headers, "Date")), FromAddress(item.Headers), Num,
                      false});
    PumpEvents();
}

}  // namespace sievo
