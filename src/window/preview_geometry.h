// Sizes and conversions of the preview: placeholder, zoom, screen positions and units.
#pragma once

#include <string>

#include "session/regions.h"

namespace tarnwick {

struct PlaceholderSize {
    int width = 0, height = 0;
    double scale = 1.0;  // scan-area units per preview pixel
};

// The placeholder shown for a freshly opened device: 500 high for portrait areas, else 353 wide.
PlaceholderSize placeholderFor(const Region& scanArea);

// Units per preview pixel once a preview `width` pixels wide covers the scan area; never 0.
double previewScale(const Region& scanArea, int width);

enum class ZoomMode { WholePage, PageWidth, Percent };

// Screen pixels per preview pixel. `percent` is used for ZoomMode::Percent.
double zoomFactorFor(ZoomMode mode, double percent, int clientWidth, int clientHeight,
                     int bitmapWidth, int bitmapHeight);
// The lowest resolution in dots per inch at which a preview of a page of this size fills the
// client area at the zoom: the whole page fits it, the page width spans it, a percentage covers
// it. 0 when nothing is to fill.
double fillingResolution(ZoomMode mode, double percent, int clientWidth, int clientHeight,
                         double widthInches, double heightInches);
// The leading decimal number of a zoom text, as atol reads it ("25%" -> 25, "abc" -> 0).
long leadingNumber(const std::string& text);

int screenToUnits(int pixel, double scale, double zoomFactor);
int unitsToScreen(int units, double scale, double zoomFactor);

// A region's outline on the screen, normalised so that left <= right and top <= bottom.
Region regionOnScreen(const Region& region, double scale, double zoomFactor);

}  // namespace tarnwick
