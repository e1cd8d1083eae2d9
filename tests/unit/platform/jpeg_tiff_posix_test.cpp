// Our TIFF of JPEG pages, read back by libtiff: every page is found through the chain of
// directories, tells what it holds, and decodes to nearly what was written.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/jpeg_tiff.h"
#include "platform/posix/tiff_codec.h"

namespace {

using platform::RasterFormat;

std::uint8_t smoothAt(int y, int i, int page) {
    return static_cast<std::uint8_t>(40 + (2 * y + i + 30 * page) % 160);
}

TEST(JpegTiff, PagesOfGreyAndColourReadBackThroughLibtiff) {
    const RasterFormat pages[] = {
        {40, 24, 3, 8, 150, 150}, {17, 9, 1, 8, 300, 200}, {33, 35, 3, 8, 75, 75}};
    std::vector<std::uint8_t> bytes;
    auto tiff = platform::createJpegTiffInMemory(bytes);
    for (int p = 0; p < 3; ++p) {
        const RasterFormat& f = pages[p];
        auto page = tiff->addPage(f, platform::RasterCompression::Jpeg, 90);
        ASSERT_TRUE(page);
        std::vector<std::uint8_t> row(platform::packedRowBytes(f));
        for (int y = 0; y < f.height; ++y) {
            for (std::size_t i = 0; i < row.size(); ++i)
                row[i] = smoothAt(y, static_cast<int>(i), p);
            ASSERT_TRUE(page->writeRow(row.data()));
        }
        ASSERT_TRUE(page->finish());
    }
    ASSERT_TRUE(tiff->close());
    ASSERT_EQ(bytes.size() % 2, 0u) << "every directory on a word boundary";

    platform::MemoryTiff file{bytes, 0};
    TIFF* in = platform::openMemoryTiff(file, "r");
    ASSERT_TRUE(in);
    EXPECT_EQ(TIFFNumberOfDirectories(in), 3);
    for (int p = 0; p < 3; ++p) {
        SCOPED_TRACE(p);
        const RasterFormat& f = pages[p];
        ASSERT_TRUE(TIFFSetDirectory(in, static_cast<tdir_t>(p)));
        uint32_t width = 0, height = 0;
        uint16_t compression = 0, photometric = 0, samples = 0;
        float xDpi = 0;
        TIFFGetField(in, TIFFTAG_IMAGEWIDTH, &width);
        TIFFGetField(in, TIFFTAG_IMAGELENGTH, &height);
        TIFFGetField(in, TIFFTAG_COMPRESSION, &compression);
        TIFFGetField(in, TIFFTAG_PHOTOMETRIC, &photometric);
        TIFFGetField(in, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetField(in, TIFFTAG_XRESOLUTION, &xDpi);
        EXPECT_EQ(width, static_cast<uint32_t>(f.width));
        EXPECT_EQ(height, static_cast<uint32_t>(f.height));
        EXPECT_EQ(compression, COMPRESSION_JPEG);
        EXPECT_EQ(photometric, f.channels == 3 ? PHOTOMETRIC_YCBCR : PHOTOMETRIC_MINISBLACK);
        EXPECT_EQ(samples, f.channels);
        EXPECT_NEAR(xDpi, f.xDpi, 0.01);
        // Every sample within JPEG's loss, on average and at worst.
        std::vector<uint32_t> rgba(static_cast<std::size_t>(f.width * f.height));
        ASSERT_TRUE(
            TIFFReadRGBAImageOriented(in, width, height, rgba.data(), ORIENTATION_TOPLEFT, 0));
        long total = 0;
        int worst = 0;
        for (int y = 0; y < f.height; ++y)
            for (int x = 0; x < f.width; ++x)
                for (int c = 0; c < f.channels; ++c) {
                    const uint32_t pixel = rgba[static_cast<std::size_t>(y * f.width + x)];
                    const int got = static_cast<int>((pixel >> (8 * c)) & 0xff);
                    const int d = std::abs(got - smoothAt(y, x * f.channels + c, p));
                    total += d;
                    worst = std::max(worst, d);
                }
        EXPECT_LE(static_cast<double>(total) / (f.width * f.height * f.channels), 4.0);
        EXPECT_LE(worst, 40);
    }
    TIFFClose(in);
}

TEST(JpegTiff, TakesEightBitJpegPagesOnly) {
    std::vector<std::uint8_t> bytes;
    auto tiff = platform::createJpegTiffInMemory(bytes);
    EXPECT_FALSE(tiff->addPage({8, 8, 1, 1, 72, 72}, platform::RasterCompression::Jpeg, 75));
    EXPECT_FALSE(tiff->addPage({8, 8, 3, 16, 72, 72}, platform::RasterCompression::Jpeg, 75));
    EXPECT_FALSE(tiff->addPage({8, 8, 3, 8, 72, 72}, platform::RasterCompression::Lzw, 75));
    EXPECT_FALSE(tiff->close()) << "a file without pages";
    EXPECT_FALSE(platform::createJpegTiff("/nonexistent-folder/file.tif")->close());
}

}  // namespace
