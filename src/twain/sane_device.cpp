#include "twain/sane_device.h"

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
#include "options/device.h"
#include "options/number_option.h"
#include "options/source_entries.h"
#include "options/string_option.h"
#include "settings/properties_services.h"
#include "twain/data_source.h"
#include "twain/feeder_capabilities.h"

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

ScanRectangle rectangleOf(const ExactFrame& f) {
    return ScanRectangle{f.left, f.top, f.right, f.bottom};
}

ScanRectangle rectangleOf(const Region& r) {
    ScanRectangle rectangle;
    rectangle.left = r.x1;
    rectangle.top = r.y1;
    rectangle.right = r.x2;
    rectangle.bottom = r.y2;
    return rectangle;
}

}  // namespace

SaneDevice::SaneDevice(DataSource& owner, std::unique_ptr<PropertiesServices> services)
    : owner_(owner),
      window_(std::make_unique<ScanWindow>(static_cast<ScannerLink&>(*this), std::move(services))) {
}

SaneDevice::~SaneDevice() {
    hideWindow();
    releaseImage();
    looseImage_.reset();
    window_.reset();
}

bool SaneDevice::isDeviceOpen() const {
    return window_->device() != nullptr;
}

void SaneDevice::showWindow(bool uiOnly) {
    window_->show(uiOnly);
    // In a window on a screen the user chooses the area, starting from the application's frame.
    if (!uiOnly && window_->seen()) window_->batch().dropFrame();
}

void SaneDevice::hideWindow() {
    window_->hide();
}

bool SaneDevice::windowSeen() const {
    return window_->seen();
}

void SaneDevice::pressScan() {
    window_->pressScan();
}

bool SaneDevice::readyToScan() const {
    return owner_.state() == 5 && !owner_.uiOnly;
}

void SaneDevice::beginBatch() {
    window_->beginBatch();
}

ScanRectangle SaneDevice::nextScanRectangle() const {
    ScanBatch& batch = window_->batch();
    return batch.frame() ? rectangleOf(*batch.frame()) : rectangleOf(batch.next());
}

ScanRectangle SaneDevice::wholeScanArea() const {
    return rectangleOf(window_->batch().scanArea());
}

bool SaneDevice::setSingleRegion(const ScanRectangle& frame) {
    // The device clamps or refuses what it cannot scan; the frame is what it took.
    ExactFrame taken{frame.left, frame.top, frame.right, frame.bottom};
    const bool exact = window_->setScanArea(taken);
    window_->batch().setFrame(taken);
    return exact;
}

Image* SaneDevice::acquire(bool keepAsCurrent, bool cancelAtEnd) {
    Region area;
    const bool scanned = window_->scanNextImage(area);
    const FrameParameters parameters =
        scanned ? frameParameters(window_->device()->parameters()) : FrameParameters{};
    Bitmap& bitmap = window_->scanBitmap();
    const bool delivered = scanned && toDeliveredForm(bitmap, parameters);
    if (scanned && !delivered) window_->reportError(tr("Not enough memory for the scanned image"));
    if (!delivered) {
        window_->endImage(false, cancelAtEnd);
        return nullptr;
    }

    const std::optional<ExactFrame>& frame = window_->batch().frame();
    const ScanRectangle r = frame ? rectangleOf(*frame) : rectangleOf(area);
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

Image* SaneDevice::getImage() {
    if (!currentImage_ && pendingCount() != 0) acquire(true, true);
    return currentImage_.get();
}

void SaneDevice::releaseImage() {
    scannedAhead_ = false;
    currentImage_.reset();
}

TW_UINT16 SaneDevice::notify(TW_UINT16 message) {
    return owner_.notifyApplication(message);
}

TW_UINT16 SaneDevice::pixelType(TW_UINT16 msg, TW_CAPABILITY* capability) {
    return pixelTypeCapability(owner_, window_->roles(), msg, capability);
}

TW_UINT16 SaneDevice::bitDepth(TW_UINT16 msg, TW_CAPABILITY* capability) {
    return bitDepthCapability(owner_, window_->roles(), msg, capability);
}

TW_UINT16 SaneDevice::resolution(TW_UINT16 msg, TW_CAPABILITY* capability) {
    return resolutionCapability(owner_, window_->roles(), msg, capability);
}

TW_UINT16 SaneDevice::nativeResolution(TW_UINT16 msg, TW_CAPABILITY* capability) {
    return nativeResolutionCapability(owner_, window_->roles(), msg, capability);
}

bool SaneDevice::servesPixelFormat() const {
    return dynamic_cast<const StringOption*>(window_->roles().mode) != nullptr;
}

Option* SaneDevice::option(const char* name) const {
    Device* device = window_->device();
    return device ? device->findOption(name) : nullptr;
}

Option* SaneDevice::levelOption(TW_UINT16 cap) const {
    switch (cap) {
        case ICAP_BRIGHTNESS:
            return option("brightness");
        case ICAP_CONTRAST:
            return option("contrast");
        case ICAP_THRESHOLD:
            return option("threshold");
        case ICAP_GAMMA:
            return option("analog-gamma");
        default:
            return nullptr;
    }
}

bool SaneDevice::servesLevel(TW_UINT16 cap) const {
    return tarnwick::servesLevel(levelOption(cap));
}

TW_UINT16 SaneDevice::level(TW_UINT16 cap, TW_UINT16 msg, TW_CAPABILITY* capability) {
    return levelCapability(owner_, cap, levelOption(cap), msg, capability);
}

bool SaneDevice::servesFeeder(TW_UINT16 cap) const {
    return servesFeederCapability(option("source"), cap);
}

TW_UINT16 SaneDevice::feeder(TW_UINT16 cap, TW_UINT16 msg, TW_CAPABILITY* capability) {
    Option* source = option("source");
    const TW_UINT16 rc =
        feederCapability(owner_, source, option("page-loaded"), cap, msg, capability);
    // The feeder the application chose is used for whole batches.
    if ((msg == MSG_SET || msg == MSG_RESET) && rc != TWRC_FAILURE) {
        const SourceKind kind = sourceKind(source->valueText());
        window_->batch().setFeederChosen(kind == SourceKind::feeder || kind == SourceKind::duplex);
    }
    return rc;
}

TW_INT32 SaneDevice::pendingCount() const {
    const int pending = window_->batch().pending();
    return scannedAhead_ && pending >= 0 ? pending + 1 : pending;
}

void SaneDevice::setPendingCount(TW_INT32 count) {
    scannedAhead_ = false;
    window_->batch().setPending(count);
}

void SaneDevice::scanAhead() {
    if (!currentImage_ && window_->batch().feederBatch())
        scannedAhead_ = acquire(true, true) != nullptr;
}

int SaneDevice::scanResolution() {
    return resolutionOf(window_->roles().resolution);
}

TW_UINT16 SaneDevice::physicalSize(TW_UINT16 msg, TW_CAPABILITY* capability) {
    return physicalSizeCapability(owner_, window_->roles(), msg, capability);
}

}  // namespace tarnwick
