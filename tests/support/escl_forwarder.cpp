#include "support/escl_forwarder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <regex>

#include "support/loopback_listener.h"

namespace tarnwick::testing {

namespace {

using std::chrono::milliseconds;

constexpr std::size_t maxHeaders = 64 << 10;
constexpr std::size_t maxRequestBody = 1 << 20;
constexpr std::size_t maxCapabilities = 4 << 20;
constexpr milliseconds requestWait{10000};
// Between two pieces of an answer: the server scans a page before it sends a byte of it.
constexpr milliseconds answerWait{120000};

// Waits for the socket in short slices so that a stop is seen; false on time-out or stop.
bool ready(int fd, short events, milliseconds wait, const std::atomic<bool>& stopping) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!stopping && std::chrono::steady_clock::now() < deadline) {
        pollfd p{fd, events, 0};
        const int n = ::poll(&p, 1, 100);
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return false;
    }
    return false;
}

// What is there: the count, 0 at the peer's close, -1 on an error or time-out.
long readSome(int fd, char* data, std::size_t size, milliseconds wait,
              const std::atomic<bool>& stopping) {
    if (!ready(fd, POLLIN, wait, stopping)) return -1;
    return ::recv(fd, data, size, 0);
}

bool writeAll(int fd, const char* data, std::size_t size, const std::atomic<bool>& stopping) {
    while (size > 0) {
        if (!ready(fd, POLLOUT, requestWait, stopping)) return false;
        const long n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0) return false;
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The value of header `name` (lower case) in the header block, -1 when absent or not a number.
long contentLength(const std::string& headers) {
    const std::string text = lower(headers);
    const auto at = text.find("\r\ncontent-length:");
    if (at == std::string::npos) return -1;
    std::size_t i = at + 17;
    while (i < text.size() && text[i] == ' ') ++i;
    long value = 0;
    std::size_t digits = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && digits < 10;
         ++i, ++digits)
        value = value * 10 + (text[i] - '0');
    return digits > 0 ? value : -1;
}

struct Request {
    std::string bytes, method, path, body;
};

bool readRequest(int fd, Request& request, const std::atomic<bool>& stopping) {
    char buffer[4096];
    std::size_t end = std::string::npos;
    while ((end = request.bytes.find("\r\n\r\n")) == std::string::npos) {
        if (request.bytes.size() > maxHeaders) return false;
        const long n = readSome(fd, buffer, sizeof buffer, requestWait, stopping);
        if (n <= 0) return false;
        request.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    const long length = contentLength(request.bytes.substr(0, end + 2));
    if (length > static_cast<long>(maxRequestBody)) return false;
    const std::size_t total = end + 4 + static_cast<std::size_t>(std::max(length, 0L));
    while (request.bytes.size() < total) {
        const long n = readSome(fd, buffer, sizeof buffer, requestWait, stopping);
        if (n <= 0) return false;
        request.bytes.append(buffer, static_cast<std::size_t>(n));
    }
    request.bytes.resize(total);
    request.body = request.bytes.substr(end + 4);
    const auto space = request.bytes.find(' ');
    const auto second = request.bytes.find(' ', space + 1);
    if (space == std::string::npos || second == std::string::npos) return false;
    request.method = request.bytes.substr(0, space);
    request.path = request.bytes.substr(space + 1, second - space - 1);
    return true;
}

int connectUpstream(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    // On loopback a connect is answered at once, accepted or refused.
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

std::string withoutPngFormats(const std::string& answer) {
    const auto end = answer.find("\r\n\r\n");
    if (end == std::string::npos) return answer;
    // Both element names, any namespace prefix, as the capabilities list formats.
    static const std::regex png(
        R"(<([A-Za-z0-9_]+:|)(DocumentFormat(Ext)?)>\s*image/png\s*</\1\2>\s*)");
    const std::string body = std::regex_replace(answer.substr(end + 4), png, "");
    std::string headers = answer.substr(0, end + 2);
    const auto at = lower(headers).find("\r\ncontent-length:");
    if (at != std::string::npos) {
        const auto lineEnd = headers.find("\r\n", at + 2);
        headers.replace(at + 2, lineEnd - at - 2,
                        headers.substr(at + 2, 14) + ": " + std::to_string(body.size()));
    }
    return headers + "\r\n" + body;
}

PngHidingForwarder::PngHidingForwarder(int upstreamPort, int port,
                                       std::function<void(const std::string&)> onPost)
    : upstreamPort_(upstreamPort), onPost_(std::move(onPost)) {
    const LoopbackListener listener = listenOnLoopback(16, port);
    if (listener.fd < 0) {
        error_ = std::string("cannot listen on loopback port ") + std::to_string(port);
        return;
    }
    listener_ = listener.fd;
    port_ = listener.port;
    acceptor_ = std::thread([this] { acceptLoop(); });
}

PngHidingForwarder::~PngHidingForwarder() {
    stopping_ = true;
    if (acceptor_.joinable()) acceptor_.join();
    for (auto& connection : connections_) connection.join();
    if (listener_ >= 0) ::close(listener_);
}

std::string PngHidingForwarder::url() const {
    return std::string("http://127.0.0.1:") + std::to_string(port_) + "/eSCL";
}

std::vector<std::string> PngHidingForwarder::posted() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return posted_;
}

void PngHidingForwarder::acceptLoop() {
    while (!stopping_) {
        pollfd p{listener_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) continue;
        // Only this thread touches the list until the destructor joins it.
        connections_.emplace_back([this, client] {
            relay(client);
            ::close(client);
        });
    }
}

void PngHidingForwarder::relay(int client) {
    Request request;
    if (!readRequest(client, request, stopping_)) return;
    if (request.method == "POST") {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            posted_.push_back(request.body);
        }
        if (onPost_) onPost_(request.body);
    }
    const int server = connectUpstream(upstreamPort_);
    if (server < 0) return;
    const bool capabilities =
        request.method == "GET" && request.path.find("ScannerCapabilities") != std::string::npos;
    std::string answer;
    char buffer[16384];
    if (writeAll(server, request.bytes.data(), request.bytes.size(), stopping_)) {
        long n = 0;
        while ((n = readSome(server, buffer, sizeof buffer, answerWait, stopping_)) > 0) {
            if (!capabilities) {
                if (!writeAll(client, buffer, static_cast<std::size_t>(n), stopping_)) break;
            } else if (answer.size() + static_cast<std::size_t>(n) > maxCapabilities) {
                answer.clear();
                break;
            } else {
                answer.append(buffer, static_cast<std::size_t>(n));
            }
        }
        if (capabilities && n == 0) {
            answer = withoutPngFormats(answer);
            writeAll(client, answer.data(), answer.size(), stopping_);
        }
    }
    ::close(server);
}

}  // namespace tarnwick::testing
