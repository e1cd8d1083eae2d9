#include "twain/entry.h"

#include <new>

#include "base/debug_log.h"

namespace tarnwick {

namespace {

#ifdef TARNWICK_DEBUG_LOG
constexpr bool kLogFromLoad = true;
#else
constexpr bool kLogFromLoad = false;
#endif

// Created when the module is loaded, destroyed when it is unloaded, in this order: the log
// outlives the source so that closing the scanner at unload can still write to it.
struct ProcessObjects {
    DebugLogSession log{kLogFromLoad};
    DataSource source;
    WordKeyLinks wordKey = moduleWordKeyLinks();
};

ProcessObjects processObjects;

}  // namespace

DataSource& processDataSource() {
    return processObjects.source;
}

TW_UINT16 enterSource(DataSource& source, const WordKeyLinks& links, TW_IDENTITY* pOrigin,
                      TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF pData) {
    try {
        applyWordKeyRule(appIdentity, DG, DAT, links);
        return source.dispatch(pOrigin, DG, DAT, MSG, pData);
    } catch (const std::bad_alloc&) {
        return source.setCondition(TWCC_LOWMEMORY, TWRC_FAILURE);
    } catch (...) {
        return source.setCondition(TWCC_BUMMER, TWRC_FAILURE);
    }
}

TW_UINT16 dsEntry(TW_IDENTITY* pOrigin, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                  TW_MEMREF pData) {
    return enterSource(processObjects.source, processObjects.wordKey, pOrigin, DG, DAT, MSG, pData);
}

}  // namespace tarnwick
