#include "mail/imap_session.h"

#include <QScopedValueRollback>
#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "config/account.h"
#include "config/data_folder.h"
#include "config/text.h"
#include "mail/header_cache.h"
#include "mail/imap_uid_sets.h"
#include "mail/mail_errors.h"
#include "mail/mail_limits.h"
#include "mail/message_copies.h"

namespace sievo {

namespace {

constexpr const char* kJunk = "Junk";

std::optional<std::pair<std::uint32_t, std::uint32_t>> SplitUniqueId(const std::string& id) {
    const std::size_t dot = id.find('.');
    if (dot == std::string::npos)
        return std::nullopt;
    const auto validity = ParseImapNumber(std::string_view(id).substr(0, dot));
    const auto uid = ParseImapNumber(std::string_view(id).substr(dot + 1));
    if (!validity || !uid)
        return std::nullopt;
    return std::pair(*validity, *uid);
}

TmsHeaders HeaderLines(const std::string& block) {
    TmsHeaders lines;
    ForEachLine(block, [&lines](std::string_view line) { lines.emplace_back(line); });
    TruncateAtBody(lines);
    return lines;
}

std::vector<std::string> Sets(const std::vector<std::uint32_t>& uids) {
    return UidSets(uids, mail_limits::kMaxUidSetChars);
}

bool SameName(const std::string& a, const std::string& b) {
    return ToUpperAscii(a) == ToUpperAscii(b);
}

}  // namespace

std::string ImapUniqueId(std::uint32_t validity, std::uint32_t uid) {
    return std::to_string(validity) + "." + std::to_string(uid);
}

ImapSession::ImapSession(const TSievoUser& account, MailboxEvents events)
    : ImapSession(ImapFolders{.judged = account.IMAPFolder,
                              .spam = account.SpamFolder,
                              .expunge = account.ExpungeSpam},
                  std::move(events)) {
    SetAccountLogin(imap_, account);
    login_ = account.POPUser + "@" + account.POPAddress;
    cacheFile_ =
        ProgramFile(HeaderCacheName(account.POPUser, account.POPAddress + "/" + folders_.judged));
}

ImapSession::ImapSession(const MailboxLogin& login, ImapFolders folders, MailboxEvents events)
    : ImapSession(std::move(folders), std::move(events)) {
    imap_.Server = login.server;
    imap_.UserName = login.user;
    imap_.Password = login.password;
    imap_.Security = login.security;
    login_ = login.user + "@" + login.server;
}

ImapSession::ImapSession(ImapFolders folders, MailboxEvents events)
    : folders_(std::move(folders)), events_(std::move(events)) {
    if (events_.error)
        imap_.OnError = [this](TagSocket&, const std::string& text) { events_.error(text); };
    imap_.OnAlert = [this](TagSocket&, const std::string& text) {
        if (events_.error)
            events_.error("The IMAP server says: " + text);
    };
}

void ImapSession::SetMessageFolder(const std::string& folder) {
    messageFolder_ = folder.empty() || folder.ends_with('/') ? folder : folder + "/";
}

void ImapSession::Connect() {
    if (imap_.Connected())
        return;
    selected_ = false;
    serverFolders_.reset();
    imap_.ConnectAndLogin();
}

void ImapSession::SelectJudged() {
    Connect();
    if (selected_)
        return;
    imap_.Select(folders_.judged);
    selected_ = true;
}

std::vector<std::string> ImapSession::Folders() {
    Connect();
    std::vector<std::string> names;
    for (const ImapFolder& folder : imap_.ListFolders()) {
        if (!folder.Has("\\Noselect") && !folder.Has("\\NonExistent"))
            names.push_back(folder.name);
    }
    return names;
}

void ImapSession::List() {
    if (events_.starting)
        events_.starting();
    listing_.Clear();
    verified_.clear();
    Connect();
    const std::vector<ListedSize> sizes = ListSizes();
    headerBudget_ = mail_limits::kMaxListingHeaderBytes;
    const std::uint32_t validity = imap_.UidValidity();
    const THeaderCache cache = THeaderCache::Load(cacheFile_, MailboxName(validity));
    std::vector<TmsRemoteInfoItem> items(sizes.size());
    std::vector<std::uint32_t> unknown;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        items[i].UniqueId = ImapUniqueId(validity, sizes[i].uid);
        items[i].Size = sizes[i].size;
        if (const auto* entry = cache.Find(items[i].UniqueId)) {
            items[i].Headers = entry->Headers;
            headerBudget_ -= KeptHeaderCost(items[i].Headers);
        } else {
            unknown.push_back(sizes[i].uid);
        }
    }
    FetchHeaders(items, unknown);
    if (!unknown.empty() && !THeaderCache::Save(cacheFile_, MailboxName(validity), listing_) &&
        events_.cacheNotSaved)
        events_.cacheNotSaved("Cannot create file \"" + cacheFile_ + "\"");
}

