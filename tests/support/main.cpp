#include <gtest/gtest.h>

#include <cstdlib>

#include "discovery/service_browser.h"

int main(int argc, char** argv) {
    // Searches of the code under test stay on loopback, at a port nobody answers (discard).
    tarnwick::defaultSearchTarget() = {"127.0.0.1", 9};
#ifndef _WIN32
    // ImageMagick, which the Linux tests use to read files back, spins a thread per core; one is
    // enough beside the parallel tests.
    setenv("MAGICK_THREAD_LIMIT", "1", 0);
    setenv("OMP_NUM_THREADS", "1", 0);
#endif
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
