// The pages of an eSCL scanner: the job, each document of it, its image row by row, the cancel.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

#include "base/debug_log.h"
#include "base/translate.h"
#include "escl/escl_scanner.h"
#include "escl/escl_status.h"
#include "escl/line_art.h"
#include "escl/scan_settings_xml.h"

namespace tarnwick {

namespace {

// An image file may be larger than its pixels (a PNG of noise, a JPEG at full quality), but not
// by much; beyond this the server is not sending the page asked for.
constexpr std::size_t kPageSlack = 1 << 20;
constexpr std::size_t kMaxPage = std::size_t{1} << 31;

}  // namespace

void EsclScanner::reportHttp(const HttpReply& reply) {
    std::string message;
    if (reply.connectFailed)
        message = tr("Error establishing connection to host");
    else if (reply.error == HttpError::timedOut)
        message = tr("The scanner did not answer in time");
    else if (reply.error == HttpError::headTooLarge || reply.error == HttpError::bodyTooLarge)
        message = tr("The scanner's answer is too large");
    else if (reply.error == HttpError::closed)
        message = tr("The scanner closed the connection");
    else if (reply.error == HttpError::stopped)
        message = statusText(SANE_STATUS_CANCELLED);
    else if (reply.error == HttpError::malformed)
        message = tr("The scanner's answer could not be understood");
    else
        message = statusText(SANE_STATUS_IO_ERROR) + " (HTTP " +
                  std::to_string(reply.response.status) + ")";
    debugLog("eSCL: %s (%s)\n", message.c_str(), httpErrorName(reply.error));
    tarnwick::report(report_, message, false, false);
}

bool EsclScanner::fail(Word status, const std::string& message) {
    if (!message.empty()) tarnwick::report(report_, message, false, false);
    failure_ = status;
    end_ = status == SANE_STATUS_CANCELLED ? FrameEnd::cancelled : FrameEnd::failed;
    return false;
}

bool EsclScanner::waitFor(int ms) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < until) {
        if (waitHook_ && !waitHook_()) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kWaitSliceMs));
    }
    return true;
}

bool EsclScanner::untilNotBusy(const std::function<HttpReply()>& send, HttpReply& reply) {
    for (int attempt = 0;; ++attempt) {
        reply = send();
        if (reply.status() != 503) return true;
        if (attempt == kBusyRetries) break;
        // All the tries together stay within a few time-outs, however short they are set.
        if (!waitFor(std::min(kBusyWaitMs, socketTimeout))) return fail(SANE_STATUS_CANCELLED);
    }
    return fail(SANE_STATUS_DEVICE_BUSY, statusText(SANE_STATUS_DEVICE_BUSY));
}

Word EsclScanner::statusReason(Word fallback) {
    const HttpReply reply = get(address_->basePath + "/ScannerStatus", kMaxXmlBytes);
    if (reply.status() != 200) return fallback;
    const XmlResult xml = parseXml(
        std::string_view(reinterpret_cast<const char*>(reply.body.data()), reply.body.size()));
    const std::optional<EsclStatus> status = xml.root ? parseStatus(*xml.root) : std::nullopt;
    if (!status) return fallback;
    const Word reason = statusOfAdfState(status->adfState);
    return reason != SANE_STATUS_GOOD ? reason : fallback;
}

void EsclScanner::deleteJob() {
    if (job_.empty() || !http_) return;
    const std::string job = job_;
    job_.clear();
    // The wait hook may be what stopped the page: the DELETE must still go out.
    WaitHook hook = std::move(waitHook_);
    waitHook_ = nullptr;
    http_->setWaitHook(nullptr);
    http_->request("DELETE", job, {}, {}, kMaxXmlBytes);
    waitHook_ = std::move(hook);
    http_->setWaitHook(waitHook_);
}

