// A scripted SANE daemon on a loopback port: it accepts one connection and plays its script of
// exact reads, writes, pauses and a close, recording every byte the client sent.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sane/wire_writer.h"

namespace tarnwick::testing {

class FakeDaemon {
  public:
    FakeDaemon();  // listens on 127.0.0.1, on a free port
    ~FakeDaemon();
    FakeDaemon(const FakeDaemon&) = delete;
    FakeDaemon& operator=(const FakeDaemon&) = delete;

    int port() const { return port_; }

    // Script steps, played in order once a client has connected.
    FakeDaemon& receive(std::size_t count);  // waits for count bytes from the client
    FakeDaemon& send(const Bytes& bytes);    // one write
    FakeDaemon& pause(int ms);
    FakeDaemon& close();  // closes the connection; the script ends here
    // Plays the script on a thread. Without a close step, the daemon then keeps reading until
    // the client closes (or a few seconds pass).
    void start();

    // Everything the client sent so far (complete once the daemon has finished).
    Bytes received();
    // Waits for the script and the final reads to end.
    void finish();

  private:
    struct Step {
        enum Kind { receive, send, pause, close } kind;
        std::size_t count = 0;
        Bytes bytes;
    };
    void run();
    bool readExactly(int fd, std::size_t count);

    int listener_ = -1;
    int port_ = 0;
    std::vector<Step> script_;
    std::thread thread_;
    std::mutex mutex_;
    Bytes received_;
};

// A loopback port whose listener never accepts and whose queue is full: a connect to it hangs
// as one to a host behind a firewall does.
class UnansweredPort {
  public:
    UnansweredPort();
    ~UnansweredPort();
    UnansweredPort(const UnansweredPort&) = delete;
    UnansweredPort& operator=(const UnansweredPort&) = delete;
    int port() const { return port_; }

  private:
    int listener_ = -1;
    int port_ = 0;
    std::vector<int> queued_;
};

// Bytes of wire words and strings, for scripts and captured replies.
class Wire {
  public:
    Wire& word(Word value) {
        writer_.word(value);
        return *this;
    }
    Wire& string(const std::string& text) {
        writer_.string(text);
        return *this;
    }
    // A string with an explicit length word and raw body, for malformed strings.
    Wire& rawString(Word length, const std::string& body) {
        writer_.word(length).bytes(body.data(), body.size());
        return *this;
    }
    Wire& bytes(const std::string& raw) {
        writer_.bytes(raw.data(), raw.size());
        return *this;
    }
    Wire& bytes(const Bytes& raw) {
        writer_.bytes(raw.data(), raw.size());
        return *this;
    }
    Bytes take() { return writer_.take(); }
    operator Bytes() { return writer_.take(); }

  private:
    WireWriter writer_;
};

}  // namespace tarnwick::testing
