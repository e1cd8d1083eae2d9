#include "twain/sane_device.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <exception>

#include "options/device.h"
#include "options/number_option.h"
#include "settings/properties_services.h"
#include "settings/translate.h"
#include "twain/data_source.h"
#include "window/preview_form.h"

namespace tarnwick {

namespace {

constexpr int kDefaultResolution = 72;

// The resolution the device scanned with, in dots per inch; 72 when it cannot be read as an
// integer. A number option's own value is the device's: its control may show a neighbouring
// entry of its list.
int resolutionOf(Option* option) {
    if (!option) return kDefaultResolution;
    try {
        option->refresh();
        auto* number = dynamic_cast<NumberOption*>(option);
        if (number && number->values.size() == 1) {
            const double value = number->values[0];
            if (value != static_cast<int>(value) || value <= 0) return kDefaultResolution;
            return static_cast<int>(value);
        }
        const std::string text = option->valueText();
        const char* begin = text.c_str();
        while (std::isspace(static_cast<unsigned char>(*begin))) ++begin;
        char* end = nullptr;
        errno = 0;
        const long value = std::strtol(begin, &end, 10);
        if (end == begin || *end != '\0' || errno == ERANGE || value <= 0 || value > 1000000)
            return kDefaultResolution;
        return static_cast<int>(value);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception&) {
        return kDefaultResolution;
    }
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
    : owner_(owner) {
    // Every opening connects: the application may open the source again without the library
    // being unloaded in between, and that source must find its device as the first one did.
    TFPreview::firstActivation = true;
    window_ = std::make_unique<TFPreview>(std::move(services));
    window_->FormActivate();
    window_->saneDevice = this;
    pendingCount_ = -1;
}

SaneDevice::~SaneDevice() {
    hideWindow();
    releaseImage();
    looseImage_.reset();
    window_->saneDevice = nullptr;
    window_.reset();
}

bool SaneDevice::isDeviceOpen() const {
    return window_->device != nullptr;
}

void SaneDevice::showWindow(bool uiOnly) {
    // In the window the user chooses the area, starting from the application's frame.
    if (!uiOnly && windowSeen()) frame_.reset();
    const bool scanEnabled = window_->BScan.enabled();
    const bool printEnabled = window_->BPrint.enabled();
    if (uiOnly) {
        window_->BScan.setEnabled(false);
        window_->BPrint.setEnabled(false);
    }
    window_->show();
    if (uiOnly) {
        window_->BScan.setEnabled(scanEnabled);
        window_->BPrint.setEnabled(printEnabled);
    }
}

void SaneDevice::hideWindow() {
    window_->hide();
}

bool SaneDevice::windowSeen() const {
    // The toolkit gives a form a native peer only where it is put on a screen.
    return window_->peer() != nullptr;
}

void SaneDevice::pressScan() {
    window_->BScanClick();
}

bool SaneDevice::readyToScan() const {
    return owner_.state == 5 && !owner_.uiOnly;
}

void SaneDevice::beginBatch() {
    if (window_->isAdfScan())
        pendingCount_ = window_->scanNPages > 0 ? window_->scanNPages : -1;
    else
        pendingCount_ = window_->regions.regionCount > 0 ? window_->regions.regionCount : 1;
    window_->regions.regionIndex = -1;
}

int SaneDevice::nextRegion() const {
    const Regions& regions = window_->regions;
    if (regions.regionCount <= 0) return -1;
    if (window_->isAdfScan()) return 0;
    // A series that runs past the last region starts again with the first.
    const int index = regions.regionIndex;
    return index < 0 || index >= regions.regionCount ? 0 : index;
}

ScanRectangle SaneDevice::nextScanRectangle() const {
    if (frame_) return *frame_;
    const int index = nextRegion();
    if (index < 0) return rectangleOf(window_->scanArea);
    return rectangleOf(window_->regions.regions[static_cast<std::size_t>(index)]);
}

ScanRectangle SaneDevice::wholeScanArea() const {
    return rectangleOf(window_->scanArea);
}

void SaneDevice::setSingleRegion(const ScanRectangle& region) {
    frame_ = region;
    // The window shows it in whole millimetres.
    Regions& regions = window_->regions;
    regions.regionCount = 1;
    regions.regionIndex = 0;
    regions.regions[0] = Region{
        static_cast<int>(std::lround(region.left)), static_cast<int>(std::lround(region.top)),
        static_cast<int>(std::lround(region.right)), static_cast<int>(std::lround(region.bottom))};
}

void SaneDevice::cancelDevice() {
    if (window_->device) window_->device->cancel();
}

Image* SaneDevice::acquire(bool keepAsCurrent, bool cancelAtEnd) {
    const bool cancelAfterBatch = (window_->cancelType & 2) != 0;
    const int region = nextRegion();
    const ScanRectangle r = nextScanRectangle();
    // Consecutive scans walk through the regions; a feeder takes the first for every page.
    if (region >= 0 && !window_->isAdfScan()) window_->regions.regionIndex = region + 1;
    bool scanned = false;
    try {
        window_->setScanArea(r.left, r.top, r.right, r.bottom);
        scanned = window_->scanInto(window_->scanBitmap) && window_->device;
    } catch (const std::exception&) {
        // A fatal report closed the connection (its text is on the status line), or memory
        // ran out: the scan gave no image.
    }
    const FrameParameters parameters =
        scanned ? frameParameters(window_->device->parameters()) : FrameParameters{};
    if (scanned && window_->regions.regionCount == 0) {
        window_->previewBitmap = window_->scanBitmap;
        window_->ZoomChange();
    }
    const bool delivered = scanned && toDeliveredForm(window_->scanBitmap, parameters);
    if (scanned && !delivered)
        window_->reportStatus(tr("Not enough memory for the scanned image"), true, false);
    if (!delivered) {
        if (cancelAtEnd && cancelAfterBatch) cancelDevice();
        pendingCount_ = 0;
        return nullptr;
    }

    auto image = std::make_unique<Image>();
    image->bitmap = &window_->scanBitmap;
    image->xResolution = image->yResolution = resolutionOf(window_->resolutionOption);
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

    if (pendingCount_ >= 0) --pendingCount_;
    if (cancelAtEnd && pendingCount_ == 0 && cancelAfterBatch) cancelDevice();
    return result;
}

Image* SaneDevice::getImage() {
    if (!currentImage_ && pendingCount_ != 0) acquire(true, true);
    return currentImage_.get();
}

void SaneDevice::releaseImage() {
    currentImage_.reset();
}

TW_UINT16 SaneDevice::notify(TW_UINT16 message) {
    return owner_.notifyApplication(message);
}

OptionRoles SaneDevice::roles() const {
    OptionRoles r;
    r.mode = window_->modeOption;
    r.depth = window_->depthOption;
    r.resolution = window_->resolutionOption;
    r.tlx = window_->tlxOption;
    r.tly = window_->tlyOption;
    r.brx = window_->brxOption;
    r.bry = window_->bryOption;
    if (window_->device) {
        r.brightness = window_->device->findOption("brightness");
        r.contrast = window_->device->findOption("contrast");
    }
    return r;
}

TW_UINT16 SaneDevice::pixelType(TW_UINT16 msg, TW_CAPABILITY* capability) {
    return pixelTypeCapability(owner_, roles(), msg, capability);
}

TW_UINT16 SaneDevice::bitDepth(TW_UINT16 msg, TW_CAPABILITY* capability) {
    return bitDepthCapability(owner_, roles(), msg, capability);
}

TW_UINT16 SaneDevice::resolution(TW_UINT16 msg, TW_CAPABILITY* capability) {
    return resolutionCapability(owner_, roles(), msg, capability);
}

TW_UINT16 SaneDevice::nativeResolution(TW_UINT16 msg, TW_CAPABILITY* capability) {
    return nativeResolutionCapability(owner_, roles(), msg, capability);
}

bool SaneDevice::servesLevel(TW_UINT16 cap) const {
    const OptionRoles r = roles();
    return tarnwick::servesLevel(cap == ICAP_BRIGHTNESS ? r.brightness : r.contrast);
}

TW_UINT16 SaneDevice::level(TW_UINT16 cap, TW_UINT16 msg, TW_CAPABILITY* capability) {
    const OptionRoles r = roles();
    return levelCapability(owner_, cap == ICAP_BRIGHTNESS ? r.brightness : r.contrast, msg,
                           capability);
}

TW_UINT16 SaneDevice::physicalSize(TW_UINT16 msg, TW_CAPABILITY* capability) {
    return physicalSizeCapability(owner_, roles(), msg, capability);
}

}  // namespace tarnwick
