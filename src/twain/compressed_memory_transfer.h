// Memory transfers under ICAP_COMPRESSION TWCP_JPEG (grey and colour) or TWCP_GROUP4 (black and
// white): the image is encoded once, a JFIF stream or raw CCITT Group 4 data, and handed over
// in the application's buffers.
#pragma once

#include "twain/records.h"

namespace tarnwick {

class DataSource;
class Image;

// Whether the memory transfer of this image is compressed.
bool compressesMemory(const DataSource& source, const Image& image);
TW_UINT16 compressedMemoryTransfer(DataSource& source, TW_IMAGEMEMXFER& xfer, const Image& image);
// DAT_JPEGCOMPRESSION: the source's own tables; MSG_SET leaves them and says so.
TW_UINT16 handleJpegCompression(DataSource& source, TW_UINT16 MSG, TW_MEMREF pData);

}  // namespace tarnwick
