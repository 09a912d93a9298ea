#include "update/spam_list_updater.h"

#include <QScopeGuard>
#include <filesystem>

#include "config/activity_log.h"
#include "config/data_folder.h"
#include "config/date_time.h"
#include "config/errors.h"
#include "config/file_io.h"
#include "config/ini_file.h"
#include "store/settings_store.h"
#include "update/update_prompts.h"

namespace sievo {

namespace {

constexpr int kHttpOk = 200;

// Blanks and line ends alone are no list: a server that answers 200 with nothing must not
// empty the user's list.
bool HoldsNoAddress(std::string_view list) {
    return list.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::string DescriptorURL() {
    const std::string configured = settings::UpdateURL();
    return configured.empty() ? kMakerUpdateURL : configured;
}

}  // namespace

bool AutoUpdateDue(const QDateTime& now) {
    if (!settings::AutoUpdateEnabled())
        return false;
    const QDate last = FDTCorDateFromString(settings::LastAutoUpdateDate());
    return QDateTime(last.addDays(settings::AutoUpdateInterval()), QTime(0, 0)) < now;
}

ListUpdate PutNewListInPlace(const std::string& newFile, const std::string& oldFile) {
    const auto incoming = ReadWholeFile(newFile);
    if (!incoming)
        return ListUpdate::kNothingWaiting;
    if (HoldsNoAddress(*incoming) && !HoldsNoAddress(ReadWholeFile(oldFile).value_or("")))
        return ListUpdate::kEmptyListKept;
    std::error_code error;
    std::filesystem::rename(newFile, oldFile, error);
    return error ? ListUpdate::kFailed : ListUpdate::kReplaced;
}

std::string EmptyListKeptText(const std::string& newFile, const std::string& oldFile) {
    return "The new spammer list " + newFile + " is empty; " + oldFile + " is kept.";
}

bool FBOOLDoUpdate(const std::string& newFile, const std::string& oldFile) {
    const ListUpdate result = PutNewListInPlace(newFile, oldFile);
    if (result == ListUpdate::kEmptyListKept)
        ActivityLog(EmptyListKeptText(newFile, oldFile));
    return result == ListUpdate::kReplaced;
}

SpamListUpdater::SpamListUpdater(UpdatePrompts& user, std::function<int()> ensureConnection)
    : user_(user), ensureConnection_(std::move(ensureConnection)) {
    httpUpdate_.OnOpen = [this](TagSocket&) { user_.ShowTransferProgress(); };
    httpUpdate_.OnProgress = [this](TagSocket&, int percent, qint64 bytes) {
        user_.SetTransferProgress(percent, bytes);
    };
    httpUpdate_.OnClosed = [this](TagSocket&) { user_.CloseTransferProgress(); };
    httpUpdate_.OnError = [this](TagSocket&, const std::string& text) {
        user_.ShowMessage("UPDATER ERROR -- " + text);
    };
}

void SpamListUpdater::ApplyProxySettings() {
    httpUpdate_.SetProxy("");
    if (!settings::UseProxy())
        return;
    const std::string address = settings::ProxyAddress(), port = settings::ProxyPort();
    if (!address.empty() && !port.empty()) {
        httpUpdate_.SetProxy(address + ":" + port);
        return;
    }
    user_.DefaultBeep();
    ActivityLog("The proxy settings are not correct");
}

void SpamListUpdater::Download(const std::string& url, const std::string& fileName) {
    // The window opens with the transfer and closes with its connection, but a transfer
    // can fail before it connects (offline) or time out midway: however it ends, its
    // connection and its window go.
    const auto closeWindow = qScopeGuard([this] {
        httpUpdate_.Close();
        user_.CloseTransferProgress();
    });
    httpUpdate_.SetURL(url);
    const int status = httpUpdate_.Get();
    // An error page must never take the place of the descriptor or the list.
    if (status != kHttpOk) {
        const std::string text = "HTTP " + std::to_string(status);
        user_.ShowMessage("UPDATER ERROR -- " + text);
        throw Exception(text);
    }
    const std::string path = ProgramFile(fileName);
    if (!WriteFileAtomically(path, httpUpdate_.Data().data().toStdString()))
        throw Exception("Cannot create file " + path);
}

bool SpamListUpdater::OfferNewList(const std::string& fileURL) {
    if (!user_.AskYesNo("There is a new spammer/UCE e-mail address list available for "
                        "Sievomatic.  Do you want to retrieve it?"))
        return false;
    Download(fileURL, "spamlist.new");
    const std::string newFile = ProgramFile("spamlist.new"), oldFile = ProgramFile("sievo.lst");
    switch (PutNewListInPlace(newFile, oldFile)) {
        case ListUpdate::kReplaced:
            user_.ShowMessage(
                "Update complete... to turn on/off Auto-Update click Options "
                "from the main screen.");
            break;
        case ListUpdate::kEmptyListKept:
            user_.ShowMessage(EmptyListKeptText(newFile, oldFile));
            break;
        case ListUpdate::kNothingWaiting:
        case ListUpdate::kFailed:
            user_.ShowMessage("Restart Sievomatic for changes to take effect");
            break;
    }
    return true;
}

bool SpamListUpdater::FBOOLGetUpdate(const std::string& section) {
    const QDate today = QDate::currentDate();
    settings::SetLastAutoUpdateDate(today);
    std::string lastList = settings::SpamListLastUpdate();
    if (lastList.empty())
        lastList = "19900101";
    ApplyProxySettings();
    if (ensureConnection_() == -1)
        return false;

    Download(DescriptorURL(), "updates.ini");
    const TIniFile descriptor(ProgramFile("updates.ini"));
    const std::string lastUpdate = descriptor.ReadString(section, "LastUpdate", "");
    const std::string displayMessage = descriptor.ReadString(section, "DisplayMessage", "");
    const std::string fileURL = descriptor.ReadString(section, "FileURL", "");

    bool downloaded = false;
    if (FDTCorDateFromString(lastUpdate) > FDTCorDateFromString(lastList)) {
        // No keeps the old date, so the list is offered again next time.
        if (!OfferNewList(fileURL))
            return false;
        downloaded = true;
    }
    if (!displayMessage.empty())
        user_.ShowMessage(displayMessage);
    settings::SetSpamListLastUpdate(today);
    return downloaded;
}

}  // namespace sievo
