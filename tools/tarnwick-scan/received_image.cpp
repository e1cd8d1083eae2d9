#include "received_image.h"

#include <array>
#include <cstring>

namespace harness {

std::size_t ReceivedImage::rowBytes() const {
    const auto w = static_cast<std::size_t>(width);
    const std::size_t bytes = bitsPerSample == 16 ? 2 : 1;
    switch (kind) {
        case PixelKind::bw:
            return (w + 7) / 8;
        case PixelKind::gray:
            return w * bytes;
        case PixelKind::rgb:
            return 3 * w * bytes;
    }
    return 3 * w * bytes;
}

void ReceivedImage::resize(int w, int h, PixelKind k, int bits) {
    width = w;
    height = h;
    kind = k;
    bitsPerSample = k == PixelKind::bw ? 1 : bits;
    pixels.assign(rowBytes() * static_cast<std::size_t>(h), 0);
}

namespace {

std::uint32_t u32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::uint16_t u16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

void putBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(v >> shift));
}
void putLittle(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void pngChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
    putBig32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBig32(out, crc32(out.data() + start, out.size() - start));
}

// A zlib stream of stored (uncompressed) deflate blocks.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> out = {0x78, 0x01};
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, data.size() - at);
        out.push_back(at + n == data.size() ? 1 : 0);
        putLittle(out, static_cast<std::uint32_t>(n), 2);
        putLittle(out, static_cast<std::uint32_t>(~n & 0xFFFF), 2);
        out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(at),
                   data.begin() + static_cast<std::ptrdiff_t>(at + n));
        at += n;
    } while (at < data.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBig32(out, b << 16 | a);
    return out;
}

bool deep(const ReceivedImage& image) {
    return image.bitsPerSample == 16;
}

// A row in a file's order: 16-bit samples most significant byte first.
void bigEndianRow(const ReceivedImage& image, int y, std::uint8_t* out) {
    const std::uint8_t* from = image.row(y);
    for (std::size_t i = 0; i + 1 < image.rowBytes(); i += 2) {
        out[i] = from[i + 1];
        out[i + 1] = from[i];
    }
}

bool isGreyRamp(const std::uint8_t* table, std::size_t entries) {
    for (std::size_t i = 0; i < entries; ++i) {
        const std::uint8_t* e = table + 4 * i;
        if (e[0] != i || e[1] != i || e[2] != i) return false;
    }
    return entries == 256;
}

}  // namespace

bool fromDib(const std::uint8_t* dib, std::size_t size, ReceivedImage& image, std::string& error) {
    if (size < 40 || u32(dib) < 40) {
        error = "the bitmap header is short";
        return false;
    }
    const auto width = static_cast<std::int32_t>(u32(dib + 4));
    const auto rawHeight = static_cast<std::int32_t>(u32(dib + 8));
    const int bits = u16(dib + 14);
    if (width <= 0 || width > 1 << 20 || rawHeight == 0 || rawHeight < -(1 << 20) ||
        rawHeight > 1 << 20 || (bits != 1 && bits != 8 && bits != 24) || u32(dib + 16) != 0) {
        error = "the bitmap header describes no image the harness reads";
        return false;
    }
    const bool bottomUp = rawHeight > 0;
    const int height = bottomUp ? rawHeight : -rawHeight;
    std::size_t entries = bits == 24 ? 0 : u32(dib + 32);
    if (bits != 24 && (entries == 0 || entries > (std::size_t{1} << bits)))
        entries = std::size_t{1} << bits;
    const std::size_t tableAt = u32(dib);
    const std::size_t pixelsAt = tableAt + 4 * entries;
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    if (pixelsAt > size || stride * static_cast<std::size_t>(height) > size - pixelsAt) {
        error = "the bitmap is shorter than its header says";
        return false;
    }
    const std::uint8_t* table = dib + tableAt;
    const auto sourceRow = [&](int y) {
        return dib + pixelsAt + stride * static_cast<std::size_t>(bottomUp ? height - 1 - y : y);
    };
    if (bits == 1) {
        // Bit value 0 is black when the first colour is darker than the second.
        const bool invert = table[0] + table[1] + table[2] > table[4] + table[5] + table[6];
        image.resize(width, height, PixelKind::bw);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* from = sourceRow(y);
            for (std::size_t i = 0; i < image.rowBytes(); ++i)
                image.row(y)[i] = invert ? static_cast<std::uint8_t>(~from[i]) : from[i];
        }
    } else if (bits == 8 && isGreyRamp(table, entries)) {
        image.resize(width, height, PixelKind::gray);
        for (int y = 0; y < height; ++y) std::memcpy(image.row(y), sourceRow(y), image.rowBytes());
    } else {
        image.resize(width, height, PixelKind::rgb);
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* from = sourceRow(y);
            std::uint8_t* to = image.row(y);
            for (int x = 0; x < width; ++x) {
                const std::uint8_t* bgr = bits == 24 ? from + 3 * x : table + 4 * from[x];
                if (bits == 8 && from[x] >= entries) bgr = table;  // outside the table
                to[3 * x] = bgr[2];
                to[3 * x + 1] = bgr[1];
                to[3 * x + 2] = bgr[0];
            }
        }
    }
    return true;
}

