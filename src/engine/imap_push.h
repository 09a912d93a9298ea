#pragma once

#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "engine/imap_watch.h"
#include "store/accounts_store.h"

namespace sievo {

// Push for IMAP accounts: while it is on, every active IMAP account is watched (see
// ImapWatch), and an account whose server tells of new mail is handed to `check`. A check
// never runs inside a watch's own signal, and a watch's connection is closed while its
// account is checked, so an account never has two connections at once.
class ImapPush {
public:
    // Checks the account at once; false when that cannot be now (a pass is running), to be
    // asked again by `CheckWaiting`.
    using CheckEvent = std::function<bool(int accountIndex)>;

    explicit ImapPush(CheckEvent check, PushTiming timing = {});

    void Start();
    void Stop();
    // Follows the accounts store: watches new and changed accounts, drops the others.
    void Refresh();
    // Asks again for the checks that had to wait.
    void CheckWaiting();
    // The watch of an account, when it has one.
    const ImapWatch* Watch(int accountIndex) const;

    // Keeps an account's watch closed while it lives (the account is being checked).
    class Pause {
    public:
        Pause(ImapPush& push, int accountIndex);
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        ImapPush& push_;
        int index_;
    };

private:
    ImapWatch* Find(int accountIndex);
    void NewMail(int accountIndex);
    void Retire(std::unique_ptr<ImapWatch> watch);
    // Work that must not run inside a watch's signal: checks, and destroying watches.
    void RunDeferred();

    CheckEvent check_;
    PushTiming timing_;
    std::map<int, std::unique_ptr<ImapWatch>> watches_;
    // Each account as the last Refresh read it, watched or not.
    std::map<int, StoredAccount> watchedAs_;
    // Dropped watches whose step may still be waiting; destroyed once it has ended.
    std::vector<std::unique_ptr<ImapWatch>> retired_;
    std::set<int> waiting_;
    QTimer deferred_;
    int checking_ = 0;
    bool on_ = false;
};

}  // namespace sievo
