// Catalogs made by GNU gettext's msgfmt, which runs on the build machine only.
#include <gtest/gtest.h>

#include "base/localisation/mo_catalog.h"
#include "unit/base/localisation/catalog_fixtures.h"

namespace tarnwick {
namespace {

using testing::msgfmt;

TEST(MoCatalog, ReadsWhatMsgfmtMakesAndSkipsHeaderContextsAndPlurals) {
    const auto catalog = MoCatalog::parse(
        msgfmt("msgid \"Scan\"\nmsgstr \"Scannen\"\n\n"
               "msgid \"Preview\"\nmsgstr \"Vorschau\"\n\n"
               "msgctxt \"menu\"\nmsgid \"Open\"\nmsgstr \"Öffnen (Menü)\"\n\n"
               "msgid \"%d page\"\nmsgid_plural \"%d pages\"\nmsgstr[0] \"%d Seite\"\n"
               "msgstr[1] \"%d Seiten\"\n\n"
               "msgid \"Untranslated\"\nmsgstr \"\"\n"));
    ASSERT_TRUE(catalog);
    EXPECT_EQ(catalog->find("Scan").value_or("-"), "Scannen");
    EXPECT_EQ(catalog->find("Preview").value_or("-"), "Vorschau");
    EXPECT_EQ(catalog->size(), 2u);
    for (const char* absent :
         {"", "Open", "menu\x04Open", "%d page", "Untranslated", "Sca", "Scans"})
        EXPECT_FALSE(catalog->find(absent)) << absent;
}

TEST(MoCatalog, EveryTruncationIsRefusedWithoutReadingPastTheEnd) {
    const std::string whole = msgfmt("msgid \"Scan\"\nmsgstr \"Scannen\"\n");
    ASSERT_TRUE(MoCatalog::parse(whole));
    // The strings' trailing zero is not needed, so only cuts into the strings proper must fail.
    for (std::size_t size = 0; size + 1 < whole.size(); ++size)
        EXPECT_FALSE(MoCatalog::parse(whole.substr(0, size))) << size;
}

}  // namespace
}  // namespace tarnwick
