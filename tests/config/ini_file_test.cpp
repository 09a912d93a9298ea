#include "config/ini_file.h"

#include <gmock/gmock.h>

#include <functional>

#include "config/errors.h"
#include "file_size_limit.h"
#include "temp_home.h"

namespace sievo {
namespace {

using ::testing::StartsWith;
using ::testing::StrEq;
using ::testing::ThrowsMessage;

class IniFileTest : public testing::TempHomeTest {
protected:
    TIniFile Ini() const { return TIniFile(PathOf("test.ini")); }
    std::string Read(const char* section, const char* key) const {
        return Ini().ReadString(section, key, "<default>");
    }
};

TEST_F(IniFileTest, IntegersAndBooleansReadAsTheProfileFunctionsDid) {
    constexpr int kDefault = 999;
    std::vector<std::pair<const char*, int>> cases = {
        {"+3", 3},
        {"0x0", 0},
        {"0x10", 16},
        {"0X1f", 31},
        {"$1F", 31},
        {"-$10", -16},
        {"0xFFFFFFFF", -1},  // hexadecimal wraps into 32 bits
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"  8  ", 8},
    };
    for (const char* noNumber : {"0x", "$", "yes", "12abc", "2147483648", "0x1FFFFFFFF"})
        cases.emplace_back(noNumber, kDefault);
    for (const auto& [stored, expected] : cases) {
        SCOPED_TRACE('"' + std::string(stored) + '"');
        Ini().WriteString("Numbers", "Value", stored);
        EXPECT_EQ(Ini().ReadInteger("Numbers", "Value", kDefault), expected);
        // A flag is any number but 0; what is no number leaves the default.
        for (const bool fallback : {false, true})
            EXPECT_EQ(Ini().ReadBool("Numbers", "Value", fallback),
                      expected == kDefault ? fallback : expected != 0);
    }
    Ini().WriteBool("Flags", "Off", false);
    EXPECT_EQ(Read("Flags", "Off"), "0");
}

TEST_F(IniFileTest, LongValuesAreCutAt1023BytesWithoutSplittingACharacter) {
    Ini().WriteString("S", "Long", std::string(2000, 'x'));
    EXPECT_EQ(Read("S", "Long"), std::string(1023, 'x'));

    // 1022 ASCII bytes and then a two-byte "é": the cut falls inside it, so it is dropped.
    Ini().WriteString("S", "Accent", std::string(1022, 'x') + "\xC3\xA9" + "tail");
    EXPECT_EQ(Read("S", "Accent"), std::string(1022, 'x'));
}

TEST_F(IniFileTest, HandWrittenFilesReadLikeWindowsProfiles) {
    WriteFile("test.ini",
              "; a comment\r\n"
              "  [ Main ]  \n"
              "  Spaced  =  value with blanks  \r"
              "Quoted=\"  kept blanks  \"\r\n"
              "Single='x'\r\n"
              "HalfQuoted=\"x\r\n"
              "NoEquals\r\n"
              "Empty=\r\n"
              "Dup=first\r\n"
              "Dup=second\r\n"
              ";Commented=1\r\n"
              "[Other]\r\n"
              "Spaced=other\r\n");
    EXPECT_EQ(Read("main", "spaced"), "value with blanks");
    EXPECT_EQ(Read("Main", "Quoted"), "  kept blanks  ");
    EXPECT_EQ(Read("Main", "Single"), "x");
    EXPECT_EQ(Read("Main", "HalfQuoted"), "\"x");
    EXPECT_EQ(Read("Main", "NoEquals"), "<default>");
    EXPECT_EQ(Read("Main", "Empty"), "");
    EXPECT_EQ(Read("Main", "Dup"), "first");
    EXPECT_EQ(Read("Main", ";Commented"), "<default>");
    EXPECT_EQ(Read("Other", "Spaced"), "other");
    EXPECT_EQ(Read("Missing", "Spaced"), "<default>");
}

// Names match across letter case and keep their stored spelling.
TEST_F(IniFileTest, WritesKeepEverythingElseInItsOrder) {
    WriteFile("test.ini",
              "; kept comment\n"
              "[A]\n"
              "One=1\n"
              "Loose line\n"
              "Two=2\n"
              "\n"
              "[B]\n"
              "Three=3\n");
    Ini().WriteString("a", "TWO", "22");
    Ini().WriteString("A", "Four", "4");
    Ini().WriteString("C", "Five", "5");
    EXPECT_EQ(ReadFile("test.ini"),
              "; kept comment\r\n[A]\r\nOne=1\r\nLoose line\r\nTwo=22\r\nFour=4\r\n\r\n"
              "[B]\r\nThree=3\r\n\r\n[C]\r\nFive=5\r\n");
}

TEST_F(IniFileTest, TheFirstWriteCreatesTheFileAndARefusedOneLeavesItIntact) {
    EXPECT_EQ(Read("Main", "Key"), "<default>");
    EXPECT_EQ(ReadFile("test.ini"), "<missing>");
    Ini().WriteString("Main", "Key", "old");
    const std::string before = ReadFile("test.ini");
    EXPECT_EQ(before, "[Main]\r\nKey=old\r\n");
    {
        const testing::FileSizeLimit limit(8);
        EXPECT_THAT([this] { Ini().WriteString("Main", "Key", std::string(100, 'n')); },
                    ThrowsMessage<Exception>(StrEq("Unable to write to " + PathOf("test.ini"))));
    }
    EXPECT_EQ(ReadFile("test.ini"), before);
    EXPECT_THROW(Ini().WriteString("Main", "Key", "two\r\nlines"), Exception);
    EXPECT_THROW(Ini().WriteString("Main", "Key", std::string("nul\0byte", 8)), Exception);
    EXPECT_EQ(ReadFile("test.ini"), before);
}

TEST_F(IniFileTest, AFileThatIsNoSettingsFileIsNeitherReadNorWritten) {
    const struct {
        std::string bytes;
        bool damaged;
    } cases[] = {
        {"[Main]\r\nKey=1\r\n", false},
        {"", false},
        {" \r\n\t\r\n", false},
        {"; nothing set yet\r\n", false},
        {"Key=1\r\n[Main]\r\n", false},
        {"Key=1\r\nOther=2\r\n", true},
        {std::string("[Main]\r\nKey=1\0\r\n", 15), true},
        {std::string("\x7f"
                     "ELF\2\1\1\0\0\0[x]",
                     14),
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        WriteFile("test.ini", c.bytes);
        if (!c.damaged) {
            EXPECT_NO_THROW(Ini().WriteString("Main", "Added", "2"));
            EXPECT_EQ(Read("Main", "Added"), "2");
            continue;
        }
        for (const auto& use : std::vector<std::function<void()>>{
                 [this] { Read("Main", "Key"); },
                 [this] { Ini().WriteString("Main", "Key", "2"); },
                 [this] { Ini().EraseSection("Main"); },
             })
            EXPECT_THAT(use,
                        ThrowsMessage<Exception>(StartsWith(PathOf("test.ini") + " is damaged")));
        EXPECT_EQ(ReadFile("test.ini"), c.bytes);
    }
}

}  // namespace
}  // namespace sievo
