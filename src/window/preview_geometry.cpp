#include "window/preview_geometry.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "session/truncation.h"

namespace tarnwick {

PlaceholderSize placeholderFor(const Region& area) {
    const double w = area.x2 - area.x1, h = area.y2 - area.y1;
    PlaceholderSize p;
    if (w == 0 || h == 0) {
        p.width = 353;
        p.height = 500;
        return p;
    }
    if (w / h < 1.0) {
        p.height = 500;
        p.width = truncated(500 * w / h);
    } else {
        p.width = 353;
        p.height = truncated(353 * h / w);
    }
    p.scale = previewScale(area, p.width);
    return p;
}

double previewScale(const Region& area, int width) {
    if (width == 0) return 1.0;
    const double scale = static_cast<double>(area.x2 - area.x1) / width;
    return scale == 0 ? 1.0 : scale;
}

double zoomFactorFor(ZoomMode mode, double percent, int clientWidth, int clientHeight,
                     int bitmapWidth, int bitmapHeight) {
    if (bitmapWidth <= 0 || bitmapHeight <= 0) return 1.0;
    switch (mode) {
        case ZoomMode::WholePage:
            return std::min(static_cast<double>(clientWidth) / bitmapWidth,
                            static_cast<double>(clientHeight) / bitmapHeight);
        case ZoomMode::PageWidth:
            return static_cast<double>(clientWidth - 20) / bitmapWidth;
        case ZoomMode::Percent:
            return percent * 0.01;
    }
    return 1.0;
}

double fillingResolution(ZoomMode mode, double percent, int clientWidth, int clientHeight,
                         double widthInches, double heightInches) {
    if (widthInches <= 0 || heightInches <= 0 || clientWidth <= 0 || clientHeight <= 0) return 0;
    const double across = clientWidth / widthInches, down = clientHeight / heightInches;
    switch (mode) {
        case ZoomMode::WholePage:
            return std::min(across, down);
        case ZoomMode::PageWidth:
            // As the zoom, which leaves room for the scroll bar.
            return std::max(clientWidth - 20, 0) / widthInches;
        case ZoomMode::Percent:
            return percent > 0 ? std::max(across, down) * 100 / percent : 0;
    }
    return 0;
}

long leadingNumber(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long value = 0;
    // Bounded so that a long digit string cannot overflow.
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = std::min(value * 10 + (text[i] - '0'), 1000000000L);
    return negative ? -value : value;
}

int screenToUnits(int pixel, double scale, double zoomFactor) {
    return zoomFactor == 0 ? 0 : truncated(pixel * scale / zoomFactor);
}

int unitsToScreen(int units, double scale, double zoomFactor) {
    return truncated(units * zoomFactor / (scale == 0 ? 1.0 : scale));
}

Region regionOnScreen(const Region& g, double scale, double zoomFactor) {
    const double r = zoomFactor / (scale == 0 ? 1.0 : scale);
    int left = truncated(g.x1 * r), top = truncated(g.y1 * r);
    int right = truncated(g.x2 * r), bottom = truncated(g.y2 * r);
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    return {left, top, right, bottom};
}

}  // namespace tarnwick
