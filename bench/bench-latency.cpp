// A scan server 20 ms away in each direction, on the control and the data connection alike (a
// VPN, Wi-Fi with power saving): a 300 dpi colour page and a feeder batch of three, through the
// built tarnwick.ds driven in this process (MSG_ENABLEDS to the last row of the last page, and
// the whole session from MSG_OPENDS to MSG_CLOSEDS), against scanimage through the same proxy
// in the same run. Run by hand:
//     build/native/bench-latency [-v] [path/to/tarnwick.ds]
// (-v: the source's requests from MSG_ENABLEDS on, as the proxy saw them).
// The proxy takes the standard port 6566 (the net backend scanimage goes through cannot be told
// another) in front of a private saned on a free port.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sane_proxy.h"
#include "support/saned_fixture.h"
#include "twain_source.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kDelayMs = 20;
constexpr int kDpi = 300;
constexpr int kPageMm = 100;  // the square scanned, from the bed's corner
constexpr int kRounds = 3;    // ours and scanimage, alternating; the best of each counts

double since(Clock::time_point begin) {
    return std::chrono::duration<double>(Clock::now() - begin).count();
}

struct Figures {
    double toLastRow = 0, whole = 0;  // seconds; zero: the round failed
    int pages = 0;
};

// Memory transfers of every page the source has until it says none is pending.
bool transferAll(bench::Source& source, int& pages) {
    static std::vector<std::uint8_t> buffer;
    TW_SETUPMEMXFER setup{};
    if (source.call(DG_CONTROL, DAT_SETUPMEMXFER, MSG_GET, &setup) != TWRC_SUCCESS) return false;
    buffer.resize(setup.Preferred);
    for (;;) {
        TW_IMAGEINFO info{};
        if (source.call(DG_IMAGE, DAT_IMAGEINFO, MSG_GET, &info) != TWRC_SUCCESS) return false;
        TW_UINT16 rc = TWRC_SUCCESS;
        while (rc == TWRC_SUCCESS) {
            TW_IMAGEMEMXFER xfer{};
            xfer.Memory = {0x0001 | 0x0008, static_cast<TW_UINT32>(buffer.size()), buffer.data()};
            rc = source.call(DG_IMAGE, DAT_IMAGEMEMXFER, MSG_GET, &xfer);
        }
        if (rc != TWRC_XFERDONE) return false;
        ++pages;
        TW_PENDINGXFERS pending{};
        source.call(DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER, &pending);
        if (pending.Count == 0) return true;
    }
}

Figures oursOnce(bench::Source& source, bench::SaneProxy& proxy, int count, bool verbose) {
    Figures f;
    TW_IDENTITY identity{};
    identity.Id = 2;
    bench::notifications.clear();
    const Clock::time_point opened = Clock::now();
    if (source.call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &identity) != TWRC_SUCCESS) return f;
    bool ok = source.negotiateColourSquare(TWSX_MEMORY, kDpi, kPageMm);
    if (count > 1)
        ok = ok && source.set(CAP_FEEDERENABLED, TWTY_BOOL, 1) &&
             source.set(CAP_XFERCOUNT, TWTY_INT16, static_cast<TW_UINT32>(count));
    proxy.reset();
    const Clock::time_point enabled = Clock::now();
    TW_USERINTERFACE ui{0, 0, nullptr};
    ok = ok && source.call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui) == TWRC_SUCCESS &&
         transferAll(source, f.pages);
    const double toLastRow = since(enabled);
    if (verbose) {
        std::string line = "  requests:";
        for (const std::string& r : proxy.counts().requests) line += " " + r;
        std::printf("%s\n", line.c_str());
    }
    source.call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui);
    source.call(DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS, &identity);
    if (ok && f.pages == count) {
        f.toLastRow = toLastRow;
        f.whole = since(opened);
    } else {
        std::fprintf(stderr, "the source failed after %d of %d pages\n", f.pages, count);
    }
    return f;
}

