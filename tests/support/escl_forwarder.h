// An HTTP forwarder on a free loopback port in front of an eSCL server, passing every request and
// answer through unchanged except the scanner's capabilities, which lose their PNG formats: the
// server then looks like the many scanners that offer JPEG alone. One request per connection,
// the answer relayed until the server closes it, as AirSane does; every wait is bounded.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarnwick::testing {

// The whole answer to a capabilities request, headers and body, without the image/png document
// formats; a Content-Length is set to the new body's length.
std::string withoutPngFormats(const std::string& answer);

class PngHidingForwarder {
  public:
    // Forwards to 127.0.0.1:upstreamPort from `port` (0: a free one). `onPost` sees each POST
    // body (the scan settings), on the forwarder's threads.
    explicit PngHidingForwarder(int upstreamPort, int port = 0,
                                std::function<void(const std::string&)> onPost = {});
    // Stops accepting and waits for the connections under way (each within its time-outs).
    ~PngHidingForwarder();
    PngHidingForwarder(const PngHidingForwarder&) = delete;
    PngHidingForwarder& operator=(const PngHidingForwarder&) = delete;

    bool running() const { return listener_ >= 0; }
    const std::string& error() const { return error_; }
    int port() const { return port_; }
    // "http://127.0.0.1:PORT/eSCL".
    std::string url() const;
    // The POST bodies so far, oldest first.
    std::vector<std::string> posted() const;

  private:
    void acceptLoop();
    void relay(int client);

    int upstreamPort_, port_ = 0, listener_ = -1;
    std::string error_;
    std::function<void(const std::string&)> onPost_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> posted_;
    std::vector<std::thread> connections_;
    std::thread acceptor_;
};

}  // namespace tarnwick::testing
