#include "sane/socket_stream.h"

#include <algorithm>
#include <chrono>

namespace tarnwick {

int socketTimeout = 60000;

SocketStream::SocketStream(platform::TcpSocket& socket, WaitHook waitHook)
    : socket_(socket), writeTimeout_(socketTimeout), waitHook_(std::move(waitHook)) {}

ReadResult SocketStream::readSome(void* buffer, std::size_t count) {
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
    std::size_t n = socket_.receive(buffer, count);
    if (n == 0) return {0, ReadOutcome::closed};
    return {n, ReadOutcome::data};
}

std::size_t SocketStream::readIfAny(void* buffer, std::size_t count, int quietMs) {
    if (!socket_.waitReadable(quietMs)) return 0;
    return socket_.receive(buffer, count);
}

std::size_t SocketStream::write(const void* data, std::size_t count) {
    return socket_.sendAll(data, count, writeTimeout_);
}

}  // namespace tarnwick
