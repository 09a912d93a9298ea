#include "mail/imap_folder_names.h"

#include <QByteArray>
#include <QString>

namespace sievo {

namespace {

bool Printable(char16_t c) {
    return c >= 0x20 && c <= 0x7e;
}

std::string Shifted(const std::u16string& run) {
    QByteArray utf16;
    for (const char16_t c : run) {
        utf16.append(static_cast<char>(c >> 8));
        utf16.append(static_cast<char>(c & 0xff));
    }
    QByteArray base64 = utf16.toBase64(QByteArray::OmitTrailingEquals);
    base64.replace('/', ',');
    return "&" + base64.toStdString() + "-";
}

}  // namespace

std::string EncodeFolderName(std::string_view utf8) {
    const std::u16string text =
        QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())).toStdU16String();
    std::string wire;
    std::u16string run;
    for (const char16_t c : text) {
        if (!Printable(c)) {
            run += c;
            continue;
        }
        if (!run.empty()) {
            wire += Shifted(run);
            run.clear();
        }
        wire += c == u'&' ? std::string("&-") : std::string(1, static_cast<char>(c));
    }
    if (!run.empty())
        wire += Shifted(run);
    return wire;
}

std::string DecodeFolderName(std::string_view wire) {
    std::u16string text;
    for (std::size_t i = 0; i < wire.size(); ++i) {
        if (wire[i] != '&') {
            if (!Printable(static_cast<unsigned char>(wire[i])))
                return std::string(wire);
            text += static_cast<char16_t>(wire[i]);
            continue;
        }
        const std::size_t end = wire.find('-', i);
        if (end == std::string_view::npos)
            return std::string(wire);
        if (end == i + 1) {
            text += u'&';
        } else {
            QByteArray base64(wire.data() + i + 1, static_cast<qsizetype>(end - i - 1));
            base64.replace(',', '/');
            const auto decoded = QByteArray::fromBase64Encoding(
                base64, QByteArray::AbortOnBase64DecodingErrors | QByteArray::OmitTrailingEquals);
            if (!decoded || decoded.decoded.isEmpty() || decoded.decoded.size() % 2 != 0)
                return std::string(wire);
            for (qsizetype k = 0; k < decoded.decoded.size(); k += 2)
                text +=
                    static_cast<char16_t>((static_cast<unsigned char>(decoded.decoded[k]) << 8) |
                                          static_cast<unsigned char>(decoded.decoded[k + 1]));
        }
        i = end;
    }
    return QString::fromStdU16String(text).toStdString();
}

}  // namespace sievo
