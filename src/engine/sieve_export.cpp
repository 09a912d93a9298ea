#include "engine/sieve_export.h"

#include <optional>
#include <set>
#include <string_view>

#include "config/text.h"
#include "engine/rule.h"
#include "engine/rule_evaluation.h"

namespace sievo {

namespace {

// The fields a HEADER rule is searched in: a server addresses fields by name only.
constexpr const char* kHeaderFields[] = {
    "from",       "to",           "cc",       "reply-to",    "sender",        "subject",
    "date",       "message-id",   "received", "return-path", "content-type",  "x-mailer",
    "user-agent", "organization", "list-id",  "x-spam-flag", "x-spam-status", "x-originating-ip"};

constexpr const char* kCaseless = ":comparator \"i;ascii-casemap\"";

// A quoted string. Every "${" becomes "${dollar}{", which expands to "${" once: the text
// of a rule must never be taken for a variable.
std::string Quoted(std::string_view text) {
    std::string unexpanded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unexpanded += text[i];
        if (text.substr(i).starts_with("${"))
            unexpanded += "{dollar}";
    }
    return QuotedString(unexpanded);
}

std::string QuotedList(const std::vector<std::string>& texts) {
    std::string out = "[";
    for (const auto& text : texts)
        out += (out.size() > 1 ? ", " : "") + Quoted(text);
    return out + "]";
}

// The text as a :matches pattern that matches only itself.
std::string LiteralPattern(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '*' || c == '?' || c == '\\')
            out += '\\';
        out += c;
    }
    return out;
}

// The lines of a list that can match: a line with "@" names an address, any other line a
// domain (an address's domain never holds "@").
struct AddressEntries {
    std::vector<std::string> addresses;
    std::vector<std::string> domains;
    std::size_t cut = 0;  // entries left out by the limit
};

AddressEntries EntriesOf(const std::vector<std::string>& lines, std::size_t limit) {
    AddressEntries entries;
    for (const auto& line : lines) {
        if (line.empty())
            continue;
        if (entries.addresses.size() + entries.domains.size() == limit) {
            ++entries.cut;
            continue;
        }
        (line.find('@') == std::string::npos ? entries.domains : entries.addresses).push_back(line);
    }
    return entries;
}

std::optional<std::string> SenderTest(const AddressEntries& entries) {
    std::vector<std::string> tests;
    if (!entries.addresses.empty())
        tests.push_back(std::string("address :is ") + kCaseless + " :all \"from\" " +
                        QuotedList(entries.addresses));
    if (!entries.domains.empty())
        tests.push_back(std::string("address :is ") + kCaseless + " :domain \"from\" " +
                        QuotedList(entries.domains));
    if (tests.empty())
        return std::nullopt;
    if (tests.size() == 1)
        return tests[0];
    return "anyof (" + tests[0] + ",\n           " + tests[1] + ")";
}

bool IsFieldName(std::string_view name) {
    if (name.empty())
        return false;
    for (const char c : name)
        if (c <= ' ' || c > '~' || c == ':')
            return false;
    return true;
}

class ScriptWriter {
public:
    ScriptWriter(const SieveExportInput& input, const SieveExportOptions& options)
        : input_(input), options_(options) {}

    SieveScript Write() {
        WriteFriends();
        for (std::size_t i = 0; i < input_.rules.size(); ++i)
            WriteRule(int(i) + 1, input_.rules[i]);
        WriteOutcome();
        return {Preamble() + body_, notes_};
    }

private:
    std::string Preamble() const {
        std::string extensions;
        for (const auto& name : requires_)
            extensions += (extensions.empty() ? "" : ", ") + Quoted(name);
        return "# Sievomatic rules, judged on the server as the program judges them: a sender\n"
               "# on the friends list is never touched, every active rule is tried in rule\n"
               "# order and the last one that hits decides. Letters match without regard to\n"
               "# case. Written by Sievomatic: changes made here are lost at the next export.\n"
               "require [" +
               extensions + "];\n\nset \"dollar\" \"$\";\n";
    }

    void Note(const std::string& line) {
        notes_.push_back(line);
        body_ += "# NOT AS IN THE PROGRAM: " + line + "\n";
    }

    void WriteFriends() {
        const auto test = SenderTest(EntriesOf(input_.friends, input_.friends.size()));
        if (!test)
            return;
        body_ += "\n# Friends: never judged.\nif " + *test + " {\n    keep;\n    stop;\n}\n";
    }

    void WriteRule(int number, const RuleRecord& rule) {
        const TSievoRule labelled(rule, number);
        const std::string name =
            "Rule " + std::to_string(number) + " (" +
            (RuleLabel(labelled).empty() ? rule.Criteria : RuleLabel(labelled)) + ")";
        body_ += "\n# " + name + "\n";
        if (!rule.Active) {
            body_ += "# switched off\n";
            return;
        }
        const auto test = TestOf(name, rule);
        if (!test)
            return;
        if (rule.DeleteAction && rule.Confirm)
            Note(name + " asks before deleting; the server files the message without asking.");
        const auto reply = ReplyOf(name, rule);
        body_ += "if " + *test + " {\n    set \"verdict\" " +
                 (rule.DeleteAction ? "\"spam\"" : "\"keep\"") + ";\n";
        if (reply) {
            body_ += "    set \"reply\" " + Quoted(*reply) + ";\n";
            replies_.insert(*reply);
        }
        if (rule.Report && !rule.ReportFile.empty()) {
            body_ += "    set \"report\" \"yes\";\n";
            reports_ = true;
        }
        body_ += "}\n";
    }

