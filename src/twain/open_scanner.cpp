#include "twain/open_scanner.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <optional>
#include <string_view>

#include "base/text.h"
#include "base/whole_number.h"

#include "base/translate.h"
#include "options/number_option.h"
#include "options/scanner_transport.h"
#include "session/scan_session.h"
#include "settings/properties_services.h"
#include "twain/data_source.h"
#include "twain/scan_condition.h"

namespace tarnwick {

namespace {

constexpr int kDefaultResolution = 72;

// The resolution the device scanned with, in dots per inch; 72 when it cannot be read as an
// integer. A number option's own value is the device's: its control may show a neighbouring
// entry of its list.
int resolutionOf(Option* option) {
    if (!option) return kDefaultResolution;
    try {
        auto* number = dynamic_cast<NumberOption*>(option);
        // What the device answered since the options last changed needs no round trip.
        const std::optional<double> known = number ? number->knownValue() : std::nullopt;
        if (!known) option->refresh();
        if (number && number->values.size() == 1) {
            const double value = known ? *known : number->values[0];
            if (value != static_cast<int>(value) || value <= 0) return kDefaultResolution;
            return static_cast<int>(value);
        }
        const std::string text = option->valueText();
        std::string_view digits = text;
        digits.remove_prefix(std::min(digits.find_first_not_of(base::kSpaces), digits.size()));
        const std::optional<int> value = base::parseWhole<int>(digits, base::PlusSign::accepted);
        if (!value || *value <= 0 || *value > 1000000) return kDefaultResolution;
        return *value;
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return kDefaultResolution;
    }
}

}  // namespace

OpenScanner::OpenScanner(DataSource& owner, std::unique_ptr<PropertiesServices> services)
    : owner_(owner),
      window_(std::make_unique<ScanWindow>(static_cast<ScannerLink&>(*this), std::move(services))) {
}

OpenScanner::~OpenScanner() {
    hideWindow();
    releaseImage();
    looseImage_.reset();
    window_.reset();
}

bool OpenScanner::isDeviceOpen() const {
    return window_->scanner() != nullptr;
}

void OpenScanner::showWindow(bool uiOnly) {
    window_->show(uiOnly);
    // In a window on a screen the user chooses the area, starting from the application's frame.
    if (!uiOnly && window_->seen()) window_->batch().dropFrame();
}

void OpenScanner::hideWindow() {
    window_->hide();
}

bool OpenScanner::windowSeen() const {
    return window_->seen();
}

void OpenScanner::pressScan() {
    window_->pressScan();
}

bool OpenScanner::readyToScan() const {
    return owner_.state() == 5 && !owner_.uiOnly;
}

void OpenScanner::beginBatch() {
    window_->beginBatch();
}

ScanRectangle OpenScanner::nextScanRectangle() const {
    ScanBatch& batch = window_->batch();
    return batch.frame() ? *batch.frame() : rectangleOf(batch.next());
}

ScanRectangle OpenScanner::wholeScanArea() const {
    return rectangleOf(window_->batch().scanArea());
}

bool OpenScanner::setSingleRegion(const ScanRectangle& frame) {
    // The device clamps or refuses what it cannot scan; the frame is what it took.
    ScanRectangle taken = frame;
    const bool exact = window_->setScanArea(taken);
    window_->batch().setFrame(taken);
    return exact;
}

Image* OpenScanner::acquire(bool keepAsCurrent, bool cancelAtEnd) {
    Region area;
    const bool scanned = window_->scanNextImage(area);
    const FrameParameters parameters =
        scanned ? frameParameters(window_->scanner()->parameters()) : FrameParameters{};
    Bitmap& bitmap = window_->scanBitmap();
    const bool delivered = scanned && toDeliveredForm(bitmap, parameters);
    if (scanned && !delivered) {
        window_->reportError(tr("Not enough memory for the scanned image"));
        window_->session().setFailure(SANE_STATUS_NO_MEM);
    }
    if (!delivered) {
        window_->endImage(false, cancelAtEnd);
        return nullptr;
    }

    const std::optional<ScanRectangle>& frame = window_->batch().frame();
    const ScanRectangle r = frame ? *frame : rectangleOf(area);
    auto image = std::make_unique<Image>();
    image->bitmap = &bitmap;
    image->xResolution = image->yResolution = resolutionOf(window_->roles().resolution);
    image->parameters = parameters;
    image->unit = kUnitMillimetre;
    image->top = r.top;
    image->left = r.left;
    image->bottom = r.bottom;
    image->right = r.right;
    Image* result = image.get();
    if (keepAsCurrent)
        currentImage_ = std::move(image);
    else
        looseImage_ = std::move(image);

    window_->endImage(true, cancelAtEnd);
    return result;
}

Word OpenScanner::scanFailure() const {
    return window_->session().failure();
}

Image* OpenScanner::getImage() {
    // The failure of the page scanned ahead is this transfer's answer.
    if (failedAhead_) {
        failedAhead_ = false;
        return nullptr;
    }
    if (!currentImage_ && pendingCount() != 0) acquire(true, true);
    return currentImage_.get();
}

void OpenScanner::releaseImage() {
    scannedAhead_ = failedAhead_ = false;
    currentImage_.reset();
}

TW_UINT16 OpenScanner::notify(TW_UINT16 message) {
    return owner_.notifyApplication(message);
}

TW_INT32 OpenScanner::pendingCount() const {
    const int pending = window_->batch().pending();
    if (failedAhead_) return 1;
    return scannedAhead_ && pending >= 0 ? pending + 1 : pending;
}

void OpenScanner::setPendingCount(TW_INT32 count) {
    scannedAhead_ = failedAhead_ = false;
    window_->batch().setPending(count);
}

void OpenScanner::scanAhead() {
    if (!currentImage_ && window_->batch().feederBatch()) {
        scannedAhead_ = acquire(true, true) != nullptr;
        failedAhead_ = !scannedAhead_ && !endsBatchQuietly(scanFailure());
    }
}

int OpenScanner::scanResolution() {
    return resolutionOf(window_->roles().resolution);
}

}  // namespace tarnwick
