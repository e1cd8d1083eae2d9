#include "source_module.h"

#include "own_dsm.h"

namespace harness {

SourceModule::SourceModule(const std::string& path) {
    library_ = platform::loadLibrary(path.c_str());
    if (!library_) {
        error_ = "cannot load the data source " + path;
        const std::string reason = platform::lastLibraryError();
        if (!reason.empty()) error_ += ": " + reason;
        return;
    }
    entry_ = reinterpret_cast<DSENTRYPROC>(platform::findFunction(library_, "DS_Entry"));
    if (!entry_) error_ = path + " exports no DS_Entry";
}

TW_UINT16 SourceModule::call(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData) {
    return entry_(&applicationIdentity(), DG, DAT, MSG, pData);
}

}  // namespace harness
