// An image as the harness received it, and the files it is written to.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace harness {

enum class PixelKind { bw, gray, rgb };

struct ReceivedImage {
    int width = 0;
    int height = 0;
    PixelKind kind = PixelKind::rgb;
    // 8, or 16 for grey and colour samples of two bytes, least significant first as a memory
    // transfer delivers them.
    int bitsPerSample = 8;
    // Rows from the top, packed: bw one bit per pixel from the most significant (0 black, as
    // TWAIN's chocolate flavour has it), gray one sample, rgb red, green, blue.
    std::vector<std::uint8_t> pixels;
    // Raw CCITT Group 4 data in place of the pixels, as a compressed memory transfer of black
    // and white sends it: the harness has no fax decoder, so the data is written as it came.
    std::vector<std::uint8_t> group4;

    std::size_t rowBytes() const;
    std::uint8_t* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * rowBytes(); }
    const std::uint8_t* row(int y) const {
        return pixels.data() + static_cast<std::size_t>(y) * rowBytes();
    }
    void resize(int w, int h, PixelKind k, int bits = 8);
};

// A packed device-independent bitmap (header, colour table, rows) as a native transfer hands
// it over; `size` bounds every read. False with `error` set when the bitmap is malformed.
bool fromDib(const std::uint8_t* dib, std::size_t size, ReceivedImage& image, std::string& error);

// The file forms: PNG (uncompressed deflate blocks), Windows BMP, and PBM/PGM/PPM. PNG and
// PNM keep 16-bit samples (PNM with maxval 65535); BMP, which has no such form, keeps their
// most significant byte.
std::vector<std::uint8_t> encodePng(const ReceivedImage& image);
std::vector<std::uint8_t> encodeBmp(const ReceivedImage& image);
// PBM/PGM/PPM, written straight to the stream.
bool writePnm(const ReceivedImage& image, std::ostream& out);

}  // namespace harness
