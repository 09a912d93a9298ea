#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "config/errors.h"
#include "mail/mail_address.h"

namespace sievo {
namespace {

TEST(SplitAddress, NameAndAddressOfEveryForm) {
    const struct {
        std::string text;
        std::string address;
        std::string name;
    } cases[] = {
        {"\"John Doe\" <john@doe.com>", "john@doe.com", "John Doe"},
        {"<john@doe.com> John", "john@doe.com", "John"},
        {"<>", "", ""},
        {"john@doe.com (John Doe)", "john@doe.com", "John Doe"},
        {"john@doe.com (John", "john@doe.com", "John"},
        {"john@doe.com (", "john@doe.com", ""},
        {"  john@doe.com ", "  john@doe.com ", ""},
        {"a@b, c@d", "a@b, c@d", ""},  // commas are not interpreted
        {"<\"john@doe.com\">", "john@doe.com", ""},
        {std::string(300, 'a'), std::string(255, 'a'), ""},
        {"<x> " + std::string(254, 'n') + "\xC3\xA9", "x",
         std::string(254, 'n')},  // UTF-8 kept whole
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitAddress(c.text), std::make_pair(c.address, c.name)) << c.text;
}

TEST(ParseAddress, MalformedAngleRaisesAndKeepsTarget) {
    for (const char* text : {"John <john@doe.com", "a > b <c"}) {
        TmsMailAddress target("kept@x", "Kept");
        EXPECT_THAT(
            [&] { ParseAddress(text, target); },
            ::testing::ThrowsMessage<Exception>(::testing::StrEq("Unable to parse email address")))
            << text;
        EXPECT_EQ(target, TmsMailAddress("kept@x", "Kept"));
    }
}

}  // namespace
}  // namespace sievo
