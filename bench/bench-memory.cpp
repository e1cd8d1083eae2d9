// Peak resident memory of the source's part of a 600 dpi colour page of the test backend's whole
// bed, over the image's bytes, for a native and a memory transfer through the built tarnwick.ds,
// and for a feeder batch of five such pages into one multi-page TIFF file (over one page's bytes).
// The application side keeps nothing: it frees the DIB at once and discards every strip. Each
// transfer runs in a child process of its own, measured from just before MSG_ENABLEDS to the
// transfer's end (VmHWM against VmRSS). Run by hand:
//     build/native/bench-memory [path/to/tarnwick.ds]
// It starts a private saned on a free loopback port, with a private settings file.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/global_memory.h"
#include "support/saned_fixture.h"
#include "twain/file_records.h"
#include "twain/records.h"
#include "twain_source.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDpi = 600;
constexpr int kAreaMm = 200;  // the test backend's bed is 200 mm square

// A field of /proc/self/status in bytes (the kernel gives kB); 0 when missing.
double statusBytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::atof(line.c_str() + field.size() + 1) * 1024;
    return 0;
}

struct Measure {
    double imageBytes = 0;
    double peakBytes = 0;  // above the resident memory just before MSG_ENABLEDS
};

bool nativeTransfer(bench::Source& source, double& imageBytes) {
    TW_HANDLE handle = nullptr;
    if (source.call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &handle) != TWRC_XFERDONE) return false;
    TW_IMAGEINFO info{};
    platform::globalFree(handle);
    source.call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info);
    imageBytes = 3.0 * info.ImageWidth * info.ImageLength;
    return true;
}

bool memoryTransfer(bench::Source& source, double& imageBytes) {
    TW_SETUPMEMXFER setup{};
    if (source.call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) != TWRC_SUCCESS) return false;
    // A strip of about a megabyte: a preferred size of the whole image would be the
    // application's copy, not the source's part.
    const TW_UINT32 rows =
        std::max<TW_UINT32>((1u << 20) / std::max<TW_UINT32>(setup.MinBufSize, 1), 1);
    std::vector<std::uint8_t> strip(
        std::min<std::size_t>(setup.Preferred, static_cast<std::size_t>(rows) * setup.MinBufSize));
    imageBytes = 0;
    for (;;) {
        TW_IMAGEMEMXFER xfer{};
        xfer.Memory = {0x0001 | 0x0008, static_cast<TW_UINT32>(strip.size()), strip.data()};
        const TW_UINT16 rc = source.call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        if (rc != TWRC_SUCCESS && rc != TWRC_XFERDONE) return false;
        imageBytes += xfer.BytesWritten;
        if (rc == TWRC_XFERDONE) return true;
    }
}

constexpr int kBatchPages = 5;

// Five feeder pages into one TIFF file in the settings folder, removed afterwards.
bool tiffBatch(bench::Source& source, double& imageBytes) {
    const fs::path file = fs::path(std::getenv("USERPROFILE")) / "batch.tif";
    TW_PENDINGXFERS pending{};
    int pages = 0;
    do {
        TW_IMAGEINFO info{};
        TW_SETUPFILEXFER setup{};
        std::snprintf(setup.FileName, sizeof setup.FileName, "%s", file.c_str());
        setup.Format = TWFF_TIFFMULTI;
        if (source.call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS ||
            source.call(DG_CONTROL, DAT_SETUPFILEXFER, MSG_SET, &setup) != TWRC_SUCCESS ||
            source.call(DG_IMAGE, DAT_IMAGEFILEXFER, MSG_GET, nullptr) != TWRC_XFERDONE ||
            source.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending) != TWRC_SUCCESS)
            return false;
        imageBytes = 3.0 * info.ImageWidth * info.ImageLength;
        ++pages;
    } while (pending.Count != 0);
    const bool whole = pages == kBatchPages && fs::file_size(file) > imageBytes * kBatchPages;
    fs::remove(file);
    return whole;
}

