// tarnwick-twain-app: a small TWAIN 2 application that reaches Tarnwick through the real manager.
// It opens the manager, selects the source, negotiates, enables it (with or without its window,
// or for settings only), takes every image by native or memory transfer and writes each as PNM,
// or by file transfer into files of the format named.
//
//   tarnwick-twain-app --out DIR [--memory | --file bmp|tif|png|jpg|pdf] [--ui] [--settings-only]
//                      [--message-loop]
//                      [--pixel-type bw|gray|rgb] [--bit-depth N] [--resolution DPI] [--inches N]
//                      [--feeder | --flatbed] [--count N] [--size TWSS]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "manager.h"
#include "received_image.h"
#include "twain/file_records.h"

namespace {

struct Options {
    std::string out = ".";
    bool memory = false, ui = false, settingsOnly = false, messageLoop = false;
    // A file transfer of this format (a TWFF_ code) into files of this extension; -1 for none.
    int fileFormat = -1;
    std::string fileExtension;
    int pixelType = -1;
    int bitDepth = 0;
    int resolution = 0;
    int inches = 0;   // the frame from the top left corner, 0 for none
    int feeder = -1;  // CAP_FEEDERENABLED, -1 for as it is
    int count = 0;    // CAP_XFERCOUNT, 0 for as it is
    int size = -1;    // ICAP_SUPPORTEDSIZES code, -1 for as it is
};

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--file" && hasValue) {
            static const struct {
                const char* name;
                int format;
            } formats[] = {{"bmp", TWFF_BMP},
                           {"tif", TWFF_TIFF},
                           {"png", TWFF_PNG},
                           {"jpg", TWFF_JFIF},
                           {"pdf", TWFF_PDF}};
            const std::string name = argv[++i];
            for (const auto& f : formats)
                if (name == f.name) o.fileFormat = f.format;
            if (o.fileFormat < 0) return false;
            o.fileExtension = name;
        } else if (a == "--memory") {
            o.memory = true;
        } else if (a == "--ui") {
            o.ui = true;
        } else if (a == "--settings-only") {
            o.settingsOnly = true;
        } else if (a == "--inches" && hasValue) {
            o.inches = std::atoi(argv[++i]);
            if (o.inches <= 0 || o.inches > 100) return false;
        } else if (a == "--feeder" || a == "--flatbed") {
            o.feeder = a == "--feeder" ? 1 : 0;
        } else if (a == "--count" && hasValue) {
            o.count = std::atoi(argv[++i]);
            if (o.count == 0 || o.count < -1 || o.count > 0x7FFF) return false;
        } else if (a == "--size" && hasValue) {
            o.size = std::atoi(argv[++i]);
            if (o.size < 0 || o.size > 0xFFFF) return false;
        } else if (a == "--message-loop") {
            o.messageLoop = true;
        } else if (a == "--out" && hasValue) {
            o.out = argv[++i];
        } else if (a == "--bit-depth" && hasValue) {
            o.bitDepth = std::atoi(argv[++i]);
            if (o.bitDepth <= 0 || o.bitDepth > 64) return false;
        } else if (a == "--resolution" && hasValue) {
            o.resolution = std::atoi(argv[++i]);
            if (o.resolution <= 0 || o.resolution > 10000) return false;
        } else if (a == "--pixel-type" && hasValue) {
            const std::string v = argv[++i];
            o.pixelType = v == "bw"     ? TWPT_BW
                          : v == "gray" ? TWPT_GRAY
                          : v == "rgb"  ? TWPT_RGB
                                        : -1;
            if (o.pixelType < 0) return false;
        } else {
            return false;
        }
    }
    return true;
}

const char* messageName(TW_UINT16 message) {
    switch (message) {
        case MSG_XFERREADY:
            return "MSG_XFERREADY";
        case MSG_CLOSEDSREQ:
            return "MSG_CLOSEDSREQ";
        case MSG_CLOSEDSOK:
            return "MSG_CLOSEDSOK";
        default:
            return "none";
    }
}

class App {
  public:
    explicit App(const Options& o) : o_(o) {}