std::vector<ImapSession::ListedSize> ImapSession::ListSizes() {
    std::vector<ListedSize> sizes;
    const auto listed = [&sizes](std::uint32_t, const ImapValue& items) {
        const ImapValue* uid = items.Find("UID");
        const ImapValue* size = items.Find("RFC822.SIZE");
        if (uid && size && uid->Number() && size->Number())
            sizes.push_back({*uid->Number(), *size->Number()});
    };
    constexpr std::string_view kItems = "(UID RFC822.SIZE)";
    // A fresh connection selects the folder in the same round trip.
    if (!selected_) {
        imap_.SelectAndFetch(folders_.judged, kItems, listed);
        selected_ = true;
    } else if (imap_.Exists() != 0) {
        imap_.UidFetch({"1:*"}, kItems, 0, listed);
    }
    std::sort(sizes.begin(), sizes.end(),
              [](const ListedSize& a, const ListedSize& b) { return a.uid < b.uid; });
    const auto limit = static_cast<std::size_t>(mail_limits::kMaxListedMessages);
    if (sizes.size() > limit) {
        if (events_.error)
            events_.error("Only the first " + std::to_string(limit) + " of " +
                          std::to_string(sizes.size()) + " messages are listed");
        sizes.resize(limit);
    }
    return sizes;
}

void ImapSession::FetchHeaders(std::vector<TmsRemoteInfoItem>& items,
                               const std::vector<std::uint32_t>& unknown) {
    const std::unordered_set<std::uint32_t> fetching(unknown.begin(), unknown.end());
    std::unordered_map<std::uint32_t, std::size_t> indexOf;
    std::vector<bool> complete(items.size(), true);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto uid = SplitUniqueId(items[i].UniqueId)->second;
        indexOf[uid] = i;
        complete[i] = !fetching.contains(uid);
    }
    std::size_t next = 0;
    const auto publishReady = [&] {
        for (; next < items.size() && complete[next]; ++next)
            Publish(std::move(items[next]));
    };
    publishReady();
    const auto fetched = [&](std::uint32_t, const ImapValue& values) {
        const ImapValue* uid = values.Find("UID");
        const ImapValue* block = values.Find("BODY[HEADER]");
        const auto at = uid && uid->Number() ? indexOf.find(*uid->Number()) : indexOf.end();
        if (!block || at == indexOf.end() || complete[at->second])
            return;
        TmsRemoteInfoItem& item = items[at->second];
        const qint64 allowance =
            std::clamp<qint64>(headerBudget_, 0, mail_limits::kMaxHeaderBlockBytes);
        if (!block->dropped)
            item.Headers = HeaderLines(block->text);
        if (block->dropped || KeptHeaderCost(item.Headers) > allowance) {
            item.Headers.clear();
            item.HeaderTooLarge = true;
            if (events_.error)
                events_.error(HeaderTooLargeText(static_cast<int>(at->second)));
        }
        headerBudget_ -= KeptHeaderCost(item.Headers);
        complete[at->second] = true;
        publishReady();
    };
    if (!unknown.empty()) {
        std::vector<std::string> commands;
        for (const std::string& set : Sets(unknown))
            commands.push_back("UID FETCH " + set + " (UID BODY.PEEK[HEADER])");
        // The folder list a move will need comes along, sparing it a round trip of its own.
        std::vector<ImapFolder> folders;
        if (!folders_.expunge)
            commands.push_back(imap_.ListCommand());
        imap_.Run(
            commands,
            [&](const ImapResponse& reply) {
                if (const ImapValue* values = FetchedItems(reply))
                    fetched(*reply.number, *values);
                else if (auto folder = ListedFolder(reply))
                    folders.push_back(std::move(*folder));
            },
            mail_limits::kMaxHeaderBlockBytes);
        if (!folders_.expunge)
            serverFolders_ = std::move(folders);
    }
    // A message expunged by another program before its header block came is listed with
    // none: no rule judges it and nothing is done to it.
    for (std::size_t i = next; i < items.size(); ++i) {
        if (!complete[i])
            items[i].HeaderTooLarge = true;
        complete[i] = true;
    }
    publishReady();
}

