#include "sane_proxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <optional>

#include "sane/byte_source.h"
#include "sane/procedures.h"
#include "sane/wire_reader.h"

namespace bench {

using namespace tarnwick;
using Clock = std::chrono::steady_clock;

namespace {

// The readers below parse bytes that may not be whole yet: running out is no report.
const StatusCallback kQuiet;

int listenOn(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(fd, 16) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int boundPort(int fd) {
    sockaddr_in address{};
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    return ntohs(address.sin_port);
}

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

// Waits up to ms for a connection; -1 when none came.
int acceptWithin(int listener, int ms) {
    pollfd p{listener, POLLIN, 0};
    if (::poll(&p, 1, ms) <= 0) return -1;
    const int fd = ::accept(listener, nullptr, nullptr);
    const int one = 1;
    if (fd >= 0) ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return fd;
}

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

const char* procedureName(Word procedure) {
    static const char* const names[] = {"init",    "get_devices", "open",   "close",
                                        "options", "control",     "params", "start",
                                        "cancel",  "authorize",   "exit"};
    return procedure >= 0 && procedure <= SANE_NET_EXIT ? names[procedure] : "unknown";
}

struct Request;
std::string label(const Request& r, std::size_t bytes);

struct Request {
    Word procedure = -1;
    Word valueType = 0;
    std::size_t valueSize = 0;
    Word option = -1, action = -1;
};

// "control(5 set):32": the option and action of a control request, then the bytes sent.
std::string label(const Request& r, std::size_t bytes) {
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "(" + std::string at -O3.
    std::string text = procedureName(r.procedure);
    if (r.procedure == SANE_NET_CONTROL_OPTION) {
        static const char* const actions[] = {"get", "set", "auto"};
        text += '(';
        text += std::to_string(r.option);
        text += ' ';
        text += r.action >= 0 && r.action <= 2 ? actions[r.action] : "?";
        text += ')';
    }
    text += ':';
    text += std::to_string(bytes);
    return text;
}

// One whole request at the start of the bytes, or none yet.
std::optional<Request> parseRequest(const std::vector<std::uint8_t>& bytes, std::size_t& used) {
    MemorySource source(bytes.data(), bytes.size());
    WireReader reader(source, kQuiet);
    Request r;
    r.procedure = reader.readWord();
    switch (r.procedure) {
        case SANE_NET_INIT:
            reader.readWord();
            reader.readString();
            break;
        case SANE_NET_OPEN:
            reader.readString();
            break;
        case SANE_NET_CLOSE:
        case SANE_NET_GET_OPTION_DESCRIPTORS:
        case SANE_NET_GET_PARAMETERS:
        case SANE_NET_START:
        case SANE_NET_CANCEL:
            reader.readWord();
            break;
        case SANE_NET_CONTROL_OPTION: {
            reader.readWord();
            r.option = reader.readWord();
            r.action = reader.readWord();
            r.valueType = reader.readWord();
            if (r.valueType > SANE_TYPE_STRING) break;
            r.valueSize = static_cast<std::size_t>(reader.readWord());
            const Word count = reader.readWord();
            reader.skipBytes(static_cast<std::size_t>(count) *
                             (r.valueType == SANE_TYPE_STRING ? 1 : 4));
            break;
        }
        case SANE_NET_AUTHORIZE:
            for (int i = 0; i < 3; ++i) reader.readString();
            break;
        default:
            break;
    }
    if (reader.failed()) return std::nullopt;
    used = source.consumed();
    return r;
}

// The length of the whole reply to the request at the start of the bytes, or none yet; `port`
// the data port a good SANE_NET_START reply announces.
std::optional<std::size_t> replyLength(const Request& request,
                                       const std::vector<std::uint8_t>& bytes, Word& port) {
    MemorySource source(bytes.data(), bytes.size());
    WireReader reader(source, kQuiet);
    port = 0;
    switch (request.procedure) {
        case SANE_NET_INIT:
            decodeInitReply(reader);
            break;
        case SANE_NET_GET_DEVICES:
            decodeGetDevicesReply(reader);
            break;
        case SANE_NET_OPEN:
            decodeOpenReply(reader);
            break;
        case SANE_NET_GET_OPTION_DESCRIPTORS:
            decodeOptionDescriptorsReply(reader);
            break;
        case SANE_NET_CONTROL_OPTION:
            decodeControlOptionReply(
                reader, request.valueType,
                request.valueSize / (request.valueType == SANE_TYPE_STRING ? 1 : 4));
            break;
        case SANE_NET_GET_PARAMETERS:
            decodeGetParametersReply(reader);
            break;
        case SANE_NET_START: {
            const StartReply reply = decodeStartReply(reader);
            if (reply.status == SANE_STATUS_GOOD && reply.resource.empty()) port = reply.port;
            break;
        }
        default:
            decodeWordReply(reader);
            break;
    }
    if (reader.failed()) return std::nullopt;
    return source.consumed();
}

}  // namespace

// One direction of a connection: bytes are written once they have waited the delay.
struct SaneProxy::Link {
    Link(int to, int delayMs) : to_(to), delayMs_(delayMs) {
        if (delayMs_ > 0) writer_ = std::thread([this] { run(); });
    }
    ~Link() {
        {
            std::lock_guard lock(mutex_);
            ended_ = true;
        }
        ready_.notify_all();
        if (writer_.joinable()) writer_.join();
        ::shutdown(to_, SHUT_WR);
    }
    void forward(std::vector<std::uint8_t> bytes) {
        if (delayMs_ == 0) {
            writeAll(to_, bytes.data(), bytes.size());
            return;
        }
        {
            std::lock_guard lock(mutex_);
            queue_.push_back(
                {Clock::now() + std::chrono::milliseconds(delayMs_), std::move(bytes)});
        }
        ready_.notify_all();
    }

