// HTTP/1.1 requests to one scanner over the platform's TCP sockets, with the session's time-out
// on every wait. The connection is kept while the server allows it and made again when not.
// The stream is the seam where a TLS stream (HTTPS) plugs in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "escl/http_reader.h"
#include "platform/socket.h"
#include "sane/socket_stream.h"

namespace tarnwick {

struct HttpReply {
    HttpError error = HttpError::none;
    bool connectFailed = false;
    HttpResponse response;
    std::vector<std::uint8_t> body;

    bool ok() const { return error == HttpError::none && !connectFailed; }
    int status() const { return ok() ? response.status : 0; }
};

// The socket stream with the wait hook asked also while data flows (every kWaitSliceMs), so that
// a long page can be stopped while it arrives.
class HookedStream : public ByteSource {
  public:
    HookedStream(SocketStream& stream, const WaitHook& hook) : stream_(stream), hook_(hook) {}
    ReadResult readSome(void* buffer, std::size_t count) override;
    std::size_t readIfAny(void* buffer, std::size_t count, int quietMs) override {
        return stream_.readIfAny(buffer, count, quietMs);
    }

  private:
    SocketStream& stream_;
    const WaitHook& hook_;
    long long lastAsked_ = 0;
};

class HttpConnection {
  public:
    HttpConnection(std::string host, int port);
    ~HttpConnection();
    HttpConnection(const HttpConnection&) = delete;
    HttpConnection& operator=(const HttpConnection&) = delete;

    // One request and its whole reply, the body at most maxBody bytes. `body` goes with a
    // Content-Length (never chunked, never with Expect: servers read neither).
    HttpReply request(const std::string& method, const std::string& path, const std::string& body,
                      const std::string& contentType, std::size_t maxBody);
    void setWaitHook(WaitHook hook) { waitHook_ = std::move(hook); }
    void close();

  private:
    bool open();
    std::string hostHeader() const;

    std::string host_;
    int port_;
    WaitHook waitHook_;
    platform::TcpSocket socket_;
    std::unique_ptr<SocketStream> stream_;
    std::unique_ptr<HookedStream> hooked_;
    std::unique_ptr<HttpReader> reader_;
};

}  // namespace tarnwick
