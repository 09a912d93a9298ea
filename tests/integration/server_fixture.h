#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dovecot_server.h"
#include "mail/ms_remote_pop.h"
#include "socket_recording.h"
#include "test_certificates.h"

namespace sievo::testing {

// A Dovecot server started for one test, and POP3 clients set up for its user.
class DovecotTest : public TlsServerTest {
protected:
    // Starts the server with these messages; with `tls`, POP3S and STLS as well.
    void StartDovecot(const std::vector<std::string>& messages, bool tls = false) {
        DovecotServer::Options options{messages, "", ""};
        if (tls) {
            options.certificateFile = certificates().Path("server.pem");
            options.keyFile = certificates().Path("server.key");
        }
        dovecot = std::make_unique<DovecotServer>(options);
        ASSERT_TRUE(dovecot->Started()) << dovecot->Error();
    }

    // A client for the server's user on plain POP3 that records what it reports.
    std::unique_ptr<TmsRemotePOP> NewClient() {
        auto pop = std::make_unique<TmsRemotePOP>();
        RecordErrors(*pop, errors);
        pop->Server = dovecot->PlainAddress();
        pop->UserName = DovecotServer::kUserName;
        pop->Password = DovecotServer::kPassword;
        return pop;
    }

    std::unique_ptr<DovecotServer> dovecot;
    std::vector<std::string> errors;
};

}  // namespace sievo::testing
