#include "support/fake_daemon.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fcntl.h>

#include <chrono>
#include <stdexcept>

#include "support/loopback_listener.h"

namespace tarnwick::testing {

namespace {

// Every wait of the daemon is bounded, so a test that goes wrong still ends.
constexpr int kWaitMs = 5000;

bool readable(int fd, int ms) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, ms) > 0;
}

}  // namespace

FakeDaemon::FakeDaemon() {
    const LoopbackListener listener = listenOnLoopback(4);
    if (listener.fd < 0) throw std::runtime_error("bind/listen");
    listener_ = listener.fd;
    port_ = listener.port;
}

UnansweredPort::UnansweredPort() {
    const LoopbackListener listener = listenOnLoopback(0);
    if (listener.fd < 0) throw std::runtime_error("bind/listen");
    listener_ = listener.fd;
    port_ = listener.port;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const socklen_t size = sizeof address;
    // A backlog of 0 holds one connection; later handshakes are dropped and retried for minutes.
    for (int i = 0; i < 3; ++i) {
        int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        ::connect(fd, reinterpret_cast<sockaddr*>(&address), size);
        queued_.push_back(fd);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

UnansweredPort::~UnansweredPort() {
    for (int fd : queued_) ::close(fd);
    ::close(listener_);
}

FakeDaemon::~FakeDaemon() {
    finish();
    if (listener_ >= 0) ::close(listener_);
}

FakeDaemon& FakeDaemon::receive(std::size_t count) {
    script_.push_back({Step::receive, count, {}});
    return *this;
}
FakeDaemon& FakeDaemon::send(const Bytes& bytes) {
    script_.push_back({Step::send, 0, bytes});
    return *this;
}
FakeDaemon& FakeDaemon::pause(int ms) {
    script_.push_back({Step::pause, static_cast<std::size_t>(ms), {}});
    return *this;
}
FakeDaemon& FakeDaemon::close() {
    script_.push_back({Step::close, 0, {}});
    return *this;
}

void FakeDaemon::start() {
    thread_ = std::thread([this] { run(); });
}

void FakeDaemon::finish() {
    if (thread_.joinable()) thread_.join();
}

Bytes FakeDaemon::received() {
    std::lock_guard lock(mutex_);
    return received_;
}

bool FakeDaemon::readExactly(int fd, std::size_t count) {
    std::uint8_t buffer[4096];
    while (count > 0) {
        if (!readable(fd, kWaitMs)) return false;
        ssize_t n = ::recv(fd, buffer, count < sizeof buffer ? count : sizeof buffer, 0);
        if (n <= 0) return false;
        std::lock_guard lock(mutex_);
        received_.insert(received_.end(), buffer, buffer + n);
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

void FakeDaemon::run() {
    if (!readable(listener_, kWaitMs)) return;
    int fd = ::accept(listener_, nullptr, nullptr);
    if (fd < 0) return;
    bool closed = false;
    for (const Step& step : script_) {
        if (step.kind == Step::receive && !readExactly(fd, step.count)) break;
        if (step.kind == Step::send &&
            ::send(fd, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL) < 0)
            break;
        if (step.kind == Step::pause)
            std::this_thread::sleep_for(std::chrono::milliseconds(step.count));
        if (step.kind == Step::close) {
            closed = true;
            break;
        }
    }
    // Take whatever else the client says until it hangs up.
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    while (!closed) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        until - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0 || !readable(fd, static_cast<int>(left))) break;
        std::uint8_t buffer[4096];
        ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        std::lock_guard lock(mutex_);
        received_.insert(received_.end(), buffer, buffer + n);
    }
    ::close(fd);
}

}  // namespace tarnwick::testing
