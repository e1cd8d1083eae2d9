// The codecs of the Windows Imaging Component (windowscodecs.dll, a system library; Wine has its
// own). Frames are written a row at a time (WritePixels takes rows in order); files of one image
// are encoded into a memory stream and handed to the sink when complete. The fax code without a
// TIFF around it (for PDF) and JPEG inside TIFF are not among WIC's encoders: they are our own.
#include <wincodec.h>
#include <windows.h>

#include <cstring>
#include <cwchar>
#include <functional>
#include <vector>

#include "platform/group4_encoder.h"
#include "platform/image_codec.h"
#include "platform/win32/com.h"
#include "platform/win32/wic_tiff.h"
#include "platform/win32/wide_text.h"

namespace platform {

namespace {

// WIC's pixel formats for ours; colour is written blue first, the order every encoder takes.
const GUID* pixelFormat(const RasterFormat& f) {
    if (f.channels == 1)
        return f.bitsPerSample == 1    ? &GUID_WICPixelFormatBlackWhite
               : f.bitsPerSample == 8  ? &GUID_WICPixelFormat8bppGray
               : f.bitsPerSample == 16 ? &GUID_WICPixelFormat16bppGray
                                       : nullptr;
    return f.bitsPerSample == 8    ? &GUID_WICPixelFormat24bppBGR
           : f.bitsPerSample == 16 ? &GUID_WICPixelFormat48bppRGB
                                   : nullptr;
}

// JPEG at full colour resolution, as the Linux build writes it, where the encoder has the
// option (Windows 8 on); without it, WIC's default of halved colour resolution stays.
void fullColourResolution(IPropertyBag2* options) {
    PROPBAG2 name{};
    name.pstrName = const_cast<wchar_t*>(L"JpegYCrCbSubsampling");
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_UI1;
    value.bVal = WICJpegYCrCbSubsampling444;
    options->Write(1, &name, &value);
}

// One frame of an encoder, its rows written in order.
class FrameEncoder : public RowEncoder {
  public:
    FrameEncoder(IWICBitmapEncoder* encoder, const RasterFormat& f, const wchar_t* option,
                 VARIANT value, std::function<bool()> done)
        : format_(f), done_(std::move(done)), row_(packedRowBytes(f)) {
        Com<IPropertyBag2> options;
        if (FAILED(encoder->CreateNewFrame(frame_.put(), options.put()))) return;
        if (option) {
            PROPBAG2 name{};
            name.pstrName = const_cast<wchar_t*>(option);
            if (FAILED(options->Write(1, &name, &value))) return;
        }
        if (option && std::wcscmp(option, L"ImageQuality") == 0)
            fullColourResolution(options.get());
        WICPixelFormatGUID wanted = *pixelFormat(f);
        ok_ = SUCCEEDED(frame_->Initialize(options.get())) &&
              SUCCEEDED(frame_->SetSize(static_cast<UINT>(f.width), static_cast<UINT>(f.height))) &&
              SUCCEEDED(frame_->SetResolution(f.xDpi, f.yDpi)) &&
              SUCCEEDED(frame_->SetPixelFormat(&wanted)) && IsEqualGUID(wanted, *pixelFormat(f));
    }

    bool writeRow(const std::uint8_t* row) override {
        if (!ok_ || rows_ >= format_.height) return ok_ = false;
        std::memcpy(row_.data(), row, row_.size());
        if (format_.channels == 3 && format_.bitsPerSample == 8)
            for (std::size_t x = 0; x + 2 < row_.size(); x += 3) std::swap(row_[x], row_[x + 2]);
        ok_ = SUCCEEDED(frame_->WritePixels(1, static_cast<UINT>(row_.size()),
                                            static_cast<UINT>(row_.size()), row_.data()));
        ++rows_;
        return ok_;
    }
    bool finish() override {
        if (!ok_ || rows_ != format_.height) return false;
        ok_ = SUCCEEDED(frame_->Commit()) && done_();
        return ok_;
    }

  private:
    ComScope com_;
    RasterFormat format_;
    Com<IWICBitmapFrameEncode> frame_;
    std::function<bool()> done_;
    std::vector<std::uint8_t> row_;
    int rows_ = 0;
    bool ok_ = false;
};

// The bytes of a memory stream, once the encoder is done, to the sink.
bool copyStream(IStream* stream, ByteSink& out) {
    HGLOBAL memory = nullptr;
    STATSTG stat{};
    if (FAILED(GetHGlobalFromStream(stream, &memory)) ||
        FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(GlobalLock(memory));
    const bool ok = bytes && out.write(bytes, static_cast<std::size_t>(stat.cbSize.QuadPart));
    GlobalUnlock(memory);
    return ok;
}

// A single image into a memory stream, then into the sink.
class StreamedImage : public RowEncoder {
  public:
    StreamedImage(ByteSink& out, const GUID& container, const RasterFormat& f,
                  const wchar_t* option, VARIANT value)
        : out_(out) {
        Com<IWICImagingFactory> factory;
        if (!pixelFormat(f) || !makeFactory(factory) ||
            FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream_.put())) ||
            FAILED(factory->CreateEncoder(container, nullptr, encoder_.put())) ||
            FAILED(encoder_->Initialize(stream_.get(), WICBitmapEncoderNoCache)))
            return;
        frame_ = std::make_unique<FrameEncoder>(encoder_.get(), f, option, value, [this] {
            return SUCCEEDED(encoder_->Commit()) && copyStream(stream_.get(), out_);
        });
    }

