#include "platform/socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>

#include "platform/win32/winsock_users.h"

namespace platform {

namespace {

std::string errorText(const char* what, int error) {
    char* text = nullptr;
    FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = std::string(what) + ": " + (text ? text : std::to_string(error));
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message;
}

[[noreturn]] void raise(const char* what) {
    throw SocketError(errorText(what, WSAGetLastError()));
}

bool waitFor(SOCKET s, bool forWrite, int timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval wait{};
    if (timeoutMs > 0) {
        wait.tv_sec = timeoutMs / 1000;
        wait.tv_usec = (timeoutMs % 1000) * 1000;
    }
    int n = select(0, forWrite ? nullptr : &set, forWrite ? &set : nullptr, nullptr, &wait);
    if (n == SOCKET_ERROR) raise("select");
    return n > 0;
}

// Connects without blocking beyond the deadline; 0 when connected, else the error.
int connectBefore(SOCKET s, const addrinfo& a, std::chrono::steady_clock::time_point deadline) {
    u_long on = 1, off = 0;
    if (ioctlsocket(s, FIONBIO, &on) != 0) return WSAGetLastError();
    if (::connect(s, a.ai_addr, static_cast<int>(a.ai_addrlen)) != 0) {
        if (WSAGetLastError() != WSAEWOULDBLOCK) return WSAGetLastError();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              deadline - std::chrono::steady_clock::now())
                              .count();
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_SET(s, &writable);
        FD_ZERO(&failed);
        FD_SET(s, &failed);
        timeval wait{};
        if (left > 0) {
            wait.tv_sec = static_cast<long>(left / 1000);
            wait.tv_usec = static_cast<long>(left % 1000) * 1000;
        }
        const int n = left > 0 ? select(0, nullptr, &writable, &failed, &wait) : 0;
        if (n == SOCKET_ERROR) return WSAGetLastError();
        if (n == 0) return WSAETIMEDOUT;
        int error = 0;
        int size = sizeof error;
        if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0)
            return WSAGetLastError();
        if (error != 0) return error;
        if (!FD_ISSET(s, &writable)) return WSAECONNREFUSED;
    }
    return ioctlsocket(s, FIONBIO, &off) != 0 ? WSAGetLastError() : 0;
}

}  // namespace

struct TcpSocket::Impl {
    SOCKET s = INVALID_SOCKET;
};

TcpSocket::TcpSocket() : impl_(std::make_unique<Impl>()) {
    acquireWinsock();
}

TcpSocket::~TcpSocket() {
    close();
    releaseWinsock();
}

bool TcpSocket::isOpen() const {
    return impl_->s != INVALID_SOCKET;
}

void TcpSocket::close() {
    if (impl_->s != INVALID_SOCKET) closesocket(impl_->s);
    impl_->s = INVALID_SOCKET;
}

void TcpSocket::connect(const std::string& host, int port, int timeoutMs,
                        const std::function<void(SocketEvent)>& events) {
    close();
    if (events) events(SocketEvent::lookingUp);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    std::string service = std::to_string(port);
    if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0) raise("getaddrinfo");
    if (events) events(SocketEvent::connecting);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    int lastError = WSAECONNREFUSED;
    for (addrinfo* a = found; a; a = a->ai_next) {
        SOCKET s = socket(a->ai_family, a->ai_socktype, a->ai_protocol);
        if (s == INVALID_SOCKET) {
            lastError = WSAGetLastError();
            continue;
        }
        lastError = connectBefore(s, *a, deadline);
        if (lastError == 0) {
            BOOL one = TRUE;
            setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one),
                       sizeof one);
            impl_->s = s;
            break;
        }
        closesocket(s);
    }
    freeaddrinfo(found);
    if (impl_->s == INVALID_SOCKET) throw SocketError(errorText("connect", lastError));
    if (events) events(SocketEvent::connected);
}

bool TcpSocket::waitReadable(int timeoutMs) {
    if (impl_->s == INVALID_SOCKET) throw SocketError("socket is not open");
    return waitFor(impl_->s, false, timeoutMs);
}

std::size_t TcpSocket::receive(void* buffer, std::size_t count) {
    if (impl_->s == INVALID_SOCKET) throw SocketError("socket is not open");
    int chunk = count > 0x40000000 ? 0x40000000 : static_cast<int>(count);
    int n = recv(impl_->s, static_cast<char*>(buffer), chunk, 0);
    if (n == SOCKET_ERROR) raise("recv");
    return static_cast<std::size_t>(n);
}

std::size_t TcpSocket::sendAll(const void* data, std::size_t count, int timeoutMs) {
    if (impl_->s == INVALID_SOCKET) throw SocketError("socket is not open");
    const auto* p = static_cast<const char*>(data);
    const std::size_t total = count;
    // Without waiting in send: a blocking send of a large request would outlast the time-out.
    u_long on = 1, off = 0;
    if (ioctlsocket(impl_->s, FIONBIO, &on) != 0) raise("ioctlsocket");
    int error = 0;
    while (count > 0 && error == 0) {
        if (!waitFor(impl_->s, true, timeoutMs)) break;
        int chunk = count > 0x40000000 ? 0x40000000 : static_cast<int>(count);
        int n = send(impl_->s, p, chunk, 0);
        if (n == SOCKET_ERROR) {
            if (WSAGetLastError() != WSAEWOULDBLOCK) error = WSAGetLastError();
            continue;
        }
        p += n;
        count -= static_cast<std::size_t>(n);
    }
    if (ioctlsocket(impl_->s, FIONBIO, &off) != 0 && error == 0) error = WSAGetLastError();
    if (error != 0) throw SocketError(errorText("send", error));
    return total - count;
}

}  // namespace platform
