#include "test_certificates.h"

#include <gtest/gtest.h>
#include <QProcess>
#include <cstdlib>

#include "config/file_io.h"
#include "net/tls_settings.h"

namespace sievo::testing {

namespace {
constexpr int kOpenSslLimitMs = 60000;
const QStringList kKeyOptions = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                 "-nodes"};
}  // namespace

TestCertificates::TestCertificates() {
    ok_ =
        WriteFileAtomically(Path("server.ext"),
                            "subjectAltName=DNS:localhost,IP:127.0.0.1\n"
                            "basicConstraints=CA:FALSE\n"
                            "extendedKeyUsage=serverAuth\n") &&
        MakeCa("ca") && MakeCa("other-ca") &&
        OpenSsl(
            QStringList{"req"} + kKeyOptions +
            QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj", "/CN=localhost"}) &&
        OpenSsl({"x509", "-req", "-in", "server.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                 "-CAcreateserial", "-days", "2", "-extfile", "server.ext", "-out", "server.pem"});
}

bool TestCertificates::MakeCa(const std::string& name) {
    const QString base = QString::fromStdString(name);
    return OpenSsl(QStringList{"req", "-x509"} + kKeyOptions +
                   QStringList{"-keyout", base + ".key", "-out", base + ".pem", "-days", "2",
                               "-subj", "/CN=Sievomatic test " + base, "-addext",
                               "basicConstraints=critical,CA:TRUE", "-addext",
                               "keyUsage=critical,keyCertSign,cRLSign"});
}

bool TestCertificates::OpenSsl(const QStringList& arguments) {
    QProcess openssl;
    openssl.setWorkingDirectory(dir_.path());
    openssl.start("openssl", arguments);
    const bool done = openssl.waitForFinished(kOpenSslLimitMs) &&
                      openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
    EXPECT_TRUE(done) << "openssl " << arguments.join(' ').toStdString() << ": "
                      << openssl.readAllStandardError().toStdString();
    return done;
}

const TestCertificates& SharedTestCertificates() {
    static const TestCertificates certificates;
    return certificates;
}

TrustedTestCa::TrustedTestCa() {
    setenv(kCaFileVariable, SharedTestCertificates().CaFile().c_str(), 1);
}

TrustedTestCa::~TrustedTestCa() {
    unsetenv(kCaFileVariable);
}

void TlsServerTest::SetUp() {
    TempHomeTest::SetUp();
    ASSERT_TRUE(certificates().Ok());
}

std::string TestCertificates::Path(const std::string& name) const {
    return dir_.path().toStdString() + "/" + name;
}

QSslCertificate TestCertificates::ServerCertificate() const {
    return QSslCertificate::fromPath(QString::fromStdString(Path("server.pem"))).value(0);
}

QSslKey TestCertificates::ServerKey() const {
    return QSslKey(QByteArray::fromStdString(ReadWholeFile(Path("server.key")).value_or("")),
                   QSsl::Ec);
}

}  // namespace sievo::testing
