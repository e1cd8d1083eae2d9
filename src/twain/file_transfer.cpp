#include "twain/file_transfer.h"

#include <algorithm>
#include <cstring>

#include "twain/data_source.h"
#include "twain/image.h"
#include "twain/image_format.h"

namespace tarnwick {

namespace {

FileFormat fileFormat(TW_UINT16 format) {
    switch (format) {
        case TWFF_TIFF:
        case TWFF_TIFFMULTI:
            return FileFormat::Tiff;
        case TWFF_PNG:
            return FileFormat::Png;
        case TWFF_JFIF:
            return FileFormat::Jpeg;
        case TWFF_PDF:
            return FileFormat::Pdf;
        default:
            return FileFormat::Bmp;
    }
}

FileCompression fileCompression(TW_UINT16 compression) {
    switch (compression) {
        case TWCP_GROUP4:
            return FileCompression::Group4;
        case TWCP_LZW:
            return FileCompression::Lzw;
        case TWCP_JPEG:
            return FileCompression::Jpeg;
        case TWCP_PNG:
            return FileCompression::Deflate;
        default:
            return FileCompression::None;
    }
}

bool isFileMechanism(TW_UINT16 mechanism) {
    return mechanism == TWSX_FILE || mechanism == TWSX_MEMFILE;
}

// The rows as the file takes them: red first, 16-bit samples little-endian, palette indexes
// as the colours they stand for.
PageRows pageOf(const DataSource& source, const Image& image) {
    const ImageFormat f = describeImage(image.parameters, *image.bitmap, holdsSixteenBits(source));
    const bool palette = f.pixelType == TWPT_PALETTE;
    PageRows page;
    page.format.width = f.width;
    page.format.height = f.rows;
    page.format.channels = palette ? 3 : f.samplesPerPixel;
    page.format.bitsPerSample = f.bitsPerSample;
    page.format.xDpi = image.xResolution;
    page.format.yDpi = image.yResolution;
    auto scratch = std::make_shared<std::vector<std::uint8_t>>(f.rowStride);
    const Bitmap* bitmap = image.bitmap;
    page.row = [bitmap, f, scratch, palette](int y, std::uint8_t* out) {
        writeMemoryRows(*bitmap, f, y, 1, scratch->data());
        if (!palette) {
            std::memcpy(out, scratch->data(), f.rowBytes);
            return;
        }
        static const std::vector<PaletteEntry> colours = eightColourPalette();
        for (int x = 0; x < f.width; ++x) {
            const PaletteEntry& c = colours[(*scratch)[static_cast<std::size_t>(x)]];
            out[3 * x] = c.red;
            out[3 * x + 1] = c.green;
            out[3 * x + 2] = c.blue;
        }
    };
    return page;
}

FileRecipe recipeOf(const DataSource& source, const Image& image) {
    const ImageFormat f = describeImage(image.parameters, *image.bitmap, false);
    return {fileFormat(source.files.format),
            fileCompression(compressionInEffect(source, f.pixelType)), source.files.jpegQuality};
}

}  // namespace

FileTransfers::FileTransfers() = default;
FileTransfers::~FileTransfers() = default;

void FileTransfers::closeFile() {
    if (open_) open_->finish();
    open_.reset();
    openName_.clear();
    std::vector<std::uint8_t>().swap(memoryFile);
    memoryFileSent = 0;
}

bool FileTransfers::writeImage(DataSource& source, const Image& image) {
    const FileRecipe recipe = recipeOf(source, image);
    const bool pages = format == TWFF_TIFFMULTI || format == TWFF_PDF;
    if (!pages || openName_ != name) closeFile();
    if (!open_) {
        open_ = createFileWriter(name, recipe);
        openName_ = name;
    }
    const bool written =
        open_ && open_->addPage(pageOf(source, image)) && (pages || open_->finish());
    // A failed file is dropped whole; a file of one page is complete.
    if (!written || !pages) {
        open_.reset();
        openName_.clear();
    }
    return written;
}

bool FileTransfers::encodeImage(DataSource& source, const Image& image) {
    memoryFile.clear();
    memoryFileSent = 0;
    auto writer = createMemoryWriter(memoryFile, recipeOf(source, image));
    return writer && writer->addPage(pageOf(source, image)) && writer->finish();
}

namespace {

class VectorSink : public platform::ByteSink {
  public:
    explicit VectorSink(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    bool write(const std::uint8_t* data, std::size_t size) override {
        bytes_.insert(bytes_.end(), data, data + size);
        return true;
    }

  private:
    std::vector<std::uint8_t>& bytes_;
};

}  // namespace

bool FileTransfers::encodeCompressed(DataSource& source, const Image& image) {
    memoryFile.clear();
    memoryFileSent = 0;
    const PageRows page = pageOf(source, image);
    if (compression == TWCP_JPEG) {
        auto writer =
            createMemoryWriter(memoryFile, {FileFormat::Jpeg, FileCompression::Jpeg, jpegQuality});
        return writer && writer->addPage(page) && writer->finish();
    }
    VectorSink sink(memoryFile);
    auto encoder = platform::encodeGroup4(sink, page.format);
    std::vector<std::uint8_t> row(platform::packedRowBytes(page.format));
    for (int y = 0; encoder && y < page.format.height; ++y) {
        page.row(y, row.data());
        if (!encoder->writeRow(row.data())) return false;
    }
    return encoder && encoder->finish();
}

bool writesFormat(TW_UINT16 format) {
    const platform::CodecSupport codecs = platform::codecSupport();
    switch (format) {
        case TWFF_BMP:
        case TWFF_PDF:
            return true;
        case TWFF_TIFF:
        case TWFF_TIFFMULTI:
            return codecs.tiff;
        case TWFF_PNG:
            return codecs.png;
        case TWFF_JFIF:
            return codecs.jpeg;
        default:
            return false;
    }
}

std::vector<TW_UINT32> compressionsFor(TW_UINT16 mechanism, TW_UINT16 format) {
    if (mechanism == TWSX_MEMORY) {
        const platform::CodecSupport codecs = platform::codecSupport();
        std::vector<TW_UINT32> offered{TWCP_NONE};
        if (codecs.jpeg) offered.push_back(TWCP_JPEG);
        if (codecs.group4) offered.push_back(TWCP_GROUP4);
        return offered;
    }
    if (!isFileMechanism(mechanism)) return {TWCP_NONE};
    std::vector<TW_UINT32> offered;
    const TW_UINT16 all[] = {TWCP_NONE, TWCP_PNG, TWCP_GROUP4, TWCP_LZW, TWCP_JPEG};
    for (TW_UINT16 c : all) {
        const FileRecipe recipe{fileFormat(format), fileCompression(c), 75};
        // Offered when some pixel type can take it.
        if (canWrite(recipe, 1, 1) || canWrite(recipe, 3, 8)) offered.push_back(c);
    }
    // PNG's own value, not none, names its deflate compression first.
    if (format == TWFF_PNG)
        std::stable_partition(offered.begin(), offered.end(),
                              [](TW_UINT32 c) { return c == TWCP_PNG; });
    if (offered.empty()) offered.push_back(TWCP_NONE);
    return offered;
}

TW_UINT16 compressionInEffect(const DataSource& source, TW_INT16 pixelType) {
    const bool bw = pixelType == TWPT_BW;
    const TW_UINT16 set = source.files.compression;
    if (source.transferMechanism == TWSX_MEMORY) {
        const bool greyOrColour = pixelType == TWPT_GRAY || pixelType == TWPT_RGB;
        return (set == TWCP_JPEG && greyOrColour) || (set == TWCP_GROUP4 && bw) ? set : TWCP_NONE;
    }
    if (!isFileMechanism(source.transferMechanism)) return TWCP_NONE;
    const FileRecipe recipe{fileFormat(source.files.format),
                            fileCompression(source.files.compression), 75};
    if (canWrite(recipe, bw ? 1 : 3, bw ? 1 : 8)) return source.files.compression;
    // JFIF has no other compression; its black and white pages are widened to grey.
    return source.files.format == TWFF_JFIF ? TWCP_JPEG : TWCP_NONE;
}

bool holdsSixteenBits(const DataSource& source) {
    if (source.transferMechanism == TWSX_MEMORY) return source.files.compression != TWCP_JPEG;
    if (!isFileMechanism(source.transferMechanism)) return false;
    const TW_UINT16 f = source.files.format;
    return (f == TWFF_TIFF || f == TWFF_TIFFMULTI || f == TWFF_PNG) &&
           source.files.compression != TWCP_JPEG;
}

std::optional<std::size_t> FileTransfers::sendMemoryFile(DataSource& source, TW_MEMORY& block) {
    const std::size_t n = std::min<std::size_t>(block.Length, memoryFile.size() - memoryFileSent);
    const bool byHandle = (block.Flags & TWMF_HANDLE) != 0;
    auto* buffer =
        static_cast<std::uint8_t*>(byHandle ? source.dsm().lock(block.TheMem) : block.TheMem);
    if (!buffer) return std::nullopt;
    std::memcpy(buffer, memoryFile.data() + memoryFileSent, n);
    if (byHandle) source.dsm().unlock(block.TheMem);
    memoryFileSent += n;
    return n;
}

}  // namespace tarnwick