// `setUpOnly`: scanimage -n, which opens the device and sets the options but does not scan.
double scanimageOnce(const fs::path& root, int count, bool setUpOnly = false) {
    std::string command = "SANE_CONFIG_DIR=" + (root / "net").string() +
                          " scanimage -d net:127.0.0.1:test:0 --mode Color --resolution " +
                          std::to_string(kDpi) + " -x " + std::to_string(kPageMm) + " -y " +
                          std::to_string(kPageMm) + " --test-picture 'Color pattern' ";
    if (setUpOnly) command += "-n ";
    if (count > 1)
        command += "--source 'Automatic Document Feeder' --batch=" +
                   (root / "out" / "peer%d.pnm").string() +
                   " --batch-count=" + std::to_string(count);
    else
        command += "> " + (root / "out" / "peer.pnm").string();
    const Clock::time_point begin = Clock::now();
    const bool ok = std::system((command + " 2>/dev/null").c_str()) == 0;
    const double seconds = since(begin);
    fs::remove_all(root / "out");
    fs::create_directories(root / "out");
    return ok ? seconds : 0;
}

void keepLeast(double& best, double value) {
    if (value > 0 && (best == 0 || value < best)) best = value;
}

}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGPIPE, SIG_IGN);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const bool verbose = argc > 1 && std::string(argv[1]) == "-v";
    const std::string module = argc > 1 + verbose ? argv[1 + verbose] : bench::defaultModule();
    const fs::path root = fs::temp_directory_path() / ("bench-latency-" + std::to_string(getpid()));
    for (const char* folder : {"net", "user", "out"}) fs::create_directories(root / folder);
    std::ofstream(root / "net" / "dll.conf") << "net\n";
    std::ofstream(root / "net" / "net.conf") << "127.0.0.1\n";
    for (const char* name : {"WINDIR", "ALLUSERSPROFILE", "APPDATA"}) unsetenv(name);
    setenv("USERPROFILE", (root / "user").c_str(), 1);
    setenv("HOME", (root / "user").c_str(), 1);

    int status = 1;
    const tarnwick::testing::SanedFixture saned;
    bench::SaneProxy proxy(tarnwick::testing::kSanePort, saned.port(), kDelayMs);
    std::ofstream(root / "user" / "tarnwick.ini")
        << "[Connection]\nHost=127.0.0.1\nPort=" << proxy.port()
        << "\nDevice=test:0\n[test:0]\ntest-picture=Color pattern\n[ADF]\nSinglePage=0\n";
    bench::Source source(module, "bench-latency");
    if (!source.loaded()) {
        std::fprintf(stderr, "cannot load DS_Entry from %s\n", module.c_str());
    } else if (!saned.running() || !proxy.listening()) {
        std::fprintf(stderr, "saned or the proxy on port %d did not come up: %s\n",
                     tarnwick::testing::kSanePort, saned.error().c_str());
    } else {
        std::printf("%d ms each way on both connections; colour at %d dpi, %d mm square\n",
                    kDelayMs, kDpi, kPageMm);
        status = 0;
        double ratio = 0;
        for (const int count : {1, 3}) {
            Figures best;
            double peer = 0, peerSetUp = 0;
            for (int round = 0; round < kRounds; ++round) {
                const Figures f = oursOnce(source, proxy, count, verbose && round == 0);
                keepLeast(best.toLastRow, f.toLastRow);
                keepLeast(best.whole, f.whole);
                keepLeast(peer, scanimageOnce(root, count));
                keepLeast(peerSetUp, scanimageOnce(root, count, true));
            }
            // scanimage's counterpart of MSG_ENABLEDS to the last row: its run less its set-up.
            const double peerScan = peer - peerSetUp;
            if (best.toLastRow == 0 || peer == 0 || peerSetUp == 0 || peerScan <= 0) {
                std::fprintf(stderr, "%d page(s): no figure (ours %.3f s, scanimage %.3f s)\n",
                             count, best.toLastRow, peer);
                status = 1;
                continue;
            }
            std::printf("%s:\n", count == 1 ? "one page" : "feeder, 3 pages");
            std::printf(
                "  tarnwick.ds, MSG_ENABLEDS to last row:  %.3f s (%.2f of scanimage's run)\n",
                best.toLastRow, best.toLastRow / peer);
            std::printf(
                "  tarnwick.ds, MSG_OPENDS to MSG_CLOSEDS: %.3f s (%.2f of scanimage's run)\n",
                best.whole, best.whole / peer);
            std::printf("  scanimage, start to exit:               %.3f s\n", peer);
            std::printf(
                "  scanimage's scan alone (its run less -n): %.3f s; the source's from "
                "MSG_ENABLEDS is %.2f of it\n",
                peerScan, best.toLastRow / peerScan);
            // The worse of the two works.
            ratio = std::max(ratio, best.toLastRow / peer);
        }
        std::printf("ratio: %.3f\n", ratio);
    }
    fs::remove_all(root);
    return status;
}
