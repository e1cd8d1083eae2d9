#include "image/swap_red_blue.h"

#include <bit>
#include <cstring>

namespace tarnwick {

namespace {

std::uint32_t load(const std::uint8_t* at) {
    std::uint32_t word;
    std::memcpy(&word, at, 4);
    return word;
}

void store(std::uint8_t* at, std::uint32_t word) {
    std::memcpy(at, &word, 4);
}

}  // namespace

// Four pixels at a time as three words, which is faster than byte by byte.
static_assert(std::endian::native == std::endian::little, "the words are read little-endian");

void swapRedBlue(const std::uint8_t* from, std::uint8_t* to, int pixels) {
    int x = 0;
    for (; x + 4 <= pixels; x += 4, from += 12, to += 12) {
        // Bytes a: c0 m0 d0 c1, b: m1 d1 c2 m2, c: d2 c3 m3 d3 (c and d exchange, m stays).
        const std::uint32_t a = load(from), b = load(from + 4), c = load(from + 8);
        store(to,
              (a >> 16 & 0xFFu) | (a & 0xFF00u) | (a << 16 & 0xFF0000u) | (b << 16 & 0xFF000000u));
        store(to + 4, (b & 0xFFu) | (a >> 24) << 8 | (c & 0xFFu) << 16 | (b & 0xFF000000u));
        store(to + 8,
              (b >> 16 & 0xFFu) | (c >> 24) << 8 | (c & 0xFF0000u) | (c << 16 & 0xFF000000u));
    }
    for (; x < pixels; ++x, from += 3, to += 3) {
        to[0] = from[2];
        to[1] = from[1];
        to[2] = from[0];
    }
}

}  // namespace tarnwick
