// Our Group 4 coder: rows of every shape come back bit for bit through libtiff's decoder, and
// its data is the very data libtiff's own coder makes of them.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "platform/group4_encoder.h"
#include "platform/posix/tiff_codec.h"
#include "support/collected_bytes.h"

namespace {

using Pixels = std::function<bool(int x, int y)>;  // true: black

struct Pattern {
    const char* name;
    int width, height;
    Pixels black;
};

using Bytes = tarnwick::testing::CollectedBytes;

// Packed as RasterFormat has it: 0 black, padding bits set to catch a coder that reads them.
std::vector<std::uint8_t> rowOf(const Pattern& p, int y) {
    std::vector<std::uint8_t> row((static_cast<std::size_t>(p.width) + 7) / 8, 0xff);
    for (int x = 0; x < p.width; ++x)
        if (p.black(x, y)) row[static_cast<std::size_t>(x / 8)] &= ~(0x80 >> (x % 8));
    return row;
}

std::vector<std::uint8_t> encoded(const Pattern& p, bool ours) {
    Bytes out;
    const platform::RasterFormat f{p.width, p.height, 1, 1, 200, 200};
    auto encoder = ours ? platform::encodeGroup4Rows(out, f) : platform::encodeGroup4(out, f);
    EXPECT_TRUE(encoder);
    for (int y = 0; y < p.height; ++y) EXPECT_TRUE(encoder->writeRow(rowOf(p, y).data()));
    EXPECT_TRUE(encoder->finish());
    return out.bytes;
}

// The data as the one strip of a MinIsBlack TIFF, decoded by libtiff into rows of 0 black.
std::vector<std::vector<std::uint8_t>> decoded(const Pattern& p, std::vector<std::uint8_t> data) {
    platform::MemoryTiff file;
    TIFF* tiff = platform::openMemoryTiff(file, "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(p.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(p.height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(p.height));
    EXPECT_GE(TIFFWriteRawStrip(tiff, 0, data.data(), static_cast<tmsize_t>(data.size())), 0);
    TIFFClose(tiff);
    file.at = 0;
    tiff = platform::openMemoryTiff(file, "r");
    std::vector<std::vector<std::uint8_t>> rows;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(TIFFScanlineSize(tiff)));
    for (int y = 0; y < p.height && TIFFReadScanline(tiff, row.data(), y, 0) == 1; ++y)
        rows.push_back(row);
    TIFFClose(tiff);
    return rows;
}

// Pixel x of a row, as a bit; the padding bits are not compared.
bool bitAt(const std::vector<std::uint8_t>& row, int x) {
    return (row[static_cast<std::size_t>(x / 8)] >> (7 - x % 8)) & 1;
}

bool noise(int x, int y) {
    return std::minstd_rand(static_cast<unsigned>(y * 10007 + x))() % 3 == 0;
}

// Every second row white, the others a white run of k then a black run of k: horizontal mode
// with every terminating code, every make-up code, and runs longer than 2560.
int runLength(int y) {
    const int k = y / 2;
    return k <= 200 ? k : 200 + (k - 200) * 13;
}

const Pattern kPatterns[] = {
    {"all white", 1728, 3, [](int, int) { return false; }},
    {"all black", 1728, 3, [](int, int) { return true; }},
    {"one pixel white", 1, 2, [](int, int) { return false; }},
    {"one pixel black", 1, 2, [](int, int) { return true; }},
    {"width 7 alternating", 7, 4, [](int x, int y) { return (x + y) % 2 == 0; }},
    {"width 8 left edge", 8, 3, [](int x, int) { return x == 0; }},
    {"width 9 right edge", 9, 3, [](int x, int) { return x == 8; }},
    {"both edges", 1728, 4, [](int x, int y) { return y % 2 == 0 && (x == 0 || x == 1727); }},
    {"alternating columns", 2560, 3, [](int x, int) { return x % 2 == 1; }},
    {"checkerboard", 2560, 4, [](int x, int y) { return (x + y) % 2 == 0; }},
    {"all black wider than a make-up code", 6000, 2, [](int, int) { return true; }},
    {"white run of 5120 then black", 5200, 2, [](int x, int) { return x >= 5120; }},
    {"edges moved by -4 to 4", 300, 36,
     [](int x, int y) {
         const int d = y % 2 == 1 ? y / 2 % 9 - 4 : 0;
         return x >= 120 + d && x < 200 - d;
     }},
    {"left-leaning edges", 64, 16, [](int x, int y) { return x >= 40 - 2 * y && x < 50 - y; }},
    {"noise", 517, 23, noise},
    {"every run length", 10404, 2 * 586,
     [](int x, int y) {
         const int k = runLength(y);
         return y % 2 == 1 && x >= k && x < 2 * k;
     }},
};

TEST(Group4Encoder, RowsDecodeBitForBitAndMatchLibtiff) {
    for (const Pattern& p : kPatterns) {
        SCOPED_TRACE(p.name);
        const std::vector<std::uint8_t> ours = encoded(p, true);
        EXPECT_EQ(ours, encoded(p, false));
        const auto rows = decoded(p, ours);
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(p.height));
        for (int y = 0; y < p.height; ++y) {
            int wrong = 0;
            for (int x = 0; x < p.width; ++x) wrong += bitAt(rows[y], x) == p.black(x, y);
            ASSERT_EQ(wrong, 0) << "row " << y;
        }
    }
}

TEST(Group4Encoder, EndsWithTheEndOfBlockAndRefusesWrongRows) {
    // The 0 bits are the code's white: one vertical-mode bit for the row, then two end-of-line
    // codes, padded to a byte.
    const Pattern black{"black", 16, 1, [](int, int) { return true; }};
    EXPECT_EQ(encoded(black, true), (std::vector<std::uint8_t>{0x80, 0x08, 0x00, 0x80}));
    Bytes out;
    EXPECT_FALSE(platform::encodeGroup4Rows(out, {16, 1, 1, 8, 72, 72}));
    EXPECT_FALSE(platform::encodeGroup4Rows(out, {16, 1, 3, 1, 72, 72}));
    auto encoder = platform::encodeGroup4Rows(out, {16, 1, 1, 1, 72, 72});
    const std::uint8_t row[2] = {0xff, 0xff};
    EXPECT_FALSE(encoder->finish()) << "a row short";
    encoder = platform::encodeGroup4Rows(out, {16, 1, 1, 1, 72, 72});
    EXPECT_TRUE(encoder->writeRow(row));
    EXPECT_FALSE(encoder->writeRow(row)) << "a row too many";
}

}  // namespace
