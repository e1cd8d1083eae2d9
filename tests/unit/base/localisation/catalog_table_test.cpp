#include "base/localisation/catalog_table.h"

#include <gtest/gtest.h>

#include "base/localisation/catalog_pack.h"

namespace tarnwick {
namespace {

// A stand-in module: some image bytes around the anchor and its zero offset.
std::string moduleImage() {
    return std::string(100, 'x') + std::string(catalogAnchor()) + std::string(8, '\0') +
           std::string(50, 'y');
}

std::uint64_t offsetAt(const std::string& bytes, std::size_t at) {
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

void putOffset(std::string& bytes, std::size_t at, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xff);
}

const std::vector<CatalogFile> kFiles = {{"default.mo", "header"},
                                         {"locale\\de\\LC_MESSAGES\\default.mo", "german"},
                                         {"locale\\fr\\LC_MESSAGES\\default.mo", ""}};

TEST(CatalogTable, PackedFilesReadBackWithTheirLayout) {
    const std::string image = moduleImage();
    const PackResult packed = packCatalogs(image, kFiles);
    ASSERT_EQ(packed.error, "");
    const std::string& module = packed.module;
    // Image, the files in order, 256-byte records, and the eight zero bytes that end the table.
    const std::size_t first = image.size() + 12;
    EXPECT_EQ(module.size(), first + 3 * kCatalogRecordSize + 8);
    EXPECT_EQ(offsetAt(module, 100 + kCatalogAnchorLength), first);
    EXPECT_EQ(module.substr(first + 24, kCatalogNameField), "default.mo" + std::string(222, ' '));
    EXPECT_EQ(offsetAt(module, module.size() - 8), 0u);

    const auto table = readCatalogTable(module);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->anchorAt, 100u);
    ASSERT_EQ(table->files.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(table->files[i].name, kFiles[i].name);
        EXPECT_EQ(module.substr(table->files[i].offset, table->files[i].size), kFiles[i].bytes);
    }
}

TEST(CatalogTable, RepackingReplacesTheOldTable) {
    const std::string image = moduleImage();
    const std::string once = packCatalogs(image, kFiles).module;
    const std::string twice = packCatalogs(once, kFiles).module;
    EXPECT_EQ(twice, once);
    const std::string other = packCatalogs(once, {{"languages.mo", "names"}}).module;
    EXPECT_EQ(other.substr(0, image.size() - 8 - 50),
              image.substr(0, image.size() - 8 - 50));  // image before the offset unchanged
    const auto table = readCatalogTable(other);
    ASSERT_TRUE(table);
    ASSERT_EQ(table->files.size(), 1u);
    EXPECT_EQ(table->files[0].name, "languages.mo");
    EXPECT_EQ(other.size(), image.size() + 5 + kCatalogRecordSize + 8);
    // An empty list leaves an empty table, and packing that again still works.
    const std::string empty = packCatalogs(other, {}).module;
    EXPECT_EQ(empty.size(), image.size() + 8);
    EXPECT_TRUE(readCatalogTable(empty)->files.empty());
    EXPECT_EQ(packCatalogs(empty, kFiles).module, once);
}

TEST(CatalogTable, PackingRefusesModulesWithoutAnchorAndOverlongNames) {
    EXPECT_NE(packCatalogs(std::string(500, 'x'), kFiles).error, "");
    EXPECT_NE(packCatalogs(moduleImage(), {{std::string(kCatalogNameField + 1, 'n'), "x"}}).error,
              "");
    EXPECT_EQ(packCatalogs(moduleImage(), {{std::string(kCatalogNameField, 'n'), "x"}}).error, "");
    // An anchor at the very end, with no room for its offset.
    EXPECT_NE(packCatalogs("abc" + std::string(catalogAnchor()) + "1234", kFiles).error, "");
}

TEST(CatalogTable, NamesAreTrimmedAndComparedWithoutRegardToCase) {
    const std::string module =
        packCatalogs(moduleImage(), {{"  Locale\\DE\\LC_MESSAGES\\default.mo ", "x"}}).module;
    const auto table = readCatalogTable(module);
    ASSERT_EQ(table->files.size(), 1u);
    EXPECT_EQ(table->files[0].name, "Locale\\DE\\LC_MESSAGES\\default.mo");
    EXPECT_TRUE(sameName(table->files[0].name, "locale\\de\\lc_messages\\DEFAULT.MO"));
    EXPECT_FALSE(sameName(table->files[0].name, "locale\\de\\LC_MESSAGES\\default.m"));
}

TEST(CatalogTable, DamagedTablesKeepTheRecordsReadBeforeTheDamage) {
    const std::string image = moduleImage();
    const std::string good = packCatalogs(image, kFiles).module;
    const std::size_t anchorValue = 100 + kCatalogAnchorLength;
    const std::size_t first = offsetAt(good, anchorValue);
    const std::size_t second = first + kCatalogRecordSize;
    auto damaged = [&](std::size_t at, std::uint64_t value) {
        std::string bytes = good;
        putOffset(bytes, at, value);
        return readCatalogTable(bytes)->files.size();
    };
    EXPECT_EQ(damaged(anchorValue, good.size() + 1), 0u);  // first record beyond the end
    EXPECT_EQ(damaged(anchorValue, good.size() - 4), 0u);  // no room for a record
    EXPECT_EQ(damaged(anchorValue, UINT64_MAX), 0u);
    EXPECT_EQ(damaged(second, first), 1u);              // loop back to the first record
    EXPECT_EQ(damaged(second, second), 1u);             // loop onto itself
    EXPECT_EQ(damaged(second, good.size() + 256), 1u);  // next beyond the end
    // A record whose file lies outside is skipped; the records after it are kept.
    for (std::uint64_t badOffset : {std::uint64_t{good.size()} + 1, std::uint64_t{UINT64_MAX}})
        EXPECT_EQ(damaged(second + 8, badOffset), 2u);  // file beyond the end
    EXPECT_EQ(damaged(second + 16, UINT64_MAX), 2u);    // size wrapping around
    EXPECT_EQ(damaged(second + 16, good.size()), 2u);   // file running past the end
    std::string skipped = good;
    putOffset(skipped, second + 16, UINT64_MAX);
    EXPECT_EQ(readCatalogTable(skipped)->files.back().name, "locale\\fr\\LC_MESSAGES\\default.mo");
    // A module cut inside its table keeps the records that are whole.
    EXPECT_EQ(readCatalogTable(good.substr(0, second + 100))->files.size(), 1u);
    EXPECT_FALSE(readCatalogTable(std::string(1000, '\0')));
}

}  // namespace
}  // namespace tarnwick
