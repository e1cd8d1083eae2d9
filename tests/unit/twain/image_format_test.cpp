#include "twain/image_format.h"

#include <gtest/gtest.h>

#include <vector>

#include "image/dib.h"
#include "image/swap_red_blue.h"
#include "twain/fix32.h"

using namespace tarnwick;

namespace {

Bitmap bitmapOf(BitmapKind kind, int width, int height) {
    Bitmap b;
    b.reset(kind, width, height);
    return b;
}

FrameParameters frame(int format, int depth, int lines) {
    FrameParameters p;
    p.format = format;
    p.depth = depth;
    p.lines = lines;
    return p;
}

}  // namespace

TEST(Fix32, ConvertsWithRoundingAndSign) {
    EXPECT_EQ(toFix32(72).Whole, 72);
    EXPECT_EQ(toFix32(72).Frac, 0);
    EXPECT_EQ(toFix32(-1).Whole, -1);
    EXPECT_EQ(toFix32(-1).Frac, 1);
    EXPECT_EQ(fix32Bits(toFix32(-1)), 0x0001FFFFu);
    EXPECT_NEAR(fromFix32(toFix32(25 / 25.4)), 0.98425, 1e-4);
    EXPECT_FLOAT_EQ(fromFix32(toFix32(8.5)), 8.5f);
    EXPECT_EQ(toFix32(1e12).Whole, 32767);  // saturates instead of overflowing
}

TEST(ImageFormat, RowLengthsFollowThePixelType) {
    const ImageFormat grey =
        describeImage(frame(kFrameGray, 8, 3), bitmapOf(BitmapKind::Bits8, 1001, 3));
    EXPECT_EQ(grey.pixelType, TWPT_GRAY);
    EXPECT_EQ(grey.rowBytes, 1001u);
    EXPECT_EQ(grey.rowStride, 1004u);
    const ImageFormat rgb =
        describeImage(frame(kFrameRgb, 8, 3), bitmapOf(BitmapKind::Bits24, 5, 3));
    EXPECT_EQ(rgb.pixelType, TWPT_RGB);
    EXPECT_EQ(rgb.samplesPerPixel, 3);
    EXPECT_EQ(rgb.rowBytes, 15u);
    EXPECT_EQ(rgb.rowStride, 24u);
    const ImageFormat bw =
        describeImage(frame(kFrameGray, 1, 3), bitmapOf(BitmapKind::Bits1, 10, 3));
    EXPECT_EQ(bw.pixelType, TWPT_BW);
    EXPECT_EQ(bw.bitsPerPixel, 1);
    EXPECT_EQ(bw.rowBytes, 2u);
    EXPECT_EQ(bw.rowStride, 4u);
}

TEST(ImageFormat, OneBitColourAndSixteenBitGreyAreDescribedInTheirEightBitForms) {
    const ImageFormat palette =
        describeImage(frame(kFrameRgb, 1, 2), bitmapOf(BitmapKind::Bits8, 5, 2));
    EXPECT_EQ(palette.pixelType, TWPT_PALETTE);
    EXPECT_EQ(palette.samplesPerPixel, 1);
    EXPECT_EQ(palette.bitsPerPixel, 8);
    EXPECT_EQ(palette.rowStride, 8u);
    const ImageFormat grey =
        describeImage(frame(kFrameGray, 16, 2), bitmapOf(BitmapKind::Bits8, 4, 2));
    EXPECT_EQ(grey.pixelType, TWPT_GRAY);
    EXPECT_EQ(grey.rowBytes, 4u);
    // A colour bitmap is described as one, whatever the frame said.
    EXPECT_EQ(describeImage(frame(kFrameRgb, 1, 2), bitmapOf(BitmapKind::Bits24, 4, 2)).rowBytes,
              12u);
}

TEST(ImageFormat, UnknownLengthHasTheRowsTheBitmapHolds) {
    const ImageFormat f =
        describeImage(frame(kFrameGray, 8, -1), bitmapOf(BitmapKind::Bits8, 4, 6));
    EXPECT_EQ(f.rows, 6);
    const ImageFormat shorter =
        describeImage(frame(kFrameGray, 8, 9), bitmapOf(BitmapKind::Bits8, 4, 6));
    EXPECT_EQ(shorter.rows, 6);
}

