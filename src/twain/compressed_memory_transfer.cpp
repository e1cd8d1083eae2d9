#include "twain/compressed_memory_transfer.h"

#include <algorithm>
#include <cstring>

#include "twain/data_source.h"
#include "twain/file_transfer.h"
#include "twain/image.h"
#include "twain/image_format.h"

namespace tarnwick {

namespace {

TW_INT16 pixelTypeOf(const Image& image) {
    return describeImage(image.parameters, *image.bitmap).pixelType;
}

}  // namespace

bool compressesMemory(const DataSource& source, const Image& image) {
    return source.transferMechanism == TWSX_MEMORY &&
           compressionInEffect(source, pixelTypeOf(image)) != TWCP_NONE;
}

TW_UINT16 compressedMemoryTransfer(DataSource& source, TW_IMAGEMEMXFER& xfer, const Image& image) {
    if (xfer.Memory.Length == 0) return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
    FileTransfers& files = source.files;
    if (source.state() == 6) {
        if (!files.encodeCompressed(source, image))
            return source.setCondition(TWCC_LOWMEMORY, TWRC_FAILURE);
        source.setState(7);
    }
    const std::optional<std::size_t> n = files.sendMemoryFile(source, xfer.Memory);
    if (!n) return source.setCondition(TWCC_BADVALUE, TWRC_FAILURE);
    // One compressed strip of the whole image, in as many buffers as it takes.
    const ImageFormat f = describeImage(image.parameters, *image.bitmap, false);
    xfer.Compression = compressionInEffect(source, f.pixelType);
    xfer.BytesPerRow = f.rowBytes;
    xfer.Columns = static_cast<TW_UINT32>(f.width);
    xfer.Rows = static_cast<TW_UINT32>(f.rows);
    xfer.XOffset = xfer.YOffset = 0;
    xfer.BytesWritten = static_cast<TW_UINT32>(*n);
    return files.memoryFileSent == files.memoryFile.size() ? TWRC_XFERDONE : TWRC_SUCCESS;
}

TW_UINT16 handleJpegCompression(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData) {
    auto& jpeg = *static_cast<TW_JPEGCOMPRESSION*>(pData);
    if (MSG == MSG_SET) return source.setCondition(TWCC_BADVALUE, TWRC_CHECKSTATUS);
    // Baseline JPEG at full resolution (every component sampled 1:1), no restart markers,
    // the luminance tables for component 0 and the chrominance ones for the others.
    std::memset(&jpeg, 0, sizeof jpeg);
    jpeg.ColorSpace = TWPT_RGB;
    jpeg.SubSampling = 0x10111111;
    jpeg.NumComponents = 3;
    jpeg.RestartFrequency = 0;
    const TW_UINT16 maps[4] = {0, 1, 1, 0};
    std::memcpy(jpeg.QuantMap, maps, sizeof maps);
    std::memcpy(jpeg.HuffmanMap, maps, sizeof maps);
    return TWRC_SUCCESS;
}

}  // namespace tarnwick
