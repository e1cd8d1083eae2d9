// An eSCL (AirScan) scanner reached over HTTP, as a scanner transport: its capabilities become
// the options, a start asks for the next page (a new job, or the feeder job's next document),
// and the page's image is decoded row by row into the frame the session reads.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "escl/escl_options.h"
#include "escl/escl_url.h"
#include "escl/http_connection.h"
#include "options/scanner_transport.h"
#include "platform/image_codec.h"
#include "sane/status.h"

namespace tarnwick {

// 503 (busy) answers are tried again this often, kBusyWaitMs apart.
inline constexpr int kBusyRetries = 8;
inline constexpr int kBusyWaitMs = 1000;

class EsclScanner : public ScannerTransport {
  public:
    EsclScanner(std::string url, StatusCallback report);
    ~EsclScanner() override;

    bool open(Callback callback) override;
    void close() override;
    bool isOpen() const override { return options_ != nullptr; }
    const std::string& name() const override { return url_; }

    const OptionList& loadOptions(bool reload, bool hideInactive) override;
    const OptionList& options() const override { return list_; }
    bool setNumber(NumberOption& option, double value) override;
    void setReloadEnabled(bool enabled) override;
    bool controlBool(Word action, Option& option, bool value) override;
    void controlNumbers(Word action, NumberOption& option) override;
    std::string controlString(Word action, Option& option, const std::string& text) override;

    const Parameters& parameters() const override { return parameters_; }
    // Worked out from the options, without a request: kept current after every change.
    void loadParameters() override;
    bool parametersValid() const override { return options_ != nullptr; }
    bool start() override;
    bool readData(void* buffer, std::size_t maxLength, std::size_t& length) override;
    FrameEnd frameEnded() const override { return end_; }
    Word failure() const override { return failure_; }
    bool littleEndianSamples() const override;
    void rowCompleted() override {}
    void setWaitHook(WaitHook hook) override;
    void cancel() override;

    // The job of the last start ("" when none is under way), for tests.
    const std::string& jobPath() const { return job_; }

  private:
    void react(Word info);
    HttpReply get(const std::string& path, std::size_t maxBody);
    // A request, tried again while the scanner answers 503; false when it stayed busy.
    bool untilNotBusy(const std::function<HttpReply()>& send, HttpReply& reply);
    bool waitFor(int ms);
    bool createJob();
    bool fetchPage();
    bool takeImage();
    // Why the scanner refused a page, from its status; `fallback` when it does not say.
    Word statusReason(Word fallback);
    void deleteJob();
    void finishJob();
    bool fail(Word status, const std::string& message = {});
    void reportHttp(const HttpReply& reply);
    std::size_t pageLimit() const;

    std::string url_;
    StatusCallback report_;
    std::optional<EsclAddress> address_;
    std::unique_ptr<HttpConnection> http_;
    std::unique_ptr<EsclOptions> options_;
    OptionList list_;
    Callback callback_;
    WaitHook waitHook_;
    bool reloadEnabled_ = true, reloadPending_ = false;
    Parameters parameters_;

    std::string job_;
    std::string jobSettings_;  // the ScanSettings the job was made with
    bool jobFeeder_ = false;
    int jobPages_ = 0;
    bool pageWhole_ = true;  // no page begun, or the last one read to its end
    std::vector<std::uint8_t> page_;
    std::unique_ptr<platform::RowDecoder> decoder_;
    std::vector<std::uint8_t> row_;
    std::vector<std::uint8_t> decoded_;  // a row as decoded, when it is made one-bit
    std::size_t rowOffset_ = 0, rowFill_ = 0;
    int rowsLeft_ = 0;
    bool invertBits_ = false;
    FrameEnd end_ = FrameEnd::whole;
    Word failure_ = SANE_STATUS_GOOD;
};

}  // namespace tarnwick
