#include "temp_home.h"

#include <QFile>
#include <cstdlib>

#include "config/account.h"
#include "config/file_io.h"
#include "config/ini_file.h"

namespace sievo::testing {

void TempHomeTest::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    setenv("SIEVOMATIC_HOME", dir_.path().toStdString().c_str(), 1);
}

void TempHomeTest::TearDown() {
    unsetenv("SIEVOMATIC_HOME");
}

std::string TempHomeTest::Home() const {
    return dir_.path().toStdString() + "/";
}

void TempHomeTest::WriteFile(const std::string& name, const std::string& bytes) const {
    ASSERT_TRUE(WriteFileAtomically(PathOf(name), bytes)) << name;
}

void TempHomeTest::WriteProgram(const std::string& name, const std::string& script) const {
    WriteFile(name, script);
    ASSERT_TRUE(QFile::setPermissions(QString::fromStdString(PathOf(name)),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        << name;
}

std::string TempHomeTest::ReadFile(const std::string& name) const {
    return ReadWholeFile(PathOf(name)).value_or("<missing>");
}

void TempHomeTest::WriteAccount(
    int number, std::initializer_list<std::pair<const char*, std::string>> keys) const {
    const TIniFile ini(AccountsPath());
    const std::string section = "USER" + std::to_string(number);
    for (const auto& [key, value] : keys)
        ini.WriteString(section, key, value);
}

}  // namespace sievo::testing
