#pragma once

#include <QSslCertificate>
#include <QSslKey>
#include <QTemporaryDir>
#include <string>

#include "temp_home.h"

namespace sievo::testing {

// A test CA with a server certificate for localhost and 127.0.0.1, and a second CA that
// signed nothing, made with the openssl command in a temporary folder.
class TestCertificates {
public:
    TestCertificates();

    bool Ok() const { return ok_; }
    std::string CaFile() const { return Path("ca.pem"); }
    std::string OtherCaFile() const { return Path("other-ca.pem"); }
    QSslCertificate ServerCertificate() const;
    QSslKey ServerKey() const;
    std::string Path(const std::string& name) const;

private:
    bool OpenSsl(const QStringList& arguments);
    bool MakeCa(const std::string& name);

    QTemporaryDir dir_;
    bool ok_ = false;
};

// One set for the whole test program: making keys is slow.
const TestCertificates& SharedTestCertificates();

// Trusts the test CA for as long as it lives.
class TrustedTestCa {
public:
    TrustedTestCa();
    ~TrustedTestCa();
    TrustedTestCa(const TrustedTestCa&) = delete;
    TrustedTestCa& operator=(const TrustedTestCa&) = delete;
};

// Trusts the test CA, for servers started by one test on 127.0.0.1.
class TlsServerTest : public TempHomeTest {
protected:
    void SetUp() override;

    static const TestCertificates& certificates() { return SharedTestCertificates(); }

private:
    TrustedTestCa trust_;
};

}  // namespace sievo::testing
