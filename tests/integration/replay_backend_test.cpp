// The replay backend on its own, loaded as saned loads it: its options' constraints, its feeder
// and the statuses the environment forces, busy starts above all.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sane/sane.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "support/saned_fixture.h"
#include "support/scoped_environment.h"

namespace tarnwick::testing {
namespace {

// The library's API, looked up by name.
struct ReplayApi {
    void* library = nullptr;
    decltype(&sane_init) init = nullptr;
    decltype(&sane_exit) exit = nullptr;
    decltype(&sane_open) open = nullptr;
    decltype(&sane_close) close = nullptr;
    decltype(&sane_get_option_descriptor) descriptor = nullptr;
    decltype(&sane_control_option) control = nullptr;
    decltype(&sane_get_parameters) parameters = nullptr;
    decltype(&sane_start) start = nullptr;
    decltype(&sane_read) read = nullptr;
    decltype(&sane_cancel) cancel = nullptr;

    ReplayApi() {
        library = ::dlopen((replayLibraryDir() + "/libsane.so.1").c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!library) return;
        find(init, "sane_init");
        find(exit, "sane_exit");
        find(open, "sane_open");
        find(close, "sane_close");
        find(descriptor, "sane_get_option_descriptor");
        find(control, "sane_control_option");
        find(parameters, "sane_get_parameters");
        find(start, "sane_start");
        find(read, "sane_read");
        find(cancel, "sane_cancel");
    }
    ~ReplayApi() {
        if (library) ::dlclose(library);
    }
    template <class F>
    void find(F& function, const char* name) {
        function = reinterpret_cast<F>(::dlsym(library, name));
    }
};

const char* const kListing = TARNWICK_SOURCE_DIR "/../shared/devices/02-fujitsu-fi7260-adf.txt";

class ReplayBackend : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(api.library, nullptr) << ::dlerror();
        ASSERT_NE(api.cancel, nullptr);
        environment.set("SANE_REPLAY_DUMP", kListing);
        environment.set("SANE_REPLAY_PAGES", "2");
        environment.unset("SANE_REPLAY_STATUS");
        environment.unset("SANE_REPLAY_NAME");
    }
    void TearDown() override {
        if (handle) api.close(handle);
        api.exit();
    }
    void openDevice() {
        ASSERT_EQ(api.init(nullptr, nullptr), SANE_STATUS_GOOD);
        ASSERT_EQ(api.open("", &handle), SANE_STATUS_GOOD);
    }
    SANE_Int index(const char* name) {
        for (SANE_Int i = 1; const SANE_Option_Descriptor* d = api.descriptor(handle, i); ++i)
            if (d->name && std::strcmp(d->name, name) == 0) return i;
        return -1;
    }
    SANE_Status setText(const char* name, const char* text, SANE_Int* info = nullptr) {
        char value[256] = {};
        std::strncpy(value, text, sizeof value - 1);
        return api.control(handle, index(name), SANE_ACTION_SET_VALUE, value, info);
    }
    SANE_Status setWord(const char* name, SANE_Word word, SANE_Int* info = nullptr) {
        return api.control(handle, index(name), SANE_ACTION_SET_VALUE, &word, info);
    }
    // Starts and reads a whole image; the status that ended it.
    SANE_Status scan() {
        SANE_Status status = api.start(handle);
        if (status != SANE_STATUS_GOOD) return status;
        SANE_Byte buffer[65536];
        SANE_Int length = 0;
        while ((status = api.read(handle, buffer, sizeof buffer, &length)) == SANE_STATUS_GOOD) {
        }
        return status;
    }

    ReplayApi api;
    testing_support::ScopedEnvironment environment;
    SANE_Handle handle = nullptr;
};

