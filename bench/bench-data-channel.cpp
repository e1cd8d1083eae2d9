// Throughput of the image data channel: a 600 dpi colour frame of the test backend's full
// area read through start/readData, against scanimage reading the same frame from the same
// saned through the SANE net backend. Run by hand: it starts saned through the tests' fixture on
// the standard port 6566 (the net backend cannot be told another).
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sane/connection.h"
#include "sane/image_channel.h"
#include "support/saned_fixture.h"

using namespace tarnwick;
namespace fs = std::filesystem;

namespace {

constexpr int kPort = testing::kSanePort;
constexpr const char* kScanArgs = "--mode Color --resolution 600 -x 200 -y 200";

struct NoAuthorization : Authorizer {
    std::optional<Credentials> ask(const std::string&) override { return std::nullopt; }
};

void write(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text << "\n";
}

const OptionDescriptor* find(const OptionDescriptorsReply& options, const std::string& name) {
    for (const OptionDescriptor& d : options.descriptors)
        if (d.name == name) return &d;
    return nullptr;
}

void setNumber(Connection& c, Word handle, const OptionDescriptor* d, double value) {
    if (!d) return;
    Word word = d->type == SANE_TYPE_FIXED ? toFixedWord(value) : toIntWord(value);
    ControlOptionReply r =
        c.call(encodeControlOption({handle, d->index, SANE_ACTION_SET_VALUE, d->type, {word}, {}}),
               decodeControlOptionReply, d->type, std::size_t{1});
    if (r.status != SANE_STATUS_GOOD)
        std::fprintf(stderr, "setting %s failed: %s\n", d->name.c_str(),
                     statusText(r.status).c_str());
}

void setString(Connection& c, Word handle, const OptionDescriptor* d, const std::string& text) {
    if (!d) return;
    Bytes raw(static_cast<std::size_t>(d->size), 0);
    std::copy(text.begin(), text.end(), raw.begin());
    c.call(
        encodeControlOption({handle, d->index, SANE_ACTION_SET_VALUE, SANE_TYPE_STRING, {}, raw}),
        decodeControlOptionReply, Word{SANE_TYPE_STRING}, raw.size());
}

// Bytes of one frame through our client, and the seconds from start to the end mark.
std::pair<double, double> readOurs() {
    StatusCallback show = [](const std::string& m, bool error, bool) {
        if (error) std::fprintf(stderr, "report: %s\n", m.c_str());
    };
    Connection c("127.0.0.1", "bench", kPort, show);
    if (!c.connect(true)) return {0, 0};
    OpenReply open = c.call(encodeOpen("test:0"), decodeOpenReply);
    if (open.status != SANE_STATUS_GOOD) return {0, 0};
    OptionDescriptorsReply options =
        c.call(encodeGetOptionDescriptors(open.handle), decodeOptionDescriptorsReply);
    // The test backend refuses a resolution change once in colour mode: resolution first.
    setNumber(c, open.handle, find(options, "resolution"), 600);
    setNumber(c, open.handle, find(options, "br-x"), 200);
    setNumber(c, open.handle, find(options, "br-y"), 200);
    setString(c, open.handle, find(options, "mode"), "Color");

    NoAuthorization nobody;
    ImageChannel channel(c);
    auto begin = std::chrono::steady_clock::now();
    if (!channel.start(open.handle, nobody)) return {0, 0};
    c.call(encodeGetParameters(open.handle), decodeGetParametersReply);
    std::vector<std::uint8_t> buffer(64 * 1024);
    double total = 0;
    std::size_t length = 0;
    while (channel.readData(buffer.data(), buffer.size(), length)) total += length;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    c.call(encodeClose(open.handle), decodeWordReply);
    return {total, seconds};
}

// Seconds for scanimage to read the frame; its output goes to a file whose size shows that
// it read the same frame (a PNM header more).
double readPeer(const fs::path& netConfig, double& bytes) {
    fs::path image = netConfig / "peer.pnm";
    std::string command = "SANE_CONFIG_DIR=" + netConfig.string() +
                          " scanimage -d net:127.0.0.1:test:0 " + kScanArgs + " > " +
                          image.string() + " 2>/dev/null";
    auto begin = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) return 0;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    bytes = static_cast<double>(fs::file_size(image));
    fs::remove(image);
    return seconds;
}

}  // namespace

int main() {
    fs::path root = fs::temp_directory_path() / ("bench-data-channel-" + std::to_string(getpid()));
    fs::create_directories(root / "net");
    write(root / "net" / "dll.conf", "net");
    write(root / "net" / "net.conf", "127.0.0.1");

    const testing::SanedFixture saned(false, kPort);
    int status = 1;
    if (!saned.running()) {
        std::fprintf(stderr, "saned did not come up on port %d: %s\n", kPort,
                     saned.error().c_str());
    } else {
        double bestOurs = 0, bestPeer = 0, bytes = 0, peerBytes = 0;
        for (int round = 0; round < 2; ++round) {
            auto [got, seconds] = readOurs();
            if (got > 0 && seconds > 0 && (bestOurs == 0 || seconds < bestOurs)) {
                bestOurs = seconds;
                bytes = got;
            }
            double peer = readPeer(root / "net", peerBytes);
            if (peer > 0 && (bestPeer == 0 || peer < bestPeer)) bestPeer = peer;
        }
        if (bestOurs > 0 && bestPeer > 0) {
            double ours = bytes / bestOurs, peer = bytes / bestPeer;
            std::printf("frame: %.0f bytes (%s)\n", bytes, kScanArgs);
            std::printf("ours (start/readData): %.1f MB/s in %.3f s\n", ours / 1e6, bestOurs);
            std::printf("scanimage via net backend: %.1f MB/s in %.3f s (%.0f bytes written)\n",
                        peer / 1e6, bestPeer, peerBytes);
            // Of time, as every benchmark's ratio: below 1 is faster than the peer.
            std::printf("ratio: %.3f\n", bestOurs / bestPeer);
            status = 0;
        } else {
            std::fprintf(stderr, "a frame could not be read\n");
        }
    }
    fs::remove_all(root);
    return status;
}
