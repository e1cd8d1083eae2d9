#include "sane/socket_stream.h"

namespace tarnwick {

int socketTimeout = 60000;

SocketStream::SocketStream(platform::TcpSocket& socket)
    : socket_(socket), writeTimeout_(socketTimeout) {}

ReadResult SocketStream::readSome(void* buffer, std::size_t count) {
    if (!socket_.waitReadable(socketTimeout)) return {0, ReadOutcome::timedOut};
    std::size_t n = socket_.receive(buffer, count);
    if (n == 0) return {0, ReadOutcome::closed};
    return {n, ReadOutcome::data};
}

std::size_t SocketStream::readIfAny(void* buffer, std::size_t count, int quietMs) {
    if (!socket_.waitReadable(quietMs)) return 0;
    return socket_.receive(buffer, count);
}

bool SocketStream::write(const void* data, std::size_t count) {
    return socket_.sendAll(data, count, writeTimeout_);
}

}  // namespace tarnwick
