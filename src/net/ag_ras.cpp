#include "net/ag_ras.h"

#include <algorithm>
#include <set>

#include "net/net_errors.h"

namespace sievo {

namespace {

// nmcli's exit code when the NetworkManager service is not running.
constexpr int kNmNotRunning = 8;
constexpr const char* kLoopbackType = "loopback";
constexpr const char* kNoNetworkManager = "NetworkManager is not available";

std::vector<std::string> OutputLines(const std::string& output) {
    std::vector<std::string> lines;
    std::string line;
    for (const char c : output) {
        if (c != '\n') {
            line += c;
        } else if (!line.empty()) {
            lines.push_back(std::move(line));
            line.clear();
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

bool ServiceMissing(const NmcliResult& result) {
    return !result.ran || result.exitCode == kNmNotRunning;
}

}  // namespace

TagRas::TagRas(QObject* parent, std::unique_ptr<NmcliRunner> runner)
    : DialUpLink(parent), runner_(runner ? std::move(runner) : std::make_unique<NmcliRunner>()) {
    counter_.SetTimeOut(kDefaultTimeOut);
    ListEntries();
}

NmcliResult TagRas::Run(const std::vector<std::string>& arguments) {
    return runner_->Run(arguments, [] { return false; });
}

void TagRas::ListEntries() {
    const NmcliResult result = Run({"-t", "-f", "NAME,TYPE", "connection", "show"});
    if (!result.ran || result.exitCode != 0)
        return;  // no service: no entries
    for (const auto& line : OutputLines(result.output)) {
        const auto fields = SplitTerseLine(line);
        if (fields.size() >= 2 && fields[1] != kLoopbackType)
            entries_.push_back(fields[0]);
    }
}

void TagRas::SetService(const std::string& name) {
    if (name.empty()) {
        service_.clear();
    } else if (!Available()) {
        Refuse("TagRas component was unable to detect\nRAS on your system.");
    } else if (connected_) {
        Refuse("This property can be set only before\nestablishing the connection");
    } else if (std::find(entries_.begin(), entries_.end(), name) == entries_.end()) {
        Refuse("Invalid service name");
        service_.clear();
    } else {
        service_ = name;
    }
}

std::vector<TagRas::ActiveConnection> TagRas::ActiveConnections() {
    const NmcliResult result =
        Run({"-t", "-f", "NAME,TYPE,DEVICE", "connection", "show", "--active"});
    if (ServiceMissing(result))
        return {};
    if (result.exitCode != 0)
        RaiseFailure(result);
    std::vector<ActiveConnection> active;
    for (const auto& line : OutputLines(result.output)) {
        auto fields = SplitTerseLine(line);
        fields.resize(3);
        active.push_back({fields[0], fields[1], fields[2]});
    }
    return active;
}

bool TagRas::HasAddress(const ActiveConnection& connection) {
    if (connection.type == kLoopbackType || connection.device.empty())
        return false;
    const NmcliResult result = Run({"-g", "IP4.ADDRESS", "device", "show", connection.device});
    if (!result.ran || result.exitCode != 0)
        RaiseFailure(result);
    return !OutputLines(result.output).empty();
}

bool TagRas::ExistingConnectionCounts() {
    const auto active = ActiveConnections();
    const bool serviceUp = std::any_of(active.begin(), active.end(),
                                       [this](const auto& c) { return c.name == service_; });
    if (serviceUp || ForceService)
        return serviceUp;
    return std::any_of(active.begin(), active.end(),
                       [this](const auto& c) { return HasAddress(c); });
}

bool TagRas::DialUpActive() {
    static const std::set<std::string> kDialTypes = {"gsm",  "cdma", "pppoe",
                                                     "adsl", "ppp",  "bluetooth"};
    const auto active = ActiveConnections();
    return std::any_of(active.begin(), active.end(),
                       [](const auto& c) { return kDialTypes.count(c.type) > 0; });
}

void TagRas::Connect() {
    if (service_.empty() || ExistingConnectionCounts()) {
        connected_ = true;
        dialledByUs_ = false;
        return;
    }
    Dial();
}

void TagRas::Dial() {
    dialledByUs_ = true;
    connected_ = canceled_ = false;
    counter_.ClearTimedOut();
    Status("Opening connection " + service_);
    counter_.Start();
    const NmcliResult result = runner_->Run(
        {"--wait", std::to_string(TimeOut()), "connection", "up", "id", service_},
        [this] { return canceled_ || counter_.TimedOut(); },
        [this](const std::string& line) { Status(line); });
    counter_.Stop();
    if (canceled_ || counter_.TimedOut()) {
        const bool timedOut = !canceled_;
        HangUp();  // the activation may still be under way
        const std::string text = SocketMessageText(timedOut ? kMsgTimedOut : kMsgCanceled);
        if (timedOut)
            throw ETimedOutError(text);
        throw ECanceledError(text);
    }
    if (!result.ran)
        throw ERASError(-1, kNoNetworkManager);
    if (result.exitCode != 0) {
        HangUp();
        RaiseFailure(result);
    }
    connected_ = true;
    Status("Connected");
}

void TagRas::HangUp() {
    if (Available() && dialledByUs_) {
        dialledByUs_ = false;
        const NmcliResult result = Run({"connection", "down", "id", service_});
        if (!result.ran || result.exitCode != 0) {
            qWarning("Cannot take down %s: %s", service_.c_str(), result.errorText.c_str());
        }
        if (OnDisconnected)
            OnDisconnected(*this);
    }
    connected_ = false;
}

void TagRas::Release() {
    HangUp();
    canceled_ = true;
}

void TagRas::RaiseFailure(const NmcliResult& result) {
    if (ServiceMissing(result))
        throw ERASError(result.exitCode, kNoNetworkManager);
    throw ERASError(result.exitCode, result.errorText);
}

void TagRas::Status(const std::string& text) {
    if (OnStatusChange)
        OnStatusChange(*this, text);
}

void TagRas::Refuse(const std::string& reason) {
    if (OnServiceRefused)
        OnServiceRefused(*this, reason);
}

}  // namespace sievo
