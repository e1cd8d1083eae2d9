// Image information, layout, palette, pending transfers and the native and memory transfers,
// on images of the scripted scanner.
#include <gtest/gtest.h>

#include "platform/global_memory.h"
#include "twain/fix32.h"
#include "unit/twain/source_fixture.h"

namespace tarnwick::testing {
namespace {

FrameParameters frame(int format, int depth, int pixels, int lines) {
    FrameParameters p;
    p.format = format;
    p.depth = depth;
    p.pixelsPerLine = pixels;
    p.lines = lines;
    return p;
}

class Transfers : public SourceTest {
  protected:
    // State 6 with an image of these parameters, scanned by MSG_ENABLEDS without window as the
    // first of a batch of scanner.batch images; `more` further scans succeed after it.
    void scanned(const FrameParameters& p, int more = 0) {
        scanner.scanYields(p);
        scanner.scans.assign(1 + more, true);
        ASSERT_NO_FATAL_FAILURE(bringTo(4));
        ASSERT_EQ(enable(0), TWRC_SUCCESS);
        ASSERT_EQ(source->state(), 6);
    }
    TW_IMAGEINFO info() {
        TW_IMAGEINFO i{};
        EXPECT_EQ(call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &i), TWRC_SUCCESS);
        return i;
    }
    TW_UINT16 memory(TW_IMAGEMEMXFER& xfer, std::vector<std::uint8_t>& buffer) {
        xfer.Memory.Flags = 0;
        xfer.Memory.Length = static_cast<TW_UINT32>(buffer.size());
        xfer.Memory.TheMem = buffer.data();
        return call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
    }
    TW_UINT16 endTransfer(TW_UINT16& count) {
        TW_PENDINGXFERS pending{};
        const TW_UINT16 rc = call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
        count = pending.Count;
        return rc;
    }
    // The native transfer's DIB bytes.
    std::vector<std::uint8_t> native() {
        platform::GlobalHandle handle = nullptr;
        EXPECT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_XFERDONE);
        const auto* b = static_cast<const std::uint8_t*>(platform::globalLock(handle));
        std::uint32_t size = 0;
        std::memcpy(&size, b + 20, 4);  // biSizeImage
        std::uint32_t colours = 0;
        std::memcpy(&colours, b + 32, 4);
        std::vector<std::uint8_t> dib(b, b + 40 + 4 * colours + size);
        platform::globalUnlock(handle);
        platform::globalFree(handle);
        return dib;
    }
};

