#include "platform/udp_socket.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <vector>

#include "platform/win32/winsock_users.h"

namespace platform {

namespace {

[[noreturn]] void raise(const char* what) {
    throw SocketError(std::string(what) + ": error " + std::to_string(WSAGetLastError()));
}

// Bounds the sends of one query on a machine with very many interfaces.
constexpr int kMaxInterfaces = 32;

// The IPv4 addresses of the interfaces a multicast query should leave by.
std::vector<in_addr> multicastInterfaces(SOCKET s) {
    std::vector<INTERFACE_INFO> infos(kMaxInterfaces);
    DWORD bytes = 0;
    if (WSAIoctl(s, SIO_GET_INTERFACE_LIST, nullptr, 0, infos.data(),
                 static_cast<DWORD>(infos.size() * sizeof(INTERFACE_INFO)), &bytes, nullptr,
                 nullptr) != 0)
        return {};
    std::vector<in_addr> found;
    for (std::size_t i = 0; i < bytes / sizeof(INTERFACE_INFO) && i < infos.size(); ++i) {
        const INTERFACE_INFO& info = infos[i];
        if ((info.iiFlags & IFF_UP) && (info.iiFlags & IFF_MULTICAST) &&
            !(info.iiFlags & IFF_LOOPBACK) && info.iiAddress.Address.sa_family == AF_INET)
            found.push_back(info.iiAddress.AddressIn.sin_addr);
    }
    return found;
}

bool sendOnce(SOCKET s, const void* data, std::size_t count, const sockaddr_in& to) {
    const int n = sendto(s, static_cast<const char*>(data), static_cast<int>(count), 0,
                         reinterpret_cast<const sockaddr*>(&to), sizeof to);
    return n == static_cast<int>(count);
}

}  // namespace

struct UdpSocket::Impl {
    SOCKET s = INVALID_SOCKET;
};

UdpSocket::UdpSocket() : impl_(std::make_unique<Impl>()) {
    acquireWinsock();
    impl_->s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (impl_->s == INVALID_SOCKET) {
        releaseWinsock();
        raise("socket");
    }
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(impl_->s, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        const int error = WSAGetLastError();
        closesocket(impl_->s);
        releaseWinsock();
        throw SocketError("bind: error " + std::to_string(error));
    }
    // Multicast DNS is link-local: responders drop queries that crossed a router.
    DWORD ttl = 255;
    setsockopt(impl_->s, IPPROTO_IP, IP_MULTICAST_TTL, reinterpret_cast<const char*>(&ttl),
               sizeof ttl);
    // An ICMP "port unreachable" must not turn the next receive into an error.
    BOOL off = FALSE;
    DWORD returned = 0;
    WSAIoctl(impl_->s, _WSAIOW(IOC_VENDOR, 12), &off, sizeof off, nullptr, 0, &returned, nullptr,
             nullptr);
}

UdpSocket::~UdpSocket() {
    closesocket(impl_->s);
    releaseWinsock();
}

bool UdpSocket::sendTo(const void* data, std::size_t count, const std::string& address, int port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<u_short>(port));
    if (inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1 || count > 65507) return false;
    const std::vector<in_addr> interfaces = IN_MULTICAST(ntohl(to.sin_addr.s_addr))
                                                ? multicastInterfaces(impl_->s)
                                                : std::vector<in_addr>{};
    if (interfaces.empty()) return sendOnce(impl_->s, data, count, to);
    bool sent = false;
    for (const in_addr& source : interfaces)
        if (setsockopt(impl_->s, IPPROTO_IP, IP_MULTICAST_IF,
                       reinterpret_cast<const char*>(&source), sizeof source) == 0)
            sent = sendOnce(impl_->s, data, count, to) || sent;
    return sent;
}

std::size_t UdpSocket::receive(void* buffer, std::size_t capacity, int timeoutMs) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(impl_->s, &set);
    timeval wait{};
    if (timeoutMs > 0) {
        wait.tv_sec = timeoutMs / 1000;
        wait.tv_usec = (timeoutMs % 1000) * 1000;
    }
    const int ready = select(0, &set, nullptr, nullptr, &wait);
    if (ready == SOCKET_ERROR) raise("select");
    if (ready == 0) return 0;
    const int chunk = capacity > 0x10000 ? 0x10000 : static_cast<int>(capacity);
    const int n = recv(impl_->s, static_cast<char*>(buffer), chunk, 0);
    if (n == SOCKET_ERROR) {
        // A datagram longer than the buffer is cut (WSAEMSGSIZE): dropped whole.
        const int error = WSAGetLastError();
        if (error == WSAEMSGSIZE || error == WSAECONNRESET || error == WSAEWOULDBLOCK) return 0;
        raise("recv");
    }
    return static_cast<std::size_t>(n);
}

}  // namespace platform