    int run() {
        if (!m_.open()) return fail(m_.error());
        if (!m_.openSource("Tarnwick")) return fail("the manager found no Tarnwick to open");
        if (!o_.messageLoop && !m_.registerCallback()) return fail("DAT_CALLBACK refused");
        if (o_.settingsOnly && !settingsOnly()) return 1;
        if (!negotiate() || !acquire()) return 1;
        m_.closeSource();
        if (written_ == 0) return fail("no image was received");
        return 0;
    }

  private:
    int fail(const std::string& why) {
        std::fprintf(stderr, "tarnwick-twain-app: %s\n", why.c_str());
        return 1;
    }

    bool check(const char* what, TW_UINT16 rc, TW_UINT16 expected = TWRC_SUCCESS) {
        if (rc == expected) return true;
        std::fprintf(stderr, "tarnwick-twain-app: %s answered %u (condition %u)\n", what,
                     static_cast<unsigned>(rc), static_cast<unsigned>(m_.condition()));
        return false;
    }

    // A one value in a container made by the manager's memory functions.
    bool set(const char* what, TW_UINT16 cap, TW_UINT16 type, TW_UINT32 item) {
        TW_CAPABILITY capability{cap, TWON_ONEVALUE, m_.allocate(sizeof(TW_ONEVALUE))};
        auto* block = static_cast<unsigned char*>(m_.lock(capability.hContainer));
        std::memcpy(block, &type, 2);
        std::memcpy(block + 2, &item, 4);
        m_.unlock(capability.hContainer);
        const TW_UINT16 rc = m_.toSource(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &capability);
        m_.release(capability.hContainer);
        // Something else changed too: what was asked for must be what is in force.
        if (rc == TWRC_CHECKSTATUS) return current(cap) == item || check(what, rc);
        return check(what, rc);
    }

    // The one value MSG_GETCURRENT answers; 0xFFFFFFFF when there is none.
    TW_UINT32 current(TW_UINT16 cap) {
        TW_CAPABILITY capability{cap, 0, nullptr};
        if (m_.toSource(DG_CONTROL, DAT_CAPABILITY, MSG_GETCURRENT, &capability) != TWRC_SUCCESS)
            return 0xFFFFFFFF;
        TW_UINT32 item = 0xFFFFFFFF;
        const auto* block = static_cast<const unsigned char*>(m_.lock(capability.hContainer));
        if (block && capability.ConType == TWON_ONEVALUE) std::memcpy(&item, block + 2, 4);
        m_.unlock(capability.hContainer);
        m_.release(capability.hContainer);
        return item;
    }

    bool negotiate() {
        // The frame first: the capabilities after it make the daemon reload its options.
        if (o_.inches > 0) {
            TW_IMAGELAYOUT layout{};
            layout.Frame.Right.Whole = layout.Frame.Bottom.Whole = static_cast<TW_INT16>(o_.inches);
            // The device may round the frame to its own steps: the source then checks status.
            const TW_UINT16 rc = m_.toSource(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout);
            if (rc != TWRC_CHECKSTATUS && !check("DAT_IMAGELAYOUT", rc)) return false;
        }
        bool ok = set("ICAP_XFERMECH", ICAP_XFERMECH, TWTY_UINT16,
                      o_.fileFormat >= 0 ? TWSX_FILE
                      : o_.memory        ? TWSX_MEMORY
                                         : TWSX_NATIVE);
        if (o_.pixelType >= 0)
            ok = ok && set("ICAP_PIXELTYPE", ICAP_PIXELTYPE, TWTY_UINT16,
                           static_cast<TW_UINT32>(o_.pixelType));
        if (o_.bitDepth > 0)
            ok = ok && set("ICAP_BITDEPTH", ICAP_BITDEPTH, TWTY_UINT16,
                           static_cast<TW_UINT32>(o_.bitDepth));
        if (o_.resolution > 0) {
            const auto item = static_cast<TW_UINT32>(o_.resolution);  // whole dpi, no fraction
            ok = ok && set("ICAP_XRESOLUTION", ICAP_XRESOLUTION, TWTY_FIX32, item) &&
                 set("ICAP_YRESOLUTION", ICAP_YRESOLUTION, TWTY_FIX32, item);
        }
        if (o_.feeder >= 0)
            ok = ok && set("CAP_FEEDERENABLED", CAP_FEEDERENABLED, TWTY_BOOL,
                           static_cast<TW_UINT32>(o_.feeder));
        if (o_.count != 0)
            ok = ok &&
                 set("CAP_XFERCOUNT", CAP_XFERCOUNT, TWTY_INT16, static_cast<TW_UINT32>(o_.count));
        if (o_.size >= 0)
            ok = ok && set("ICAP_SUPPORTEDSIZES", ICAP_SUPPORTEDSIZES, TWTY_UINT16,
                           static_cast<TW_UINT32>(o_.size));
        // Every container the source answers with comes from the manager's memory functions,
        // which free it here.
        TW_CAPABILITY supported{CAP_SUPPORTEDCAPS, 0, nullptr};
        ok = ok && check("CAP_SUPPORTEDCAPS",
                         m_.toSource(DG_CONTROL, DAT_CAPABILITY, MSG_GET, &supported));
        if (supported.hContainer) m_.release(supported.hContainer);
        return ok;
    }

