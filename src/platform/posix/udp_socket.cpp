#include "platform/udp_socket.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace platform {

namespace {

[[noreturn]] void raise(const char* what, int error) {
    throw SocketError(std::string(what) + ": " + std::strerror(error));
}

// Bounds the sends of one query on a machine with very many interfaces.
constexpr std::size_t kMaxInterfaces = 32;

// The IPv4 addresses of the interfaces a multicast query should leave by.
std::vector<in_addr> multicastInterfaces() {
    std::vector<in_addr> found;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) != 0) return found;
    for (const ifaddrs* a = list; a && found.size() < kMaxInterfaces; a = a->ifa_next) {
        const unsigned flags = a->ifa_flags;
        if (a->ifa_addr && a->ifa_addr->sa_family == AF_INET && (flags & IFF_UP) &&
            (flags & IFF_MULTICAST) && !(flags & IFF_LOOPBACK))
            found.push_back(reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr);
    }
    ::freeifaddrs(list);
    return found;
}

bool sendOnce(int fd, const void* data, std::size_t count, const sockaddr_in& to) {
    for (;;) {
        const ssize_t n = ::sendto(fd, data, count, MSG_NOSIGNAL,
                                   reinterpret_cast<const sockaddr*>(&to), sizeof to);
        if (n >= 0) return static_cast<std::size_t>(n) == count;
        if (errno != EINTR) return false;
    }
}

}  // namespace

struct UdpSocket::Impl {
    int fd = -1;
};

UdpSocket::UdpSocket() : impl_(std::make_unique<Impl>()) {
    impl_->fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (impl_->fd < 0) raise("socket", errno);
    sockaddr_in any{};
    any.sin_family = AF_INET;
    any.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(impl_->fd, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        const int error = errno;
        ::close(impl_->fd);
        raise("bind", error);
    }
    // Multicast DNS is link-local: responders drop queries that crossed a router.
    const unsigned char ttl = 255;
    ::setsockopt(impl_->fd, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl);
}

UdpSocket::~UdpSocket() {
    ::close(impl_->fd);
}

bool UdpSocket::sendTo(const void* data, std::size_t count, const std::string& address, int port) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) return false;
    const std::vector<in_addr> interfaces =
        IN_MULTICAST(ntohl(to.sin_addr.s_addr)) ? multicastInterfaces() : std::vector<in_addr>{};
    if (interfaces.empty()) return sendOnce(impl_->fd, data, count, to);
    bool sent = false;
    for (const in_addr& source : interfaces)
        if (::setsockopt(impl_->fd, IPPROTO_IP, IP_MULTICAST_IF, &source, sizeof source) == 0)
            sent = sendOnce(impl_->fd, data, count, to) || sent;
    return sent;
}

std::size_t UdpSocket::receive(void* buffer, std::size_t capacity, int timeoutMs) {
    pollfd p{impl_->fd, POLLIN, 0};
    int n = ::poll(&p, 1, timeoutMs < 0 ? 0 : timeoutMs);
    if (n < 0 && errno != EINTR) raise("poll", errno);
    if (n <= 0) return 0;
    // MSG_TRUNC: the datagram's real length, so that a cut one is known and dropped.
    const ssize_t got = ::recv(impl_->fd, buffer, capacity, MSG_TRUNC | MSG_DONTWAIT);
    if (got < 0) {
        if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNREFUSED)
            return 0;
        raise("recv", errno);
    }
    if (static_cast<std::size_t>(got) > capacity) return 0;
    return static_cast<std::size_t>(got);
}

}  // namespace platform
