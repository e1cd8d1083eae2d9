// Where an image file's bytes go: a path, through a temporary name beside it, or memory.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/image_codec.h"

namespace tarnwick {

class FileTarget {
  public:
    virtual ~FileTarget() = default;
    // False when the file cannot be created (no folder, no rights).
    virtual bool open() = 0;
    virtual platform::ByteSink& sink() = 0;
    // Bytes given to the sink so far: where the next object of a PDF begins.
    virtual std::uint64_t written() const = 0;
    // A TIFF writer in place of the sink, for TIFF files.
    virtual std::unique_ptr<platform::TiffWriter> tiff() = 0;
    // The file is complete: it takes its name. Without it the bytes are discarded.
    virtual bool commit() = 0;
};

std::unique_ptr<FileTarget> pathTarget(const std::string& path);
std::unique_ptr<FileTarget> memoryTarget(std::vector<std::uint8_t>& bytes);

}  // namespace tarnwick
