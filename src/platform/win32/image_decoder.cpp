// PNG and JPEG through the Windows Imaging Component, a row at a time: the frame is converted to
// grey or colour of 8 bits a sample, or of 16 where the image has them (the decoder's own order of
// rows), and copied one row at a time.
#include <cstring>
#include <vector>

#include "platform/image_codec.h"
#include "platform/win32/com.h"

namespace platform {

namespace {

class WicDecoder : public RowDecoder {
  public:
    WicDecoder(const std::uint8_t* data, std::size_t size) {
        Com<IWICImagingFactory> factory;
        Com<IWICStream> stream;
        Com<IWICBitmapDecoder> decoder;
        Com<IWICBitmapFrameDecode> frame;
        WICPixelFormatGUID source{};
        if (size > 0xFFFFFFFFu || !makeFactory(factory) ||
            FAILED(factory->CreateStream(stream.put())) ||
            FAILED(
                stream->InitializeFromMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size))) ||
            FAILED(factory->CreateDecoderFromStream(
                stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put())) ||
            FAILED(decoder->GetFrame(0, frame.put())) || FAILED(frame->GetPixelFormat(&source)))
            return;
        const bool grey = IsEqualGUID(source, GUID_WICPixelFormat8bppGray) ||
                          IsEqualGUID(source, GUID_WICPixelFormatBlackWhite) ||
                          IsEqualGUID(source, GUID_WICPixelFormat16bppGray);
        // 16-bit samples stay 16-bit, as libpng gives them on Linux: a scan asked for at 16 bits
        // a sample gets them.
        const bool deep = IsEqualGUID(source, GUID_WICPixelFormat16bppGray) ||
                          IsEqualGUID(source, GUID_WICPixelFormat48bppRGB);
        const GUID& target =
            grey   ? (deep ? GUID_WICPixelFormat16bppGray : GUID_WICPixelFormat8bppGray)
            : deep ? GUID_WICPixelFormat48bppRGB
                   : GUID_WICPixelFormat24bppBGR;
        UINT width = 0, height = 0;
        double xDpi = 0, yDpi = 0;
        // The frame itself where it has the format already: Wine converts 16-bit samples to
        // 8-bit ones only.
        ok_ = SUCCEEDED(WICConvertBitmapSource(target, frame.get(), pixels_.put())) &&
              SUCCEEDED(frame->GetSize(&width, &height)) && width > 0 && height > 0 &&
              width <= 65535 && height <= 65535;
        frame->GetResolution(&xDpi, &yDpi);
        format_ = {static_cast<int>(width),
                   static_cast<int>(height),
                   grey ? 1 : 3,
                   deep ? 16 : 8,
                   xDpi,
                   yDpi};
    }

    bool valid() const { return ok_; }
    const RasterFormat& format() const override { return format_; }
    bool readRow(std::uint8_t* row) override {
        if (!ok_ || y_ >= format_.height) return false;
        const WICRect line{0, y_, format_.width, 1};
        const auto bytes = static_cast<UINT>(packedRowBytes(format_));
        if (FAILED(pixels_->CopyPixels(&line, bytes, bytes, row))) return ok_ = false;
        // 48bppRGB is red first already; 24bppBGR is not.
        if (format_.channels == 3 && format_.bitsPerSample == 8)
            for (UINT x = 0; x + 2 < bytes; x += 3) std::swap(row[x], row[x + 2]);
        ++y_;
        return true;
    }

  private:
    ComScope com_;
    Com<IWICBitmapSource> pixels_;
    RasterFormat format_;
    int y_ = 0;
    bool ok_ = false;
};

}  // namespace

std::unique_ptr<RowDecoder> decodeImage(const std::uint8_t* data, std::size_t size) {
    static const std::uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const bool isPng = size >= sizeof png && std::memcmp(data, png, sizeof png) == 0;
    const bool isJpeg = size >= 3 && data[0] == 0xff && data[1] == 0xd8 && data[2] == 0xff;
    if (!isPng && !isJpeg) return nullptr;
    auto decoder = std::make_unique<WicDecoder>(data, size);
    if (!decoder->valid()) return nullptr;
    return decoder;
}

}  // namespace platform