void ImapSession::Publish(TmsRemoteInfoItem&& item) {
    listing_.Add(std::move(item));
    if (events_.listed)
        events_.listed(listing_.Count() - 1, static_cast<int>(imap_.Exists()));
}

std::string ImapSession::MailboxName(std::uint32_t validity) const {
    return "imap:" + login_ + "/" + folders_.judged + ";UIDVALIDITY=" + std::to_string(validity);
}

TmsRemoteInfoItem& ImapSession::MarkForDelete(int index) {
    TmsRemoteInfoItem& item = listing_[index];
    item.Marks |= TmsRemoteInfoItem::kDeleteMark;
    return item;
}

TmsRemoteInfoItem& ImapSession::MarkForRetrieve(int index) {
    TmsRemoteInfoItem& item = listing_[index];
    item.Marks |= TmsRemoteInfoItem::kRetrieveMark;
    return item;
}

TmsRemoteInfoItem& ImapSession::Unmark(int index) {
    TmsRemoteInfoItem& item = listing_[index];
    item.Marks = 0;
    return item;
}

void ImapSession::Verify(int index, const TmsRemoteInfoItem& listed) {
    const auto id = SplitUniqueId(listed.UniqueId);
    SelectJudged();
    if (!id || id->first != imap_.UidValidity())
        RaiseIdsAreDifferent();
    const auto fresh = FetchItem(id->second);
    if (!fresh || !SameMessage(listed, *fresh))
        RaiseIdsAreDifferent();
    verified_[index] = listed.UniqueId;
}

std::optional<TmsRemoteInfoItem> ImapSession::FetchItem(std::uint32_t uid) {
    std::optional<TmsRemoteInfoItem> item;
    imap_.UidFetch({std::to_string(uid)}, "(UID RFC822.SIZE BODY.PEEK[HEADER])",
                   mail_limits::kMaxHeaderBlockBytes, [&](std::uint32_t, const ImapValue& values) {
                       const ImapValue* found = values.Find("UID");
                       const ImapValue* block = values.Find("BODY[HEADER]");
                       if (!found || found->Number() != uid || !block)
                           return;
                       item.emplace();
                       item->UniqueId = ImapUniqueId(imap_.UidValidity(), uid);
                       item->HeaderTooLarge = block->dropped;
                       if (!block->dropped)
                           item->Headers = HeaderLines(block->text);
                   });
    return item;
}

ImapSession::MessageId ImapSession::CurrentId(int index) {
    const auto bound = verified_.find(index);
    const std::string& uniqueId =
        bound != verified_.end() ? bound->second : listing_[index].UniqueId;
    const auto id = SplitUniqueId(uniqueId);
    SelectJudged();
    if (!id || id->first != imap_.UidValidity())
        RaiseIdsAreDifferent();
    return {id->first, id->second};
}

