#include "sane/socket_stream.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace tarnwick {

int socketTimeout = 60000;

SocketStream::SocketStream(platform::TcpSocket& socket, WaitHook waitHook)
    : socket_(socket), writeTimeout_(socketTimeout), waitHook_(std::move(waitHook)) {}

std::size_t SocketStream::takeAhead(void* buffer, std::size_t count) {
    const std::size_t n = std::min(count, aheadEnd_ - aheadBegin_);
    std::memcpy(buffer, ahead_.get() + aheadBegin_, n);
    aheadBegin_ += n;
    return n;
}

// After the socket turned readable: what it holds, at most `count` bytes for the caller.
std::size_t SocketStream::receive(void* buffer, std::size_t count) {
    if (count >= kReadAhead) return socket_.receive(buffer, count);
    if (!ahead_) ahead_ = std::make_unique<std::uint8_t[]>(kReadAhead);
    aheadBegin_ = 0;
    aheadEnd_ = socket_.receive(ahead_.get(), kReadAhead);
    return takeAhead(buffer, count);
}

ReadResult SocketStream::readSome(void* buffer, std::size_t count) {
    if (aheadBegin_ < aheadEnd_) return {takeAhead(buffer, count), ReadOutcome::data};
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(socketTimeout);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return {0, ReadOutcome::timedOut};
        const int wait =
            static_cast<int>(waitHook_ ? std::min<long long>(left, kWaitSliceMs) : left);
        if (socket_.waitReadable(wait)) break;
        if (waitHook_ && !waitHook_()) return {0, ReadOutcome::stopped};
    }
    std::size_t n = receive(buffer, count);
    if (n == 0) return {0, ReadOutcome::closed};
    return {n, ReadOutcome::data};
}

std::size_t SocketStream::readIfAny(void* buffer, std::size_t count, int quietMs) {
    if (aheadBegin_ < aheadEnd_) return takeAhead(buffer, count);
    if (!socket_.waitReadable(quietMs)) return 0;
    return receive(buffer, count);
}

std::size_t SocketStream::write(const void* data, std::size_t count) {
    return socket_.sendAll(data, count, writeTimeout_);
}

}  // namespace tarnwick
