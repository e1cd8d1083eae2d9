// The image data of one frame: SANE_NET_START, the data connection to the announced port,
// and its length-prefixed records until the end mark.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>

#include "sane/authorization.h"
#include "sane/connection.h"
#include "sane/wire_types.h"

namespace tarnwick {

class ImageChannel {
  public:
    explicit ImageChannel(Connection& control) : control_(control) {}
    ~ImageChannel();

    // SANE_NET_START for the handle, with the authorization exchange and its reports, and
    // the data connection to the announced port. True when the frame has begun; the caller
    // then loads the frame parameters. Pending bytes of an earlier frame are dropped. A device
    // still busy (the previous session releasing it, as USB scanners do) is asked again, with
    // a growing pause, for up to kBusyWaitMs.
    bool start(Word handle, Authorizer& authorizer);
    // Up to maxLength bytes of one record at the start of buffer; true while the frame goes on
    // (length may be 0), false at its end (length 0). A record larger than the buffer is read
    // whole: the rest is kept and handed out by the next calls without further socket reads.
    bool readData(void* buffer, std::size_t maxLength, std::size_t& length);
    // Reads on to the frame's end for a moment (kReadOnBeforeCancelMs), then SANE_NET_CANCEL for
    // the handle; the rest of the frame is drained and the data connection closed.
    void cancel(Word handle);

    // Called about every kWaitSliceMs while a read of the frame waits (a lamp warming up, a
    // slow feeder): false stops the read, which then ends the frame as cancelled with the data
    // connection left for cancel to drain.
    void setWaitHook(WaitHook hook) { waitHook_ = std::move(hook); }
    // A pixel row has been completed. A frame that goes without one for the socket time-out
    // fails with a time-out, however many bytes or empty records trickle in.
    void rowCompleted() { lastProgress_ = Clock::now(); }

    bool receiving() const { return data_ != nullptr; }
    // How the last frame ended: the status byte after the end mark (SANE_STATUS_EOF for a
    // whole frame), SANE_STATUS_IO_ERROR when the data connection failed or went away,
    // SANE_STATUS_CANCELLED after cancel, SANE_STATUS_GOOD while a frame is going on.
    Word endStatus() const { return endStatus_; }
    // Why the last start failed (SANE_STATUS_IO_ERROR when the daemon could not be asked),
    // SANE_STATUS_GOOD after a start that began a frame.
    Word startStatus() const { return startStatus_; }
    // The byte order the daemon announced for the current frame's 16-bit samples.
    bool littleEndianSamples() const { return byteOrder_ == kLittleEndianOrder; }

  private:
    using Clock = std::chrono::steady_clock;
    static constexpr std::size_t kMaxDrainAfterCancel = std::size_t{16} << 20;
    static constexpr int kDrainQuietMs = 200;
    static constexpr int kReadOnBeforeCancelMs = 2000;
    static constexpr int kBusyWaitMs = 3000;
    static constexpr int kFirstBusyPauseMs = 100;
    static constexpr int kLongestBusyPauseMs = 800;
    // A pause before asking a busy device again; false when the wait hook stopped it.
    bool pauseWhileBusy(int milliseconds);
    bool startFailed(Word status);
    void closeData(Word endStatus);
    bool stalled() const;
    bool keepWaiting();
    bool endFailedRead();

    WaitHook waitHook_;
    Clock::time_point lastProgress_;
    bool stopped_ = false;
    bool stalled_ = false;

    Connection& control_;
    std::unique_ptr<Connection> data_;
    std::unique_ptr<std::uint8_t[]> pending_;
    std::size_t pendingSize_ = 0;
    std::size_t pendingOffset_ = 0;
    std::size_t pendingCapacity_ = 0;
    Word endStatus_ = SANE_STATUS_GOOD;
    Word startStatus_ = SANE_STATUS_GOOD;
    Word byteOrder_ = 0;
    static constexpr Word kLittleEndianOrder = 0x1234;
};

}  // namespace tarnwick
