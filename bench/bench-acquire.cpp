// A 300 dpi colour page of the test backend's full area: the time from MSG_ENABLEDS (no user
// interface) to the last row of a memory transfer through the built tarnwick.ds, driven in this
// process through DS_Entry, against scanimage writing the same scan to a file from the same saned
// in the same run. Then decodeFrame alone on a synthetic frame of that size. Run by hand:
//     build/native/bench-acquire [path/to/tarnwick.ds]
// It starts its own saned on the standard port 6566 (the net backend scanimage goes through cannot
// be told another), with private configuration folders and a private settings file.
#include <dlfcn.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "image/decode_frame.h"
#include "platform/global_memory.h"
#include "sane/connection.h"
#include "twain/records.h"

extern char** environ;

using namespace tarnwick;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kDpi = 300;
constexpr int kAreaMm = 200;  // the test backend's bed is 200 mm square
constexpr int kRounds = 3;
constexpr int kPort = 6566;

std::vector<TW_UINT16> notifications;

}  // namespace

// The source reaches its application through the process's DSM_Entry, as in the harness.
extern "C" TW_UINT16 DSM_Entry(TW_IDENTITY*, TW_IDENTITY*, TW_UINT32 DG, TW_UINT16 DAT,
                               TW_UINT16 MSG, TW_MEMREF) {
    if (DG != DG_CONTROL || DAT != DAT_NULL) return TWRC_FAILURE;
    notifications.push_back(MSG);
    return TWRC_SUCCESS;
}

namespace {

using Entry = TW_UINT16(TW_IDENTITY*, TW_UINT32, TW_UINT16, TW_UINT16, TW_MEMREF);

pid_t startSaned(const fs::path& config, int port) {
    std::string env = "SANE_CONFIG_DIR=" + config.string();
    std::vector<char*> envp;
    for (char** e = environ; *e; ++e) envp.push_back(*e);
    envp.push_back(env.data());
    envp.push_back(nullptr);
    const std::string portText = std::to_string(port);
    const char* argv[] = {"saned",          "-l", "-b", "127.0.0.1", "-p",
                          portText.c_str(), "-d", "0",  nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, "saned", nullptr, nullptr, const_cast<char**>(argv), envp.data()) != 0)
        return 0;
    return pid;
}

// True once our saned answers; false when it quit (another daemon holds the port) or never did.
bool waitForDaemon(pid_t saned, int port) {
    for (int i = 0; i < 50; ++i) {
        if (waitpid(saned, nullptr, WNOHANG) == saned) return false;
        Connection probe("127.0.0.1", "bench", port, nullptr);
        const bool answered = probe.connect(true);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (waitpid(saned, nullptr, WNOHANG) == saned) return false;
        if (answered) return true;
    }
    return false;
}

class Source {
  public:
    explicit Source(const std::string& path) {
        library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (library_) entry_ = reinterpret_cast<Entry*>(dlsym(library_, "DS_Entry"));
        application_.Id = 1;
        application_.ProtocolMajor = 1;
        application_.ProtocolMinor = 8;
        application_.SupportedGroups = DG_CONTROL | DG_IMAGE;
        std::strcpy(application_.ProductName, "bench-acquire");
    }
    ~Source() {
        if (library_) dlclose(library_);
    }
    bool loaded() const { return entry_ != nullptr; }
    TW_UINT16 call(TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16 MSG, TW_MEMREF data) {
        return entry_(&application_, DG, DAT, MSG, data);
    }

    bool set(TW_UINT16 cap, TW_UINT16 itemType, TW_UINT32 item) {
        TW_CAPABILITY c{cap, TWON_ONEVALUE, platform::globalAlloc(sizeof(TW_ONEVALUE))};
        auto* block = static_cast<std::uint8_t*>(platform::globalLock(c.hContainer));
        if (!block) return false;
        std::memcpy(block, &itemType, 2);
        std::memcpy(block + 2, &item, 4);
        platform::globalUnlock(c.hContainer);
        void* sent = c.hContainer;
        const TW_UINT16 rc = call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &c);
        platform::globalFree(sent);
        if (c.hContainer != sent) platform::globalFree(c.hContainer);
        return rc != TWRC_FAILURE;  // CHECKSTATUS: taken, rounded to what the device offers
    }

  private:
    void* library_ = nullptr;
    Entry* entry_ = nullptr;
    TW_IDENTITY application_{};
};

