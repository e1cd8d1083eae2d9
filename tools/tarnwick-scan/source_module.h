// A TWAIN data source file loaded by path, and its DS_Entry.
#pragma once

#include <string>

#include "platform/library.h"
#include "twain/records.h"

namespace harness {

using DSENTRYPROC = TW_UINT16(TW_CALLINFO*)(TW_IDENTITY* pOrigin, TW_UINT32 DG, TW_UINT16 DAT,
                                            TW_UINT16 MSG, TW_MEMREF pData);

class SourceModule {
  public:
    // Loads the file; on failure `error()` says why.
    explicit SourceModule(const std::string& path);

    bool loaded() const { return entry_ != nullptr; }
    const std::string& error() const { return error_; }

    // One request from the harness application.
    TW_UINT16 call(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData);

  private:
    platform::LibraryHandle library_ = nullptr;
    DSENTRYPROC entry_ = nullptr;
    std::string error_;
};

}  // namespace harness
