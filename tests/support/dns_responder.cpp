#include "support/dns_responder.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace tarnwick::testing {

DnsResponder::DnsResponder(Script script) : script_(std::move(script)) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof a;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &size) != 0)
        throw std::runtime_error("responder socket");
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { run(); });
}

DnsResponder::~DnsResponder() {
    stop_ = true;
    thread_.join();
    ::close(fd_);
}

std::uint16_t DnsResponder::idOf(const Datagram& query) {
    return query.size() < 2 ? 0 : static_cast<std::uint16_t>(query[0] << 8 | query[1]);
}

void DnsResponder::run() {
    Datagram buffer(65536);
    while (!stop_) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0) continue;
        sockaddr_in from{};
        socklen_t size = sizeof from;
        const ssize_t n = ::recvfrom(fd_, buffer.data(), buffer.size(), 0,
                                     reinterpret_cast<sockaddr*>(&from), &size);
        if (n <= 0) continue;
        ++queries_;
        for (const Datagram& reply : script_(Datagram(buffer.begin(), buffer.begin() + n))) {
            if (stop_) break;
            ::sendto(fd_, reply.data(), reply.size(), 0, reinterpret_cast<sockaddr*>(&from), size);
        }
    }
}

}  // namespace tarnwick::testing
