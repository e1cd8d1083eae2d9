#include <gtest/gtest.h>

#include "base/debug_log.h"
#include "settings/properties.h"
#include "unit/settings/properties_fixture.h"

namespace tarnwick::testing {
namespace {

using ui::ModalResult;

TEST_F(PropertiesTest, MissingFileShowsTheKeyTableDefaults) {
    auto dialog = create();
    EXPECT_EQ(dialog->caption(), "Tarnwick settings");
    EXPECT_FALSE(dialog->readOnly);
    EXPECT_TRUE(dialog->languageChanged);
    EXPECT_EQ(dialog->Hostname.text(), "");
    EXPECT_EQ(dialog->Port.text(), "6566");
    EXPECT_EQ(dialog->Username.text(), "PCUSER");
    EXPECT_TRUE(dialog->GetDevices.checked());
    EXPECT_TRUE(dialog->UseMinimum.checked());
    EXPECT_FALSE(dialog->UseSpecified.checked());
    EXPECT_TRUE(dialog->Resolution.enabled()) << "enabled whichever button is selected";
    EXPECT_EQ(dialog->Resolution.text(), "50");
    EXPECT_TRUE(dialog->RemoveRegions.checked());
    EXPECT_FALSE(dialog->SaveRegions.checked());
    EXPECT_TRUE(dialog->ADFSingle.checked());
    EXPECT_EQ(dialog->JPEGQuality.text(), "80");
    for (ui::CheckBox* c :
         {&dialog->FindFit, &dialog->TopMost, &dialog->DisableEsc, &dialog->HideDisabled,
          &dialog->PrinterSetup, &dialog->DelayPrint, &dialog->AutoPreview, &dialog->AutoScan})
        EXPECT_FALSE(c->checked()) << c->name();
    EXPECT_EQ(dialog->UseLanguage.itemIndex(), 1) << "\"en\" by default";
    EXPECT_EQ(world->current, "en");
    EXPECT_FALSE(dialog->bOK.enabled()) << "no host yet";
    EXPECT_EQ(dialog->JPEGQuality.left(), dialog->LJPEG.left() + dialog->LJPEG.width() + 4);
    EXPECT_FALSE(std::filesystem::exists(settingsPath())) << "reading creates nothing";
}

TEST_F(PropertiesTest, LoadingRunsTheClickRulesExceptForTheRegionPair) {
    writeSettings(
        "[Preview]\nAutoStart=1\nUseMinimum=0\nResolution=150\n[Scan]\nAutoStart=1\n"
        "[General]\nRemoveRegions=1\nSaveRegions=1\n[Connection]\nHost=scanhost\nPort=7000\n");
    auto dialog = create();
    EXPECT_TRUE(dialog->AutoScan.checked());
    EXPECT_FALSE(dialog->AutoPreview.checked()) << "the later start key wins";
    EXPECT_TRUE(dialog->RemoveRegions.checked());
    EXPECT_TRUE(dialog->SaveRegions.checked()) << "both shown as the file says";
    EXPECT_TRUE(dialog->UseSpecified.checked());
    EXPECT_FALSE(dialog->UseMinimum.checked());
    EXPECT_TRUE(dialog->Resolution.enabled());
    EXPECT_EQ(dialog->Resolution.text(), "150");
    EXPECT_EQ(dialog->Port.text(), "7000");
    EXPECT_TRUE(dialog->bOK.enabled());
}

TEST_F(PropertiesTest, HostnameDecidesWhetherOkIsEnabled) {
    auto dialog = create();
    onPage(driver, *dialog, dialog->TSConnection);
    EXPECT_FALSE(dialog->bOK.enabled());
    driver.type(dialog->Hostname, "h");
    EXPECT_TRUE(dialog->bOK.enabled()) << "one character is enough";
    driver.type(dialog->Hostname, "");
    EXPECT_FALSE(dialog->bOK.enabled());
    driver.type(dialog->Username, "someone");
    EXPECT_FALSE(dialog->bOK.enabled()) << "the user name does not count";
}

TEST_F(PropertiesTest, RegionBoxesAndStartBoxesExcludeEachOther) {
    auto dialog = create();
    onPage(driver, *dialog, dialog->TSGeneral);
    ASSERT_TRUE(dialog->RemoveRegions.checked());
    driver.click(dialog->SaveRegions);
    EXPECT_TRUE(dialog->SaveRegions.checked());
    EXPECT_FALSE(dialog->RemoveRegions.checked());
    driver.click(dialog->RemoveRegions);
    EXPECT_TRUE(dialog->RemoveRegions.checked());
    EXPECT_FALSE(dialog->SaveRegions.checked());
    driver.click(dialog->RemoveRegions);
    EXPECT_FALSE(dialog->RemoveRegions.checked());
    EXPECT_FALSE(dialog->SaveRegions.checked()) << "clearing changes nothing else";
    driver.click(dialog->SaveRegions);
    driver.click(dialog->SaveRegions);
    EXPECT_FALSE(dialog->RemoveRegions.checked()) << "clearing changes nothing else";

    onPage(driver, *dialog, dialog->TSStartup);
    driver.click(dialog->AutoPreview);
    driver.click(dialog->AutoScan);
    EXPECT_TRUE(dialog->AutoScan.checked());
    EXPECT_FALSE(dialog->AutoPreview.checked());
    driver.click(dialog->AutoPreview);
    EXPECT_FALSE(dialog->AutoScan.checked());
    driver.click(dialog->AutoScan);
    driver.click(dialog->AutoScan);
    EXPECT_FALSE(dialog->AutoScan.checked());
    EXPECT_FALSE(dialog->AutoPreview.checked()) << "clearing also clears the other";
}

TEST_F(PropertiesTest, ResolutionFollowsTheRadioButtonsOnceClicked) {
    auto dialog = create();
    onPage(driver, *dialog, dialog->TSPreview);
    driver.click(dialog->UseSpecified);
    EXPECT_FALSE(dialog->UseMinimum.checked());
    EXPECT_TRUE(dialog->Resolution.enabled());
    driver.click(dialog->UseMinimum);
    EXPECT_FALSE(dialog->UseSpecified.checked());
    EXPECT_FALSE(dialog->Resolution.enabled());
}

TEST_F(PropertiesTest, OkWritesEveryKeyAndCancelWritesNothing) {
    writeSettings("[Connection]\nHost=old\n");
    auto dialog = create();
    onPage(driver, *dialog, dialog->TSConnection);
    driver.type(dialog->Hostname, "cancelled");
    EXPECT_EQ(press(*dialog, dialog->bCancel), ModalResult::Cancel);
    EXPECT_EQ(file().readText(SettingKey::connectionHost), "old");
    EXPECT_EQ(dialog->Hostname.text(), "cancelled") << "controls keep their state";

    dialog->TopMost.setChecked(true);
    dialog->SaveRegions.setChecked(true);
    dialog->EvernoteMail.setText("me@example.org");
    dialog->JPEGQuality.setText("95");
    EXPECT_EQ(press(*dialog, dialog->bOK), ModalResult::Ok);
    SettingsFile saved = file();
    EXPECT_EQ(saved.readText(SettingKey::connectionHost), "cancelled");
    EXPECT_EQ(saved.readText(SettingKey::connectionUser), "PCUSER");
    EXPECT_EQ(saved.readInteger(SettingKey::connectionPort), 6566);
    EXPECT_TRUE(saved.readBoolean(SettingKey::generalTopMost));
    EXPECT_TRUE(saved.readBoolean(SettingKey::generalSaveRegions));
    EXPECT_FALSE(saved.readBoolean(SettingKey::generalRemoveRegions));
    EXPECT_EQ(saved.readInteger(SettingKey::saveJpegQuality), 95);
    EXPECT_EQ(saved.readText(SettingKey::evernoteEmail), "me@example.org");
    EXPECT_EQ(saved.readText(SettingKey::generalLanguage), "en");
    for (auto key :
         {SettingKey::previewUseMinimum, SettingKey::previewResolution,
          SettingKey::previewAutoStart, SettingKey::previewFindFit, SettingKey::scanAutoStart,
          SettingKey::adfSinglePage, SettingKey::printerSetup, SettingKey::printerDelayed,
          SettingKey::evernoteSubject, SettingKey::connectionGetDevices})
        EXPECT_TRUE(saved.keyExists(key)) << static_cast<int>(key);
    EXPECT_TRUE(boxes().empty());
}

TEST_F(PropertiesTest, AHandEditedLanguageCodeSelectsItsEntryWhateverItsCase) {
    writeSettings("[General]\nLanguage=FR\n");
    EXPECT_EQ(create()->UseLanguage.itemIndex(), 2);
}

TEST_F(PropertiesTest, FixedDeviceListLocksTheConnectionKeys) {
    writeSettings("[Connection]\nDevices=a, b\nHost=kept\nPort=1234\n");
    auto dialog = create();
    for (ui::Control* c :
         std::initializer_list<ui::Control*>{&dialog->Hostname, &dialog->BSearch, &dialog->Username,
                                             &dialog->Port, &dialog->GetDevices})
        EXPECT_FALSE(c->enabled()) << c->name();
    EXPECT_EQ(dialog->Hostname.text(), "(Devices key exists)");
    EXPECT_TRUE(dialog->bOK.enabled());
    dialog->Port.setText("");  // would stop the save if it were written
    EXPECT_EQ(press(*dialog, dialog->bOK), ModalResult::Ok);
    SettingsFile saved = file();
    EXPECT_EQ(saved.readText(SettingKey::connectionHost), "kept");
    EXPECT_EQ(saved.readInteger(SettingKey::connectionPort), 1234);
    EXPECT_FALSE(saved.keyExists(SettingKey::connectionUser));
    EXPECT_FALSE(saved.keyExists(SettingKey::connectionGetDevices));
    EXPECT_TRUE(saved.keyExists(SettingKey::evernoteSubject)) << "the rest is written";
    EXPECT_TRUE(boxes().empty());
}

TEST_F(PropertiesTest, PortTakesFourDigitsAndAnEmptyOneStopsTheSave) {
    auto dialog = create();
    onPage(driver, *dialog, dialog->TSConnection);
    driver.clear(dialog->Port);
    driver.type(dialog->Port, "65535x");
    EXPECT_EQ(dialog->Port.text(), "6553") << "no fifth digit, no letter";
    driver.type(dialog->Hostname, "host");
    driver.clear(dialog->Port);
    dialog->TopMost.setChecked(true);
    const std::filesystem::path log = folder.path() / "log";
    std::filesystem::create_directories(log);
    startDebugLog(log);
    EXPECT_EQ(press(*dialog, dialog->bOK), ModalResult::Ok) << "closes with OK in every case";
    stopDebugLog();
    SettingsFile saved = file();
    EXPECT_EQ(saved.readText(SettingKey::connectionHost), "host");
    EXPECT_TRUE(saved.keyExists(SettingKey::connectionUser)) << "written before the port";
    EXPECT_FALSE(saved.keyExists(SettingKey::connectionPort));
    EXPECT_FALSE(saved.keyExists(SettingKey::connectionGetDevices));
    EXPECT_FALSE(saved.keyExists(SettingKey::generalTopMost));
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "The properties file is read-only. Changes will not be saved");
    EXPECT_EQ(boxes()[0].kind, ui::BoxKind::Warning);
    EXPECT_EQ(boxes()[0].buttons, ui::BoxButtons::Ok);
    EXPECT_NE(testing_support::readWholeFile((log / "tarnwick.dbg").string())
                  .find("Caught exception: '' is not a valid integer value\n"),
              std::string::npos);
}

TEST_F(PropertiesTest, NumberFieldsOutOfReachStopTheSaveOrAreBounded) {
    writeSettings("[Connection]\nHost=h\n");
    auto dialog = create();
    dialog->Resolution.setText("99999999999");  // no 32-bit number
    press(*dialog, dialog->bOK);
    EXPECT_FALSE(file().keyExists(SettingKey::previewResolution));
    EXPECT_TRUE(file().keyExists(SettingKey::previewUseMinimum));
    EXPECT_EQ(boxes().size(), 1u);

    dialog->Resolution.setText("300");
    onPage(driver, *dialog, dialog->TSGeneral);
    driver.clear(dialog->JPEGQuality);
    driver.type(dialog->JPEGQuality, "1000");
    EXPECT_EQ(dialog->JPEGQuality.text(), "100") << "three characters";
    driver.clear(dialog->JPEGQuality);
    driver.type(dialog->JPEGQuality, "0");
    driver.focus(dialog->TopMost);
    EXPECT_EQ(dialog->JPEGQuality.text(), "1") << "brought into range on leaving";
    dialog->JPEGQuality.setText("250");
    press(*dialog, dialog->bOK);
    EXPECT_EQ(file().readInteger(SettingKey::saveJpegQuality), 100);
    EXPECT_EQ(file().readInteger(SettingKey::previewResolution), 300);
}

class ReadOnlyProperties : public PropertiesTest {};

TEST_F(ReadOnlyProperties, CaptionSaysSoAndOkStaysDisabled) {
    writeSettings("[Connection]\nHost=h\n");
    makeReadOnly();
    auto dialog = create();
    EXPECT_TRUE(dialog->readOnly);
    EXPECT_EQ(dialog->caption(), "Read-only properties file");
    EXPECT_FALSE(dialog->bOK.enabled()) << "even with a host";
    onPage(driver, *dialog, dialog->TSConnection);
    driver.type(dialog->Hostname, "x");
    EXPECT_FALSE(dialog->bOK.enabled());
}

TEST_F(ReadOnlyProperties, WithADeviceListOkIsEnabledAndTheSaveFailsWithTheWarning) {
    writeSettings("[Connection]\nDevices=a\n");
    makeReadOnly();
    const std::string before = settings();
    auto dialog = create();
    EXPECT_TRUE(dialog->bOK.enabled());
    EXPECT_EQ(press(*dialog, dialog->bOK), ModalResult::Ok);
    EXPECT_EQ(settings(), before);
    ASSERT_EQ(boxes().size(), 1u);
    EXPECT_EQ(boxes()[0].text, "The properties file is read-only. Changes will not be saved");
}

TEST_F(ReadOnlyProperties, AWritableFileIsNotReadOnly) {
    writeSettings("[Connection]\nHost=h\n");
    auto dialog = create();
    EXPECT_FALSE(dialog->readOnly);
    EXPECT_EQ(dialog->caption(), "Tarnwick settings");
}

}  // namespace
}  // namespace tarnwick::testing
