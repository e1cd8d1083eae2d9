// The image codecs of the platform, row by row: encoders that take one row after another and
// decoders that give them back, so that no codec holds a whole page beside the scan.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// Where encoded bytes go; false when they could not be stored (a full disk).
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual bool write(const std::uint8_t* data, std::size_t size) = 0;
};

// Rows are packed: (width * channels * bitsPerSample + 7) / 8 bytes, samples red first, 16-bit
// samples in the machine's byte order, 1-bit pixels most significant bit first with 0 black.
struct RasterFormat {
    int width = 0;
    int height = 0;
    int channels = 1;       // 1 grey, 3 RGB
    int bitsPerSample = 8;  // 1 (grey only), 8 or 16
    double xDpi = 0, yDpi = 0;
};

std::size_t packedRowBytes(const RasterFormat& format);

enum class RasterCompression { None, Lzw, Group4, Jpeg };

class RowEncoder {
  public:
    virtual ~RowEncoder() = default;
    // Exactly `height` rows, then finish(); false once anything failed.
    virtual bool writeRow(const std::uint8_t* row) = 0;
    virtual bool finish() = 0;
};

class RowDecoder {
  public:
    virtual ~RowDecoder() = default;
    virtual const RasterFormat& format() const = 0;
    // The next row, packedRowBytes(format()) bytes; false on damaged data or after the last.
    virtual bool readRow(std::uint8_t* row) = 0;
};

// A TIFF file of one or more pages, little-endian. Pages are written one at a time: the page's
// encoder must be finished before the next page is added or the file closed.
class TiffWriter {
  public:
    virtual ~TiffWriter() = default;
    virtual std::unique_ptr<RowEncoder> addPage(const RasterFormat& format,
                                                RasterCompression compression, int quality) = 0;
    virtual bool close() = 0;
};

// Which encoders this platform has; the others answer null.
// group4: raw fax data for PDF; tiffJpeg: JPEG strips inside TIFF.
struct CodecSupport {
    bool png = false, jpeg = false, tiff = false, group4 = false, tiffJpeg = false;
};
CodecSupport codecSupport();

// PNG of any format. JPEG (JFIF) of 8-bit grey or RGB, quality 1..100. Raw CCITT Group 4 data
// of a 1-bit image, as containers such as PDF embed it (the 0 bits coded as the fax code's
// white, the end-of-facsimile-block code at the end).
// zlib data of the packed rows, as PDF's Flate filter reads them.
std::unique_ptr<RowEncoder> encodePng(ByteSink& out, const RasterFormat& format);
std::unique_ptr<RowEncoder> encodeJpeg(ByteSink& out, const RasterFormat& format, int quality);
std::unique_ptr<RowEncoder> encodeGroup4(ByteSink& out, const RasterFormat& format);
std::unique_ptr<RowEncoder> encodeDeflate(ByteSink& out, const RasterFormat& format);
std::unique_ptr<TiffWriter> createTiff(const std::string& path);
// The same in memory: the file's bytes are in `bytes` once the writer is closed.
std::unique_ptr<TiffWriter> createTiffInMemory(std::vector<std::uint8_t>& bytes);

// A PNG or JPEG image in memory, told by its signature; null for anything else or a header
// that does not parse. The bytes must outlive the decoder.
std::unique_ptr<RowDecoder> decodeImage(const std::uint8_t* data, std::size_t size);

}  // namespace platform
