// A multicast DNS responder stand-in on a loopback UDP port: each query it receives goes to its
// script, and every datagram the script returns is sent back to the query's sender.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace tarnwick::testing {

class DnsResponder {
  public:
    using Datagram = std::vector<std::uint8_t>;
    using Script = std::function<std::vector<Datagram>(const Datagram& query)>;

    explicit DnsResponder(Script script);
    ~DnsResponder();
    DnsResponder(const DnsResponder&) = delete;
    DnsResponder& operator=(const DnsResponder&) = delete;

    int port() const { return port_; }
    int queries() const { return queries_; }

    // The id of a query (its first two bytes).
    static std::uint16_t idOf(const Datagram& query);

  private:
    void run();

    Script script_;
    int fd_ = -1;
    int port_ = 0;
    std::atomic<int> queries_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace tarnwick::testing
