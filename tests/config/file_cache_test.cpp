#include "config/file_cache.h"

#include <fstream>

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

TEST_F(FileCacheTest, AReadingIsTrustedOnlyTwoSecondsAfterTheModification) {
    const FileIdentity identity{true, 0, 0, 0, {1000, 500'000'000}, {}};
    const struct {
        timespec readStart;
        bool settled;
    } cases[] = {
        {{1000, 500'000'000}, false}, {{1002, 499'999'999}, false},
        {{1002, 500'000'000}, true},  {{1003, 0}, true},
        {{999, 900'000'000}, false},  {{5000, 0}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SettledAt(identity, c.readStart), c.settled)
            << c.readStart.tv_sec << "." << c.readStart.tv_nsec;
}

TEST_F(FileCacheTest, InsideAScopeAFileIsLookedAtOncePerStep) {
    WriteFile("list.lst", "one\n");
    FileCheckScope scope;
    EXPECT_EQ(*Read("list.lst"), "one\n");
    WriteFile("list.lst", "two\n");
    EXPECT_EQ(*Read("list.lst"), "one\n");  // the same step
    scope.NextStep();
    EXPECT_EQ(*Read("list.lst"), "two\n");
}

}  // namespace
}  // namespace sievo
