// TIFF through libtiff: pages of strips, each strip encoded as its rows are complete.
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/image_codec.h"
#include "platform/posix/tiff_codec.h"

namespace platform {

namespace {

tmsize_t readMemory(thandle_t h, void* out, tmsize_t size) {
    auto* m = static_cast<MemoryTiff*>(h);
    const auto n = std::min<std::uint64_t>(static_cast<std::uint64_t>(size),
                                           m->at < m->bytes.size() ? m->bytes.size() - m->at : 0);
    std::memcpy(out, m->bytes.data() + m->at, n);
    m->at += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t writeMemory(thandle_t h, void* data, tmsize_t size) {
    auto* m = static_cast<MemoryTiff*>(h);
    const auto n = static_cast<std::size_t>(size);
    if (m->bytes.size() < m->at + n) m->bytes.resize(m->at + n);
    std::memcpy(m->bytes.data() + m->at, data, n);
    m->at += n;
    return size;
}

toff_t seekMemory(thandle_t h, toff_t offset, int whence) {
    auto* m = static_cast<MemoryTiff*>(h);
    if (whence == SEEK_CUR) offset += m->at;
    if (whence == SEEK_END) offset += m->bytes.size();
    m->at = offset;
    return offset;
}

int closeMemory(thandle_t) {
    return 0;
}

toff_t sizeOfMemory(thandle_t h) {
    return static_cast<MemoryTiff*>(h)->bytes.size();
}

void silent(const char*, const char*, va_list) {}

// libtiff reports on the standard error stream unless told otherwise, once per process.
void quietLibrary() {
    static const bool quiet = [] {
        TIFFSetErrorHandler(silent);
        TIFFSetWarningHandler(silent);
        return true;
    }();
    (void)quiet;
}

int tiffCompression(RasterCompression c) {
    switch (c) {
        case RasterCompression::Lzw:
            return COMPRESSION_LZW;
        case RasterCompression::Group4:
            return COMPRESSION_CCITTFAX4;
        case RasterCompression::Jpeg:
            return COMPRESSION_JPEG;
        default:
            return COMPRESSION_NONE;
    }
}

class StripEncoder : public RowEncoder {
  public:
    StripEncoder(TIFF* tiff, const RasterFormat& f, RasterCompression c, int quality, bool oneStrip)
        : tiff_(tiff), rowBytes_(packedRowBytes(f)), height_(f.height) {
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(f.width));
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(f.height));
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, static_cast<uint16_t>(f.channels));
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, static_cast<uint16_t>(f.bitsPerSample));
        TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC,
                     f.channels == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, tiffCompression(c));
        if (c == RasterCompression::Jpeg) TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, quality);
        if (c == RasterCompression::Lzw) TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_NONE);
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(f.xDpi));
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(f.yDpi));
        // About 64 KiB a strip; JPEG strips hold whole blocks of 16 rows.
        int rows =
            static_cast<int>(std::max<std::size_t>(1, 65536 / std::max<std::size_t>(rowBytes_, 1)));
        if (c == RasterCompression::Jpeg) rows = std::max(16, rows / 16 * 16);
        stripRows_ = oneStrip ? std::max(height_, 1) : std::min(rows, std::max(height_, 1));
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(stripRows_));
        strip_.resize(rowBytes_ * static_cast<std::size_t>(stripRows_));
    }

    bool writeRow(const std::uint8_t* row) override {
        if (!ok_ || rowsDone_ >= height_) return ok_ = false;
        std::memcpy(strip_.data() + rowBytes_ * static_cast<std::size_t>(inStrip_), row, rowBytes_);
        ++rowsDone_;
        if (++inStrip_ == stripRows_ || rowsDone_ == height_) flushStrip();
        return ok_;
    }
    bool finish() override {
        if (!ok_ || rowsDone_ != height_) return ok_ = false;
        return ok_ = TIFFWriteDirectory(tiff_) == 1;
    }

  private:
    void flushStrip() {
        const auto size = static_cast<tmsize_t>(rowBytes_ * static_cast<std::size_t>(inStrip_));
        if (TIFFWriteEncodedStrip(tiff_, strip_index_++, strip_.data(), size) < 0) ok_ = false;
        inStrip_ = 0;
    }

    TIFF* tiff_;
    std::size_t rowBytes_;
    int height_, stripRows_ = 1, inStrip_ = 0, rowsDone_ = 0;
    uint32_t strip_index_ = 0;
    std::vector<std::uint8_t> strip_;
    bool ok_ = true;
};

class PosixTiffWriter : public TiffWriter {
  public:
    explicit PosixTiffWriter(TIFF* tiff) : tiff_(tiff) {}
    ~PosixTiffWriter() override {
        if (tiff_) TIFFClose(tiff_);
    }
    PosixTiffWriter(const PosixTiffWriter&) = delete;
    PosixTiffWriter& operator=(const PosixTiffWriter&) = delete;

    std::unique_ptr<RowEncoder> addPage(const RasterFormat& format, RasterCompression compression,
                                        int quality) override {
        if (!tiff_) return nullptr;
        if (compression == RasterCompression::Group4 && format.bitsPerSample != 1) return nullptr;
        if (compression == RasterCompression::Jpeg && format.bitsPerSample != 8) return nullptr;
        return std::make_unique<StripEncoder>(tiff_, format, compression, quality, false);
    }
    bool close() override {
        if (!tiff_) return false;
        const bool flushed = TIFFFlush(tiff_) == 1;
        TIFFClose(tiff_);
        tiff_ = nullptr;
        return flushed;
    }

  private:
    TIFF* tiff_;
};

}  // namespace

std::unique_ptr<TiffWriter> createTiff(const std::string& path) {
    quietLibrary();
    TIFF* tiff = TIFFOpen(path.c_str(), "wl");
    if (!tiff) return nullptr;
    return std::make_unique<PosixTiffWriter>(tiff);
}

TIFF* openMemoryTiff(MemoryTiff& file, const char* mode) {
    quietLibrary();
    return TIFFClientOpen("memory", mode, &file, readMemory, writeMemory, seekMemory, closeMemory,
                          sizeOfMemory, nullptr, nullptr);
}

namespace {

// The file's bytes are handed over when the writer closes.
class MemoryTiffWriter : public TiffWriter {
  public:
    explicit MemoryTiffWriter(std::vector<std::uint8_t>& bytes)
        : bytes_(bytes), writer_(openMemoryTiff(file_, "wl")) {}

    std::unique_ptr<RowEncoder> addPage(const RasterFormat& format, RasterCompression compression,
                                        int quality) override {
        return writer_.addPage(format, compression, quality);
    }
    bool close() override {
        const bool ok = writer_.close();
        bytes_ = std::move(file_.bytes);
        return ok;
    }

  private:
    std::vector<std::uint8_t>& bytes_;
    MemoryTiff file_;
    PosixTiffWriter writer_;
};

}  // namespace

std::unique_ptr<TiffWriter> createTiffInMemory(std::vector<std::uint8_t>& bytes) {
    return std::make_unique<MemoryTiffWriter>(bytes);
}

std::unique_ptr<RowEncoder> encodeOneStrip(TIFF* tiff, const RasterFormat& format,
                                           RasterCompression compression) {
    quietLibrary();
    return std::make_unique<StripEncoder>(tiff, format, compression, 0, true);
}

}  // namespace platform
