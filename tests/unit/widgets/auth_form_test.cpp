// The dialog that asks for the user name and password of a protected resource.
#include "widgets/auth_form.h"

#include <gtest/gtest.h>

#include "ui/headless/driver.h"

namespace tarnwick::testing {
namespace {

TEST(AuthForm, OkNeedsAUserNameAndTheTextsStayForTheNextPrompt) {
    ui::headless::Driver driver;
    TFAuth form;
    EXPECT_EQ(form.caption(), "Authentication required");
    EXPECT_EQ(form.clientWidth(), 208);
    EXPECT_EQ(form.clientHeight(), 96);
    EXPECT_EQ(form.Password.passwordChar(), '*');
    driver.whenModal([&](ui::Form&) {
        EXPECT_FALSE(driver.click(form.bOK));
        driver.type(form.Username, "u");
        EXPECT_TRUE(form.bOK.enabled());
        driver.backspace(form.Username);
        EXPECT_FALSE(form.bOK.enabled());
        driver.type(form.Username, "user");
        driver.type(form.Password, "secret");
        driver.click(form.bOK);
    });
    std::optional<Credentials> answer = form.ask("test$MD5$abc");
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->userName, "user");
    EXPECT_EQ(answer->password, "secret");

    driver.whenModal([&](ui::Form&) {
        EXPECT_EQ(form.Username.text(), "user");
        EXPECT_EQ(form.Password.text(), "secret");
        EXPECT_TRUE(form.bOK.enabled());
        driver.click(form.bCancel);
    });
    EXPECT_FALSE(form.ask("test"));
    // Closing the dialog counts as Cancel.
    driver.whenModal([&](ui::Form& f) { driver.closeForm(f, ui::ModalResult::Cancel); });
    EXPECT_FALSE(form.ask("test"));
    EXPECT_EQ(driver.modalForms(), (std::vector<std::string>{"FAuth", "FAuth", "FAuth"}));
}

}  // namespace
}  // namespace tarnwick::testing
