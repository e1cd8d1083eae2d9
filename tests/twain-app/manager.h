// The TWAIN Working Group's manager as a TWAIN 2 application uses it: loaded by its platform name,
// with its entry point and memory functions, and the source's notifications as they arrive.
#pragma once

#include <string>
#include <vector>

#include "twain/records.h"

namespace twainapp {

class Manager {
  public:
    // Loads the manager and opens it (MSG_OPENDSM); on failure `error()` says why.
    Manager();
    ~Manager();
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    const std::string& error() const { return error_; }
    bool open() const { return opened_; }

    // A request to the manager itself (pDest null) or to the opened source.
    TW_UINT16 toManager(TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data);
    TW_UINT16 toSource(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data);
    // The source's condition code after a failure, read through the manager.
    TW_UINT16 condition();

    // Finds the source named `product` among the manager's and opens it.
    bool openSource(const std::string& product);
    void closeSource();
    // DAT_CALLBACK / MSG_REGISTER_CALLBACK: notifications arrive by call, not by DAT_EVENT.
    bool registerCallback();
    // Waits (bounded) for the next notification; MSG_NULL when none came. With callbacks it
    // only waits; otherwise it runs the message loop and offers every message by DAT_EVENT.
    TW_UINT16 nextNotification(bool messageLoop);

    TW_HANDLE allocate(TW_UINT32 size) { return entry_.DSM_MemAllocate(size); }
    void* lock(TW_HANDLE handle) { return entry_.DSM_MemLock(handle); }
    void unlock(TW_HANDLE handle) { entry_.DSM_MemUnlock(handle); }
    void release(TW_HANDLE handle) { entry_.DSM_MemFree(handle); }

  private:
    void* library_ = nullptr;
    DSMENTRYPROC dsmEntry_ = nullptr;
    TW_ENTRYPOINT entry_{};
    TW_IDENTITY source_{};
    void* window_ = nullptr;  // the parent window of the message loop (Windows)
    bool opened_ = false;
    bool sourceOpen_ = false;
    std::string error_;
};

}  // namespace twainapp
