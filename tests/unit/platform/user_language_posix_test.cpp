#include "platform/user_language.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

namespace {

// Sets an environment variable for the test's duration and puts the old value back.
class ScopedVariable {
  public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = getenv(name)) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

  private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(UserLanguage, MessageLocaleWithoutEncodingAndEmptyWhenNoneIsNamed) {
    {
        ScopedVariable all("LC_ALL", "pt_BR.UTF-8");
        ScopedVariable messages("LC_MESSAGES", "de_DE");
        EXPECT_EQ(platform::userLanguage(), "pt_BR");
    }
    {
        ScopedVariable all("LC_ALL", "");
        ScopedVariable messages("LC_MESSAGES", "de_DE.ISO-8859-1");
        EXPECT_EQ(platform::userLanguage(), "de_DE");
    }
    ScopedVariable all("LC_ALL", nullptr);
    ScopedVariable messages("LC_MESSAGES", nullptr);
    EXPECT_EQ(platform::userLanguage(), "");
}

}  // namespace