    bool writeRow(const std::uint8_t* row) override { return frame_ && frame_->writeRow(row); }
    bool finish() override { return frame_ && frame_->finish(); }

  private:
    ComScope com_;
    ByteSink& out_;
    Com<IStream> stream_;
    Com<IWICBitmapEncoder> encoder_;
    std::unique_ptr<FrameEncoder> frame_;
};

VARIANT noValue() {
    VARIANT v;
    VariantInit(&v);
    return v;
}

class WicTiffWriter : public TiffWriter {
  public:
    // Into the file at `path`, or into memory handed to `bytes` at close.
    WicTiffWriter(const std::string* path, std::vector<std::uint8_t>* bytes) : bytes_(bytes) {
        Com<IWICImagingFactory> factory;
        if (!makeFactory(factory)) return;
        if (path) {
            Com<IWICStream> file;
            if (FAILED(factory->CreateStream(file.put())) ||
                FAILED(file->InitializeFromFilename(toWide(*path).c_str(), GENERIC_WRITE)) ||
                FAILED(file->QueryInterface(IID_IStream, reinterpret_cast<void**>(stream_.put()))))
                return;
        } else if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream_.put()))) {
            return;
        }
        ok_ =
            SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatTiff, nullptr, encoder_.put())) &&
            SUCCEEDED(encoder_->Initialize(stream_.get(), WICBitmapEncoderNoCache));
    }

    std::unique_ptr<RowEncoder> addPage(const RasterFormat& format, RasterCompression compression,
                                        int) override {
        if (!ok_ || !pixelFormat(format) || compression == RasterCompression::Jpeg) return nullptr;
        if (compression == RasterCompression::Group4 && format.bitsPerSample != 1) return nullptr;
        VARIANT method = noValue();
        method.vt = VT_UI1;
        method.bVal = compression == RasterCompression::Group4 ? WICTiffCompressionCCITT4
                      : compression == RasterCompression::Lzw  ? WICTiffCompressionLZW
                                                               : WICTiffCompressionNone;
        return std::make_unique<FrameEncoder>(encoder_.get(), format, L"TiffCompressionMethod",
                                              method, [] { return true; });
    }
    bool close() override {
        if (!ok_ || FAILED(encoder_->Commit())) return false;
        if (!bytes_) return true;
        struct Collect : ByteSink {
            std::vector<std::uint8_t>* into;
            bool write(const std::uint8_t* d, std::size_t n) override {
                into->insert(into->end(), d, d + n);
                return true;
            }
        } collect;
        collect.into = bytes_;
        bytes_->clear();
        return copyStream(stream_.get(), collect);
    }

  private:
    ComScope com_;
    std::vector<std::uint8_t>* bytes_;
    Com<IStream> stream_;
    Com<IWICBitmapEncoder> encoder_;
    bool ok_ = false;
};

}  // namespace

CodecSupport codecSupport() {
    return {true, true, true, true, true};
}

std::unique_ptr<RowEncoder> encodePng(ByteSink& out, const RasterFormat& format) {
    return std::make_unique<StreamedImage>(out, GUID_ContainerFormatPng, format, nullptr,
                                           noValue());
}

std::unique_ptr<RowEncoder> encodeJpeg(ByteSink& out, const RasterFormat& format, int quality) {
    if (format.bitsPerSample != 8) return nullptr;
    VARIANT q = noValue();
    q.vt = VT_R4;
    q.fltVal = static_cast<float>(quality) / 100.0f;
    return std::make_unique<StreamedImage>(out, GUID_ContainerFormatJpeg, format, L"ImageQuality",
                                           q);
}

std::unique_ptr<RowEncoder> encodeGroup4(ByteSink& out, const RasterFormat& format) {
    return encodeGroup4Rows(out, format);
}

std::unique_ptr<TiffWriter> createWicTiff(const std::string* path,
                                          std::vector<std::uint8_t>* bytes) {
    return std::make_unique<WicTiffWriter>(path, bytes);
}

}  // namespace platform