TEST(ImageFormat, MemoryRowsAreRedGreenBlueAndZeroPadded) {
    // Five pixels of their own colours: four taken at once and one left over.
    Bitmap b = bitmapOf(BitmapKind::Bits24, 5, 2);
    for (int x = 0; x < 5; ++x) {
        b.row(1)[3 * x] = static_cast<std::uint8_t>(x);           // blue
        b.row(1)[3 * x + 1] = static_cast<std::uint8_t>(10 + x);  // green
        b.row(1)[3 * x + 2] = static_cast<std::uint8_t>(20 + x);  // red
    }
    const ImageFormat f = describeImage(frame(kFrameRgb, 8, 2), b);
    std::vector<std::uint8_t> buffer(f.rowStride, 0xEE);
    writeMemoryRows(b, f, 1, 1, buffer.data());
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(buffer[3 * x], 20 + x);
        EXPECT_EQ(buffer[3 * x + 1], 10 + x);
        EXPECT_EQ(buffer[3 * x + 2], x);
    }
    for (std::size_t i = 15; i < 24; ++i) EXPECT_EQ(buffer[i], 0) << i;
}

TEST(ImageFormat, GreyMemoryRowsAreCopiedUnchanged) {
    Bitmap b = bitmapOf(BitmapKind::Bits1, 10, 2);
    b.row(0)[0] = 0xA5;
    b.row(0)[1] = 0xC0;
    const ImageFormat f = describeImage(frame(kFrameGray, 1, 2), b);
    std::vector<std::uint8_t> buffer(2 * f.rowStride, 0xEE);
    writeMemoryRows(b, f, 0, 2, buffer.data());
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{0xA5, 0xC0, 0, 0, 0, 0, 0, 0}));
}

// 16-bit samples go whole by memory (least significant byte first, red first) and as their
// high bytes where 8 bits are announced, in memory rows and in the native bitmap alike.
TEST(ImageFormat, SixteenBitSamplesWholeOrAsTheirHighBytes) {
    Bitmap b = bitmapOf(BitmapKind::Rgb48, 2, 1);
    for (int x = 0; x < 2; ++x) {
        putSample(b.row(0) + 6 * x, 0x0102);      // blue
        putSample(b.row(0) + 6 * x + 2, 0x0304);  // green
        putSample(b.row(0) + 6 * x + 4, 0x0506);  // red
    }
    const ImageFormat whole = describeImage(frame(kFrameRgb, 16, 1), b, true);
    EXPECT_EQ(whole.bitsPerPixel, 48);
    EXPECT_EQ(whole.bitsPerSample, 16);
    EXPECT_EQ(whole.rowStride, 12u);
    std::vector<std::uint8_t> buffer(whole.rowStride);
    writeMemoryRows(b, whole, 0, 1, buffer.data());
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{6, 5, 4, 3, 2, 1, 6, 5, 4, 3, 2, 1}));

    const ImageFormat high = describeImage(frame(kFrameRgb, 16, 1), b, false);
    EXPECT_EQ(high.bitsPerPixel, 24);
    writeMemoryRows(b, high, 0, 1, buffer.data());
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{5, 3, 1, 5, 3, 1, 0, 0, 0, 0, 0, 0}));
    std::vector<std::uint8_t> dib(dibHeaderSize(b) + dibPixelSize(b));
    writeDib(b, 72, dib.data());
    EXPECT_EQ(dib[14], 24);  // biBitCount
    EXPECT_EQ(std::vector<std::uint8_t>(dib.begin() + 40, dib.begin() + 46),
              (std::vector<std::uint8_t>{1, 3, 5, 1, 3, 5}));

    Bitmap grey = bitmapOf(BitmapKind::Grey16, 3, 1);
    putSample(grey.row(0) + 4, 0xABCD);
    const ImageFormat g = describeImage(frame(kFrameGray, 16, 1), grey, true);
    EXPECT_EQ(g.pixelType, TWPT_GRAY);
    EXPECT_EQ(g.bitsPerPixel, 16);
    EXPECT_EQ(g.rowStride, 8u);
    buffer.assign(g.rowStride, 0xEE);
    writeMemoryRows(grey, g, 0, 1, buffer.data());
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{0, 0, 0, 0, 0xCD, 0xAB, 0, 0}));
}

// Every row length up to a few shuffle steps: each pixel exchanged, nothing beyond the row touched.
TEST(SwapRedBlue, ExchangesEveryPixelOfAnyRowLength) {
    for (int pixels = 0; pixels <= 24; ++pixels) {
        const std::size_t bytes = static_cast<std::size_t>(pixels) * 3;
        std::vector<std::uint8_t> from(bytes + 16), to(bytes + 16, 0xEE);
        for (std::size_t i = 0; i < from.size(); ++i) from[i] = static_cast<std::uint8_t>(i + 1);
        swapRedBlue(from.data(), to.data(), pixels);
        for (std::size_t i = 0; i < bytes; ++i)
            ASSERT_EQ(to[i], from[i - i % 3 + 2 - i % 3]) << pixels << " pixels, byte " << i;
        for (std::size_t i = bytes; i < to.size(); ++i) ASSERT_EQ(to[i], 0xEE) << pixels;
    }
}
