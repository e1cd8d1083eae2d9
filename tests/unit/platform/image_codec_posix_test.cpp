// The POSIX codecs, row by row: what is encoded decodes to the same rows (JPEG nearly), damaged
// data is refused without a crash, and TIFF takes every compression.
#include <gtest/gtest.h>

#include "platform/image_codec.h"
#include "support/collected_bytes.h"

namespace {

using platform::RasterFormat;

using Bytes = tarnwick::testing::CollectedBytes;

// A pattern every row of which differs: byte i of row y.
std::uint8_t patternAt(int y, std::size_t i) {
    return static_cast<std::uint8_t>((y * 37 + i * 11) & 0xff);
}

// Gently varying samples, which JPEG keeps close.
std::uint8_t smoothAt(int y, std::size_t i) {
    return static_cast<std::uint8_t>(64 + (y + static_cast<int>(i)) % 128);
}

std::vector<std::uint8_t> encoded(const RasterFormat& f, bool jpeg,
                                  std::uint8_t (*at)(int, std::size_t)) {
    Bytes out;
    auto encoder = jpeg ? platform::encodeJpeg(out, f, 90) : platform::encodePng(out, f);
    EXPECT_TRUE(encoder);
    std::vector<std::uint8_t> row(platform::packedRowBytes(f));
    for (int y = 0; y < f.height; ++y) {
        for (std::size_t i = 0; i < row.size(); ++i) row[i] = at(y, i);
        EXPECT_TRUE(encoder->writeRow(row.data()));
    }
    EXPECT_TRUE(encoder->finish());
    return out.bytes;
}

TEST(ImageCodec, EncodedRowsDecodeToTheSameRows) {
    struct Case {
        int channels, bits;
        bool jpeg;
        int tolerance;
    };
    const Case cases[] = {{1, 1, false, 0},  {1, 8, false, 0}, {1, 16, false, 0}, {3, 8, false, 0},
                          {3, 16, false, 0}, {1, 8, true, 6},  {3, 8, true, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + "x" + std::to_string(c.bits) +
                     (c.jpeg ? " jpeg" : " png"));
        const RasterFormat f{13, 7, c.channels, c.bits, 150, 150};
        const auto at = c.jpeg ? smoothAt : patternAt;
        const std::vector<std::uint8_t> file = encoded(f, c.jpeg, at);
        auto decoder = platform::decodeImage(file.data(), file.size());
        ASSERT_TRUE(decoder);
        EXPECT_EQ(decoder->format().width, 13);
        EXPECT_EQ(decoder->format().height, 7);
        EXPECT_EQ(decoder->format().channels, c.channels);
        EXPECT_EQ(decoder->format().bitsPerSample, c.bits);
        EXPECT_NEAR(decoder->format().xDpi, 150, 0.5);
        std::vector<std::uint8_t> row(platform::packedRowBytes(f));
        const std::size_t padBits = row.size() * 8 - 13u * c.channels * c.bits;
        for (int y = 0; y < 7; ++y) {
            ASSERT_TRUE(decoder->readRow(row.data())) << y;
            for (std::size_t i = 0; i < row.size(); ++i) {
                int expected = at(y, i), got = row[i];
                if (i + 1 == row.size() && padBits) {  // the padding bits are not kept
                    expected &= 0xff << padBits;
                    got &= 0xff << padBits;
                }
                EXPECT_NEAR(got, expected, c.tolerance) << y << "," << i;
            }
        }
        EXPECT_FALSE(decoder->readRow(row.data())) << "a row after the last";
    }
}

TEST(ImageCodec, DamagedOrForeignDataIsRefused) {
    const RasterFormat f{20, 20, 3, 8, 72, 72};
    for (bool jpeg : {false, true}) {
        std::vector<std::uint8_t> file = encoded(f, jpeg, patternAt);
        // Cut off in the middle: the header parses, the rows run out.
        file.resize(file.size() / 2);
        auto decoder = platform::decodeImage(file.data(), file.size());
        if (decoder) {
            std::vector<std::uint8_t> row(60);
            bool all = true;
            for (int y = 0; y < 20; ++y) all = decoder->readRow(row.data()) && all;
            if (!jpeg) {
                EXPECT_FALSE(all);  // libjpeg fills a short stream with grey
            }
        }
        // Only the signature.
        file.resize(jpeg ? 3 : 8);
        EXPECT_FALSE(platform::decodeImage(file.data(), file.size()));
    }
    const std::uint8_t text[] = "GIF89a, not ours";
    EXPECT_FALSE(platform::decodeImage(text, sizeof text));
    EXPECT_FALSE(platform::decodeImage(text, 0));
}

TEST(TiffWriter, PagesOfEveryCompressionMakeOneLittleEndianFile) {
    std::vector<std::uint8_t> bytes;
    auto tiff = platform::createTiffInMemory(bytes);
    ASSERT_TRUE(tiff);
    struct Page {
        RasterFormat format;
        platform::RasterCompression compression;
    };
    const Page pages[] = {{{16, 40, 1, 1, 300, 300}, platform::RasterCompression::Group4},
                          {{16, 40, 1, 8, 300, 300}, platform::RasterCompression::Lzw},
                          {{16, 40, 3, 8, 300, 300}, platform::RasterCompression::Jpeg},
                          {{16, 40, 3, 16, 300, 300}, platform::RasterCompression::None}};
    for (const Page& p : pages) {
        auto page = tiff->addPage(p.format, p.compression, 80);
        ASSERT_TRUE(page);
        std::vector<std::uint8_t> row(platform::packedRowBytes(p.format), 0x5a);
        for (int y = 0; y < p.format.height; ++y) ASSERT_TRUE(page->writeRow(row.data()));
        EXPECT_TRUE(page->finish());
    }
    // Fax codes take black and white only, JPEG 8-bit samples only.
    EXPECT_FALSE(tiff->addPage({4, 4, 1, 8, 72, 72}, platform::RasterCompression::Group4, 0));
    EXPECT_FALSE(tiff->addPage({4, 4, 3, 16, 72, 72}, platform::RasterCompression::Jpeg, 80));
    ASSERT_TRUE(tiff->close());
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), std::string("II*\0", 4));
}

}  // namespace