// TWAIN records are packed to 2 bytes: their fields are compared as values (a unary plus), not
// bound as references to misaligned storage.
TEST_F(Transfers, InformationAndBufferSizesFollowThePixelType) {
    ASSERT_NO_FATAL_FAILURE(scanned(frame(kFrameGray, 8, 1001, 7)));
    TW_IMAGEINFO i = info();
    EXPECT_EQ(+i.ImageWidth, 1001);
    EXPECT_EQ(+i.ImageLength, 7);
    EXPECT_EQ(+i.PixelType, TWPT_GRAY);
    EXPECT_EQ(+i.BitsPerPixel, 8);
    EXPECT_EQ(+i.XResolution.Whole, 100);
    TW_SETUPMEMXFER setup{};
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(+setup.MinBufSize, 1004u);
    EXPECT_EQ(+setup.Preferred, 7 * 1004u);

    reset();
    ASSERT_NO_FATAL_FAILURE(scanned(frame(kFrameRgb, 8, 5, 2)));
    i = info();
    EXPECT_EQ(+i.SamplesPerPixel, 3);
    EXPECT_EQ(+i.BitsPerSample[2], 8);
    EXPECT_EQ(+i.BitsPerPixel, 24);
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(+setup.MinBufSize, 24u);

    reset();
    ASSERT_NO_FATAL_FAILURE(scanned(frame(kFrameGray, 1, 10, 2)));
    EXPECT_EQ(+info().PixelType, TWPT_BW);
    ASSERT_EQ(call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
    EXPECT_EQ(+setup.MinBufSize, 4u);
}

TEST_F(Transfers, BeforeAnImageTheAnswersSayNone) {
    // Buffer sizes an application can allocate, in every state before the image.
    TW_SETUPMEMXFER setup{};
    for (TW_INT32 state : {4, 5}) {
        reset();
        ASSERT_NO_FATAL_FAILURE(bringTo(state));
        ASSERT_EQ(call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_SUCCESS);
        EXPECT_EQ(+setup.MinBufSize, 64u * 1024);
        EXPECT_EQ(+setup.Preferred, 1024u * 1024);
        EXPECT_EQ(+setup.MaxBufSize, 16u * 1024 * 1024);
    }
    reset();
    ASSERT_NO_FATAL_FAILURE(bringTo(4));
    TW_PENDINGXFERS pending{};
    ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_GET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(+pending.Count, 0xFFFF);

    // State 6 without an image: the scan that getImage tries fails.
    ASSERT_NO_FATAL_FAILURE(reset());
    ASSERT_NO_FATAL_FAILURE(bringTo(6));
    TW_IMAGEINFO i = info();
    EXPECT_EQ(+i.XResolution.Whole, -1);
    EXPECT_EQ(+i.XResolution.Frac, 1);
    EXPECT_EQ(+i.ImageLength, -1);
    // Only the transfers may answer TWRC_CANCEL.
    EXPECT_EQ(call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_OPERATIONERROR);
    TW_IMAGEMEMXFER xfer{};
    std::vector<std::uint8_t> buffer(64);
    EXPECT_EQ(memory(xfer, buffer), TWRC_CANCEL);
    EXPECT_EQ(source->state(), 6);
    TW_UINT16 count = 1;
    ASSERT_EQ(endTransfer(count), TWRC_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(source->state(), 5);
}

TEST_F(Transfers, MemoryStripsOfThreeRowsEndWithTheLastRow) {
    ASSERT_NO_FATAL_FAILURE(scanned(frame(kFrameGray, 8, 4, 10)));
    std::vector<std::uint8_t> buffer(3 * 4 + 2);
    TW_IMAGEMEMXFER xfer{};
    for (TW_UINT32 first : {0u, 3u, 6u}) {
        ASSERT_EQ(memory(xfer, buffer), TWRC_SUCCESS);
        EXPECT_EQ(source->state(), 7);
        EXPECT_EQ(+xfer.YOffset, first);
        EXPECT_EQ(+xfer.BytesWritten, 12u);
        EXPECT_EQ(+xfer.Rows, 3u) << "the rows of this buffer";
        EXPECT_EQ(buffer[4], 16 * (first + 1)) << "row " << first + 1 << " starts the second row";
    }
    ASSERT_EQ(memory(xfer, buffer), TWRC_XFERDONE);
    EXPECT_EQ(+xfer.YOffset, 9u);
    EXPECT_EQ(+xfer.BytesWritten, 4u);
    EXPECT_EQ(+xfer.Rows, 1u);
    EXPECT_EQ(buffer[0], 16 * 9);

    // A buffer one byte short of a row is refused before the transfer begins.
    std::vector<std::uint8_t> small(3);
    reset();
    ASSERT_NO_FATAL_FAILURE(scanned(frame(kFrameGray, 8, 4, 10)));
    EXPECT_EQ(memory(xfer, small), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BADVALUE);
    EXPECT_EQ(source->state(), 6);
    std::vector<std::uint8_t> one(4);
    EXPECT_EQ(memory(xfer, one), TWRC_SUCCESS);
    EXPECT_EQ(+xfer.Rows, 1u);
}

TEST_F(Transfers, ColourRowsAreRedGreenBlueAndPaddedToTwelve) {
    ASSERT_NO_FATAL_FAILURE(scanned(frame(kFrameRgb, 8, 5, 1)));
    platform::GlobalHandle handle = platform::globalAlloc(24);
    std::memset(platform::globalLock(handle), 0xEE, 24);
    platform::globalUnlock(handle);
    TW_IMAGEMEMXFER xfer{};
    xfer.Memory = {TWMF_HANDLE, 24, handle};
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer), TWRC_XFERDONE);
    const auto* b = static_cast<const std::uint8_t*>(platform::globalLock(handle));
    EXPECT_EQ(b[0], 2);  // red was the third byte of the bitmap's pixel
    EXPECT_EQ(b[2], 0);
    EXPECT_EQ(b[14], 12);
    for (int k = 15; k < 24; ++k) EXPECT_EQ(b[k], 0) << k;
    platform::globalUnlock(handle);
    platform::globalFree(handle);
}

