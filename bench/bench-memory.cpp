// Peak resident memory of a process that takes one 600 dpi colour page of the test backend's
// full area (200 mm square) through the built tarnwick.ds, over the bytes of the image's pixels:
// once by native transfer, once by memory transfer, each in a fresh child process. The
// application side keeps nothing: it frees the DIB at once and drops each memory strip, so the
// figure is the source's part. Run by hand:
//     build/native/bench-memory [path/to/tarnwick.ds]
// It starts saned through the tests' fixture on a free loopback port, with a private settings
// file.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "source_bench.h"
#include "support/saned_fixture.h"

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

constexpr int kDpi = 600;
constexpr int kAreaMm = 200;
constexpr TW_UINT32 kStripBytes = 1 << 20;  // the application's memory buffer
const double kGoal[] = {2.2, 1.3};          // native, memory

}  // namespace

// The source reaches its application through the process's DSM_Entry; nothing to record here.
extern "C" TW_UINT16 DSM_Entry(TW_IDENTITY*, TW_IDENTITY*, TW_UINT32 DG, TW_UINT16 DAT, TW_UINT16,
                               TW_MEMREF) {
    return DG == DG_CONTROL && DAT == DAT_NULL ? TWRC_SUCCESS : TWRC_FAILURE;
}

namespace {

double residentMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// One page in this process; prints "<image bytes> <peak MB before enabling> <peak MB>".
int child(const std::string& module, bool memory) {
    bench::Source source(module, "bench-memory");
    TW_IDENTITY identity{};
    identity.Id = 2;
    if (!source.loaded() ||
        source.call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity) != TWRC_SUCCESS) {
        std::fprintf(stderr, "cannot open the source %s\n", module.c_str());
        return 1;
    }
    const TW_UINT32 dpi = kDpi;  // a whole TW_FIX32 in the item's low half
    const TW_FIX32 edge{static_cast<TW_INT16>(kAreaMm / 25.4), static_cast<TW_UINT16>(0xE000)};
    TW_IMAGELAYOUT layout{};
    layout.Frame = {TW_FIX32{0, 0}, TW_FIX32{0, 0}, edge, edge};
    bool ok = source.set(ICAP_XFERMECH, TWTY_UINT16, memory ? TWSX_MEMORY : TWSX_NATIVE) &&
              source.set(ICAP_PIXELTYPE, TWTY_UINT16, TWPT_RGB) &&
              source.set(ICAP_XRESOLUTION, TWTY_FIX32, dpi) &&
              source.set(ICAP_YRESOLUTION, TWTY_FIX32, dpi) &&
              source.call(DG_IMAGE, DAT_IMAGELAYOUT, MSG_SET, &layout) != TWRC_FAILURE;
    const double before = residentMegabytes();
    TW_USERINTERFACE ui{0, 0, nullptr};
    ok = ok && source.call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) == TWRC_SUCCESS;
    TW_IMAGEINFO info{};
    ok = ok && source.call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) == TWRC_SUCCESS;
    if (ok && memory) {
        std::vector<std::uint8_t> strip(kStripBytes);
        for (;;) {
            TW_IMAGEMEMXFER xfer{};
            xfer.Memory = {0x0001 | 0x0008, kStripBytes, strip.data()};
            const TW_UINT16 rc = source.call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
            if (rc == TWRC_XFERDONE) break;
            if (rc != TWRC_SUCCESS || xfer.BytesWritten == 0) {
                ok = false;
                break;
            }
        }
    } else if (ok) {
        platform::GlobalHandle dib = nullptr;
        ok = source.call(DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET, &dib) == TWRC_XFERDONE;
        platform::globalFree(dib);
    }
    TW_PENDINGXFERS pending{};
    source.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
    if (pending.Count != 0) source.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET, &pending);
    source.call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    source.call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity);
    if (!ok) {
        TW_STATUS status{};
        source.call(DG_CONTROL, DAT_STATUS, MSG_GET, &status);
        std::fprintf(stderr, "the source failed (condition code %u)\n",
                     static_cast<unsigned>(status.ConditionCode));
        return 1;
    }
    const double bytes = 3.0 * info.ImageWidth * info.ImageLength;
    std::printf("%.0f %.1f %.1f\n", bytes, before, residentMegabytes());
    return 0;
}

// Runs child() in a fresh process and reads its line.
bool measure(const std::string& module, bool memory, double& bytes, double& before, double& peak) {
    int channel[2];
    if (pipe(channel) != 0) return false;
    std::fflush(stdout);
    const pid_t pid = fork();
    if (pid == 0) {
        close(channel[0]);
        dup2(channel[1], STDOUT_FILENO);
        const int status = child(module, memory);
        std::fflush(stdout);
        _exit(status);
    }
    close(channel[1]);
    char line[128] = {};
    const ssize_t n = pid > 0 ? read(channel[0], line, sizeof line - 1) : -1;
    close(channel[0]);
    int status = 1;
    if (pid > 0) waitpid(pid, &status, 0);
    return n > 0 && status == 0 && std::sscanf(line, "%lf %lf %lf", &bytes, &before, &peak) == 3;
}

std::string defaultModule() {
    std::error_code ignored;
    return (fs::read_symlink("/proc/self/exe", ignored).parent_path() / "tarnwick.ds").string();
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    const std::string module = argc > 1 ? argv[1] : defaultModule();
    const fs::path root = fs::temp_directory_path() / ("bench-memory-" + std::to_string(getpid()));
    const testing::SanedFixture saned;
    bench::writeSettings(root, saned.port());
    int status = 1;
    if (!saned.running()) {
        std::fprintf(stderr, "saned did not come up: %s\n", saned.error().c_str());
    } else {
        status = 0;
        for (const bool memory : {false, true}) {
            double bytes = 0, before = 0, peak = 0;
            const char* name = memory ? "memory" : "native";
            if (!measure(module, memory, bytes, before, peak) || bytes <= 0) {
                std::fprintf(stderr, "the %s transfer failed\n", name);
                status = 1;
                continue;
            }
            std::printf("%s: image %.1f MB, peak resident %.1f MB (%.1f MB before enabling)\n",
                        name, bytes / 1048576.0, peak, before);
            std::printf("ratio-%s: %.3f (goal %.1f)\n", name, peak * 1048576.0 / bytes,
                        kGoal[memory ? 1 : 0]);
        }
    }
    fs::remove_all(root);
    return status;
}
