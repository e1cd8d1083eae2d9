// The DG_IMAGE requests: image information, layout, palette and the two transfers.
#include <algorithm>
#include <cstring>

#include "platform/global_memory.h"
#include "twain/compressed_memory_transfer.h"
#include "twain/data_source.h"
#include "twain/fix32.h"
#include "twain/image.h"
#include "twain/image_format.h"
#include "twain/option_capabilities.h"
#include "twain/scan_condition.h"
#include "twain/triplet_handlers.h"
#include "twain/units.h"

namespace tarnwick {

namespace {

TW_UINT16 noImageToDescribe(DataSource& source) {
    return source.setCondition(TWCC_OPERATIONERROR, TWRC_FAILURE);
}

ImageFormat formatOf(const DataSource& source, const Image& image) {
    return describeImage(image.parameters, *image.bitmap, source.deliversSixteenBits());
}

bool hasPixels(const Image* image) {
    return image && image->bitmap;
}

// The application's unit for frames (ICAP_UNITS); pixels count at the resolution of each axis.
struct FrameUnits {
    TW_UINT16 units;
    double xDpi, yDpi;
};

FrameUnits unitsOfNextScan(DataSource& source) {
    const double dpi = source.units == TWUN_PIXELS ? source.scanner->scanResolution() : 0;
    return {source.units, dpi, dpi};
}

void putFrame(TW_IMAGELAYOUT& layout, const ScanRectangle& r, double perInch, const FrameUnits& u) {
    const auto edge = [&](double value, double dpi) {
        return toFix32(inchesToUnits(value / perInch, u.units, dpi));
    };
    layout.Frame.Left = edge(r.left, u.xDpi);
    layout.Frame.Top = edge(r.top, u.yDpi);
    layout.Frame.Right = edge(r.right, u.xDpi);
    layout.Frame.Bottom = edge(r.bottom, u.yDpi);
    layout.DocumentNumber = layout.PageNumber = layout.FrameNumber = 1;
}

}  // namespace

TW_UINT16 handleImageInfo(DataSource& source, TW_UINT16, TW_MEMREF pData) {
    auto& info = *static_cast<TW_IMAGEINFO*>(pData);
    const Image* image = source.scanner->getImage();
    info.Planar = 0;
    info.Compression = TWCP_NONE;
    if (!hasPixels(image)) {
        info.XResolution = info.YResolution = toFix32(-1);
        info.ImageWidth = info.ImageLength = -1;
        info.SamplesPerPixel = 1;
        info.BitsPerSample[0] = 1;
        info.BitsPerPixel = 1;
        info.PixelType = TWPT_BW;
        return TWRC_SUCCESS;
    }
    const ImageFormat f = formatOf(source, *image);
    info.Compression = compressionInEffect(source, f.pixelType);
    info.XResolution = toFix32(image->xResolution);
    info.YResolution = toFix32(image->yResolution);
    info.ImageWidth = f.width;
    info.ImageLength = f.rows;
    info.SamplesPerPixel = f.samplesPerPixel;
    for (int s = 0; s < f.samplesPerPixel; ++s) info.BitsPerSample[s] = f.bitsPerSample;
    info.BitsPerPixel = f.bitsPerPixel;
    info.PixelType = f.pixelType;
    return TWRC_SUCCESS;
}

TW_UINT16 handleImageLayout(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData) {
    auto& layout = *static_cast<TW_IMAGELAYOUT*>(pData);
    Scanner& scanner = *source.scanner;
    switch (MSG) {
        case MSG_SET: {
            const FrameUnits u = unitsOfNextScan(source);
            const auto millimetres = [&](const TW_FIX32& edge) {
                return unitsToInches(fromFix32(edge), u.units, u.xDpi) * 25.4;
            };
            const ScanRectangle frame{millimetres(layout.Frame.Left), millimetres(layout.Frame.Top),
                                      millimetres(layout.Frame.Right),
                                      millimetres(layout.Frame.Bottom)};
            if (frame.left < 0 || frame.top < 0 || frame.right <= frame.left ||
                frame.bottom <= frame.top)
                return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
            // What the device could not take exactly the application reads back.
            return scanner.setSingleRegion(frame) ? TWRC_SUCCESS : TWRC_CHECKSTATUS;
        }
        case MSG_RESET:
            scanner.setSingleRegion(scanner.wholeScanArea());
            putFrame(layout, scanner.wholeScanArea(), 25.4, unitsOfNextScan(source));
            return TWRC_SUCCESS;
        case MSG_GETDEFAULT:
            putFrame(layout, scanner.wholeScanArea(), 25.4, unitsOfNextScan(source));
            return TWRC_SUCCESS;
        default:  // MSG_GET: the image being transferred, else the frame the next scan takes
            if (source.state() >= 6) {
                const Image* image = scanner.getImage();
                if (!image) return noImageToDescribe(source);
                putFrame(layout, {image->left, image->top, image->right, image->bottom},
                         image->unit == kUnitMillimetre ? 25.4 : 72.0,
                         {source.units, static_cast<double>(image->xResolution),
                          static_cast<double>(image->yResolution)});
            } else {
                putFrame(layout, scanner.nextScanRectangle(), 25.4, unitsOfNextScan(source));
            }
            return TWRC_SUCCESS;
    }
}

TW_UINT16 handleImageNativeTransfer(DataSource& source, TW_UINT16, TW_MEMREF pData) {
    const Image* image = source.scanner->getImage();
    if (!hasPixels(image)) return answerWithoutImage(source);
    platform::GlobalHandle dib = toDib(*image, source.dsm());
    if (!dib) return source.setCondition(TWCC_LOWMEMORY, TWRC_FAILURE);
    // The handle is pointer-sized; the application's variable need not be aligned.
    std::memcpy(pData, &dib, sizeof dib);
    source.setState(7);
    return TWRC_XFERDONE;
}

TW_UINT16 handleImageMemoryTransfer(DataSource& source, TW_UINT16, TW_MEMREF pData) {
    auto& xfer = *static_cast<TW_IMAGEMEMXFER*>(pData);
    const Image* image = source.scanner->getImage();
    if (!hasPixels(image)) return answerWithoutImage(source);
    if (compressesMemory(source, *image)) return compressedMemoryTransfer(source, xfer, *image);
    const ImageFormat f = formatOf(source, *image);
    const auto rows = static_cast<TW_UINT32>(f.rows);
    // A buffer that cannot take one row would be answered with nothing for ever.
    if (f.rowStride == 0 || xfer.Memory.Length < f.rowStride)
        return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
    if (source.state() == 6) {
        source.setState(7);
        source.rowsTransferred = 0;
    }
    const TW_UINT32 left = rows > source.rowsTransferred ? rows - source.rowsTransferred : 0;
    const TW_UINT32 n = std::min(xfer.Memory.Length / f.rowStride, left);
    xfer.Compression = TWCP_NONE;
    xfer.BytesPerRow = f.rowStride;
    xfer.Columns = static_cast<TW_UINT32>(f.width);
    xfer.Rows = n;  // the rows of this buffer
    xfer.XOffset = 0;
    xfer.YOffset = source.rowsTransferred;
    const bool byHandle = (xfer.Memory.Flags & TWMF_HANDLE) != 0;
    const DsmLink& memory = source.dsm();
    auto* buffer =
        static_cast<std::uint8_t*>(byHandle ? memory.lock(xfer.Memory.TheMem) : xfer.Memory.TheMem);
    if (n > 0 && !buffer) return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
    if (n > 0)
        writeMemoryRows(*image->bitmap, f, static_cast<int>(source.rowsTransferred),
                        static_cast<int>(n), buffer);
    if (byHandle) memory.unlock(xfer.Memory.TheMem);
    xfer.BytesWritten = f.rowStride * n;
    source.rowsTransferred += n;
    return source.rowsTransferred == rows ? TWRC_XFERDONE : TWRC_SUCCESS;
}

namespace {

void putEightColours(TW_PALETTE8& palette) {
    const std::vector<PaletteEntry> colours = eightColourPalette();
    palette.NumColors = 256;
    palette.PaletteType = TWPA_RGB;
    for (int i = 0; i < 256; ++i) {
        palette.Colors[i] = {static_cast<TW_UINT8>(i), colours[i].red, colours[i].green,
                             colours[i].blue};
    }
}

// The grey ramp of 8-bit grey, or black (0) and white (1) of black and white; the entries past
// the colours are black.
void putGreys(TW_PALETTE8& palette, bool blackAndWhite) {
    palette.NumColors = blackAndWhite ? 2 : 256;
    palette.PaletteType = TWPA_GRAY;
    for (int i = 0; i < 256; ++i) {
        const auto index = static_cast<TW_UINT8>(i);
        const TW_UINT8 grey = blackAndWhite ? (i == 1 ? 255 : 0) : index;
        palette.Colors[i] = {index, grey, grey, grey};
    }
}

}  // namespace

TW_UINT16 handlePalette8(DataSource& source, TW_UINT16, TW_MEMREF pData) {
    auto& palette = *static_cast<TW_PALETTE8*>(pData);
    if (source.state() < 6) {
        // Before a transfer: the palette of the image to come, by the pixel type in force; none
        // is scanned to find out (a feeder would lose a sheet).
        const std::optional<PixelFormat> next =
            pixelFormatInForce(source.scanner->optionRoles(), source.deliversSixteenBits());
        if (next && next->pixelType == TWPT_PALETTE) {
            putEightColours(palette);
        } else if (next && (next->pixelType == TWPT_BW ||
                            (next->pixelType == TWPT_GRAY && next->bitsPerPixel == 8))) {
            putGreys(palette, next->pixelType == TWPT_BW);
        } else {
            return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
        }
        return TWRC_SUCCESS;
    }
    const Image* image = source.scanner->getImage();
    if (!hasPixels(image)) return noImageToDescribe(source);
    if (formatOf(source, *image).pixelType != TWPT_PALETTE)
        return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
    putEightColours(palette);
    return TWRC_SUCCESS;
}

}  // namespace tarnwick