TEST_F(Transfers, EndingBeforeTheTransferKeepsTheImageAndEndingAfterReleasesIt) {
    scanner.batch = -1;  // a feeder batch until the feeder is empty
    ASSERT_NO_FATAL_FAILURE(scanned(frame(kFrameGray, 8, 4, 2), 1));
    scanner.calls.clear();
    TW_UINT16 count = 0;
    ASSERT_EQ(endTransfer(count), TWRC_SUCCESS);
    EXPECT_EQ(count, 0xFFFF);
    EXPECT_EQ(source->state(), 6);
    const std::vector<std::uint8_t> first = native();
    EXPECT_EQ(source->state(), 7);
    EXPECT_TRUE(scanner.calls.empty()) << "the held image was delivered again";
    ASSERT_EQ(endTransfer(count), TWRC_SUCCESS);
    EXPECT_EQ(scanner.calls, (std::vector<std::string>{"releaseImage", "scanAhead"}));
    EXPECT_EQ(source->state(), 6);
    // The next image is scanned by the first request that needs it.
    EXPECT_EQ(native(), first);
    EXPECT_EQ(scanner.calls.back(), "acquire(keep,cancel)");
    ASSERT_EQ(endTransfer(count), TWRC_SUCCESS);

    // A failed scan ends the batch: nothing to deliver, back to state 5.
    platform::GlobalHandle handle = nullptr;
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_CANCEL);
    EXPECT_EQ(source->conditionCode, TWCC_SUCCESS);
    EXPECT_EQ(handle, nullptr);
    ASSERT_EQ(endTransfer(count), TWRC_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(source->state(), 5);
}

TEST_F(Transfers, ResetEndsTheBatchButKeepsTheImage) {
    ASSERT_NO_FATAL_FAILURE(scanned(frame(kFrameGray, 8, 4, 2)));
    TW_PENDINGXFERS pending{7, 0};
    ASSERT_EQ(call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending), TWRC_SUCCESS);
    EXPECT_EQ(+pending.Count, 0);
    EXPECT_EQ(source->state(), 5);
    EXPECT_EQ(source->scanner->pendingCount(), 0);
    EXPECT_NE(source->scanner->getImage(), nullptr);
}

