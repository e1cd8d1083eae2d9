// zlib on every platform: PDF's Flate streams.
#include <zlib.h>

#include <vector>

#include "platform/image_codec.h"

namespace platform {

std::size_t packedRowBytes(const RasterFormat& f) {
    return (static_cast<std::size_t>(f.width) * static_cast<std::size_t>(f.channels) *
                static_cast<std::size_t>(f.bitsPerSample) +
            7) /
           8;
}

namespace {

class DeflateEncoder : public RowEncoder {
  public:
    DeflateEncoder(ByteSink& out, std::size_t rowBytes) : out_(out), rowBytes_(rowBytes) {
        ok_ = deflateInit(&stream_, Z_DEFAULT_COMPRESSION) == Z_OK;
        started_ = ok_;
    }
    ~DeflateEncoder() override {
        if (started_) deflateEnd(&stream_);
    }
    DeflateEncoder(const DeflateEncoder&) = delete;
    DeflateEncoder& operator=(const DeflateEncoder&) = delete;

    bool writeRow(const std::uint8_t* row) override { return pump(row, rowBytes_, Z_NO_FLUSH); }
    bool finish() override { return pump(nullptr, 0, Z_FINISH); }

  private:
    bool pump(const std::uint8_t* data, std::size_t size, int flush) {
        if (!ok_) return false;
        stream_.next_in = const_cast<Bytef*>(data);
        stream_.avail_in = static_cast<uInt>(size);
        int status = Z_OK;
        do {
            stream_.next_out = buffer_;
            stream_.avail_out = sizeof buffer_;
            status = deflate(&stream_, flush);
            if (status == Z_STREAM_ERROR) return ok_ = false;
            const std::size_t produced = sizeof buffer_ - stream_.avail_out;
            if (produced && !out_.write(buffer_, produced)) return ok_ = false;
        } while (stream_.avail_out == 0 || (flush == Z_FINISH && status != Z_STREAM_END));
        return true;
    }

    ByteSink& out_;
    std::size_t rowBytes_;
    z_stream stream_{};
    Bytef buffer_[16384];
    bool ok_ = false, started_ = false;
};

}  // namespace

std::unique_ptr<RowEncoder> encodeDeflate(ByteSink& out, const RasterFormat& format) {
    auto encoder = std::make_unique<DeflateEncoder>(out, packedRowBytes(format));
    return encoder;
}

}  // namespace platform
