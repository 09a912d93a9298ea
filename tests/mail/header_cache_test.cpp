#include <gtest/gtest.h>

#include <QCryptographicHash>

#include "mail/header_cache.h"
#include "temp_home.h"

namespace sievo {
namespace {

using HeaderCacheTest = testing::TempHomeTest;

TmsRemoteInfoItem Item(const std::string& id, qint64 size, TmsHeaders headers) {
    TmsRemoteInfoItem item;
    item.UniqueId = id;
    item.Size = size;
    item.Headers = std::move(headers);
    return item;
}

TEST(HeaderBlock, OnlyFieldsAndTheirFoldedLinesPassForAHeaderBlock) {
    EXPECT_TRUE(LooksLikeHeaderBlock({"Subject: a", "\tfolded", "X-Empty:"}));
    EXPECT_FALSE(LooksLikeHeaderBlock({}));
    EXPECT_FALSE(LooksLikeHeaderBlock({" folded first", "Subject: a"}));
    EXPECT_FALSE(LooksLikeHeaderBlock({"Subject: a", "no colon here"}));
    EXPECT_FALSE(LooksLikeHeaderBlock({"Subject: a", ""}));
    EXPECT_FALSE(LooksLikeHeaderBlock({"Bad name: a"}));
}

TEST_F(HeaderCacheTest, KeepsSoundEntriesOfTheListingForItsOwnMailboxOnly) {
    TmsRemoteInfo items;
    items.Add(Item("id-1", 120, {"Subject: one", " folded", "From: a@b"}));
    items.Add(Item("", 130, {"Subject: no id"}));
    items.Add(Item("id-3", 140, {"not a header"}));
    items.Add(Item("id-4", 150, {"Subject: end 0123\r"}));  // a CR would end the line early
    const std::string file = PathOf("h.cache");
    ASSERT_TRUE(THeaderCache::Save(file, "sam@host:110", items));

    const THeaderCache cache = THeaderCache::Load(file, "sam@host:110");
    EXPECT_EQ(cache.Count(), 1u);
    const THeaderCache::Entry* entry = cache.Find("id-1");
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->Size, 120);
    EXPECT_EQ(entry->Headers, items[0].Headers);

    EXPECT_EQ(THeaderCache::Load(file, "sam@host:111").Count(), 0u);
    EXPECT_EQ(THeaderCache::Load(PathOf("missing.cache"), "sam@host:110").Count(), 0u);
    // The last byte lost, or a header changed in place, which only the digest tells.
    const std::string text = ReadFile("h.cache");
    std::string changed = text;
    changed[changed.find("one")] = 'x';
    for (const std::string& damaged : {text.substr(0, text.size() - 1), changed}) {
        WriteFile("h.cache", damaged);
        EXPECT_EQ(THeaderCache::Load(file, "sam@host:110").Count(), 0u);
    }
    // A sound digest over an entry that promises more lines than the file holds.
    const std::string body = "Sievomatic header cache 2\nmailbox sam@host:110\nid-1 120 99\n";
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromStdString(body), QCryptographicHash::Blake2b_256);
    WriteFile("h.cache", body + "end " + digest.toHex().toStdString() + "\n");
    EXPECT_EQ(THeaderCache::Load(file, "sam@host:110").Count(), 0u);
}

TEST(HeaderCacheName, EveryAccountHasAFileOfItsOwnWithASafeName) {
    const std::string name = HeaderCacheName("sam/../x", "pop.example.org:995");
    EXPECT_EQ(name.find('/'), std::string::npos) << name;
    EXPECT_TRUE(name.ends_with(".cache")) << name;
    EXPECT_NE(HeaderCacheName("a_b", "h"), HeaderCacheName("a.b", "h"));
    EXPECT_NE(HeaderCacheName("a", "h:110"), HeaderCacheName("a", "h:995"));
}

}  // namespace
}  // namespace sievo
