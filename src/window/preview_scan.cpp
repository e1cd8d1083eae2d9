// The preview scan of the whole scan area, and the scan area written to the geometry options.
#include "base/debug_log.h"
#include "base/scoped_value.h"
#include "base/translate.h"
#include "options/device.h"
#include "options/number_option.h"
#include "settings/properties.h"
#include "window/preview_form.h"
#include "window/preview_geometry.h"
#include "window/scan_policy.h"
#include "window/truncation.h"

namespace tarnwick {

namespace {

// The lowest or highest value the option allows; its current value when it has no bound.
int edgeOf(const NumberOption* option, bool lowest) {
    if (!option) return 0;
    double low = 0, high = 0;
    option->getBounds(low, high);
    const double bound = lowest ? low : high;
    if (bound == kNoLowerBound || bound == kNoUpperBound)
        return option->values.empty() ? 0 : truncated(option->values.front());
    return truncated(bound);
}

}  // namespace

bool TFPreview::setScanArea(double x1, double y1, double x2, double y2) {
    const base::ScopedValue own(adjustingOptions, true);
    const std::pair<NumberOption*, double> edges[] = {
        {tlxOption, x1}, {brxOption, x2}, {bryOption, y2}, {tlyOption, y1}};
    bool exact = true;
    for (auto [option, value] : edges)
        // A fatal report on the way closes the device.
        if (option && device && !device->setNumber(*option, value)) exact = false;
    return exact;
}

void TFPreview::BPreviewClick() {
    if (readingImage) return;
    debugLog(tr("Starting preview scan\n"));
    auto* resolution = dynamic_cast<NumberOption*>(resolutionOption);
    const bool changeResolution =
        device && resolution && resolution->isActive() && !resolution->values.empty();
    const double previousResolution = changeResolution ? resolution->values.front() : 0;
    {
        const base::ScopedValue own(adjustingOptions, true);
        if (device && previewOption) {
            debugLog(tr("\tsetting preview option\n"));
            device->controlBool(SANE_ACTION_SET_VALUE, *previewOption, true);
        }
        if (changeResolution && device) {
            double low = 0, high = 0;
            resolution->getBounds(low, high);
            if (previewResolution > 0)
                device->setNumber(*resolution, previewResolution);
            else if (low != kNoLowerBound)
                device->setNumber(*resolution, low);
        }
    }
    Region area;
    area.y1 = edgeOf(tlyOption, true);
    area.x1 = edgeOf(tlxOption, true);
    area.x2 = edgeOf(brxOption, false);
    area.y2 = edgeOf(bryOption, false);
    setScanArea(area.x1, area.y1, area.x2, area.y2);

    scanInto(previewBitmap);

    bool ejecting = false;
    if (device && isAdfScan() && forcePreviewEject) {
        // Feeds the previewed sheet out; the cancel below ends this start.
        setScanArea(area.x1, area.y1, area.x2, area.y2);
        if (device) device->start();
        ejecting = true;
    }
    if (device && ((cancelType & cancelAfterBatch) || ejecting)) device->cancel();
    // A fatal report or another device chosen during the read took the option away.
    if (changeResolution && device && resolution == resolutionOption && resolution->isActive()) {
        const base::ScopedValue own(adjustingOptions, true);
        device->setNumber(*resolution, previousResolution);
    }

    scale = previewScale(scanArea, previewBitmap.width());
    ZoomChange();
    if (FProperties->FindFit.checked()) SetSize(tr(kFindFitName));
    updateOptions();
}

}  // namespace tarnwick
