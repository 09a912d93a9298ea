#include "net/dns_resolver.h"

#include <QRandomGenerator>
#include <QTimer>
#include <QUdpSocket>
#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "net/event_pump.h"

namespace sievo {

namespace {

using Clock = std::chrono::steady_clock;

// The lookups of one call: questions waiting, questions in flight by their id, replies.
class LookupRound {
public:
    LookupRound(const DnsNameServer& server, const std::vector<std::string>& names,
                std::chrono::milliseconds deadline)
        : server_(server), names_(names), deadline_(deadline), replies_(names.size()) {
        socket_.bind(server.address.protocol() == QAbstractSocket::IPv6Protocol
                         ? QHostAddress::AnyIPv6
                         : QHostAddress::AnyIPv4);
    }

    std::vector<DnsReply> Run() {
        while (next_ < names_.size() || !inFlight_.empty()) {
            SendWhileRoom();
            ReadReplies();
            ExpireLate();
            if (next_ < names_.size() || !inFlight_.empty())
                WaitForNews();
        }
        return std::move(replies_);
    }

private:
    struct Question {
        std::size_t index;
        Clock::time_point until;
    };

    void SendWhileRoom() {
        while (next_ < names_.size() && inFlight_.size() < UdpDnsResolver::kMaxInFlight) {
            const std::size_t index = next_++;
            if (ServerSilent())
                continue;  // counts as timed out, the reply's default
            const std::uint16_t id = FreeId();
            const std::string query = EncodeAddressQuery(id, names_[index]);
            if (query.empty() ||
                socket_.writeDatagram(query.data(), static_cast<qint64>(query.size()),
                                      server_.address, server_.port) < 0) {
                replies_[index].status = DnsStatus::kFailed;
                continue;
            }
            inFlight_[id] = {index, Clock::now() + deadline_};
        }
    }

    std::uint16_t FreeId() const {
        std::uint16_t id = 0;
        do {
            id = static_cast<std::uint16_t>(QRandomGenerator::global()->generate());
        } while (inFlight_.count(id) != 0);
        return id;
    }

    void ReadReplies() {
        while (socket_.hasPendingDatagrams()) {
            std::string datagram(
                static_cast<std::size_t>(std::max<qint64>(socket_.pendingDatagramSize(), 0)), '\0');
            QHostAddress sender;
            quint16 port = 0;
            const qint64 read = socket_.readDatagram(
                datagram.data(), static_cast<qint64>(datagram.size()), &sender, &port);
            if (read < 2 || port != server_.port ||
                !sender.isEqual(server_.address, QHostAddress::TolerantConversion))
                continue;  // not from the server asked: never taken for its answer
            datagram.resize(static_cast<std::size_t>(read));
            Take(datagram);
        }
    }

    void Take(const std::string& datagram) {
        const auto id = static_cast<std::uint16_t>((static_cast<std::uint8_t>(datagram[0]) << 8) |
                                                   static_cast<std::uint8_t>(datagram[1]));
        const auto question = inFlight_.find(id);
        if (question == inFlight_.end())
            return;
        auto reply = DecodeAddressReply(datagram, id, names_[question->second.index]);
        if (!reply)
            return;
        replies_[question->second.index] = std::move(*reply);
        inFlight_.erase(question);
        lastAnswer_ = Clock::now();
    }

    void ExpireLate() {
        const auto now = Clock::now();
        for (auto question = inFlight_.begin(); question != inFlight_.end();) {
            if (question->second.until > now) {
                ++question;
                continue;
            }
            question = inFlight_.erase(question);
            lastTimeout_ = now;
        }
    }

    // Nothing answered since the question that timed out last was sent.
    bool ServerSilent() const { return lastTimeout_ && lastAnswer_ < *lastTimeout_ - deadline_; }

    // Sleeps until a datagram arrives or the earliest deadline passes.
    void WaitForNews() {
        if (inFlight_.empty())
            return;
        Clock::time_point earliest = Clock::time_point::max();
        for (const auto& [id, question] : inFlight_)
            earliest = std::min(earliest, question.until);
        QTimer wakeUp;
        wakeUp.setSingleShot(true);
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(earliest - Clock::now());
        wakeUp.start(std::max(left, std::chrono::milliseconds(0)));
        if (!socket_.hasPendingDatagrams())
            PumpOnce();
    }

    const DnsNameServer& server_;
    const std::vector<std::string>& names_;
    const std::chrono::milliseconds deadline_;
    std::vector<DnsReply> replies_;
    QUdpSocket socket_;
    std::size_t next_ = 0;
    std::map<std::uint16_t, Question> inFlight_;
    Clock::time_point lastAnswer_ = Clock::time_point::min();
    std::optional<Clock::time_point> lastTimeout_;
};

}  // namespace

DnsNameServer NameServerOf(const std::string& resolvConf) {
    std::ifstream file(resolvConf);
    for (std::string line; std::getline(file, line);) {
        std::istringstream words(line);
        std::string keyword, address;
        words >> keyword >> address;
        QHostAddress parsed;
        if (keyword == "nameserver" && parsed.setAddress(QString::fromStdString(address)))
            return {parsed, 53};
    }
    return {QHostAddress::LocalHost, 53};
}

std::vector<DnsReply> UdpDnsResolver::LookUpAddresses(const std::vector<std::string>& names,
                                                      std::chrono::milliseconds deadline) {
    const DnsNameServer server = server_.value_or(NameServerOf("/etc/resolv.conf"));
    return LookupRound(server, names, deadline).Run();
}

}  // namespace sievo
