#include "config/password.h"

#include <gtest/gtest.h>

namespace sievo {
namespace {

TEST(StoredPasswordTest, OrdinaryPasswordsAreStoredAsBefore) {
    const std::string scrambled = EncodePassword("hunter2");
    ASSERT_EQ(scrambled.find_first_of("\r\n\"' "), std::string::npos);
    EXPECT_EQ(PasswordToIni("hunter2"), scrambled);
    // A file written by an older version holds the plain scrambled form.
    EXPECT_EQ(PasswordFromIni(scrambled), "hunter2");
    EXPECT_EQ(PasswordToIni(""), "");
}

}  // namespace
}  // namespace sievo