std::vector<std::uint8_t> encodePng(const ReceivedImage& image) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    putBig32(header, static_cast<std::uint32_t>(image.width));
    putBig32(header, static_cast<std::uint32_t>(image.height));
    header.push_back(
        static_cast<std::uint8_t>(image.kind == PixelKind::bw ? 1 : image.bitsPerSample));
    header.push_back(image.kind == PixelKind::rgb ? 2 : 0);
    header.insert(header.end(), {0, 0, 0});
    pngChunk(out, "IHDR", header);
    std::vector<std::uint8_t> raw;
    raw.reserve((image.rowBytes() + 1) * static_cast<std::size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // no filter
        raw.insert(raw.end(), image.row(y), image.row(y) + image.rowBytes());
        if (deep(image)) bigEndianRow(image, y, raw.data() + raw.size() - image.rowBytes());
    }
    pngChunk(out, "IDAT", zlibStored(raw));
    pngChunk(out, "IEND", {});
    return out;
}

std::vector<std::uint8_t> encodeBmp(const ReceivedImage& image) {
    const int bits = image.kind == PixelKind::bw ? 1 : image.kind == PixelKind::gray ? 8 : 24;
    const std::uint32_t entries = bits == 24 ? 0 : 1u << bits;
    const std::size_t stride = (static_cast<std::size_t>(image.width) * bits + 31) / 32 * 4;
    const std::size_t pixels = stride * static_cast<std::size_t>(image.height);
    const std::uint32_t offset = 14 + 40 + 4 * entries;
    std::vector<std::uint8_t> out = {'B', 'M'};
    putLittle(out, static_cast<std::uint32_t>(offset + pixels), 4);
    putLittle(out, 0, 4);
    putLittle(out, offset, 4);
    putLittle(out, 40, 4);
    putLittle(out, static_cast<std::uint32_t>(image.width), 4);
    putLittle(out, static_cast<std::uint32_t>(image.height), 4);
    putLittle(out, 1, 2);
    putLittle(out, static_cast<std::uint32_t>(bits), 2);
    putLittle(out, 0, 4);
    putLittle(out, static_cast<std::uint32_t>(pixels), 4);
    putLittle(out, 0, 16);  // resolution and colour counts
    for (std::uint32_t i = 0; i < entries; ++i) {
        const auto v = static_cast<std::uint8_t>(bits == 1 ? i * 255 : i);
        out.insert(out.end(), {v, v, v, 0});
    }
    for (int y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* row = image.row(y);
        // 16-bit samples keep their most significant byte.
        std::vector<std::uint8_t> high;
        if (deep(image)) {
            for (std::size_t i = 1; i < image.rowBytes(); i += 2) high.push_back(row[i]);
            row = high.data();
        }
        const std::uint8_t* from = row;
        const std::size_t start = out.size();
        if (bits == 24) {
            for (int x = 0; x < image.width; ++x)
                out.insert(out.end(), {from[3 * x + 2], from[3 * x + 1], from[3 * x]});
        } else {
            out.insert(out.end(), from, from + (deep(image) ? high.size() : image.rowBytes()));
        }
        out.resize(start + stride, 0);
    }
    return out;
}

bool writePnm(const ReceivedImage& image, std::ostream& out) {
    const char* magic = image.kind == PixelKind::bw     ? "P4"
                        : image.kind == PixelKind::gray ? "P5"
                                                        : "P6";
    out << magic << "\n" << image.width << " " << image.height << "\n";
    if (image.kind != PixelKind::bw) out << (deep(image) ? "65535\n" : "255\n");
    // Row by row: a page of hundreds of megabytes is not held a second time.
    std::vector<char> row(image.rowBytes());
    for (int y = 0; y < image.height; ++y) {
        if (deep(image)) {
            bigEndianRow(image, y, reinterpret_cast<std::uint8_t*>(row.data()));
            out.write(row.data(), static_cast<std::streamsize>(row.size()));
            continue;
        }
        const std::uint8_t* from = image.row(y);
        for (std::size_t i = 0; i < row.size(); ++i)
            // In a bitmap file a set bit is black.
            row[i] = static_cast<char>(image.kind == PixelKind::bw ? ~from[i] : from[i]);
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
    return static_cast<bool>(out);
}

}  // namespace harness
