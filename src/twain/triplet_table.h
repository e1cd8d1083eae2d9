// Which triplets the source carries out, in which states.
#pragma once

#include <vector>

#include "twain/records.h"
#include "twain/triplet_handlers.h"

namespace tarnwick {

struct TripletRule {
    TW_UINT32 DG;
    TW_UINT16 DAT;
    bool anyMessage;  // DAT_EVENT takes every MSG
    TW_UINT16 MSG;
    TW_INT32 lowestState;
    TW_INT32 highestState;
    bool readsData;  // pData must not be null
    TripletHandler handler;
};

// The rule for a triplet; null when its DG, DAT or MSG is not supported.
const TripletRule* findTriplet(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG);

// CAP_SUPPORTEDDATS: each supported DG / DAT once, as DG in the high word and DAT in the low.
std::vector<TW_UINT32> supportedDataPairs();

}  // namespace tarnwick
