#include "image/image_file.h"

#include "image/codec_file_writers.h"

namespace tarnwick {

namespace {

std::unique_ptr<ImageFileWriter> writerFor(std::unique_ptr<FileTarget> target,
                                           const FileRecipe& recipe) {
    if (!target->open()) return nullptr;
    switch (recipe.format) {
        case FileFormat::Tiff:
            return tiffWriter(std::move(target), recipe);
        case FileFormat::Pdf:
            return pdfWriter(std::move(target), recipe);
        default:
            return singlePageWriter(std::move(target), recipe);
    }
}

}  // namespace

bool canWrite(const FileRecipe& recipe, int channels, int bitsPerSample) {
    const platform::CodecSupport codecs = platform::codecSupport();
    const bool bw = channels == 1 && bitsPerSample == 1;
    switch (recipe.format) {
        case FileFormat::Bmp:
            return recipe.compression == FileCompression::None;
        case FileFormat::Png:
            return codecs.png && (recipe.compression == FileCompression::Deflate ||
                                  recipe.compression == FileCompression::None);
        case FileFormat::Jpeg:
            return codecs.jpeg && recipe.compression == FileCompression::Jpeg;
        case FileFormat::Tiff:
            switch (recipe.compression) {
                case FileCompression::None:
                case FileCompression::Lzw:
                    return codecs.tiff;
                case FileCompression::Group4:
                    return codecs.tiff && bw;
                case FileCompression::Jpeg:
                    return codecs.tiffJpeg && !bw;
                default:
                    return false;
            }
        case FileFormat::Pdf:
            switch (recipe.compression) {
                case FileCompression::None:
                    return true;
                case FileCompression::Group4:
                    return codecs.group4 && bw;
                case FileCompression::Jpeg:
                    return codecs.jpeg && !bw;
                default:
                    return false;
            }
    }
    return false;
}

std::unique_ptr<ImageFileWriter> createFileWriter(const std::string& path,
                                                  const FileRecipe& recipe) {
    if (path.empty()) return nullptr;
    return writerFor(pathTarget(path), recipe);
}

std::unique_ptr<ImageFileWriter> createMemoryWriter(std::vector<std::uint8_t>& bytes,
                                                    const FileRecipe& recipe) {
    return writerFor(memoryTarget(bytes), recipe);
}

}  // namespace tarnwick
