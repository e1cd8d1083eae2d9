// What every platform's codecs share: PNG and JPEG rows of grey and colour decode to what was
// encoded (JPEG nearly), and a TIFF of two pages is little-endian.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/image_codec.h"
#include "support/collected_bytes.h"

namespace {

using Collect = tarnwick::testing::CollectedBytes;

std::uint8_t sampleAt(int y, std::size_t i) {
    return static_cast<std::uint8_t>(60 + (3 * y + static_cast<int>(i)) % 120);
}

TEST(PortableCodecs, GreyAndColourRowsComeBackAsWritten) {
    for (bool jpeg : {false, true}) {
        for (int channels : {1, 3}) {
            SCOPED_TRACE(std::string(jpeg ? "jpeg " : "png ") + std::to_string(channels));
            const platform::RasterFormat f{16, 16, channels, 8, 96, 96};
            Collect out;
            auto encoder = jpeg ? platform::encodeJpeg(out, f, 95) : platform::encodePng(out, f);
            ASSERT_TRUE(encoder);
            std::vector<std::uint8_t> row(platform::packedRowBytes(f));
            for (int y = 0; y < f.height; ++y) {
                for (std::size_t i = 0; i < row.size(); ++i) row[i] = sampleAt(y, i);
                ASSERT_TRUE(encoder->writeRow(row.data()));
            }
            ASSERT_TRUE(encoder->finish());
            auto decoder = platform::decodeImage(out.bytes.data(), out.bytes.size());
            ASSERT_TRUE(decoder);
            ASSERT_EQ(decoder->format().channels, channels);
            ASSERT_EQ(decoder->format().width, 16);
            long difference = 0;
            for (int y = 0; y < f.height; ++y) {
                ASSERT_TRUE(decoder->readRow(row.data()));
                for (std::size_t i = 0; i < row.size(); ++i)
                    difference += std::abs(row[i] - sampleAt(y, i));
            }
            // PNG exactly; JPEG on average within 4 of 255 (Wine's WIC halves colour).
            EXPECT_LE(static_cast<double>(difference) / (16.0 * row.size()), jpeg ? 4.0 : 0.0);
        }
    }
}

// PNGs of 16-bit samples as libpng writes them (big-endian in the file): two grey pixels
// 0x0102, 0xa0b0 and one colour pixel 0x0102, 0x0304, 0x0506. They decode whole, in the machine's
// byte order, not cut to 8 bits. (No round trip: Wine's PNG encoder takes such rows big-endian.)
TEST(PortableCodecs, PngOfSixteenBitSamplesFromElsewhereGivesTheirValues) {
    const std::vector<std::uint8_t> grey = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48,
        0x44, 0x52, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x10, 0x00, 0x00, 0x00,
        0x00, 0x81, 0xd9, 0xfc, 0x15, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x44, 0x41, 0x54, 0x08,
        0xd7, 0x63, 0x60, 0x64, 0x5a, 0xb0, 0x01, 0x00, 0x01, 0xff, 0x01, 0x54, 0x75, 0x78,
        0xe1, 0x3a, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
    const std::vector<std::uint8_t> colour = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44,
        0x52, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x10, 0x02, 0x00, 0x00, 0x00, 0xc0,
        0xe7, 0x8f, 0x9d, 0x00, 0x00, 0x00, 0x0f, 0x49, 0x44, 0x41, 0x54, 0x08, 0xd7, 0x63, 0x60,
        0x64, 0x62, 0x66, 0x61, 0x65, 0x03, 0x00, 0x00, 0x3f, 0x00, 0x16, 0x29, 0x67, 0xc2, 0xe4,
        0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
    const struct {
        const std::vector<std::uint8_t>& file;
        int channels;
        std::vector<std::uint16_t> samples;
    } cases[] = {{grey, 1, {0x0102, 0xa0b0}}, {colour, 3, {0x0102, 0x0304, 0x0506}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.channels);
        auto decoder = platform::decodeImage(c.file.data(), c.file.size());
        ASSERT_TRUE(decoder);
        ASSERT_EQ(decoder->format().bitsPerSample, 16);
        ASSERT_EQ(decoder->format().channels, c.channels);
        std::vector<std::uint16_t> row(c.samples.size());
        ASSERT_TRUE(decoder->readRow(reinterpret_cast<std::uint8_t*>(row.data())));
        EXPECT_EQ(row, c.samples);
    }
}

TEST(PortableCodecs, ATiffOfTwoPagesIsLittleEndian) {
    std::vector<std::uint8_t> bytes;
    auto tiff = platform::createTiffInMemory(bytes);
    ASSERT_TRUE(tiff);
    for (auto compression :
         {platform::RasterCompression::Group4, platform::RasterCompression::Lzw}) {
        const platform::RasterFormat f{
            32, 8, 1, compression == platform::RasterCompression::Lzw ? 8 : 1, 200, 200};
        auto page = tiff->addPage(f, compression, 0);
        ASSERT_TRUE(page);
        std::vector<std::uint8_t> row(platform::packedRowBytes(f), 0xa5);
        for (int y = 0; y < f.height; ++y) ASSERT_TRUE(page->writeRow(row.data()));
        ASSERT_TRUE(page->finish());
    }
    ASSERT_TRUE(tiff->close());
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), std::string("II*\0", 4));
}

}  // namespace
