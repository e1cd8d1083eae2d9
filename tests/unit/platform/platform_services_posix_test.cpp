// The POSIX side of the platform services the data source relies on.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "platform/dialog_message.h"
#include "platform/dsm_names.h"
#include "platform/global_memory.h"
#include "platform/library.h"
#include "platform/registry.h"

// Linux applications free what a source hands them with free(), and read it without locking.
TEST(GlobalMemory, HandlesAreZeroFilledHeapBlocksThatFreeReleases) {
    platform::GlobalHandle handle = platform::globalAlloc(4096);
    ASSERT_NE(handle, nullptr);
    unsigned char* bytes = static_cast<unsigned char*>(platform::globalLock(handle));
    EXPECT_EQ(static_cast<void*>(bytes), handle);
    for (int i = 0; i < 4096; ++i) ASSERT_EQ(bytes[i], 0) << i;
    std::memset(bytes, 0xee, 4096);
    platform::globalUnlock(handle);
    std::free(handle);  // what an application does

    platform::GlobalHandle empty = platform::globalAlloc(0);
    EXPECT_NE(empty, nullptr) << "null means out of memory, even for an empty block";
    platform::globalFree(empty);
    EXPECT_EQ(platform::globalLock(nullptr), nullptr);
}

TEST(Library, FailuresAreNullWithAReason) {
    EXPECT_EQ(platform::loadLibrary("/nonexistent/libnothing.so"), nullptr);
    EXPECT_NE(platform::lastLibraryError().find("libnothing"), std::string::npos);
    EXPECT_EQ(platform::findFunction(nullptr, "DSM_Entry"), nullptr);
    // The unit-test program exports no manager entry of its own.
    EXPECT_EQ(platform::findProcessFunction("DSM_Entry"), nullptr);
}

TEST(PlatformWithoutWindowsOrRegistry, NothingIsConsumedOrDeleted) {
    int message = 0;
    platform::setDialogWindow(&message);
    EXPECT_FALSE(platform::offerDialogMessage(&message));
    platform::setDialogWindow(nullptr);
    EXPECT_FALSE(platform::deleteUserRegistryKey("Software\\Tarnwick"));
    const auto names = platform::dsmLibraryNames();
    ASSERT_EQ(names.size(), 1u);
    EXPECT_STREQ(names[0], "libtwaindsm.so");
}
