// The built module as the packaging leaves it, and tarnwick-pack run on a copy of it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>

#include "base/localisation/catalog_sources.h"
#include "base/localisation/catalog_table.h"
#include "base/localisation/localisation.h"
#include "base/localisation/mo_catalog.h"
#include "platform/library.h"
#include "settings/configured_language.h"
#include "support/scoped_environment.h"
#include "window/preview_geometry.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

class PackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device random;
        folder_ = fs::temp_directory_path() / ("tarnwick-pack-" + std::to_string(random()));
        fs::create_directories(folder_);
        module_ = folder_ / "tarnwick.ds";
        fs::copy_file(TARNWICK_MODULE_PATH, module_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    int pack(const fs::path& catalogs) {
        const std::string command = std::string("'") + TARNWICK_BINARY_DIR + "/tarnwick-pack' '" +
                                    module_.string() + "' '" + catalogs.string() + "' >/dev/null";
        return std::system(command.c_str());
    }
    std::string bytes(const fs::path& path) { return readFileBytes(path, 1u << 30).value(); }
    void write(const fs::path& path, const std::string& content) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << content;
    }

    fs::path folder_, module_;
};

TEST_F(PackTest, BuiltModuleInGermanTranslatesProgramAndDaemonTexts) {
    Localisation l10n(module_, "de");
    EXPECT_EQ(l10n.translate(kSaneDomain, "Scan resolution"), "Scanauflösung");
    EXPECT_EQ(l10n.translate(kSaneDomain, "no such option title"), "no such option title");
    // Every program text the German catalog has comes out translated.
    const auto german = MoCatalog::parse(
        bytes(fs::path(TARNWICK_BINARY_DIR) / "catalogs/locale/de/LC_MESSAGES/default.mo"));
    ASSERT_TRUE(german);
    ASSERT_GT(german->size(), 0u);
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Find fit"), "Vorlage finden");
    for (std::size_t i = 0; i < german->size(); ++i) {
        const std::string text(german->original(i));
        EXPECT_EQ(l10n.translate(kDefaultDomain, text), german->find(text).value()) << text;
    }
    l10n.useLanguage("hu");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Find fit"), "Automatikus illesztés");
    EXPECT_EQ(l10n.translate(kSaneDomain, "Scan resolution"), "Scan resolution");
    l10n.useLanguage("en");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Find fit"), "Find fit");
}

// The zoom box is read back by its leading number, so a catalog that writes the percent sign
// first ("%25") would zoom to nothing.
TEST(CatalogTexts, ZoomEntriesKeepTheirNumberFirstInEveryLanguage) {
    const fs::path locale = fs::path(TARNWICK_BINARY_DIR) / "catalogs/locale";
    int languages = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(locale)) {
        const fs::path file = entry.path() / "LC_MESSAGES/default.mo";
        if (!fs::exists(file)) continue;
        const auto catalog = MoCatalog::parse(readFileBytes(file, 1u << 30).value());
        ASSERT_TRUE(catalog) << file;
        ++languages;
        for (long zoom : {25, 50, 75, 100}) {
            const std::string text = std::to_string(zoom) + "%";
            const std::string shown(catalog->find(text).value_or(text));
            EXPECT_EQ(leadingNumber(shown), zoom) << entry.path().filename() << ": " << shown;
        }
    }
    EXPECT_GE(languages, 13);
}

TEST_F(PackTest, LanguageFromTheSettingsFileTranslatesThePackedModule) {
    testing_support::ScopedEnvironment environment;
    for (const char* name : {"WINDIR", "ALLUSERSPROFILE", "APPDATA", "HOME"})
        environment.unset(name);
    environment.set("USERPROFILE", folder_.string());
    write(folder_ / "tarnwick.ini", "[General]\nLanguage=de\n");
    Localisation l10n(module_, configuredLanguage());
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Find fit"), "Vorlage finden");
    EXPECT_EQ(l10n.translate(kSaneDomain, "Scan resolution"), "Scanauflösung");
}

TEST_F(PackTest, BuiltModuleListsItsLanguagesWithTheirNames) {
    Localisation l10n(module_, "en");
    EXPECT_EQ(l10n.languages(),
              (std::vector<std::string>{"cs", "de", "en", "es_ES", "fr", "hu", "it", "nl", "pl",
                                        "pt", "ru", "tr", "zh_CN", "zh_TW"}));
    EXPECT_EQ(l10n.languageName("de"), "Deutsch");
    EXPECT_EQ(l10n.languageName("en"), "English");
    EXPECT_EQ(l10n.languageName("es_ES"), "Español");
    EXPECT_EQ(l10n.languageName("zh_TW"), "Chinese(Traditional)");
    // Appended names are those of the module's folder, the sane-backends ones included.
    const auto table = readCatalogTable(bytes(module_));
    ASSERT_TRUE(table);
    ASSERT_GE(table->files.size(), 16u);
    EXPECT_EQ(table->files[0].name, "default.mo");
    EXPECT_EQ(table->files[1].name, "languages.mo");
    for (std::size_t i = 1; i < table->files.size(); ++i)
        EXPECT_LT(table->files[i - 1].name, table->files[i].name);
}

TEST_F(PackTest, RepackingReplacesTheTableAndKeepsTheModuleLoadable) {
    const fs::path catalogs = folder_ / "catalogs";
    // An entry for a text of this test only, so the lookup proves the new table is read.
    write(catalogs / "locale/de/LC_MESSAGES/default.mo",
          bytes(fs::path(TARNWICK_BINARY_DIR) / "catalogs/languages.mo"));
    write(catalogs / "languages.mo",
          bytes(fs::path(TARNWICK_BINARY_DIR) / "catalogs/languages.mo"));
    ASSERT_EQ(pack(catalogs), 0);
    const std::string once = bytes(module_);
    const auto table = readCatalogTable(once);
    ASSERT_TRUE(table);
    ASSERT_EQ(table->files.size(), 2u);
    EXPECT_EQ(table->files[0].name, "languages.mo");
    EXPECT_EQ(table->files[1].name, "locale\\de\\LC_MESSAGES\\default.mo");
    EXPECT_EQ(once.size(), table->files[1].offset + table->files[1].size + 2 * 256 + 8);
    Localisation l10n(module_, "de");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "nl"), "Nederlands");
    EXPECT_EQ(l10n.translate(kSaneDomain, "Scan resolution"), "Scan resolution");
    EXPECT_EQ(l10n.languages(), std::vector<std::string>{"de"});

    ASSERT_EQ(pack(catalogs), 0);
    EXPECT_EQ(bytes(module_), once);

    // The appended data lies outside the image: the module still loads and exports DS_Entry.
    auto library = platform::loadLibrary(module_.c_str());
    ASSERT_NE(library, nullptr);
    EXPECT_NE(platform::findFunction(library, "DS_Entry"), nullptr);
}

TEST_F(PackTest, PackerRefusesFilesWithoutAnchorAndLeavesThemAlone) {
    const fs::path plain = folder_ / "plain.bin";
    write(plain, "no anchor in here");
    const std::string command = std::string("'") + TARNWICK_BINARY_DIR + "/tarnwick-pack' '" +
                                plain.string() + "' '" + folder_.string() + "' 2>/dev/null";
    EXPECT_NE(std::system(command.c_str()), 0);
    EXPECT_EQ(bytes(plain), "no anchor in here");
}

}  // namespace
}  // namespace tarnwick
