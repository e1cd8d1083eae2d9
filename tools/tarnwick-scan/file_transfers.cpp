#include "file_transfers.h"

#include <cstring>
#include <fstream>
#include <vector>

#include "platform/image_codec.h"
#include "received_image.h"

namespace harness {

namespace {

struct Named {
    const char* name;
    TW_UINT16 value;
};

const Named kFormats[] = {{"bmp", TWFF_BMP}, {"tiff", TWFF_TIFF}, {"tiffmulti", TWFF_TIFFMULTI},
                          {"png", TWFF_PNG}, {"jfif", TWFF_JFIF}, {"pdf", TWFF_PDF}};
const Named kCompressions[] = {{"none", TWCP_NONE},
                               {"group4", TWCP_GROUP4},
                               {"lzw", TWCP_LZW},
                               {"jpeg", TWCP_JPEG},
                               {"png", TWCP_PNG}};

template <std::size_t N>
std::optional<TW_UINT16> lookUp(const Named (&table)[N], const std::string* word) {
    if (word)
        for (const Named& n : table)
            if (*word == n.name) return n.value;
    return std::nullopt;
}

}  // namespace

std::optional<bool> parseFileOption(const std::string& option, const std::string* value,
                                    FileOptions& o, std::string& error) {
    if (option == "--file") {
        o.format = lookUp(kFormats, value);
        if (!o.format) error = "--file takes bmp, tiff, tiffmulti, png, jfif or pdf";
        return o.format.has_value();
    }
    if (option == "--compression") {
        o.compression = lookUp(kCompressions, value);
        if (!o.compression) error = "--compression takes none, group4, lzw, jpeg or png";
        return o.compression.has_value();
    }
    if (option == "--jpeg-quality") {
        char* end = nullptr;
        const long q = value ? std::strtol(value->c_str(), &end, 10) : -1;
        if (!value || *end != 0 || q < 0 || q > 100) {
            error = "--jpeg-quality takes 0 to 100";
            return false;
        }
        o.quality = static_cast<int>(q);
        return true;
    }
    if (option == "--file-name") {
        if (!value || value->empty() || value->size() > 255) {
            error = "--file-name needs a path of at most 255 bytes";
            return false;
        }
        o.name = *value;
        return true;
    }
    if (option == "--memfile") {
        o.memfile = true;
        return true;
    }
    return std::nullopt;
}

std::string extensionOf(TW_UINT16 format) {
    switch (format) {
        case TWFF_TIFF:
        case TWFF_TIFFMULTI:
            return "tif";
        case TWFF_PNG:
            return "png";
        case TWFF_JFIF:
            return "jpg";
        case TWFF_PDF:
            return "pdf";
        default:
            return "bmp";
    }
}

bool holdsPages(TW_UINT16 format) {
    return format == TWFF_TIFFMULTI || format == TWFF_PDF;
}

FileResult transferFile(const TripletCall& call, const FileOptions& o, const std::string& path) {
    TW_SETUPFILEXFER setup{};
    std::strncpy(setup.FileName, path.c_str(), sizeof setup.FileName - 1);
    setup.Format = o.format.value_or(TWFF_BMP);
    if (call("DAT_SETUPFILEXFER / MSG_SET", DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup) !=
        TWRC_SUCCESS)
        return FileResult::failed;
    const TW_UINT16 rc =
        call("DAT_IMAGEFILEXFER / MSG_GET", DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr);
    if (rc == TWRC_CANCEL) return FileResult::none;
    return rc == TWRC_XFERDONE ? FileResult::file : FileResult::failed;
}

FileResult transferMemoryFile(const TripletCall& call, std::uint32_t size,
                              const std::string& path) {
    std::vector<std::uint8_t> buffer(size), file;
    for (bool first = true;; first = false) {
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory = {0x0001 | 0x0008, size, buffer.data()};  // owned by the harness, a pointer
        const TW_UINT16 rc =
            call("DAT_IMAGEMEMFILEXFER / MSG_GET", DG_IMAGE, DAT_IMAGEMEMFILEXFER, MSG_GET, &xfer);
        if (rc == TWRC_CANCEL && first) return FileResult::none;
        if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) return FileResult::failed;
        if (xfer.BytesWritten > size) {
            std::fprintf(stderr, "tarnwick-scan: the source wrote past its buffer\n");
            return FileResult::failed;
        }
        file.insert(file.end(), buffer.begin(), buffer.begin() + xfer.BytesWritten);
        if (rc == TWRC_XFERDONE) break;
        if (xfer.BytesWritten == 0) {
            std::fprintf(stderr, "tarnwick-scan: the source sent an empty piece of its file\n");
            return FileResult::failed;
        }
    }
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(file.data()),
              static_cast<std::streamsize>(file.size()));
    if (!out) {
        std::fprintf(stderr, "tarnwick-scan: cannot write %s\n", path.c_str());
        return FileResult::failed;
    }
    return FileResult::file;
}

bool decodeJpegStream(const std::vector<std::uint8_t>& stream, ReceivedImage& image,
                      std::string& error) {
    auto decoder = platform::decodeImage(stream.data(), stream.size());
    if (!decoder || decoder->format().bitsPerSample != 8) {
        error = "the JPEG data does not decode";
        return false;
    }
    const platform::RasterFormat& f = decoder->format();
    image.resize(f.width, f.height, f.channels == 3 ? PixelKind::rgb : PixelKind::gray);
    for (int y = 0; y < f.height; ++y)
        if (!decoder->readRow(image.row(y))) {
            error = "the JPEG data ends early";
            return false;
        }
    return true;
}

}  // namespace harness
