#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <initializer_list>
#include <string>
#include <utility>

namespace sievo::testing {

// A fresh, empty data folder for each test, named by SIEVOMATIC_HOME.
class TempHomeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The data folder with its trailing "/".
    std::string Home() const;
    std::string PathOf(const std::string& name) const { return Home() + name; }
    void WriteFile(const std::string& name, const std::string& bytes) const;
    // A script the owner may run, standing in for an outside program.
    void WriteProgram(const std::string& name, const std::string& script) const;
    std::string ReadFile(const std::string& name) const;
    // Writes these keys into the section of account `number` in accounts.ini.
    void WriteAccount(int number,
                      std::initializer_list<std::pair<const char*, std::string>> keys) const;

private:
    QTemporaryDir dir_;
};

}  // namespace sievo::testing
