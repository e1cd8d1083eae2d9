#include "image/decode_frame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "image/dib.h"

using namespace tarnwick;

namespace {

// Hands out the bytes in chunks of the given sizes (the last size repeats), then the end mark.
struct ChunkedSource {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> chunks{kFrameBufferSize};
    std::size_t at = 0, calls = 0;

    FrameReader reader() {
        return [this](std::uint8_t* buffer, std::size_t capacity, std::size_t& count) {
            if (at >= bytes.size()) return ReadStatus::EndOfFrame;
            const std::size_t size = chunks[std::min(calls++, chunks.size() - 1)];
            count = std::min({size, capacity, bytes.size() - at});
            std::memcpy(buffer, bytes.data() + at, count);
            at += count;
            return ReadStatus::Data;
        };
    }
};

FrameParameters params(int format, int depth, int pixels, int bytesPerLine, int lines,
                       bool last = true) {
    FrameParameters p;
    p.format = format;
    p.depth = depth;
    p.pixelsPerLine = pixels;
    p.bytesPerLine = bytesPerLine;
    p.lines = lines;
    p.lastFrame = last;
    return p;
}

// Blue, green, red of a 24-bit pixel.
std::vector<int> bgr(const Bitmap& b, int x, int y) {
    const std::uint8_t* p = b.row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

DecodeResult decode(Bitmap& bitmap, const FrameParameters& p, ChunkedSource& source,
                    DecodeOptions options = {}) {
    return decodeFrame(bitmap, p, options, source.reader(), nullptr);
}

}  // namespace

TEST(DecodeFrame, OneBitGreyIsInvertedUnlessAskedNotTo) {
    ChunkedSource source;
    source.bytes = {0xFF, 0xC0, 0x0F, 0x00};
    Bitmap bitmap;
    ASSERT_EQ(decode(bitmap, params(kFrameGray, 1, 10, 2, 2), source), DecodeResult::Complete);
    EXPECT_EQ(bitmap.kind(), BitmapKind::Bits1);
    EXPECT_EQ(bitmap.height(), 2);
    EXPECT_EQ(bitmap.row(0)[0], 0x00);
    EXPECT_EQ(bitmap.row(0)[1], 0x3F);
    EXPECT_EQ(bitmap.row(1)[0], 0xF0);
    ASSERT_EQ(bitmap.colourTable().size(), 2u);
    EXPECT_EQ(bitmap.colourTable()[0].red, 0);
    EXPECT_EQ(bitmap.colourTable()[1].red, 255);

    ChunkedSource again;
    again.bytes = source.bytes;
    DecodeOptions keep;
    keep.noInvertBlackWhite = true;
    ASSERT_EQ(decode(bitmap, params(kFrameGray, 1, 10, 2, 2), again, keep), DecodeResult::Complete);
    EXPECT_EQ(bitmap.row(0)[0], 0xFF);
}

TEST(DecodeFrame, GreyRowsSplitAcrossChunksContinueAtTheSavedPosition) {
    ChunkedSource source;
    for (int i = 0; i < 15; ++i) source.bytes.push_back(static_cast<std::uint8_t>(i * 10));
    source.chunks = {3, 4, 1, 7};
    Bitmap bitmap;
    std::vector<int> rows;
    const auto result =
        decodeFrame(bitmap, params(kFrameGray, 8, 5, 5, 3), {}, source.reader(), [&](int r) {
            rows.push_back(r);
            return true;
        });
    ASSERT_EQ(result, DecodeResult::Complete);
    EXPECT_EQ(rows, (std::vector<int>{1, 2, 3}));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(bitmap.row(y)[x], (y * 5 + x) * 10);
    EXPECT_EQ(bitmap.colourTable().size(), 256u);
    EXPECT_EQ(bitmap.rowBytes(), 8u);  // padded to four bytes
}

TEST(DecodeFrame, ColourPixelsAreNeverSplitBetweenReads) {
    // Chunks of 3n + 2 bytes: the two trailing bytes are carried over to complete the next pixel.
    ChunkedSource source;
    for (int i = 0; i < 4 * 3; ++i) source.bytes.push_back(static_cast<std::uint8_t>(i + 1));
    source.chunks = {5, 5, 2};
    Bitmap bitmap;
    ASSERT_EQ(decode(bitmap, params(kFrameRgb, 8, 2, 6, 2), source), DecodeResult::Complete);
    EXPECT_EQ(bitmap.kind(), BitmapKind::Bits24);
    EXPECT_EQ(bgr(bitmap, 0, 0), (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(bgr(bitmap, 1, 0), (std::vector<int>{6, 5, 4}));
    EXPECT_EQ(bgr(bitmap, 0, 1), (std::vector<int>{9, 8, 7}));
    EXPECT_EQ(bgr(bitmap, 1, 1), (std::vector<int>{12, 11, 10}));
}

TEST(DecodeFrame, OneBitColourUsesAGroupPerEightPixelsAndRestartsEachRow) {
    // Ten pixels: group one serves pixels 0-7, group two pixels 8 and 9; its other bits drop.
    ChunkedSource source;
    source.bytes = {0x80, 0x00, 0xFF, 0x40, 0x40, 0x00,   // row 0
                    0x00, 0xFF, 0x00, 0xFF, 0x00, 0x00};  // row 1
    Bitmap bitmap;
    ASSERT_EQ(decode(bitmap, params(kFrameRgb, 1, 10, 6, 2), source), DecodeResult::Complete);
    EXPECT_EQ(bgr(bitmap, 0, 0), (std::vector<int>{255, 0, 255}));
    EXPECT_EQ(bgr(bitmap, 1, 0), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(bgr(bitmap, 8, 0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(bgr(bitmap, 9, 0), (std::vector<int>{0, 255, 255}));
    EXPECT_EQ(bgr(bitmap, 0, 1), (std::vector<int>{0, 255, 0}));
    EXPECT_EQ(bgr(bitmap, 8, 1), (std::vector<int>{0, 0, 255}));
}

TEST(DecodeFrame, ThreeSingleChannelFramesBuildOneColourImage) {
    Bitmap bitmap;
    const int formats[] = {kFrameRed, kFrameGreen, kFrameBlue};
    for (int f = 0; f < 3; ++f) {
        ChunkedSource source;
        for (int i = 0; i < 4; ++i) source.bytes.push_back(static_cast<std::uint8_t>(10 * f + i));
        DecodeOptions options;
        options.firstFrame = f == 0;
        ASSERT_EQ(decode(bitmap, params(formats[f], 8, 2, 2, 2, f == 2), source, options),
                  DecodeResult::Complete);
    }
    EXPECT_EQ(bgr(bitmap, 0, 0), (std::vector<int>{20, 10, 0}));
    EXPECT_EQ(bgr(bitmap, 1, 1), (std::vector<int>{23, 13, 3}));
}

TEST(DecodeFrame, OneBitSingleChannelFramesKeepEachPixelsOtherChannels) {
    Bitmap bitmap;
    ChunkedSource red;
    red.bytes = {0xAA};  // pixels 0, 2, 4, 6 red
    ASSERT_EQ(decode(bitmap, params(kFrameRed, 1, 8, 1, 1, false), red), DecodeResult::Complete);
    ChunkedSource green;
    green.bytes = {0x00};
    DecodeOptions later;
    later.firstFrame = false;
    ASSERT_EQ(decode(bitmap, params(kFrameGreen, 1, 8, 1, 1, false), green, later),
              DecodeResult::Complete);
    EXPECT_EQ(bgr(bitmap, 0, 0), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(bgr(bitmap, 1, 0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(bgr(bitmap, 2, 0), (std::vector<int>{0, 0, 255}));
    EXPECT_EQ(bgr(bitmap, 6, 0), (std::vector<int>{0, 0, 255}));  // the group's last pixels too
    EXPECT_EQ(bgr(bitmap, 7, 0), (std::vector<int>{0, 0, 0}));
}

TEST(DecodeFrame, SixteenBitSamplesKeepTheirMostSignificantByteOrAreKeptWhole) {
    ChunkedSource big;
    big.bytes = {0x12, 0x34};
    Bitmap bitmap;
    ASSERT_EQ(decode(bitmap, params(kFrameGray, 16, 1, 2, 1), big), DecodeResult::Complete);
    EXPECT_EQ(bitmap.kind(), BitmapKind::Bits8);
    EXPECT_EQ(bitmap.colourTable().size(), 256u);
    EXPECT_EQ(bitmap.row(0)[0], 0x12);

    ChunkedSource little;
    little.bytes = {0x34, 0x12, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    DecodeOptions options;
    options.littleEndianSamples = true;
    ASSERT_EQ(decode(bitmap, params(kFrameGray, 16, 1, 2, 1), little, options),
              DecodeResult::Complete);
    EXPECT_EQ(bitmap.row(0)[0], 0x12);
    ChunkedSource colour;
    colour.bytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    ASSERT_EQ(decode(bitmap, params(kFrameRgb, 16, 1, 6, 1), colour, options),
              DecodeResult::Complete);
    EXPECT_EQ(bgr(bitmap, 0, 0), (std::vector<int>{0x06, 0x04, 0x02}));

    // Kept whole, blue first, and a later single-channel frame fills its own sample.
    options.keepSixteenBits = true;
    ChunkedSource whole;
    whole.bytes = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
    ASSERT_EQ(decode(bitmap, params(kFrameRgb, 16, 1, 6, 1), whole, options),
              DecodeResult::Complete);
    ASSERT_EQ(bitmap.kind(), BitmapKind::Rgb48);
    EXPECT_EQ(sampleAt(bitmap.row(0)), 0x0605);
    EXPECT_EQ(sampleAt(bitmap.row(0) + 4), 0x0201);
    ChunkedSource green;
    green.bytes = {0xCD, 0xAB};
    options.firstFrame = false;
    ASSERT_EQ(decode(bitmap, params(kFrameGreen, 16, 1, 2, 1), green, options),
              DecodeResult::Complete);
    EXPECT_EQ(sampleAt(bitmap.row(0) + 2), 0xABCD);
    EXPECT_EQ(sampleAt(bitmap.row(0) + 4), 0x0201);
}

TEST(DecodeFrame, UnknownLengthEndsWithTheCompleteRows) {
    ChunkedSource source;
    source.bytes.assign(3 * 4 + 2, 7);  // three rows and the start of a fourth
    source.chunks = {5};
    Bitmap bitmap;
    std::vector<int> heights;
    const RowCallback row = [&](int) {
        heights.push_back(bitmap.height());
        return true;
    };
    ASSERT_EQ(decodeFrame(bitmap, params(kFrameGray, 8, 4, 4, -1), {}, source.reader(), row),
              DecodeResult::Complete);
    EXPECT_EQ(heights, (std::vector<int>{1, 2, 3})) << "grows one row ahead while decoding";
    EXPECT_EQ(bitmap.height(), 3);
    EXPECT_EQ(bitmap.row(2)[3], 7);
    EXPECT_EQ(bitmap.colourTable().size(), 256u);  // set once the last frame is in
}

TEST(DecodeFrame, PaddingBehindThePixelsOfARowIsSkipped) {
    // Two 8-bit colour pixels and three bytes of padding per row, in chunks that split them.
    ChunkedSource source;
    source.bytes = {1, 2, 3, 4, 5, 6, 0xEE, 0xEE, 0xEE, 7, 8, 9, 10, 11, 12, 0xEE, 0xEE, 0xEE};
    source.chunks = {4, 7, 1};
    Bitmap bitmap;
    ASSERT_EQ(decode(bitmap, params(kFrameRgb, 8, 2, 9, 2), source), DecodeResult::Complete);
    EXPECT_EQ(bgr(bitmap, 0, 1), (std::vector<int>{9, 8, 7}));
    EXPECT_EQ(bgr(bitmap, 1, 1), (std::vector<int>{12, 11, 10}));

    // Grey 16-bit with a padded row, and 8-bit grey whose padding stays out of the row.
    ChunkedSource grey;
    grey.bytes = {0x10, 0, 0x20, 0, 0xEE, 0xEE, 0x30, 0, 0x40, 0, 0xEE, 0xEE};
    grey.chunks = {3};
    ASSERT_EQ(decode(bitmap, params(kFrameGray, 16, 2, 6, 2), grey), DecodeResult::Complete);
    EXPECT_EQ((std::vector<int>{bitmap.row(1)[0], bitmap.row(1)[1]}),
              (std::vector<int>{0x30, 0x40}));
    ChunkedSource bytes;
    bytes.bytes = {1, 2, 3, 0xEE, 4, 5, 6, 0xEE};
    ASSERT_EQ(decode(bitmap, params(kFrameGray, 8, 3, 4, 2), bytes), DecodeResult::Complete);
    EXPECT_EQ(bitmap.row(0)[3], 0);
    EXPECT_EQ(bitmap.row(1)[2], 6);
}

// Rows that arrive at once, byte by byte, or split across reads give the same bitmap, also with
// padding, a frame of unknown length that ends inside a row, and 16-bit samples kept whole or
// as their high byte, in either byte order.
TEST(DecodeFrame, WholeRowsAndSplitRowsDecodeAlike) {
    const auto sixteen = [](bool keep, bool little) {
        DecodeOptions o;
        o.keepSixteenBits = keep;
        o.littleEndianSamples = little;
        return o;
    };
    const struct {
        FrameParameters p;
        DecodeOptions options;
    } cases[] = {
        {params(kFrameGray, 8, 5, 7, 4), {}},
        {params(kFrameGray, 1, 13, 3, 4), {}},
        {params(kFrameRgb, 8, 3, 11, 4), {}},
        {params(kFrameRgb, 8, 4, 12, -1), {}},
        {params(kFrameGray, 8, 6, 6, -1), {}},
        {params(kFrameRgb, 16, 3, 20, 4), sixteen(true, false)},
        {params(kFrameRgb, 16, 3, 18, -1), sixteen(false, true)},
        {params(kFrameGray, 16, 5, 12, 4), sixteen(true, true)},
        {params(kFrameGray, 16, 5, 10, 4), sixteen(false, false)},
    };
    for (const auto& [p, options] : cases) {
        SCOPED_TRACE(testing::Message() << p.format << "/" << p.depth << "/" << p.lines << "/"
                                        << options.keepSixteenBits);
        // Frames of unknown length end inside their last row.
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(p.bytesPerLine) * 4 -
                                        (p.lines < 0 ? 2 : 0));
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(i * 37 + 11);
        Bitmap whole, split, held;
        ChunkedSource a, b, c;
        a.bytes = b.bytes = c.bytes = bytes;
        b.chunks = {1};
        c.chunks = {static_cast<std::size_t>(p.bytesPerLine) + 1};
        ASSERT_EQ(decode(whole, p, a, options), DecodeResult::Complete);
        ASSERT_EQ(decode(split, p, b, options), DecodeResult::Complete);
        ASSERT_EQ(decode(held, p, c, options), DecodeResult::Complete);
        ASSERT_EQ(whole.height(), split.height());
        ASSERT_EQ(held.height(), split.height());
        for (int y = 0; y < split.height(); ++y) {
            EXPECT_EQ(0, std::memcmp(whole.row(y), split.row(y), split.rowBytes())) << y;
            EXPECT_EQ(0, std::memcmp(held.row(y), split.row(y), split.rowBytes())) << y;
        }
    }
}

TEST(DecodeFrame, RefusesWhatItCannotDecode) {
    Bitmap bitmap;
    ChunkedSource empty;
    EXPECT_EQ(decode(bitmap, params(kFrameGray, 8, 4, 4, 2), empty), DecodeResult::NoData);
    ChunkedSource some;
    some.bytes = {1, 2, 3};
    EXPECT_EQ(decode(bitmap, params(kFrameGray, 4, 4, 2, 2), some), DecodeResult::UnknownDepth);
    EXPECT_EQ(decode(bitmap, params(kFrameRgb, 12, 4, 24, 2), some), DecodeResult::UnknownDepth);
    EXPECT_EQ(decode(bitmap, params(kFrameRgb, 4, 4, 6, 2), some), DecodeResult::UnsupportedFormat);
    EXPECT_EQ(decode(bitmap, params(7, 8, 4, 4, 2), some), DecodeResult::UnsupportedFormat);
    EXPECT_EQ(decode(bitmap, params(kFrameGray, 8, 0, 0, 2), some), DecodeResult::NoData);
    EXPECT_EQ(decode(bitmap, params(kFrameGray, 8, 1 << 20, 1 << 20, 1 << 20), some),
              DecodeResult::TooLarge);
}

TEST(DecodeFrame, HostileRowLengthsNeverWritePastTheBitmap) {
    // A grey row longer than the pixel count, and colour frames wider than the first frame.
    ChunkedSource source;
    source.bytes.assign(64, 0xAB);
    Bitmap bitmap;
    ASSERT_EQ(decode(bitmap, params(kFrameGray, 8, 2, 32, 2), source), DecodeResult::Complete);
    EXPECT_EQ(bitmap.row(1)[1], 0xAB);

    ChunkedSource first;
    first.bytes.assign(2, 1);
    ASSERT_EQ(decode(bitmap, params(kFrameRed, 8, 2, 2, 1, false), first), DecodeResult::Complete);
    ChunkedSource wider;
    wider.bytes.assign(40, 2);
    DecodeOptions later;
    later.firstFrame = false;
    EXPECT_EQ(decode(bitmap, params(kFrameGreen, 8, 40, 40, 1), wider, later),
              DecodeResult::Complete);
    EXPECT_EQ(bgr(bitmap, 1, 0), (std::vector<int>{0, 2, 1}));

    // A later grey frame without pixels has no room for its bytes.
    ChunkedSource none;
    none.bytes.assign(48, 5);
    EXPECT_EQ(decode(bitmap, params(kFrameGray, 8, -8, 24, 2), none, later), DecodeResult::NoData);

    // A colour frame after a grey one has no colour rows to go into.
    for (int depth : {1, 8}) {
        ChunkedSource grey, colour;
        grey.bytes.assign(8, 3);
        colour.bytes.assign(3 * 40 * 2, 4);
        ASSERT_EQ(decode(bitmap, params(kFrameGray, depth, 8, 8 * depth / 8, 1, false), grey),
                  DecodeResult::Complete);
        EXPECT_EQ(decode(bitmap, params(kFrameGreen, 8, 40, 40, 1), colour, later),
                  DecodeResult::UnsupportedFormat);
    }
}

TEST(DecodeFrame, CancelAndReadErrorsEndTheScan) {
    ChunkedSource source;
    source.bytes.assign(16, 1);
    Bitmap bitmap;
    EXPECT_EQ(decodeFrame(bitmap, params(kFrameGray, 8, 4, 4, 4), {}, source.reader(),
                          [](int row) { return row < 2; }),
              DecodeResult::Cancelled);
    const FrameReader failing = [](std::uint8_t*, std::size_t, std::size_t&) {
        return ReadStatus::Error;
    };
    EXPECT_EQ(decodeFrame(bitmap, params(kFrameGray, 8, 4, 4, 4), {}, failing, nullptr),
              DecodeResult::ReadFailed);
    // A known length that ends early, also within a row, is no image.
    for (std::size_t size : {8, 10, 15}) {
        ChunkedSource shortFrame;
        shortFrame.bytes.assign(size, 1);
        EXPECT_EQ(decode(bitmap, params(kFrameGray, 8, 4, 4, 4), shortFrame),
                  DecodeResult::ShortFrame)
            << size;
    }
}

TEST(DecodeFrame, AnImageHasOneFramePerChannelAtMost) {
    for (int format : {kFrameGray, kFrameRgb})
        EXPECT_EQ(framesPerImage(params(format, 8, 1, 1, 1)), 1);
    for (int format : {kFrameRed, kFrameGreen, kFrameBlue})
        EXPECT_EQ(framesPerImage(params(format, 8, 1, 1, 1, false)), 3);
}

TEST(Dib, PacksHeaderPaletteAndRowsBottomUp) {
    ChunkedSource source;
    source.bytes = {1, 2, 3, 4, 5, 6};
    Bitmap bitmap;
    ASSERT_EQ(decode(bitmap, params(kFrameGray, 8, 3, 3, 2), source), DecodeResult::Complete);
    std::vector<std::uint8_t> dib(dibHeaderSize(bitmap) + dibPixelSize(bitmap), 0xEE);
    ASSERT_EQ(dib.size(), 40u + 1024u + 8u);
    writeDib(bitmap, 300, dib.data());
    auto u32 = [&](std::size_t at) {
        return dib[at] | dib[at + 1] << 8 | dib[at + 2] << 16 | dib[at + 3] << 24;
    };
    EXPECT_EQ(u32(0), 40);
    EXPECT_EQ(u32(4), 3);
    EXPECT_EQ(u32(8), 2);
    EXPECT_EQ(dib[14], 8);
    EXPECT_EQ(u32(16), 0);
    EXPECT_EQ(u32(24), 11811);          // 300 dpi in pixels per metre
    EXPECT_EQ(dib[40 + 4 * 200], 200);  // grey ramp, blue first
    const std::size_t rows = 40 + 1024;
    EXPECT_EQ(std::vector<int>(dib.begin() + rows, dib.end()),
              (std::vector<int>{4, 5, 6, 0, 1, 2, 3, 0}));
}
