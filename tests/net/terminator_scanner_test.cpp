#include "net/terminator_scanner.h"

#include <gtest/gtest.h>

namespace sievo {
namespace {

// Feeds the text in two pieces cut at `cut`; returns the offset just past the terminator
// in the whole text, or npos.
std::size_t EndWhenCutAt(const std::string& text, std::size_t cut) {
    TerminatorScanner scanner;
    if (const auto end = scanner.Feed(std::string_view(text).substr(0, cut)))
        return *end;
    if (const auto end = scanner.Feed(std::string_view(text).substr(cut)))
        return cut + *end;
    return std::string::npos;
}

TEST(TerminatorScannerTest, FindsTheEndWhereverTheDataIsCut) {
    const std::string block = "line\r\n..dot\r\n.\r\n+OK next\r\n";
    const std::size_t end = block.find("+OK");
    for (std::size_t cut = 0; cut <= block.size(); ++cut) {
        EXPECT_EQ(EndWhenCutAt(block, cut), end) << "cut at " << cut;
    }
}

TEST(TerminatorScannerTest, FindsTheEndFedOneByteAtATime) {
    const std::string block = "a\r\n.\r\r\n.x\r\n\r\n.\r\nrest";
    TerminatorScanner scanner;
    std::size_t fed = 0;
    for (; fed < block.size(); ++fed) {
        if (scanner.Feed(std::string_view(block).substr(fed, 1)))
            break;
    }
    EXPECT_EQ(fed + 1, block.find("rest"));
}

TEST(TerminatorScannerTest, EmptyBlockEndsAtOnceAndDotsInsideLinesDoNot) {
    EXPECT_EQ(TerminatorScanner().Feed(".\r\nnext"), std::optional<std::size_t>(3));
    EXPECT_EQ(TerminatorScanner().Feed("a.\r\nb\r\n.x\r\n..\r\n"), std::nullopt);
}

}  // namespace
}  // namespace sievo
