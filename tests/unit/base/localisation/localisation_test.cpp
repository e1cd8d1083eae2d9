#include "base/localisation/localisation.h"

#include <gtest/gtest.h>

#include "base/localisation/catalog_pack.h"
#include "base/localisation/language_choice.h"
#include "base/translate.h"
#include "settings/configured_language.h"
#include "unit/base/localisation/catalog_fixtures.h"

namespace tarnwick {
namespace {

using testing::moBytes;
using testing::TempFolder;
using testing::writeFile;

std::string catalogName(const std::string& code, const std::string& domain) {
    return "locale\\" + code + "\\LC_MESSAGES\\" + domain + ".mo";
}

// A module file in a temporary folder, with appended catalogs and catalogs on disk beside it.
class ModuleFolder {
  public:
    explicit ModuleFolder(const std::vector<CatalogFile>& appended) {
        const std::string image = "image" + std::string(catalogAnchor()) + std::string(8, '\0');
        writeFile(module(), packCatalogs(image, appended).module);
    }
    std::filesystem::path module() const { return folder_.path() / "tarnwick.ds"; }
    void onDisk(const std::string& code, const std::string& domain, const std::string& bytes) {
        writeFile(folder_.path() / "locale" / code / "LC_MESSAGES" / (domain + ".mo"), bytes);
    }

  private:
    TempFolder folder_;
};

CatalogFile appended(const std::string& code, const std::string& domain, const std::string& text,
                     const std::string& translation) {
    return {catalogName(code, domain), moBytes({{text, translation}})};
}

TEST(Localisation, AppendedCatalogWinsOverDiskAndDiskServesTheRest) {
    ModuleFolder folder({appended("de", "default", "Scan", "Scannen (appended)")});
    folder.onDisk("de", "default", moBytes({{"Scan", "Scannen (disk)"}}));
    folder.onDisk("fr", "default", moBytes({{"Scan", "Numériser"}}));
    Localisation l10n(folder.module(), "de");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Scan"), "Scannen (appended)");
    l10n.useLanguage("fr");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Scan"), "Numériser");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Preview"), "Preview");
}

TEST(Localisation, FallsBackToTheFirstTwoCharactersOfTheCode) {
    ModuleFolder folder({appended("de", "default", "Scan", "Scannen"),
                         appended("pt", "sane-backends", "Scan mode", "Modo de digitalização")});
    folder.onDisk("de_AT", "sane-backends", moBytes({{"Scan mode", "Scanmodus"}}));
    Localisation l10n(folder.module(), "de_AT");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Scan"), "Scannen");
    EXPECT_EQ(l10n.translate(kSaneDomain, "Scan mode"), "Scanmodus");
    l10n.useLanguage("pt_BR");
    EXPECT_EQ(l10n.translate(kSaneDomain, "Scan mode"), "Modo de digitalização");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Scan"), "Scan");
    l10n.useLanguage("d");  // too short to cut, and no catalog
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Scan"), "Scan");
}

TEST(Localisation, ALanguageCarriedOnlyForACountryIsFoundByItsLanguage) {
    ModuleFolder folder({appended("es_ES", "default", "Scan", "Escanear")});
    for (const char* code : {"es", "es_MX", "ES"}) {
        Localisation l10n(folder.module(), code);
        EXPECT_EQ(l10n.translate(kDefaultDomain, "Scan"), "Escanear") << code;
    }
}

TEST(Localisation, DomainsAreSeparateAndMissingOnesTranslateNothing) {
    // As with Hungarian: program texts translated, the daemon's texts left as written.
    ModuleFolder folder({appended("hu", "default", "Scan", "Beolvasás"),
                         {"languages.mo", moBytes({{"hu", "Magyar"}})}});
    Localisation l10n(folder.module(), "hu");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Scan"), "Beolvasás");
    EXPECT_EQ(l10n.translate(kSaneDomain, "Scan"), "Scan");
    EXPECT_EQ(l10n.translate(kLanguagesDomain, "hu"), "Magyar");
    l10n.useLanguage("xx");
    EXPECT_EQ(l10n.language(), "xx");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Scan"), "Scan");
    EXPECT_EQ(l10n.translate(kLanguagesDomain, "hu"), "Magyar");  // the one catalog for all
}