TEST_F(Transfers, NativeBitmapsAgreeWithTheInformation) {
    ASSERT_NO_FATAL_FAILURE(scanned(frame(kFrameGray, 8, 3, 2)));
    std::vector<std::uint8_t> dib = native();
    EXPECT_EQ(dib[14], 8);                  // biBitCount
    EXPECT_EQ(dib.size(), 40 + 1024 + 8u);  // grey table, two rows of 4 bytes
    EXPECT_EQ(dib[40 + 1024], 16) << "the last row comes first";

    // One-bit colour arrives as palette indexes in every form.
    reset();
    scanner.batch = 2;
    ASSERT_NO_FATAL_FAILURE(scanned(frame(kFrameRgb, 1, 3, 1)));
    const TW_IMAGEINFO i = info();
    EXPECT_EQ(+i.PixelType, TWPT_PALETTE);
    EXPECT_EQ(+i.SamplesPerPixel, 1);
    EXPECT_EQ(+i.BitsPerPixel, 8);
    TW_PALETTE8 palette{};
    ASSERT_EQ(call(DG_IMAGE, DAT_PALETTE8, MSG_GET, &palette), TWRC_SUCCESS);
    EXPECT_EQ(+palette.NumColors, 256);
    EXPECT_EQ((std::vector<int>{palette.Colors[0].Channel1, palette.Colors[0].Channel3}),
              (std::vector<int>{255, 255}));
    EXPECT_EQ((std::vector<int>{palette.Colors[6].Index, palette.Colors[6].Channel1,
                                palette.Colors[6].Channel2, palette.Colors[6].Channel3}),
              (std::vector<int>{6, 0, 0, 255}));
    EXPECT_EQ(+palette.Colors[200].Channel2, 0);
    // The dark pixels the scripted scan holds are index 7, black, in the memory rows and in
    // the native bitmap, whose colour table is the palette's.
    std::vector<std::uint8_t> row(4, 0xEE);
    TW_IMAGEMEMXFER xfer{};
    ASSERT_EQ(memory(xfer, row), TWRC_XFERDONE);
    EXPECT_EQ(row, (std::vector<std::uint8_t>{7, 7, 7, 0}));
    TW_UINT16 count = 0;
    ASSERT_EQ(endTransfer(count), TWRC_SUCCESS);
    scanner.scans = {true};
    dib = native();
    ASSERT_EQ(dib.size(), 40 + 1024 + 4u);
    EXPECT_EQ(dib[14], 8);
    EXPECT_EQ((std::vector<int>{dib[40], dib[41], dib[42]}), (std::vector<int>{255, 255, 255}));
    EXPECT_EQ((std::vector<int>{dib[40 + 28], dib[40 + 29], dib[40 + 30]}),
              (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(dib[40 + 1024], 7);
}

TEST_F(Transfers, OnlyOneBitColourHasAPalette) {
    ASSERT_NO_FATAL_FAILURE(scanned(frame(kFrameGray, 16, 3, 1)));
    const TW_IMAGEINFO i = info();
    EXPECT_EQ(+i.PixelType, TWPT_GRAY);
    EXPECT_EQ(+i.BitsPerPixel, 8);
    TW_PALETTE8 palette{};
    EXPECT_EQ(call(DG_IMAGE, DAT_PALETTE8, MSG_GET, &palette), TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BADPROTOCOL);
}

TEST_F(Transfers, LayoutIsSetExactlyAndReadInInches) {
    ASSERT_NO_FATAL_FAILURE(bringTo(4));
    TW_IMAGELAYOUT layout{};
    layout.Frame = {toFix32(1), toFix32(1), toFix32(2), toFix32(2)};
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_SUCCESS);
    ASSERT_EQ(scanner.regionsSet.size(), 1u);
    const ScanRectangle r = scanner.regionsSet[0];
    // Not whole millimetres: two inches stay two inches.
    EXPECT_EQ((std::vector<double>{r.left, r.top, r.right, r.bottom}),
              (std::vector<double>{25.4, 25.4, 50.8, 50.8}));
    // A frame that would scan nothing is refused: no width, no height, or a negative edge.
    for (const TW_FRAME empty : {TW_FRAME{toFix32(1), toFix32(1), toFix32(1), toFix32(2)},
                                 TW_FRAME{toFix32(1), toFix32(2), toFix32(2), toFix32(1)},
                                 TW_FRAME{toFix32(-1), toFix32(1), toFix32(2), toFix32(2)},
                                 TW_FRAME{toFix32(1), toFix32(-1), toFix32(2), toFix32(2)}}) {
        layout.Frame = empty;
        EXPECT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_FAILURE);
        EXPECT_EQ(source->conditionCode, TWCC_BADVALUE);
    }
    EXPECT_EQ(scanner.regionsSet.size(), 1u);
    // A frame the device clamped or refused.
    scanner.frameTaken = false;
    layout.Frame = {toFix32(1), toFix32(1), toFix32(20), toFix32(20)};
    EXPECT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout), TWRC_CHECKSTATUS);
    scanner.regionsSet.pop_back();

    // No image yet: the rectangle the next scan will use.
    scanner.nextRectangle = r;
    layout = {};
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
    EXPECT_EQ(fromFix32(layout.Frame.Left), 1.0f);
    EXPECT_EQ(fromFix32(layout.Frame.Bottom), 2.0f);
    EXPECT_EQ(+layout.FrameNumber, 1u);

    // The default and the reset are the whole scan area.
    scanner.wholeArea = {0, 0, 215.9, 297.18};
    for (TW_UINT16 msg : {MSG_GETDEFAULT, MSG_RESET}) {
        layout = {};
        ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, msg, &layout), TWRC_SUCCESS);
        EXPECT_NEAR(fromFix32(layout.Frame.Right), 8.5, 1e-4);
        EXPECT_NEAR(fromFix32(layout.Frame.Bottom), 11.7, 1e-4);
    }
    ASSERT_EQ(scanner.regionsSet.size(), 2u);
    EXPECT_EQ(scanner.regionsSet[1].right, 215.9);
}

TEST_F(Transfers, LayoutAndPaletteNeverScanBeforeTheTransfer) {
    scanner.scanYields(frame(kFrameGray, 8, 2, 2));
    scanner.image.left = 127;
    scanner.image.bottom = 254;
    scanner.scans = {true};
    ASSERT_NO_FATAL_FAILURE(bringTo(4));
    TW_IMAGELAYOUT layout{};
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
    TW_PALETTE8 palette{};
    EXPECT_EQ(call(DG_IMAGE, DAT_PALETTE8, MSG_GET, &palette), TWRC_SUCCESS);
    EXPECT_TRUE(scanner.calls.empty()) << "a feeder would lose a sheet";

    // In state 6 the rectangle of the image being transferred.
    ASSERT_EQ(enable(0), TWRC_SUCCESS);
    ASSERT_EQ(call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_GET, &layout), TWRC_SUCCESS);
    EXPECT_FLOAT_EQ(fromFix32(layout.Frame.Left), 5.0f);
    EXPECT_FLOAT_EQ(fromFix32(layout.Frame.Bottom), 10.0f);
}

