#include "mail/message.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "config/file_io.h"
#include "config/text.h"
#include "mail/mail_errors.h"
#include "mail/mail_limits.h"
#include "mail/message_decoder.h"
#include "mail/message_encoder.h"

namespace sievo {

namespace {

bool NameIs(const TmsAttItem& item, std::string_view lowerName) {
    return ToLowerAscii(item.FileNamePart()) == lowerName;
}

bool IsAlternative(const TmsAttItem& item) {
    return ToLowerAscii(item.FileNamePart()).starts_with("_alt.");
}

// A received To or CC entry that does not parse is kept whole as the address: one
// malformed entry must not make the whole message unreadable.
void AddParsedEntries(const std::vector<std::string>& lines, std::string_view name,
                      TmsAddressList& list) {
    std::vector<std::string> entries;
    GetHeaderAddressList(lines, name, entries);
    for (const auto& entry : entries) {
        list.Add(TryParseAddress(entry).value_or(TmsMailAddress(entry, "")));
    }
}

bool HasAddress(const TmsAddressList& list) {
    return std::any_of(list.begin(), list.end(),
                       [](const TmsMailAddress& a) { return !a.Address().empty(); });
}

}  // namespace

std::string TmsCustomMessage::ContentType() const {
    if (encoding_ != meUU)
        contentType_ = ComputeContentType();
    return contentType_;
}

std::string TmsCustomMessage::ComputeContentType() const {
    const int count = attachments_.Count();
    if (count > 0 && std::all_of(attachments_.begin(), attachments_.end(), IsAlternative)) {
        return "multipart/alternative";
    }
    if (body_.empty()) {
        if (count == 1 && NameIs(attachments_[0], "_rtfbody.rtf"))
            return "text/rtf";
        if (count == 1 && NameIs(attachments_[0], "_htmbody.htm"))
            return "text/html";
        if (count == 1)
            return attachments_[0].ContentType();
        return count == 0 ? "text/plain" : "multipart/mixed";
    }
    if (count > 0)
        return "multipart/mixed";
    return contentType_.empty() ? "text/plain" : contentType_;
}

void TmsCustomMessage::SetContentType(std::string_view contentType) {
    contentType_ = ToLowerAscii(Utf8Truncate(contentType, mail_limits::kShortText));
}

void TmsCustomMessage::SetSubject(std::string_view subject) {
    subject_ = Utf8Truncate(subject, mail_limits::kShortText);
}

void TmsCustomMessage::CheckRequired() const {
    if (sender_.Address().empty())
        throw EMessageError(mail_texts::kSenderRequired);
}

void TmsCustomMessage::Clear() {
    body_.clear();
    bodyCharset_.clear();
    attachments_.Clear();
    sender_ = TmsMailAddress();
    headers_.clear();
    subject_.clear();
    encoding_ = meMIME;
    charSet_ = csUSASCII;
    contentType_.clear();
}

void TmsCustomMessage::ApplyHeaders(const std::vector<std::string>& lines) {
    ParseAddress(GetHeaderField(lines, "FROM"), sender_);
    if (std::string subject = GetHeaderField(lines, "Subject"); !subject.empty()) {
        SetSubject(subject);
    }
    headers_ = lines;
}

void TmsCustomMessage::SaveToFile(const std::string& fileName) {
    std::ostringstream text;
    SaveToStream(text);
    if (!WriteFileAtomically(fileName, text.str())) {
        throw Exception("Cannot create file \"" + fileName + "\"");
    }
}

void TmsCustomMessage::LoadFromFile(const std::string& fileName) {
    Clear();
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        throw Exception("Cannot open file \"" + fileName + "\"");
    LoadFromStream(file);
}

void TmsMessage::CheckRequired() const {
    TmsCustomMessage::CheckRequired();
    if (!HasAddress(recipients_) && !HasAddress(cc_) && !HasAddress(bcc_)) {
        throw EMessageError(mail_texts::kRecipientRequired);
    }
}

void TmsMessage::SaveToStream(std::ostream& stream) {
    TmsMessageEncoder(*this, stream).Encode();
}

void TmsMessage::LoadFromStream(std::istream& stream) {
    TmsMessageDecoder(*this, stream).Decode();
}

void TmsMessage::Clear() {
    TmsCustomMessage::Clear();
    recipients_.Clear();
    cc_.Clear();
    bcc_.Clear();
}

void TmsMessage::ApplyHeaders(const std::vector<std::string>& lines) {
    TmsCustomMessage::ApplyHeaders(lines);
    AddParsedEntries(lines, "TO", recipients_);
    AddParsedEntries(lines, "CC", cc_);
    const std::string priority = GetHeaderField(lines, "X-Priority");
    priority_ = priority == "1" ? ptHigh : priority == "5" ? ptLow : ptNormal;
    if (!GetHeaderField(lines, "Return-receipt-to").empty())
        returnReceipt_ = true;
}

}  // namespace sievo
