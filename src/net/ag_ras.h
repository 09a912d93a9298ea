#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/dial_up_link.h"
#include "net/network_manager.h"
#include "net/time_counter.h"

namespace sievo {

class TagRas;

using TRASNotifyEvent = std::function<void(TagRas& sender, const std::string& RASStatusStr)>;
using TRasEvent = std::function<void(TagRas& sender)>;

// Makes sure a network connection exists before the program talks to a server, through
// NetworkManager: its connection profiles are the entries, "dialling" brings a profile up,
// and only what this component brought up is taken down again.
class TagRas : public DialUpLink {
public:
    static constexpr int kDefaultTimeOut = 120;

    // Lists the entries; `runner` reaches nmcli (the real one when none is given).
    explicit TagRas(QObject* parent = nullptr, std::unique_ptr<NmcliRunner> runner = nullptr);

    // The entry to dial. Setting it checks it as the account dialogs expect and tells
    // OnServiceRefused why instead of raising.
    void SetService(const std::string& name);
    const std::string& Service() const { return service_; }
    // Only a connection of `Service` counts as existing; off: any active one with an address.
    bool ForceService = true;
    int TimeOut() const { return counter_.TimeOut(); }
    void SetTimeOut(int seconds) { counter_.SetTimeOut(seconds); }

    TRASNotifyEvent OnStatusChange;
    TRasEvent OnDisconnected;
    // Why SetService did not take the entry, in words for the user.
    TRASNotifyEvent OnServiceRefused;

    const std::vector<std::string>& Entries() const { return entries_; }
    bool Available() const { return !entries_.empty(); }
    bool Connected() const { return connected_; }

    // Whether a dial-type connection (modem, mobile broadband, PPPoE, Bluetooth) is up.
    bool DialUpActive();

    void Connect() override;
    // Takes down a connection this component brought up; forgets it in every case.
    void HangUp();
    // HangUp, and a dial in progress ends as canceled.
    void Release() override;

private:
    struct ActiveConnection {
        std::string name;
        std::string type;
        std::string device;
    };

    void ListEntries();
    std::vector<ActiveConnection> ActiveConnections();
    bool ExistingConnectionCounts();
    bool HasAddress(const ActiveConnection& connection);
    void Dial();
    NmcliResult Run(const std::vector<std::string>& arguments);
    [[noreturn]] void RaiseFailure(const NmcliResult& result);
    void Status(const std::string& text);
    void Refuse(const std::string& reason);

    std::unique_ptr<NmcliRunner> runner_;
    TTimeCounter counter_;
    std::vector<std::string> entries_;
    std::string service_;
    bool connected_ = false;
    bool dialledByUs_ = false;
    bool canceled_ = false;
};

}  // namespace sievo
