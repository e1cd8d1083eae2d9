#include "image/file_target.h"

#include "platform/output_file.h"

namespace tarnwick {

namespace {

class PathTarget : public FileTarget {
  public:
    explicit PathTarget(const std::string& path) : file_(path) {}
    bool open() override { return file_.open(); }
    platform::ByteSink& sink() override { return file_; }
    std::uint64_t written() const override { return file_.written(); }
    std::unique_ptr<platform::TiffWriter> tiff() override {
        return platform::createTiff(file_.handOver());
    }
    bool commit() override { return file_.commit(); }

  private:
    platform::OutputFile file_;
};

class MemorySink : public platform::ByteSink {
  public:
    explicit MemorySink(std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}
    bool write(const std::uint8_t* data, std::size_t size) override {
        bytes_.insert(bytes_.end(), data, data + size);
        return true;
    }

  private:
    std::vector<std::uint8_t>& bytes_;
};

// The bytes stay empty until the file is complete.
class MemoryTarget : public FileTarget {
  public:
    explicit MemoryTarget(std::vector<std::uint8_t>& bytes) : result_(bytes), sink_(pending_) {}
    bool open() override {
        result_.clear();
        return true;
    }
    platform::ByteSink& sink() override { return sink_; }
    std::uint64_t written() const override { return pending_.size(); }
    std::unique_ptr<platform::TiffWriter> tiff() override {
        return platform::createTiffInMemory(pending_);
    }
    bool commit() override {
        result_ = std::move(pending_);
        return true;
    }

  private:
    std::vector<std::uint8_t>& result_;
    std::vector<std::uint8_t> pending_;
    MemorySink sink_;
};

}  // namespace

std::unique_ptr<FileTarget> pathTarget(const std::string& path) {
    return std::make_unique<PathTarget>(path);
}

std::unique_ptr<FileTarget> memoryTarget(std::vector<std::uint8_t>& bytes) {
    return std::make_unique<MemoryTarget>(bytes);
}

}  // namespace tarnwick