QByteArray ImapSession::Retrieve(int index) {
    if (events_.starting)
        events_.starting();
    const MessageId id = CurrentId(index);
    std::optional<QByteArray> message;
    bool tooLarge = false;
    imap_.UidFetch({std::to_string(id.uid)}, "(UID BODY.PEEK[])",
                   mail_limits::kMaxRetrievedMessageBytes,
                   [&](std::uint32_t, const ImapValue& values) {
                       const ImapValue* uid = values.Find("UID");
                       const ImapValue* body = values.Find("BODY[]");
                       if (!uid || uid->Number() != id.uid || !body)
                           return;
                       tooLarge = body->dropped;
                       message = QByteArray::fromStdString(body->text);
                   });
    if (tooLarge)
        imap_.RaiseError(MessageTooLargeText(index));
    if (!message)
        RaiseIdsAreDifferent();
    return *message;
}

void ImapSession::CarryOutMarks(const CopiedEvent& copied) {
    std::vector<int> marked;
    for (int i = 0; i < listing_.Count(); ++i) {
        if (listing_[i].Marks != 0)
            marked.push_back(i);
    }
    if (marked.empty())
        return;
    if (events_.starting)
        events_.starting();
    SelectJudged();
    // Under another UIDVALIDITY the listed UIDs may name other messages. A message another
    // program moved away meanwhile is simply not found by its UID: nothing else is touched.
    for (const int index : marked)
        CurrentId(index);
    std::vector<int> copies;
    std::copy_if(marked.begin(), marked.end(), std::back_inserter(copies),
                 [this](int i) { return listing_[i].MarkedForRetrieve(); });
    WriteCopies(copies, copied);
    std::vector<int> removed;
    std::copy_if(marked.begin(), marked.end(), std::back_inserter(removed),
                 [this](int i) { return listing_[i].MarkedForDelete(); });
    RemoveMarked(removed);
    Commit();
}

void ImapSession::WriteCopies(const std::vector<int>& indexes, const CopiedEvent& copied) {
    if (indexes.empty())
        return;
    std::unordered_map<std::uint32_t, int> indexOf;
    for (const int index : indexes)
        indexOf[SplitUniqueId(listing_[index].UniqueId)->second] = index;
    std::vector<std::pair<int, std::string>> failures;
    std::vector<int> written;
    // Failures are gathered and acted on after the command: its replies must all be read.
    imap_.UidFetch(
        Sets(UidsOf(indexes)), "(UID BODY.PEEK[])", mail_limits::kMaxRetrievedMessageBytes,
        [&](std::uint32_t, const ImapValue& values) {
            const ImapValue* uid = values.Find("UID");
            const ImapValue* body = values.Find("BODY[]");
            const auto at = uid && uid->Number() ? indexOf.find(*uid->Number()) : indexOf.end();
            if (!body || at == indexOf.end())
                return;
            const int index = at->second;
            indexOf.erase(at);
            if (body->dropped) {
                failures.emplace_back(index, MessageTooLargeText(index));
                return;
            }
            try {
                WriteMessageCopy(MessageCopyName(messageFolder_, index),
                                 QByteArray::fromStdString(body->text));
            } catch (const EMessageNotStored& error) {
                failures.emplace_back(index, error.what());
                return;
            }
            written.push_back(index);
            if (copied)
                copied(index);
        });
    // A message the server sent no copy of has gone meanwhile.
    for (const auto& [uid, index] : indexOf)
        LeftAlone(index);
    for (const auto& [index, text] : failures) {
        if (!events_.notStored)
            throw EMessageNotStored(text);
        Unmark(index);
        events_.notStored(text);
    }
}

void ImapSession::RemoveMarked(const std::vector<int>& indexes) {
    std::vector<int> still;
    std::copy_if(indexes.begin(), indexes.end(), std::back_inserter(still),
                 [this](int i) { return listing_[i].MarkedForDelete(); });
    if (still.empty())
        return;
    const auto sets = Sets(UidsOf(still));
    if (folders_.expunge) {
        Act("STORE", sets, "+FLAGS.SILENT (\\Deleted)");
        Expunge(sets, still.size());
        return;
    }
    const std::string spam = imap_.FolderArgument(SpamFolder());
    if (imap_.Announces("MOVE")) {
        Act("MOVE", sets, spam);
    } else {
        Act("COPY", sets, spam);
        Act("STORE", sets, "+FLAGS.SILENT (\\Deleted)");
        Expunge(sets, still.size());
    }
    NoteVanished(still);
}

