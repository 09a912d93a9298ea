#include "engine/imap_push.h"

#include <optional>
#include <utility>

#include "config/activity_log.h"
#include "store/accounts_store.h"

namespace sievo {

ImapPush::ImapPush(CheckEvent check, PushTiming timing)
    : check_(std::move(check)), timing_(timing) {
    deferred_.setSingleShot(true);
    QObject::connect(&deferred_, &QTimer::timeout, [this] { RunDeferred(); });
}

void ImapPush::Start() {
    on_ = true;
    Refresh();
}

void ImapPush::Stop() {
    on_ = false;
    waiting_.clear();
    for (auto& [index, watch] : watches_)
        Retire(std::move(watch));
    watches_.clear();
    watchedAs_.clear();
}

void ImapPush::Refresh() {
    if (!on_)
        return;
    std::map<int, std::unique_ptr<ImapWatch>> kept;
    std::map<int, StoredAccount> seen;
    const std::vector<StoredAccount> stored = accounts::LoadAll();
    for (int n = 1; n <= static_cast<int>(stored.size()); ++n) {
        seen[n] = stored[n - 1];
        const auto found = watches_.find(n);
        // The passwords (the keyring, a command) are asked for only when the account changed,
        // and a failure is reported once, not at every tick.
        const auto before = watchedAs_.find(n);
        const bool unchanged = before != watchedAs_.end() && before->second == stored[n - 1];
        if (unchanged) {
            if (found != watches_.end())
                kept[n] = std::move(found->second);
            continue;
        }
        std::optional<TSievoUser> account;
        try {
            account = accounts::ForCheck(stored[n - 1], n);
        } catch (const std::exception& error) {
            AppException(error);
            continue;
        }
        if (!account->Active || account->Protocol != "IMAP")
            continue;
        if (found != watches_.end() && found->second->Watches(*account)) {
            kept[n] = std::move(found->second);
            continue;
        }
        auto watch =
            std::make_unique<ImapWatch>(*account, timing_, [this](int index) { NewMail(index); });
        if (n == checking_)
            watch->Suspend();
        watch->Start();
        kept[n] = std::move(watch);
    }
    for (auto& [index, watch] : watches_) {
        if (watch)
            Retire(std::move(watch));
    }
    watches_ = std::move(kept);
    watchedAs_ = std::move(seen);
}

void ImapPush::CheckWaiting() {
    if (!waiting_.empty() || !retired_.empty())
        deferred_.start(0);
}

const ImapWatch* ImapPush::Watch(int accountIndex) const {
    const auto found = watches_.find(accountIndex);
    return found == watches_.end() ? nullptr : found->second.get();
}

ImapWatch* ImapPush::Find(int accountIndex) {
    const auto found = watches_.find(accountIndex);
    return found == watches_.end() ? nullptr : found->second.get();
}

void ImapPush::NewMail(int accountIndex) {
    if (!on_)
        return;
    waiting_.insert(accountIndex);
    deferred_.start(0);
}

void ImapPush::Retire(std::unique_ptr<ImapWatch> watch) {
    watch->Suspend();
    retired_.push_back(std::move(watch));
    deferred_.start(0);
}

void ImapPush::RunDeferred() {
    std::erase_if(retired_, [](const auto& watch) { return !watch->Busy(); });
    while (!waiting_.empty()) {
        const int index = *waiting_.begin();
        waiting_.erase(waiting_.begin());
        if (!check_(index)) {
            waiting_.insert(index);
            return;
        }
    }
}

ImapPush::Pause::Pause(ImapPush& push, int accountIndex) : push_(push), index_(accountIndex) {
    push_.checking_ = index_;
    if (ImapWatch* watch = push_.Find(index_))
        watch->Suspend();
}

ImapPush::Pause::~Pause() {
    push_.checking_ = 0;
    if (ImapWatch* watch = push_.Find(index_))
        watch->Resume();
}

}  // namespace sievo