  private:
    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            ready_.wait(lock, [this] { return ended_ || !queue_.empty(); });
            if (queue_.empty()) return;
            auto [due, bytes] = std::move(queue_.front());
            queue_.pop_front();
            lock.unlock();
            std::this_thread::sleep_until(due);
            writeAll(to_, bytes.data(), bytes.size());
            lock.lock();
        }
    }
    int to_;
    int delayMs_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::pair<Clock::time_point, std::vector<std::uint8_t>>> queue_;
    bool ended_ = false;
    std::thread writer_;
};

SaneProxy::SaneProxy(int listenPort, int upstreamPort, int delayMs)
    : upstreamPort_(upstreamPort), delayMs_(delayMs) {
    listener_ = listenOn(listenPort);
    if (listener_ < 0) return;
    port_ = boundPort(listener_);
    acceptor_ = std::thread([this] { acceptLoop(); });
}

SaneProxy::~SaneProxy() {
    stopping_ = true;
    if (acceptor_.joinable()) acceptor_.join();
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(mutex_);
        workers.swap(workers_);
    }
    for (std::thread& t : workers) t.join();
    if (listener_ >= 0) ::close(listener_);
}

SaneProxy::Counts SaneProxy::counts() {
    std::lock_guard lock(mutex_);
    return counts_;
}

void SaneProxy::reset() {
    std::lock_guard lock(mutex_);
    counts_ = {};
}

void SaneProxy::acceptLoop() {
    while (!stopping_) {
        const int client = acceptWithin(listener_, 100);
        if (client < 0) continue;
        std::lock_guard lock(mutex_);
        workers_.emplace_back([this, client] { serveControl(client); });
    }
}

void SaneProxy::serveControl(int client) {
    const int server = connectTo(upstreamPort_);
    if (server < 0) {
        ::close(client);
        return;
    }
    std::mutex pendingMutex;
    std::deque<Request> pending;
    bool replied = true;  // the next bytes of the client begin a turn
    auto toServer = std::make_unique<Link>(server, delayMs_);
    auto toClient = std::make_unique<Link>(client, delayMs_);

    std::thread up([&] {
        std::vector<std::uint8_t> unparsed;
        std::uint8_t buffer[65536];
        for (;;) {
            const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            {
                std::lock_guard lock(mutex_);
                counts_.bytesSent += n;
                std::lock_guard own(pendingMutex);
                if (replied) ++counts_.turns;
                replied = false;
                unparsed.insert(unparsed.end(), buffer, buffer + n);
                std::size_t used = 0;
                while (std::optional<Request> r = parseRequest(unparsed, used)) {
                    counts_.requests.push_back(label(*r, used));
                    pending.push_back(*r);
                    unparsed.erase(unparsed.begin(), unparsed.begin() + static_cast<long>(used));
                }
            }
            toServer->forward(std::vector<std::uint8_t>(buffer, buffer + n));
        }
        // The client is gone: what the daemon still says reaches nobody.
        toServer.reset();
        ::shutdown(server, SHUT_RDWR);
    });

    std::vector<std::uint8_t> unsent;
    std::uint8_t buffer[65536];
    for (;;) {
        const ssize_t n = ::recv(server, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        unsent.insert(unsent.end(), buffer, buffer + n);
        // Whole replies go on at once; a start's port is replaced by a data proxy's.
        for (;;) {
            Request request;
            {
                std::lock_guard own(pendingMutex);
                if (pending.empty()) break;
                request = pending.front();
            }
            Word port = 0;
            const std::optional<std::size_t> length = replyLength(request, unsent, port);
            if (!length) break;
            std::vector<std::uint8_t> reply(unsent.begin(),
                                            unsent.begin() + static_cast<long>(*length));
            unsent.erase(unsent.begin(), unsent.begin() + static_cast<long>(*length));
            if (port > 0) {
                const int dataListener = listenOn(0);
                const auto own = static_cast<std::uint32_t>(htonl(boundPort(dataListener)));
                std::memcpy(reply.data() + 4, &own, 4);
                std::lock_guard lock(mutex_);
                workers_.emplace_back([this, dataListener, port] {
                    serveData(dataListener, static_cast<int>(port));
                });
            }
            {
                std::lock_guard own(pendingMutex);
                pending.pop_front();
                replied = true;
            }
            toClient->forward(std::move(reply));
        }
    }
    toClient.reset();
    ::shutdown(client, SHUT_RDWR);
    up.join();
    ::close(client);
    ::close(server);
}

void SaneProxy::serveData(int listener, int upstreamPort) {
    const int client = acceptWithin(listener, 10000);
    ::close(listener);
    if (client < 0) return;
    const int server = connectTo(upstreamPort);
    if (server < 0) {
        ::close(client);
        return;
    }
    auto toClient = std::make_unique<Link>(client, delayMs_);
    auto toServer = std::make_unique<Link>(server, delayMs_);
    std::thread up([&] {
        std::uint8_t buffer[65536];
        ssize_t n;
        // The client may close its side at once (the net backend does): the frame still flows.
        while ((n = ::recv(client, buffer, sizeof buffer, 0)) > 0)
            toServer->forward(std::vector<std::uint8_t>(buffer, buffer + n));
        toServer.reset();
    });
    std::uint8_t buffer[65536];
    ssize_t n;
    while ((n = ::recv(server, buffer, sizeof buffer, 0)) > 0)
        toClient->forward(std::vector<std::uint8_t>(buffer, buffer + n));
    toClient.reset();
    ::shutdown(client, SHUT_RDWR);
    up.join();
    ::close(client);
    ::close(server);
}

}  // namespace bench
