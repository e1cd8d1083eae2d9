// PNG through libpng; as with JPEG, its errors leave by longjmp.
#include <png.h>

#include <cstring>

#include "platform/posix/decoders.h"

namespace platform {

namespace {

void writeBytes(png_structp png, png_bytep data, png_size_t size) {
    auto* sink = static_cast<ByteSink*>(png_get_io_ptr(png));
    if (!sink->write(data, size)) png_error(png, "write");
}

void flushNothing(png_structp) {}
void silent(png_structp, png_const_charp) {}

class PngEncoder : public RowEncoder {
  public:
    PngEncoder(ByteSink& out, const RasterFormat& format) {
        png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, silent, silent);
        if (png_) info_ = png_create_info_struct(png_);
        ok_ = info_ && start(out, format);
    }
    ~PngEncoder() override { png_destroy_write_struct(&png_, &info_); }
    PngEncoder(const PngEncoder&) = delete;
    PngEncoder& operator=(const PngEncoder&) = delete;

    bool writeRow(const std::uint8_t* row) override {
        if (!ok_ || setjmp(png_jmpbuf(png_))) return ok_ = false;
        png_write_row(png_, const_cast<png_bytep>(row));
        return true;
    }
    bool finish() override {
        if (!ok_ || setjmp(png_jmpbuf(png_))) return ok_ = false;
        png_write_end(png_, nullptr);
        return true;
    }

  private:
    bool start(ByteSink& out, const RasterFormat& f) {
        if (setjmp(png_jmpbuf(png_))) return false;
        png_set_write_fn(png_, &out, writeBytes, flushNothing);
        png_set_IHDR(png_, info_, static_cast<png_uint_32>(f.width),
                     static_cast<png_uint_32>(f.height), f.bitsPerSample,
                     f.channels == 3 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        const auto perMetre = [](double dpi) {
            return static_cast<png_uint_32>(dpi / 0.0254 + 0.5);
        };
        png_set_pHYs(png_, info_, perMetre(f.xDpi), perMetre(f.yDpi), PNG_RESOLUTION_METER);
        png_write_info(png_, info_);
        if (f.bitsPerSample == 16) png_set_swap(png_);  // rows hold little-endian samples
        return true;
    }

    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    bool ok_ = false;
};

struct MemoryReader {
    const std::uint8_t* data;
    std::size_t size, at = 0;
};

void readBytes(png_structp png, png_bytep out, png_size_t size) {
    auto* r = static_cast<MemoryReader*>(png_get_io_ptr(png));
    if (size > r->size - r->at) png_error(png, "short");
    std::memcpy(out, r->data + r->at, size);
    r->at += size;
}

class PngDecoder : public RowDecoder {
  public:
    PngDecoder(const std::uint8_t* data, std::size_t size) : reader_{data, size} {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, silent, silent);
        if (png_) info_ = png_create_info_struct(png_);
        ok_ = info_ && start();
    }
    ~PngDecoder() override { png_destroy_read_struct(&png_, &info_, nullptr); }
    PngDecoder(const PngDecoder&) = delete;
    PngDecoder& operator=(const PngDecoder&) = delete;

    bool valid() const { return ok_; }
    const RasterFormat& format() const override { return format_; }
    bool readRow(std::uint8_t* row) override {
        if (!ok_ || rowsRead_ >= format_.height || setjmp(png_jmpbuf(png_))) return ok_ = false;
        png_read_row(png_, row, nullptr);
        ++rowsRead_;
        return true;
    }

  private:
    // Palettes, alpha and low depths become grey or RGB of 8 or 16 bits; 1-bit grey stays.
    bool start() {
        if (setjmp(png_jmpbuf(png_))) return false;
        png_set_read_fn(png_, &reader_, readBytes);
        png_set_user_limits(png_, 1 << 16, 1 << 16);
        png_read_info(png_, info_);
        const int type = png_get_color_type(png_, info_);
        const int depth = png_get_bit_depth(png_, info_);
        if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png_);
        if (type == PNG_COLOR_TYPE_GRAY && depth > 1 && depth < 8)
            png_set_expand_gray_1_2_4_to_8(png_);
        if (type & PNG_COLOR_MASK_ALPHA) png_set_strip_alpha(png_);
        if (depth == 16) png_set_swap(png_);
        png_set_interlace_handling(png_);
        png_read_update_info(png_, info_);
        format_.width = static_cast<int>(png_get_image_width(png_, info_));
        format_.height = static_cast<int>(png_get_image_height(png_, info_));
        format_.channels = png_get_channels(png_, info_);
        format_.bitsPerSample = png_get_bit_depth(png_, info_);
        const double perMetre = 0.0254;
        format_.xDpi = png_get_x_pixels_per_meter(png_, info_) * perMetre;
        format_.yDpi = png_get_y_pixels_per_meter(png_, info_) * perMetre;
        // Interlaced images need every pass, which row by row cannot give.
        return png_get_interlace_type(png_, info_) == PNG_INTERLACE_NONE;
    }

    MemoryReader reader_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
    RasterFormat format_;
    int rowsRead_ = 0;
    bool ok_ = false;
};

}  // namespace

std::unique_ptr<RowEncoder> encodePng(ByteSink& out, const RasterFormat& format) {
    return std::make_unique<PngEncoder>(out, format);
}

std::unique_ptr<RowDecoder> decodePng(const std::uint8_t* data, std::size_t size) {
    auto decoder = std::make_unique<PngDecoder>(data, size);
    if (!decoder->valid()) return nullptr;
    return decoder;
}

}  // namespace platform
