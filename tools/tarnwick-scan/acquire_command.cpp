// tarnwick-scan acquire DS [options]: opens the source, negotiates what was asked, enables it,
// takes every image it offers and writes each to a file.
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "commands.h"
#include "event_pump.h"
#include "file_transfers.h"
#include "own_dsm.h"
#include "platform/global_memory.h"
#include "received_image.h"
#include "source_module.h"
#include "twain_names.h"

namespace harness {

namespace {

const char* const kUsage =
    "usage: tarnwick-scan acquire DS [--native | --memory [--buffer BYTES]] [--ui]\n"
    "         [--pixel-type bw|gray|rgb] [--bit-depth N] [--resolution DPI]\n"
    "         [--units inches|cm|pixels] [--frame L,T,R,B] [--size NAME]\n"
    "         [--feeder | --flatbed] [--duplex] [--count N]\n"
    "         [--out DIR] [--max-images N] [--format png|bmp|pnm]\n"
    "         [--file bmp|tiff|tiffmulti|png|jfif|pdf [--file-name PATH] | --memfile]\n"
    "         [--compression none|group4|lzw|jpeg|png] [--jpeg-quality N]\n";

struct Options {
    std::string source;
    bool memory = false;
    std::optional<TW_UINT32> buffer;
    bool ui = false;
    std::optional<TW_UINT16> pixelType;
    std::optional<TW_UINT16> bitDepth;
    std::optional<int> resolution;
    std::optional<std::vector<double>> frame;  // left, top, right, bottom in the units
    std::optional<TW_UINT16> units;
    std::optional<TW_UINT16> pageSize;
    std::optional<bool> feeder;
    bool duplex = false;
    std::optional<int> count;
    std::string out = ".";
    int maxImages = 100;
    std::string format = "png";
    FileOptions files;

