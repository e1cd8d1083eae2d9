// Capability containers: the answers built for the application, and the values it sends.
#pragma once

#include <cstdint>
#include <vector>

#include "twain/records.h"

namespace tarnwick {

class DataSource;

// Byte size of one list item; only 16-bit and fixed-point items are ever listed.
std::size_t itemSize(TW_UINT16 itemType);

// Each allocates a zero-filled block with the manager's memory functions (DsmLink), fills it,
// stores ConType and hContainer into the capability and answers TWRC_SUCCESS; when memory is short,
// TWRC_FAILURE with TWCC_LOWMEMORY. List items and range values are given as their 32-bit images
// (fix32Bits for TW_FIX32).
TW_UINT16 makeOneValue(DataSource& source, TW_CAPABILITY& capability, TW_UINT16 itemType,
                       TW_UINT32 item);
TW_UINT16 makeEnumeration(DataSource& source, TW_CAPABILITY& capability, TW_UINT16 itemType,
                          TW_UINT32 currentIndex, TW_UINT32 defaultIndex,
                          const std::vector<TW_UINT32>& items);
TW_UINT16 makeArray(DataSource& source, TW_CAPABILITY& capability, TW_UINT16 itemType,
                    const std::vector<TW_UINT32>& items);
TW_UINT16 makeRange(DataSource& source, TW_CAPABILITY& capability, TW_UINT16 itemType,
                    TW_UINT32 minimum, TW_UINT32 maximum, TW_UINT32 step, TW_UINT32 defaultValue,
                    TW_UINT32 current);

// The value an application sends with MSG_SET. The container is read, never freed.
enum class SentKind { none, oneValue, enumeration };
struct SentValue {
    SentKind kind = SentKind::none;
    TW_UINT32 item = 0;  // the one value's Item, or the enumeration's 16-bit current item
};
// A one value, or (when `enumerations` is set) the TW_UINT16 item at CurrentIndex of an
// enumeration whose index lies inside its list; any other container reads as none.
SentValue readSentValue(DataSource& source, const TW_CAPABILITY& capability, bool enumerations);

}  // namespace tarnwick
