#include "engine/replies.h"

#include <string>

#include "config/account.h"
#include "config/activity_log.h"
#include "engine/merge_template.h"
#include "engine/rule.h"
#include "engine/sievo_message.h"
#include "mail/message.h"
#include "store/message_library.h"

namespace sievo {

namespace {

struct Outgoing {
    const std::string& file;      // the library message, without ".msg"
    std::string recipient;        // empty when there is none to write to
    const char* noRecipientLine;  // logged when there is none
    std::string senderAddress;
    std::string sendingLine;
};

bool ComposeAndSend(MailSender& smtp, const TSievoUser& account, const TSievoMessage& message,
                    const Outgoing& outgoing) {
    if (outgoing.file.empty())
        return false;
    TmsMessage mail;
    mail.LoadFromFile(message_library::MessageFilePath(outgoing.file));
    mail.Recipients().Clear();
    if (outgoing.recipient.empty()) {
        ActivityLog(outgoing.noRecipientLine);
        return false;
    }
    mail.Recipients().Add(outgoing.recipient, message.FromName);
    mail.Sender().SetAddress(outgoing.senderAddress);

    TmsMessage spam;
    spam.SetHeaders(message.Headers);
    PROCMergeTemplate(mail, spam);

    ActivityLog(outgoing.sendingLine + outgoing.recipient);
    if (account.SMTPAddress.empty())
        return false;
    smtp.SendMail(account, mail);
    return true;
}

// "abuse" + the sender's address from its first "@"; all of it when it has none.
std::string AbuseAddressOf(const std::string& address) {
    if (address.empty())
        return "";
    const auto at = address.find('@');
    return "abuse" + (at == std::string::npos ? address : address.substr(at));
}

}  // namespace

bool PROCSendReply(MailSender& smtp, const TSievoUser& account, const TSievoRule& rule,
                   const TSievoMessage& message) {
    return ComposeAndSend(
        smtp, account, message,
        {rule.ReplyFile, message.FromAddress, "Unable to determine address to reply to.",
         account.EMailAddr, "Sending reply to "});
}

bool PROCSendReport(MailSender& smtp, const TSievoUser& account, const TSievoRule& rule,
                    const TSievoMessage& message) {
    return ComposeAndSend(smtp, account, message,
                          {rule.ReportFile, AbuseAddressOf(message.FromAddress),
                           "Unable to extract domain name from spam message for reporting",
                           kReportSenderAddress, "Sending report to "});
}

}  // namespace sievo
