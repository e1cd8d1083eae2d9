// A proxy in front of a SANE daemon, for the benchmarks of slow links. It forwards the control
// connection, and the data connections too (it rewrites the port each SANE_NET_START reply
// announces to one of its own), holding every byte back for a delay in each direction. It counts
// the client's turns on the control connection (a burst of requests sent after a reply came:
// each costs a round trip) and the bytes the client sent, and names the requests in order.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace bench {

class SaneProxy {
  public:
    // Listens on 127.0.0.1:listenPort (0: a free port) and forwards to 127.0.0.1:upstreamPort.
    SaneProxy(int listenPort, int upstreamPort, int delayMs);
    ~SaneProxy();
    SaneProxy(const SaneProxy&) = delete;
    SaneProxy& operator=(const SaneProxy&) = delete;

    bool listening() const { return listener_ >= 0; }
    int port() const { return port_; }

    struct Counts {
        int turns = 0;
        long long bytesSent = 0;
        std::vector<std::string> requests;  // procedure names, in the order sent
    };
    // What the control connections carried since the last reset.
    Counts counts();
    void reset();

  private:
    struct Link;
    void acceptLoop();
    void serveControl(int client);
    void serveData(int listener, int upstreamPort);

    int listener_ = -1;
    int port_ = 0;
    int upstreamPort_;
    int delayMs_;
    std::atomic<bool> stopping_{false};
    std::thread acceptor_;
    std::mutex mutex_;
    Counts counts_;
    std::vector<std::thread> workers_;
};

}  // namespace bench
