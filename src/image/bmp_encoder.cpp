#include "image/bmp_encoder.h"

#include <algorithm>
#include <vector>

namespace tarnwick {

namespace {

void put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int k = 0; k < bytes; ++k) out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
}

}  // namespace

bool writeBmp(platform::ByteSink& out, const PageRows& page) {
    const platform::RasterFormat& f = page.format;
    const int bits = f.channels * f.bitsPerSample;
    const std::uint32_t colours = bits == 1 ? 2 : bits == 8 ? 256 : 0;
    const std::size_t packed = platform::packedRowBytes(f);
    const std::size_t stride = (packed + 3) / 4 * 4;
    const std::uint32_t offset = 14 + 40 + 4 * colours;
    const std::uint64_t size = offset + static_cast<std::uint64_t>(stride) * f.height;
    if (size > 0xFFFFFFFFull) return false;
    const auto perMetre = [](double dpi) { return static_cast<std::uint32_t>(dpi / 0.0254 + 0.5); };
    std::vector<std::uint8_t> header;
    header.push_back('B');
    header.push_back('M');
    put(header, static_cast<std::uint32_t>(size), 4);
    put(header, 0, 4);
    put(header, offset, 4);
    put(header, 40, 4);
    put(header, static_cast<std::uint32_t>(f.width), 4);
    put(header, static_cast<std::uint32_t>(f.height), 4);  // positive: bottom-up
    put(header, 1, 2);
    put(header, static_cast<std::uint32_t>(bits), 2);
    put(header, 0, 4);  // BI_RGB
    put(header, static_cast<std::uint32_t>(stride * static_cast<std::size_t>(f.height)), 4);
    put(header, perMetre(f.xDpi), 4);
    put(header, perMetre(f.yDpi), 4);
    put(header, colours, 4);
    put(header, 0, 4);
    for (std::uint32_t i = 0; i < colours; ++i) {
        const auto level = static_cast<std::uint8_t>(colours == 2 ? i * 255 : i);
        header.insert(header.end(), {level, level, level, 0});
    }
    if (!out.write(header.data(), header.size())) return false;
    std::vector<std::uint8_t> row(stride, 0);
    for (int y = f.height - 1; y >= 0; --y) {
        page.row(y, row.data());
        if (f.channels == 3)
            for (std::size_t x = 0; x + 2 < packed; x += 3) std::swap(row[x], row[x + 2]);
        if (!out.write(row.data(), row.size())) return false;
    }
    return true;
}

}  // namespace tarnwick
