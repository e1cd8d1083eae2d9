// Reading one image from the scanner: every frame decoded row by row, with progress, Escape
// and the cancel rule; and the batch's next image read through it.
#include <new>
#include <string>

#include "base/debug_log.h"
#include "base/translate.h"
#include "image/decode_frame.h"
#include "sane/status.h"
#include "session/scan_policy.h"
#include "session/scan_session.h"
#include "ui/backend.h"

namespace tarnwick {

namespace {

constexpr long long kPumpIntervalMs = 20;

// Why a frame gave no image; `device` is what the scanner said of its end.
Word failureOf(DecodeResult result, bool stoppedByUser, Word device) {
    if (stoppedByUser || result == DecodeResult::Cancelled) return SANE_STATUS_CANCELLED;
    switch (result) {
        case DecodeResult::TooLarge:
            return SANE_STATUS_NO_MEM;
        case DecodeResult::UnknownDepth:
        case DecodeResult::UnsupportedFormat:
            return SANE_STATUS_UNSUPPORTED;
        default:
            return device != SANE_STATUS_GOOD ? device : Word{SANE_STATUS_IO_ERROR};
    }
}

}  // namespace

bool ScanSession::scanNextImage(Region& area) {
    area = batch.take();
    const std::optional<ScanRectangle>& frame = batch.frame();
    try {
        setScanArea(frame ? *frame : rectangleOf(area));
        if (scanInto(scanBitmap) && scanner_) return true;
        // An empty feeder ends a batch; before its first page it is what went wrong.
        if (failure_ == SANE_STATUS_NO_DOCS && batch.delivered() == 0)
            report(statusText(SANE_STATUS_NO_DOCS), false, false);
        return failed(SANE_STATUS_IO_ERROR);
    } catch (const std::bad_alloc&) {
        return failed(SANE_STATUS_NO_MEM);
    } catch (const std::exception&) {
        // A fatal report closed the connection (its text went to the status routine).
        return failed(SANE_STATUS_IO_ERROR);
    }
}

bool ScanSession::failed(Word status) {
    // The first reason found is the one that ended the read.
    if (failure_ == SANE_STATUS_GOOD)
        failure_ = status == SANE_STATUS_GOOD ? Word{SANE_STATUS_IO_ERROR} : status;
    return false;
}

bool ScanSession::scanInto(Bitmap& bitmap) {
    // The application may ask for an image while messages are processed during a read.
    if (reading_) return false;
    failure_ = SANE_STATUS_GOOD;
    if (!scanner_) {
        report(tr("No scanner is open"), false, false);
        return failed(SANE_STATUS_IO_ERROR);
    }
    if (roles_.wait && roles_.wait->valueText() == "yes" && observer_ &&
        !observer_->confirmButtonStart())
        return failed(SANE_STATUS_CANCELLED);

    reading_ = true;
    const auto restore = [this] {
        reading_ = false;
        if (observer_) observer_->readEnds();
    };
    try {
        const bool whole = readFrames(bitmap);
        restore();
        return whole;
    } catch (const std::bad_alloc& e) {
        restore();
        report(e.what(), false, false);
        return failed(SANE_STATUS_NO_MEM);
    } catch (const std::exception& e) {
        // After a fatal report too: its "Connection cancelled" ends the read.
        restore();
        report(e.what(), false, false);
        return failed(SANE_STATUS_IO_ERROR);
    }
}

bool ScanSession::readFrames(Bitmap& bitmap) {
    keepReading_ = true;
    if (observer_) observer_->readStarts();

    const FrameReader read = [this](std::uint8_t* buffer, std::size_t capacity,
                                    std::size_t& count) {
        count = 0;
        if (!scanner_) return ReadStatus::Error;
        if (scanner_->readData(buffer, capacity, count)) return ReadStatus::Data;
        // Only a frame the daemon ended normally is whole.
        return scanner_ && scanner_->frameEnded() == ScannerTransport::FrameEnd::whole
                   ? ReadStatus::EndOfFrame
                   : ReadStatus::Error;
    };
    const int cancelType = settings_.cancelType;
    // Messages (Escape, painting, the progress) get through at the first row and then at most
    // every kPumpIntervalMs: after every row they would cost as much as the decoding.
    bool pumped = false;
    long long lastPump = 0;
    int rowsNotShown = 0;
    bool stoppedByUser = false;
    const RowCallback rowDone = [&](int) {
        if (scanner_) scanner_->rowCompleted();
        ++rowsNotShown;
        const long long now = ui::backend().milliseconds();
        if (!pumped || now - lastPump >= kPumpIntervalMs) {
            pumped = true;
            lastPump = now;
            if (observer_) observer_->rowsRead(rowsNotShown);
            rowsNotShown = 0;
            ui::processPendingMessages();
        }
        if (keepReading_) return true;
        stoppedByUser = true;
        if (cancelType & cancelOnEscape) cancelScanner(true);
        return false;
    };

    // Escape and closing work also while the first row is awaited.
    scanner_->setWaitHook([this] {
        ui::processPendingMessages();
        return keepReading_;
    });
    int framesLeft = 1;
    for (bool firstFrame = true;; firstFrame = false) {
        const long reportsBefore = reports_;
        if (!scanner_->start()) {
            // A reason the start gave stays on the status line.
            if (reports_ == reportsBefore) report("0", false, false);
            return failed(scanner_ ? scanner_->failure() : Word{SANE_STATUS_IO_ERROR});
        }
        const FrameParameters frame = frameParameters(scanner_->parameters());
        if (firstFrame) {
            framesLeft = framesPerImage(frame);
            if (observer_) observer_->frameBegins(frame.lines);
            // A key pressed while the scanner got ready (a warming lamp, a feeder) stops the
            // read before its first row.
            pumped = true;
            lastPump = ui::backend().milliseconds();
            ui::processPendingMessages();
            if (!scanner_) keepReading_ = false;
            if (!keepReading_) {
                stoppedByUser = scanner_ != nullptr;
                failed(scanner_ ? SANE_STATUS_CANCELLED : SANE_STATUS_IO_ERROR);
                if (cancelType & cancelOnEscape) cancelScanner(true);
                break;
            }
        }
        DecodeOptions options;
        options.firstFrame = firstFrame;
        options.noInvertBlackWhite = settings_.noInvertBlackWhite;
        options.littleEndianSamples = scanner_->littleEndianSamples();
        // The final scan is the application's image; previews need 8 bits only.
        options.keepSixteenBits = &bitmap == &scanBitmap;
        const DecodeResult result = decodeFrame(bitmap, frame, options, read, rowDone);
        if (result == DecodeResult::UnknownDepth)
            report(tr("Unknown bitmap depth: ") + std::to_string(frame.depth), true, true);
        if (result == DecodeResult::UnsupportedFormat)
            report(tr("The scanner sent an image format that cannot be shown"), true, false);
        if (result == DecodeResult::TooLarge)
            report(tr("The scanned image is too large"), true, false);
        if (result == DecodeResult::ShortFrame)
            report(tr("The scanner ended the image before its last row"), true, false);
        if (result != DecodeResult::Complete) {
            // A stop by Escape has cleared it already; one during a wait has not cancelled.
            if (result == DecodeResult::ReadFailed && !keepReading_ && scanner_ &&
                scanner_->frameEnded() == ScannerTransport::FrameEnd::cancelled) {
                stoppedByUser = true;
                if (cancelType & cancelOnEscape) cancelScanner(true);
            }
            failed(failureOf(result, stoppedByUser,
                             scanner_ ? scanner_->failure() : Word{SANE_STATUS_IO_ERROR}));
            keepReading_ = false;
            break;
        }
        if (frame.lastFrame || !scanner_) break;
        if (--framesLeft == 0) {
            // A daemon that never marks the last frame would be read from for ever.
            report(tr("The scanner sent more frames than one image has"), true, false);
            failed(SANE_STATUS_IO_ERROR);
            keepReading_ = false;
            break;
        }
    }
    if (cancelType & cancelAfterRead) cancelScanner(true);
    if (keepReading_)
        report(tr("Done") + " (" + std::to_string(bitmap.width()) + " x " +
                   std::to_string(bitmap.height()) + ")",
               false, false);
    else if (stoppedByUser)
        report(tr("Operation was cancelled"), false, false);
    return keepReading_;
}

}  // namespace tarnwick
