// The file is written front to back: the header, then for each page its strip followed by its
// directory. A page's directory is held until the next page's strip is encoded, since it
// points at the directory after that strip (or at none, once the file is closed).
#include "platform/jpeg_tiff.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "platform/jpeg_frame.h"

namespace platform {

namespace {

constexpr std::uint16_t kShort = 3, kLong = 4, kRational = 5;
constexpr std::uint64_t kLargestOffset = 0xffffffffu;

void putLittle(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// One image file directory: its entries, then the values that do not fit in an entry.
class Directory {
  public:
    void add(std::uint16_t tag, std::uint16_t type, std::vector<std::uint32_t> values) {
        entries_.push_back({tag, type, std::move(values)});
    }
    void addRational(std::uint16_t tag, double value) {
        add(tag, kRational, {static_cast<std::uint32_t>(std::lround(value * 100)), 100});
    }
    std::uint64_t size() const {
        std::uint64_t n = 2 + 12 * entries_.size() + 4;
        for (const Entry& e : entries_)
            if (e.bytes() > 4) n += e.bytes();
        return n;
    }
    // The directory as it stands at `at`, pointing at the next one at `next` (0: none).
    std::vector<std::uint8_t> bytes(std::uint32_t at, std::uint32_t next) const {
        std::vector<Entry> sorted = entries_;
        std::sort(sorted.begin(), sorted.end(),
                  [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
        std::vector<std::uint8_t> out, extra;
        putLittle(out, static_cast<std::uint32_t>(sorted.size()), 2);
        const std::uint32_t extraAt = at + 2 + 12 * static_cast<std::uint32_t>(sorted.size()) + 4;
        for (const Entry& e : sorted) {
            putLittle(out, e.tag, 2);
            putLittle(out, e.type, 2);
            // A rational is two numbers; its count is one.
            putLittle(out,
                      static_cast<std::uint32_t>(e.type == kRational ? e.values.size() / 2
                                                                     : e.values.size()),
                      4);
            std::vector<std::uint8_t> value;
            for (std::uint32_t v : e.values) putLittle(value, v, e.type == kShort ? 2 : 4);
            if (value.size() > 4) {
                putLittle(out, extraAt + static_cast<std::uint32_t>(extra.size()), 4);
                extra.insert(extra.end(), value.begin(), value.end());
            } else {
                value.resize(4, 0);
                out.insert(out.end(), value.begin(), value.end());
            }
        }
        putLittle(out, next, 4);
        out.insert(out.end(), extra.begin(), extra.end());
        return out;
    }

  private:
    struct Entry {
        std::uint16_t tag, type;
        std::vector<std::uint32_t> values;
        std::size_t bytes() const { return values.size() * (type == kShort ? 2 : 4); }
    };
    std::vector<Entry> entries_;
};

Directory pageDirectory(const RasterFormat& f, const JpegFrame& frame, std::uint32_t stripAt,
                        std::uint32_t stripBytes) {
    const bool colour = f.channels == 3;
    Directory d;
    d.add(256, kLong, {static_cast<std::uint32_t>(f.width)});
    d.add(257, kLong, {static_cast<std::uint32_t>(f.height)});
    d.add(258, kShort, std::vector<std::uint32_t>(static_cast<std::size_t>(f.channels), 8));
    d.add(259, kShort, {7});                 // JPEG
    d.add(262, kShort, {colour ? 6u : 1u});  // YCbCr, MinIsBlack
    d.add(273, kLong, {stripAt});
    d.add(277, kShort, {static_cast<std::uint32_t>(f.channels)});
    d.add(278, kLong, {static_cast<std::uint32_t>(f.height)});
    d.add(279, kLong, {stripBytes});
    d.addRational(282, f.xDpi > 0 ? f.xDpi : 72);
    d.addRational(283, f.yDpi > 0 ? f.yDpi : 72);
    d.add(284, kShort, {1});  // contiguous samples
    d.add(296, kShort, {2});  // inches
    if (colour) {
        d.add(530, kShort,
              {static_cast<std::uint32_t>(frame.horizontalShare),
               static_cast<std::uint32_t>(frame.verticalShare)});
        // JPEG's full range of Y, Cb and Cr.
        d.add(532, kRational, {0, 1, 255, 1, 128, 1, 255, 1, 128, 1, 255, 1});
    }
    return d;
}

// Where the file goes; close() tells whether every byte arrived.
class TiffOut : public ByteSink {
  public:
    virtual bool close() = 0;
};

class FileOut : public TiffOut {
  public:
    explicit FileOut(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
    ~FileOut() override {
        if (file_) std::fclose(file_);
    }
    FileOut(const FileOut&) = delete;
    FileOut& operator=(const FileOut&) = delete;
    bool write(const std::uint8_t* data, std::size_t size) override {
        return file_ && std::fwrite(data, 1, size, file_) == size;
    }
    bool close() override {
        if (!file_) return false;
        const bool ok = std::fflush(file_) == 0 && !std::ferror(file_);
        const bool closed = std::fclose(file_) == 0;
        file_ = nullptr;
        return ok && closed;
    }

  private:
    std::FILE* file_;
};

// The bytes are handed over at close.
class MemoryOut : public TiffOut {
  public:
    explicit MemoryOut(std::vector<std::uint8_t>& result) : result_(result) {}
    bool write(const std::uint8_t* data, std::size_t size) override {
        pending_.insert(pending_.end(), data, data + size);
        return true;
    }
    bool close() override {
        result_ = std::move(pending_);
        return true;
    }

  private:
    std::vector<std::uint8_t>& result_;
    std::vector<std::uint8_t> pending_;
};

class Collect : public ByteSink {
  public:
    bool write(const std::uint8_t* data, std::size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<std::uint8_t> bytes;
};

class JpegTiffWriter : public TiffWriter {
  public:
    explicit JpegTiffWriter(std::unique_ptr<TiffOut> out) : out_(std::move(out)) {}

    std::unique_ptr<RowEncoder> addPage(const RasterFormat& format, RasterCompression compression,
                                        int quality) override;
    bool close() override {
        if (closed_) return false;
        closed_ = true;
        ok_ = ok_ && pending_ && writeDirectory(0);
        return out_->close() && ok_;
    }

    // A page's JPEG stream is complete: it goes in, after the directory before it.
    bool addStrip(const RasterFormat& f, const std::vector<std::uint8_t>& jpeg) {
        const std::optional<JpegFrame> frame = readJpegFrame(jpeg.data(), jpeg.size());
        if (!ok_ || !frame || frame->components != f.channels) return ok_ = false;
        const std::uint64_t before = pending_ ? pending_->size() : 0;
        const std::uint64_t stripAt = (at_ == 0 ? 8 : at_) + before;
        const std::uint64_t directoryAt = stripAt + jpeg.size() + (jpeg.size() & 1);
        Directory next = pageDirectory(f, *frame, static_cast<std::uint32_t>(stripAt),
                                       static_cast<std::uint32_t>(jpeg.size()));
        // Offsets are 32 bits wide: a file that would pass 4 GiB fails.
        if (directoryAt + next.size() > kLargestOffset) return ok_ = false;
        if (at_ == 0) {
            std::vector<std::uint8_t> header{'I', 'I', 42, 0};
            putLittle(header, static_cast<std::uint32_t>(directoryAt), 4);
            ok_ = put(header);
        } else {
            ok_ = writeDirectory(static_cast<std::uint32_t>(directoryAt));
        }
        ok_ = ok_ && put(jpeg);
        if (jpeg.size() & 1) ok_ = ok_ && put({0});
        pending_ = std::move(next);
        return ok_;
    }

  private:
    bool writeDirectory(std::uint32_t next) {
        const bool ok = put(pending_->bytes(static_cast<std::uint32_t>(at_), next));
        pending_.reset();
        return ok;
    }
    bool put(const std::vector<std::uint8_t>& bytes) {
        at_ += bytes.size();
        return out_->write(bytes.data(), bytes.size());
    }

    std::unique_ptr<TiffOut> out_;
    std::optional<Directory> pending_;
    std::uint64_t at_ = 0;
    bool ok_ = true, closed_ = false;
};

// The rows go to the platform's JPEG encoder; the stream, once complete, into the file.
class JpegPage : public RowEncoder {
  public:
    JpegPage(JpegTiffWriter& file, const RasterFormat& f, int quality)
        : file_(file), format_(f), encoder_(encodeJpeg(jpeg_, f, quality)) {}
    bool writeRow(const std::uint8_t* row) override { return encoder_ && encoder_->writeRow(row); }
    bool finish() override {
        return encoder_ && encoder_->finish() && file_.addStrip(format_, jpeg_.bytes);
    }

  private:
    JpegTiffWriter& file_;
    RasterFormat format_;
    Collect jpeg_;
    std::unique_ptr<RowEncoder> encoder_;
};

std::unique_ptr<RowEncoder> JpegTiffWriter::addPage(const RasterFormat& format,
                                                    RasterCompression compression, int quality) {
    if (!ok_ || closed_ || compression != RasterCompression::Jpeg || format.bitsPerSample != 8 ||
        (format.channels != 1 && format.channels != 3))
        return nullptr;
    return std::make_unique<JpegPage>(*this, format, quality);
}

}  // namespace

std::unique_ptr<TiffWriter> createJpegTiff(const std::string& path) {
    return std::make_unique<JpegTiffWriter>(std::make_unique<FileOut>(path));
}

std::unique_ptr<TiffWriter> createJpegTiffInMemory(std::vector<std::uint8_t>& bytes) {
    return std::make_unique<JpegTiffWriter>(std::make_unique<MemoryOut>(bytes));
}

}  // namespace platform
