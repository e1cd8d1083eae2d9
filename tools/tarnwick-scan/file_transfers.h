// The harness's file and memory-file transfers: what it asks for and how it takes the files.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "twain/file_records.h"

namespace harness {

// A triplet sent to the source, its failures reported as the acquire command reports them.
using TripletCall = std::function<TW_UINT16(const std::string& what, TW_UINT32 DG, TW_UINT16 DAT,
                                            TW_UINT16 MSG, TW_MEMREF data)>;

struct FileOptions {
    std::optional<TW_UINT16> format;       // --file FORMAT (or the format of --memfile)
    std::optional<TW_UINT16> compression;  // --compression NAME
    std::optional<int> quality;            // --jpeg-quality N
    bool memfile = false;                  // --memfile
    std::string name;                      // --file-name PATH: every image goes there
};

// Reads one of the options above at args[i] (moving i past its value); nothing when args[i]
// is not one of them, false with `error` set for a bad value.
std::optional<bool> parseFileOption(const std::string& option, const std::string* value,
                                    FileOptions& o, std::string& error);
std::string extensionOf(TW_UINT16 format);
bool holdsPages(TW_UINT16 format);

enum class FileResult { file, none, failed };

// A JFIF stream of a compressed memory transfer, decoded by the platform's codec; false with
// `error` set when it does not decode.
struct ReceivedImage;
bool decodeJpegStream(const std::vector<std::uint8_t>& stream, ReceivedImage& image,
                      std::string& error);

// DAT_SETUPFILEXFER to `path`, then DAT_IMAGEFILEXFER.
FileResult transferFile(const TripletCall& call, const FileOptions& o, const std::string& path);
// DAT_IMAGEMEMFILEXFER in buffers of `size` bytes, the pieces joined and written to `path`.
FileResult transferMemoryFile(const TripletCall& call, std::uint32_t size, const std::string& path);

}  // namespace harness
