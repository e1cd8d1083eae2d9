// What the application set for file and memory-file transfers, and the file of several pages
// still open between the transfers of a batch.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/image_file.h"
#include "twain/file_records.h"

namespace tarnwick {

class DataSource;
class Image;

class FileTransfers {
  public:
    FileTransfers();
    ~FileTransfers();
    FileTransfers(const FileTransfers&) = delete;
    FileTransfers& operator=(const FileTransfers&) = delete;

    static constexpr const char* kDefaultName = "TWAIN.TMP";
    static constexpr int kDefaultQuality = 75;

    std::string name = kDefaultName;
    TW_UINT16 format = TWFF_BMP;        // ICAP_IMAGEFILEFORMAT
    TW_UINT16 compression = TWCP_NONE;  // ICAP_COMPRESSION
    int jpegQuality = kDefaultQuality;  // ICAP_JPEGQUALITY

    // Ends the file of several pages under way: its last page is written and it takes its
    // name. Called when the application names another file and when the batch ends.
    void closeFile();
    // Writes the image to the file set: a file of its own, or the next page of the open one.
    // False when it could not be written; then nothing of that file is left.
    bool writeImage(DataSource& source, const Image& image);
    // The bytes of the image as a file, for a memory-file transfer; false when encoding failed.
    bool encodeImage(DataSource& source, const Image& image);
    // The image as a JFIF stream or raw Group 4 data, for a compressed memory transfer.
    bool encodeCompressed(DataSource& source, const Image& image);
    std::vector<std::uint8_t> memoryFile;
    std::size_t memoryFileSent = 0;
    // The next bytes of memoryFile into the application's block (by pointer or by handle): how
    // many; none when the block cannot be reached.
    std::optional<std::size_t> sendMemoryFile(DataSource& source, TW_MEMORY& block);

  private:
    std::unique_ptr<ImageFileWriter> open_;
    std::string openName_;
};

// Whether the source writes that format on this platform.
bool writesFormat(TW_UINT16 format);
// The compressions a transfer mechanism and file format offer, the default first.
std::vector<TW_UINT32> compressionsFor(TW_UINT16 mechanism, TW_UINT16 format);
// The compression a transfer of this image uses: the one set when the image can take it (a
// fax code for black and white, JPEG for grey and colour), else none.
TW_UINT16 compressionInEffect(const DataSource& source, TW_INT16 pixelType);
// 16-bit samples reach the application: memory transfers, and files whose format holds them.
bool holdsSixteenBits(const DataSource& source);

}  // namespace tarnwick
