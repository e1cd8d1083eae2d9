// The built module with its appended catalogs, read through this platform's file layer.
#include <gtest/gtest.h>

#include "base/localisation/catalog_sources.h"
#include "base/localisation/localisation.h"

namespace tarnwick {
namespace {

TEST(PackedModule, GermanTranslatesAProgramTextAndAnOptionTitle) {
    const CatalogSources sources(TARNWICK_MODULE_PATH);
    // A cross build configured without a host packer leaves its module without catalogs.
    if (sources.appended().empty()) GTEST_SKIP() << "the module carries no catalogs";
    Localisation l10n(TARNWICK_MODULE_PATH, "de");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Find fit"), "Vorlage finden");
    EXPECT_EQ(l10n.translate(kSaneDomain, "Scan resolution"), "Scanauflösung");
    EXPECT_EQ(l10n.languageName("de"), "Deutsch");
}

}  // namespace
}  // namespace tarnwick
