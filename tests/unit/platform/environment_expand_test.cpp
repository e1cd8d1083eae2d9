#include <gtest/gtest.h>

#include "platform/environment_expand.h"
#include "support/scoped_environment.h"

namespace {

TEST(EnvironmentExpansion, ReplacesSetNamesAndKeepsUnsetOnes) {
    testing_support::ScopedEnvironment environment;
    environment.set("TARNWICK_TEST_A", "alpha");
    environment.unset("TARNWICK_TEST_UNSET");

    using platform::expandEnvironmentStrings;
    EXPECT_EQ(expandEnvironmentStrings("no names"), "no names");
    EXPECT_EQ(expandEnvironmentStrings("%TARNWICK_TEST_A%/x.ini"), "alpha/x.ini");
    EXPECT_EQ(expandEnvironmentStrings("[%TARNWICK_TEST_A%%TARNWICK_TEST_A%]"), "[alphaalpha]");
    EXPECT_EQ(expandEnvironmentStrings("%TARNWICK_TEST_UNSET%/x.ini"),
              "%TARNWICK_TEST_UNSET%/x.ini");
    EXPECT_EQ(expandEnvironmentStrings("50% off"), "50% off");
    EXPECT_EQ(expandEnvironmentStrings("%TARNWICK_TEST_UNSET%TARNWICK_TEST_A%"),
              "%TARNWICK_TEST_UNSET%TARNWICK_TEST_A%")
        << "the closing sign of an unknown name opens no other";
}

}  // namespace
