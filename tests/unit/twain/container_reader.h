// Reads back the containers a capability request answered, and builds the ones an
// application sends.
#pragma once

#include <cstring>
#include <vector>

#include "platform/global_memory.h"
#include "twain/records.h"

namespace tarnwick::testing {

struct Answer {
    TW_UINT16 conType = 0;
    TW_UINT16 itemType = 0;
    std::vector<TW_UINT32> values;  // one value: Item; range: min, max, step, default, current
    TW_UINT32 currentIndex = 0, defaultIndex = 0;
};

// Reads and frees the container of the capability.
inline Answer takeAnswer(TW_CAPABILITY& cap) {
    Answer a;
    a.conType = cap.ConType;
    const auto* b = static_cast<const std::uint8_t*>(platform::globalLock(cap.hContainer));
    if (!b) return a;
    const auto u32 = [&](std::size_t at) {
        TW_UINT32 v;
        std::memcpy(&v, b + at, 4);
        return v;
    };
    std::memcpy(&a.itemType, b, 2);
    const std::size_t size =
        a.itemType == TWTY_FIX32 || a.itemType == TWTY_INT32 || a.itemType == TWTY_UINT32 ? 4 : 2;
    const auto item = [&](std::size_t at) -> TW_UINT32 {
        if (size == 4) return u32(at);
        TW_UINT16 v;
        std::memcpy(&v, b + at, 2);
        return v;
    };
    switch (cap.ConType) {
        case TWON_ONEVALUE:
            a.values = {u32(2)};
            break;
        case TWON_RANGE:
            for (std::size_t at = 2; at <= 18; at += 4) a.values.push_back(u32(at));
            break;
        case TWON_ENUMERATION:
            a.currentIndex = u32(6);
            a.defaultIndex = u32(10);
            for (TW_UINT32 i = 0; i < u32(2); ++i) a.values.push_back(item(14 + i * size));
            break;
        case TWON_ARRAY:
            for (TW_UINT32 i = 0; i < u32(2); ++i) a.values.push_back(item(6 + i * size));
            break;
    }
    platform::globalUnlock(cap.hContainer);
    platform::globalFree(cap.hContainer);
    cap.hContainer = nullptr;
    return a;
}

// A container as an application sends it; freed by the destructor, not by the source.
struct SentContainer {
    TW_CAPABILITY cap{};
    SentContainer(TW_UINT16 capability, TW_UINT32 item, TW_UINT16 itemType = TWTY_UINT16) {
        cap.Cap = capability;
        cap.ConType = TWON_ONEVALUE;
        cap.hContainer = platform::globalAlloc(sizeof(TW_ONEVALUE));
        auto* b = static_cast<std::uint8_t*>(platform::globalLock(cap.hContainer));
        std::memcpy(b, &itemType, 2);
        std::memcpy(b + 2, &item, 4);
        platform::globalUnlock(cap.hContainer);
    }
    // An enumeration of 16-bit items with the given current index.
    struct List {
        std::vector<TW_UINT16> items;
        TW_UINT32 current;
    };
    SentContainer(TW_UINT16 capability, const List& list) {
        const std::vector<TW_UINT16>& items = list.items;
        const TW_UINT32 current = list.current;
        cap.Cap = capability;
        cap.ConType = TWON_ENUMERATION;
        cap.hContainer = platform::globalAlloc(14 + 2 * items.size());
        auto* b = static_cast<std::uint8_t*>(platform::globalLock(cap.hContainer));
        const TW_UINT16 type = TWTY_UINT16;
        const auto count = static_cast<TW_UINT32>(items.size());
        std::memcpy(b, &type, 2);
        std::memcpy(b + 2, &count, 4);
        std::memcpy(b + 6, &current, 4);
        std::memcpy(b + 14, items.data(), 2 * items.size());
        platform::globalUnlock(cap.hContainer);
    }
    ~SentContainer() { platform::globalFree(cap.hContainer); }
    SentContainer(const SentContainer&) = delete;
    SentContainer& operator=(const SentContainer&) = delete;
};

}  // namespace tarnwick::testing