struct Page {
    double seconds = 0;
    TW_UINT32 columns = 0, rows = 0;
    double bytes = 0;
};

// One page: open, negotiate, then the timed part from MSG_ENABLEDS to the transfer's last row.
bool acquireOnce(Source& source, Page& page) {
    TW_IDENTITY identity{};
    identity.Id = 2;
    notifications.clear();
    if (source.call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity) != TWRC_SUCCESS) return false;
    const TW_UINT32 dpi = kDpi;  // a whole TW_FIX32 in the item's low half
    bool ok = source.set(ICAP_XFERMECH, TWTY_UINT16, TWSX_MEMORY) &&
              source.set(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB) &&
              source.set(ICAP_XRESOLUTION, TWTY_FIX32, dpi) &&
              source.set(ICAP_YRESOLUTION, TWTY_FIX32, dpi);
    // The full bed; a hair over 200 mm, as edges are truncated to whole millimetres.
    const TW_FIX32 edge{static_cast<TW_INT16>(kAreaMm / 25.4), static_cast<TW_UINT16>(0xE000)};
    TW_IMAGELAYOUT layout{};
    layout.Frame = {TW_FIX32{0, 0}, TW_FIX32{0, 0}, edge, edge};
    ok = ok && source.call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout) != TWRC_FAILURE;
    if (!ok)
        std::fprintf(stderr, "the source refused memory transfers of the bed in colour at %d dpi\n",
                     kDpi);
    std::vector<std::uint8_t> buffer;
    const Clock::time_point begin = Clock::now();
    TW_USERINTERFACE ui{0, 0, nullptr};
    ok = ok && source.call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) == TWRC_SUCCESS &&
         !notifications.empty() && notifications[0] == MSG_XFERREADY;
    TW_IMAGEINFO info{};
    TW_SETUPMEMXFER setup{};
    ok = ok && source.call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) == TWRC_SUCCESS &&
         source.call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) == TWRC_SUCCESS;
    if (ok) buffer.resize(setup.Preferred);
    double bytes = 0;
    TW_UINT32 rows = 0, columns = 0;
    while (ok) {
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory = {0x0001 | 0x0008, static_cast<TW_UINT32>(buffer.size()), buffer.data()};
        const TW_UINT16 rc = source.call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) ok = false;
        if (!ok) break;
        bytes += xfer.BytesWritten;
        rows = std::max(rows, xfer.YOffset + xfer.Rows);
        columns = xfer.Columns;
        if (rc == TWRC_XFERDONE) break;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    TW_PENDINGXFERS pending{};
    source.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    if (pending.Count != 0) source.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
    source.call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    source.call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity);
    if (!ok) {
        TW_STATUS status{};
        source.call(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        std::fprintf(stderr, "the source failed (condition code %u, %zu notifications)\n",
                     static_cast<unsigned>(status.ConditionCode), notifications.size());
        return false;
    }
    page = {seconds, columns, rows, bytes};
    return true;
}

// scanimage through the net backend to a file; the PNM's size shows it read the same page.
double scanimageOnce(const fs::path& netConfig, double& fileBytes) {
    const fs::path image = netConfig / "peer.pnm";
    const std::string command =
        "SANE_CONFIG_DIR=" + netConfig.string() +
        " scanimage -d net:127.0.0.1:test:0 --mode Color --resolution " + std::to_string(kDpi) +
        " -x " + std::to_string(kAreaMm) + " -y " + std::to_string(kAreaMm) +
        " --test-picture 'Color pattern' --format=pnm > " + image.string() + " 2>/dev/null";
    const Clock::time_point begin = Clock::now();
    if (std::system(command.c_str()) != 0) return 0;
    const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    fileBytes = static_cast<double>(fs::file_size(image));
    fs::remove(image);
    return seconds;
}

