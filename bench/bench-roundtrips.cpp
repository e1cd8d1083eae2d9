// Round trips on the control connection: one colour page at 100 dpi of the test backend (mode,
// resolution and test picture set) and a feeder batch of three pages, by the harness without
// user interface and by scanimage, through a proxy that counts the client's turns (each waits
// for the daemon's reply: a round trip on a slow link) and the bytes it sent; then the window's
// opening with a preview. Run by hand:
//     build/native/bench-roundtrips
// The proxy takes the standard port 6566 (scanimage's net backend cannot be told another) in
// front of a private saned on a free port.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "sane_proxy.h"
#include "support/saned_fixture.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct Work {
    const char* name;
    std::string ours;  // arguments of tarnwick-scan acquire
    std::string peer;  // arguments of scanimage
};

struct Figures {
    bench::SaneProxy::Counts counts;
    double seconds = 0;
    bool ok = false;
};

Figures measure(bench::SaneProxy& proxy, const std::string& command) {
    proxy.reset();
    const auto begun = Clock::now();
    Figures f;
    f.ok = std::system(command.c_str()) == 0;
    f.seconds = std::chrono::duration<double>(Clock::now() - begun).count();
    // The proxy has passed on the last reply before the client could exit.
    f.counts = proxy.counts();
    return f;
}

void print(const char* who, const Figures& f, bool listRequests) {
    std::printf("  %-10s %3d turns, %6lld bytes sent, %.3f s%s\n", who, f.counts.turns,
                f.counts.bytesSent, f.seconds, f.ok ? "" : " (FAILED)");
    if (!listRequests) return;
    std::string line = "             ";
    for (const std::string& r : f.counts.requests) line += " " + r;
    std::printf("%s\n", line.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const bool verbose = argc > 1 && std::string(argv[1]) == "-v";
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const fs::path root =
        fs::temp_directory_path() / ("bench-roundtrips-" + std::to_string(getpid()));
    fs::create_directories(root / "net");
    fs::create_directories(root / "home");
    fs::create_directories(root / "out");
    std::ofstream(root / "net" / "dll.conf") << "net\n";
    std::ofstream(root / "net" / "net.conf") << "127.0.0.1\n";
    // The per-user settings file of the harness, and nothing machine-wide.
    for (const char* variable : {"WINDIR", "ALLUSERSPROFILE", "APPDATA"}) unsetenv(variable);
    setenv("USERPROFILE", (root / "home").c_str(), 1);
    setenv("HOME", (root / "home").c_str(), 1);

    const tarnwick::testing::SanedFixture saned;
    bench::SaneProxy proxy(tarnwick::testing::kSanePort, saned.port(), 0);
    if (!saned.running() || !proxy.listening()) {
        std::fprintf(stderr, "saned or the proxy on port %d did not come up: %s\n",
                     tarnwick::testing::kSanePort, saned.error().c_str());
        fs::remove_all(root);
        return 1;
    }
    std::ofstream(root / "home" / "tarnwick.ini")
        << "[Connection]\nHost=127.0.0.1\nPort=" << proxy.port()
        << "\nDevice=test:0\n[test:0]\ntest-picture=Color pattern\n";

    const std::string harness = std::string(TARNWICK_BINARY_DIR) + "/tarnwick-scan acquire " +
                                TARNWICK_MODULE_PATH + " --format pnm --out " +
                                (root / "out").string() + " ";
    const std::string scanimage = "SANE_CONFIG_DIR=" + (root / "net").string() +
                                  " scanimage -d net:127.0.0.1:test:0 --mode Color"
                                  " --resolution 100 --test-picture 'Color pattern' ";
    const Work works[] = {
        {"one page", "--pixel-type rgb --resolution 100",
         "> " + (root / "out" / "peer.pnm").string()},
        {"feeder, 3 pages", "--pixel-type rgb --resolution 100 --feeder --count 3",
         "--source 'Automatic Document Feeder' --batch=" + (root / "out" / "peer%d.pnm").string() +
             " --batch-count=3"},
    };
    int status = 0;
    double ratio = 0;
    for (const Work& w : works) {
        const Figures ours = measure(proxy, harness + w.ours + " >/dev/null 2>&1");
        const Figures peer = measure(proxy, scanimage + w.peer + " 2>/dev/null");
        std::printf("%s:\n", w.name);
        print("ours", ours, verbose);
        print("scanimage", peer, verbose);
        if (!ours.ok || !peer.ok) status = 1;
        if (ratio == 0 && peer.seconds > 0) ratio = ours.seconds / peer.seconds;
        std::printf("  turns: %d against %d, bytes sent %.2f times scanimage's\n",
                    ours.counts.turns, peer.counts.turns,
                    peer.counts.bytesSent > 0
                        ? static_cast<double>(ours.counts.bytesSent) / peer.counts.bytesSent
                        : 0.0);
    }

    // The window as a user opens it: connect, open the device, a preview, then the scan.
    std::ofstream(root / "home" / "tarnwick.ini", std::ios::app) << "[Preview]\nAutoStart=1\n";
    const Figures window = measure(proxy, harness + "--ui --resolution 100 >/dev/null 2>&1");
    std::printf("window with a preview, then one page:\n");
    print("ours", window, verbose);
    if (!window.ok) status = 1;

    std::printf("ratio: %.3f\n", ratio);
    fs::remove_all(root);
    return status;
}
