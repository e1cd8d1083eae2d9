// The first start with neither a host nor a device: an eSCL scanner found on the network (AirSane
// over the test backend stands for it) is opened without a saned, and listed in the device box.
#include "support/airsane_fixture.h"
#include "support/window_controls.h"
#include "unit/settings/properties_fixture.h"
#include "unit/window/window_fixture.h"

namespace tarnwick::testing {
namespace {

class EsclFirstStart : public WindowTest {
  protected:
    void SetUp() override {
        if (!airsane.built()) GTEST_SKIP() << airsane.error();
        ASSERT_TRUE(airsane.running()) << airsane.error();
    }
    FoundService scanner(const std::string& name, int port) const {
        FoundService found = saneHost("127.0.0.1", "127.0.0.1", port);
        found.kind = ServiceKind::escl;
        found.instance = name;
        found.txt = {{"ty", name}, {"rs", "eSCL"}};
        return found;
    }
    AirSaneFixture airsane;
};

TEST_F(EsclFirstStart, TheScannerFoundIsOpenedSavedAndListed) {
    foundHosts = {scanner("Noname frontend-tester", airsane.port())};
    TFPreview& w = open();
    EXPECT_TRUE(driver.modalForms().empty());
    ASSERT_NE(w.session().scanner(), nullptr);
    EXPECT_EQ(w.session().scanner()->name(), airsane.url());
    EXPECT_EQ(w.session().connection(), nullptr);
    EXPECT_EQ(settings().readText(SettingKey::connectionDevice), airsane.url());
    EXPECT_FALSE(settings().keyExists(SettingKey::connectionHost));
    EXPECT_EQ(control<ui::ComboBox>(w, "Devices").items(), std::vector<std::string>{airsane.url()});
}

TEST_F(EsclFirstStart, OfSeveralTheFirstByNameIsUsedAndAllAreListed) {
    foundHosts = {scanner("Zeta", 1), scanner("Alpha", airsane.port())};
    TFPreview& w = open();
    ASSERT_NE(w.session().scanner(), nullptr);
    EXPECT_EQ(w.session().scanner()->name(), airsane.url());
    EXPECT_EQ(control<ui::ComboBox>(w, "Devices").items().size(), 2u);
}

}  // namespace
}  // namespace tarnwick::testing