    bool byFile() const { return files.format || files.memfile; }
    TW_UINT16 mechanism() const {
        if (files.memfile) return TWSX_MEMFILE;
        if (files.format) return TWSX_FILE;
        return memory ? TWSX_MEMORY : TWSX_NATIVE;
    }
};

// The constant a word names among its choices; nothing for a missing or another word.
std::optional<TW_UINT16> choose(const std::string* word,
                                std::initializer_list<std::pair<const char*, TW_UINT16>> choices) {
    if (word)
        for (const auto& [name, constant] : choices)
            if (*word == name) return constant;
    return std::nullopt;
}

bool readNumber(const std::string& text, long long low, long long high, long long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, 10);
    return !text.empty() && *end == '\0' && errno == 0 && value >= low && value <= high;
}

std::optional<std::vector<double>> readFrame(const std::string& text) {
    std::vector<double> edges;
    std::size_t at = 0;
    while (at <= text.size()) {
        const std::size_t comma = text.find(',', at);
        const std::string piece = text.substr(at, comma == std::string::npos ? comma : comma - at);
        char* end = nullptr;
        const double v = std::strtod(piece.c_str(), &end);
        if (piece.empty() || *end != '\0' || !std::isfinite(v) || v < 0 || v > 32767)
            return std::nullopt;
        edges.push_back(v);
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    if (edges.size() != 4) return std::nullopt;
    return edges;
}

bool parse(const std::vector<std::string>& args, Options& o, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&]() -> const std::string* {
            if (i + 1 >= args.size()) return nullptr;
            return &args[++i];
        };
        long long n = 0;
        if (a == "--native") {
            o.memory = false;
        } else if (a == "--memory") {
            o.memory = true;
        } else if (a == "--ui") {
            o.ui = true;
        } else if (a == "--buffer" || a == "--bit-depth" || a == "--resolution" ||
                   a == "--max-images") {
            const std::string* v = value();
            const long long high = a == "--buffer"      ? 0xFFFFFFFFll
                                   : a == "--bit-depth" ? 64
                                                        : 100000;
            if (!v || !readNumber(*v, 1, high, n)) {
                error = a + " needs a positive number";
                return false;
            }
            if (a == "--buffer") o.buffer = static_cast<TW_UINT32>(n);
            if (a == "--bit-depth") o.bitDepth = static_cast<TW_UINT16>(n);
            if (a == "--resolution") o.resolution = static_cast<int>(n);
            if (a == "--max-images") o.maxImages = static_cast<int>(n);
        } else if (a == "--pixel-type") {
            o.pixelType =
                choose(value(), {{"bw", TWPT_BW}, {"gray", TWPT_GRAY}, {"rgb", TWPT_RGB}});
            if (!o.pixelType) {
                error = "--pixel-type takes bw, gray or rgb";
                return false;
            }
        } else if (a == "--frame") {
            const std::string* v = value();
            if (v) o.frame = readFrame(*v);
            if (!o.frame) {
                error = "--frame takes four edges: L,T,R,B";
                return false;
            }
        } else if (a == "--units") {
            o.units = choose(
                value(),
                {{"inches", TWUN_INCHES}, {"cm", TWUN_CENTIMETERS}, {"pixels", TWUN_PIXELS}});
            if (!o.units) {
                error = "--units takes inches, cm or pixels";
                return false;
            }
        } else if (a == "--size") {
            const std::string* v = value();
            if (v) o.pageSize = pageSizeCode(*v);
            if (!o.pageSize) {
                error = "--size takes a TWAIN page size name such as A4, A5, USLETTER or NONE";
                return false;
            }
        } else if (a == "--feeder" || a == "--flatbed") {
            o.feeder = a == "--feeder";
        } else if (a == "--duplex") {
            o.duplex = true;
        } else if (a == "--count") {
            const std::string* v = value();
            if (!v || !readNumber(*v, -1, 0x7FFF, n) || n == 0) {
                error = "--count takes -1 (no limit) or a number of images from 1";
                return false;
            }
            o.count = static_cast<int>(n);
        } else if (a == "--out") {
            const std::string* v = value();
            if (!v) {
                error = "--out needs a folder";
                return false;
            }
            o.out = *v;
        } else if (a == "--format") {
            const std::string* v = value();
            if (!v || (*v != "png" && *v != "bmp" && *v != "pnm")) {
                error = "--format takes png, bmp or pnm";
                return false;
            }
            o.format = *v;
        } else if (a == "--file" || a == "--compression" || a == "--jpeg-quality" ||
                   a == "--file-name" || a == "--memfile") {
            if (!parseFileOption(a, a == "--memfile" ? nullptr : value(), o.files, error)
                     .value_or(false))
                return false;
        } else if (!a.empty() && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (o.source.empty()) {
            o.source = a;
        } else {
            error = "more than one data source given";
            return false;
        }
    }
    if (o.duplex && o.feeder == false) {
        error = "--duplex scans from the feeder, not the flatbed";
        return false;
    }
    if (o.buffer && !o.memory && !o.files.memfile) {
        error = "--buffer goes with --memory or --memfile";
        return false;
    }
    if (o.source.empty()) {
        error = "no data source given";
        return false;
    }
    return true;
}

TW_FIX32 fix32(double value) {
    const auto v = static_cast<std::int32_t>(value * 65536.0 + 0.5);
    return TW_FIX32{static_cast<TW_INT16>(v >> 16), static_cast<TW_UINT16>(v & 0xFFFF)};
}

// The source and every answer it gave that was not plain success.
class Session {
  public:
    explicit Session(SourceModule& module) : module_(module) {}

    TW_UINT16 call(const std::string& what, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG,
                   TW_MEMREF data) {
        const TW_UINT16 rc = module_.call(DG, DAT, MSG, data);
        if (rc == TWRC_SUCCESS || rc == TWRC_XFERDONE) return rc;
        std::string report = what + ": " + returnCodeName(rc);
        if (rc == TWRC_FAILURE || rc == TWRC_CHECKSTATUS) {
            TW_STATUS status{};
            if (module_.call(DG_CONTROL, DAT_STATUS, MSG_GET, &status) == TWRC_SUCCESS)
                report += ", " + conditionCodeName(status.ConditionCode);
        }
        std::fprintf(stderr, "tarnwick-scan: %s\n", report.c_str());
        return rc;
    }