TEST(Localisation, DamagedCatalogsAreSkippedAndStrangeCodesLookNothingUp) {
    std::string broken = moBytes({{"Scan", "kaputt"}});
    broken.resize(broken.size() - 10);
    ModuleFolder folder({{catalogName("de", "default"), broken},
                         {catalogName("nl", "default"), "not a catalog at all"}});
    folder.onDisk("de", "default", moBytes({{"Scan", "Scannen"}}));
    Localisation l10n(folder.module(), "de");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Scan"), "Scannen");
    l10n.useLanguage("nl");
    EXPECT_EQ(l10n.translate(kDefaultDomain, "Scan"), "Scan");
    for (const char* code : {"../de", "de/../de", "", "de\\x", "de.UTF-8"}) {
        l10n.useLanguage(code);
        EXPECT_EQ(l10n.translate(kDefaultDomain, "Scan"), "Scan") << code;
    }
}

TEST(Localisation, ModulesWithoutTableOrFileStillWork) {
    TempFolder folder;
    writeFile(folder.path() / "plain.ds", "no anchor here");
    writeFile(folder.path() / "locale" / "de" / "LC_MESSAGES" / "default.mo",
              moBytes({{"Scan", "Scannen"}}));
    Localisation plain(folder.path() / "plain.ds", "de");
    EXPECT_EQ(plain.translate(kDefaultDomain, "Scan"), "Scannen");
    EXPECT_EQ(plain.languages(), std::vector<std::string>{"de"});
    Localisation missing(folder.path() / "missing.ds", "de");
    EXPECT_EQ(missing.translate(kDefaultDomain, "Scan"), "Scannen");
    Localisation unknown("", "de");
    EXPECT_EQ(unknown.translate(kDefaultDomain, "Scan"), "Scan");
    EXPECT_TRUE(unknown.languages().empty());
}

TEST(Localisation, LanguageListTakesDiskFirstThenAppendedWithoutDuplicates) {
    ModuleFolder folder(
        {{"default.mo", moBytes({})},
         {"languages.mo", moBytes({{"de", "Deutsch"}, {"zh_cn", "Chinese(Simplified)"}})},
         appended("CS", "default", "a", "b"),
         appended("de", "default", "a", "b"),
         appended("da", "sane-backends", "a", "b"),
         appended("zh_cn", "default", "a", "b"),
         appended("es_es_trad", "default", "a", "b"),
         {"locale\\x\\y\\LC_MESSAGES\\default.mo", "x"}});
    folder.onDisk("DE", "default", moBytes({}));
    folder.onDisk("pl", "default", moBytes({}));
    folder.onDisk("sv", "sane-backends", moBytes({}));
    Localisation l10n(folder.module(), "en");
    EXPECT_EQ(l10n.languages(),
              (std::vector<std::string>{"de", "pl", "cs", "zh_CN", "es_ES_TRAD"}));
    EXPECT_EQ(l10n.languageName("de"), "Deutsch");
    EXPECT_EQ(l10n.languageName("zh_CN"), "Chinese(Simplified)");
    EXPECT_EQ(l10n.languageName("pl"), "pl");
}

TEST(LanguageChoice, LangWithoutEncodingElseTheUserLanguage) {
    EXPECT_EQ(initialLanguage("de_DE.UTF-8", "fr_FR"), "de_DE");
    EXPECT_EQ(initialLanguage("de_DE.UTF-8@euro.x", "fr_FR"), "de_DE");
    EXPECT_EQ(initialLanguage("pt", "fr_FR"), "pt");
    EXPECT_EQ(initialLanguage(".UTF-8", "fr_FR"), "");
    EXPECT_EQ(initialLanguage(std::nullopt, "fr_FR"), "fr_FR");
    EXPECT_EQ(initialLanguage("", "fr_FR"), "fr_FR");
}

// The test program carries the anchor but no catalogs, and none lie beside it.
TEST(Translate, ProcessLanguageChangesAndTextsStayAsWrittenWithoutCatalogs) {
    const std::string before = currentLanguage();
    useLanguage("de");
    EXPECT_EQ(currentLanguage(), "de");
    EXPECT_EQ(tr("Scan"), "Scan");
    EXPECT_EQ(trSane("Scan resolution"), "Scan resolution");
    EXPECT_EQ(languageName("de"), "de");
    useConfiguredLanguage();
    EXPECT_EQ(currentLanguage(), "en");
    useLanguage(before);
}

}  // namespace
}  // namespace tarnwick
