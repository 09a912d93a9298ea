// sievomatic-msgdump FILE...: shows what the mail library makes of each message file.

#include <QCoreApplication>
#include <iostream>
#include <string>

#include "config/errors.h"
#include "mail/message.h"

namespace {

using sievo::TmsMessage;

// Messages come from strangers: control characters are shown, never sent to the terminal.
std::string Printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7F) {
            out += c;
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += std::string("\\x") + kHex[byte >> 4] + kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string Entry(const sievo::TmsMailAddress& address) {
    return Printable(address.Name()) + " <" + Printable(address.Address()) + ">";
}

const char* PriorityName(sievo::TPriority priority) {
    switch (priority) {
        case sievo::ptLow:
            return "low";
        case sievo::ptHigh:
            return "high";
        case sievo::ptNormal:
            break;
    }
    return "normal";
}

void PrintAddresses(const char* label, const sievo::TmsAddressList& list) {
    for (const auto& address : list)
        std::cout << label << Entry(address) << '\n';
}

void PrintMessage(TmsMessage& message) {
    std::cout << "From:         " << Entry(message.Sender()) << '\n';
    PrintAddresses("To:           ", message.Recipients());
    PrintAddresses("CC:           ", message.CC());
    std::cout << "Subject:      " << Printable(message.Subject()) << '\n'
              << "Priority:     " << PriorityName(message.Priority()) << '\n'
              << "Content-Type: " << Printable(message.ContentType()) << '\n'
              << "Encoding:     " << (message.Encoding() == sievo::meUU ? "uuencode" : "MIME")
              << '\n'
              << "Charset:      "
              << (message.CharSet() == sievo::csISO8859 ? "iso-8859-1" : "us-ascii") << '\n'
              << "Body lines:   " << message.Body().size() << '\n';
    for (const auto& line : message.Body())
        std::cout << "| " << Printable(line) << '\n';
    for (const auto& item : message.Attachments()) {
        std::cout << "Attachment:   " << Printable(item.FileName()) << "; "
                  << Printable(item.ContentType()) << "; " << sievo::EncodingName(item.Encoding())
                  << "; " << item.Data().size() << " bytes\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::cerr << "Usage: sievomatic-msgdump FILE...\n";
        return 2;
    }
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        std::cout << "== " << argv[i] << '\n';
        TmsMessage message;
        try {
            message.LoadFromFile(argv[i]);
            PrintMessage(message);
        } catch (const sievo::Exception& error) {
            std::cout << "Error:        " << Printable(error.what()) << '\n';
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
