// What every platform's codecs share: PNG and JPEG rows of grey and colour decode to what was
// encoded (JPEG nearly), and a TIFF of two pages is little-endian.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/image_codec.h"

namespace {

class Collect : public platform::ByteSink {
  public:
    bool write(const std::uint8_t* data, std::size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<std::uint8_t> bytes;
};

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
