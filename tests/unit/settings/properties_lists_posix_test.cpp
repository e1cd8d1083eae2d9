#include <gtest/gtest.h>

#include "unit/settings/properties_fixture.h"

namespace tarnwick::testing {
namespace {

using ui::ModalResult;

class PrinterList : public PropertiesTest {
  protected:
    std::unique_ptr<TFProperties> withPrinters(std::vector<std::string> names, int defaultIndex,
                                               const std::string& saved) {
        world->printers = {std::move(names), defaultIndex};
        writeSettings("[Connection]\nHost=h\n[Printer]\nDefault=" + saved + "\n");
        return create();
    }
};

TEST_F(PrinterList, SavedPrinterWinsWhereverItStands) {
    auto dialog = withPrinters({"A", "B", "C"}, 0, "C");
    EXPECT_EQ(dialog->DefaultPrinter.items(), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(dialog->DefaultPrinter.itemIndex(), 2);
    EXPECT_EQ(withPrinters({"X", "A", "X"}, 1, "X")->DefaultPrinter.itemIndex(), 2)
        << "the last of equal names";
    EXPECT_EQ(withPrinters({"a", "B"}, 1, "A")->DefaultPrinter.itemIndex(), 1)
        << "names compare exactly";
}

TEST_F(PrinterList, PrinterNoLongerInstalledShowsThePlatformDefault) {
    auto dialog = withPrinters({"A", "B", "C"}, 1, "Gone");
    EXPECT_EQ(dialog->DefaultPrinter.itemIndex(), 1);
    EXPECT_EQ(dialog->savedPrinter, "Gone");
    press(*dialog, dialog->bOK);
    EXPECT_EQ(file().readText(SettingKey::printerDefault), "B");
    EXPECT_EQ(withPrinters({"A"}, -1, "Gone")->DefaultPrinter.itemIndex(), -1)
        << "no default printer either";
}

TEST_F(PrinterList, NoPrintersSelectNothingAndKeepTheSavedName) {
    auto dialog = withPrinters({}, 0, "Old printer");
    EXPECT_TRUE(dialog->DefaultPrinter.items().empty());
    EXPECT_EQ(dialog->DefaultPrinter.itemIndex(), -1);
    press(*dialog, dialog->bOK);
    EXPECT_EQ(file().readText(SettingKey::printerDefault), "Old printer") << "not written";
    EXPECT_TRUE(file().keyExists(SettingKey::evernoteSubject)) << "the save went on";
}

class LanguageList : public PropertiesTest {};

TEST_F(LanguageList, ShowsNamesKeepsCodesAndUsesTheSavedLanguage) {
    writeSettings("[Connection]\nHost=h\n[General]\nLanguage=de\n");
    auto dialog = create();
    EXPECT_EQ(dialog->languageCodes, (std::vector<std::string>{"de", "en", "fr"}));
    EXPECT_EQ(dialog->UseLanguage.items(), (std::vector<std::string>{"Deutsch", "English", "fr"}));
    EXPECT_EQ(dialog->UseLanguage.itemIndex(), 0);
    EXPECT_EQ(world->current, "de");
    EXPECT_EQ(dialog->caption(), "DE:Tarnwick settings") << "translated in the saved language";
    EXPECT_EQ(dialog->TSStartup.text(), "DE:Startup");
    EXPECT_EQ(dialog->UseLanguage.items()[1], "English") << "list items stay untranslated";
    EXPECT_EQ(dialog->JPEGQuality.left(), dialog->LJPEG.left() + dialog->LJPEG.width() + 4);
}

TEST_F(LanguageList, PickingRetranslatesAtOnceAndCancelKeepsTheFile) {
    writeSettings("[Connection]\nHost=h\n[General]\nLanguage=en\n");
    auto dialog = create();
    dialog->languageChanged = false;  // the scanning window has consumed it
    const int widthBefore = dialog->LJPEG.width();
    dialog->show();
    driver.selectPage(dialog->Options, dialog->Options.pageIndex(dialog->TSStartup));
    driver.select(dialog->UseLanguage, 0);
    EXPECT_EQ(world->current, "de");
    EXPECT_TRUE(dialog->languageChanged);
    EXPECT_EQ(dialog->caption(), "DE:Tarnwick settings");
    EXPECT_EQ(dialog->bOK.text(), "DE:OK");
    EXPECT_EQ(dialog->LJPEG.width(), widthBefore + ui::textWidth(dialog->LJPEG.font(), "DE:"));
    EXPECT_EQ(dialog->JPEGQuality.left(), dialog->LJPEG.left() + dialog->LJPEG.width() + 4);
    EXPECT_EQ(dialog->UseLanguage.itemIndex(), 0);
    EXPECT_EQ(dialog->UseLanguage.items()[0], "Deutsch");

    driver.select(dialog->UseLanguage, 1);
    EXPECT_EQ(dialog->caption(), "Tarnwick settings") << "re-translated from the source texts";
    driver.select(dialog->UseLanguage, 0);
    EXPECT_EQ(press(*dialog, dialog->bCancel), ModalResult::Cancel);
    EXPECT_EQ(world->current, "de") << "stays in use";
    EXPECT_EQ(file().readText(SettingKey::generalLanguage), "en");

    press(*dialog, dialog->bOK);
    EXPECT_EQ(file().readText(SettingKey::generalLanguage), "de");
}

TEST_F(LanguageList, UnknownCodeSelectsNothingAndIsNotWritten) {
    writeSettings("[Connection]\nHost=h\n[General]\nLanguage=xx\n");
    auto dialog = create();
    EXPECT_EQ(dialog->UseLanguage.itemIndex(), -1);
    EXPECT_EQ(world->current, "xx") << "still made current";
    EXPECT_EQ(dialog->savedLanguage, "xx");
    press(*dialog, dialog->bOK);
    EXPECT_EQ(file().readText(SettingKey::generalLanguage), "xx");
    EXPECT_TRUE(boxes().empty());
}

TEST_F(LanguageList, DeviceListTextFollowsTheLanguage) {
    writeSettings("[Connection]\nDevices=a\n[General]\nLanguage=de\n");
    auto dialog = create();
    EXPECT_EQ(dialog->Hostname.text(), "DE:(Devices key exists)");
    dialog->show();
    driver.selectPage(dialog->Options, dialog->Options.pageIndex(dialog->TSStartup));
    driver.select(dialog->UseLanguage, 1);
    EXPECT_EQ(dialog->Hostname.text(), "(Devices key exists)");
    EXPECT_TRUE(dialog->bOK.enabled());
}

}  // namespace
}  // namespace tarnwick::testing
