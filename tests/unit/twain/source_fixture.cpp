#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {

namespace {

TW_UINT16 TW_CALLINFO recordingEntry(TW_IDENTITY* origin, TW_IDENTITY* destination, TW_UINT32 DG,
                                     TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData) {
    dsmScript().received.push_back({*origin, *destination, DG, DAT, MSG, pData});
    return dsmScript().answer;
}

int libraryToken;

platform::FunctionAddress entryAddress() {
    return reinterpret_cast<platform::FunctionAddress>(&recordingEntry);
}

}  // namespace

DsmScript& dsmScript() {
    static DsmScript script;
    return script;
}

DsmLink recordingDsm() {
    static constexpr const char* names[] = {"first-dsm", "second-dsm"};
    return DsmLink(DsmLink::Loader{
        [] { return std::span<const char* const>(names); },
        [](const char* name) -> platform::LibraryHandle {
            dsmScript().loadAttempts.push_back(name);
            // Only the second name exists, so the order of the names is seen.
            bool loads = dsmScript().libraryLoads && std::string(name) == "second-dsm";
            return loads ? &libraryToken : nullptr;
        },
        [](platform::LibraryHandle library, const char* name) -> platform::FunctionAddress {
            bool found = library == &libraryToken && dsmScript().libraryHasEntry &&
                         std::string(name) == "DSM_Entry";
            return found ? entryAddress() : nullptr;
        },
        [](const char* name) -> platform::FunctionAddress {
            bool found = dsmScript().processHasEntry && std::string(name) == "DSM_Entry";
            return found ? entryAddress() : nullptr;
        }});
}

void setText(TW_STR32& field, const char* text) {
    std::memset(field, 0, sizeof field);
    std::strncpy(field, text, sizeof field - 1);
}

TW_IDENTITY applicationNamed(const char* manufacturer) {
    TW_IDENTITY identity{};
    identity.Id = 7;
    identity.ProtocolMajor = 1;
    identity.ProtocolMinor = 9;
    identity.SupportedGroups = DG_CONTROL | DG_IMAGE;
    setText(identity.Manufacturer, manufacturer);
    setText(identity.ProductName, "Test application");
    return identity;
}

SourceTest::SourceTest() {
    reset();
}

void SourceTest::reset() {
    source.reset();
    scanner = {};
    scannersMade = 0;
    application = applicationNamed("Acme Imaging");
    appIdentity = {};
    dsIdentity = {};
    dsmScript() = {};
    driver.reset();
    driver.emplace();
    assigned.Id = 42;
    source = std::make_unique<DataSource>(
        [this](DataSource& owner) -> std::unique_ptr<Scanner> {
            ++scannersMade;
            scanner.destroyed = false;
            return std::make_unique<ScriptedScanner>(scanner, owner);
        },
        recordingDsm());
}

SourceTest::~SourceTest() {
    source.reset();
    appIdentity = {};
    dsIdentity = {};
}

TW_UINT16 SourceTest::call(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData) {
    return source->dispatch(&application, DG, DAT, MSG, pData);
}

TW_UINT16 SourceTest::open() {
    return call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &assigned);
}

TW_UINT16 SourceTest::enable(TW_BOOL showUI) {
    TW_USERINTERFACE ui{};
    ui.ShowUI = showUI;
    return call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
}

void SourceTest::bringTo(TW_INT32 state) {
    if (state >= 4) {
        ASSERT_EQ(open(), TWRC_SUCCESS);
    }
    if (state >= 5) {
        ASSERT_EQ(enable(1), TWRC_SUCCESS);
    }
    if (state >= 6) {
        ASSERT_EQ(source->notifyApplication(MSG_XFERREADY), TWRC_SUCCESS);
    }
    // A transfer in progress; the transfers that lead there are tested with them.
    if (state >= 7) source->setState(7);
    ASSERT_EQ(source->state(), state);
    source->pendingEvent = MSG_NULL;  // the application has heard it
    dsmScript().received.clear();
    scanner.calls.clear();
}

TW_UINT16 SourceTest::readStatus() {
    TW_STATUS status{0xffff, 0xffff};
    EXPECT_EQ(call(DG_CONTROL, DAT_STATUS, MSG_GET, &status), TWRC_SUCCESS);
    EXPECT_EQ(status.Reserved, 0);
    return status.ConditionCode;
}

}  // namespace tarnwick::testing