// One page by the given mechanism, in this process; by file, the feeder's batch.
bool measureOnce(const std::string& module, TW_UINT16 mechanism, Measure& result) {
    bench::Source source(module, "bench-memory");
    if (!source.loaded()) return false;
    TW_IDENTITY identity{};
    identity.Id = 2;
    if (source.call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity) != TWRC_SUCCESS) return false;
    // The full bed; kDpi is a whole TW_FIX32 in the item's low half.
    bool ok = source.negotiateColourSquare(mechanism, kDpi, kAreaMm);
    if (mechanism == TWSX_FILE)
        ok = ok && source.set(ICAP_IMAGEFILEFORMAT, TWTY_UINT16, TWFF_TIFFMULTI) &&
             source.set(CAP_FEEDERENABLED, TWTY_BOOL, 1) &&
             source.set(CAP_XFERCOUNT, TWTY_INT16, kBatchPages);
    const double before = statusBytes("VmRSS");
    TW_USERINTERFACE ui{0, 0, nullptr};
    ok = ok && source.call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) == TWRC_SUCCESS &&
         !bench::notifications.empty() && bench::notifications[0] == MSG_XFERREADY;
    ok = ok && (mechanism == TWSX_NATIVE   ? nativeTransfer(source, result.imageBytes)
                : mechanism == TWSX_MEMORY ? memoryTransfer(source, result.imageBytes)
                                           : tiffBatch(source, result.imageBytes));
    result.peakBytes = statusBytes("VmHWM") - before;
    TW_PENDINGXFERS pending{};
    source.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    if (pending.Count != 0) source.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
    source.call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    source.call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity);
    return ok && result.imageBytes > 0;
}

// Runs measureOnce in a child, so that one transfer's peak is not the other's.
bool measure(const std::string& module, TW_UINT16 mechanism, Measure& result) {
    int channel[2];
    if (pipe(channel) != 0) return false;
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        ::close(channel[0]);
        Measure m;
        const bool ok = measureOnce(module, mechanism, m);
        const ssize_t written = ok ? ::write(channel[1], &m, sizeof m) : 0;
        _exit(written == static_cast<ssize_t>(sizeof m) ? 0 : 1);
    }
    ::close(channel[1]);
    const bool got = ::read(channel[0], &result, sizeof result) == sizeof result;
    ::close(channel[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);  // output into a closed pipe still ends with saned stopped
    const std::string module = argc > 1 ? argv[1] : bench::defaultModule();
    tarnwick::testing::SanedFixture saned;
    if (!saned.running()) {
        std::fprintf(stderr, "saned did not start: %s\n", saned.error().c_str());
        return 1;
    }
    // Only the per-user settings file, in a private folder: the daemon and the picture.
    const fs::path user = fs::path(saned.configDir()) / "user";
    fs::create_directories(user);
    for (const char* name : {"WINDIR", "ALLUSERSPROFILE", "APPDATA"}) unsetenv(name);
    setenv("USERPROFILE", user.c_str(), 1);
    std::ofstream(user / "tarnwick.ini")
        << "[Connection]\nHost=127.0.0.1\nPort=" << saned.port()
        << "\nDevice=test:0\n[test:0]\ntest-picture=Color pattern\n";

    int status = 0;
    const struct {
        const char* name;
        TW_UINT16 mechanism;
    } transfers[] = {{"native", TWSX_NATIVE}, {"memory", TWSX_MEMORY}, {"tiff-batch", TWSX_FILE}};
    for (const auto& transfer : transfers) {
        Measure m;
        if (!measure(module, transfer.mechanism, m)) {
            std::fprintf(stderr, "the %s transfer failed\n", transfer.name);
            status = 1;
            continue;
        }
        std::printf("%s: image %.0f bytes (colour, %d dpi), peak resident %.0f bytes\n",
                    transfer.name, m.imageBytes, kDpi, m.peakBytes);
        std::printf("%s ratio: %.2f\n", transfer.name, m.peakBytes / m.imageBytes);
    }
    return status;
}
