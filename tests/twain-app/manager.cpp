#include "manager.h"

#include <chrono>
#include <cstring>
#include <deque>
#include <thread>

#include "platform/library.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace twainapp {

namespace {

#ifdef _WIN32
constexpr const char* kManager = "TWAINDSM.dll";
#else
constexpr const char* kManager = "libtwaindsm.so";
#endif

std::deque<TW_UINT16>& arrived() {
    static std::deque<TW_UINT16> messages;
    return messages;
}

TW_IDENTITY& application() {
    static TW_IDENTITY identity = [] {
        TW_IDENTITY id{};
        id.Version.MajorNum = 1;
        id.Version.Language = TWLG_ENGLISH;
        id.Version.Country = TWCY_USA;
        std::strcpy(id.Version.Info, "1.0");
        id.ProtocolMajor = 2;
        id.ProtocolMinor = 4;
        id.SupportedGroups = DG_CONTROL | DG_IMAGE | DF_APP2;
        std::strcpy(id.Manufacturer, "Tarnwick project");
        std::strcpy(id.ProductFamily, "Tarnwick tests");
        std::strcpy(id.ProductName, "tarnwick-twain-app");
        return id;
    }();
    return identity;
}

// The manager calls this with the source as origin and the application as destination.
TW_UINT16 TW_CALLINFO callback(TW_IDENTITY* origin, TW_IDENTITY* destination, TW_UINT32 DG,
                               TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF) {
    if (!origin || !destination || destination->Id != application().Id || DG != DG_CONTROL ||
        DAT != DAT_NULL)
        return TWRC_FAILURE;
    arrived().push_back(MSG);
    return TWRC_SUCCESS;
}

}  // namespace

Manager::Manager() {
    library_ = platform::loadLibrary(kManager);
    if (!library_) {
        error_ = std::string("cannot load ") + kManager + ": " + platform::lastLibraryError();
        return;
    }
    dsmEntry_ = reinterpret_cast<DSMENTRYPROC>(platform::findFunction(library_, "DSM_Entry"));
    if (!dsmEntry_) {
        error_ = std::string(kManager) + " exports no DSM_Entry";
        return;
    }
#ifdef _WIN32
    window_ = CreateWindowA("STATIC", "tarnwick-twain-app", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
#endif
    TW_MEMREF parent = &window_;
    if (toManager(DAT_PARENT, MSG_OPENDSM, parent) != TWRC_SUCCESS) {
        error_ = "MSG_OPENDSM failed";
        return;
    }
    opened_ = true;
    entry_.Size = sizeof entry_;
    if (toManager(DAT_ENTRYPOINT, MSG_GET, &entry_) != TWRC_SUCCESS || !entry_.DSM_MemAllocate) {
        error_ = "the manager offers no DAT_ENTRYPOINT";
        opened_ = false;
    }
}

Manager::~Manager() {
    closeSource();
    if (opened_) toManager(DAT_PARENT, MSG_CLOSEDSM, &window_);
#ifdef _WIN32
    if (window_) DestroyWindow(static_cast<HWND>(window_));
#endif
}

TW_UINT16 Manager::toManager(TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data) {
    return dsmEntry_(&application(), nullptr, DG_CONTROL, DAT, MSG, data);
}

TW_UINT16 Manager::toSource(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data) {
    return dsmEntry_(&application(), &source_, DG, DAT, MSG, data);
}

TW_UINT16 Manager::condition() {
    TW_STATUS status{};
    toSource(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
    return status.ConditionCode;
}

bool Manager::openSource(const std::string& product) {
    TW_IDENTITY candidate{};
    for (TW_UINT16 msg = MSG_GETFIRST; toManager(DAT_IDENTITY, msg, &candidate) == TWRC_SUCCESS;
         msg = MSG_GETNEXT) {
        if (product == candidate.ProductName) {
            source_ = candidate;
            if (toManager(DAT_IDENTITY, MSG_OPENDS, &source_) != TWRC_SUCCESS) return false;
            sourceOpen_ = true;
            return true;
        }
    }
    return false;
}

void Manager::closeSource() {
    if (sourceOpen_) toManager(DAT_IDENTITY, MSG_CLOSEDS, &source_);
    sourceOpen_ = false;
}

bool Manager::registerCallback() {
    TW_CALLBACK registration{reinterpret_cast<TW_MEMREF>(&callback), 0, 0};
    return toSource(DG_CONTROL, DAT_CALLBACK, MSG_REGISTER_CALLBACK, &registration) == TWRC_SUCCESS;
}

TW_UINT16 Manager::nextNotification(bool messageLoop) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (arrived().empty() && std::chrono::steady_clock::now() < deadline) {
#ifdef _WIN32
        if (messageLoop) {
            MSG msg;
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                // A quiet queue is offered a null message now and then, so that a notification
                // the manager holds is collected even when its wake-up got lost.
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
                msg = MSG{static_cast<HWND>(window_), WM_NULL, 0, 0, 0, {0, 0}};
            }
            TW_EVENT event{&msg, MSG_NULL};
            if (toSource(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) == TWRC_DSEVENT) {
                if (event.TWMessage != MSG_NULL) arrived().push_back(event.TWMessage);
            } else {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            continue;
        }
#else
        (void)messageLoop;
#endif
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (arrived().empty()) return MSG_NULL;
    const TW_UINT16 message = arrived().front();
    arrived().pop_front();
    return message;
}

}  // namespace twainapp
