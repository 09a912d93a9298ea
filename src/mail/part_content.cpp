#include "mail/part_content.h"

#include <algorithm>

#include "config/text.h"
#include "mail/transfer_codecs.h"

namespace sievo {

namespace {

// "begin 600 " comes before the file name.
constexpr std::size_t kUuencodeNameColumn = 10;
constexpr std::size_t kUuencodeBeginMinLength = 9;

bool IsDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string DecodeBase64Lines(const std::vector<std::string>& lines) {
    Base64Decoder decoder;
    for (const auto& line : lines) {
        if (line == ".")
            break;
        if (!line.empty())
            decoder.AddLine(line);
    }
    return decoder.Bytes();
}

std::string DecodeUuencodedLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const auto& line : lines) {
        if (IsUuencodeBegin(line) || line == "`" || ToUpperAscii(line) == "END")
            continue;
        bytes += UudecodeLine(line);
    }
    return bytes;
}

}  // namespace

PartEncoding PartEncodingOf(std::string_view contentTransferEncoding) {
    const std::string value = ToLowerAscii(TrimBlanks(contentTransferEncoding));
    if (value == "base64")
        return PartEncoding::Base64;
    if (value == "quoted-printable")
        return PartEncoding::QuotedPrintable;
    if (value.starts_with("x-uue"))
        return PartEncoding::Uuencode;
    return PartEncoding::Plain;
}

TAttEncoding AttEncodingOf(PartEncoding encoding) {
    switch (encoding) {
        case PartEncoding::Base64:
        case PartEncoding::Uuencode:
            return TAttEncoding::Base64;
        case PartEncoding::QuotedPrintable:
            return TAttEncoding::QuotedPrintable;
        case PartEncoding::Plain:
            break;
    }
    return TAttEncoding::SevenBit;
}

std::string DecodePartLines(const std::vector<std::string>& lines, PartEncoding encoding) {
    switch (encoding) {
        case PartEncoding::Base64:
            return DecodeBase64Lines(lines);
        case PartEncoding::Uuencode:
            return DecodeUuencodedLines(lines);
        case PartEncoding::QuotedPrintable:
            return DecodeQuotedPrintable(lines);
        case PartEncoding::Plain:
            break;
    }
    return JoinLinesCrLf(lines);
}

bool IsUuencodeBegin(std::string_view line) {
    return line.size() >= kUuencodeBeginMinLength && ToUpperAscii(line.substr(0, 5)) == "BEGIN" &&
           IsDigits(TrimBlanks(line.substr(5, 3)));
}

std::string UuencodeFileName(std::string_view beginLine) {
    std::string_view rest = beginLine.substr(std::min(kUuencodeNameColumn, beginLine.size()));
    if (!rest.empty() && rest.front() == '"') {
        rest.remove_prefix(1);
        return std::string(rest.substr(0, rest.find('"')));
    }
    return std::string(rest.substr(0, rest.find(' ')));
}

std::string ReceivedFileName(std::string_view name) {
    const std::string_view base = name.substr(name.find_last_of("/\\") + 1);
    if (base == "." || base == "..")
        return {};
    std::string safe(base);
    std::replace_if(
        safe.begin(), safe.end(),
        [](char c) { return static_cast<unsigned char>(c) < ' ' || c == '\x7F'; }, '_');
    return safe;
}

}  // namespace sievo
