#include "escl/http_connection.h"

#include <chrono>

#include "discovery/service_browser.h"

namespace tarnwick {

ReadResult HookedStream::readSome(void* buffer, std::size_t count) {
    const long long now = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now().time_since_epoch())
                              .count();
    if (hook_ && now - lastAsked_ >= kWaitSliceMs) {
        lastAsked_ = now;
        if (!hook_()) return {0, ReadOutcome::stopped};
    }
    return stream_.readSome(buffer, count);
}

HttpConnection::HttpConnection(std::string host, int port) : host_(std::move(host)), port_(port) {}

HttpConnection::~HttpConnection() = default;

void HttpConnection::close() {
    reader_.reset();
    hooked_.reset();
    stream_.reset();
    socket_.close();
}

bool HttpConnection::open() {
    close();
    std::string address = host_;
    if (isLocalHostName(host_)) {
        SearchOptions options;
        options.keepWaiting = waitHook_;
        address = resolveLocalHost(host_, options).value_or(host_);
    }
    try {
        socket_.connect(address, port_, socketTimeout, [](platform::SocketEvent) {});
    } catch (const platform::SocketError&) {
        return false;
    }
    // The hook of the moment, not the one of when the connection was made.
    stream_ = std::make_unique<SocketStream>(socket_, [this] { return !waitHook_ || waitHook_(); });
    hooked_ = std::make_unique<HookedStream>(*stream_, waitHook_);
    reader_ = std::make_unique<HttpReader>(*hooked_, socketTimeout);
    return true;
}

std::string HttpConnection::hostHeader() const {
    // With the port even when it is the default: some devices refuse requests without it.
    const bool v6 = host_.find(':') != std::string::npos;
    return (v6 ? std::string("[") + host_ + "]" : host_) + ":" + std::to_string(port_);
}

HttpReply HttpConnection::request(const std::string& method, const std::string& path,
                                  const std::string& body, const std::string& contentType,
                                  std::size_t maxBody) {
    std::string head = method + " " + (path.empty() ? "/" : path) +
                       " HTTP/1.1\r\nHost: " + hostHeader() +
                       "\r\nUser-Agent: Tarnwick\r\nAccept: */*\r\n";
    if (!body.empty() || method == "POST" || method == "PUT") {
        head += std::string("Content-Length: ") + std::to_string(body.size()) + "\r\n";
        if (!contentType.empty()) head += std::string("Content-Type: ") + contentType + "\r\n";
    }
    head += "\r\n";
    const std::string message = head + body;
    // A kept connection the server closed meanwhile fails at once: that request is sent once more
    // on a new connection.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const bool reused = stream_ != nullptr;
        HttpReply reply;
        if (!stream_ && !open()) {
            reply.connectFailed = true;
            return reply;
        }
        try {
            if (stream_->write(message.data(), message.size()) != message.size()) {
                close();
                reply.error = HttpError::timedOut;
                return reply;
            }
            reply.error = reader_->readHead(reply.response);
            if (reply.error == HttpError::closed && reused) {
                close();
                continue;
            }
            if (reply.error == HttpError::none)
                reply.error =
                    reader_->readBody(reply.response, maxBody, reply.body, method == "HEAD");
        } catch (const platform::SocketError&) {
            reply.error = HttpError::closed;
        }
        if (reply.error != HttpError::none || !reply.response.keepAlive) close();
        return reply;
    }
    HttpReply lost;
    lost.error = HttpError::closed;
    return lost;
}

}  // namespace tarnwick
