#include "sane/connection.h"

#include <cstdint>

#include "base/debug_log.h"
#include "base/translate.h"
#include "discovery/service_browser.h"

namespace tarnwick {

namespace {

const char* writeTimeoutText(WireItem item) {
    switch (item) {
        case WireItem::word:
            return N_("Time out writing word to socket");
        case WireItem::string:
            return N_("Time out writing string to socket");
        case WireItem::bytes:
            break;
    }
    return N_("Time out writing bytes to socket");
}

}  // namespace

Connection::Connection(std::string host, std::string userName, int port, StatusCallback callback)
    : callback_(std::move(callback)),
      host_(std::move(host)),
      address_(host_),
      userName_(std::move(userName)),
      port_(port) {}

Connection::~Connection() {
    // A receiver that unwinds from a report must not take the destructor with it.
    try {
        if (socket_.isOpen()) disconnect(true);
    } catch (...) {
    }
}

void Connection::socketEvent(platform::SocketEvent event) {
    switch (event) {
        case platform::SocketEvent::lookingUp:
            report(callback_, tr("Looking up host: ") + host_, false, false);
            break;
        case platform::SocketEvent::connecting:
            report(callback_, tr("Connecting to host: ") + host_, false, false);
            break;
        case platform::SocketEvent::connected:
            report(callback_, tr("Connected to host: ") + host_, false, false);
            break;
    }
}

bool Connection::connect(bool logOn) {
    debugLog(tr("Opening connection\n"));
    report(callback_, tr("Opening connection"), false, false);
    stream_.reset();
    devices_.reset();
    try {
        debugLog(tr("Opening socket on port %d\n"), port_);
        address_ = addressToConnect();
        socket_.connect(address_, port_, socketTimeout,
                        [this](platform::SocketEvent e) { socketEvent(e); });
        stream_ = std::make_unique<SocketStream>(socket_, waitHook_);
        if (logOn && !this->logOn()) return false;
        debugLog(tr("Got socket connection\n"));
        return true;
    } catch (const platform::SocketError& error) {
        report(callback_, tr("An error occured with socket communication"), true, true);
        if (callback_) {
            debugLog(tr("Socket error!\n"));
            debugLog(tr("\tMessage was : '%s'\n"), error.what());
        }
        report(callback_, tr("Error establishing connection to host"), true, true);
        return false;
    }
}

std::string Connection::addressToConnect() const {
    if (!isLocalHostName(host_)) return host_;
    // A host found by multicast DNS keeps its name when its address changes; the system's
    // resolver may know the name when no responder answers in time.
    SearchOptions options;
    options.keepWaiting = waitHook_;
    return resolveLocalHost(host_, options).value_or(host_);
}

bool Connection::logOn() {
    debugLog(tr("Logging on as %s\n"), userName_.c_str());
    InitReply reply = call(encodeInit(userName_), decodeInitReply);
    if (reader_.failed()) return false;
    if (reply.status != SANE_STATUS_GOOD) {
        if (reply.status == SANE_STATUS_INVAL)
            report(callback_, tr("Unable to connect. Do you have sufficient access rights?"), true,
                   true);
        else if (reply.status <= SANE_STATUS_ACCESS_DENIED)
            report(callback_, statusText(reply.status), true, true);
        else
            report(callback_, statusText(reply.status), false, false);
        return false;
    }
    if (((reply.version >> 24) & 255) != 1) {
        report(callback_, tr("Protocol version of scanner backend not supported"), true, true);
        return false;
    }
    return true;
}

void Connection::disconnect(bool sendExit) {
    if (sendExit && stream_) {
        Request exit = encodeExit();
        try {
            stream_->write(exit.data(), exit.size());
        } catch (const platform::SocketError&) {
            // The daemon is gone already; there is nobody left to say goodbye to.
        }
    }
    const bool open = socket_.isOpen();
    closeQuietly();
    if (open) report(callback_, tr("Disconnected"), false, false);
}

void Connection::closeQuietly() {
    devices_.reset();
    stream_.reset();
    socket_.close();
}

const std::vector<DeviceRecord>& Connection::getDevices() {
    if (!devices_) {
        report(callback_, tr("Getting list of available devices"), false, false);
        devices_.emplace();
        GetDevicesReply reply = call(encodeGetDevices(), decodeGetDevicesReply);
        if (reply.status == SANE_STATUS_GOOD) *devices_ = std::move(reply.devices);
    }
    if (devices_->empty()) report(callback_, tr("No devices found on backend."), true, true);
    return *devices_;
}

bool Connection::send(const Request& request) {
    if (reader_.failed()) return false;
    if (!stream_) {
        // Never connected: that failure was reported by connect.
        reader_.fail({});
        return false;
    }
    try {
        const std::size_t sent = stream_->write(request.data(), request.size());
        if (sent < request.size()) {
            reader_.fail(tr(writeTimeoutText(request.itemAt(sent))));
            return false;
        }
    } catch (const platform::SocketError&) {
        reader_.fail(tr("An error occured with socket communication"));
        return false;
    }
    return true;
}

std::size_t Connection::drainInput(std::size_t limit, int quietMs) {
    std::uint8_t scratch[4096];
    std::size_t drained = 0;
    while (drained < limit) {
        const std::size_t n = source_.readIfAny(scratch, sizeof scratch, quietMs);
        if (n == 0) break;
        drained += n;
    }
    return drained;
}

bool Connection::authorize(const std::string& resource, const Credentials& credentials) {
    std::optional<std::string> password = authorizationPassword(resource, credentials.password);
    call(encodeAuthorize(resource, credentials.userName, password.value_or("")), decodeWordReply);
    return !reader_.failed();
}

ReadResult Connection::StreamSource::readSome(void* buffer, std::size_t count) {
    if (!owner_.stream_) return {0, ReadOutcome::closed};
    try {
        return owner_.stream_->readSome(buffer, count);
    } catch (const platform::SocketError&) {
        return {0, ReadOutcome::error};
    }
}

std::size_t Connection::StreamSource::readIfAny(void* buffer, std::size_t count, int quietMs) {
    if (!owner_.stream_) return 0;
    try {
        return owner_.stream_->readIfAny(buffer, count, quietMs);
    } catch (const platform::SocketError&) {
        return 0;
    }
}

}  // namespace tarnwick
