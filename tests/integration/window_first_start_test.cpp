// The first start without a host: the saned hosts a search finds (a real saned with the test
// backend stands for the host found).
#include "support/saned_fixture.h"
#include "unit/settings/properties_fixture.h"
#include "unit/window/window_fixture.h"

namespace tarnwick::testing {
namespace {

class FirstStart : public WindowTest {
  protected:
    void SetUp() override { ASSERT_TRUE(saned.running()) << saned.error(); }
    FoundService ours() const { return saneHost("127.0.0.1", "127.0.0.1", saned.port()); }
    // A host that answers the search and then nothing on its port.
    static FoundService deaf() { return saneHost("localhost", "127.0.0.1", 1); }
    SanedFixture saned;
};

TEST_F(FirstStart, TheOneHostFoundIsUsedAndSaved) {
    foundHosts = {ours()};
    TFPreview& w = open();
    EXPECT_TRUE(driver.modalForms().empty());
    ASSERT_NE(w.session().scanner(), nullptr);
    EXPECT_EQ(w.session().scanner()->name(), "test:0");
    EXPECT_EQ(settings().readText(SettingKey::connectionHost), "127.0.0.1");
    EXPECT_EQ(settings().readInteger(SettingKey::connectionPort), saned.port());
}

TEST_F(FirstStart, SeveralHostsAreOfferedInTheDialogWithTheFirstByNameChosen) {
    foundHosts = {deaf(), ours()};
    std::vector<std::string> offered;
    driver.whenModal([&](ui::Form& f) {
        auto& dialog = static_cast<TFProperties&>(f);
        offered = dialog.Hostname.items();
        EXPECT_EQ(dialog.Hostname.itemIndex(), 0);
        driver.click(dialog.bOK);
    });
    TFPreview& w = open();
    EXPECT_EQ(offered,
              (std::vector<std::string>{"127.0.0.1 (127.0.0.1)", "localhost (127.0.0.1)"}));
    ASSERT_NE(w.session().scanner(), nullptr);
    EXPECT_EQ(settings().readText(SettingKey::connectionHost), "127.0.0.1");
}

TEST_F(FirstStart, WhereNoDialogReachesAUserTheFirstByNameIsUsedForThisStartOnly) {
    driver.setAsksUser(false);
    foundHosts = {deaf(), ours()};
    TFPreview& w = open();
    EXPECT_TRUE(driver.modalForms().empty());
    ASSERT_NE(w.session().scanner(), nullptr);
    EXPECT_FALSE(settings().keyExists(SettingKey::connectionHost));
}

TEST_F(FirstStart, NoHostFoundLeavesTheDialogSayingSo) {
    std::string status;
    driver.whenModal(
        [&](ui::Form& f) { status = static_cast<TFProperties&>(f).LSearchStatus.text(); });
    open();
    EXPECT_EQ(driver.modalForms(), std::vector<std::string>{"FProperties"});
    EXPECT_EQ(status, "No scanner host was found on the network.");
    EXPECT_EQ(window->session().connection(), nullptr);
}

}  // namespace
}  // namespace tarnwick::testing
