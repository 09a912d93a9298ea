// Starts a private Dovecot with a mailbox of generated messages, some of them spam, prints
// "POP3 <address>", "IMAP <address>" and "SIEVE <address>" (ManageSieve) and runs until its
// standard input ends; then stops the server. Scripts use it to show the program against a real
// mailbox.
#include <QCoreApplication>
#include <iostream>
#include <string>

#include "dovecot_server.h"

namespace {

std::string Message(int n) {
    const bool spam = n % 3 == 0;
    const std::string number = std::to_string(n);
    const std::string from =
        spam ? "Deals <deals" + number + "@offers.test>" : "Colleague <colleague@work.test>";
    const std::string subject = spam ? "Free money for you " + number : "Meeting notes " + number;
    return "From: " + from + "\r\nTo: sam@localhost\r\nSubject: " + subject + "\r\nMessage-ID: <" +
           number +
           "@screens.test>\r\nDate: Mon, 7 Dec 2026 09:00:00 "
           "+0000\r\n\r\nBody " +
           number + "\r\n";
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::stoi(argv[1]) : 36;
    std::vector<std::string> messages;
    for (int n = 1; n <= count; ++n)
        messages.push_back(Message(n));
    sievo::testing::DovecotServer::Options options{messages, "", ""};
    options.imap = true;
    options.sieve = true;
    options.userScript = "my-filters";
    sievo::testing::DovecotServer server(options);
    if (!server.Started()) {
        std::cerr << server.Error() << '\n';
        return 1;
    }
    std::cout << "POP3 " << server.PlainAddress() << '\n'
              << "IMAP " << server.ImapAddress() << '\n'
              << "SIEVE " << server.SieveAddress() << std::endl;
    for (std::string line; std::getline(std::cin, line);) {
    }
    return 0;
}
