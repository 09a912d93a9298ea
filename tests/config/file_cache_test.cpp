#include "config/file_cache.h"

#include <fstream>
#include <thread>

#include "temp_home.h"

namespace sievo {
namespace {

class FileCacheTest : public testing::TempHomeTest {
protected:
    // Counts how often the file was really read.
    std::shared_ptr<const std::string> Read(const std::string& name) {
        return cache.Get(PathOf(name), [this](const std::string& bytes) {
            ++reads;
            return std::make_shared<const std::string>(bytes);
        });
    }
    // Rewrites the file in place, keeping its size and inode, as an editor may.
    void RewriteInPlace(const std::string& name, const std::string& bytes) {
        std::fstream(PathOf(name), std::ios::in | std::ios::out | std::ios::binary) << bytes;
    }

    FileCache<std::string> cache;
    int reads = 0;
};

TEST_F(FileCacheTest, EveryChangeOnDiskIsSeenAtTheNextRead) {
    WriteFile("list.lst", "one\n");
    EXPECT_EQ(*Read("list.lst"), "one\n");
    EXPECT_EQ(*Read("list.lst"), "one\n");
    EXPECT_EQ(reads, 1);             // read again, being new, but the same bytes are not made again
    WriteFile("list.lst", "two\n");  // replaced: a new file
    EXPECT_EQ(*Read("list.lst"), "two\n");
    // Same size, same inode and, where file times are coarse, the same times: only the
    // file's being new tells that it must be read again.
    RewriteInPlace("list.lst", "TWO\n");
    EXPECT_EQ(*Read("list.lst"), "TWO\n");
    std::remove(PathOf("list.lst").c_str());
    EXPECT_EQ(Read("list.lst"), nullptr);
    EXPECT_EQ(reads, 3);
}

// Coarse file times (whole seconds) settle after two seconds, fine ones after a tenth.
TEST_F(FileCacheTest, AReadingIsTrustedOnceTheFileTimeCannotRepeat) {
    const struct {
        timespec modified;
        timespec readStart;
        bool settled;
    } cases[] = {
        {{1000, 0}, {1000, 0}, false},
        {{1000, 0}, {1001, 999'999'999}, false},
        {{1000, 0}, {1002, 0}, true},
        {{1000, 0}, {999, 900'000'000}, false},
        {{1000, 500'000'000}, {1000, 599'999'999}, false},
        {{1000, 500'000'000}, {1000, 600'000'000}, true},
        {{1000, 500'000'000}, {1000, 400'000'000}, false},
        {{1000, 500'000'000}, {5000, 0}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SettledAt({true, 0, 0, 0, c.modified, {}}, c.readStart), c.settled)
            << c.modified.tv_nsec << " read at " << c.readStart.tv_sec << "."
            << c.readStart.tv_nsec;
}

TEST_F(FileCacheTest, InsideAScopeAFileIsLookedAtOncePerStep) {
    WriteFile("list.lst", "one\n");
    FileCheckScope scope;
    EXPECT_EQ(*Read("list.lst"), "one\n");
    RewriteInPlace("list.lst", "two\n");    // another program
    EXPECT_EQ(*Read("list.lst"), "one\n");  // the same step
    scope.NextStep();                       // too soon for another look
    EXPECT_EQ(*Read("list.lst"), "one\n");
    std::this_thread::sleep_for(kFileLookInterval);
    scope.NextStep();
    EXPECT_EQ(*Read("list.lst"), "two\n");
    WriteFile("list.lst", "six\n");  // this program: seen at the next step however soon
    scope.NextStep();
    EXPECT_EQ(*Read("list.lst"), "six\n");
}

}  // namespace
}  // namespace sievo
