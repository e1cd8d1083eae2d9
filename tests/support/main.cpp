#include <gtest/gtest.h>

#include "discovery/service_browser.h"

int main(int argc, char** argv) {
    // Searches of the code under test stay on loopback, at a port nobody answers (discard).
    tarnwick::defaultSearchTarget() = {"127.0.0.1", 9};
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
