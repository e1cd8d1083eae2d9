// The host list of the settings dialog: found hosts by name and address, still free to type into.
#include <gtest/gtest.h>

#include "unit/settings/properties_fixture.h"

namespace tarnwick::testing {
namespace {

using ui::ModalResult;

TEST_F(PropertiesTest, SearchListsTheHostsByNameAndAPickedOneSavesItsNameAndPort) {
    world->hosts = {saneHost("zeta.local", "169.254.2.2", 7000),
                    saneHost("alpha.local", "169.254.1.1")};
    auto dialog = create();
    EXPECT_EQ(world->searches, 0) << "the dialog searches when asked";
    onPage(driver, *dialog, dialog->TSConnection);
    driver.type(dialog->Hostname, "typed");
    ASSERT_TRUE(driver.click(dialog->BSearch));
    EXPECT_EQ(dialog->Hostname.items(),
              (std::vector<std::string>{"alpha.local (169.254.1.1)", "zeta.local (169.254.2.2)"}));
    EXPECT_EQ(dialog->Hostname.text(), "typed") << "a search leaves the field alone";
    EXPECT_EQ(dialog->LSearchStatus.text(), "");
    driver.select(dialog->Hostname, 1);
    EXPECT_EQ(dialog->Port.text(), "7000");
    EXPECT_TRUE(dialog->bOK.enabled());
    EXPECT_EQ(press(*dialog, dialog->bOK), ModalResult::Ok);
    EXPECT_EQ(file().readText(SettingKey::connectionHost), "zeta.local");
    EXPECT_EQ(file().readInteger(SettingKey::connectionPort), 7000);
}

TEST_F(PropertiesTest, ATypedHostIsSavedAsTypedAndAnEmptySearchSaysSo) {
    auto dialog = create();
    onPage(driver, *dialog, dialog->TSConnection);
    ASSERT_TRUE(driver.click(dialog->BSearch));
    EXPECT_TRUE(dialog->Hostname.items().empty());
    EXPECT_EQ(dialog->LSearchStatus.text(), "No scanner host was found on the network.");
    // The entry's text typed by hand, without a search that found it, is a host name of its own.
    driver.type(dialog->Hostname, "alpha.local (169.254.1.1)");
    EXPECT_EQ(dialog->enteredHost(), "alpha.local (169.254.1.1)");
    world->hosts = {saneHost("alpha.local", "169.254.1.1")};
    ASSERT_TRUE(driver.click(dialog->BSearch));
    EXPECT_EQ(dialog->enteredHost(), "alpha.local");
    EXPECT_EQ(dialog->LSearchStatus.text(), "");
    driver.type(dialog->Hostname, "10.0.0.9");
    EXPECT_EQ(dialog->enteredHost(), "10.0.0.9");
}

FoundService scanner(const std::string& name, const std::string& host, const std::string& address) {
    FoundService found = saneHost(host, address, 8080);
    found.kind = ServiceKind::escl;
    found.instance = "instance of " + name;
    found.txt = {{"ty", name}, {"rs", "eSCL"}};
    return found;
}

TEST_F(PropertiesTest, FoundScannersFollowTheHostsAndOnePickedIsSavedAsTheDeviceByItsUrl) {
    file().writeText(SettingKey::connectionHost, "old.local");
    world->hosts = {scanner("Office MFP", "mfp.local", "169.254.3.3"),
                    saneHost("alpha.local", "169.254.1.1"),
                    scanner("Attic", "attic.local", "169.254.4.4")};
    auto dialog = create();
    onPage(driver, *dialog, dialog->TSConnection);
    ASSERT_TRUE(driver.click(dialog->BSearch));
    EXPECT_EQ(dialog->Hostname.items(),
              (std::vector<std::string>{"alpha.local (169.254.1.1)", "Attic (169.254.4.4)",
                                        "Office MFP (169.254.3.3)"}));
    // A host picked is a host; a typed URL is a scanner.
    driver.select(dialog->Hostname, 0);
    EXPECT_EQ(dialog->enteredScanner(), "");
    EXPECT_EQ(dialog->enteredHost(), "alpha.local");
    driver.type(dialog->Hostname, "http://10.0.0.7/eSCL");
    EXPECT_EQ(dialog->enteredHost(), "");
    EXPECT_EQ(dialog->enteredScanner(), "http://10.0.0.7/eSCL");
    driver.select(dialog->Hostname, 2);
    EXPECT_EQ(dialog->Port.text(), "6566") << "the daemon's port stays";
    EXPECT_EQ(dialog->enteredHost(), "");
    EXPECT_EQ(dialog->enteredScanner(), "http://mfp.local:8080/eSCL");
    EXPECT_TRUE(dialog->bOK.enabled());
    EXPECT_EQ(press(*dialog, dialog->bOK), ModalResult::Ok);
    EXPECT_EQ(file().readText(SettingKey::connectionDevice), "http://mfp.local:8080/eSCL");
    EXPECT_EQ(file().readText(SettingKey::connectionHost), "old.local");
}

TEST_F(PropertiesTest, AScannerInUseIsShownAndKeptByOkUntilAHostIsTyped) {
    file().writeText(SettingKey::connectionHost, "old.local");
    file().writeText(SettingKey::connectionDevice, "http://mfp.local:8080/eSCL");
    auto dialog = create();
    EXPECT_EQ(dialog->Hostname.text(), "http://mfp.local:8080/eSCL");
    EXPECT_EQ(press(*dialog, dialog->bOK), ModalResult::Ok);
    EXPECT_EQ(file().readText(SettingKey::connectionDevice), "http://mfp.local:8080/eSCL");
    EXPECT_EQ(file().readText(SettingKey::connectionHost), "old.local");

    auto again = create();
    onPage(driver, *again, again->TSConnection);
    driver.type(again->Hostname, "new.local");
    EXPECT_EQ(press(*again, again->bOK), ModalResult::Ok);
    EXPECT_EQ(file().readText(SettingKey::connectionHost), "new.local");
    EXPECT_EQ(file().readText(SettingKey::connectionDevice), "");
}

TEST_F(PropertiesTest, AHostWithoutAnAddressIsListedByName) {
    world->hosts = {saneHost("bare.local", "")};
    world->hosts[0].addresses.clear();
    auto dialog = create();
    dialog->searchHosts();
    EXPECT_EQ(dialog->Hostname.items(), std::vector<std::string>{"bare.local"});
}

}  // namespace
}  // namespace tarnwick::testing