    // Nothing for a rule that never hits or cannot be said, with the reason written.
    std::optional<std::string> TestOf(const std::string& name, const RuleRecord& rule) {
        const std::string& value = rule.Value;
        const bool needsValue =
            rule.Criteria == "SUBCONT" || rule.Criteria == "FROM" || rule.Criteria == "HEADER";
        if (needsValue && value.empty()) {
            body_ += "# no text: never hits\n";
            return std::nullopt;
        }
        if (rule.Criteria == "SUBCONT" || rule.Criteria == "FROM")
            return std::string("header :contains ") + kCaseless + " " +
                   (rule.Criteria == "FROM" ? "\"from\" " : "\"subject\" ") + Quoted(value);
        if (rule.Criteria == "HEADER")
            return HeaderTest(name, value);
        if (rule.Criteria == "FROMNUM")
            return NumericSenderTest(name);
        if (rule.Criteria == "LIST")
            return SpammerTest(name);
        Note(name + " is not judged on the server.");
        return std::nullopt;
    }

    // The program searches the header block's lines, names included. "Name: text" is
    // taken as a field whose value begins with the text; any other text is looked for in
    // the values of the usual fields.
    std::string HeaderTest(const std::string& name, const std::string& value) {
        const auto colon = value.find(':');
        const std::string_view field = std::string_view(value).substr(0, colon);
        if (colon != std::string::npos && IsFieldName(field)) {
            const std::string_view rest = std::string_view(value).substr(colon + 1);
            const std::size_t blank = rest.find_first_not_of(" \t");
            Note(name + " looks at the field " + std::string(field) +
                 " alone, not at fields whose names end in it.");
            if (blank == std::string_view::npos)
                return "exists " + Quoted(field);
            return std::string("header :matches ") + kCaseless + " " + Quoted(field) + " " +
                   Quoted(LiteralPattern(rest.substr(blank)) + "*");
        }
        std::string fields;
        for (const char* field : kHeaderFields)
            fields += (fields.empty() ? "" : ", ") + Quoted(field);
        Note(name +
             " searches the values of the usual fields only, not field names or "
             "other fields.");
        return std::string("header :contains ") + kCaseless + " [" + fields + "] " + Quoted(value);
    }

    std::optional<std::string> NumericSenderTest(const std::string& name) {
        if (!options_.regex) {
            Note(name + " needs the server's regex extension, which it lacks.");
            return std::nullopt;
        }
        requires_.insert("regex");
        return std::string("address :regex ") + kCaseless + " :all \"from\" \"^[0-9]*@\"";
    }

    std::optional<std::string> SpammerTest(const std::string& name) {
        const AddressEntries entries = EntriesOf(input_.spammers, options_.spammerLimit);
        if (entries.cut > 0)
            Note(name + ": the spammer list is cut to its first " +
                 std::to_string(options_.spammerLimit) + " entries; " +
                 std::to_string(entries.cut) + " are left out.");
        const auto test = SenderTest(entries);
        if (!test)
            body_ += "# the spammer list is empty: never hits\n";
        return test;
    }

    // The library message a hit answers with; nothing when it has none or it cannot be read.
    std::optional<std::string> ReplyOf(const std::string& name, const RuleRecord& rule) {
        if (!rule.Reply || rule.ReplyFile.empty())
            return std::nullopt;
        if (!input_.replies.contains(rule.ReplyFile)) {
            Note(name + ": its reply message " + rule.ReplyFile + " cannot be read.");
            return std::nullopt;
        }
        return rule.ReplyFile;
    }

    void WriteOutcome() {
        body_ +=
            "\n# The last rule that hit decides.\n"
            "if string :is \"${verdict}\" \"spam\" {\n    fileinto :create " +
            Quoted(options_.spamFolder) + ";\n} else {\n    keep;\n}\n";
        if (reports_) {
            Note(
                "Reports: the server sends the message itself on to abuse@ the sender's "
                "domain, not the report message.");
            body_ +=
                "if string :is \"${report}\" \"yes\" {\n"
                "    if address :matches :domain \"from\" \"*\" {\n"
                "        redirect \"abuse@${1}\";\n    }\n}\n";
        }
        if (replies_.empty())
            return;
        requires_.insert("vacation");
        Note("Replies: the server answers a sender once in " + std::to_string(options_.replyDays) +
             " days, with the reply of the last rule that hit, merge codes as written.");
        for (const auto& file : replies_) {
            const SieveReplyText& reply = input_.replies.at(file);
            body_ += "if string :is \"${reply}\" " + Quoted(file) + " {\n    vacation :days " +
                     std::to_string(options_.replyDays) + " :subject " + Quoted(reply.subject) +
                     "\n        " + Quoted(reply.body) + ";\n}\n";
        }
    }

    const SieveExportInput& input_;
    const SieveExportOptions& options_;
    std::string body_;
    std::vector<std::string> notes_;
    std::set<std::string> requires_{"fileinto", "mailbox", "variables"};
    std::set<std::string> replies_;
    bool reports_ = false;
};

}  // namespace

SieveScript ExportSieve(const SieveExportInput& input, const SieveExportOptions& options) {
    return ScriptWriter(input, options).Write();
}

}  // namespace sievo
