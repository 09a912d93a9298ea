#include "mail/ms_remote_pop.h"

#include <QIODevice>
#include <algorithm>
#include <utility>

#include "mail/header_cache.h"
#include "mail/mail_errors.h"
#include "mail/mail_limits.h"
#include "mail/message_copies.h"

namespace sievo {

namespace {

// Listing commands sent ahead of the reply being read when the server pipelines: enough
// to keep a link of tens of milliseconds busy, few enough that the commands (about 15
// bytes each) and their replies never strain the socket buffers or the server.
constexpr std::size_t kPipelineWindow = 1000;

}  // namespace

void TmsRemotePOP::SetMessageDirectory(const std::string& folder) {
    messageDirectory_ = folder;
    if (!messageDirectory_.empty() && !messageDirectory_.ends_with('/'))
        messageDirectory_ += '/';
}

void TmsRemotePOP::UpdateInfo() {
    ConnectAndLogin();
    Fire(OnUpdatingInfo);
    remoteInfo_.Clear();
    ListMessages();
    SaveHeaderCache();
    if (!KeepConnection)
        LogoutAndClose();
    Fire(OnInfoUpdated);
}

void TmsRemotePOP::ListMessages() {
    headerCacheStale_ = false;
    headerBudget_ = mail_limits::kMaxListingHeaderBytes;
    if (MessageCount() < 1)
        return;
    if (MessageCount() > ListedCount() && OnError)
        OnError(*this, "Only the first " + std::to_string(ListedCount()) + " of " +
                           std::to_string(MessageCount()) + " messages are listed");
    const bool pipelining = Announces("PIPELINING") && !IgnorePipelining;
    std::vector<TmsRemoteInfoItem> items(static_cast<std::size_t>(ListedCount()));
    const auto steps = PlanListing(items);
    RunListing(items, steps, pipelining ? kPipelineWindow : 1);
}

std::vector<TmsRemotePOP::ListingStep> TmsRemotePOP::PlanListing(
    std::vector<TmsRemoteInfoItem>& items) {
    const auto ids = ReadUniqueIds();
    const THeaderCache cache = ids && !HeaderCacheFile.empty()
                                   ? THeaderCache::Load(HeaderCacheFile, MailboxName())
                                   : THeaderCache();
    std::vector<int> unknown;
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        TmsRemoteInfoItem& item = items[static_cast<std::size_t>(i)];
        item.UniqueId = ids ? ids->at(i + 1) : std::string();
        const THeaderCache::Entry* entry = cache.Find(item.UniqueId);
        if (!entry) {
            unknown.push_back(i);
            continue;
        }
        item.Size = entry->Size;
        item.Headers = entry->Headers;
        headerBudget_ -= KeptHeaderCost(item.Headers);
    }
    // Messages gone or new since the file was written.
    headerCacheStale_ = !unknown.empty() || items.size() != cache.Count();
    return UnknownSteps(items, unknown);
}

std::vector<TmsRemotePOP::ListingStep> TmsRemotePOP::UnknownSteps(
    std::vector<TmsRemoteInfoItem>& items, const std::vector<int>& unknown) {
    std::vector<ListingStep> steps;
    if (unknown.empty())
        return steps;
    const auto sizes = ReadAllSizes();
    for (const int index : unknown) {
        const auto size = sizes ? sizes->find(index + 1) : std::map<int, qint64>::const_iterator();
        if (sizes && size != sizes->end())
            items[static_cast<std::size_t>(index)].Size = size->second;
        else
            steps.push_back({index, true});
        steps.push_back({index, false});
    }
    return steps;
}

void TmsRemotePOP::RunListing(std::vector<TmsRemoteInfoItem>& items,
                              const std::vector<ListingStep>& steps, std::size_t window) {
    std::size_t sent = 0;
    std::size_t read = 0;
    std::size_t published = 0;
    try {
        for (; read < steps.size(); ++read) {
            // The window is topped up once half of it is answered, so the commands go out
            // in a few large writes instead of one write each.
            if (sent - read <= window / 2) {
                for (; sent < steps.size() && sent - read < window; ++sent)
                    steps[sent].Size ? SendList(steps[sent].Index) : SendTop(steps[sent].Index);
            }
            const auto index = static_cast<std::size_t>(steps[read].Index);
            for (; published < index; ++published)
                Publish(std::move(items[published]));
            if (steps[read].Size)
                items[index].Size = ReadListReply();
            else
                ReadHeaders(steps[read].Index, items[index]);
        }
    } catch (...) {
        // The replies still on their way would pass for the answers to later commands.
        if (sent > read + 1)
            Close();
        throw;
    }
    for (; published < items.size(); ++published)
        Publish(std::move(items[published]));
}

