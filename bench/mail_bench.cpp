// How fast the engine reads header fields and the preview decodes a large message.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <sstream>

#include "mail/header_fields.h"
#include "mail/mail_address.h"
#include "mail/message.h"

namespace {

// A header block of 40 lines as a POP3 server hands it over for one waiting message.
std::vector<std::string> TypicalHeaderBlock() {
    std::vector<std::string> lines;
    for (int hop = 0; hop < 6; ++hop) {
        lines.push_back("Received: from relay" + std::to_string(hop) +
                        ".example.net (relay.example.net [192.0.2." + std::to_string(hop) + "])");
        lines.push_back("\tby mx.example.org (Postfix) with ESMTPS id 4F2A1C0B" +
                        std::to_string(hop));
        lines.push_back("\tfor <user@example.org>; Mon, 4 Mar 2024 10:1" + std::to_string(hop) +
                        ":00 +0100 (CET)");
    }
    for (const char* line : {
             "Return-Path: <bounce-123@lists.example.com>",
             "X-Original-To: user@example.org",
             "Delivered-To: user@example.org",
             "DKIM-Signature: v=1; a=rsa-sha256; c=relaxed/relaxed; d=example.com;",
             "\ts=sel1; t=1709543400; bh=47DEQpj8HBSa+/TImW+5JCeuQeRkm5NMpJWZG3hSuFU=;",
             "\th=From:To:Subject:Date:Message-ID; b=dGhpcyBpcyBub3QgYSByZWFsIHNpZ25hdHVyZQ==",
             "Authentication-Results: mx.example.org; dkim=pass header.d=example.com",
             "Message-ID: <20240304091000.12345@mail.example.com>",
             "Date: Mon, 4 Mar 2024 10:10:00 +0100",
             "From: \"Example Newsletter, Team\" <news@example.com>",
             "Reply-To: support@example.com",
             "To: \"Doe, Jane\" <user@example.org>",
             "Subject: =?UTF-8?Q?Your_weekly_digest_=E2=80=93_March?=",
             " =?UTF-8?Q?_edition?=",
             "MIME-Version: 1.0",
             "Content-Type: multipart/alternative; boundary=\"b1_5f0a3c\"",
             "List-Unsubscribe: <mailto:unsubscribe@example.com>",
             "List-Id: Example News <news.example.com>",
             "Precedence: bulk",
             "X-Mailer: ExampleMailer 4.2",
             "X-Priority: 3",
             "X-Spam-Status: No, score=-0.1 required=5.0",
         }) {
        lines.emplace_back(line);
    }
    return lines;
}

void BM_GetHeaderFieldSubject(benchmark::State& state) {
    const auto lines = TypicalHeaderBlock();
    for (auto _ : state)
        benchmark::DoNotOptimize(sievo::GetHeaderField(lines, "Subject"));
}
BENCHMARK(BM_GetHeaderFieldSubject);

void BM_GetHeaderFieldFromAndSplitAddress(benchmark::State& state) {
    const auto lines = TypicalHeaderBlock();
    for (auto _ : state) {
        benchmark::DoNotOptimize(sievo::SplitAddress(sievo::GetHeaderField(lines, "From")));
    }
}
BENCHMARK(BM_GetHeaderFieldFromAndSplitAddress);

// About 1 MB: a text body, an HTML alternative, a binary file and a text file.
std::string LargeMultipartMessage() {
    sievo::TmsMessage message;
    message.Sender() = sievo::TmsMailAddress("sender@example.com", "Sender");
    message.Recipients().Add("user@example.org", "User");
    message.SetSubject("Large message");
    for (int i = 0; i < 2000; ++i)
        message.Body().push_back("Line " + std::to_string(i) + " of the text.");
    sievo::TmsAttItem html;
    html.SetFileName("_alt.0");
    html.SetContentType("text/html");
    html.SetEncoding(sievo::TAttEncoding::QuotedPrintable);
    for (int i = 0; i < 3000; ++i)
        html.Data() += "<p>Paragraph " + std::to_string(i) + " = caf\xC3\xA9</p>\r\n";
    message.Attachments().Add(html);
    sievo::TmsAttItem binary;
    binary.SetFileName("photo.jpg");
    for (int i = 0; i < 600 * 1024; ++i)
        binary.Data() += static_cast<char>((i * 131) & 0xFF);
    message.Attachments().Add(binary);
    std::ostringstream text;
    message.SaveToStream(text);
    return text.str();
}

void BM_DecodeMultipart1MB(benchmark::State& state) {
    const std::string text = LargeMultipartMessage();
    for (auto _ : state) {
        sievo::TmsMessage message;
        std::istringstream stream(text);
        message.LoadFromStream(stream);
        benchmark::DoNotOptimize(message.Attachments().Count());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.counters["message_bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_DecodeMultipart1MB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
