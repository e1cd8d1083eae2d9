#include "twain/dsm_link.h"

#include "platform/dsm_names.h"

namespace tarnwick {

namespace {

DSMENTRYPROC asEntry(platform::FunctionAddress address) {
    return reinterpret_cast<DSMENTRYPROC>(address);
}

}  // namespace

DsmLink::DsmLink()
    : DsmLink(Loader{platform::dsmLibraryNames, platform::loadLibrary, platform::findFunction,
                     platform::findProcessFunction}) {}

DsmLink::DsmLink(Loader loader) : loader_(std::move(loader)) {}

void DsmLink::loadLibrary() {
    for (const char* name : loader_.libraryNames()) {
        library_ = loader_.loadLibrary(name);
        if (library_) return;
    }
}

DSMENTRYPROC DsmLink::entry() {
    if (!entry_ && library_) entry_ = asEntry(loader_.findFunction(library_, "DSM_Entry"));
    // A program that loads the source itself (the harness) acts as its manager.
    if (!entry_ && !library_) entry_ = asEntry(loader_.findProcessFunction("DSM_Entry"));
    return entry_;
}

}  // namespace tarnwick