// decodeFrame on a colour frame of the page's size, fed from memory in the reader's chunks.
double decodeMegabytesPerSecond() {
    const int width = kAreaMm * kDpi * 10 / 254;
    FrameParameters p;
    p.format = kFrameRgb;
    p.pixelsPerLine = width;
    p.bytesPerLine = 3 * width;
    p.lines = width;
    p.depth = 8;
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(p.bytesPerLine) * p.lines);
    for (std::size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<std::uint8_t>(i * 7);
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        std::size_t at = 0;
        const FrameReader read = [&](std::uint8_t* to, std::size_t capacity, std::size_t& count) {
            if (at == frame.size()) return ReadStatus::EndOfFrame;
            count = std::min(capacity, frame.size() - at);
            std::memcpy(to, frame.data() + at, count);
            at += count;
            return ReadStatus::Data;
        };
        Bitmap bitmap;
        const Clock::time_point begin = Clock::now();
        const DecodeResult result =
            decodeFrame(bitmap, p, DecodeOptions{}, read, [](int) { return true; });
        const double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
        if (result != DecodeResult::Complete || bitmap.height() != p.lines) return 0;
        const double rate = frame.size() / seconds / 1e6;
        best = std::max(best, rate);
    }
    return best;
}

std::string defaultModule() {
    std::error_code ignored;
    return (fs::read_symlink("/proc/self/exe", ignored).parent_path() / "tarnwick.ds").string();
}

void write(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text;
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);  // output into a closed pipe still ends with saned stopped
    const std::string module = argc > 1 ? argv[1] : defaultModule();
    const fs::path root = fs::temp_directory_path() / ("bench-acquire-" + std::to_string(getpid()));
    for (const char* folder : {"saned", "net", "user"}) fs::create_directories(root / folder);
    const int port = kPort;
    write(root / "saned" / "dll.conf", "test\n");
    write(root / "saned" / "saned.conf", "127.0.0.1\n");
    write(root / "saned" / "test.conf",
          "number_of_devices 1\nmode Gray\ndepth 8\nresolution_min 1.0\nresolution_max 1200.0\n"
          "resolution_quant 1.0\nresolution 50.0\ngeometry_min 0.0\ngeometry_max 200.0\n"
          "geometry_quant 1.0\ntl_x 0.0\ntl_y 0.0\nbr_x 80.0\nbr_y 100.0\n");
    write(root / "net" / "dll.conf", "net\n");
    write(root / "net" / "net.conf", "127.0.0.1\n");
    // Only the per-user settings file, in the private folder: the daemon and the picture.
    for (const char* name : {"WINDIR", "ALLUSERSPROFILE", "APPDATA"}) unsetenv(name);
    setenv("USERPROFILE", (root / "user").c_str(), 1);
    write(root / "user" / "tarnwick.ini",
          "[Connection]\nHost=127.0.0.1\nPort=" + std::to_string(port) +
              "\nDevice=test:0\n[test:0]\ntest-picture=Color pattern\n");

    int status = 1;
    const pid_t saned = startSaned(root / "saned", port);
    Source source(module);
    if (!source.loaded()) {
        std::fprintf(stderr, "cannot load DS_Entry from %s\n", module.c_str());
    } else if (saned == 0 || !waitForDaemon(saned, port)) {
        std::fprintf(stderr, "saned did not come up on port %d (is another daemon using it?)\n",
                     port);
    } else {
        Page best, page;
        double bestPeer = 0, peerBytes = 0;
        for (int round = 0; round < kRounds; ++round) {
            if (acquireOnce(source, page) && (best.seconds == 0 || page.seconds < best.seconds))
                best = page;
            const double peer = scanimageOnce(root / "net", peerBytes);
            if (peer > 0 && (bestPeer == 0 || peer < bestPeer)) bestPeer = peer;
        }
        if (best.seconds > 0 && bestPeer > 0) {
            std::printf("page: %ux%u colour at %d dpi, %.0f bytes in memory buffers\n",
                        static_cast<unsigned>(best.columns), static_cast<unsigned>(best.rows), kDpi,
                        best.bytes);
            std::printf("tarnwick.ds, MSG_ENABLEDS to last row: %.3f s\n", best.seconds);
            std::printf("scanimage to a file via the net backend: %.3f s (%.0f bytes written)\n",
                        bestPeer, peerBytes);
            const double decode = decodeMegabytesPerSecond();
            std::printf("decodeFrame alone: %.0f MB/s\n", decode);
            std::printf("ratio: %.3f\n", best.seconds / bestPeer);
            status = decode > 0 ? 0 : 1;
        } else {
            std::fprintf(stderr, "a page could not be acquired (ours %.3f s, scanimage %.3f s)\n",
                         best.seconds, bestPeer);
        }
    }
    if (saned > 0 && waitpid(saned, nullptr, WNOHANG) == 0) {
        kill(saned, SIGTERM);
        waitpid(saned, nullptr, 0);
    }
    fs::remove_all(root);
    return status;
}
