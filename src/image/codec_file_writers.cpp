// The files the platform's codecs write: one page of PNG, JPEG or BMP; TIFF of any number.
#include "image/codec_file_writers.h"

#include <vector>

#include "image/bmp_encoder.h"
#include "image/page_rows.h"

namespace tarnwick {

namespace {

bool encodeRows(platform::RowEncoder* encoder, const PageRows& page) {
    if (!encoder) return false;
    std::vector<std::uint8_t> row(platform::packedRowBytes(page.format));
    for (int y = 0; y < page.format.height; ++y) {
        page.row(y, row.data());
        if (!encoder->writeRow(row.data())) return false;
    }
    return encoder->finish();
}

class SinglePageWriter : public ImageFileWriter {
  public:
    SinglePageWriter(std::unique_ptr<FileTarget> target, const FileRecipe& recipe)
        : target_(std::move(target)), recipe_(recipe) {}

    bool addPage(const PageRows& page) override {
        if (spent_) return false;
        spent_ = true;
        platform::ByteSink& sink = target_->sink();
        switch (recipe_.format) {
            case FileFormat::Png:
                return written_ = encodeRows(platform::encodePng(sink, page.format).get(), page);
            case FileFormat::Jpeg: {
                const PageRows eight = asEightBit(page);
                return written_ = encodeRows(
                           platform::encodeJpeg(sink, eight.format, recipe_.jpegQuality).get(),
                           eight);
            }
            default:
                return written_ = writeBmp(sink, atMostEightBit(page));
        }
    }
    bool finish() override { return written_ && target_->commit(); }

  private:
    std::unique_ptr<FileTarget> target_;
    FileRecipe recipe_;
    bool spent_ = false, written_ = false;
};

platform::RasterCompression rasterCompression(FileCompression c) {
    switch (c) {
        case FileCompression::Group4:
            return platform::RasterCompression::Group4;
        case FileCompression::Lzw:
            return platform::RasterCompression::Lzw;
        case FileCompression::Jpeg:
            return platform::RasterCompression::Jpeg;
        default:
            return platform::RasterCompression::None;
    }
}

class TiffFileWriter : public ImageFileWriter {
  public:
    TiffFileWriter(std::unique_ptr<FileTarget> target, const FileRecipe& recipe)
        : target_(std::move(target)), recipe_(recipe), tiff_(target_->tiff()) {}

    bool addPage(const PageRows& page) override {
        if (!tiff_ || failed_) return false;
        const PageRows rows =
            recipe_.compression == FileCompression::Jpeg ? asEightBit(page) : page;
        auto encoder = tiff_->addPage(rows.format, rasterCompression(recipe_.compression),
                                      recipe_.jpegQuality);
        failed_ = !encodeRows(encoder.get(), rows);
        return !failed_;
    }
    bool finish() override {
        if (!tiff_ || failed_) return false;
        const bool closed = tiff_->close();
        tiff_.reset();
        return closed && target_->commit();
    }

  private:
    std::unique_ptr<FileTarget> target_;
    FileRecipe recipe_;
    std::unique_ptr<platform::TiffWriter> tiff_;
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<ImageFileWriter> singlePageWriter(std::unique_ptr<FileTarget> target,
                                                  const FileRecipe& recipe) {
    return std::make_unique<SinglePageWriter>(std::move(target), recipe);
}

std::unique_ptr<ImageFileWriter> tiffWriter(std::unique_ptr<FileTarget> target,
                                            const FileRecipe& recipe) {
    return std::make_unique<TiffFileWriter>(std::move(target), recipe);
}

}  // namespace tarnwick
