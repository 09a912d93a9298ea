#pragma once

#include <string>
#include <vector>

namespace sievo::bench {

// Trace fields that mail picks up on its way, so that header blocks have a usual size.
constexpr int kReceivedFields = 4;

// A message with the header block of ordinary mail: relays' trace fields, a signature,
// the usual fields and a short body.
inline std::string RealisticMessage(int n, const std::string& from, const std::string& subject) {
    const std::string number = std::to_string(n);
    std::string text;
    for (int hop = 0; hop < kReceivedFields; ++hop)
        text += "Received: from relay" + std::to_string(hop) + ".example.net (relay" +
                std::to_string(hop) + ".example.net [192.0.2." + std::to_string(hop + 1) +
                "])\r\n\tby mx.example.org (Postfix) with ESMTPS id 4Q" + number +
                "\r\n\tfor <sam@example.org>; Tue, 5 Mar 2024 10:0" + std::to_string(hop) +
                ":00 +0100 (CET)\r\n";
    text +=
        "DKIM-Signature: v=1; a=rsa-sha256; c=relaxed/relaxed; d=example.net; s=mail;\r\n"
        "\th=from:to:subject:date:message-id; bh=47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=;\r\n"
        "\tb=dGhpcyBpcyBub3QgYSByZWFsIHNpZ25hdHVyZSBidXQgaXQgaGFzIHRoZSBsZW5ndGggb2Ygb25l"
        "IGFuZCB0aGF0IGlzIHdoYXQgY291bnRzIGhlcmU=\r\n";
    text += "Message-ID: <" + number + ".bench@example.net>\r\n";
    text += "Date: Tue, 5 Mar 2024 10:00:00 +0100\r\n";
    text += "From: " + from + "\r\n";
    text += "To: Sam <sam@example.org>\r\nSubject: " + subject + "\r\n";
    text += "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n";
    text += "Body of message " + number + ".\r\n";
    return text;
}

inline std::string RealisticMessage(int n) {
    const std::string number = std::to_string(n);
    return RealisticMessage(n, "Sender " + number + " <sender" + number + "@example.net>",
                            "Message " + number);
}

inline std::vector<std::string> RealisticMessages(int count) {
    std::vector<std::string> messages;
    for (int n = 1; n <= count; ++n)
        messages.push_back(RealisticMessage(n));
    return messages;
}

}  // namespace sievo::bench
