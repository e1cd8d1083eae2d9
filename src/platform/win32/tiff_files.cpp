// TIFF files on Windows: WIC writes them, but for JPEG pages, which it cannot put in a TIFF and
// our own writer does. The first page decides which writes the file.
#include "platform/jpeg_tiff.h"
#include "platform/win32/wic_tiff.h"

namespace platform {

namespace {

class ChosenTiffWriter : public TiffWriter {
  public:
    ChosenTiffWriter(const std::string* path, std::vector<std::uint8_t>* bytes)
        : path_(path ? *path : std::string()), bytes_(bytes) {}

    std::unique_ptr<RowEncoder> addPage(const RasterFormat& format, RasterCompression compression,
                                        int quality) override {
        const bool jpeg = compression == RasterCompression::Jpeg;
        if (!writer_) {
            jpeg_ = jpeg;
            const std::string* path = bytes_ ? nullptr : &path_;
            if (jpeg)
                writer_ = path ? createJpegTiff(path_) : createJpegTiffInMemory(*bytes_);
            else
                writer_ = createWicTiff(path, bytes_);
        }
        // Neither writer takes the other's pages.
        if (jpeg != jpeg_) return nullptr;
        return writer_->addPage(format, compression, quality);
    }
    bool close() override { return writer_ && writer_->close(); }

  private:
    std::string path_;
    std::vector<std::uint8_t>* bytes_;
    std::unique_ptr<TiffWriter> writer_;
    bool jpeg_ = false;
};

}  // namespace

std::unique_ptr<TiffWriter> createTiff(const std::string& path) {
    return std::make_unique<ChosenTiffWriter>(&path, nullptr);
}

std::unique_ptr<TiffWriter> createTiffInMemory(std::vector<std::uint8_t>& bytes) {
    return std::make_unique<ChosenTiffWriter>(nullptr, &bytes);
}

}  // namespace platform
