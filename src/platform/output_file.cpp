#include "platform/output_file.h"

#include <atomic>
#include <utility>

namespace platform {

namespace {

// Distinct names for the files of one process; a name some other file has is passed over.
std::string temporaryBeside(const std::string& target, unsigned attempt) {
    static std::atomic<unsigned> counter{0};
    return target + ".part" + std::to_string(counter++) + "-" + std::to_string(attempt);
}

}  // namespace

OutputFile::OutputFile(std::string target) : target_(std::move(target)) {}

OutputFile::~OutputFile() {
    abandon();
}

bool OutputFile::open() {
    for (unsigned attempt = 0; attempt < 16 && !file_; ++attempt) {
        temporary_ = temporaryBeside(target_, attempt);
        if (std::FILE* existing = std::fopen(temporary_.c_str(), "rb")) {
            std::fclose(existing);
            continue;
        }
        file_ = std::fopen(temporary_.c_str(), "wb");
    }
    if (!file_) temporary_.clear();
    return file_ != nullptr;
}

bool OutputFile::write(const std::uint8_t* data, std::size_t size) {
    if (!file_ || failed_) return false;
    if (size != 0 && std::fwrite(data, 1, size, file_) != size) failed_ = true;
    written_ += size;
    return !failed_;
}

const std::string& OutputFile::handOver() {
    if (file_) failed_ = std::fclose(file_) != 0 || failed_;
    file_ = nullptr;
    return temporary_;
}

bool OutputFile::commit() {
    if (temporary_.empty()) return false;
    if (file_) {
        failed_ = std::fflush(file_) != 0 || failed_;
        failed_ = std::fclose(file_) != 0 || failed_;
        file_ = nullptr;
    }
    if (failed_ || !replaceFile(temporary_, target_)) {
        abandon();
        return false;
    }
    temporary_.clear();
    return true;
}

void OutputFile::abandon() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) std::remove(temporary_.c_str());
    temporary_.clear();
}

}  // namespace platform
