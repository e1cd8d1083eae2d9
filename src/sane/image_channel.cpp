#include "sane/image_channel.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "base/translate.h"

namespace tarnwick {

ImageChannel::~ImageChannel() {
    try {
        closeData(SANE_STATUS_CANCELLED);
    } catch (...) {
    }
}

// Bytes left over from a record belong to the frame of that connection: they go with it.
void ImageChannel::closeData(Word endStatus) {
    pendingSize_ = pendingOffset_ = 0;
    if (!data_) return;
    endStatus_ = endStatus;
    std::unique_ptr<Connection> data = std::move(data_);
    data->closeQuietly();
}

bool ImageChannel::start(Word handle, Authorizer& authorizer) {
    closeData(SANE_STATUS_CANCELLED);
    const StatusCallback& callback = control_.statusCallback();
    int deniedWithoutAsking = 0;
    int busyPause = kFirstBusyPauseMs;
    const auto busyUntil = Clock::now() + std::chrono::milliseconds(kBusyWaitMs);
    for (;;) {
        StartReply reply = control_.call(encodeStart(handle), decodeStartReply);
        bool asked = false;
        std::optional<StartReply> final = control_.authorized(
            reply, authorizer, [](WireReader& r) { return decodeStartReply(r); }, asked);
        if (!final) {
            if (!control_.reader().failed())
                report(callback, statusText(SANE_STATUS_ACCESS_DENIED), true, false);
            return startFailed(control_.reader().failed() ? SANE_STATUS_IO_ERROR
                                                          : SANE_STATUS_ACCESS_DENIED);
        }
        switch (final->status) {
            case SANE_STATUS_ACCESS_DENIED:
                // Asked again after a wrong password the user may retype it; a daemon that denies
                // without asking would be asked for ever.
                if (asked || ++deniedWithoutAsking < kMaxAccessDeniedRepeats) continue;
                report(callback, statusText(SANE_STATUS_ACCESS_DENIED), true, false);
                return startFailed(SANE_STATUS_ACCESS_DENIED);
            case SANE_STATUS_NO_DOCS:
                // The normal end of a feeder batch: whoever began the batch tells the user.
                return startFailed(SANE_STATUS_NO_DOCS);
            case SANE_STATUS_DEVICE_BUSY:
                if (Clock::now() < busyUntil) {
                    if (!pauseWhileBusy(busyPause)) return startFailed(SANE_STATUS_CANCELLED);
                    busyPause = std::min(busyPause * 2, kLongestBusyPauseMs);
                    continue;
                }
                report(callback, statusText(SANE_STATUS_DEVICE_BUSY), true, false);
                return startFailed(SANE_STATUS_DEVICE_BUSY);
            case SANE_STATUS_GOOD:
                data_ = std::make_unique<Connection>(control_.address(), control_.userName(),
                                                     final->port, callback);
                data_->setWaitHook([this] { return keepWaiting(); });
                endStatus_ = startStatus_ = SANE_STATUS_GOOD;
                stopped_ = stalled_ = false;
                rowCompleted();
                byteOrder_ = final->byteOrder;
                // The frame goes on even if this fails: readData then ends it.
                data_->connect(false);
                return true;
            default:
                report(callback, statusText(final->status),
                       final->status != SANE_STATUS_INVAL &&
                           final->status <= SANE_STATUS_ACCESS_DENIED,
                       false);
                return startFailed(final->status);
        }
    }
}

bool ImageChannel::startFailed(Word status) {
    startStatus_ = status;
    return false;
}

bool ImageChannel::pauseWhileBusy(int milliseconds) {
    for (int waited = 0; waited < milliseconds; waited += kWaitSliceMs) {
        std::this_thread::sleep_for(
            std::chrono::milliseconds(std::min(kWaitSliceMs, milliseconds - waited)));
        if (waitHook_ && !waitHook_()) return false;
    }
    return true;
}

bool ImageChannel::readData(void* buffer, std::size_t maxLength, std::size_t& length) {
    length = 0;
    if (pendingOffset_ < pendingSize_) {
        std::size_t n = pendingSize_ - pendingOffset_;
        if (n > maxLength) n = maxLength;
        std::memcpy(buffer, pending_.get() + pendingOffset_, n);
        pendingOffset_ += n;
        if (pendingOffset_ == pendingSize_) pendingSize_ = pendingOffset_ = 0;
        length = n;
        return true;
    }
    if (!data_) return false;
    if (!data_->isOpen()) {
        // The data connection never opened (reported by its connect): the frame is lost.
        closeData(SANE_STATUS_IO_ERROR);
        return false;
    }
    if (stopped_) return false;
    if (stalled()) {
        stalled_ = true;
        return endFailedRead();
    }
    WireReader& reader = data_->reader();
    Word recordLength = reader.readWord();
    if (reader.failed()) return endFailedRead();
    if (recordLength == kEndOfFrame) {
        // The status byte after the end mark tells whether the frame is whole; a daemon that
        // sends none is taken to have ended it normally.
        std::uint8_t status = SANE_STATUS_EOF;
        if (reader.readIfAny(&status, 1, 100) == 0) status = SANE_STATUS_EOF;
        if (status != SANE_STATUS_EOF && status != SANE_STATUS_GOOD)
            report(control_.statusCallback(), statusText(status), true, false);
        closeData(status == SANE_STATUS_GOOD ? Word{SANE_STATUS_EOF} : Word{status});
        return false;
    }
    if (recordLength < 0 || recordLength > kMaxRecordLength) {
        reader.protocolError("record length", recordLength);
        closeData(SANE_STATUS_IO_ERROR);
        return false;
    }
    auto size = static_cast<std::size_t>(recordLength);
    std::size_t direct = size < maxLength ? size : maxLength;
    if (!reader.readBytes(buffer, direct)) return endFailedRead();
    length = direct;
    if (size > direct) {
        std::size_t rest = size - direct;
        if (rest > pendingCapacity_) {
            pending_ = std::make_unique<std::uint8_t[]>(rest);
            pendingCapacity_ = rest;
        }
        if (!reader.readBytes(pending_.get(), rest)) {
            // The bytes already in the buffer are handed out; the frame ends at the next call.
            endFailedRead();
            return true;
        }
        pendingSize_ = rest;
        pendingOffset_ = 0;
    }
    return true;
}

// saned dies of SIGPIPE when it writes into a data connection the client has closed, and also
// when a cancel reaches a backend whose reader thread still writes into its pipe (the test
// backend does so in the middle of a large frame); either takes the control connection with
// it. So a frame that ends within kReadOnBeforeCancelMs is read to its end before the daemon
// hears of the cancel, and what it still sends after that is read and dropped (bounded) until
// it closes its end or falls quiet.
void ImageChannel::cancel(Word handle) {
    const auto until = Clock::now() + std::chrono::milliseconds(kReadOnBeforeCancelMs);
    std::uint8_t scratch[4096];
    std::size_t length = 0;
    while (data_ && !stopped_ && Clock::now() < until &&
           readData(scratch, sizeof scratch, length)) {
    }
    control_.call(encodeCancel(handle), decodeWordReply);
    if (data_ && data_->isOpen()) data_->drainInput(kMaxDrainAfterCancel, kDrainQuietMs);
    closeData(SANE_STATUS_CANCELLED);
    // Also when the frame was read to its end: nobody takes it.
    endStatus_ = SANE_STATUS_CANCELLED;
}

bool ImageChannel::stalled() const {
    return Clock::now() - lastProgress_ > std::chrono::milliseconds(socketTimeout);
}

bool ImageChannel::keepWaiting() {
    if (stalled()) {
        stalled_ = true;
        return false;
    }
    if (waitHook_ && !waitHook_()) stopped_ = true;
    return !stopped_;
}

// A stop asked for by the wait hook leaves the data connection open for cancel to drain; a
// stalled frame is a time-out; other failures were reported by the reader.
bool ImageChannel::endFailedRead() {
    pendingSize_ = pendingOffset_ = 0;
    if (stopped_) {
        endStatus_ = SANE_STATUS_CANCELLED;
        return false;
    }
    const bool timedOut = stalled_;
    closeData(SANE_STATUS_IO_ERROR);
    if (timedOut)
        report(control_.statusCallback(), tr("Time out reading bytes from socket"), true, true);
    return false;
}

}  // namespace tarnwick
