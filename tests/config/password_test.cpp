#include "config/password.h"

#include "config/account.h"
#include "temp_home.h"

namespace sievo {
namespace {

class StoredPasswordTest : public testing::TempHomeTest {
protected:
    // Stores the password as the account dialogs do and reads it back as a check does.
    std::string RoundTripThroughAccountsIni(const std::string& plain) {
        WriteAccount(1, {{"Password", PasswordToIni(plain)}});
        return TSievoUser(1).Password;
    }
};

// Whatever byte the password or its scrambled form holds, at the start, in the middle or at
// the end, it must read back intact: the file drops line breaks, NUL, outer blanks and quotes.
TEST_F(StoredPasswordTest, EveryByteValueSurvivesTheFile) {
    for (int b = 1; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        for (const std::string& scrambled :
             {std::string(1, byte), std::string(1, byte) + "mid" + byte,
              "ab" + std::string(1, byte) + "cd"}) {
            const std::string plain = DecodePassword(scrambled);
            EXPECT_EQ(RoundTripThroughAccountsIni(plain), plain) << "scrambled byte " << b;
        }
        const std::string plain = "pw" + std::string(1, byte);
        EXPECT_EQ(RoundTripThroughAccountsIni(plain), plain) << "plain byte " << b;
    }
}

TEST_F(StoredPasswordTest, OrdinaryPasswordsAreStoredAsBefore) {
    const std::string scrambled = EncodePassword("hunter2");
    ASSERT_EQ(scrambled.find_first_of("\r\n\"' "), std::string::npos);
    EXPECT_EQ(PasswordToIni("hunter2"), scrambled);
    // A file written by an older version holds the plain scrambled form.
    EXPECT_EQ(PasswordFromIni(scrambled), "hunter2");
    EXPECT_EQ(RoundTripThroughAccountsIni(""), "");
}

}  // namespace
}  // namespace sievo