// Before a transfer the palette is that of the image to come, by the pixel type in force, and
// nothing is scanned to find it.
TEST_F(Transfers, ThePaletteBeforeATransferFollowsThePixelTypeInForce) {
    const auto palette = [&](TW_UINT16 expected) {
        TW_PALETTE8 p{};
        EXPECT_EQ(call(DG_IMAGE, DAT_PALETTE8, MSG_GET, &p), expected);
        return p;
    };
    // Grey: the ramp, in state 4 and in state 5.
    for (TW_INT32 state : {4, 5}) {
        SCOPED_TRACE("state " + std::to_string(state));
        reset();
        ASSERT_NO_FATAL_FAILURE(bringTo(state));
        const TW_PALETTE8 grey = palette(TWRC_SUCCESS);
        EXPECT_EQ(+grey.NumColors, 256);
        EXPECT_EQ(+grey.PaletteType, TWPA_GRAY);
        for (int i : {0, 1, 127, 255})
            EXPECT_EQ((std::vector<int>{grey.Colors[i].Index, grey.Colors[i].Channel1,
                                        grey.Colors[i].Channel2, grey.Colors[i].Channel3}),
                      (std::vector<int>{i, i, i, i}));
    }
    // Black and white by the line-art mode: black 0 and white 1, as the image holds them.
    scanner.options->mode.setValueText("Lineart");
    const TW_PALETTE8 bw = palette(TWRC_SUCCESS);
    EXPECT_EQ(+bw.NumColors, 2);
    EXPECT_EQ(+bw.PaletteType, TWPA_GRAY);
    EXPECT_EQ((std::vector<int>{bw.Colors[0].Index, bw.Colors[0].Channel1, bw.Colors[1].Index,
                                bw.Colors[1].Channel1, bw.Colors[1].Channel3}),
              (std::vector<int>{0, 0, 1, 255, 255}));
    // Colour has none.
    scanner.options->mode.setValueText("Color");
    palette(TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BADPROTOCOL);
    // With a depth: grey at 1 bit is black and white, colour at 1 bit has the eight colours,
    // and grey delivered at 16 bits has no palette of 8 bits.
    NumberOption depth{11, "depth", "", "", 0, 4, 0, &scanner.options->device};
    depth.wordList = {1, 8, 16};
    depth.constraintKind = numberWordList;
    scanner.roles.depth = &depth;
    scanner.options->mode.setValueText("Gray");
    depth.values = {1};
    EXPECT_EQ(+palette(TWRC_SUCCESS).NumColors, 2);
    scanner.options->mode.setValueText("Color");
    const TW_PALETTE8 eight = palette(TWRC_SUCCESS);
    EXPECT_EQ(+eight.PaletteType, TWPA_RGB);
    EXPECT_EQ((std::vector<int>{eight.Colors[7].Channel1, eight.Colors[7].Channel2,
                                eight.Colors[0].Channel3}),
              (std::vector<int>{0, 0, 255}));
    scanner.options->mode.setValueText("Gray");
    depth.values = {16};
    EXPECT_EQ(+palette(TWRC_SUCCESS).NumColors, 256) << "a native transfer delivers 8 bits";
    source->transferMechanism = TWSX_MEMORY;
    palette(TWRC_FAILURE);
    EXPECT_EQ(source->conditionCode, TWCC_BADPROTOCOL);
    EXPECT_TRUE(scanner.calls.empty()) << "nothing was scanned";
    scanner.roles.depth = nullptr;
}

TEST_F(Transfers, AnImageOfUnknownLengthHasTheRowsThatArrived) {
    ASSERT_NO_FATAL_FAILURE(scanned(frame(kFrameGray, 8, 4, -1)));
    EXPECT_EQ(+info().ImageLength, 3);
    std::vector<std::uint8_t> buffer(100);
    TW_IMAGEMEMXFER xfer{};
    ASSERT_EQ(memory(xfer, buffer), TWRC_XFERDONE);
    EXPECT_EQ(+xfer.Rows, 3u);
    EXPECT_EQ(+xfer.BytesWritten, 12u);
}

}  // namespace
}  // namespace tarnwick::testing
