// A file that appears under its name only once it is complete: the bytes go to a temporary file
// beside the target, which replaces the target at commit() and is removed otherwise.
#pragma once

#include <cstdio>
#include <string>

#include "platform/image_codec.h"

namespace platform {

class OutputFile : public ByteSink {
  public:
    explicit OutputFile(std::string target);
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file; false when the folder is missing or not writable.
    bool open();
    bool write(const std::uint8_t* data, std::size_t size) override;
    std::uint64_t written() const { return written_; }
    // For writers that open the file themselves (TIFF): closes this object's stream and gives
    // the temporary file's name, which commit() and abandon() still look after.
    const std::string& handOver();
    // Closes the file this object opened, if any, and renames the temporary file to the target.
    bool commit();
    // Removes the temporary file.
    void abandon();

  private:
    std::string target_, temporary_;
    std::FILE* file_ = nullptr;
    std::uint64_t written_ = 0;
    bool failed_ = false;
};

// Renames `from` to `to`, replacing a file of that name.
bool replaceFile(const std::string& from, const std::string& to);

}  // namespace platform
