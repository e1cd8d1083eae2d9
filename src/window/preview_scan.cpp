// The preview scan of the whole scan area, at the resolution that fills the preview.
#include <algorithm>
#include <cmath>

#include "base/debug_log.h"
#include "base/scoped_value.h"
#include "base/translate.h"
#include "options/number_option.h"
#include "window/preview_form.h"
#include "window/preview_geometry.h"

namespace tarnwick {

namespace {

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
    const int previewResolution =
        settings().previewAtMinimum ? 0 : std::max(settings().previewResolution, 0);
    if (low == kNoLowerBound) return previewResolution;
    double fill = 0;
    const Region& scanArea = session_.scanArea();
    // Only millimetres tell the page's size; pixels fill the same at every resolution.
    if (roles().tlx && roles().tlx->unit == SANE_UNIT_MM) {
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

void TFPreview::BPreviewClick() {
    if (session_.reading()) return;
    debugLog(tr("Starting preview scan\n"));
    auto* resolution = dynamic_cast<NumberOption*>(roles().resolution);
    const bool changeResolution =
        device() && resolution && resolution->isActive() && !resolution->values.empty();
    const double previousResolution = changeResolution ? resolution->values.front() : 0;
    {
        const base::ScopedValue own(session_.adjustingOptions, true);
        if (device() && roles().preview) {
            debugLog(tr("\tsetting preview option\n"));
            device()->controlBool(SANE_ACTION_SET_VALUE, *roles().preview, true);
        }
        if (changeResolution && device())
            if (const double dpi = previewDpi(*resolution); dpi > 0)
                device()->setNumber(*resolution, dpi);
    }
    const Region area = session_.largestArea();
    const ScanRectangle whole = rectangleOf(area);
    session_.setScanArea(whole);

    session_.scanInto(previewBitmap);
    const std::string outcome = StatusBar.text();

    bool ejecting = false;
    if (device() && session_.feederInUse() && settings().forcePreviewEject) {
        // Feeds the previewed sheet out; the cancel below ends this start.
        session_.setScanArea(whole);
        if (device()) device()->start();
        ejecting = true;
    }
    if (ejecting && device())
        device()->cancel();
    else
        session_.cancelAfterBatch();
    // A fatal report or another device chosen during the read took the option away.
    if (changeResolution && device() && resolution == roles().resolution &&
        resolution->isActive()) {
        const base::ScopedValue own(session_.adjustingOptions, true);
        device()->setNumber(*resolution, previousResolution);
    }

    scale = tarnwick::previewScale(session_.scanArea(), previewBitmap.width());
    ZoomChange();
    if (settings().findFit) SetSize(tr(kFindFitName));
    updateOptions(outcome);
}

}  // namespace tarnwick
