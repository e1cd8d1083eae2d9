// JPEG through libjpeg-turbo. Its errors leave by longjmp, so every call into it sits in a
// function that holds no object with a destructor.
#include <csetjmp>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "platform/posix/decoders.h"

namespace platform {

namespace {

struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void leave(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

void silent(j_common_ptr, int) {}

constexpr std::size_t kChunk = 16384;

struct Destination {
    jpeg_destination_mgr manager;
    ByteSink* sink;
    JOCTET buffer[kChunk];
};

void startDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    d->manager.next_output_byte = d->buffer;
    d->manager.free_in_buffer = kChunk;
}

boolean emptyDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    if (!d->sink->write(d->buffer, kChunk)) leave(reinterpret_cast<j_common_ptr>(info));
    startDestination(info);
    return TRUE;
}

void endDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<Destination*>(info->dest);
    const std::size_t left = kChunk - d->manager.free_in_buffer;
    if (left && !d->sink->write(d->buffer, left)) leave(reinterpret_cast<j_common_ptr>(info));
}

class JpegEncoder : public RowEncoder {
  public:
    JpegEncoder(ByteSink& out, const RasterFormat& format, int quality) {
        destination_.sink = &out;
        destination_.manager.init_destination = startDestination;
        destination_.manager.empty_output_buffer = emptyDestination;
        destination_.manager.term_destination = endDestination;
        ok_ = start(format, quality);
    }
    ~JpegEncoder() override { jpeg_destroy_compress(&info_); }
    JpegEncoder(const JpegEncoder&) = delete;
    JpegEncoder& operator=(const JpegEncoder&) = delete;

    bool writeRow(const std::uint8_t* row) override {
        if (!ok_ || setjmp(trap_.jump)) return ok_ = false;
        JSAMPROW rows[1] = {const_cast<JSAMPROW>(row)};
        jpeg_write_scanlines(&info_, rows, 1);
        return true;
    }
    bool finish() override {
        if (!ok_ || setjmp(trap_.jump)) return ok_ = false;
        jpeg_finish_compress(&info_);
        return true;
    }

  private:
    bool start(const RasterFormat& format, int quality) {
        info_.err = jpeg_std_error(&trap_.manager);
        trap_.manager.error_exit = leave;
        trap_.manager.emit_message = silent;
        if (setjmp(trap_.jump)) return false;
        jpeg_create_compress(&info_);
        info_.dest = &destination_.manager;
        info_.image_width = static_cast<JDIMENSION>(format.width);
        info_.image_height = static_cast<JDIMENSION>(format.height);
        info_.input_components = format.channels;
        info_.in_color_space = format.channels == 3 ? JCS_RGB : JCS_GRAYSCALE;
        jpeg_set_defaults(&info_);
        jpeg_set_quality(&info_, quality, TRUE);
        // Full colour resolution: coloured text and lines of a document keep their edges.
        for (int c = 0; c < info_.num_components; ++c)
            info_.comp_info[c].h_samp_factor = info_.comp_info[c].v_samp_factor = 1;
        info_.density_unit = 1;  // dots per inch
        info_.X_density = static_cast<UINT16>(format.xDpi);
        info_.Y_density = static_cast<UINT16>(format.yDpi);
        jpeg_start_compress(&info_, TRUE);
        return true;
    }

    jpeg_compress_struct info_{};
    ErrorTrap trap_{};
    Destination destination_{};
    bool ok_ = false;
};

class JpegDecoder : public RowDecoder {
  public:
    JpegDecoder(const std::uint8_t* data, std::size_t size) { ok_ = start(data, size); }
    ~JpegDecoder() override { jpeg_destroy_decompress(&info_); }
    JpegDecoder(const JpegDecoder&) = delete;
    JpegDecoder& operator=(const JpegDecoder&) = delete;

    bool valid() const { return ok_; }
    const RasterFormat& format() const override { return format_; }
    bool readRow(std::uint8_t* row) override {
        if (!ok_ || info_.output_scanline >= info_.output_height || setjmp(trap_.jump))
            return ok_ = false;
        JSAMPROW rows[1] = {row};
        return jpeg_read_scanlines(&info_, rows, 1) == 1;
    }

  private:
    bool start(const std::uint8_t* data, std::size_t size) {
        info_.err = jpeg_std_error(&trap_.manager);
        trap_.manager.error_exit = leave;
        trap_.manager.emit_message = silent;
        if (setjmp(trap_.jump)) return false;
        jpeg_create_decompress(&info_);
        jpeg_mem_src(&info_, data, static_cast<unsigned long>(size));
        if (jpeg_read_header(&info_, TRUE) != JPEG_HEADER_OK) return false;
        info_.out_color_space = info_.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB;
        jpeg_start_decompress(&info_);
        format_.width = static_cast<int>(info_.output_width);
        format_.height = static_cast<int>(info_.output_height);
        format_.channels = info_.output_components;
        format_.bitsPerSample = 8;
        if (info_.density_unit == 1) {
            format_.xDpi = info_.X_density;
            format_.yDpi = info_.Y_density;
        }
        return true;
    }

    jpeg_decompress_struct info_{};
    ErrorTrap trap_{};
    RasterFormat format_;
    bool ok_ = false;
};

}  // namespace

std::unique_ptr<RowEncoder> encodeJpeg(ByteSink& out, const RasterFormat& format, int quality) {
    if (format.bitsPerSample != 8 || (format.channels != 1 && format.channels != 3)) return nullptr;
    return std::make_unique<JpegEncoder>(out, format, quality);
}

std::unique_ptr<RowDecoder> decodeJpeg(const std::uint8_t* data, std::size_t size) {
    auto decoder = std::make_unique<JpegDecoder>(data, size);
    if (!decoder->valid()) return nullptr;
    return decoder;
}

}  // namespace platform
