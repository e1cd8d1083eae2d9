#include "session/regions.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "base/translate.h"
#include "session/truncation.h"

namespace tarnwick {

namespace {

struct Preset {
    const char* name;
    int width, height;
};

constexpr std::array<Preset, 10> kPresets{{
    {N_("A4"), 210, 297},
    {N_("A5 portrait"), 148, 210},
    {N_("A5 landscape"), 210, 148},
    {N_("A6 portrait"), 105, 148},
    {N_("A6 landscape"), 148, 105},
    {N_("Letter"), 215, 279},
    {N_("Legal"), 215, 355},
    {N_("CD cover"), 120, 120},
    {N_("10x15mm"), 100, 150},
    {N_("15x10mm"), 150, 100},
}};

}  // namespace

const std::array<const char*, 10>& sizePresetNames() {
    static const std::array<const char*, 10> names = [] {
        std::array<const char*, 10> n{};
        for (std::size_t i = 0; i < kPresets.size(); ++i) n[i] = kPresets[i].name;
        return n;
    }();
    return names;
}

bool Regions::pressLeft(int x, int y, double r, RegionCursor cursor) {
    if (cursor != RegionCursor::Arrow && regionIndex >= 0 && regionIndex < regionCount) {
        const Region& g = regions[static_cast<std::size_t>(regionIndex)];
        grabLeft = std::fabs(x - g.x1 * r) < 10;
        grabTop = std::fabs(y - g.y1 * r) < 10;
        resizing = true;
    } else if (regionCount < std::min(maxRegions, kSlots)) {
        const int ux = truncated(x / r), uy = truncated(y / r);
        regions[static_cast<std::size_t>(regionCount)] = {ux, uy, ux, uy};
        regionIndex = regionCount++;
        creating = true;
    } else {
        return false;
    }
    timerOn = false;
    return true;
}

void Regions::dragTo(int x, int y, double r, RegionCursor cursor) {
    if ((!creating && !resizing) || regionIndex < 0 || regionIndex >= regionCount) return;
    Region& g = regions[static_cast<std::size_t>(regionIndex)];
    const int ux = truncated(x / r), uy = truncated(y / r);
    if (creating) {
        g.x2 = ux;
        g.y2 = uy;
        return;
    }
    const bool diagonal =
        cursor == RegionCursor::FallingDiagonal || cursor == RegionCursor::RisingDiagonal;
    if (cursor == RegionCursor::Vertical || diagonal) (grabTop ? g.y1 : g.y2) = uy;
    if (cursor == RegionCursor::Horizontal || diagonal) (grabLeft ? g.x1 : g.x2) = ux;
}

RegionCursor Regions::hover(int x, int y, double scale, double zoomFactor, bool& edgeHit,
                            int reach) {
    edgeHit = false;
    regionIndex = -1;
    const int ux = truncated(x * scale / zoomFactor), uy = truncated(y * scale / zoomFactor);
    for (int i = 0; i < regionCount; ++i) {
        const Region& g = regions[static_cast<std::size_t>(i)];
        const bool nearTop = g.y1 - reach < uy && uy < g.y1 + reach;
        const bool nearBottom = g.y2 - reach < uy && uy < g.y2 + reach;
        const bool withinY = g.y1 <= uy && uy <= g.y2;
        const bool nearLeft = g.x1 - reach < ux && ux < g.x1 + reach;
        const bool nearRight = g.x2 - reach < ux && ux < g.x2 + reach;
        const bool withinX = g.x1 <= ux && ux <= g.x2;
        if (nearTop || nearBottom || nearLeft || nearRight) {
            regionIndex = i;
            edgeHit = true;
            if ((nearLeft && nearTop) || (nearRight && nearBottom))
                return RegionCursor::FallingDiagonal;
            if ((nearRight && nearTop) || (nearLeft && nearBottom))
                return RegionCursor::RisingDiagonal;
            if ((nearLeft || nearRight) && withinY) return RegionCursor::Horizontal;
            if ((nearTop || nearBottom) && withinX) return RegionCursor::Vertical;
            return RegionCursor::Arrow;
        }
        if (withinX && withinY) regionIndex = i;
    }
    return RegionCursor::Arrow;
}

void Regions::releaseLeft() {
    if (!creating && !resizing) return;
    creating = resizing = false;
    timerOn = true;
    if (regionIndex < 0 || regionIndex >= regionCount) return;
    Region& g = regions[static_cast<std::size_t>(regionIndex)];
    if (g.x1 != g.x2 && g.y1 != g.y2) {
        g = {std::max(std::min(g.x1, g.x2), 0), std::max(std::min(g.y1, g.y2), 0),
             std::max(g.x1, g.x2), std::max(g.y1, g.y2)};
    } else {
        deleteSelected();
    }
}

void Regions::deleteSelected() {
    timerOn = false;
    if (regionIndex < 0 || regionIndex >= regionCount) return;
    if (regionIndex == defaultRegion) defaultRegion = -1;
    std::copy(regions.begin() + regionIndex + 1, regions.begin() + regionCount,
              regions.begin() + regionIndex);
    regions[static_cast<std::size_t>(regionCount) - 1] = {};
    regionIndex = -1;
    --regionCount;
    if (regionCount > 0) timerOn = true;
}

void Regions::setSize(const std::string& name, const FitSource& fit) {
    regionCount = 1;
    regionIndex = 0;
    regions[0].x1 = 0;
    regions[0].y1 = 0;
    timerOn = true;
    if (name == tr(kFindFitName)) {
        regions[0] = findFit(fit.preview, fit.scale, fit.scanArea, fit.edgeThreshold);
        return;
    }
    for (const Preset& p : kPresets) {
        if (name != tr(p.name)) continue;
        regions[0].x2 = p.width;
        regions[0].y2 = p.height;
        return;
    }
}

std::string Regions::sizeText() const {
    if (regionIndex < 0 || regionIndex >= regionCount) return {};
    const Region& g = regions[static_cast<std::size_t>(regionIndex)];
    return std::to_string(g.x2 - g.x1) + " x " + std::to_string(g.y2 - g.y1);
}

namespace {

// The grey value of a position; for 1-bit previews the byte that holds eight pixels.
int valueAt(const Bitmap& b, int row, int column) {
    const std::uint8_t* p = b.row(row);
    if (b.kind() == BitmapKind::Bits24) {
        const std::uint8_t* px = p + 3 * column;
        return static_cast<int>(0.3 * px[2] + 0.59 * px[1] + 0.11 * px[0]);
    }
    return p[column];
}

// The background's value run: the heaviest run of neighbouring non-zero border counters.
void backgroundRun(const std::array<long, 256>& counts, int& lo, int& hi) {
    long best = -1;
    lo = 0;
    hi = 256;
    for (int v = 0; v < 256;) {
        if (counts[v] == 0) {
            ++v;
            continue;
        }
        const int start = v;
        long weight = 0;
        while (v < 256 && counts[v] != 0) weight += counts[v++];
        if (weight > best) {
            best = weight;
            lo = start;
            hi = v;
        }
    }
}

}  // namespace

Region findFit(const Bitmap& preview, double s, const Region& scanArea, int threshold) {
    int w = truncated(scanArea.x2 / s - 1);
    int h = truncated(scanArea.y2 / s - 1);
    const bool oneBit = preview.kind() == BitmapKind::Bits1;
    if (oneBit) {
        w /= 8;
        threshold /= 4;
    }
    // The area must not reach past the preview a scan left behind.
    const int columns = oneBit ? (preview.width() + 7) / 8 : preview.width();
    w = std::clamp(w, 0, columns);
    h = std::clamp(h, 0, preview.height());

    bool light = false;
    int lo = 0, hi = 256;
    if (!oneBit && w > 0 && h > 0) {
        std::array<long, 256> counts{};
        for (int row = 0; row < h; ++row) {
            ++counts[static_cast<std::size_t>(valueAt(preview, row, 0))];
            if (w > 1) ++counts[static_cast<std::size_t>(valueAt(preview, row, w - 1))];
        }
        for (int column = 0; column < w; ++column) {
            ++counts[static_cast<std::size_t>(valueAt(preview, 0, column))];
            if (h > 1) ++counts[static_cast<std::size_t>(valueAt(preview, h - 1, column))];
        }
        long dark = 0, bright = 0;
        for (int v = 0; v < 256; ++v)
            (v < 128 ? dark : bright) += counts[static_cast<std::size_t>(v)];
        light = bright > dark;
        backgroundRun(counts, lo, hi);
    }
    const auto content = [&](int v) {
        if (oneBit) return v < 255;
        return light ? v < lo - threshold : v > hi + threshold;
    };

    int minX = w, minY = h, maxX = 0, maxY = 0;
    for (int row = 0; row < h; ++row) {
        int count = 0, first = -1, last = -1;
        for (int column = 0; column < w; ++column) {
            if (!content(valueAt(preview, row, column))) continue;
            ++count;
            if (first < 0) first = column;
            last = column;
        }
        if (count <= threshold) continue;
        minX = std::min(minX, first);
        maxX = std::max(maxX, last);
        minY = std::min(minY, row);
        maxY = std::max(maxY, row);
    }
    if (oneBit) {
        minX *= 8;
        maxX *= 8;
    }
    return {truncated(minX * s), truncated(minY * s), truncated(maxX * s), truncated(maxY * s)};
}

}  // namespace tarnwick
