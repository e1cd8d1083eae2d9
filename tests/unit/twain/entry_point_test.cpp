// DAT_ENTRYPOINT: a TWAIN 2 manager's DSM_Entry receives the notifications, and every handle the
// source gives the application is made, locked and unlocked with the manager's functions.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {
namespace {

// The manager's handles are boxes with a header, so a handle used as its own block (the Linux
// platform convention) would be seen as wrong.
struct Box {
    std::uint32_t magic = 0x54574e32;
    std::vector<std::uint8_t> bytes;
};

struct ManagerRecord {
    std::set<Box*> live;
    int locks = 0, unlocks = 0;
    std::vector<TW_UINT16> notifications;
};

ManagerRecord& record() {
    static ManagerRecord r;
    return r;
}

TW_HANDLE TW_CALLINFO allocate(TW_UINT32 size) {
    auto* box = new Box;
    box->bytes.assign(size, 0xcd);  // not zero-filled, as the manager's need not be
    record().live.insert(box);
    return box;
}
void TW_CALLINFO release(TW_HANDLE handle) {
    record().live.erase(static_cast<Box*>(handle));
    delete static_cast<Box*>(handle);
}
TW_MEMREF TW_CALLINFO lock(TW_HANDLE handle) {
    ++record().locks;
    return static_cast<Box*>(handle)->bytes.data();
}
void TW_CALLINFO unlock(TW_HANDLE) {
    ++record().unlocks;
}
TW_UINT16 TW_CALLINFO managerEntry(TW_IDENTITY* origin, TW_IDENTITY* destination, TW_UINT32,
                                   TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF) {
    if (DAT == DAT_NULL && origin->Id == 42 && destination->Id == 7)
        record().notifications.push_back(MSG);
    return TWRC_SUCCESS;
}

class EntryPoint : public SourceTest {
  protected:
    EntryPoint() { record() = {}; }
    ~EntryPoint() override {
        for (Box* box : record().live) delete box;
        record() = {};
    }
    TW_UINT16 offer(TW_ENTRYPOINT entry) {
        return call(DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &entry);
    }
    TW_ENTRYPOINT entry{sizeof(TW_ENTRYPOINT), managerEntry, allocate, release, lock, unlock};
};

TEST_F(EntryPoint, NotificationsGoToTheOfferedEntryAndNoLibraryIsLoaded) {
    ASSERT_EQ(offer(entry), TWRC_SUCCESS);
    ASSERT_NO_FATAL_FAILURE(bringTo(5));
    EXPECT_EQ(source->notifyApplication(MSG_XFERREADY), TWRC_SUCCESS);
    EXPECT_EQ(record().notifications, std::vector<TW_UINT16>{MSG_XFERREADY});
    EXPECT_TRUE(dsmScript().loadAttempts.empty());
    EXPECT_TRUE(dsmScript().received.empty());
    EXPECT_NE(appIdentity.Manufacturer[0], '\0') << "the application keeps its identity";
    // The manager itself hands it to an application that waits in its message loop.
    int message = 0;
    TW_EVENT event{&message, MSG_NULL};
    EXPECT_EQ(call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event), TWRC_NOTDSEVENT);
}

TEST_F(EntryPoint, OnlyAWholeRecordInStateThreeIsTaken) {
    TW_ENTRYPOINT small = entry;
    small.Size = sizeof(TW_ENTRYPOINT) - 1;
    TW_ENTRYPOINT noEntry = entry;
    noEntry.DSM_Entry = nullptr;
    for (const TW_ENTRYPOINT& bad : {small, noEntry}) {
        EXPECT_EQ(offer(bad), TWRC_FAILURE);
        EXPECT_EQ(source->conditionCode, TWCC_BADVALUE);
    }
    ASSERT_NO_FATAL_FAILURE(bringTo(5));
    EXPECT_EQ(offer(entry), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_SEQERROR);
    // The refused records left the 1.x way to the manager in place.
    source->notifyApplication(MSG_XFERREADY);
    EXPECT_EQ(dsmScript().received.size(), 1u);
    EXPECT_TRUE(record().notifications.empty());
}

TEST_F(EntryPoint, ContainersAndTheNativeBitmapAreTheManagersHandles) {
    ASSERT_EQ(offer(entry), TWRC_SUCCESS);
    ASSERT_NO_FATAL_FAILURE(bringTo(4));

    // The application's container is read through the manager's lock.
    TW_CAPABILITY sent{ICAP_XFERMECH, TWON_ONEVALUE, allocate(sizeof(TW_ONEVALUE))};
    const TW_ONEVALUE memory{TWTY_UINT16, TWSX_MEMORY};
    std::memcpy(lock(sent.hContainer), &memory, sizeof memory);
    const int locksBefore = record().locks;
    ASSERT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &sent), TWRC_SUCCESS);
    EXPECT_EQ(source->transferMechanism, TWSX_MEMORY);
    EXPECT_EQ(record().locks - locksBefore, 1);
    release(sent.hContainer);

    TW_CAPABILITY answer{ICAP_XFERMECH, 0, nullptr};
    ASSERT_EQ(call(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &answer), TWRC_SUCCESS);
    ASSERT_EQ(record().live.count(static_cast<Box*>(answer.hContainer)), 1u);
    TW_ONEVALUE value{};
    std::memcpy(&value, lock(answer.hContainer), sizeof value);
    EXPECT_EQ(+value.ItemType, TWTY_UINT16);
    EXPECT_EQ(+value.Item, TWSX_MEMORY);
    release(answer.hContainer);

    FrameParameters p;
    p.format = kFrameGray;
    p.depth = 8;
    p.pixelsPerLine = 3;
    p.lines = 2;
    scanner.scanYields(p);
    scanner.scans = {true};
    ASSERT_EQ(enable(0), TWRC_SUCCESS);
    TW_HANDLE dib = nullptr;
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib), TWRC_XFERDONE);
    ASSERT_EQ(record().live.count(static_cast<Box*>(dib)), 1u);
    const auto* header = static_cast<const std::uint8_t*>(lock(dib));
    std::int32_t width = 0;
    std::memcpy(&width, header + 4, sizeof width);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(header[40 + 4 * 256], 16) << "the bottom row comes first";
    release(dib);
    EXPECT_EQ(record().locks, record().unlocks + 3) << "the source unlocks what it locks";
}

}  // namespace
}  // namespace tarnwick::testing
