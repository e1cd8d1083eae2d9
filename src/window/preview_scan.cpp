// The preview scan of the whole scan area, and the scan area written to the geometry options.
#include <algorithm>
#include <cmath>

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

// The lowest value the option allows that is at least `wanted`; its largest below that.
double allowedAtLeast(const NumberOption& option, double wanted) {
    double low = 0, high = 0;
    option.getBounds(low, high);
    if (option.constraintKind == numberWordList) {
        double best = high;
        for (double entry : option.wordList)
            if (entry >= wanted && entry < best) best = entry;
        return best;
    }
    double value = std::clamp(wanted, low, high);
    if (option.quant > 0)
        value = std::min(low + std::ceil((value - low) / option.quant) * option.quant, high);
    return value;
}

constexpr double kMillimetresPerInch = 25.4;

}  // namespace

double TFPreview::previewDpi(const NumberOption& resolution) const {
    double low = 0, high = 0;
    resolution.getBounds(low, high);
    if (low == kNoLowerBound) return previewResolution;
    double fill = 0;
    // Only millimetres tell the page's size; pixels fill the same at every resolution.
    if (tlxOption && tlxOption->unit == SANE_UNIT_MM) {
        double percent = 0;
        const ZoomMode mode = zoomMode(percent);
        const ui::Rect client = ImageScrollBox.clientRect();
        fill = fillingResolution(mode, percent, client.width(), client.height(),
                                 (scanArea.x2 - scanArea.x1) / kMillimetresPerInch,
                                 (scanArea.y2 - scanArea.y1) / kMillimetresPerInch);
    }
    const double wanted = allowedAtLeast(resolution, fill);
    return previewResolution > 0 && wanted > previewResolution ? previewResolution : wanted;
}

Region TFPreview::largestArea() const {
    return {edgeOf(tlxOption, true), edgeOf(tlyOption, true), edgeOf(brxOption, false),
            edgeOf(bryOption, false)};
}

Region TFPreview::optionsArea() const {
    Region area = scanArea;
    const std::pair<NumberOption*, int*> edges[] = {
        {tlxOption, &area.x1}, {tlyOption, &area.y1}, {brxOption, &area.x2}, {bryOption, &area.y2}};
    for (auto [option, edge] : edges)
        if (option && !option->values.empty()) *edge = truncated(option->values.front());
    return area;
}

bool TFPreview::setScanArea(double x1, double y1, double x2, double y2) {
    const base::ScopedValue own(adjustingOptions, true);
    const std::pair<NumberOption*, double> edges[] = {
        {tlxOption, x1}, {brxOption, x2}, {bryOption, y2}, {tlyOption, y1}};
    bool exact = true;
    for (auto [option, value] : edges)
        // A fatal report on the way closes the device.
        if (option && device && !device->setNumber(*option, value)) exact = false;
    if (device) optionArea = optionsArea();
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
        if (changeResolution && device)
            if (const double dpi = previewDpi(*resolution); dpi > 0)
                device->setNumber(*resolution, dpi);
    }
    const Region area = largestArea();
    setScanArea(area.x1, area.y1, area.x2, area.y2);

    scanInto(previewBitmap);
    const std::string outcome = StatusBar.text();

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
    updateOptions(outcome);
}

}  // namespace tarnwick