void ImapSession::Act(std::string_view command, const std::vector<std::string>& sets,
                      std::string_view arguments) {
    std::vector<std::string> commands;
    for (const std::string& set : sets)
        commands.push_back("UID " + std::string(command) + " " + set + " " +
                           std::string(arguments));
    imap_.ClearCopiedUids();
    const auto refusals = imap_.RunAll(commands, {}, 0);
    const auto refused = [](const auto& refusal) { return refusal.has_value(); };
    if (std::none_of(refusals.begin(), refusals.end(), refused))
        return;
    // A server that has not yet told this session of another program's expunge may refuse
    // the whole command for it; told now, it acts on the messages that are still there.
    const bool expunged = std::all_of(refusals.begin(), refusals.end(), [](const auto& refusal) {
        return !refusal || refusal->find("[EXPUNGEISSUED]") != std::string::npos;
    });
    if (!expunged)
        imap_.Refuse(**std::find_if(refusals.begin(), refusals.end(), refused));
    imap_.Noop();
    imap_.ClearCopiedUids();
    imap_.Run(commands);
}

void ImapSession::NoteVanished(const std::vector<int>& indexes) {
    // Servers with UIDPLUS name the UIDs they copied; the others say nothing of the rest.
    const auto copied = imap_.CopiedUids();
    if (!copied)
        return;
    const std::unordered_set<std::uint32_t> done(copied->begin(), copied->end());
    for (const int index : indexes) {
        if (!done.contains(SplitUniqueId(listing_[index].UniqueId)->second))
            LeftAlone(index);
    }
}

void ImapSession::LeftAlone(int index) {
    Unmark(index);
    if (events_.error)
        events_.error("Message " + std::to_string(index + 1) + " is no longer in " +
                      folders_.judged + "; it is left alone");
}

void ImapSession::Expunge(const std::vector<std::string>& sets, std::size_t count) {
    if (imap_.Announces("UIDPLUS")) {
        Act("EXPUNGE", sets, "");
        return;
    }
    if (events_.error)
        events_.error(std::to_string(count) + " messages in " + folders_.judged +
                      " are marked deleted; the server removes them when it next expunges "
                      "the folder");
}

std::string ImapSession::SpamFolder() {
    if (!serverFolders_)
        serverFolders_ = imap_.ListFolders();
    const std::vector<ImapFolder>& folders = *serverFolders_;
    const auto named = [&folders](const std::string& name) {
        return std::find_if(folders.begin(), folders.end(),
                            [&name](const ImapFolder& f) { return SameName(f.name, name); });
    };
    std::string spam = folders_.spam;
    if (spam.empty()) {
        const auto junk = std::find_if(folders.begin(), folders.end(),
                                       [](const ImapFolder& f) { return f.Has("\\Junk"); });
        spam = junk != folders.end()           ? junk->name
               : named(kJunk) != folders.end() ? named(kJunk)->name
                                               : kJunk;
    }
    if (SameName(spam, folders_.judged))
        imap_.RaiseError("The spam folder \"" + spam + "\" is the folder judged");
    if (named(spam) == folders.end())
        imap_.CreateFolder(spam);
    return spam;
}

std::vector<std::uint32_t> ImapSession::UidsOf(const std::vector<int>& indexes) const {
    std::vector<std::uint32_t> uids;
    for (const int index : indexes)
        uids.push_back(SplitUniqueId(listing_[index].UniqueId)->second);
    return uids;
}

void ImapSession::Commit() {
    selected_ = false;
    imap_.LogoutAndClose();
}

void ImapSession::Cancel() {
    selected_ = false;
    imap_.Cancel();
}

void ImapSession::RaiseIdsAreDifferent() {
    imap_.RaiseError(mail_texts::kIdsAreDifferent);
}

}  // namespace sievo
