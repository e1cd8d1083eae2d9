#include "base/localisation/mo_catalog.h"

#include <gtest/gtest.h>

#include "unit/base/localisation/catalog_fixtures.h"

namespace tarnwick {
namespace {

using testing::moBytes;

TEST(MoCatalog, ReadsBothByteOrdersAndEntriesOutOfOrder) {
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"zebra", "Zebra"}, {"apple", "Apfel"}, {"mango", "Mango!"}};
    for (bool bigEndian : {false, true}) {
        for (std::uint32_t revision : {0u, 1u << 16 | 1}) {
            const auto catalog = MoCatalog::parse(moBytes(entries, bigEndian, revision));
            ASSERT_TRUE(catalog) << bigEndian << " " << revision;
            EXPECT_EQ(catalog->find("apple").value_or("-"), "Apfel");
            EXPECT_EQ(catalog->find("mango").value_or("-"), "Mango!");
            EXPECT_EQ(catalog->find("zebra").value_or("-"), "Zebra");
            EXPECT_FALSE(catalog->find("kiwi"));
        }
    }
}

TEST(MoCatalog, RefusesWrongMagicAndUnknownRevision) {
    std::string bytes = moBytes({{"a", "b"}});
    bytes[0] ^= 1;
    EXPECT_FALSE(MoCatalog::parse(bytes));
    EXPECT_FALSE(MoCatalog::parse(moBytes({{"a", "b"}}, false, 2u << 16)));
    EXPECT_FALSE(MoCatalog::parse(""));
}

TEST(MoCatalog, RefusesTablesAndStringsOutsideTheFile) {
    const std::string good = moBytes({{"apple", "Apfel"}});
    auto patched = [&](std::size_t at, std::uint32_t value) {
        std::string bytes = good;
        for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xff);
        return bytes;
    };
    EXPECT_FALSE(MoCatalog::parse(patched(8, 0xffffffff)));   // count
    EXPECT_FALSE(MoCatalog::parse(patched(12, 0xfffffff0)));  // originals table
    EXPECT_FALSE(MoCatalog::parse(patched(16, static_cast<std::uint32_t>(good.size()))));
    EXPECT_FALSE(MoCatalog::parse(patched(28, 0xffffffff)));  // length of the original
    EXPECT_FALSE(MoCatalog::parse(patched(32, 0xfffffffe)));  // offset of the original
    EXPECT_FALSE(MoCatalog::parse(patched(40, static_cast<std::uint32_t>(good.size()))));
}

}  // namespace
}  // namespace tarnwick