void TmsRemotePOP::ReadHeaders(int Index, TmsRemoteInfoItem& item) {
    ReadTopReply(Index, item,
                 std::clamp<qint64>(headerBudget_, 0, mail_limits::kMaxHeaderBlockBytes));
    headerBudget_ -= KeptHeaderCost(item.Headers);
}

void TmsRemotePOP::Publish(TmsRemoteInfoItem&& item) {
    remoteInfo_.Add(std::move(item));
    if (OnNextInfoUpdated)
        OnNextInfoUpdated(*this, remoteInfo_.Count() - 1);
}

void TmsRemotePOP::SaveHeaderCache() {
    if (HeaderCacheFile.empty() || !headerCacheStale_)
        return;
    if (!THeaderCache::Save(HeaderCacheFile, MailboxName(), remoteInfo_) && OnHeaderCacheNotSaved)
        OnHeaderCacheNotSaved(*this, "Cannot create file \"" + HeaderCacheFile + "\"");
}

std::string TmsRemotePOP::MailboxName() const {
    return UserName + "@" + Server;
}

TmsRemoteInfoItem& TmsRemotePOP::MarkForDelete(int Index) {
    TmsRemoteInfoItem& item = remoteInfo_[Index];
    item.Marks |= TmsRemoteInfoItem::kDeleteMark;
    return item;
}

TmsRemoteInfoItem& TmsRemotePOP::MarkForRetrieve(int Index) {
    TmsRemoteInfoItem& item = remoteInfo_[Index];
    item.Marks |= TmsRemoteInfoItem::kRetrieveMark;
    return item;
}

TmsRemoteInfoItem& TmsRemotePOP::Unmark(int Index) {
    TmsRemoteInfoItem& item = remoteInfo_[Index];
    item.Marks = 0;
    return item;
}

bool TmsRemotePOP::VerifyMessage(int Index) {
    VerifyMessage(Index, remoteInfo_[Index]);
    return true;
}

void TmsRemotePOP::VerifyMessage(int Index, const TmsRemoteInfoItem& listed) {
    TmsRemoteInfoItem fresh;
    GetMessageInfo(Index, fresh);
    // Where the listing had the server's ids they decide: headers, the Message-ID among
    // them, can be the same in two different messages.
    if (!listed.UniqueId.empty())
        fresh.UniqueId = ReadUniqueId(Index).value_or("");
    if (!SameMessage(listed, fresh))
        RaiseError(mail_texts::kIdsAreDifferent);
}

void TmsRemotePOP::TransferData() {
    if (remoteInfo_.Empty())
        return;
    ConnectAndLogin();
    Fire(OnTransferringData);
    for (int i = 0; i < remoteInfo_.Count(); ++i)
        TransferItem(i);
    Fire(OnDataTransfered);
    LogoutAndClose();
}

void TmsRemotePOP::TransferItem(int Index) {
    TmsRemoteInfoItem& item = remoteInfo_[Index];
    if (item.MarkedForRetrieve() && VerifyMessage(Index)) {
        try {
            RetrieveMessage(Index);
        } catch (const EMessageNotStored& error) {
            if (!OnMessageNotStored)
                throw;
            item.Marks = 0;
            OnMessageNotStored(*this, error.what());
            return;
        }
    }
    // Verified again: the retrieval may have taken long enough for the mailbox to change.
    if (item.MarkedForDelete() && VerifyMessage(Index))
        DeleteMessage(Index);
}

std::string TmsRemotePOP::MessageFileName(int Index) const {
    return MessageCopyName(messageDirectory_, Index);
}

void TmsRemotePOP::StoreMessage(int Index, QIODevice& Stream) {
    if (OnUserMessageSave) {
        OnUserMessageSave(*this, Index, Stream);
        return;
    }
    WriteMessageCopy(MessageFileName(Index), Stream.readAll());
}

}  // namespace sievo
