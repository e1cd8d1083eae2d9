#include "own_dsm.h"

#include <cstring>

#include "platform/global_memory.h"

namespace harness {

namespace {

std::vector<TW_UINT16>& notifications() {
    static std::vector<TW_UINT16> received;
    return received;
}

void setText(TW_STR32& field, const char* text) {
    std::memset(field, 0, sizeof field);
    std::strncpy(field, text, sizeof field - 2);
}

// The manager's memory functions are the platform's movable memory, which the harness frees.
TW_HANDLE TW_CALLINFO allocate(TW_UINT32 size) {
    return platform::globalAlloc(size);
}
void TW_CALLINFO release(TW_HANDLE handle) {
    platform::globalFree(handle);
}
TW_MEMREF TW_CALLINFO lock(TW_HANDLE handle) {
    return platform::globalLock(handle);
}
void TW_CALLINFO unlock(TW_HANDLE handle) {
    platform::globalUnlock(handle);
}

}  // namespace

TW_IDENTITY& applicationIdentity() {
    static TW_IDENTITY identity = [] {
        TW_IDENTITY id{};
        id.Id = 1;
        id.Version.MajorNum = 1;
        id.Version.Language = TWLG_ENGLISH;
        id.Version.Country = TWCY_USA;
        setText(id.Version.Info, "tarnwick-scan");
        id.ProtocolMajor = 2;
        id.ProtocolMinor = 4;
        // As a TWAIN 2 manager marks the application it serves.
        id.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_APP2 | DF_DSM2;
        setText(id.Manufacturer, "Tarnwick project");
        setText(id.ProductFamily, "Tarnwick tools");
        setText(id.ProductName, "tarnwick-scan");
        return id;
    }();
    return identity;
}

const TW_ENTRYPOINT& entryPoint() {
    static const TW_ENTRYPOINT offered{
        sizeof(TW_ENTRYPOINT), DSM_Entry, allocate, release, lock, unlock};
    return offered;
}

const std::vector<TW_UINT16>& receivedNotifications() {
    return notifications();
}

void clearNotifications() {
    notifications().clear();
}

}  // namespace harness

// What the source calls to reach the application: only notifications travel this way.
extern "C" TARNWICK_SCAN_EXPORT TW_UINT16 TW_CALLINFO DSM_Entry(TW_IDENTITY*, TW_IDENTITY*,
                                                                TW_UINT32 DG, TW_UINT16 DAT,
                                                                TW_UINT16 MSG, TW_MEMREF) {
    if (DG != DG_CONTROL || DAT != DAT_NULL) return TWRC_FAILURE;
    if (MSG != MSG_XFERREADY && MSG != MSG_CLOSEDSREQ && MSG != MSG_CLOSEDSOK) return TWRC_FAILURE;
    harness::notifications().push_back(MSG);
    return TWRC_SUCCESS;
}