    // The settings-only window: confirmed or closed, the source stays enabled until disabled.
    bool settingsOnly() {
        TW_USERINTERFACE ui{1, 0, nullptr};
        if (!check("MSG_ENABLEDSUIONLY",
                   m_.toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, &ui)))
            return false;
        const TW_UINT16 message = m_.nextNotification(o_.messageLoop);
        std::printf("settings only: %s\n", messageName(message));
        return check("MSG_DISABLEDS after the settings",
                     m_.toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui));
    }

    bool acquire() {
        TW_USERINTERFACE ui{static_cast<TW_BOOL>(o_.ui ? 1 : 0), 0, nullptr};
        if (!check("MSG_ENABLEDS", m_.toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui)))
            return false;
        bool ok = true;
        for (TW_UINT16 message = m_.nextNotification(o_.messageLoop); message == MSG_XFERREADY;
             message = o_.ui ? m_.nextNotification(o_.messageLoop) : MSG_NULL) {
            ok = transferAll() && ok;
        }
        return check("MSG_DISABLEDS",
                     m_.toSource(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui)) &&
               ok;
    }

    bool transferAll() {
        for (;;) {
            TW_IMAGEINFO info{};
            if (!check("DAT_IMAGEINFO", m_.toSource(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info)))
                return false;
            const bool file = o_.fileFormat >= 0;
            if (file && !fileTransfer(info)) return false;
            harness::ReceivedImage image;
            if (!file && !(o_.memory ? memoryTransfer(info, image) : nativeTransfer(image)))
                return false;
            if (!file) write(info, image);
            TW_PENDINGXFERS pending{};
            if (!check("MSG_ENDXFER",
                       m_.toSource(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending)))
                return false;
            if (pending.Count == 0) return true;
        }
    }

    // A file of the image, named as the scripts name it: after DAT_IMAGEINFO, in state 6.
    bool fileTransfer(const TW_IMAGEINFO& info) {
        TW_SETUPFILEXFER setup{};
        const std::string path =
            o_.out + "/image-" + std::to_string(++written_) + "." + o_.fileExtension;
        std::snprintf(setup.FileName, sizeof setup.FileName, "%s", path.c_str());
        setup.Format = static_cast<TW_UINT16>(o_.fileFormat);
        if (!check("DAT_SETUPFILEXFER",
                   m_.toSource(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup)) ||
            !check("DAT_IMAGEFILEXFER", m_.toSource(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr),
                   TWRC_XFERDONE))
            return false;
        std::printf("image %d: %dx%d, pixel type %d, bits per pixel %d, file\n", written_,
                    info.ImageWidth, info.ImageLength, info.PixelType, info.BitsPerPixel);
        return true;
    }

    bool nativeTransfer(harness::ReceivedImage& image) {
        TW_HANDLE handle = nullptr;
        if (!check("DAT_IMAGENATIVEXFER",
                   m_.toSource(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle), TWRC_XFERDONE))
            return false;
        const auto* dib = static_cast<const std::uint8_t*>(m_.lock(handle));
        std::uint32_t header = 0, colours = 0, pixels = 0;
        std::memcpy(&header, dib, 4);
        std::memcpy(&pixels, dib + 20, 4);
        std::memcpy(&colours, dib + 32, 4);
        std::string error;
        const bool ok = harness::fromDib(dib, header + 4 * colours + pixels, image, error);
        m_.unlock(handle);
        m_.release(handle);
        if (!ok) std::fprintf(stderr, "tarnwick-twain-app: %s\n", error.c_str());
        return ok;
    }

    bool memoryTransfer(const TW_IMAGEINFO& info, harness::ReceivedImage& image) {
        TW_SETUPMEMXFER setup{};
        if (!check("DAT_SETUPMEMXFER", m_.toSource(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup)))
            return false;
        image.resize(info.ImageWidth, info.ImageLength,
                     info.PixelType == TWPT_BW     ? harness::PixelKind::bw
                     : info.PixelType == TWPT_GRAY ? harness::PixelKind::gray
                                                   : harness::PixelKind::rgb,
                     info.BitsPerSample[0] == 16 ? 16 : 8);
        // A handle buffer of the manager's memory, as TWAIN 2 applications pass them.
        TW_HANDLE buffer = m_.allocate(setup.Preferred);
        TW_UINT16 rc = TWRC_SUCCESS;
        while (rc == TWRC_SUCCESS) {
            TW_IMAGEMEMXFER xfer{};
            xfer.Memory = {TWMF_HANDLE | 0x0001, setup.Preferred, buffer};
            rc = m_.toSource(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
            if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) break;
            // Rows counts the rows of this buffer alone.
            const TW_UINT32 n = xfer.BytesPerRow ? xfer.BytesWritten / xfer.BytesPerRow : 0;
            if (n != xfer.Rows || xfer.BytesPerRow < image.rowBytes() ||
                xfer.YOffset + n > static_cast<TW_UINT32>(image.height)) {
                std::fprintf(stderr, "tarnwick-twain-app: a buffer of %u rows says Rows %u\n",
                             static_cast<unsigned>(n), static_cast<unsigned>(xfer.Rows));
                rc = TWRC_FAILURE;
                break;
            }
            const auto* rows = static_cast<const std::uint8_t*>(m_.lock(buffer));
            for (TW_UINT32 r = 0; r < n; ++r)
                std::memcpy(image.row(static_cast<int>(xfer.YOffset + r)),
                            rows + r * xfer.BytesPerRow, image.rowBytes());
            m_.unlock(buffer);
        }
        m_.release(buffer);
        return check("DAT_IMAGEMEMXFER", rc, TWRC_XFERDONE);
    }

    void write(const TW_IMAGEINFO& info, const harness::ReceivedImage& image) {
        ++written_;
        std::ofstream file(o_.out + "/image-" + std::to_string(written_) + ".pnm",
                           std::ios::binary);
        harness::writePnm(image, file);
        std::printf("image %d: %dx%d, pixel type %d, bits per pixel %d, %s\n", written_,
                    image.width, image.height, info.PixelType, info.BitsPerPixel,
                    o_.memory ? "memory" : "native");
    }

    const Options& o_;
    twainapp::Manager m_;
    int written_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse(argc, argv, o)) {
        std::fprintf(stderr,
                     "usage: tarnwick-twain-app --out DIR [--memory | --file bmp|tif|png|jpg|pdf] "
                     "[--ui] [--settings-only]\n"
                     "         [--message-loop] [--pixel-type bw|gray|rgb] [--bit-depth N]\n"
                     "         [--resolution DPI] [--inches N]\n"
                     "         [--feeder | --flatbed] [--count N] [--size TWSS]\n");
        return 2;
    }
    return App(o).run();
}
