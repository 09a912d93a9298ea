#include "net/dns_message.h"

#include <algorithm>

#include "config/text.h"

namespace sievo {

namespace {

constexpr std::uint16_t kTypeA = 1;
constexpr std::uint16_t kClassIn = 1;
constexpr std::size_t kHeaderBytes = 12;
constexpr std::size_t kMaxLabelBytes = 63;
constexpr std::size_t kMaxNameBytes = 253;
constexpr int kRcodeNoSuchName = 3;

void AppendWord(std::string& out, std::uint16_t word) {
    out += static_cast<char>(word >> 8);
    out += static_cast<char>(word & 0xff);
}

// Reads a datagram from the front, failing softly: a read past its end sets `cut`.
class Reader {
public:
    explicit Reader(std::string_view data) : data_(data) {}

    std::uint8_t Byte() {
        if (pos_ >= data_.size()) {
            cut_ = true;
            return 0;
        }
        return static_cast<std::uint8_t>(data_[pos_++]);
    }
    std::uint16_t Word() {
        const std::uint16_t high = Byte();
        return static_cast<std::uint16_t>((high << 8) | Byte());
    }
    std::uint32_t Long() {
        const std::uint32_t high = Word();
        return (high << 16) | Word();
    }
    void Skip(std::size_t bytes) {
        cut_ = cut_ || bytes > data_.size() - pos_;
        pos_ = cut_ ? data_.size() : pos_ + bytes;
    }
    // A name in dotted form, lower case; compression pointers are followed, a bounded
    // number of times so that a loop of pointers ends.
    std::string Name() {
        std::string name;
        std::size_t pos = pos_;
        bool jumped = false;
        for (int steps = 0; steps < 128; ++steps) {
            if (pos >= data_.size())
                break;
            const auto length = static_cast<std::uint8_t>(data_[pos]);
            if (length == 0) {
                if (!jumped)
                    pos_ = pos + 1;
                return name;
            }
            if ((length & 0xc0) == 0xc0) {
                if (pos + 1 >= data_.size())
                    break;
                if (!jumped)
                    pos_ = pos + 2;
                jumped = true;
                pos = static_cast<std::size_t>(((length & 0x3f) << 8) |
                                               static_cast<std::uint8_t>(data_[pos + 1]));
                continue;
            }
            if (pos + 1 + length > data_.size())
                break;
            if (!name.empty())
                name += '.';
            name += ToLowerAscii(data_.substr(pos + 1, length));
            pos += 1 + length;
        }
        cut_ = true;
        return name;
    }
    bool Cut() const { return cut_; }

private:
    std::string_view data_;
    std::size_t pos_ = 0;
    bool cut_ = false;
};

std::string_view WithoutFinalDot(std::string_view name) {
    if (!name.empty() && name.back() == '.')
        name.remove_suffix(1);
    return name;
}

}  // namespace

std::string EncodeAddressQuery(std::uint16_t id, std::string_view name) {
    name = WithoutFinalDot(name);
    if (name.empty() || name.size() > kMaxNameBytes || name.back() == '.')
        return {};
    std::string query;
    AppendWord(query, id);
    AppendWord(query, 0x0100);  // a standard query, recursion desired
    AppendWord(query, 1);       // one question
    query.append(6, '\0');      // no answer, authority or additional records
    for (std::string_view rest = name; !rest.empty();) {
        const std::size_t dot = std::min(rest.find('.'), rest.size());
        if (dot == 0 || dot > kMaxLabelBytes)
            return {};
        query += static_cast<char>(dot);
        query += rest.substr(0, dot);
        rest.remove_prefix(std::min(dot + 1, rest.size()));
    }
    query += '\0';
    AppendWord(query, kTypeA);
    AppendWord(query, kClassIn);
    return query;
}

std::optional<DnsReply> DecodeAddressReply(std::string_view datagram, std::uint16_t id,
                                           std::string_view name) {
    if (datagram.size() < kHeaderBytes)
        return std::nullopt;
    Reader reader(datagram);
    const std::uint16_t replyId = reader.Word();
    const std::uint16_t flags = reader.Word();
    const std::uint16_t questions = reader.Word();
    const std::uint16_t answers = reader.Word();
    reader.Skip(4);  // authority and additional counts
    if (replyId != id || (flags & 0x8000) == 0 || questions != 1)
        return std::nullopt;
    const std::string asked = reader.Name();
    const std::uint16_t type = reader.Word();
    const std::uint16_t cls = reader.Word();
    if (reader.Cut() || asked != ToLowerAscii(WithoutFinalDot(name)) || type != kTypeA ||
        cls != kClassIn)
        return std::nullopt;
    DnsReply reply;
    const int rcode = flags & 0x0f;
    if (rcode != 0) {
        reply.status = rcode == kRcodeNoSuchName ? DnsStatus::kNoSuchName : DnsStatus::kFailed;
        return reply;
    }
    reply.status = DnsStatus::kAnswered;
    for (int i = 0; i < answers && !reader.Cut(); ++i) {
        reader.Name();
        const std::uint16_t answerType = reader.Word();
        const std::uint16_t answerClass = reader.Word();
        reader.Skip(4);  // time to live
        const std::uint16_t length = reader.Word();
        if (answerType == kTypeA && answerClass == kClassIn && length == 4)
            reply.addresses.push_back(reader.Long());
        else
            reader.Skip(length);
    }
    if (reader.Cut())
        return std::nullopt;
    return reply;
}

}  // namespace sievo
