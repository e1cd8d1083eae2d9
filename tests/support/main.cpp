#include <gtest/gtest.h>

#include <cstdlib>

#include "discovery/service_browser.h"

int main(int argc, char** argv) {
    // Searches of the code under test stay on loopback, at a port nobody answers (discard).
    tarnwick::defaultSearchTarget() = {"127.0.0.1", 9};
    // ImageMagick, which tests use to read files back, spins a thread per core; beside the
    // parallel tests on a busy machine that takes minutes where one thread takes a second.
    setenv("MAGICK_THREAD_LIMIT", "1", 0);
    setenv("OMP_NUM_THREADS", "1", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