bool EsclScanner::createJob() {
    const EsclScanRequest request = options_->request();
    const std::string settings = scanSettingsXml(request);
    HttpReply reply;
    if (!untilNotBusy(
            [&] {
                return http_->request("POST", address_->basePath + "/ScanJobs", settings,
                                      "text/xml", kMaxXmlBytes);
            },
            reply))
        return false;
    if (!reply.ok()) {
        reportHttp(reply);
        return fail(reply.error == HttpError::stopped ? SANE_STATUS_CANCELLED
                                                      : SANE_STATUS_IO_ERROR);
    }
    if (reply.status() == 409)
        return fail(statusReason(request.feeder ? SANE_STATUS_NO_DOCS : SANE_STATUS_INVAL));
    const std::string location = reply.response.header("location");
    if (reply.status() != 201 || location.empty() || location.size() > 1024) {
        reportHttp(reply);
        return fail(SANE_STATUS_IO_ERROR);
    }
    job_ = jobPathOf(location, address_->basePath);
    jobSettings_ = settings;
    jobFeeder_ = request.feeder;
    jobPages_ = 0;
    debugLog("eSCL job %s\n", job_.c_str());
    return true;
}

std::size_t EsclScanner::pageLimit() const {
    const Parameters p = options_->parameters();
    const std::size_t raw = static_cast<std::size_t>(std::max(p.bytesPerLine, 1)) *
                            static_cast<std::size_t>(std::max(p.lines, 1));
    return std::min(kMaxPage, raw * 2 + kPageSlack);
}

bool EsclScanner::start() {
    failure_ = SANE_STATUS_GOOD;
    end_ = FrameEnd::whole;
    decoder_.reset();
    page_.clear();
    if (!options_) return fail(SANE_STATUS_IO_ERROR);
    // A job made with other settings, or a flatbed job whose page was read, is done with.
    if (!job_.empty() && !jobFeeder_) finishJob();
    if (!job_.empty() && jobSettings_ != scanSettingsXml(options_->request())) deleteJob();
    if (job_.empty() && !createJob()) return false;
    pageWhole_ = false;
    if (!fetchPage()) {
        // Stopped or failed on the way: the job ends on the scanner too.
        if (end_ == FrameEnd::cancelled || !jobFeeder_ || failure_ != SANE_STATUS_NO_DOCS)
            deleteJob();
        job_.clear();
        pageWhole_ = true;
        return false;
    }
    ++jobPages_;
    return takeImage();
}

bool EsclScanner::fetchPage() {
    HttpReply reply;
    if (!untilNotBusy([&] { return get(job_ + "/NextDocument", pageLimit()); }, reply))
        return false;
    if (!reply.ok()) {
        reportHttp(reply);
        return fail(reply.error == HttpError::stopped ? SANE_STATUS_CANCELLED
                                                      : SANE_STATUS_IO_ERROR);
    }
    switch (reply.status()) {
        case 200:
            page_ = std::move(reply.body);
            return true;
        case 404:
        case 410:
            // The end of a feeder job; before its first page the feeder was empty or the
            // scanner refused the job.
            if (jobFeeder_ && jobPages_ > 0) return fail(SANE_STATUS_NO_DOCS);
            return fail(statusReason(jobFeeder_ ? SANE_STATUS_NO_DOCS : SANE_STATUS_IO_ERROR));
        case 409:
            return fail(statusReason(jobFeeder_ ? SANE_STATUS_NO_DOCS : SANE_STATUS_IO_ERROR));
        default:
            reportHttp(reply);
            return fail(SANE_STATUS_IO_ERROR);
    }
}

