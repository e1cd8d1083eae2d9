// The PNG-hiding eSCL forwarder for scripts:
//   escl-without-png UPSTREAM_PORT [--port PORT] [--posted FILE] [--seconds N]
// prints the port it listens on, appends each POST body (the scan settings) to FILE, and runs
// until SIGTERM or SIGINT, or for N seconds at most (default 1800) so that none is left behind.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <mutex>
#include <string>

#include "support/escl_forwarder.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: escl-without-png UPSTREAM_PORT [--port PORT] [--posted FILE] "
                 "[--seconds N]\n");
    return 2;
}

bool number(const char* text, long low, long high, long& value) {
    char* end = nullptr;
    value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value >= low && value <= high;
}

}  // namespace

int main(int argc, char** argv) {
    long upstream = 0, port = 0, seconds = 1800;
    std::string postedPath;
    if (argc < 2 || !number(argv[1], 1, 65535, upstream)) return usage();
    for (int i = 2; i < argc; i += 2) {
        if (i + 1 >= argc) return usage();
        const std::string option = argv[i];
        if (option == "--port" && number(argv[i + 1], 0, 65535, port)) continue;
        if (option == "--seconds" && number(argv[i + 1], 1, 86400, seconds)) continue;
        if (option != "--posted") return usage();
        postedPath = argv[i + 1];
    }
    // The signals are taken by sigtimedwait below, not by the forwarder's threads.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::mutex fileMutex;
    tarnwick::testing::PngHidingForwarder forwarder(
        static_cast<int>(upstream), static_cast<int>(port), [&](const std::string& body) {
            if (postedPath.empty()) return;
            const std::lock_guard<std::mutex> lock(fileMutex);
            std::ofstream(postedPath, std::ios::app) << body << "\n";
        });
    if (!forwarder.running()) {
        std::fprintf(stderr, "escl-without-png: %s\n", forwarder.error().c_str());
        return 1;
    }
    std::printf("%d\n", forwarder.port());
    std::fflush(stdout);
    const timespec wait{static_cast<std::time_t>(seconds), 0};
    sigtimedwait(&signals, nullptr, &wait);
    return 0;
}
