#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "mail/item_list.h"

namespace sievo {

// How an attachment travels; the numbers are the ones message files have always stored.
enum class TAttEncoding : std::uint8_t { SevenBit = 0, Base64 = 1, QuotedPrintable = 2 };

// "7 bit", "Base64" or "Quoted-Printable", as written after Content-Transfer-Encoding.
std::string_view EncodingName(TAttEncoding encoding);

// One attachment: its name, type, transfer encoding and bytes.
class TmsAttItem {
public:
    const std::string& FileName() const { return fileName_; }
    // A non-empty name also sets ContentType from its extension and picks the encoding.
    void SetFileName(std::string_view fileName);
    // The name without any folder: what a message carries.
    std::string FileNamePart() const;

    const std::string& ContentType() const { return contentType_; }
    void SetContentType(std::string_view contentType);

    // The charset a received text part was declared in; empty when none was named.
    const std::string& Charset() const { return charset_; }
    void SetCharset(std::string_view charset) { charset_ = charset; }

    TAttEncoding Encoding() const { return encoding_; }
    void SetEncoding(TAttEncoding encoding) { encoding_ = encoding; }

    const std::string& Data() const { return data_; }
    std::string& Data() { return data_; }

private:
    std::string fileName_;
    std::string contentType_;
    std::string charset_;
    TAttEncoding encoding_ = TAttEncoding::SevenBit;
    std::string data_;
};

using TmsAttList = ItemList<TmsAttItem>;

}  // namespace sievo
