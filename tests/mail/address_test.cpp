#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "config/errors.h"
#include "mail/mail_address.h"

namespace sievo {
namespace {

struct AddressCase {
    const char* label;
    std::string text;
    std::string address;
    std::string name;
};

class SplitAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(SplitAddressTest, Splits) {
    const auto [address, name] = SplitAddress(GetParam().text);
    EXPECT_EQ(address, GetParam().address);
    EXPECT_EQ(name, GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitAddressTest,
    ::testing::Values(
        AddressCase{"QuotedNameAngle", "\"John Doe\" <john@doe.com>", "john@doe.com", "John Doe"},
        AddressCase{"NameAfterAngle", "<john@doe.com> John", "john@doe.com", "John"},
        AddressCase{"EmptyAngles", "<>", "", ""},
        AddressCase{"CommentName", "john@doe.com (John Doe)", "john@doe.com", "John Doe"},
        AddressCase{"CommentWithoutClose", "john@doe.com (John", "john@doe.com", "John"},
        AddressCase{"OpenParenAtEnd", "john@doe.com (", "john@doe.com", ""},
        AddressCase{"Bare", "  john@doe.com ", "  john@doe.com ", ""},
        AddressCase{"CommasNotInterpreted", "a@b, c@d", "a@b, c@d", ""},
        AddressCase{"QuotesInsideAngles", "<\"john@doe.com\">", "john@doe.com", ""},
        AddressCase{"LongCutTo255", std::string(300, 'a'), std::string(255, 'a'), ""},
        AddressCase{"CutKeepsUtf8Whole", "<x> " + std::string(254, 'n') + "\xC3\xA9", "x",
                    std::string(254, 'n')}),
    [](const auto& info) { return info.param.label; });

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
