#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "dovecot_server.h"
#include "mail/ms_remote_pop.h"
#include "net/tls_settings.h"
#include "socket_recording.h"
#include "temp_home.h"
#include "test_certificates.h"

namespace sievo::testing {

// Trusts the test CA, for servers started by one test on 127.0.0.1.
class TlsServerTest : public TempHomeTest {
protected:
    void SetUp() override {
        TempHomeTest::SetUp();
        ASSERT_TRUE(certificates().Ok());
        setenv(kCaFileVariable, certificates().CaFile().c_str(), 1);
    }

    void TearDown() override {
        unsetenv(kCaFileVariable);
        TempHomeTest::TearDown();
    }

    static const TestCertificates& certificates() { return SharedTestCertificates(); }
};

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
