// The DG_IMAGE requests: image information, layout, palette and the two transfers.
#include <algorithm>
#include <cstring>

#include "image/image_format.h"
#include "platform/global_memory.h"
#include "twain/data_source.h"
#include "twain/fix32.h"
#include "twain/image.h"
#include "twain/triplet_handlers.h"

namespace tarnwick {

namespace {

// A request that needs an image in states 6 and 7 when none can be had: as the native
// transfer answers it.
TW_UINT16 noImage() {
    return TWRC_CANCEL;
}

ImageFormat formatOf(const Image& image) {
    return describeImage(image.parameters, *image.bitmap);
}

bool hasPixels(const Image* image) {
    return image && image->bitmap;
}

TW_FIX32 inches(int edge, double perInch) {
    return toFix32(edge / perInch);
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
    const ImageFormat f = formatOf(*image);
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
    if (MSG == MSG_SET) {
        const auto millimetres = [](const TW_FIX32& edge) {
            return static_cast<TW_INT32>(static_cast<double>(fromFix32(edge)) * 25.4);
        };
        ScanRectangle region;
        region.left = millimetres(layout.Frame.Left);
        region.top = millimetres(layout.Frame.Top);
        region.right = millimetres(layout.Frame.Right);
        region.bottom = millimetres(layout.Frame.Bottom);
        source.scanner->setSingleRegion(region);
        return TWRC_SUCCESS;
    }
    if (MSG != MSG_GET) return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
    const Image* image = source.scanner->getImage();
    if (image) {
        const double perInch = image->unit == kUnitMillimetre ? 25.4 : 72.0;
        layout.Frame.Left = inches(image->left, perInch);
        layout.Frame.Top = inches(image->top, perInch);
        layout.Frame.Right = inches(image->right, perInch);
        layout.Frame.Bottom = inches(image->bottom, perInch);
    } else {
        const ScanRectangle next = source.scanner->nextScanRectangle();
        layout.Frame.Left = toFix32(next.left * (1 / 25.4));
        layout.Frame.Top = toFix32(next.top * (1 / 25.4));
        layout.Frame.Right = toFix32(next.right * (1 / 25.4));
        layout.Frame.Bottom = toFix32(next.bottom * (1 / 25.4));
    }
    layout.DocumentNumber = layout.PageNumber = layout.FrameNumber = 1;
    return TWRC_SUCCESS;
}

TW_UINT16 handleImageNativeTransfer(DataSource& source, TW_UINT16, TW_MEMREF pData) {
    const Image* image = source.scanner->getImage();
    if (!hasPixels(image)) return noImage();
    platform::GlobalHandle dib = toDib(*image);
    if (!dib) return source.setCondition(TWCC_LOWMEMORY, TWRC_FAILURE);
    // The handle is pointer-sized; the application's variable need not be aligned.
    std::memcpy(pData, &dib, sizeof dib);
    source.state = 7;
    return TWRC_XFERDONE;
}

TW_UINT16 handleImageMemoryTransfer(DataSource& source, TW_UINT16, TW_MEMREF pData) {
    auto& xfer = *static_cast<TW_IMAGEMEMXFER*>(pData);
    const Image* image = source.scanner->getImage();
    if (!hasPixels(image)) return noImage();
    if (source.state == 6) {
        source.state = 7;
        source.rowsTransferred = 0;
    }
    const ImageFormat f = formatOf(*image);
    const auto rows = static_cast<TW_UINT32>(f.rows);
    if (source.rowsTransferred == 0) {
        xfer.Compression = TWCP_NONE;
        xfer.BytesPerRow = f.rowStride;
        xfer.Columns = static_cast<TW_UINT32>(f.width);
        xfer.Rows = rows;
    }
    xfer.XOffset = 0;
    xfer.YOffset = source.rowsTransferred;
    const TW_UINT32 left = rows > source.rowsTransferred ? rows - source.rowsTransferred : 0;
    const TW_UINT32 n = f.rowStride == 0 ? 0 : std::min(xfer.Memory.Length / f.rowStride, left);
    const bool byHandle = (xfer.Memory.Flags & TWMF_HANDLE) != 0;
    auto* buffer = static_cast<std::uint8_t*>(byHandle ? platform::globalLock(xfer.Memory.TheMem)
                                                       : xfer.Memory.TheMem);
    if (n > 0 && !buffer) return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
    if (n > 0)
        writeMemoryRows(*image->bitmap, f, static_cast<int>(source.rowsTransferred),
                        static_cast<int>(n), buffer);
    if (byHandle) platform::globalUnlock(xfer.Memory.TheMem);
    xfer.BytesWritten = f.rowStride * n;
    source.rowsTransferred += n;
    return source.rowsTransferred == rows ? TWRC_XFERDONE : TWRC_SUCCESS;
}

TW_UINT16 handlePalette8(DataSource& source, TW_UINT16, TW_MEMREF pData) {
    auto& palette = *static_cast<TW_PALETTE8*>(pData);
    const Image* image = source.scanner->getImage();
    if (!hasPixels(image)) {
        if (source.state == 6) return noImage();
        return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
    }
    if (formatOf(*image).pixelType != TWPT_PALETTE)
        return source.setCondition(TWCC_BADPROTOCOL, TWRC_FAILURE);
    const std::vector<PaletteEntry> colours = eightColourPalette();
    palette.NumColors = 256;
    palette.PaletteType = TWPA_RGB;
    for (int i = 0; i < 256; ++i) {
        palette.Colors[i] = {static_cast<TW_UINT8>(i), colours[i].red, colours[i].green,
                             colours[i].blue};
    }
    return TWRC_SUCCESS;
}

}  // namespace tarnwick
