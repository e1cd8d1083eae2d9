// An allocator whose blocks arrive zero-filled and whose elements are default-initialised, so
// that sizing a new vector writes nothing: a scan's pixels are written once, by the decoding.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

#include "platform/pixel_memory.h"

namespace tarnwick {

template <class T>
struct ZeroedAllocator {
    using value_type = T;

    ZeroedAllocator() = default;
    template <class U>
    explicit ZeroedAllocator(const ZeroedAllocator<U>&) {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        void* block = platform::allocateZeroed(n * sizeof(T));
        if (!block) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, std::size_t n) { platform::freeZeroed(block, n * sizeof(T)); }

    template <class U>
    void construct(U* at) {
        ::new (static_cast<void*>(at)) U;
    }
    template <class U, class... Args>
    void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }

    template <class U>
    bool operator==(const ZeroedAllocator<U>&) const {
        return true;
    }
};

}  // namespace tarnwick