TEST_F(ReplayBackend, OptionsTakeValuesWithinTheirConstraints) {
    openDevice();
    SANE_Int info = 0;
    EXPECT_EQ(setText("mode", "gray", &info), SANE_STATUS_GOOD);
    EXPECT_NE(info & SANE_INFO_INEXACT, 0) << "the entry's own spelling is taken";
    EXPECT_EQ(setText("mode", "Infrared"), SANE_STATUS_INVAL);
    // 50..600 in steps of 1: 700 becomes 600.
    EXPECT_EQ(setWord("resolution", 700, &info), SANE_STATUS_GOOD);
    EXPECT_NE(info & SANE_INFO_INEXACT, 0);
    EXPECT_EQ(setWord("resolution", 75, &info), SANE_STATUS_GOOD);
    EXPECT_EQ(info & SANE_INFO_INEXACT, 0);
    EXPECT_EQ(setWord("ht-type", 0), SANE_STATUS_INVAL) << "inactive";
    EXPECT_EQ(setWord("side", SANE_TRUE), SANE_STATUS_INVAL) << "read-only";
    EXPECT_EQ(setWord("rif", 2), SANE_STATUS_INVAL) << "a boolean is true or false";
    SANE_Parameters p{};
    ASSERT_EQ(api.parameters(handle, &p), SANE_STATUS_GOOD);
    EXPECT_EQ(p.format, SANE_FRAME_GRAY);
    EXPECT_EQ(p.depth, 8);
    EXPECT_EQ(p.pixels_per_line, 637);  // 215.872 mm at 75 dpi
    EXPECT_EQ(p.lines, 824);            // 279.364 mm, held as SANE's nearest fixed-point value
}

TEST_F(ReplayBackend, TheFeederEmptiesAfterItsPagesPerOpen) {
    openDevice();
    EXPECT_EQ(scan(), SANE_STATUS_EOF);
    EXPECT_EQ(scan(), SANE_STATUS_EOF);
    EXPECT_EQ(api.start(handle), SANE_STATUS_NO_DOCS);
    api.close(handle);
    ASSERT_EQ(api.open("fujitsu:fi-7260:1208958", &handle), SANE_STATUS_GOOD);
    EXPECT_EQ(scan(), SANE_STATUS_EOF) << "a new open, a full feeder";
    EXPECT_EQ(setText("source", "Flatbed"), SANE_STATUS_GOOD);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(scan(), SANE_STATUS_EOF) << "the flatbed has no end";
}

TEST_F(ReplayBackend, ReadsAnswerTheStatusAsked) {
    environment.set("SANE_REPLAY_STATUS", "JAMMED");
    openDevice();
    EXPECT_EQ(scan(), SANE_STATUS_JAMMED);
    api.exit();
    environment.set("SANE_REPLAY_STATUS", "SANE_STATUS_COVER_OPEN");
    handle = nullptr;
    openDevice();
    EXPECT_EQ(scan(), SANE_STATUS_COVER_OPEN);
}

// Busy for the first 300 ms of each scan, counted from its first start; a cancel between the
// attempts does not restart the clock, and the next scan is busy again.
TEST_F(ReplayBackend, StartsAreBusyForTheFirstMillisecondsOfEachScan) {
    environment.set("SANE_REPLAY_STATUS", "DEVICE_BUSY:300");
    openDevice();
    ASSERT_EQ(setText("source", "Flatbed"), SANE_STATUS_GOOD);
    const auto begun = std::chrono::steady_clock::now();
    EXPECT_EQ(api.start(handle), SANE_STATUS_DEVICE_BUSY);
    api.cancel(handle);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(api.start(handle), SANE_STATUS_DEVICE_BUSY);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(scan(), SANE_STATUS_EOF);
    EXPECT_GE(std::chrono::steady_clock::now() - begun, std::chrono::milliseconds(300));
    EXPECT_EQ(api.start(handle), SANE_STATUS_DEVICE_BUSY) << "the next scan";
}

TEST_F(ReplayBackend, MalformedSettingsFailTheStart) {
    for (const char* status : {"PAPER_LOW", "DEVICE_BUSY:", "DEVICE_BUSY:-5", "JAMMED:1:2"}) {
        environment.set("SANE_REPLAY_STATUS", status);
        EXPECT_EQ(api.init(nullptr, nullptr), SANE_STATUS_INVAL) << status;
        EXPECT_EQ(api.open("", &handle), SANE_STATUS_INVAL) << status;
    }
    environment.unset("SANE_REPLAY_STATUS");
    environment.set("SANE_REPLAY_PAGES", "ten");
    EXPECT_EQ(api.init(nullptr, nullptr), SANE_STATUS_INVAL);
    environment.set("SANE_REPLAY_PAGES", "2");
    environment.set("SANE_REPLAY_DUMP", "/nonexistent/listing.txt");
    EXPECT_EQ(api.init(nullptr, nullptr), SANE_STATUS_INVAL);
    handle = nullptr;
}

}  // namespace
}  // namespace tarnwick::testing
