#include "session/scan_session.h"

#include <utility>

#include "base/debug_log.h"
#include "base/scoped_value.h"
#include "base/translate.h"
#include "discovery/scanner_url.h"
#include "escl/escl_scanner.h"
#include "options/device.h"
#include "options/number_option.h"
#include "sane/connection.h"
#include "session/scan_policy.h"
#include "session/truncation.h"

namespace tarnwick {

namespace {

// The lowest or highest value the option allows; its current value when it has no bound.
int edgeOf(NumberOption* option, bool lowest) {
    if (!option) return 0;
    double low = 0, high = 0;
    option->getBounds(low, high);
    const double bound = lowest ? low : high;
    if (bound == kNoLowerBound || bound == kNoUpperBound) {
        option->refreshIfStale();
        return option->values.empty() ? 0 : truncated(option->values.front());
    }
    return truncated(bound);
}

}  // namespace

ConnectionCancelled::ConnectionCancelled() : std::runtime_error(tr("Connection cancelled")) {}

ScanSession::ScanSession(ScanSettings settings) : settings_(std::move(settings)) {}

ScanSession::~ScanSession() {
    destroying_ = true;
    closeScanner();
    if (connection_) connection_->disconnect(true);
    connection_.reset();
    freeRetired();
}

bool ScanSession::connect(const std::string& host, const std::string& user, int port) {
    freeRetired();
    if (connection_) return true;
    connection_ = std::make_unique<Connection>(
        host, user, port, [this](const std::string& message, bool showError, bool fatal) {
            report(message, showError, fatal);
        });
    if (connection_->connect(true)) return true;
    connection_.reset();
    return false;
}

std::vector<DeviceRecord> ScanSession::devices() {
    if (!connection_) return {};
    return connection_->getDevices();
}

void ScanSession::closeScanner() {
    if (scanner_) scanner_->close();
    scanner_.reset();
    roles_ = OptionRoles{};
    scanArea_ = Region{};
}

bool ScanSession::openScanner(const std::string& name) {
    freeRetired();
    closeScanner();
    if (isEsclUrl(name))
        scanner_ = std::make_unique<EsclScanner>(
            name, [this](const std::string& message, bool showError, bool fatal) {
                report(message, showError, fatal);
            });
    else if (connection_)
        scanner_ = std::make_unique<Device>(*connection_, Connection::deviceNamed(name));
    else
        return false;
    // Open already: the parameters it loads reach the observer.
    if (!scanner_->open([this](int event) {
            if (observer_ && scanner_) observer_->scannerEvent(event);
        })) {
        scanner_.reset();
        return false;
    }
    roles_ = findOptionRoles(scanner_->loadOptions(false, settings_.hideInactive));
    // The edges' values are read when first needed (a window showing its regions, a frame
    // asked for): a scan sets them anyway.
    scanArea_ = largestArea();
    return scanner_ != nullptr;
}

void ScanSession::takeAreaFromOptions() {
    scanArea_ = largestArea();
    optionArea = optionsArea();
}

void ScanSession::report(const std::string& message, bool showError, bool fatal) {
    if (destroying_) return;
    ++reports_;
    if (message != "0") debugLog(tr("Message logged: %s\n"), message.c_str());
    if (observer_) observer_->status(message, showError, fatal);
    // Closing after a fatal report talks to the daemon again, which may report once more.
    if (!fatal || closingAfterFatal_) return;
    const base::ScopedValue closing(closingAfterFatal_, true);
    if (scanner_) {
        scanner_->cancel();
        scanner_->close();
        retiredScanners_.push_back(std::move(scanner_));
        roles_ = OptionRoles{};
    }
    if (connection_) {
        connection_->disconnect(true);
        retiredConnections_.push_back(std::move(connection_));
    }
    direct_ = false;
    throw ConnectionCancelled();
}

void ScanSession::freeRetired() {
    // A scanner needs its connection to the end.
    retiredScanners_.clear();
    retiredConnections_.clear();
}

Region ScanSession::largestArea() const {
    return {edgeOf(roles_.tlx, true), edgeOf(roles_.tly, true), edgeOf(roles_.brx, false),
            edgeOf(roles_.bry, false)};
}

Region ScanSession::optionsArea() const {
    Region area = scanArea_;
    const std::pair<NumberOption*, int*> edges[] = {{roles_.tlx, &area.x1},
                                                    {roles_.tly, &area.y1},
                                                    {roles_.brx, &area.x2},
                                                    {roles_.bry, &area.y2}};
    for (auto [option, edge] : edges) {
        if (option) option->refreshIfStale();
        if (option && !option->values.empty()) *edge = truncated(option->values.front());
    }
    return area;
}

bool ScanSession::setScanArea(const ScanRectangle& area) {
    const base::ScopedValue own(adjustingOptions, true);
    const std::pair<NumberOption*, double> edges[] = {{roles_.tlx, area.left},
                                                      {roles_.brx, area.right},
                                                      {roles_.bry, area.bottom},
                                                      {roles_.tly, area.top}};
    bool exact = true;
    for (auto [option, value] : edges)
        // A fatal report on the way closes the scanner and its options.
        if (option && scanner_ && !scanner_->setNumber(*option, value)) exact = false;
    if (scanner_) optionArea = optionsArea();
    return exact;
}

ScanRectangle ScanSession::areaTaken(const ScanRectangle& asked) const {
    ScanRectangle taken = asked;
    const std::pair<NumberOption*, double*> edges[] = {{roles_.tlx, &taken.left},
                                                       {roles_.tly, &taken.top},
                                                       {roles_.brx, &taken.right},
                                                       {roles_.bry, &taken.bottom}};
    for (auto [option, edge] : edges) {
        if (scanner_ && option) option->refreshIfStale();
        if (scanner_ && option && !option->values.empty()) *edge = option->values.front();
    }
    return taken;
}

bool ScanSession::feederInUse() {
    Option* feeder = roles_.feeder;
    if (!scanner_ || !feeder || (settings_.feederSinglePage && !batch.feederChosen())) return false;
    const std::string value = feeder->valueText();
    const bool inUse =
        feederSelected(feeder->valueType() == SANE_TYPE_BOOL, roles_.feederInverted, value);
    if (inUse && regions.regionCount > 1) {
        regions.regionCount = 1;
        regions.regionIndex = 0;
        if (regions.defaultRegion > 0) regions.defaultRegion = -1;
        if (observer_) observer_->regionsCutForFeeder();
    }
    debugLog(tr("ADF scanning: NumRegions='%d', scanLoop='%s' (value was '%s')\n"),
             regions.regionCount, inUse ? "true" : "false", value.c_str());
    return inUse;
}

bool ScanSession::beginBatch(const std::function<int()>& askPages) {
    return batch.begin([&] {
        const int pages = settings_.feederPages;
        if (pages != 0 || !askPages) return pages > 0 ? pages : -1;
        return askPages();
    });
}

void ScanSession::cancelScanner(bool logged) {
    if (!scanner_) return;
    if (logged) debugLog(tr("\tcancelling the scan\n"));
    scanner_->cancel();
}

void ScanSession::cancelAfterBatch(bool logged) {
    if (settings_.cancelType & tarnwick::cancelAfterBatch) cancelScanner(logged);
}

void ScanSession::endImage(bool delivered, bool cancelAtEnd) {
    bool last = true;
    if (delivered)
        last = batch.counted();
    else
        batch.fail();
    if (last && cancelAtEnd) cancelAfterBatch();
}

}  // namespace tarnwick
