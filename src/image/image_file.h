// Image files of one or more pages, written as the rows of each page come: BMP, TIFF, PNG,
// JPEG (JFIF) and PDF. A file is complete only after finish(); a writer dropped before that,
// or one that failed, leaves nothing under the file's name.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/image_codec.h"

namespace tarnwick {

enum class FileFormat { Bmp, Tiff, Png, Jpeg, Pdf };
enum class FileCompression { None, Group4, Lzw, Jpeg, Deflate };

// One page: its format and its rows, packed as platform::RasterFormat says, any row on demand.
struct PageRows {
    platform::RasterFormat format;
    std::function<void(int y, std::uint8_t* out)> row;
};

struct FileRecipe {
    FileFormat format = FileFormat::Bmp;
    FileCompression compression = FileCompression::None;
    int jpegQuality = 75;
};

// Whether this platform writes that format with that compression for such a page (1-bit,
// grey or colour); JPEG takes 8-bit grey or colour and widens black and white to grey.
bool canWrite(const FileRecipe& recipe, int channels, int bitsPerSample);

class ImageFileWriter {
  public:
    virtual ~ImageFileWriter() = default;
    // False when the page could not be written (a full disk); the writer is then spent.
    virtual bool addPage(const PageRows& page) = 0;
    // Completes the file; false when that failed, and then nothing is left.
    virtual bool finish() = 0;
};

// Where a file goes: a path (through a temporary name beside it) or memory.
std::unique_ptr<ImageFileWriter> createFileWriter(const std::string& path,
                                                  const FileRecipe& recipe);
std::unique_ptr<ImageFileWriter> createMemoryWriter(std::vector<std::uint8_t>& bytes,
                                                    const FileRecipe& recipe);

}  // namespace tarnwick
