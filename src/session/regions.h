// The scan regions: the table, editing with the mouse, size presets and "Find fit".
#pragma once

#include <array>
#include <string>

#include "base/translate.h"
#include "image/bitmap.h"

namespace tarnwick {

// A rectangle in scan-area units (those of the geometry options, usually millimetres).
struct Region {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool operator==(const Region&) const = default;
};

// What "Find fit" looks at: the preview, its scan-area units per pixel, the scan area and the
// threshold of content pixels a row needs.
struct FitSource {
    const Bitmap& preview;
    double scale;
    Region scanArea;
    int edgeThreshold;
};

// The pointer shapes over the preview: the arrow and the four resize cursors.
enum class RegionCursor { Arrow, FallingDiagonal, RisingDiagonal, Horizontal, Vertical };

class Regions {
  public:
    static constexpr int kSlots = 255;
    static constexpr int kDefaultMaxRegions = 10;

    std::array<Region, kSlots> regions{};
    int regionCount = 0;
    int regionIndex = -1;
    int maxRegions = kDefaultMaxRegions;
    int defaultRegion = -1;
    bool creating = false;
    bool resizing = false;
    bool grabLeft = false;
    bool grabTop = false;
    // The outline animation runs while regions exist and no drag is in progress.
    bool timerOn = false;

    // Left button at screen position (x, y), r screen pixels per unit, with the cursor the
    // hover rule set. True when a drag started.
    bool pressLeft(int x, int y, double r, RegionCursor cursor);
    // Pointer moved during a drag: the edges under the cursor follow it.
    void dragTo(int x, int y, double r, RegionCursor cursor);
    // Pointer moved without a drag: selects the region under it and returns the cursor to show;
    // `edgeHit` tells whether an edge was near (the status line then shows the size).
    // An edge is near within `reach` units (more on a screen of more DPI, so that it stays as
    // easy to grab).
    RegionCursor hover(int x, int y, double scale, double zoomFactor, bool& edgeHit, int reach = 5);
    // Left button released: ends the drag, normalises the region or removes it when it has no area.
    void releaseLeft();
    void deleteSelected();

    // Makes the table one region: a named paper size (names as the menus show them,
    // translated), or for "Find fit" the document found on the preview. Any other name keeps
    // slot 0's far corner.
    void setSize(const std::string& name, const FitSource& fit);
    void clear() { *this = Regions{}; }

    // Size text for the status line, without the unit.
    std::string sizeText() const;
};

// The bounding box of the document on the preview: `scale` units per preview pixel.
Region findFit(const Bitmap& preview, double scale, const Region& scanArea, int edgeThreshold);

// The menu entry and saved default that stands for "Find fit" (untranslated).
inline constexpr const char* kFindFitName = N_("Find fit");
// The preset names in menu order (untranslated).
const std::array<const char*, 10>& sizePresetNames();

}  // namespace tarnwick