    // A one-value MSG_SET; false when the source refused it.
    bool setCapability(const char* name, TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item) {
        TW_CAPABILITY capability{cap, TWON_ONEVALUE, platform::globalAlloc(sizeof(TW_ONEVALUE))};
        auto* block = static_cast<std::uint8_t*>(platform::globalLock(capability.hContainer));
        if (!block) return false;
        std::memcpy(block, &itemType, 2);
        std::memcpy(block + 2, &item, 4);
        platform::globalUnlock(capability.hContainer);
        void* sent = capability.hContainer;
        const TW_UINT16 rc = call(std::string("DAT_CAPABILITY / MSG_SET ") + name, DG_CONTROL,
                                  DAT_CAPABILITY, MSG_SET, &capability);
        platform::globalFree(sent);
        // A container the source put in its place on an answer belongs to the harness too.
        if (capability.hContainer != sent) platform::globalFree(capability.hContainer);
        return rc != TWRC_FAILURE;
    }

  private:
    SourceModule& module_;
};

bool negotiate(Session& s, const Options& o) {
    bool ok = s.setCapability("ICAP_XFERMECH", ICAP_XFERMECH, TWTY_UINT16, o.mechanism());
    // The format first: it decides which compressions there are.
    if (o.files.format)
        ok = ok && s.setCapability("ICAP_IMAGEFILEFORMAT", ICAP_IMAGEFILEFORMAT, TWTY_UINT16,
                                   *o.files.format);
    if (o.files.compression)
        ok = ok && s.setCapability("ICAP_COMPRESSION", ICAP_COMPRESSION, TWTY_UINT16,
                                   *o.files.compression);
    if (o.files.quality)
        ok = ok && s.setCapability("ICAP_JPEGQUALITY", ICAP_JPEGQUALITY, TWTY_INT16,
                                   static_cast<TW_UINT32>(*o.files.quality));
    if (o.pixelType)
        ok = ok && s.setCapability("ICAP_PIXELTYPE", ICAP_PIXELTYPE, TWTY_UINT16, *o.pixelType);
    if (o.bitDepth)
        ok = ok && s.setCapability("ICAP_BITDEPTH", ICAP_BITDEPTH, TWTY_UINT16, *o.bitDepth);
    if (o.resolution) {
        const TW_FIX32 r = fix32(*o.resolution);
        const TW_UINT32 item = static_cast<TW_UINT16>(r.Whole) | static_cast<TW_UINT32>(r.Frac)
                                                                     << 16;
        ok = ok && s.setCapability("ICAP_XRESOLUTION", ICAP_XRESOLUTION, TWTY_FIX32, item) &&
             s.setCapability("ICAP_YRESOLUTION", ICAP_YRESOLUTION, TWTY_FIX32, item);
    }
    if (o.units) ok = ok && s.setCapability("ICAP_UNITS", ICAP_UNITS, TWTY_UINT16, *o.units);
    if (o.feeder)
        ok = ok && s.setCapability("CAP_FEEDERENABLED", CAP_FEEDERENABLED, TWTY_BOOL, *o.feeder);
    if (o.duplex) ok = ok && s.setCapability("CAP_DUPLEXENABLED", CAP_DUPLEXENABLED, TWTY_BOOL, 1);
    if (o.count)
        ok = ok && s.setCapability("CAP_XFERCOUNT", CAP_XFERCOUNT, TWTY_INT16,
                                   static_cast<TW_UINT32>(*o.count));
    if (o.pageSize)
        ok = ok &&
             s.setCapability("ICAP_SUPPORTEDSIZES", ICAP_SUPPORTEDSIZES, TWTY_UINT16, *o.pageSize);
    if (ok && o.frame) {
        TW_IMAGELAYOUT layout{};
        const std::vector<double>& f = *o.frame;
        layout.Frame = {fix32(f[0]), fix32(f[1]), fix32(f[2]), fix32(f[3])};
        // A frame the device rounded or clamped is reported and scanned as the device took it.
        const TW_UINT16 rc =
            s.call("DAT_IMAGELAYOUT / MSG_SET", DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout);
        ok = rc == TWRC_SUCCESS || rc == TWRC_CHECKSTATUS;
    }
    return ok;
}

// An image, the source's answer that it has none (TWRC_CANCEL: the batch ended early, as when
// a feeder runs empty), or a failure.
enum class Transfer { image, none, failed };

Transfer nativeTransfer(Session& s, ReceivedImage& image) {
    TW_HANDLE handle = nullptr;
    const TW_UINT16 rc =
        s.call("DAT_IMAGENATIVEXFER / MSG_GET", DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle);
    if (rc == TWRC_CANCEL) return Transfer::none;
    if (rc != TWRC_XFERDONE) return Transfer::failed;
    const auto* dib = static_cast<const std::uint8_t*>(platform::globalLock(handle));
    bool ok = false;
    std::string error = "the source handed over no bitmap";
    if (dib) {
        // The block is the bitmap's: header, colour table and rows as the header tells them.
        std::uint32_t header = 0, pixels = 0, colours = 0;
        std::uint16_t bits = 0;
        std::int32_t width = 0, height = 0;
        std::memcpy(&header, dib, 4);
        std::memcpy(&width, dib + 4, 4);
        std::memcpy(&height, dib + 8, 4);
        std::memcpy(&bits, dib + 14, 2);
        std::memcpy(&colours, dib + 32, 4);
        if (bits <= 8 && colours == 0) colours = 1u << bits;
        const std::uint64_t stride =
            (static_cast<std::uint64_t>(width < 0 ? 0 : width) * bits + 31) / 32 * 4;
        pixels = static_cast<std::uint32_t>(std::min<std::uint64_t>(
            stride * static_cast<std::uint64_t>(std::abs(height)), 0xFFFFFFFFu));
        ok = fromDib(dib, std::size_t{header} + 4 * std::min(colours, 256u) + pixels, image, error);
        platform::globalUnlock(handle);
    }
    platform::globalFree(handle);
    if (!ok) std::fprintf(stderr, "tarnwick-scan: native transfer: %s\n", error.c_str());
    return ok ? Transfer::image : Transfer::failed;
}

// A compressed memory transfer: the buffers joined are one JFIF stream, decoded here, or raw
// Group 4 data, kept.
Transfer compressedTransfer(Session& s, TW_IMAGEMEMXFER first, TW_UINT16 rc,
                            std::vector<std::uint8_t>& buffer, ReceivedImage& image) {
    if (first.Compression != TWCP_JPEG && first.Compression != TWCP_GROUP4) {
        std::fprintf(stderr, "tarnwick-scan: the source sent compression %u, not JPEG or Group 4\n",
                     static_cast<unsigned>(first.Compression));
        return Transfer::failed;
    }
    std::vector<std::uint8_t> stream;
    TW_IMAGEMEMXFER xfer = first;
    for (;;) {
        const std::size_t n = std::min<std::size_t>(xfer.BytesWritten, buffer.size());
        stream.insert(stream.end(), buffer.begin(), buffer.begin() + n);
        if (rc == TWRC_XFERDONE) break;
        if (n == 0 || stream.size() > (std::size_t{1} << 31)) {
            std::fprintf(stderr, "tarnwick-scan: the compressed transfer does not end\n");
            return Transfer::failed;
        }
        xfer = TW_IMAGEMEMXFER{};
        xfer.Memory = {0x0001 | 0x0008, static_cast<TW_UINT32>(buffer.size()), buffer.data()};
        rc = s.call("DAT_IMAGEMEMXFER / MSG_GET", DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) return Transfer::failed;
    }
    if (first.Compression == TWCP_GROUP4) {
        image.width = static_cast<int>(first.Columns);
        image.height = static_cast<int>(first.Rows);
        image.kind = PixelKind::bw;
        image.group4 = std::move(stream);
        return Transfer::image;
    }
    std::string error;
    if (decodeJpegStream(stream, image, error)) return Transfer::image;
    std::fprintf(stderr, "tarnwick-scan: %s\n", error.c_str());
    return Transfer::failed;
}

Transfer memoryTransfer(Session& s, const Options& o, const TW_IMAGEINFO& info,
                        ReceivedImage& image) {
    TW_SETUPMEMXFER setup{};
    const TW_UINT16 setupRc =
        s.call("DAT_SETUPMEMXFER / MSG_GET", DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup);
    if (setupRc != TWRC_SUCCESS) return Transfer::failed;
    TW_PALETTE8 palette{};
    if (info.PixelType == TWPT_PALETTE &&
        s.call("DAT_PALETTE8 / MSG_GET", DG_IMAGE, DAT_PALETTE8, MSG_GET, &palette) != TWRC_SUCCESS)
        return Transfer::failed;
    const TW_UINT32 size = o.buffer ? *o.buffer : setup.Preferred;
    if (size == 0 || size == TWON_DONTCARE32) {
        std::fprintf(stderr, "tarnwick-scan: the source proposes no buffer size\n");
        return Transfer::failed;
    }
    std::vector<std::uint8_t> buffer(size);
    std::vector<std::uint8_t> received;  // rows as the source laid them out
    TW_UINT32 rows = 0, columns = 0, bytesPerRow = 0, got = 0;
    for (bool first = true;; first = false) {
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory = {0x0001 | 0x0008, size, buffer.data()};  // owned by the harness, a pointer
        const TW_UINT16 rc =
            s.call("DAT_IMAGEMEMXFER / MSG_GET", DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        if (rc == TWRC_CANCEL && first) return Transfer::none;
        if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) return Transfer::failed;
        if (first && xfer.Compression != TWCP_NONE)
            return compressedTransfer(s, xfer, rc, buffer, image);
        if (first) {
            // Rows counts the rows of one buffer; the image's are in its information.
            rows = static_cast<TW_UINT32>(std::max<TW_INT32>(info.ImageLength, 0));
            columns = xfer.Columns;
            bytesPerRow = xfer.BytesPerRow;
            if (bytesPerRow == 0 || static_cast<std::uint64_t>(rows) * bytesPerRow > (1ull << 31)) {
                std::fprintf(stderr, "tarnwick-scan: the source describes no image to receive\n");
                return Transfer::failed;
            }
            received.assign(static_cast<std::size_t>(rows) * bytesPerRow, 0);
        }
        const TW_UINT32 n = std::min(TW_UINT32{xfer.BytesWritten}, size) / bytesPerRow;
        if (xfer.YOffset > rows || n > rows - xfer.YOffset) {
            std::fprintf(stderr, "tarnwick-scan: the source sent rows outside the image\n");
            return Transfer::failed;
        }
        std::memcpy(received.data() + static_cast<std::size_t>(xfer.YOffset) * bytesPerRow,
                    buffer.data(), static_cast<std::size_t>(n) * bytesPerRow);
        got += n;
        if (rc == TWRC_XFERDONE) break;
        if (n == 0) {
            std::fprintf(stderr, "tarnwick-scan: a buffer of %u bytes holds no row of %u bytes\n",
                         static_cast<unsigned>(size), static_cast<unsigned>(bytesPerRow));
            return Transfer::failed;
        }
    }
    const PixelKind kind = info.PixelType == TWPT_BW     ? PixelKind::bw
                           : info.PixelType == TWPT_GRAY ? PixelKind::gray
                                                         : PixelKind::rgb;
    if (info.PixelType == TWPT_PALETTE) {
        image.resize(static_cast<int>(columns), static_cast<int>(std::min(got, rows)), kind);
        for (int y = 0; y < image.height; ++y) {
            const std::uint8_t* from = received.data() + static_cast<std::size_t>(y) * bytesPerRow;
            for (TW_UINT32 x = 0; x < columns && x < bytesPerRow; ++x) {
                const TW_ELEMENT8& e = palette.Colors[from[x]];
                image.row(y)[3 * x] = e.Channel1;
                image.row(y)[3 * x + 1] = e.Channel2;
                image.row(y)[3 * x + 2] = e.Channel3;
            }
        }
        return Transfer::image;
    }
    image.resize(static_cast<int>(columns), 0, kind, info.BitsPerSample[0] == 16 ? 16 : 8);
    image.height = static_cast<int>(std::min(got, rows));
    if (image.rowBytes() > bytesPerRow) {
        std::fprintf(stderr, "tarnwick-scan: the rows are shorter than their pixels\n");
        return Transfer::failed;
    }
    // The rows close up in place and become the image: a large page is held once.
    for (int y = 0; y < image.height; ++y)
        std::memmove(received.data() + static_cast<std::size_t>(y) * image.rowBytes(),
                     received.data() + static_cast<std::size_t>(y) * bytesPerRow, image.rowBytes());
    received.resize(image.rowBytes() * static_cast<std::size_t>(image.height));
    image.pixels = std::move(received);
    return Transfer::image;
}

bool writeImage(const Options& o, int k, const ReceivedImage& image) {
    const bool group4 = !image.group4.empty();
    const std::string name = "image-" + std::to_string(k) + "." + (group4 ? "g4" : o.format);
    const std::filesystem::path path = std::filesystem::path(o.out) / name;
    std::ofstream file(path, std::ios::binary);
    if (group4) {
        file.write(reinterpret_cast<const char*>(image.group4.data()),
                   static_cast<std::streamsize>(image.group4.size()));
    } else if (o.format == "pnm") {
        writePnm(image, file);
    } else {
        const std::vector<std::uint8_t> bytes =
            o.format == "png" ? encodePng(image) : encodeBmp(image);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    if (!file) {
        std::fprintf(stderr, "tarnwick-scan: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

class Acquisition {
  public:
    Acquisition(SourceModule& module, const Options& o) : module_(module), s_(module), o_(o) {}

    int run() {
        TW_IDENTITY identity{};
        identity.Id = 2;  // as a manager would assign it
        clearNotifications();
        TW_ENTRYPOINT offered = entryPoint();
        if (s_.call("DAT_ENTRYPOINT / MSG_SET", DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &offered) !=
            TWRC_SUCCESS)
            return 1;
        if (s_.call("DAT_IDENTITY / MSG_OPENDS", DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity) !=
            TWRC_SUCCESS)
            return 1;
        bool ok = negotiate(s_, o_);
        if (ok) ok = enableAndTransfer();
        s_.call("DAT_IDENTITY / MSG_CLOSEDS", DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, nullptr);
        if (written_ == 0) std::fprintf(stderr, "tarnwick-scan: no image was received\n");
        return ok && written_ > 0 ? 0 : 1;
    }

  private:
    bool enableAndTransfer() {
        TW_USERINTERFACE ui{static_cast<TW_BOOL>(o_.ui ? 1 : 0), 0, nullptr};
        bool ok = s_.call("DAT_USERINTERFACE / MSG_ENABLEDS", DG_CONTROL, DAT_USERINTERFACE,
                          MSG_ENABLEDS, &ui) == TWRC_SUCCESS;
        while (ok) {
            if (o_.ui && seen_ == receivedNotifications().size()) pumpUntilNotified(module_);
            if (seen_ == receivedNotifications().size()) break;
            const TW_UINT16 message = receivedNotifications()[seen_++];
            if (message != MSG_XFERREADY) break;  // the source asks to be closed
            ok = transferBatch();
            if (!o_.ui) break;
        }
        s_.call("DAT_USERINTERFACE / MSG_DISABLEDS", DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS,
                nullptr);
        return ok;
    }

    // Every image the source offers after MSG_XFERREADY, until none is pending.
    bool transferBatch() {
        bool ok = true;
        for (;;) {
            TW_IMAGEINFO info{};
            TW_PENDINGXFERS pending{};
            if (s_.call("DAT_IMAGEINFO / MSG_GET", DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) !=
                TWRC_SUCCESS) {
                s_.call("DAT_PENDINGXFERS / MSG_RESET", DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET,
                        &pending);
                return false;
            }
            if (o_.byFile()) {
                const TW_UINT16 result = transferFile(info, pending);
                if (result == TWRC_CANCEL) return ok;
                if (result == TWRC_FAILURE) ok = false;
                if (result == TWRC_FAILURE || pending.Count == 0) return ok;
                continue;
            }
            ReceivedImage image;
            // No image to describe: the batch ended early, as when a feeder runs empty.
            const Transfer got = info.ImageWidth < 0 ? Transfer::none
                                 : o_.memory         ? memoryTransfer(s_, o_, info, image)
                                                     : nativeTransfer(s_, image);
            if (got == Transfer::image) {
                ++written_;
                ok = writeImage(o_, written_, image) && ok;
                std::printf("image %d: %dx%d, pixel type %s, bits per pixel %d, %dx%d dpi, %s\n",
                            written_, image.width, image.height,
                            pixelTypeName(info.PixelType).c_str(), info.BitsPerPixel,
                            info.XResolution.Whole, info.YResolution.Whole,
                            o_.memory ? "memory" : "native");
                std::fflush(stdout);
            }
            if (s_.call("DAT_PENDINGXFERS / MSG_ENDXFER", DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER,
                        &pending) != TWRC_SUCCESS)
                return false;
            if (got == Transfer::failed) ok = false;
            if (pending.Count == 0) return ok;
            if (got != Transfer::image || written_ >= o_.maxImages) {
                s_.call("DAT_PENDINGXFERS / MSG_RESET", DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET,
                        &pending);
                return ok;
            }
        }
    }

    // One image by file or memory file, its transfer ended: TWRC_SUCCESS with images still
    // pending in `pending`, TWRC_CANCEL when the batch is over early, else TWRC_FAILURE.
    TW_UINT16 transferFile(const TW_IMAGEINFO& info, TW_PENDINGXFERS& pending) {
        const FileOptions& f = o_.files;
        const TW_UINT16 format = f.format.value_or(TWFF_BMP);
        const std::string base =
            !f.memfile && holdsPages(format) ? "images" : "image-" + std::to_string(written_ + 1);
        const std::string path =
            !f.name.empty()
                ? f.name
                : (std::filesystem::path(o_.out) / (base + "." + extensionOf(format))).string();
        const TripletCall call = [this](const std::string& what, TW_UINT32 DG, TW_UINT16 DAT,
                                        TW_UINT16 MSG, TW_MEMREF data) {
            return s_.call(what, DG, DAT, MSG, data);
        };
        FileResult got = FileResult::none;
        if (info.ImageWidth >= 0 && f.memfile) {
            TW_SETUPMEMXFER setup{};
            if (s_.call("DAT_SETUPMEMXFER / MSG_GET", DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET,
                        &setup) != TWRC_SUCCESS)
                return TWRC_FAILURE;
            const TW_UINT32 size = o_.buffer ? *o_.buffer : setup.Preferred;
            got = size == 0 || size == TWON_DONTCARE32 ? FileResult::failed
                                                       : transferMemoryFile(call, size, path);
        } else if (info.ImageWidth >= 0) {
            got = harness::transferFile(call, f, path);
        }
        if (got == FileResult::file) {
            ++written_;
            std::printf("image %d: %dx%d, pixel type %s, bits per pixel %d, %dx%d dpi, %s %s\n",
                        written_, info.ImageWidth, info.ImageLength,
                        pixelTypeName(info.PixelType).c_str(), info.BitsPerPixel,
                        info.XResolution.Whole, info.YResolution.Whole,
                        f.memfile ? "memory file" : "file", path.c_str());
            std::fflush(stdout);
        }
        // A failed transfer stays in state 6: the batch is given up.
        if (got == FileResult::failed) {
            s_.call("DAT_PENDINGXFERS / MSG_RESET", DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET,
                    &pending);
            return TWRC_FAILURE;
        }
        if (s_.call("DAT_PENDINGXFERS / MSG_ENDXFER", DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER,
                    &pending) != TWRC_SUCCESS)
            return TWRC_FAILURE;
        if (got == FileResult::none) return TWRC_CANCEL;
        if (pending.Count != 0 && written_ >= o_.maxImages) {
            s_.call("DAT_PENDINGXFERS / MSG_RESET", DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET,
                    &pending);
            return TWRC_CANCEL;
        }
        return TWRC_SUCCESS;
    }

    SourceModule& module_;
    Session s_;
    const Options& o_;
    std::size_t seen_ = 0;
    int written_ = 0;
};

}  // namespace

int runAcquire(const std::vector<std::string>& args) {
    Options o;
    std::string error;
    if (!parse(args, o, error)) {
        std::fprintf(stderr, "tarnwick-scan: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    std::error_code ignored;
    std::filesystem::create_directories(o.out, ignored);
    SourceModule source(o.source);
    if (!source.loaded()) {
        std::fprintf(stderr, "tarnwick-scan: %s\n", source.error().c_str());
        return 1;
    }
    return Acquisition(source, o).run();
}

}  // namespace harness