bool EsclScanner::takeImage() {
    decoder_ = platform::decodeImage(page_.data(), page_.size());
    if (!decoder_) {
        deleteJob();
        return fail(SANE_STATUS_IO_ERROR, tr("The scanner's answer could not be understood"));
    }
    const platform::RasterFormat& format = decoder_->format();
    const Parameters asked = options_->parameters();
    // Sizes come from the image (a row more or less is common); far more than asked is not
    // the page asked for.
    const long long maxWidth = static_cast<long long>(asked.pixelsPerLine) * 2 + 64;
    const long long maxLines = static_cast<long long>(asked.lines) * 2 + 64;
    if (format.width <= 0 || format.height <= 0 || format.width > maxWidth ||
        format.height > maxLines || (format.channels != 1 && format.channels != 3)) {
        decoder_.reset();
        deleteJob();
        return fail(SANE_STATUS_IO_ERROR, tr("The scanner's answer is too large"));
    }
    // Black and white asked for and grey or colour sent: the page is made one-bit here.
    decoded_.clear();
    platform::RasterFormat frame = format;
    if (asked.depth == 1 && format.bitsPerSample != 1) {
        decoded_.resize(platform::packedRowBytes(format));
        frame.channels = 1;
        frame.bitsPerSample = 1;
    }
    parameters_.format = frame.channels == 3 ? SANE_FRAME_RGB : SANE_FRAME_GRAY;
    parameters_.lastFrame = 1;
    parameters_.depth = frame.bitsPerSample;
    parameters_.pixelsPerLine = frame.width;
    parameters_.lines = frame.height;
    parameters_.bytesPerLine = static_cast<Word>(platform::packedRowBytes(frame));
    row_.assign(platform::packedRowBytes(frame), 0);
    rowOffset_ = rowFill_ = 0;
    rowsLeft_ = frame.height;
    // The codecs give 0 for black; a SANE frame of one bit has 1 for black.
    invertBits_ = format.bitsPerSample == 1;
    if (callback_) callback_(parametersLoaded);
    return true;
}

bool EsclScanner::readData(void* buffer, std::size_t maxLength, std::size_t& length) {
    length = 0;
    if (!decoder_) return false;
    auto* out = static_cast<std::uint8_t*>(buffer);
    while (length < maxLength) {
        if (rowOffset_ == rowFill_) {
            if (rowsLeft_ == 0) break;
            // Whole rows go straight into the caller's buffer; only a row split between two
            // reads passes through the row buffer.
            const std::size_t rowBytes = row_.size();
            std::uint8_t* target = maxLength - length >= rowBytes ? out + length : row_.data();
            if (!decoder_->readRow(decoded_.empty() ? target : decoded_.data())) {
                decoder_.reset();
                deleteJob();
                return fail(SANE_STATUS_IO_ERROR,
                            tr("The scanner's answer could not be understood"));
            }
            --rowsLeft_;
            if (!decoded_.empty()) thresholdRow(decoded_.data(), decoder_->format(), target);
            if (invertBits_)
                for (std::size_t i = 0; i < rowBytes; ++i) target[i] = ~target[i];
            if (target != row_.data()) {
                length += rowBytes;
                continue;
            }
            rowOffset_ = 0;
            rowFill_ = rowBytes;
        }
        const std::size_t n = std::min(maxLength - length, rowFill_ - rowOffset_);
        std::memcpy(out + length, row_.data() + rowOffset_, n);
        rowOffset_ += n;
        length += n;
    }
    // The last row handed over: a reader that counts its rows asks no further.
    if (rowsLeft_ == 0 && rowOffset_ == rowFill_) pageWhole_ = true;
    if (length > 0) return true;
    // The frame's end.
    decoder_.reset();
    page_.clear();
    pageWhole_ = true;
    end_ = FrameEnd::whole;
    return false;
}

void EsclScanner::finishJob() {
    // A flatbed job has one document; asking for the next lets the scanner complete the job
    // (a DELETE would leave it cancelled).
    const std::string job = job_;
    job_.clear();
    get(job + "/NextDocument", kMaxXmlBytes);
}

void EsclScanner::cancel() {
    if (pageWhole_ && !job_.empty() && !jobFeeder_) return finishJob();
    // Between the pages of a feeder job the job goes on: the next start takes its next page.
    if (pageWhole_ && jobFeeder_) return;
    decoder_.reset();
    page_.clear();
    if (!pageWhole_) end_ = FrameEnd::cancelled;
    pageWhole_ = true;
    deleteJob();
}

}  // namespace tarnwick
