// The client end of the SANE network protocol over one TCP connection to a daemon.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/socket.h"
#include "sane/authorization.h"
#include "sane/procedures.h"
#include "sane/socket_stream.h"
#include "sane/status.h"
#include "sane/wire_reader.h"

namespace tarnwick {

inline constexpr int kDefaultPort = 6566;

class Connection {
  public:
    // No network traffic yet.
    Connection(std::string host, std::string userName, int port, StatusCallback callback);
    // Sends SANE_NET_EXIT and closes the socket when it is still open.
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the socket and the stream; with logOn, logs on with SANE_NET_INIT and checks the
    // protocol version. True when the connection is usable. Catches the socket error.
    bool connect(bool logOn);
    // With sendExit and an open stream, sends SANE_NET_EXIT; then closes stream and socket.
    void disconnect(bool sendExit);
    // Closes stream and socket without a report: a frame's data connection that ends is no
    // disconnect from the daemon.
    void closeQuietly();
    bool isOpen() const { return stream_ != nullptr; }

    // The daemon's devices, fetched once per connection; every call while the list is empty
    // reports "No devices found on backend.".
    const std::vector<DeviceRecord>& getDevices();
    // A record for a device known by name only; no network traffic.
    static DeviceRecord deviceNamed(const std::string& name) {
        return DeviceRecord{name, {}, {}, {}};
    }

    const std::string& host() const { return host_; }
    // What the socket connected to: the host, or the address a ".local" name resolved to.
    const std::string& address() const { return address_; }
    const std::string& userName() const { return userName_; }
    int port() const { return port_; }
    const StatusCallback& statusCallback() const { return callback_; }

    // ---- the wire, for the device procedures ----
    // Sends one request in one write; false (reported) on a time-out or without a stream.
    bool send(const Request& request);
    // The reader of this connection's replies; a failed reader stays failed for its lifetime.
    WireReader& reader() { return reader_; }
    void discardInput() { reader_.discardInput(); }
    // Reads and drops up to limit bytes until the line has been quiet for quietMs or closed,
    // also after the reader failed; the bytes dropped.
    std::size_t drainInput(std::size_t limit, int quietMs);
    // Called while reads wait (see WaitHook); set before connect.
    void setWaitHook(WaitHook hook) { waitHook_ = std::move(hook); }
    // Sends a request and decodes its reply.
    template <class Reply, class... Params, class... Args>
    Reply call(const Request& request, Reply (*decode)(WireReader&, Params...), Args&&... args) {
        if (!send(request)) {
            // A request that did not go out has no reply, and none may pass for a success.
            Reply none{};
            if constexpr (requires { none.status; }) none.status = SANE_STATUS_IO_ERROR;
            return none;
        }
        reader_.startReply();
        return decode(reader_, std::forward<Args>(args)...);
    }

    // SANE_NET_AUTHORIZE with the challenge answered as authorizationPassword does (an empty
    // password when it cannot be answered); reads the reply word. False when the exchange
    // failed on the wire.
    bool authorize(const std::string& resource, const Credentials& credentials);

    // The authorization exchange of a reply that carries a resource (OPEN, CONTROL_OPTION,
    // START): while the resource is not empty, ask the authorizer, authorize and read the
    // repeated reply with `reread`. Nothing when the user refused, the wire failed, or the
    // daemon kept asking beyond kMaxAuthorizationRounds. `asked` is set when a prompt was shown.
    template <class Reply, class Reread>
    std::optional<Reply> authorized(Reply reply, Authorizer& authorizer, Reread reread,
                                    bool& asked) {
        bool refused = false;
        for (int round = 0; !reply.resource.empty(); ++round) {
            if (reader_.failed()) return std::nullopt;
            if (round == kMaxAuthorizationRounds) {
                reader_.protocolError("authorization rounds", round);
                return std::nullopt;
            }
            std::optional<Credentials> credentials;
            if (!refused) {
                credentials = authorizer.ask(reply.resource);
                asked = true;
            }
            // The daemon waits for SANE_NET_AUTHORIZE whatever the user does: a refusal is
            // an empty user and password, or the next request's first word would be taken
            // for it.
            refused = refused || !credentials;
            if (!authorize(reply.resource, credentials.value_or(Credentials{})))
                return std::nullopt;
            reply = reread(reader_);
        }
        if (reader_.failed() || refused) return std::nullopt;
        return reply;
    }

  private:
    class ClosedSource : public ByteSource {
      public:
        ReadResult readSome(void*, std::size_t) override { return {0, ReadOutcome::closed}; }
        std::size_t readIfAny(void*, std::size_t, int) override { return 0; }
    };
    class StreamSource : public ByteSource {
      public:
        explicit StreamSource(Connection& owner) : owner_(owner) {}
        ReadResult readSome(void* buffer, std::size_t count) override;
        std::size_t readIfAny(void* buffer, std::size_t count, int quietMs) override;

      private:
        Connection& owner_;
    };

    bool logOn();
    std::string addressToConnect() const;
    void socketEvent(platform::SocketEvent event);

    platform::TcpSocket socket_;
    std::unique_ptr<SocketStream> stream_;
    std::optional<std::vector<DeviceRecord>> devices_;
    StatusCallback callback_;
    WaitHook waitHook_;
    std::string host_;
    std::string address_;
    std::string userName_;
    int port_;
    StreamSource source_{*this};
    WireReader reader_{source_, callback_};
};

}  // namespace tarnwick
