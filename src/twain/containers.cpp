#include "twain/containers.h"

#include <cstring>

#include "twain/data_source.h"

namespace tarnwick {

namespace {

// Block offsets of the container fields.
constexpr std::size_t kEnumerationItems = 14;
constexpr std::size_t kArrayItems = 6;

template <typename T>
void put(std::uint8_t* block, std::size_t offset, T value) {
    std::memcpy(block + offset, &value, sizeof value);
}

void putItem(std::uint8_t* block, std::size_t offset, TW_UINT16 itemType, TW_UINT32 item) {
    if (itemSize(itemType) == 2)
        put(block, offset, static_cast<TW_UINT16>(item));
    else
        put(block, offset, item);
}

// Allocates, lets `fill` write the locked block and hands it to the capability.
template <typename Fill>
TW_UINT16 build(DataSource& source, TW_CAPABILITY& capability, TW_UINT16 conType, std::size_t bytes,
                Fill fill) {
    const DsmLink& memory = source.dsm();
    platform::GlobalHandle handle = memory.allocate(bytes);
    auto* block = static_cast<std::uint8_t*>(memory.lock(handle));
    if (!block) {
        memory.release(handle);
        return source.setCondition(TWCC_LOWMEMORY, TWRC_FAILURE);
    }
    fill(block);
    memory.unlock(handle);
    capability.ConType = conType;
    capability.hContainer = handle;
    return TWRC_SUCCESS;
}

}  // namespace

std::size_t itemSize(TW_UINT16 itemType) {
    switch (itemType) {
        case TWTY_INT8:
        case TWTY_UINT8:
            return 1;
        case TWTY_INT16:
        case TWTY_UINT16:
        case TWTY_BOOL:
            return 2;
        default:
            return 4;
    }
}

TW_UINT16 makeOneValue(DataSource& source, TW_CAPABILITY& capability, TW_UINT16 itemType,
                       TW_UINT32 item) {
    return build(source, capability, TWON_ONEVALUE, sizeof(TW_ONEVALUE), [&](std::uint8_t* b) {
        put(b, 0, itemType);
        put(b, 2, item);
    });
}

TW_UINT16 makeEnumeration(DataSource& source, TW_CAPABILITY& capability, TW_UINT16 itemType,
                          TW_UINT32 currentIndex, TW_UINT32 defaultIndex,
                          const std::vector<TW_UINT32>& items) {
    const std::size_t size = itemSize(itemType);
    return build(source, capability, TWON_ENUMERATION, 15 + items.size() * size,
                 [&](std::uint8_t* b) {
                     put(b, 0, itemType);
                     put(b, 2, static_cast<TW_UINT32>(items.size()));
                     put(b, 6, currentIndex);
                     put(b, 10, defaultIndex);
                     for (std::size_t i = 0; i < items.size(); ++i)
                         putItem(b, kEnumerationItems + i * size, itemType, items[i]);
                 });
}

TW_UINT16 makeArray(DataSource& source, TW_CAPABILITY& capability, TW_UINT16 itemType,
                    const std::vector<TW_UINT32>& items) {
    const std::size_t size = itemSize(itemType);
    return build(source, capability, TWON_ARRAY, 7 + items.size() * size, [&](std::uint8_t* b) {
        put(b, 0, itemType);
        put(b, 2, static_cast<TW_UINT32>(items.size()));
        for (std::size_t i = 0; i < items.size(); ++i)
            putItem(b, kArrayItems + i * size, itemType, items[i]);
    });
}

TW_UINT16 makeRange(DataSource& source, TW_CAPABILITY& capability, TW_UINT16 itemType,
                    TW_UINT32 minimum, TW_UINT32 maximum, TW_UINT32 step, TW_UINT32 defaultValue,
                    TW_UINT32 current) {
    return build(source, capability, TWON_RANGE, sizeof(TW_RANGE), [&](std::uint8_t* b) {
        put(b, 0, itemType);
        put(b, 2, minimum);
        put(b, 6, maximum);
        put(b, 10, step);
        put(b, 14, defaultValue);
        put(b, 18, current);
    });
}

SentValue readSentValue(DataSource& source, const TW_CAPABILITY& capability, bool enumerations) {
    SentValue value;
    const DsmLink& memory = source.dsm();
    const auto* block = static_cast<const std::uint8_t*>(memory.lock(capability.hContainer));
    if (!block) return value;
    if (capability.ConType == TWON_ONEVALUE) {
        value.kind = SentKind::oneValue;
        std::memcpy(&value.item, block + 2, sizeof value.item);
    } else if (capability.ConType == TWON_ENUMERATION && enumerations) {
        TW_UINT32 count = 0, current = 0;
        std::memcpy(&count, block + 2, sizeof count);
        std::memcpy(&current, block + 6, sizeof current);
        // The application's list bounds the index; the item is read as TWAIN's 16-bit type.
        if (current < count) {
            TW_UINT16 item = 0;
            std::memcpy(&item, block + kEnumerationItems + 2 * std::size_t{current}, sizeof item);
            value.kind = SentKind::enumeration;
            value.item = item;
        }
    }
    memory.unlock(capability.hContainer);
    return value;
}

}  // namespace tarnwick
