// Raw CCITT Group 4 data: libtiff encodes one strip of the whole page into memory, and the
// strip's bytes are what PDF's CCITTFax filter reads.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/posix/tiff_codec.h"

namespace platform {

namespace {

class Group4Encoder : public RowEncoder {
  public:
    Group4Encoder(ByteSink& out, const RasterFormat& format) : out_(out) {
        tiff_ = openMemoryTiff(file_, "wl");
        if (tiff_) page_ = encodeOneStrip(tiff_, format, RasterCompression::Group4);
    }
    ~Group4Encoder() override {
        page_.reset();
        if (tiff_) TIFFClose(tiff_);
    }
    Group4Encoder(const Group4Encoder&) = delete;
    Group4Encoder& operator=(const Group4Encoder&) = delete;

    bool writeRow(const std::uint8_t* row) override { return page_ && page_->writeRow(row); }
    bool finish() override {
        if (!page_ || !page_->finish()) return false;
        page_.reset();
        TIFFClose(tiff_);
        tiff_ = nullptr;
        return emitStrip();
    }

  private:
    bool emitStrip() {
        file_.at = 0;
        TIFF* tiff = openMemoryTiff(file_, "r");
        if (!tiff) return false;
        bool ok = TIFFNumberOfStrips(tiff) == 1;
        std::vector<std::uint8_t> raw;
        if (ok) {
            raw.resize(static_cast<std::size_t>(TIFFRawStripSize64(tiff, 0)));
            ok = TIFFReadRawStrip(tiff, 0, raw.data(), static_cast<tmsize_t>(raw.size())) >= 0 &&
                 out_.write(raw.data(), raw.size());
        }
        TIFFClose(tiff);
        return ok;
    }

    ByteSink& out_;
    MemoryTiff file_;
    TIFF* tiff_ = nullptr;
    std::unique_ptr<RowEncoder> page_;
};

}  // namespace

std::unique_ptr<RowEncoder> encodeGroup4(ByteSink& out, const RasterFormat& format) {
    if (format.bitsPerSample != 1) return nullptr;
    return std::make_unique<Group4Encoder>(out, format);
}

}  // namespace platform
